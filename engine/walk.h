// The walk's visit order: a place in the walk is the rows of categories 2..6 (category 1 stays on row 0),
// compared lexicographically, category 2's row slowest; as a number, its rank in that order.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/model.h"

namespace korvane {

using WalkIndex = std::uint64_t;
inline constexpr WalkIndex kWalkSize = 24'883'200'000ull; // 120^5
inline constexpr int kLevels = 5;                        // categories 2..6

// The rows of categories 2..6, in this order.
using Position = std::array<int, kLevels>;

// ((((r2 * 120 + r3) * 120 + r4) * 120 + r5) * 120 + r6).
constexpr WalkIndex ToIndex(std::span<const int, kLevels> rows) {
    WalkIndex index = 0;
    for (int r : rows) index = index * kRows + static_cast<WalkIndex>(r);
    return index;
}
constexpr WalkIndex ToIndex(const Position& position) { return ToIndex(std::span<const int, kLevels>(position)); }
Position ToPosition(WalkIndex index);
Assignment ToAssignment(const Position& position); // category 1 on row 0

} // namespace korvane
