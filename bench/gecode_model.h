// The same puzzle as a model for a general constraint solver, to compare the engine with: the slot of
// every choice, the choice at every slot (its rank in its category's order) channelled to it, category 1
// fixed as the walk fixes it, and each condition as an equation on slots or on the difference of ranks.
#pragma once

#include <cstdint>

#include "core/model.h"

namespace korvane::bench {

// Whether every stated condition has fields the model can express (categories, choices and order
// categories in range); rule tables with odd fields are left to the engine alone.
bool ModelFits(const RuleTable& rules);

// The number of solutions, every one of them visited by depth-first search.
std::uint64_t GecodeCount(const RuleTable& rules);

} // namespace korvane::bench
