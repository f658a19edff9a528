// The tidying of the rule table before a search: a box that shows no text contributes 0 to its rule,
// and a row with an empty main box states no condition.
#pragma once

#include <array>
#include <string>

#include "core/model.h"

namespace korvane {

// Zeroes the field of every empty box (boxTexts[n - 1] is the text of ComboBox n) and the relation of
// every row with one of its five main boxes empty. A text of blanks is not empty. Idempotent.
void ClearEmptyRuleFields(RuleTable& rules, const std::array<std::string, kBoxes>& boxTexts);

} // namespace korvane
