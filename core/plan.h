// A rule table compiled for the search: each stated condition becomes a constraint on the rows of at
// most three categories (category 1 is fixed on row 0), filtered with row sets instead of being tested
// assignment by assignment. Answers "first solution at or after a position" and "how many solutions in a
// range of positions" in the walk's visit order.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/model.h"
#include "core/rows.h"

namespace korvane {

// A place in the walk: the rows of categories 2..6 (index 0..4), compared lexicographically, which is
// the visit order. As a number: ((((r2 * 120 + r3) * 120 + r4) * 120 + r5) * 120 + r6).
using WalkIndex = std::uint64_t;
inline constexpr WalkIndex kWalkSize = 24'883'200'000ull; // 120^5
inline constexpr int kLevels = 5;                        // categories 2..6

using Position = std::array<int, kLevels>;
Position ToPosition(WalkIndex index);
WalkIndex ToIndex(const Position& position);
Assignment ToAssignment(const Position& position); // category 1 on row 0

// One stated condition as a constraint: item A (categoryA, choiceA) and item B (categoryB, choiceB),
// whose slots' rank difference in the order of `order` must lie in `accepted` (bit d + 4).
struct Constraint {
    int rule = 0; // 1..16, then 17.. for extra rules
    int categoryA = 0, choiceA = 0, categoryB = 0, choiceB = 0, order = 0;
    std::uint16_t accepted = 0;
    std::uint8_t scope = 0; // categories 2..6 that the constraint reads, bit c
    int last = 0;           // the highest category in scope
};

class Plan {
public:
    // Compiles `rules` as the check reads them: rules in row order up to the first malformed one, then
    // the `extra` rules as if they stood in rows 17, 18, ... (for questions such as "could these two
    // items share a slot?").
    explicit Plan(const RuleTable& rules, std::span<const Rule> extra = {});

    // The first rule that would stop the walk with its error message when reached, 0 when none.
    int errorRule() const { return errorRule_; }
    std::string_view errorText() const { return errorText_; }

    // The first position >= from at which every rule above the malformed one (all rules when none)
    // holds; kWalkSize when none.
    WalkIndex findFirst(WalkIndex from);
    // findFirst by a search in visit order alone, without listing every solution in the quickest order
    // first (which findFirst does when there are few).
    WalkIndex search(WalkIndex from);
    // The number of such positions in [from, to).
    std::uint64_t count(WalkIndex from, WalkIndex to);
    // The number of positions passing, counted in whichever order of categories is quickest.
    std::uint64_t countAll();
    // Whether any position passes (with a malformed rule: whether it would be reached), searched in the
    // quickest order without counting.
    bool satisfiable();

    const std::vector<Constraint>& constraints() const { return constraints_; }

private:
    using Domains = std::array<Rows, kLevels>;

    Plan(std::vector<Constraint> constraints, bool impossible);
    void prepare();
    Plan& reordered(); // built on first use
    // Every solution in visit order, when there are few enough to hold; otherwise null.
    const std::vector<WalkIndex>* sorted();

    bool descend(int level, int row);
    bool find(int level, bool tight, const Position& lo, Position& out);
    std::uint64_t countAll(int level);
    std::uint64_t countRange(int level, bool tightLo, bool tightHi, const Position& lo, const Position& hi);

    std::vector<Constraint> constraints_;
    std::array<std::vector<int>, kLevels> triggered_; // constraints to apply once a level is assigned
    std::array<bool, kLevels> independent_{};        // a level whose row constrains no later level
    // What the subtree below a level depends on: the domains of that level and the later ones, and what
    // constraints still to be applied read of the rows already chosen (the slot of an item, or the whole
    // row of an order category). Many prefixes lead to the same state, so subtree counts are kept per
    // state.
    struct Feature {
        int category;
        int choice; // the item's choice, or 0 for the whole row
    };
    static constexpr std::size_t kFeatureWords = 4; // a byte per pending constraint
    struct State {
        std::array<std::uint64_t, 2 * kLevels + kFeatureWords> words{};
        friend bool operator==(const State&, const State&) = default;
    };
    struct StateHash {
        std::size_t operator()(const State& s) const;
    };
    State stateOf(int level) const;
    void remember(int level, const State& state, std::uint64_t count);
    static constexpr std::size_t kMemoLimit = 1 << 18;
    std::array<std::vector<Feature>, kLevels> pending_;
    std::array<bool, kLevels> memoized_{};
    std::array<std::unordered_map<State, std::uint64_t, StateHash>, kLevels> counted_;
    bool impossible_ = false;
    int errorRule_ = 0;
    std::string_view errorText_;

    // frames_[i]: domains after the rows of levels < i were chosen; valid for the rows in chosen_[0..i-1].
    std::array<Domains, kLevels + 1> frames_{};
    std::array<int, kLevels> chosen_{};  // row chosen at each level for the frame below, -1 when none
    std::array<bool, kLevels> alive_{};  // whether frames_[i + 1] has no empty domain
    std::unique_ptr<Plan> reordered_;    // the same constraints with the categories walked in another order
    std::optional<std::uint64_t> total_; // countAll(), once known
    bool isReordered_ = false;
    std::array<int, kCategories + 1> originalOf_{}; // category of this plan for each of reordered_'s
    static constexpr std::uint64_t kSortedLimit = 4096;
    bool sortedKnown_ = false, hasSorted_ = false;
    std::vector<WalkIndex> sorted_;
};

// The rows of category `target` allowed by `c` when every other category of its scope has its row in
// `rows` (indexed by category; category 1 on row 0).
Rows AllowedRows(const Constraint& c, int target, const std::array<int, kCategories + 1>& rows);

} // namespace korvane
