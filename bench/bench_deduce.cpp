// Speed of the deduction trace (korvane-solve --steps): the sample puzzles, and a set of generated puzzles
// with one solution (of up to sixteen conditions, every relation kind), then the same with a row dropped,
// which leaves most with several solutions. Each set reports the median and slowest trace, and what the
// traces look like: steps per puzzle, rows and uses per step (median and maximum), and the grades.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "examples/puzzle_generator.h"
#include "examples/sample_puzzles.h"
#include "reasoning/deduce.h"
#include "reasoning/grade.h"
#include "reasoning/report.h"

namespace {

using namespace korvane;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Deducing(benchmark::State& state, const std::vector<RuleTable>& set) {
    std::vector<double> millis, steps, rows, uses;
    std::array<int, kTechniques + 1> grades{};
    std::array<int, kGrades + 1> scale{};
    for (const RuleTable& rules : set) { // once each, for the figures
        const auto start = std::chrono::steady_clock::now();
        const Trace trace = Deduce(rules);
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        steps.push_back(static_cast<double>(trace.steps.size()));
        for (const Step& step : trace.steps) {
            rows.push_back(static_cast<double>(step.rows.size()));
            uses.push_back(static_cast<double>(step.uses.size()));
        }
        ++grades[static_cast<std::size_t>(trace.hardest)];
        ++scale[static_cast<std::size_t>(GradeOf(trace))];
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Deduce(set[next]));
        next = (next + 1) % set.size();
    }
    auto max = [](const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); };
    state.counters["puzzles"] = static_cast<double>(set.size());
    state.counters["median_ms"] = Median(millis);
    state.counters["slowest_ms"] = max(millis);
    state.counters["steps_med"] = Median(steps);
    state.counters["steps_max"] = max(steps);
    state.counters["rows_med"] = Median(rows);
    state.counters["rows_max"] = max(rows);
    state.counters["uses_med"] = Median(uses);
    state.counters["uses_max"] = max(uses);
    // The grades of the program's scale, and the hardest moves: up to three-categories (1-3), position
    // (4), what-if (5), deep what-if (6).
    state.counters["facile"] = scale[1];
    state.counters["moyen"] = scale[2];
    state.counters["difficile"] = scale[3];
    state.counters["tres_difficile"] = scale[4];
    state.counters["hardest_3cat"] = grades[1] + grades[2] + grades[3];
    state.counters["hardest_position"] = grades[4];
    state.counters["hardest_whatif"] = grades[5];
    state.counters["hardest_deep"] = grades[6];
}

const std::vector<RuleTable>& UniqueSet() {
    static const std::vector<RuleTable> set = [] {
        std::vector<RuleTable> puzzles;
        for (std::uint64_t seed = 1; seed <= 100; ++seed) puzzles.push_back(samples::RandomUniquePuzzle(seed).rules);
        return puzzles;
    }();
    return set;
}

// The unique set with one row dropped each, in turn: mostly several solutions.
const std::vector<RuleTable>& RowDroppedSet() {
    static const std::vector<RuleTable> set = [] {
        std::vector<RuleTable> puzzles = UniqueSet();
        for (std::size_t i = 0; i < puzzles.size(); ++i) puzzles[i][static_cast<int>(i % 14) + 1] = Rule{};
        return puzzles;
    }();
    return set;
}

void BM_DeduceZebra(benchmark::State& s) { Deducing(s, {samples::Zebra().rules}); }
void BM_DeduceSeating(benchmark::State& s) { Deducing(s, {samples::Seating().rules}); }
void BM_DeduceRelay(benchmark::State& s) { Deducing(s, {samples::Relay().rules}); }
void BM_DeduceGeneratedUnique(benchmark::State& s) { Deducing(s, UniqueSet()); }
void BM_DeduceGeneratedRowDropped(benchmark::State& s) { Deducing(s, RowDroppedSet()); }

// What the window's explanation computes when it opens or is refreshed: the explanation and the trace
// together. It must appear within 100 ms, so the slowest puzzle of a set is the figure to watch.
void Reporting(benchmark::State& state, const std::vector<RuleTable>& set) {
    std::vector<double> millis;
    for (const RuleTable& rules : set) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(MakeReport(rules));
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeReport(set[next]));
        next = (next + 1) % set.size();
    }
    state.counters["puzzles"] = static_cast<double>(set.size());
    state.counters["median_ms"] = Median(millis);
    state.counters["slowest_ms"] = *std::max_element(millis.begin(), millis.end());
}

void BM_ReportSeating(benchmark::State& s) { Reporting(s, {samples::Seating().rules}); }
void BM_ReportGeneratedUnique(benchmark::State& s) { Reporting(s, UniqueSet()); }
void BM_ReportGeneratedRowDropped(benchmark::State& s) { Reporting(s, RowDroppedSet()); }

BENCHMARK(BM_DeduceZebra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeduceSeating)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeduceRelay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeduceGeneratedUnique)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeduceGeneratedRowDropped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportSeating)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportGeneratedUnique)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportGeneratedRowDropped)->Unit(benchmark::kMillisecond);

} // namespace
