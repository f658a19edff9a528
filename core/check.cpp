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

std::vector<int> RowsOf(RowMask rows) {
    std::vector<int> list;
    for (int k = 1; k <= kRules; ++k)
        if (rows & RowBit(k)) list.push_back(k);
    return list;
}

RowsRead StatedRows(const RuleTable& rules) {
    RowsRead read;
    for (int k = 1; k <= kRules; ++k) {
        if (!IsRelation(rules[k].relation)) continue;
        read.malformed = MalformedRowOf(rules[k], k);
        if (read.malformed.row != 0) break; // nothing below it is read
        read.stated |= RowBit(k);
    }
    return read;
}

} // namespace korvane
