// Speed of the search engine: the sample puzzles, every arrangement of the Zebra puzzle's categories
// (the order category anywhere, the busiest categories last), and the counting cases.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>

#include "core/search.h"
#include "core/solution_text.h"
#include "examples/sample_puzzles.h"

namespace {

using namespace korvane;

// Lists every solution as the window would (text lines built) and counts them.
class Lister final : public SearchObserver {
public:
    explicit Lister(const Puzzle& p) : writer_(ChoiceNamesOf(p)) {}
    void solutionFound(const Assignment& a, std::uint64_t) override {
        writer_.write(a, [&](std::string_view line) { bytes_ += line.size(); });
    }
    std::size_t bytes_ = 0;

private:
    SolutionWriter writer_;
};

std::uint64_t Solve(const Puzzle& p, std::uint64_t limit = ~0ull) {
    Lister lister(p);
    const SearchResult r = Search(p.rules, lister, SearchOptions{limit});
    benchmark::DoNotOptimize(lister.bytes_);
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

} // namespace

BENCHMARK_MAIN();
