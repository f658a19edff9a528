#include "editor/normalise.h"

namespace korvane {

void ClearEmptyRuleFields(RuleTable& rules, const std::array<std::string, kBoxes>& boxTexts) {
    auto empty = [&](int box) { return boxTexts[static_cast<std::size_t>(box - 1)].empty(); };
    for (int k = 1; k <= kRules; ++k) {
        Rule& r = rules[k];
        const int first = 5 * k - 4;
        if (empty(first)) r.categoryA = r.choiceA = r.relation = 0;
        if (empty(first + 1)) r.choiceA = r.relation = 0;
        if (empty(first + 2)) r.relation = 0;
        if (empty(first + 3)) r.categoryB = r.choiceB = r.relation = 0;
        if (empty(first + 4)) r.choiceB = r.relation = 0;
        if (empty(80 + k)) r.steps = 0;
        if (empty(96 + k)) r.orderCategory = 0;
    }
}

} // namespace korvane
