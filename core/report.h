// The whole explanation of a puzzle in one piece, as the window's explanation shows it: the verdict, what
// the explanation says, the deduction step by step and the logic grid as known after any number of
// steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/deduce.h"
#include "core/explain.h"

namespace korvane {

struct Report {
    Explanation explanation;
    Trace trace;
    // "Ligne k : …" for each row that takes no part in the result or none that it shows (left out,
    // without effect, misread), as the caller read the rows; shown after the explanation.
    std::vector<std::string> idleLines;
};

// Explains and deduces `rules`, tidied as for a search.
Report MakeReport(const RuleTable& rules);

// "Aucune solution", "Plusieurs solutions", "Solution unique", or the error message that stops the search.
std::string ReportVerdict(const Explanation& explanation);

// The grid as known after the first `steps` steps (all of them when there are fewer): every cell open,
// then the facts of those steps set in both directions. A category is its own partner, choice for choice.
PartnerTable KnownAfter(const Trace& trace, std::size_t steps);

// What the explanation says in place of steps when the trace has none: that the search stops on a
// malformed row, that no row states a condition, or that the rows allow no deduction.
std::string NoStepText(const Trace& trace, const RuleTable& rules);

// The explanation as text, one line each: the verdict, the explanation's lines, the idle rows' lines, a
// blank line, then the steps with the grade (none when a malformed row stops the search). With
// `shownSteps` below the number of steps, only the first `shownSteps`, then a line saying how many are
// still hidden, and no grade: what a user who asked for hints has seen.
std::vector<std::string> ReportLines(const Report& report, const Puzzle& puzzle, std::size_t shownSteps = SIZE_MAX);

} // namespace korvane
