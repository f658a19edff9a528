#include "core/check.h"

#include <cassert>

namespace korvane {

CheckResult CheckAssignment(const RuleTable& rules, const Assignment& assignment) {
    assert(assignment.complete());
    for (int k = 1; k <= kRules; ++k) {
        const Rule& r = rules[k];
        if (!IsRelation(r.relation)) continue;
        const Verdict v = EvaluateRule(assignment, r);
        if (v != Verdict::Holds) return {v, k};
    }
    return {};
}

} // namespace korvane
