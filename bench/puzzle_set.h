// The benchmark set of the search engine: unique puzzles made by a seeded generator in three styles,
// the sample puzzles, random rule tables, and tables made to be hard for a search that walks the
// categories in a fixed order (weak negative conditions along many order categories, first solutions
// deep in the visit order, a malformed row behind them).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model.h"

namespace korvane::bench {

// How the conditions of a generated puzzle are drawn.
enum class Style {
    Zebra, // measured along category 1, any items, steps 1-2
    Mixed, // items of categories 2-6, order categories 1-6, steps 1-2
    Wide,  // items of any category, order categories 1-6, steps 1-4
};

struct Case {
    std::string group; // the line of the report the case belongs to
    std::string name;  // with its seed, to replay it
    Puzzle puzzle;
    bool unique = false;  // made to have exactly one solution
    bool listAll = false; // few solutions: list them all rather than the first 10,000
};

// A puzzle whose only solution is a hidden matching drawn from `seed`: random conditions true of it are
// kept while they narrow the solutions, until one is left (within 16 rows), then every condition the
// uniqueness does not need is dropped. None when 16 rows were not enough.
std::optional<Puzzle> UniquePuzzle(Style style, std::uint64_t seed);

// `perStyle` unique puzzles of each style, the sample puzzles, `tables` random rule tables of 1-16
// conditions, and the hard tables.
std::vector<Case> BenchmarkSet(int perStyle, int tables);

} // namespace korvane::bench
