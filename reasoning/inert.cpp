#include "reasoning/inert.h"

#include <vector>

#include "core/relations.h"

namespace korvane {

bool HoldsForEveryMatching(const Rule& rule) {
    const RelationInfo* info = FindRelation(rule.relation);
    if (!info || !IsCategory(rule.categoryA) || !IsCategory(rule.categoryB)) return false;
    // Category A keeps row 0; the others the rule reads take every row.
    std::vector<int> free;
    if (rule.categoryB != rule.categoryA) free.push_back(rule.categoryB);
    const int order = rule.orderCategory;
    if (info->usesOrder && IsCategory(order) && order != rule.categoryA && order != rule.categoryB) free.push_back(order);
    Assignment a;
    for (int c = 1; c <= kCategories; ++c) a.row[static_cast<std::size_t>(c)] = 0;
    const int runs = free.empty() ? 1 : free.size() == 1 ? kRows : kRows * kRows;
    for (int i = 0; i < runs; ++i) {
        if (free.size() >= 1) a.row[static_cast<std::size_t>(free[0])] = static_cast<std::int16_t>(i % kRows);
        if (free.size() == 2) a.row[static_cast<std::size_t>(free[1])] = static_cast<std::int16_t>(i / kRows);
        if (EvaluateRule(a, rule) != Verdict::Holds) return false;
    }
    return true;
}

std::vector<InertRow> InertRows(const RuleTable& rules) {
    std::vector<InertRow> rows;
    for (int k = 1; k <= kRules; ++k) {
        const Rule& r = rules[k];
        if (!HoldsForEveryMatching(r)) continue;
        InertReason reason = InertReason::Always;
        if (!IsChoice(r.choiceA) || !IsChoice(r.choiceB))
            reason = InertReason::NoChoice;
        else if (FindRelation(r.relation)->usesOrder && !IsCategory(r.orderCategory))
            reason = InertReason::NoOrderCategory;
        else if (r.categoryA == r.categoryB && r.choiceA == r.choiceB)
            reason = InertReason::SameItem;
        rows.push_back({k, reason});
    }
    return rows;
}

} // namespace korvane
