#include "engine/search.h"

#include <algorithm>
#include <optional>

#include "engine/plan.h"

namespace korvane {

namespace {

constexpr WalkIndex kRowSize = 120ull * 120ull; // assignments in one row of category 4
constexpr WalkIndex kRowCount = kWalkSize / kRowSize;

// The bars follow a percentage of a loop index; a bar steps when the percentage grows.
constexpr int Percent(int index) { return index * 100 / 120; }
constexpr bool InnerBarSteps(int k) { return k >= 1 && Percent(k) > Percent(k - 1); }
constexpr bool OuterBarSteps(int j) { return j >= 1 && Percent(j) > Percent(j - 1); }

// Which bar steps at the end of row `row` of category 4 (counted across the walk): the inner one when
// category 3 advanced a percent within category 2's row, the outer one when category 2 advanced a percent.
struct BarSteps {
    bool inner, outer;
};
constexpr BarSteps BarStepsAfter(WalkIndex row) {
    const int l = static_cast<int>(row % 120), k = static_cast<int>(row / 120 % 120), j = static_cast<int>(row / 14400);
    return {l == 0 && InnerBarSteps(k), l == 119 && k == 0 && OuterBarSteps(j)};
}
// The next row of category 4 after `row` that can step a bar: only the first and the last row of a block
// of category 3 can.
constexpr WalkIndex NextBarRow(WalkIndex row) {
    const WalkIndex l = row % 120;
    return l < 119 ? row - l + 119 : row + 1;
}

class Walk {
public:
    Walk(const RuleTable& live, SearchObserver& observer, const SearchOptions& options)
        : live_(live), observer_(observer), options_(options), progress_(observer.followsProgress()) {}

    SearchResult run();

private:
    enum class Step { Continue, Replan, Abort };

    void compile() {
        snapshot_ = live_;
        plan_.emplace(snapshot_);
    }
    void recompile() {
        compile();
        rulesChanged_ = true;
    }
    Step pump();
    Step pass(WalkIndex to);
    // Whether no solution is left after at_, when the whole count is known already (the search for the
    // next solution would find none, only later). Not counted for this: listing the first solutions must
    // not wait for the count of them all.
    bool noneLeft() {
        const std::optional<std::uint64_t> total = plan_->knownTotal();
        return total && (*total == 0 || (!rulesChanged_ && result_.count >= *total));
    }
    Step pollAbort() {
        if (!pollDue_) return Step::Continue;
        pollDue_ = false;
        return observer_.abortRequested() ? Step::Abort : Step::Continue;
    }

    const RuleTable& live_;
    SearchObserver& observer_;
    const SearchOptions& options_;
    const bool progress_;

    RuleTable snapshot_;
    std::optional<Plan> plan_;
    WalkIndex at_ = 0;       // the next assignment to judge
    bool rulesChanged_ = false; // the rules changed during the walk
    WalkIndex nextRow_ = 0;  // the next row of category 4 whose end has not been passed
    bool pollDue_ = false;   // a pump ran since the last abort poll
    bool listing_ = true;
    // Past the listing limit with the bars: the end of the stretch counted ahead of the walk, 0 for none.
    WalkIndex countedTo_ = 0;
    SearchResult result_;
};

// Runs the observer's pump; afterwards the rules may be new, and the abort request must be polled at the
// next poll point.
Walk::Step Walk::pump() {
    observer_.pump();
    pollDue_ = true;
    if (!(live_ == snapshot_)) {
        // What was counted ahead under the old rules past the row the walk stands at is not theirs.
        const WalkIndex standsAt = nextRow_ * kRowSize;
        if (countedTo_ > standsAt) result_.count -= plan_->count(standsAt, countedTo_);
        countedTo_ = 0;
        recompile();
        return Step::Replan;
    }
    return Step::Continue;
}

// Passes the ends of the rows of category 4 that finish before `to`, with their abort polls and bar
// steps. Stops after a pump that changed the rules (at_ is then the row's end) or on abort.
Walk::Step Walk::pass(WalkIndex to) {
    if (!progress_) return Step::Continue;
    const WalkIndex lastRow = to / kRowSize; // rows before this one end before `to`
    while (nextRow_ < lastRow) {
        const WalkIndex row = nextRow_;
        if (pollAbort() == Step::Abort) return Step::Abort;
        const auto [inner, outer] = BarStepsAfter(row);
        nextRow_ = row + 1;
        if (inner || outer) {
            if (!listing_) observer_.solutionsCounted(result_.count);
            inner ? observer_.stepInnerBar() : observer_.stepOuterBar();
            if (pump() == Step::Replan) {
                at_ = nextRow_ * kRowSize;
                return Step::Replan;
            }
        } else if (!pollDue_) {
            nextRow_ = std::min(lastRow, NextBarRow(row));
        }
    }
    return Step::Continue;
}

SearchResult Walk::run() {
    compile();
    for (;;) {
        if (plan_->errorRule() != 0) {
            // No solution can be found: the first assignment passing the rules above the malformed one
            // stops the walk.
            const WalkIndex stop = plan_->satisfiable() ? plan_->findFirst(at_) : kWalkSize;
            const Step step = pass(stop);
            if (step == Step::Abort) return result_.outcome = SearchOutcome::Aborted, result_;
            if (step == Step::Replan) continue;
            if (stop == kWalkSize) return result_;
            result_.outcome = SearchOutcome::RuleError;
            result_.errorRule = plan_->errorRule();
            result_.errorText = plan_->errorText();
            result_.errorAt = ToAssignment(ToPosition(stop));
            return result_;
        }
        if (listing_ && result_.listed >= options_.listLimit) listing_ = false;
        if (listing_) {
            const WalkIndex found = noneLeft() ? kWalkSize : plan_->findFirst(at_);
            const Step step = pass(found);
            if (step == Step::Abort) return result_.outcome = SearchOutcome::Aborted, result_;
            if (step == Step::Replan) continue;
            if (found == kWalkSize) return result_;
            if (pollAbort() == Step::Abort) return result_.outcome = SearchOutcome::Aborted, result_;
            ++result_.count;
            ++result_.listed;
            observer_.solutionFound(ToAssignment(ToPosition(found)), result_.count);
            at_ = found + 1;
            observer_.pump(); // the walk pumps twice after each solution; the rules are read after both
            observer_.pump();
            pollDue_ = true;
            if (!(live_ == snapshot_)) recompile();
            continue;
        }
        // Past the listing limit: count, stopping only where the walk pumps.
        if (!progress_) {
            // When the rules held from the start, every solution before at_ is already counted: the
            // whole count, taken in the quickest order, includes them.
            result_.count = rulesChanged_ ? result_.count + plan_->count(at_, kWalkSize) : plan_->countAll();
            return result_;
        }
        // One row of category 2 counted at a time, up to where the outer bar steps, then walked through
        // with the inner bar's steps and pumps: counting by the inner bar's stretches would fix category 3
        // too, which costs the count a good deal. The whole count is not asked first: on a long table it
        // would keep the window from its pumps for as long as the count takes.
        WalkIndex to = kWalkSize;
        for (WalkIndex row = at_ / kRowSize; row < kRowCount; row = NextBarRow(row)) {
            if (BarStepsAfter(row).outer) {
                to = (row + 1) * kRowSize;
                break;
            }
        }
        if (!noneLeft()) result_.count += plan_->count(at_, to);
        countedTo_ = to;
        at_ = to;
        const Step step = pass(to);
        if (step == Step::Continue) countedTo_ = 0;
        if (step == Step::Abort) return result_.outcome = SearchOutcome::Aborted, result_;
        if (step == Step::Continue && to == kWalkSize) return result_;
    }
}

class CountOnly final : public SearchObserver {};

} // namespace

SearchResult Search(const RuleTable& rules, SearchObserver& observer, const SearchOptions& options) {
    return Walk(rules, observer, options).run();
}

SearchResult CountSolutions(const RuleTable& rules) {
    CountOnly observer;
    return Search(rules, observer, SearchOptions{0});
}

} // namespace korvane
