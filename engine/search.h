// The search: every complete assignment in visit order (category 2's row slowest, category 6's fastest,
// each from row 0 to 119, category 1 on row 0), judged against the rule table. The engine skips what
// provably holds no solution and no malformed rule, and counts what it need not list, yet reports the
// same solutions, count, error and progress events as the walk over all 120^5 assignments would.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "core/model.h"

namespace korvane {

// Receives the events of a search, at the points where the walk has them. The engine is the caller: it
// never blocks, shows or sounds anything itself.
//
// Contract: the abort request and the rule table handed to Search() may change only inside pump(). After
// every pump the engine reads both afresh, and from the next assignment on judges by the new rules.
class SearchObserver {
public:
    virtual ~SearchObserver() = default;

    // True to receive the progress-bar steps (and their pumps) and the abort polls of the walk. When
    // false the engine skips them, which is what a caller without a window wants.
    virtual bool followsProgress() const { return false; }

    // A solution, the `count`-th in visit order (count is 1-based). Called for listed solutions only.
    virtual void solutionFound(const Assignment& /*assignment*/, std::uint64_t /*count*/) {}
    // Past the listing limit, the running count, reported before each pump.
    virtual void solutionsCounted(std::uint64_t /*count*/) {}

    // ProgressBar1 steps once (category 3 advanced a percent within category 2's row).
    virtual void stepInnerBar() {}
    // ProgressBar2 steps once (category 2 advanced a percent).
    virtual void stepOuterBar() {}

    // Process pending window messages.
    virtual void pump() {}
    // Polled at the walk's abort points (after each solution is found and after each row of category 4)
    // whenever a pump has run since the last poll.
    virtual bool abortRequested() { return false; }
};

struct SearchOptions {
    // Solutions reported one by one through solutionFound(); the rest are counted exactly. While
    // listing, every solution is followed by two pumps as in the walk; past the limit there is no pump per
    // solution, only the progress pumps.
    std::uint64_t listLimit = std::numeric_limits<std::uint64_t>::max();
};

enum class SearchOutcome : std::uint8_t {
    Completed, // the walk reached its end
    Aborted,   // abortRequested() answered true at a poll point
    RuleError, // a malformed rule was reached: a relation chosen with a category outside 1..6
};

struct SearchResult {
    SearchOutcome outcome = SearchOutcome::Completed;
    std::uint64_t count = 0;  // solutions found up to the end (listed and counted)
    std::uint64_t listed = 0; // of which reported through solutionFound()
    int errorRule = 0;        // RuleError: the malformed rule, 1..16
    std::string_view errorText; // RuleError: "Erreur 201" .. "Erreur 210"
    Assignment errorAt;       // RuleError: the assignment on which it was reached
};

// Walks every complete assignment in visit order against `rules`, which is read afresh after each pump.
SearchResult Search(const RuleTable& rules, SearchObserver& observer, const SearchOptions& options = {});

// The number of solutions, with no events; an error when a malformed rule would be reached.
SearchResult CountSolutions(const RuleTable& rules);

} // namespace korvane
