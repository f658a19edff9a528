// A rule table compiled for the search: each stated condition becomes a constraint on the rows of at
// most three categories (category 1 is fixed on row 0), filtered with row sets instead of being tested
// assignment by assignment. Answers "first solution at or after a position" and "how many solutions in a
// range of positions" in the walk's visit order: the walk takes categories 2..6 in that order, and asks
// the network, which may take them in any order, whether a subtree holds a solution and how many.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/model.h"
#include "core/rows.h"
#include "engine/network.h"
#include "engine/walk.h"

namespace korvane {

class Plan {
public:
    // Compiles `rules` as the check reads them: rules in row order up to the first malformed one, then
    // the `extra` rules as if they stood in rows 17, 18, ... (for questions such as "could these two
    // items share a slot?"); at most kMaxConstraints - kRules of them.
    explicit Plan(const RuleTable& rules, std::span<const Rule> extra = {});

    // The first rule that would stop the walk with its error message when reached, 0 when none.
    int errorRule() const { return errorRule_; }
    std::string_view errorText() const { return errorText_; }

    // The first position >= from at which every rule above the malformed one (all rules when none)
    // holds; kWalkSize when none.
    WalkIndex findFirst(WalkIndex from);
    // findFirst by a search in visit order alone, without collecting every solution first (which
    // findFirst does when there are few).
    WalkIndex search(WalkIndex from);
    // The number of such positions in [from, to).
    std::uint64_t count(WalkIndex from, WalkIndex to);
    // The number of positions passing, counted by the network, which places the categories in the order
    // it finds quickest, node by node.
    std::uint64_t countAll();
    // countAll() when it is known without counting (already counted, or every solution collected).
    std::optional<std::uint64_t> knownTotal() const { return total_; }
    // Whether any position passes (with a malformed rule: whether it would be reached), searched by the
    // network without counting.
    bool satisfiable();
    // Whether exactly one position passes, found by searching for a first and a second.
    bool unique() {
        const WalkIndex first = search(0);
        return first < kWalkSize && search(first + 1) == kWalkSize;
    }
    // The constraints compiled from the rules, for a network of one's own (the network's tests).
    std::span<const Constraint> constraints() const { return network_.constraints(); }

private:
    struct Compiled;
    explicit Plan(Compiled compiled);
    // Every solution in visit order, when there are few enough to hold; otherwise null.
    const std::vector<WalkIndex>* sorted();

    bool descend(int level, int row);
    bool find(int level, bool tight, const Position& lo, Position& out);
    std::uint64_t countRange(int level, bool tightLo, bool tightHi, const Position& lo, const Position& hi);

    Network network_;
    bool impossible_ = false;
    int errorRule_ = 0;
    std::string_view errorText_;

    // frames_[i]: categories 2..i+1 placed on the rows in chosen_[0..i-1], filtered.
    std::array<Frame, kLevels + 1> frames_{};
    std::array<int, kLevels> chosen_{};  // row chosen at each level for the frame below, -1 when none
    std::array<bool, kLevels> alive_{};  // whether frames_[i + 1] has no empty domain
    std::optional<std::uint64_t> total_; // countAll(), once known
    static constexpr std::size_t kSortedLimit = 4096;
    bool sortedKnown_ = false, hasSorted_ = false;
    std::vector<WalkIndex> sorted_;
};

} // namespace korvane
