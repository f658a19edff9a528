// The whole explanation of a puzzle as text, as the explanation window shows it.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"
#include "reasoning/explain.h"
#include "reasoning/report.h"

namespace korvane {

// "Aucune solution", "Plusieurs solutions", "Solution unique", or the error message that stops the search.
std::string ReportVerdict(const Explanation& explanation);

// The explanation as text, one line each: the verdict, the explanation's lines, a blank line, then the
// steps with the grade (none when a malformed row stops the search).
std::vector<std::string> ReportLines(const Report& report, const Puzzle& puzzle);

} // namespace korvane
