// The consistency check: a complete assignment against the sixteen rules, in row order.
#pragma once

#include <string_view>

#include "core/model.h"
#include "core/relations.h"

namespace korvane {

struct CheckResult {
    Verdict verdict = Verdict::Holds;
    int rule = 0; // the rule that failed or was malformed (1..16); 0 when every rule holds
};

// Evaluates rules 1..16 in order, skipping those with a relation outside 1..10, and stops at the first
// that fails or is malformed. Precondition: the assignment is complete.
CheckResult CheckAssignment(const RuleTable& rules, const Assignment& assignment);

// A stated condition with a category outside 1..6, the first in row order.
struct MalformedRow {
    int row = 0;                // 1..16; 0 when every stated condition is well formed
    bool categoryA = false;     // the category box of item A names no category
    bool categoryB = false;     // the category box of item B names no category
    std::string_view errorText; // "Erreur 201" .. "Erreur 210"
    bool reached = false;       // the search reaches it and stops there
};

} // namespace korvane
