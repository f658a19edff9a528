// korvane-make's speed and what it makes, in process: for each grade, 100 seeds (or --seeds N) made one
// after the other. Prints per grade the median and slowest time per puzzle, the puzzles drawn per one
// delivered, the grades of every puzzle graded along the way (this program's scale and the hardest move
// alone), what the delivered puzzles hold (rows, and the share of each kind of row) and what solving
// them takes (steps, position steps and what-ifs per puzzle, on average). Then the suggestions of
// korvane-solve --suggest on the "Moyen" puzzles with one, two and four rows emptied, and the fewest rows
// of those puzzles with a row repeated.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "reasoning/deduce.h"
#include "core/relations.h"
#include "maker/puzzle_maker.h"
#include "maker/suggest.h"

namespace {

using namespace korvane;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int seeds = 100;
    if (argc == 3 && std::strcmp(argv[1], "--seeds") == 0) seeds = std::max(1, std::atoi(argv[2]));
    std::printf("%d seeds per grade\n\n", seeds);
    std::printf("%-15s %9s %9s %8s %9s %9s | graded: %-19s | hardest move: %-20s | %5s %5s %5s %5s | %5s %5s %5s\n",
                "grade", "median", "slowest", "drawn/1", "graded/1", "max drawn", "F / M / D / TD",
                "dir grid 3cat pos wi deep", "rows", "same", "not", "pos", "steps", "pos", "wi");
    for (int g = 1; g <= kGrades; ++g) {
        const auto grade = static_cast<Grade>(g);
        std::vector<double> millis;
        long drawn = 0, graded = 0, rows = 0;
        int maxDrawn = 0;
        std::array<long, kGrades> byGrade{};
        std::array<long, kTechniques> byHardest{};
        std::array<long, 3> kinds{};
        long steps = 0, positions = 0, whatIfs = 0;
        for (int seed = 1; seed <= seeds; ++seed) {
            const auto start = Clock::now();
            const auto made = maker::MakeGradedPuzzle(grade, static_cast<std::uint64_t>(seed));
            millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (!made) {
                std::printf("seed %d: no puzzle\n", seed);
                continue;
            }
            drawn += made->tries, graded += made->graded;
            maxDrawn = std::max(maxDrawn, made->tries);
            for (int i = 0; i < kGrades; ++i) byGrade[static_cast<std::size_t>(i)] += made->byGrade[static_cast<std::size_t>(i)];
            for (int i = 0; i < kTechniques; ++i) byHardest[static_cast<std::size_t>(i)] += made->byHardest[static_cast<std::size_t>(i)];
            const Trace trace = Deduce(made->puzzle.rules);
            steps += static_cast<long>(trace.steps.size());
            for (const Step& step : trace.steps) {
                positions += step.technique == Technique::Position;
                whatIfs += step.technique == Technique::WhatIf || step.technique == Technique::DeepWhatIf;
            }
            for (int k = 1; k <= kRules; ++k) {
                const std::int32_t relation = made->puzzle.rules[k].relation;
                if (relation == 0) continue;
                ++rows;
                ++kinds[relation == static_cast<std::int32_t>(RelationKind::Corresponds)      ? 0
                        : relation == static_cast<std::int32_t>(RelationKind::NotCorresponds) ? 1
                                                                                              : 2];
            }
        }
        const auto share = [&](long n) { return rows ? 100.0 * static_cast<double>(n) / static_cast<double>(rows) : 0.0; };
        char gradedText[64], hardestText[64];
        std::snprintf(gradedText, sizeof gradedText, "%ld / %ld / %ld / %ld", byGrade[0], byGrade[1], byGrade[2], byGrade[3]);
        std::snprintf(hardestText, sizeof hardestText, "%ld %ld %ld %ld %ld %ld", byHardest[0], byHardest[1], byHardest[2],
                      byHardest[3], byHardest[4], byHardest[5]);
        const auto mean = [&](long n) { return static_cast<double>(n) / seeds; };
        std::printf("%-15s %6.2f ms %6.1f ms %8.2f %9.2f %9d | %-27s | %-34s | %5.1f %4.0f%% %4.0f%% %4.0f%% | %5.1f %5.1f %5.2f\n",
                    std::string(GradeName(grade)).c_str(), Median(millis),
                    *std::max_element(millis.begin(), millis.end()), mean(drawn), mean(graded), maxDrawn, gradedText,
                    hardestText, mean(rows), share(kinds[0]), share(kinds[1]), share(kinds[2]), mean(steps),
                    mean(positions), mean(whatIfs));
    }

    // Suggestions: the time to complete a loosened puzzle, and how often a row leaves one solution.
    std::printf("\n%-22s %9s %9s %12s %14s\n", "suggestions", "median", "slowest", "to one", "solutions");
    for (int drop : {0, 1, 2, 4}) {
        std::vector<double> millis;
        int toOne = 0, sampled = 0;
        std::uint64_t most = 0;
        for (int seed = 1; seed <= seeds; ++seed) {
            const auto made = maker::MakeGradedPuzzle(Grade::Medium, static_cast<std::uint64_t>(seed));
            if (!made) continue;
            Puzzle p = made->puzzle;
            if (drop == 0) {
                maker::SetRow(p, kRules, p.rules[1]); // one row twice, on a full table or not
            } else {
                for (int k = 1; k <= drop; ++k) maker::SetRow(p, 1 + (seed * 7 + k * 5) % 8, Rule{});
            }
            const auto start = Clock::now();
            const maker::Completion done = maker::Complete(p);
            millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            toOne += !done.suggestions.empty() && done.suggestions[0].count == 1;
            sampled += done.sampled;
            most = std::max(most, done.count);
        }
        char label[32];
        std::snprintf(label, sizeof label, drop == 0 ? "row 16 made row 1" : "%d row%s emptied", drop, drop == 1 ? "" : "s");
        std::printf("%-22s %6.2f ms %6.1f ms %7d/%-4zu %14llu%s\n", label, Median(millis),
                    *std::max_element(millis.begin(), millis.end()), toOne, millis.size(),
                    static_cast<unsigned long long>(most), sampled ? " (some sampled)" : "");
    }
    return 0;
}
