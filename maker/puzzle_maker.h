// Making a new puzzle of a chosen grade: a hidden matching drawn from the seed, rows true of it added one
// by one (the kind of row drawn first, in the mix of a published puzzle, then the one of a few candidates
// of that kind that leaves the fewest solutions) until it is the only solution, then every row it does
// not need dropped. A puzzle of more than sixteen rows, or of another grade than the one asked, is
// thrown away and another drawn, from the same stream of draws: a seed gives the same puzzle every time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>

#include "core/model.h"
#include "reasoning/grade.h"
#include "maker/themes.h"

namespace korvane::maker {

// The draws behind a puzzle: the 64-bit Mersenne Twister, whose output the C++ standard fixes, and
// ranges cut from it here rather than by a library's distributions, so that every build draws alike.
class Draws {
public:
    explicit Draws(std::uint64_t seed) : engine_(seed) {}
    // 0..n-1, n >= 1, every value alike.
    int below(int n);
    // Index i with chance weights[i] / sum of weights.
    template <class Weights> int weighted(const Weights& weights) {
        int total = 0;
        for (int w : weights) total += w;
        int left = below(total), i = 0;
        for (int w : weights) {
            if (left < w) return i;
            left -= w, ++i;
        }
        return i - 1; // unreachable: left < total
    }

private:
    std::mt19937_64 engine_;
};

struct MadePuzzle {
    Puzzle puzzle;   // the names, the box texts as the lists show them, the values they name
    Grade grade = Grade::Medium;
    int tries = 0;   // the puzzles drawn, this one included
    int graded = 0;  // of which unique within sixteen rows, and so graded
    // The graded ones by this scale's grade (index grade - 1) and by their hardest move (index
    // technique - 1), for the benchmark's figures.
    std::array<int, kGrades> byGrade{};
    std::array<int, kTechniques> byHardest{};
};

// A puzzle of `grade` on `grid` (which GridProblem accepts), drawn from `seed`: exactly one solution,
// every row needed for that, at most sixteen rows, each about two different items, no two about the
// same two items, positional rows along grid.order. None only if 100,000 draws found none.
std::optional<MadePuzzle> MakeGradedPuzzle(const Grid& grid, Grade grade, std::uint64_t seed);

// The built-in theme a seed picks, from draws of its own, so that the theme does not shift the puzzle's.
const Theme& ThemeFor(std::uint64_t seed);

// A puzzle on the built-in theme the seed picks.
std::optional<MadePuzzle> MakeGradedPuzzle(Grade grade, std::uint64_t seed);

} // namespace korvane::maker
