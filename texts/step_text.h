// The deduction trace as the user reads it: one French line per step, the grade, and the JSON members of
// korvane-solve --steps.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"
#include "reasoning/deduce.h"

namespace korvane {

// The name of a move in the JSON output: "direct", "grid", "three-categories", "position", "what-if",
// "deep-what-if".
std::string_view TechniqueName(Technique technique);

// One French line per step, then the cells left open or the malformed row, then the grade:
// "Étape 7 (ligne 14, étape 3) : Maison 2 est Couleur Bleue."
std::vector<std::string> StepLines(const Trace& trace, const Puzzle& puzzle);
// The trace as JSON members, without the enclosing braces: "steps", "grade", "outcome", and "openCells"
// or "malformedRow" where they apply.
std::string StepsJsonMembers(const Trace& trace, const Puzzle& puzzle);

} // namespace korvane
