// The walk exactly as the program is meant to behave, assignment by assignment with CheckAssignment, and
// an observer that records every event: the oracle the search engine is tested against.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/check.h"
#include "engine/plan.h"
#include "engine/search.h"

namespace korvane::testing {

// Records events as text ("S<index>", "I", "O", "P", "Q<answer>", "C<count>") and runs scripted actions
// at given pumps: change the live rules, request an abort.
class RecordingObserver : public SearchObserver {
public:
    RecordingObserver(RuleTable& live, bool progress) : live_(live), progress_(progress) {}

    std::map<int, std::function<void(RuleTable&)>> onPump; // by 1-based pump number
    int abortAtPump = 0;                                    // 0: never
    std::vector<std::string> events;

    bool followsProgress() const override { return progress_; }
    void solutionFound(const Assignment& a, std::uint64_t count) override;
    void solutionsCounted(std::uint64_t count) override {
        std::string event = "C";
        event += std::to_string(count);
        events.push_back(std::move(event));
    }
    void stepInnerBar() override { events.push_back("I"); }
    void stepOuterBar() override { events.push_back("O"); }
    void pump() override;
    bool abortRequested() override {
        events.push_back(abort_ ? "Q1" : "Q0");
        return abort_;
    }

private:
    RuleTable& live_;
    bool progress_;
    bool abort_ = false;
    int pumps_ = 0;
};

// Walks every assignment in visit order as the solve command does. Assignments outside category 2's row
// `onlyJ` and category 3's row `onlyK` are taken as failing without being checked (pass -1 to check
// all); a test must pin categories 2 and 3 with rules it never changes for that to be exact. Polls the
// abort request only when a pump ran since the last poll, as the engine's observer contract allows.
SearchResult LiteralWalk(const RuleTable& live, SearchObserver& observer, const SearchOptions& options, int onlyJ,
                         int onlyK);

// Every assignment that `fixed` leaves to the categories in `open` (bit c: category c, 2..6), walked in
// visit order, the others on their rows in `fixed`: those CheckAssignment passes, by their index, or
// the first where it reaches a malformed rule (then `malformed` is that rule).
struct RowVerdicts {
    std::vector<WalkIndex> passing;
    WalkIndex firstMalformed = kWalkSize;
    int malformed = 0;
};
RowVerdicts CheckOpen(const RuleTable& rules, Assignment fixed, std::uint8_t open);
// CheckOpen over one row of category 4: rows j, k, l of categories 2, 3, 4, categories 5 and 6 open.
RowVerdicts CheckRow(const RuleTable& rules, int j, int k, int l);

} // namespace korvane::testing
