// The tables underneath the engine: row sets by the slots of choices, the slot of each choice in each
// row, which pairs of slots each row ranks at each set of rank differences, and the small functions the
// network reads them with. Built by the compiler (tables.cpp); only the engine's own sources include this.
#pragma once

#include <bit>
#include <cassert>
#include <cstdint>
#include <vector>

#include "core/model.h"
#include "core/relations.h"
#include "core/rows.h"
#include "engine/indexed.h"
#include "engine/network.h"

namespace korvane {

// Row sets by the bytes of the permutations, the slot of each choice in each row, and which pairs of
// slots each row ranks at each set of rank differences.
struct Tables {
    Indexed<Indexed<Rows, 32>, kChoices> valueIn{};                      // [value][slot set]
    Indexed<Indexed<Rows, 32>, kChoices> valueAt{};                      // [slot][value set]
    Indexed<Indexed<Indexed<Rows, 9>, kChoices>, kChoices> difference{}; // [sa][sb][d + 4]
    Indexed<Indexed<std::uint8_t, kChoices>, kRows> slotOf{};            // [row][value]
    // [row][accepted differences]: bit (sa * 5 + sb) when the row's ranks of slots sa and sb differ by an
    // accepted amount.
    Indexed<Indexed<std::uint32_t, 512>, kRows> pairs{};
    // [accepted differences][sa * 5 + sb]: the rows that rank slots sa and sb by an accepted difference.
    Indexed<Indexed<Rows, kChoices * kChoices>, 512> ranksApart{};
    constexpr Tables();
};

// Built by the compiler: the search reads them in its innermost loops, where a guard on each use would
// cost, and building them at each start would delay every program that links the engine.
extern const Tables kTables;

// The functions below have internal linkage, as when they were local to one file: the compiler inlines
// and lays out local functions more freely, and the inner loops were measured so.
static inline const Tables& T() { return kTables; }

static inline std::uint32_t PairsAt(int row, std::uint16_t accepted) {
    return row < kRows ? T().pairs[row][accepted] : 0; // the guard keeps g++ sure of the bounds
}

static inline std::uint32_t PairsOf(const Constraint& c, const RowArray& rows) {
    return PairsAt(rows[c.order], c.accepted);
}

// The slots sa of item A that a matrix of accepted pairs allows with item B in slot sb, and the converse.
constexpr std::uint32_t kColumn = 1u | 1u << 5 | 1u << 10 | 1u << 15 | 1u << 20;
static inline std::size_t SlotsOfA(std::uint32_t pairs, int sb) {
    const std::uint32_t column = pairs >> sb & kColumn; // bits 0, 5, 10, 15, 20
    return (column & 1u) | (column >> 4 & 2u) | (column >> 8 & 4u) | (column >> 12 & 8u) | (column >> 16 & 16u);
}
static inline std::size_t SlotsOfB(std::uint32_t pairs, int sa) { return pairs >> (sa * kChoices) & 31u; }
// The accepted differences of B's rank less A's, from those of A's less B's (bit d + 4 to bit 4 - d).
static constexpr std::uint16_t Mirrored(std::uint16_t accepted) {
    std::uint16_t out = 0;
    for (int bit = 0; bit < 9; ++bit)
        if (accepted >> bit & 1u) out = static_cast<std::uint16_t>(out | 1u << (8 - bit));
    return out;
}
// The rows of the order category that rank slot sa and slot sb as the constraint accepts.
static inline Rows RanksApart(const Constraint& c, int sa, int sb) {
    return T().ranksApart[c.accepted & 511u][sa * kChoices + sb];
}


// By set of accepted differences: for slot sa of one item and a set of slots of the other, the rows of
// the order category that rank sa and some slot of the set as accepted. Narrowing by a constraint whose
// order category is open asks it once per slot of one item rather than once per pair of slots. Made on
// first use, for the sets the relations make (which hold their mirrors).
class RanksFrom {
public:
    using BySlot = RanksBySlot;

    RanksFrom();
    // Null for a set no relation makes.
    const BySlot* of(std::uint16_t accepted) const {
        const int n = index_[accepted & 511u];
        return n != 0 ? &sets_[n - 1] : nullptr;
    }

private:
    std::array<std::uint8_t, 512> index_{}; // 1 + index in sets_; 0 when none
    std::vector<BySlot> sets_;
};
const RanksFrom& RanksFromTable();

// How many times narrowing goes over the constraints that read what it filtered: twice at the root, which
// every search starts from, once below, where a node costs more in narrowing than it saves. Measured on
// the benchmark set; going on to a fixed point costs more than the nodes it saves.
inline constexpr int kNarrowRounds = 1;
inline constexpr int kRootRounds = 2;
// Below this many rows in the category the search branches on first, placing them one by one costs less
// than trying slots of its items (see Network::probe): the two trials of an item cost about as much as
// placing twenty rows. Measured on the benchmark set.
inline constexpr int kProbeRows = 20;
// In a count of three categories (Network::countThree), the rows of the category gone through from
// which sets of rows of another are remembered with their planes, and half of it, the rows such a set
// needs: below, summing row by row costs less than the cache. Measured on the hard tables.
inline constexpr int kPlaneRows = 16;
// In one count of three categories, once this many sets of rows of u have had their planes made and
// they were used again fewer than kPlaneReuse times each on average, no more are made: on some tables the
// sets met twice are seldom met a third time, and making their planes costs more than summing them row
// by row. Measured on the hard tables.
inline constexpr std::uint32_t kPlaneBuilds = 8;
inline constexpr std::uint32_t kPlaneReuse = 2;
// From this many rows of u, a set's planes are made by the adder that keeps a set waiting per plane
// (Network::PlaneAdder); below, its last carries cost more than it saves. Measured on the hard tables.
inline constexpr int kAdderRows = 24;
inline constexpr std::uint32_t kAllPairs = (1u << 25) - 1;
inline constexpr std::uint32_t kSameSlot = 1u | 1u << 6 | 1u << 12 | 1u << 18 | 1u << 24; // sa == sb

static inline int SlotIn(const RowArray& rows, int category, int choice) {
    return T().slotOf[rows[category]]
                     [choice - 1];
}

// Calls `visit` with each non-empty group of the rows of `domain` that put the first `read` of `items` in
// the same slots.
template <class Visit>
static void ForEachSlotGroup(Rows domain, const std::array<int, kChoices>& items, int read, Visit&& visit, int i = 0) {
    if (domain.empty()) return;
    if (i >= read || i >= kChoices) { // the second test keeps g++ sure of the bounds
        visit(domain);
        return;
    }
    for (int slot = 0; slot < kChoices; ++slot)
        ForEachSlotGroup(domain & T().valueIn[items[i] - 1][1u << slot],
                         items, read, visit, i + 1);
}

// Calls `visit` with each row of `rows`, lowest first: a word at a time, without the tests that first()
// and removeFirst() make at each row.
template <class Visit>
[[gnu::always_inline]] static inline void ForEachRow(Rows rows, Visit&& visit) {
    for (std::uint64_t word = rows.low(); word != 0; word &= word - 1) visit(std::countr_zero(word));
    for (std::uint64_t word = rows.high(); word != 0; word &= word - 1) visit(64 + std::countr_zero(word));
}

static constexpr std::uint8_t Bit(int category) { return static_cast<std::uint8_t>(1u << category); }
// Items 0..29, category by category.
static constexpr std::size_t ItemOf(int category, int choice) { return static_cast<std::size_t>((category - 1) * kChoices + choice - 1); }
static inline int Lowest(std::uint8_t set) { return std::countr_zero(static_cast<unsigned>(set)); }

// AllowedRows, inlined into the loops that place a category: its arguments are known there, and the call
// costs about as much as the lookups.
[[gnu::always_inline]] static inline Rows Allowed(const Constraint& c, int target, const RowArray& rows) {
    const Tables& t = T();
    const bool isA = c.categoryA == target, isB = c.categoryB == target, isO = c.order == target;
    const int a = c.choiceA - 1, b = c.choiceB - 1;
    if (isA && isB) { // both items in the target, ranked by another category
        assert(!isO);
        // By item A's slot: the rows that put B in one of the slots accepted with it.
        Rows allowed;
        const std::uint32_t pairs = PairsOf(c, rows);
        for (int sa = 0; sa < kChoices; ++sa)
            if (const std::size_t sb = SlotsOfB(pairs, sa)) allowed |= t.valueIn[a][1u << sa] & t.valueIn[b][sb];
        return allowed;
    }
    if (isA && isO) { // item A ranks itself: its rank is its choice; the rank at item B's slot decides
        std::size_t ranks = 0;
        for (int r = 0; r < kChoices; ++r)
            if (Accepts(c.accepted, a - r)) ranks |= 1u << r;
        return t.valueAt[SlotIn(rows, c.categoryB, c.choiceB)][ranks];
    }
    if (isB && isO) {
        std::size_t ranks = 0;
        for (int r = 0; r < kChoices; ++r)
            if (Accepts(c.accepted, r - b)) ranks |= 1u << r;
        return t.valueAt[SlotIn(rows, c.categoryA, c.choiceA)][ranks];
    }
    if (isA) return t.valueIn[a][SlotsOfA(PairsOf(c, rows), SlotIn(rows, c.categoryB, c.choiceB))];
    if (isB) return t.valueIn[b][SlotsOfB(PairsOf(c, rows), SlotIn(rows, c.categoryA, c.choiceA))];
    assert(isO); // only the order category is open
    return RanksApart(c, SlotIn(rows, c.categoryA, c.choiceA), SlotIn(rows, c.categoryB, c.choiceB));
}

} // namespace korvane
