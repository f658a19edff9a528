// The consistency check: a complete assignment against the sixteen rules, in row order.
#pragma once

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

} // namespace korvane
