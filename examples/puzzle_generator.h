// The one seeded puzzle generator of the tests, the benchmarks and the examples: a hidden matching drawn
// from a seed, conditions drawn in one of a few named ways, and the ways of keeping those true of the
// matching that narrow its solutions. A seed gives the same draws, and so the same puzzle, every time:
// test sets, benchmark sets and their figures depend on that (tests/core/test_generator.cpp pins a few).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <random>

#include "core/model.h"

namespace korvane::samples {

// How the fields of a drawn condition are chosen. `order` stands for the puzzle's order category.
enum class Style {
    // Half of them correspondences; item B in item A's category one time in twenty; steps 1, a third of
    // the time 1-4; `order`, a fifth of the time any; steps and order category only where the relation
    // uses them.
    Clue,
    // A third correspondences; items anywhere; steps 1-2; `order`.
    Positional,
    // As Positional, with each item's category one time in two 5 or 6.
    PositionalLate,
    // Three quarters correspondences; `order`, a fifth of the time any; now and then a field out of its
    // range (a category 0 or 7, a choice 0 or 6, steps 0 or 5, an order category 0 or 7).
    Stated,
    // 70% correspondences; steps 1-3; `order`, a fifth of the time any.
    Loose,
    // Items anywhere, measured along category 1; steps 1-2.
    AlongFirst,
    // Items of categories 2-6, any order category; steps 1-2.
    Mixed,
    // Every field anywhere in its range: items anywhere, any relation, steps 1-4, any order category.
    Wide,
    // Every field now and then outside its range: relations 0, 11, -1; categories 0 and 7; choices 0 and
    // 6; steps 0, 5, -3, 7; order categories 0 and 7.
    OddFields,
};

// How a row is chosen among several drawn conditions (see PuzzleGenerator::bestRow).
struct Candidates {
    int draws;
    bool falseDrawsCount = false; // a draw not true of the matching uses up a candidate (else drawn again)
    bool firstKept = false;       // the first candidate stands even when it narrows nothing
    bool untilOne = false;        // no candidate after the first once one solution is left
};

class PuzzleGenerator {
public:
    explicit PuzzleGenerator(std::uint64_t seed) : rng_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    int oneOf(std::initializer_list<int> values) { return *(values.begin() + pick(0, static_cast<int>(values.size()) - 1)); }
    std::mt19937_64& engine() { return rng_; }

    // A matching: category 1 on row 0, categories 2..6 on rows drawn in turn.
    Assignment matching();
    // A condition drawn as `style` says.
    Rule rule(Style style, int order = 0);
    // Conditions drawn until one holds on `hidden`.
    Rule trueRule(const Assignment& hidden, Style style, int order = 0);

    // Row `row` of `rules` set to the candidate that leaves the fewest solutions, of conditions drawn
    // true of `hidden`, when it leaves fewer than `count` (else empty); returns the count it leaves.
    std::uint64_t bestRow(RuleTable& rules, int row, std::uint64_t count, const Assignment& hidden, Style style, int order,
                          const Candidates& candidates);

    // 1-16 rows at random places, conditions of `style` mostly true of `hidden`: one that fails is drawn
    // again up to 20 times, each time kept anyway one time in twenty. With `twins`, that share of the rows
    // are on the two items of the row drawn before, either way round.
    RuleTable around(const Assignment& hidden, Style style, double twins = 0);

private:
    std::mt19937_64 rng_;
};

// Drops each row of `rules` whose absence leaves `count` solutions, first to last, and moves the rest up
// to rows 1, 2, ...
void DropUnneeded(RuleTable& rules, std::uint64_t count);

// A puzzle with exactly one solution, drawn from `seed`: Clue conditions true of a hidden matching (the
// positional ones mostly along one order category), added until one solution is left; then every
// condition not needed for that is dropped. The grid names are the seating puzzle's.
Puzzle RandomUniquePuzzle(std::uint64_t seed);

// Row by row, the best of 80 Positional (or PositionalLate) draws along `order`, those false of the
// hidden matching wasted, until one solution is left; none when 16 rows are not enough.
std::optional<RuleTable> BestOfEighty(std::uint64_t seed, int order, bool late);

// Row by row, the best of 24 draws of `style`, true of the hidden matching, until one solution is left;
// when the sixteen rows are full, the rows the others make useless go, and rows are added again (four
// rounds at most); then every row not needed for the one solution goes. None when that was not enough.
std::optional<RuleTable> MinimalUnique(Style style, std::uint64_t seed);

} // namespace korvane::samples
