// Explaining the outcome of a solve: the conditions at fault when nothing solves the puzzle, the items
// left open when several matchings do, the conditions that could go when exactly one does, and the row
// and box that stop a solve with its error message. Every claim is backed by a solve made for it.
#pragma once

#include <cstdint>
#include <vector>

#include "core/check.h"
#include "core/model.h"
#include "reasoning/partners.h"

namespace korvane {

enum class ExplanationKind : std::uint8_t {
    Conflict,  // no solution: `rows` admit none together, and any one removed leaves a solution
    OpenCells, // several solutions: `partners` shows which items are not pinned down
    Redundant, // one solution: each of `rows`, removed alone, leaves it the only one
    RuleError, // the search reaches a malformed condition and stops with its error message
    Nothing,   // one solution, and every condition is needed for it to be the only one
};

// Besides the conflict shown, as established by solving the other rows.
enum class OtherConflicts : std::uint8_t {
    None,     // every conflict holds all the rows shown: it is the only one
    Sharing,  // another conflict leaves out at least one of the rows shown
    Disjoint, // the stated rows outside those shown admit no solution either
};

struct Explanation {
    ExplanationKind kind = ExplanationKind::Nothing;
    std::vector<int> rows;       // Conflict: the conflicting rows; Redundant: the redundant rows; ascending
    bool smallest = false;       // Conflict: no conflict has fewer rows
    OtherConflicts others = OtherConflicts::None; // Conflict
    PartnerTable partners;       // OpenCells: the partners seen across all solutions
    MalformedRow malformed;      // RuleError; also set beside a Conflict that keeps the search from it
};

// Explains what a search of `rules` finds. `rules` must be tidied as for a search (empty boxes cleared),
// so that it holds the conditions the search reads. Takes a few milliseconds.
Explanation Explain(const RuleTable& rules);

} // namespace korvane
