// Speed of the search engine: the sample puzzles, every arrangement of the Zebra puzzle's categories
// (the order category anywhere, the busiest categories last), and the counting cases.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "core/check.h"
#include "core/relations.h"

#include "engine/search.h"
#include "lister.h"
#include "examples/puzzle_generator.h"
#include "examples/sample_puzzles.h"

namespace {

using namespace korvane;

using bench::Lister;

std::uint64_t Solve(const Puzzle& p, std::uint64_t limit = ~0ull) {
    Lister lister(p);
    const SearchResult r = Search(p.rules, lister, SearchOptions{limit});
    benchmark::DoNotOptimize(lister.bytes);
    return r.count;
}

void Run(benchmark::State& state, const Puzzle& p, std::uint64_t limit = ~0ull) {
    std::uint64_t count = 0;
    for (auto _ : state) count = Solve(p, limit);
    state.counters["solutions"] = static_cast<double>(count);
}

std::array<int, kCategories> Arrangement(int n) {
    std::array<int, kCategories> order{1, 2, 3, 4, 5, 6};
    for (int i = 0; i < n; ++i) std::next_permutation(order.begin(), order.end());
    return order;
}

void BM_Zebra(benchmark::State& s) { Run(s, samples::Zebra()); }
void BM_ZebraHouseLast(benchmark::State& s) { Run(s, samples::MoveCategories(samples::Zebra(), {6, 1, 2, 3, 4, 5})); }
// Nation and Cigarette, the most cited categories, in 5 and 6; the order category 4.
void BM_ZebraBusiestLast(benchmark::State& s) { Run(s, samples::MoveCategories(samples::Zebra(), {4, 5, 1, 2, 3, 6})); }
void BM_ZebraArrangement(benchmark::State& s) {
    Run(s, samples::MoveCategories(samples::Zebra(), Arrangement(static_cast<int>(s.range(0)))));
}
void BM_Seating(benchmark::State& s) { Run(s, samples::Seating()); }
void BM_SeatingHouseLast(benchmark::State& s) { Run(s, samples::MoveCategories(samples::Seating(), {6, 1, 2, 3, 4, 5})); }
void BM_RelayNoSolution(benchmark::State& s) { Run(s, samples::Relay()); }

void BM_NoRuleCount(benchmark::State& s) { Run(s, Puzzle{}, 0); }
void BM_NoRuleList10000(benchmark::State& s) { Run(s, Puzzle{}, 10000); }
void BM_OneCorrespondsCount(benchmark::State& s) {
    Puzzle p;
    p.rules[1] = Rule{1, 2, 1, 2, 4, 0, 0};
    Run(s, p, 0);
}
void BM_OnlyCategories5And6Count(benchmark::State& s) {
    Puzzle p;
    p.rules[1] = Rule{5, 1, 3, 6, 2, 1, 6}; // RightNeighbour along category 6
    p.rules[2] = Rule{5, 2, 5, 6, 2, 0, 0}; // NotCorresponds
    p.rules[3] = Rule{6, 4, 6, 5, 3, 0, 5}; // RightOf along category 5
    Run(s, p, 0);
}

// Generated puzzles with exactly one solution (samples::BestOfEighty): `order` names the order
// category, and `late` makes most clues name categories 5 and 6.
std::vector<Puzzle> GeneratedSet(int order, bool late) {
    std::vector<Puzzle> set;
    for (std::uint64_t seed = 1; set.size() < 10 && seed < 400; ++seed)
        if (auto rules = samples::BestOfEighty(seed * 977 + static_cast<std::uint64_t>(order), order, late)) {
            Puzzle p;
            p.rules = *rules;
            set.push_back(p);
        }
    return set;
}

void BM_Generated(benchmark::State& s) {
    static const std::vector<Puzzle> sets[] = {GeneratedSet(1, false), GeneratedSet(6, false), GeneratedSet(6, true),
                                               GeneratedSet(3, true)};
    const auto& set = sets[s.range(0)];
    if (set.empty()) return s.SkipWithError("no puzzle generated");
    const Puzzle& p = set[static_cast<std::size_t>(s.range(1)) % set.size()];
    Run(s, p);
}

// The literal walk's cost: CheckAssignment on every assignment of one row of category 3 (120^3), with
// the Zebra rules.
void BM_LiteralWalkPerAssignment(benchmark::State& s) {
    const RuleTable rules = samples::Zebra().rules;
    Assignment a;
    a.row[1] = 0;
    a.row[2] = 17;
    a.row[3] = 42;
    std::uint64_t passed = 0;
    for (auto _ : s) {
        for (std::int16_t l = 0; l < 120; ++l) {
            a.row[4] = l;
            for (std::int16_t m = 0; m < 120; ++m) {
                a.row[5] = m;
                for (std::int16_t i = 0; i < 120; ++i) {
                    a.row[6] = i;
                    passed += CheckAssignment(rules, a).verdict == Verdict::Holds;
                }
            }
        }
    }
    benchmark::DoNotOptimize(passed);
    s.SetItemsProcessed(static_cast<std::int64_t>(s.iterations()) * 120 * 120 * 120);
}

BENCHMARK(BM_Zebra)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZebraHouseLast)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZebraBusiestLast)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZebraArrangement)->DenseRange(0, 719, 37)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Seating)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SeatingHouseLast)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RelayNoSolution)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NoRuleCount)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NoRuleList10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneCorrespondsCount)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OnlyCategories5And6Count)->Unit(benchmark::kMicrosecond);
// Sets: 0 order category 1; 1 order category 6; 2 order 6 with clues mostly on 5 and 6; 3 order 3, late.
BENCHMARK(BM_Generated)->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiteralWalkPerAssignment)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
