// Speed of the explanations: the sample puzzles (one of each kind of explanation), and sets of generated
// 16-condition puzzles: built to have one solution, then with a slip, with a clue made vague, and rows
// drawn at random around a hidden matching. Each set reports its mean and its slowest puzzle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

#include "core/relations.h"
#include "engine/search.h"
#include "examples/sample_puzzles.h"
#include "reasoning/explain.h"

namespace {

using namespace korvane;

void Explaining(benchmark::State& state, const std::vector<RuleTable>& set) {
    double slowest = 0;
    for (const RuleTable& rules : set) { // once each, for the slowest
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Explain(rules));
        slowest = std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Explain(set[next]));
        next = (next + 1) % set.size();
    }
    state.counters["slowest_ms"] = slowest;
    state.counters["puzzles"] = static_cast<double>(set.size());
}

Puzzle Changed(Puzzle p, int row, Rule rule) {
    p.rules[row] = rule;
    return p;
}

void BM_ExplainZebraEveryClueNeeded(benchmark::State& s) { Explaining(s, {samples::Zebra().rules}); }
void BM_ExplainZebraClueTypedTwice(benchmark::State& s) {
    Explaining(s, {Changed(samples::Zebra(), 15, samples::Zebra().rules[1]).rules});
}
void BM_ExplainZebraWithoutLastClue(benchmark::State& s) { Explaining(s, {Changed(samples::Zebra(), 14, {}).rules}); }
void BM_ExplainZebraBusiestLast(benchmark::State& s) {
    Explaining(s, {samples::MoveCategories(samples::Zebra(), {4, 5, 1, 2, 3, 6}).rules});
}
void BM_ExplainZebraMisspelledCategory(benchmark::State& s) {
    Explaining(s, {Changed(samples::Zebra(), 15, {2, 1, 1, 0, 1, 0, 0}).rules});
}
void BM_ExplainSeating(benchmark::State& s) { Explaining(s, {samples::Seating().rules}); }
void BM_ExplainRelay(benchmark::State& s) { Explaining(s, {samples::Relay().rules}); }
void BM_ExplainNoCondition(benchmark::State& s) { Explaining(s, {RuleTable{}}); }

// How a generated set is made from a puzzle with one solution.
enum class Variant { Unique, Slip, Vague, Wild };

Rule RandomRule(std::mt19937_64& rng, int order) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    return Rule{pick(1, 6), pick(1, 5), pick(1, 100) <= 70 ? 1 : pick(1, 10), pick(1, 6), pick(1, 5),
                pick(1, 3),  pick(1, 5) == 1 ? pick(1, 6) : order};
}

// Sixteen conditions. Unique: rows true of a hidden matching, each the best of a few at narrowing the
// solutions, until one is left, then more true rows; Slip: one of them replaced by a random row; Vague:
// one replaced by a row that narrows nothing; Wild: any relation between any items along any category,
// true of the hidden matching but for up to a tenth of them, which leaves up to tens of millions of
// solutions, or conflicts spread over the categories.
RuleTable Generated(std::uint64_t seed, Variant variant) {
    std::mt19937_64 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Assignment hidden;
    hidden.row[1] = 0;
    for (int c = 2; c <= kCategories; ++c) hidden.row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(pick(0, 119));
    const int order = pick(1, kCategories);
    auto trueRule = [&] {
        for (;;)
            if (const Rule r = RandomRule(rng, order); EvaluateRule(hidden, r) == Verdict::Holds) return r;
    };
    RuleTable rules;
    if (variant == Variant::Wild) {
        const int slips = pick(0, 10); // percent
        for (int k = 1; k <= kRules; ++k)
            for (;;) {
                const Rule r{pick(1, 6), pick(1, 5), pick(1, 10), pick(1, 6), pick(1, 5), pick(1, 4), pick(1, 6)};
                if (EvaluateRule(hidden, r) == Verdict::Holds || pick(1, 100) <= slips) {
                    rules[k] = r;
                    break;
                }
            }
        return rules;
    }
    std::uint64_t count = ~0ull;
    for (int k = 1; k <= kRules; ++k) {
        for (int tries = 0; tries < (count > 1 ? 12 : 1); ++tries) {
            RuleTable next = rules;
            next[k] = trueRule();
            const std::uint64_t n = CountSolutions(next).count;
            if (tries == 0 || n < count) rules = next, count = n;
        }
    }
    const int row = pick(1, kRules);
    if (variant == Variant::Slip) rules[row] = RandomRule(rng, order);
    if (variant == Variant::Vague) rules[row] = Rule{1, 1, static_cast<std::int32_t>(RelationKind::NotCorresponds), 1, 2};
    return rules;
}

const std::vector<RuleTable>& GeneratedSet(Variant variant) {
    static std::array<std::vector<RuleTable>, 4> sets;
    std::vector<RuleTable>& set = sets[static_cast<std::size_t>(variant)];
    const std::size_t size = variant == Variant::Wild ? 1000 : 40;
    for (std::uint64_t seed = 1; set.size() < size; ++seed) set.push_back(Generated(seed, variant));
    return set;
}

void BM_ExplainGenerated(benchmark::State& s) { Explaining(s, GeneratedSet(static_cast<Variant>(s.range(0)))); }

BENCHMARK(BM_ExplainZebraEveryClueNeeded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainZebraClueTypedTwice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainZebraWithoutLastClue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainZebraBusiestLast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainZebraMisspelledCategory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainSeating)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainRelay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainNoCondition)->Unit(benchmark::kMillisecond);
// 0 one solution, 1 a slip, 2 a clue made vague, 3 random rows.
BENCHMARK(BM_ExplainGenerated)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
