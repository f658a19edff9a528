// The benchmark set of the search engine: unique puzzles made by a seeded generator in three styles,
// the sample puzzles, random rule tables, and tables made to be hard for a search that walks the
// categories in a fixed order (weak negative conditions along many order categories, first solutions
// deep in the visit order, a malformed row behind them).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model.h"

namespace korvane::bench {

struct Case {
    std::string group; // the line of the report the case belongs to
    std::string name;  // with its seed, to replay it
    Puzzle puzzle;
    bool unique = false;  // made to have exactly one solution
    bool listAll = false; // few solutions: list them all rather than the first 10,000
};

// `perStyle` unique puzzles of each of three styles (samples::MinimalUnique along category 1, mixed and
// wide), the sample puzzles, `tables` random rule tables of 1-16
// conditions, and the hard tables.
std::vector<Case> BenchmarkSet(int perStyle, int tables);

} // namespace korvane::bench
