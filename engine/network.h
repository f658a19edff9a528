// The stated conditions as a network of constraints on the rows of categories 2..6 (category 1 stays on
// row 0), and the searches that may take the categories in any order: counting, deciding whether a
// solution exists, and collecting the solutions. Which category is placed next is chosen node by node:
// the open category with the fewest candidate rows left. The count and the existence of a solution do
// not depend on that order, so subtrees that leave the same problem behind share one memo entry.
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

namespace korvane {

// A place in the walk: the rows of categories 2..6 (index 0..4), compared lexicographically, which is
// the visit order. As a number: ((((r2 * 120 + r3) * 120 + r4) * 120 + r5) * 120 + r6).
using WalkIndex = std::uint64_t;
inline constexpr WalkIndex kWalkSize = 24'883'200'000ull; // 120^5
inline constexpr int kLevels = 5;                        // categories 2..6

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
using RowArray = std::array<int, kCategories + 1>;

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
    std::array<Rows, kCategories + 1> domain{}; // by category; meaningful for the open ones
    RowArray row{};                             // by category; meaningful for the placed ones
    std::uint8_t open = 0;                      // bit c: category c has no row yet
};

WalkIndex IndexOf(const RowArray& rows);

class Network {
public:
    // At most kMaxConstraints.
    explicit Network(std::span<const Constraint> constraints);

    // Every category open, each filtered by the constraints on it alone, narrowed and probed (see
    // probe()); false when one is left empty.
    bool root(Frame& out) const;
    // `from` with open category `category` on `row`, and the open categories filtered by the constraints
    // that this leaves with one open category, then narrowed unless `narrowing` is false; false when one
    // has no candidate left.
    bool place(const Frame& from, int category, int row, Frame& to, bool narrowing = true) const;

    // The number of ways to place the open categories of `f`.
    std::uint64_t count(const Frame& f) { return countWithin(f, f.open); }
    // Whether there is one.
    bool exists(const Frame& f) { return existsWithin(f, f.open); }
    // Appends the index of every way to place the open categories of `f` (the others at their rows), in
    // no particular order; stops and answers false once `limit` would be passed. Subtrees without a
    // solution are skipped by what the memo knows.
    bool collect(const Frame& f, std::size_t limit, std::vector<WalkIndex>& out);

    std::span<const Constraint> constraints() const { return {constraints_.data(), size_}; }

private:
    static constexpr std::size_t kFeatures = 24;
    // The words in use come first: a subproblem on few categories, with few constraints reading placed
    // rows, is hashed and compared in a few words.
    struct Key {
        std::array<std::uint64_t, 2 * kLevels + 1 + kFeatures / 2> words;
        std::size_t size; // set by keyOf()
        void push(std::uint64_t word) { words[size++] = word; }
        friend bool operator==(const Key& a, const Key& b) {
            return a.size == b.size && std::equal(a.words.begin(), a.words.begin() + static_cast<std::ptrdiff_t>(a.size), b.words.begin());
        }
    };
    static std::size_t HashOf(const Key& k);
    static constexpr std::uint64_t kSome = ~0ull; // memo value: at least one solution, count unknown
    // Subproblem counts by key, in one flat table with linear probing: it grows to a bound, then starts
    // again empty (forgetting only costs time).
    class Memo {
    public:
        const std::uint64_t* find(const Key& key, std::size_t hash) const;
        void store(const Key& key, std::size_t hash, std::uint64_t value);

    private:
        // A place of the table: where its key's words lie in words_, and the count.
        struct Entry {
            std::uint32_t from;
            std::uint32_t size;
            std::uint64_t value;
        };
        static constexpr std::size_t kLimit = 1 << 18;
        bool holds(const Entry& e, const Key& key) const {
            return e.size == key.size && std::equal(key.words.begin(), key.words.begin() + static_cast<std::ptrdiff_t>(key.size),
                                                    words_.begin() + e.from);
        }
        void insert(std::uint64_t tag, const Entry& entry);
        // Probed first, a word per place: 0 when empty, else the key's hash with its low bit set. Keys
        // are compared only where the tag matches, so a probe seldom leaves this small array. The keys'
        // words lie one after another in words_: most keys are a few words, and the table stays small
        // enough for the caches.
        std::vector<std::uint64_t> tags_;
        std::vector<Entry> entries_;
        std::vector<std::uint64_t> words_;
        std::size_t used_ = 0;
    };

    std::uint64_t countWithin(const Frame& f, std::uint8_t within);
    // collect(), telling in `found` whether it appended any.
    bool collectWithin(const Frame& f, std::size_t limit, std::vector<WalkIndex>& out, bool& found);
    bool existsWithin(const Frame& f, std::uint8_t within);
    std::uint64_t countConnected(const Frame& f, std::uint8_t within);
    bool existsConnected(const Frame& f, std::uint8_t within);
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
    bool probe(Frame& f) const;
    // Filters the open categories of `f` further, by what constraints between two of them allow, starting
    // from the constraints that read a category in `changed` (placed, or filtered, since the last time);
    // false when one is left without a candidate.
    bool narrow(Frame& f, std::uint8_t changed, int rounds) const;
    // narrow(), with kNewFirst: from the second round on, the constraints that did not run in the round
    // before go first. They meet what that round filtered for the first time, and are likelier to empty
    // a category: for a trial expected to fail, failing sooner.
    template <bool kNewFirst>
    bool narrowAs(Frame& f, std::uint8_t changed, int rounds) const;
    // narrow() by one constraint: with its order category open beside one item's category, or with both
    // items' categories open. False when a category is left without a candidate; `changed` gains the
    // categories filtered.
    bool narrowOrderOf(Frame& f, const Constraint& c, std::uint8_t& changed) const;
    bool narrowItemsOf(Frame& f, int n, std::uint8_t& changed) const;
    static std::uint32_t SlotsOf(const Rows& domain, int choice);

    std::array<Constraint, kMaxConstraints> constraints_{};
    std::size_t size_ = 0;
    // The constraints whose scope holds each category.
    Members touching(int category) const { return {touching_[static_cast<std::size_t>(category)]}; }
    // The constraints reading one or more of `categories`, two or more, three or more.
    struct Reading {
        ConstraintSet once = 0, twice = 0, thrice = 0;
    };
    Reading reading(std::uint8_t categories) const;
    std::array<ConstraintSet, kCategories + 1> touching_{};
    ConstraintSet narrowable_ = 0; // the constraints narrow() can use
    // By category: the constraints with item A in it, with item B in it, ranking by it.
    std::array<ConstraintSet, kCategories + 1> itemAIn_{}, itemBIn_{}, orderIn_{};
    // Those ranking items of two categories by a third that can be open: the only ones that can narrow
    // an open order category beside one item's category.
    ConstraintSet rankedInScope_ = 0;
    ConstraintSet rankedByItem_ = 0; // those of rankedInScope_ ranked by one item's category
    // By constraint: the others on the same two items (of two categories), either way round.
    std::array<ConstraintSet, kMaxConstraints> sameItems_{};
    // By constraint of rankedInScope_: the rows of its order category that rank a slot of item A and
    // some slot of a set as accepted ([sa][set of sb]), and the same seen from item B; null for an
    // accepted set that no relation makes (narrowing then leaves the constraint to placing).
    using RanksBySlot = std::array<std::array<Rows, 32>, kChoices>;
    std::array<const RanksBySlot*, kMaxConstraints> ranksFromA_{}, ranksFromB_{};
    mutable ConstraintSet lastFailed_ = 0; // the constraint whose narrowing last left a category empty
    Memo memo_;
    // Scratch for counting two categories: what each constraint between them allows, by item slots. Made
    // on first use, as most searches never need it and clearing it would cost them.
    std::unique_ptr<std::array<std::array<Rows, 25>, 32>> bySlots_;
};

} // namespace korvane
