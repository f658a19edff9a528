#include "editor/normalise.h"

#include "boxes/boxes.h"

namespace korvane {

void ClearEmptyRuleFields(RuleTable& rules, const std::array<std::string, kBoxes>& boxTexts) {
    for (int k = 1; k <= kRules; ++k) {
        auto empty = [&](BoxRole role) { return boxTexts[static_cast<std::size_t>(BoxNumber(role, k) - 1)].empty(); };
        Rule& r = rules[k];
        if (empty(BoxRole::CategoryA)) r.categoryA = r.choiceA = r.relation = 0;
        if (empty(BoxRole::ChoiceA)) r.choiceA = r.relation = 0;
        if (empty(BoxRole::Relation)) r.relation = 0;
        if (empty(BoxRole::CategoryB)) r.categoryB = r.choiceB = r.relation = 0;
        if (empty(BoxRole::ChoiceB)) r.choiceB = r.relation = 0;
        if (empty(BoxRole::Steps)) r.steps = 0;
        if (empty(BoxRole::Order)) r.orderCategory = 0;
    }
}

} // namespace korvane
