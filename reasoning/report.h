// The whole explanation of a puzzle in one piece, as the window's explanation shows it: the verdict, what
// the explanation says, the deduction step by step and the logic grid as known after any number of
// steps.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "reasoning/deduce.h"
#include "reasoning/explain.h"
#include "reasoning/partners.h"

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

// The grid as known after the first `steps` steps (all of them when there are fewer): every cell open,
// then the facts of those steps set in both directions. A category is its own partner, choice for choice.
PartnerTable KnownAfter(const Trace& trace, std::size_t steps);

} // namespace korvane
