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

// The tables drawn to be hard to count (hard_tables.h), kept by their counts: 2 * `perKind` of 9-16 weak
// three-category conditions (1e8-1e10 solutions), whose times spread the most, and `perKind` of fourteen
// negative ones with three "A droite de" (1e8-1e10), and of fifteen of every kind (1e9-1e10).
std::vector<Case> HardSet(int perKind);

} // namespace korvane::bench
