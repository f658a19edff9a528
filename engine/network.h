// The search engine's network: the stated conditions as constraints on the rows of categories 2..6
// (category 1 stays on row 0), and the searches that take the categories in any order: counting,
// deciding whether a solution exists, and collecting the solutions.
//
// How the engine works (docs/engine.md says more). Three layers:
// - the walk (search.cpp) goes through every matching in visit order, category 2's row slowest, with the
//   events of a literal walk (solutions, progress steps, pumps, abort polls), and asks the plan;
// - the plan (plan.cpp) answers "the first solution at or after a place" and "how many in a range" in
//   that order, placing categories 2..6 in turn and asking the network about each subtree (or, with
//   few solutions, sorting all the network collects);
// - the network (network.cpp, narrow.cpp, count.cpp) counts in dynamic order: node by node it branches
//   on the open category that looks cheapest, splits the open categories into groups no constraint
//   links, and keeps what each group's subproblem holds in a memo (memo.h); all of it reads the tables
//   underneath (tables.h), built by the compiler.
// Placing a category filters every open category that a constraint then reads alone; narrowing filters
// further by constraints between two open categories. Narrowing is sound (a row it removes is in no
// solution of the frame) but not complete: it stops after a fixed number of rounds, so a frame may keep
// rows that lead nowhere, which placing finds out. A memo key holds the group's categories, their
// domains, and what each constraint between two of them reads of the placed rows; that is everything the
// subproblem depends on, so a hit is exact whatever path, order or narrowing led to it.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/model.h"
#include "core/rows.h"
#include "engine/indexed.h"
#include "engine/memo.h"
#include "engine/walk.h"

namespace korvane {

// At most the sixteen rows and a few extra rules (see Plan), so that a set of constraints fits a word.
inline constexpr int kMaxConstraints = 32;
using ConstraintSet = std::uint32_t; // bit n: constraint n

// The members of a set of constraints, lowest first, for range-for.
struct Members {
    ConstraintSet set;
    struct Iterator {
        ConstraintSet left;
        int operator*() const { return std::countr_zero(left); }
        Iterator& operator++() { return left &= left - 1, *this; }
        bool operator!=(const Iterator& o) const { return left != o.left; }
    };
    Iterator begin() const { return {set}; }
    Iterator end() const { return {0}; }
};

// Rows by category (index 1..6); category 1 on row 0.
using RowArray = Indexed<int, kCategories + 1>;
// Its rows of categories 2..6, as the walk reads them.
inline std::span<const int, kLevels> Levels(const RowArray& rows) { return std::span<const int, kLevels>(rows.data() + 2, kLevels); }

// One stated condition as a constraint: item A (categoryA, choiceA) and item B (categoryB, choiceB),
// whose slots' rank difference in the order of `order` must lie in `accepted` (bit d + 4).
struct Constraint {
    int rule = 0; // 1..16, then 17.. for extra rules
    int categoryA = 0, choiceA = 0, categoryB = 0, choiceB = 0, order = 0;
    std::uint16_t accepted = 0;
    std::uint8_t scope = 0; // categories 2..6 that the constraint reads, bit c
    bool bySlot = false;    // Corresponds, NotCorresponds: same slot or not, `order` is item A's category
};

// The rows of category `target` allowed by `c` when every other category of its scope has its row in
// `rows`.
Rows AllowedRows(const Constraint& c, int target, const RowArray& rows);

// What is left to decide: the candidate rows of the open categories, filtered by every constraint with
// one open category left, and the rows of the others.
struct Frame {
    Indexed<Rows, kCategories + 1> domain{};    // by category; meaningful for the open ones
    RowArray row{};                             // by category; meaningful for the placed ones
    std::uint8_t open = 0;                      // bit c: category c has no row yet
};

// For a constraint ranking two items by a third category, and one item's slot sa: the rows of the order
// category that rank sa and some slot of a set of the other item's slots as accepted ([sa][set]).
using RanksBySlot = Indexed<Indexed<Rows, 32>, kChoices>;

class Network {
public:
    // At most kMaxConstraints.
    explicit Network(std::span<const Constraint> constraints);

    // Every category open, each filtered by the constraints on it alone, narrowed and probed (see
    // probe()); false when one is left empty.
    bool root(Frame& out);
    // `from` with open category `category` on `row`, and the open categories filtered by the constraints
    // that this leaves with one open category, then narrowed unless `narrowing` is false; false when one
    // has no candidate left.
    bool place(const Frame& from, int category, int row, Frame& to, bool narrowing = true);

    // The number of ways to place the open categories of `f`.
    std::uint64_t count(const Frame& f) { return countWithin(f, f.open); }
    // Whether there is one.
    bool exists(const Frame& f) { return existsWithin(f, f.open); }
    // Appends the index of every way to place the open categories of `f` (the others at their rows), in
    // no particular order; stops and answers false once `limit` would be passed. Subtrees without a
    // solution are skipped by what the memo knows.
    bool collect(const Frame& f, std::size_t limit, std::vector<WalkIndex>& out);

    // The constraints it was built from.
    std::span<const Constraint> constraints() const { return {constraints_.data(), size_}; }

private:
    using Key = Memo::Key;
    static constexpr std::uint64_t kSome = Memo::kSome;

    std::uint64_t countWithin(const Frame& f, std::uint8_t within);
    // collect(), telling in `found` whether it appended any.
    bool collectWithin(const Frame& f, std::size_t limit, std::vector<WalkIndex>& out, bool& found);
    bool existsWithin(const Frame& f, std::uint8_t within);
    std::uint64_t countConnected(const Frame& f, std::uint8_t within);
    bool existsConnected(const Frame& f, std::uint8_t within);
    // countConnected() of a group of three categories, branching on `w`: each row of it filters the two
    // others, whose pairs of rows are then counted without a frame or a memo entry of their own.
    std::uint64_t countThree(const Frame& f, std::uint8_t within, int w);
    // The open categories of `within` (the open categories of a frame, or a union of their groups) split
    // into groups that no unplaced constraint links; returns the number of groups.
    int components(std::uint8_t within, std::array<std::uint8_t, kLevels>& out) const;
    // The subproblem on `within` as a memo key: its domains, and what each constraint linking two of its
    // categories reads of the rows already placed. False when it does not fit a key.
    bool keyOf(const Frame& f, std::uint8_t within, Key& key) const;
    enum class Goal { Count, Find };
    int branchCategory(const Frame& f, std::uint8_t within, Goal goal) const;
    // The choices of `category` whose slots the constraints joining it to other open categories read, in
    // `items`, and how many; more than kChoices when one of them is ranked by the category, which reads
    // its whole row. Rows that put these items in the same slots leave the same problem behind.
    int itemsRead(const Frame& f, int category, std::array<int, kChoices>& items) const;
    // When the category the search would branch on first keeps many rows, tries each of its items that
    // has two slots left in each: a slot where narrowing leaves some category empty goes, and the other
    // is narrowed. In some puzzles most rows of that category fail only once placed, through a chain of
    // conditions across other categories that a single item's slot decides; one trial then stands for
    // half the rows. False when both slots of an item fail.
    bool probe(Frame& f);
    // Filters the open categories of `f` further, by what constraints between two of them allow, starting
    // from the constraints that read a category in `changed` (placed, or filtered, since the last time);
    // false when one is left without a candidate.
    bool narrow(Frame& f, std::uint8_t changed, int rounds);
    // narrow(), with kNewFirst: from the second round on, the constraints that did not run in the round
    // before go first. They meet what that round filtered for the first time, and are likelier to empty
    // a category: for a trial expected to fail, failing sooner.
    template <bool kNewFirst>
    bool narrowAs(Frame& f, std::uint8_t changed, int rounds);
    // narrow() by one constraint: with its order category open beside one item's category, or with both
    // items' categories open. False when a category is left without a candidate; `changed` gains the
    // categories filtered.
    bool narrowOrderOf(Frame& f, const Constraint& c, std::uint8_t& changed);
    bool narrowItemsOf(Frame& f, int n, std::uint8_t& changed);
    static std::uint32_t SlotsOf(const Rows& domain, int choice);

    Indexed<Constraint, kMaxConstraints> constraints_{};
    std::size_t size_ = 0;
    // The constraints whose scope holds each category.
    Members touching(int category) const { return {touching_[category]}; }
    // The constraints reading one or more of `categories`, two or more, three or more.
    struct Reading {
        ConstraintSet once = 0, twice = 0, thrice = 0;
    };
    Reading reading(std::uint8_t categories) const {
        Reading r;
        for (std::uint8_t left = categories; left != 0; left = static_cast<std::uint8_t>(left & (left - 1))) {
            const ConstraintSet t = touching_[std::countr_zero(static_cast<unsigned>(left))];
            r.thrice |= r.twice & t, r.twice |= r.once & t, r.once |= t;
        }
        return r;
    }
    Indexed<ConstraintSet, kCategories + 1> touching_{};
    ConstraintSet narrowable_ = 0; // the constraints narrow() can use
    // By category: the constraints with item A in it, with item B in it, ranking by it.
    Indexed<ConstraintSet, kCategories + 1> itemAIn_{}, itemBIn_{}, orderIn_{};
    // Those ranking items of two categories by a third that can be open: the only ones that can narrow
    // an open order category beside one item's category.
    ConstraintSet rankedInScope_ = 0;
    ConstraintSet rankedByItem_ = 0; // those of rankedInScope_ ranked by one item's category
    // By constraint: the others on the same two items (of two categories), either way round.
    Indexed<ConstraintSet, kMaxConstraints> sameItems_{};
    // By constraint of rankedInScope_: the rows of its order category that rank a slot of item A and
    // some slot of a set as accepted ([sa][set of sb]), and the same seen from item B; null for an
    // accepted set that no relation makes (narrowing then leaves the constraint to placing).
    Indexed<const RanksBySlot*, kMaxConstraints> ranksFromA_{}, ranksFromB_{};
    // The constraint whose narrowing last left a category empty, asked first by the next narrowing: the
    // rows of a category tried one after another mostly fail on the same constraint. It changes the order
    // in which a round asks the constraints, and so, rounds being bounded, which rows it removes: two
    // equal frames may narrow differently after different histories. Both results are sound, and a memo
    // key holds the domains narrowed, so no count or solution depends on it, only the work done. Placing
    // and narrowing update it, and are not const for that reason.
    ConstraintSet lastFailed_ = 0;
    // Built with KORVANE_CHECK_MEMO (count.cpp): each memo hit worked out again; a check running, and the
    // next lookup to skip.
    template <class Value, class Again>
    Value checked(Value stored, const char* what, Again&& again);
    bool skipsLookup();
    bool checkingMemo_ = false, skipLookup_ = false;
    Memo memo_;
    // Scratch for counting two categories: what each constraint between them allows, by item slots. Made
    // on first use, as most searches never need it and clearing it would cost them.
    std::unique_ptr<std::array<std::array<Rows, 25>, 32>> bySlots_;
    // For a set of rows of u, how many of them allow each row of v, bit-sliced: bit k of the number for row
    // r of v is whether r is in plane k (the rows of u are at most 120, so 7 planes hold it). Summing the
    // numbers over a set of rows of v then takes a popcount per plane instead of one per row of u.
    struct PairPlanes {
        std::array<Rows, 7> plane;
        // Adds x at weight 2^from.
        void add(Rows x, std::size_t from = 0) {
            for (std::size_t k = from; k < plane.size() && !x.empty(); ++k) {
                const Rows carry = plane[k] & x;
                plane[k] = plane[k] ^ x;
                x = carry;
            }
        }
        std::uint64_t sumOver(Rows x) const {
            std::uint64_t sum = 0;
            for (std::size_t k = 0; k < plane.size(); ++k) sum += static_cast<std::uint64_t>((plane[k] & x).count()) << k;
            return sum;
        }
    };

    // Makes PairPlanes from row sets added one by one. Adding a set to plane 0 and carrying it up costs a
    // step per plane for a dense set, as some row carries nearly every time; instead each plane keeps one
    // set of its weight waiting, and a second one arriving is added to both at once (three sets of one
    // weight give one of that weight and one of twice it): about one such step per set added.
    struct PlaneAdder {
        PairPlanes sum{};
        std::array<Rows, 7> waiting{};
        unsigned waits = 0; // bit k: waiting[k] holds a set
        void add(Rows x) {
            for (std::size_t k = 0; k < 7; ++k) {
                if (!(waits >> k & 1u)) {
                    waiting[k] = x;
                    waits |= 1u << k;
                    return;
                }
                const Rows a = sum.plane[k], b = waiting[k], ab = a ^ b;
                sum.plane[k] = ab ^ x;
                x = (a & b) | (ab & x); // the carry, of weight 2^(k + 1)
                waits &= ~(1u << k);
            }
        }
        // The sum, once every set is added.
        PairPlanes done() {
            for (std::size_t k = 0; k < 7; ++k)
                if (waits >> k & 1u) sum.add(waiting[k], k);
            waits = 0;
            return sum;
        }
    };

    // The planes of the sets of rows of u met more than once in one countThree(), by set: the rows of w
    // filter u by the slots of a few items, so that a few sets come back again and again.
    struct PlaneCache {
        static constexpr std::size_t kSize = 512;
        struct Entry {
            Rows key;
            std::uint32_t stamp = 0; // the countThree() it belongs to; older ones are empty
            bool built = false;      // else only seen once
            PairPlanes planes;
        };
        std::array<Entry, kSize> entries;
        std::uint32_t stamp = 0;
        std::size_t used = 0;
    };
    // Scratch for countThree(), made on first use.
    std::unique_ptr<PlaneCache> planeCache_;
};

} // namespace korvane
