// Speed of the explanations: the sample puzzles (one of each kind of explanation), and sets of generated
// 16-condition puzzles: built to have one solution, then with a slip, with a clue made vague, and rows
// drawn at random around a hidden matching. Each set reports its mean and its slowest puzzle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "core/relations.h"
#include "engine/search.h"
#include "examples/puzzle_generator.h"
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

// Sixteen conditions. Unique: rows true of a hidden matching, each the best of a few at narrowing the
// solutions (samples::Style::Loose), until one is left, then more true rows; Slip: one of them replaced
// by a random row; Vague: one replaced by a row that narrows nothing; Wild: any relation between any
// items along any category (samples::Style::Wide), true of the hidden matching but for up to a tenth of
// them, which leaves up to tens of millions of solutions, or conflicts spread over the categories.
RuleTable Generated(std::uint64_t seed, Variant variant) {
    using samples::Style;
    samples::PuzzleGenerator draw(seed);
    const Assignment hidden = draw.matching();
    const int order = draw.pick(1, kCategories);
    RuleTable rules;
    if (variant == Variant::Wild) {
        const int slips = draw.pick(0, 10); // percent
        for (int k = 1; k <= kRules; ++k)
            for (;;) {
                const Rule r = draw.rule(Style::Wide);
                if (EvaluateRule(hidden, r) == Verdict::Holds || draw.pick(1, 100) <= slips) {
                    rules[k] = r;
                    break;
                }
            }
        return rules;
    }
    std::uint64_t count = ~0ull;
    for (int k = 1; k <= kRules; ++k)
        count = draw.bestRow(rules, k, count, hidden, Style::Loose, order, {.draws = 12, .firstKept = true, .untilOne = true});
    const int row = draw.pick(1, kRules);
    if (variant == Variant::Slip) rules[row] = draw.rule(Style::Loose, order);
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
