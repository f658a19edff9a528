// The whole explanation of a puzzle as text, as the explanation window shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model.h"
#include "reasoning/explain.h"
#include "reasoning/report.h"

namespace korvane {

// "Aucune solution", "Plusieurs solutions", "Solution unique", or the error message that stops the search.
std::string ReportVerdict(const Explanation& explanation);

// What the explanation says in place of steps when the trace has none: that the search stops on a
// malformed row, that no row states a condition, or that the rows allow no deduction.
std::string NoStepText(const Trace& trace, const RuleTable& rules);

// The explanation as text, one line each: the verdict, the explanation's lines, the idle rows' lines, a
// blank line, then the steps with the grade (none when a malformed row stops the search). With
// `shownSteps` below the number of steps, only the first `shownSteps`, then a line saying how many are
// still hidden, and no grade: what a user who asked for hints has seen.
std::vector<std::string> ReportLines(const Report& report, const Puzzle& puzzle, std::size_t shownSteps = SIZE_MAX);

} // namespace korvane
