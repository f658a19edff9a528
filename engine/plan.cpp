#include "engine/plan.h"

#include <algorithm>
#include <bit>
#include <cassert>

#include "core/relations.h"

namespace korvane {

Position ToPosition(WalkIndex index) {
    Position p{};
    for (int i = kLevels - 1; i >= 0; --i) {
        p[static_cast<std::size_t>(i)] = static_cast<int>(index % kRows);
        index /= kRows;
    }
    return p;
}

Assignment ToAssignment(const Position& position) {
    Assignment a;
    a.row[1] = 0;
    for (int i = 0; i < kLevels; ++i)
        a.row[static_cast<std::size_t>(i + 2)] = static_cast<std::int16_t>(position[static_cast<std::size_t>(i)]);
    return a;
}

// The rules as constraints, up to the first malformed one.
struct Plan::Compiled {
    std::array<Constraint, kMaxConstraints> constraints{};
    std::size_t size = 0;
    bool impossible = false;
    int errorRule = 0;
    std::string_view errorText;
};

namespace {

constexpr std::uint8_t ScopeBit(int category) { return category >= 2 ? static_cast<std::uint8_t>(1u << category) : 0; }

} // namespace

Plan::Plan(const RuleTable& rules, std::span<const Rule> extra) : Plan([&] {
    Compiled out;
    // Every constraint fits the network's sets: the sixteen rows and a few questions at a time.
    assert(extra.size() <= static_cast<std::size_t>(kMaxConstraints - kRules));
    const int stated = kRules + static_cast<int>(std::min(extra.size(), static_cast<std::size_t>(kMaxConstraints - kRules)));
    for (int k = 1; k <= stated; ++k) {
        const Rule& r = k <= kRules ? rules[k] : extra[static_cast<std::size_t>(k - kRules - 1)];
        const RelationInfo* info = FindRelation(r.relation);
        if (!info) continue;
        if (!IsCategory(r.categoryA) || !IsCategory(r.categoryB)) {
            // Reached on the first assignment that passes every rule above it; nothing below matters.
            out.errorRule = k;
            out.errorText = info->errorText;
            break;
        }
        const bool located = IsChoice(r.choiceA) && IsChoice(r.choiceB);
        Constraint c{k, r.categoryA, r.choiceA, r.categoryB, r.choiceB, r.categoryA, 0, 0, false};
        // Holds or fails on every assignment: nothing to filter.
        std::optional<bool> constant;
        switch (info->kind) {
        case RelationKind::Corresponds:
            // Item A is always located when its choice is 1..5; item B then must be in its slot.
            if (!IsChoice(r.choiceA)) constant = true;
            else if (!IsChoice(r.choiceB)) constant = false;
            c.accepted = AcceptedDifferences(info->kind, 1); // same slot: rank difference 0 in any order
            c.bySlot = true;
            break;
        case RelationKind::NotCorresponds:
            if (!located) constant = true;
            c.accepted = AcceptedDifferences(info->kind, 1);
            c.bySlot = true;
            break;
        default:
            c.accepted = AcceptedDifferences(info->kind, EffectiveSteps(r.steps));
            if (!located) constant = true;
            else if (!IsCategory(r.orderCategory)) constant = Accepts(c.accepted, 1);
            else c.order = r.orderCategory;
            break;
        }
        if (!constant && c.categoryA == c.categoryB && c.categoryB == c.order)
            constant = Accepts(c.accepted, c.choiceA - c.choiceB); // one category ranks both items
        if (constant) {
            if (*constant) continue;
            out.impossible = true; // no assignment passes this rule, so none reaches a later one
            break;
        }
        c.scope = static_cast<std::uint8_t>(ScopeBit(c.categoryA) | ScopeBit(c.categoryB) | ScopeBit(c.order));
        if (c.scope == 0) { // everything in category 1, which never moves
            if (AllowedRows(c, 1, RowArray{}).test(0)) continue;
            out.impossible = true;
            break;
        }
        out.constraints[out.size++] = c;
    }
    return out;
}()) {}

Plan::Plan(Compiled compiled)
    : network_(std::span<const Constraint>(compiled.constraints.data(), compiled.size)), impossible_(compiled.impossible), errorRule_(compiled.errorRule),
      errorText_(compiled.errorText) {
    if (!network_.root(frames_[0])) impossible_ = true;
    chosen_.fill(-1);
}

bool Plan::descend(int level, int row) {
    const auto l = static_cast<std::size_t>(level);
    if (chosen_[l] == row) return alive_[l];
    for (std::size_t j = l + 1; j < kLevels; ++j) chosen_[j] = -1;
    chosen_[l] = row;
    return alive_[l] = network_.place(frames_[l], level + 2, row, frames_[l + 1]);
}

bool Plan::find(int level, bool tight, const Position& lo, Position& out) {
    const auto l = static_cast<std::size_t>(level);
    Rows candidates = frames_[l].domain[l + 2];
    if (tight) candidates &= Rows::From(lo[l]);
    if (level == kLevels - 1) {
        if (candidates.empty()) return false;
        out[l] = candidates.first();
        return true;
    }
    for (; !candidates.empty(); candidates.removeFirst()) {
        const int row = candidates.first();
        if (!descend(level, row)) continue;
        out[l] = row;
        if (tight && row == lo[l]) {
            if (find(level + 1, true, lo, out)) return true;
            continue;
        }
        // Below a row with a solution, the first row of each later category with one leads to it. With
        // three categories or fewer left, looking is quicker than asking first (which walks the rows of
        // the same subtree again, in its own order, before the walk does).
        if ((level + 1 >= kLevels - 3 || network_.exists(frames_[l + 1])) && find(level + 1, false, lo, out)) return true;
    }
    return false;
}

std::uint64_t Plan::countRange(int level, bool tightLo, bool tightHi, const Position& lo, const Position& hi) {
    const auto l = static_cast<std::size_t>(level);
    if (!tightLo && !tightHi) return network_.count(frames_[l]);
    Rows d = frames_[l].domain[l + 2];
    if (tightLo) d &= Rows::From(lo[l]);
    if (level == kLevels - 1) {
        if (tightHi) d &= Rows::Below(hi[l]);
        return static_cast<std::uint64_t>(d.count());
    }
    if (tightHi) d &= Rows::Below(hi[l] + 1);
    std::uint64_t total = 0;
    for (; !d.empty(); d.removeFirst()) {
        const int row = d.first();
        if (descend(level, row))
            total += countRange(level + 1, tightLo && row == lo[l], tightHi && row == hi[l], lo, hi);
    }
    return total;
}

std::uint64_t Plan::countAll() {
    if (impossible_) return 0;
    if (!total_) total_ = network_.count(frames_[0]);
    return *total_;
}

bool Plan::satisfiable() {
    if (impossible_) return false;
    if (total_) return *total_ > 0;
    return network_.exists(frames_[0]);
}

const std::vector<WalkIndex>* Plan::sorted() {
    if (impossible_) return nullptr;
    if (!sortedKnown_) {
        sortedKnown_ = true;
        // Found in the network's order, put back in visit order.
        if ((!total_ || *total_ <= kSortedLimit) && network_.collect(frames_[0], kSortedLimit, sorted_)) {
            std::sort(sorted_.begin(), sorted_.end());
            hasSorted_ = true;
            total_ = sorted_.size();
        } else {
            sorted_ = {};
        }
    }
    return hasSorted_ ? &sorted_ : nullptr;
}

WalkIndex Plan::search(WalkIndex from) {
    if (impossible_ || from >= kWalkSize) return kWalkSize;
    Position out{};
    return find(0, true, ToPosition(from), out) ? ToIndex(out) : kWalkSize;
}

WalkIndex Plan::findFirst(WalkIndex from) {
    if (const std::vector<WalkIndex>* all = sorted()) {
        const auto it = std::lower_bound(all->begin(), all->end(), from);
        return it == all->end() ? kWalkSize : *it;
    }
    return search(from);
}

std::uint64_t Plan::count(WalkIndex from, WalkIndex to) {
    if (impossible_ || from >= to) return 0;
    if (const std::vector<WalkIndex>* all = sorted())
        return static_cast<std::uint64_t>(std::lower_bound(all->begin(), all->end(), to) -
                                          std::lower_bound(all->begin(), all->end(), from));
    const bool tightHi = to < kWalkSize;
    return countRange(0, from > 0, tightHi, ToPosition(from), ToPosition(tightHi ? to : 0));
}

} // namespace korvane
