// Solving step by step as a person would: the logic grid of the puzzle (for every two categories, which
// choices share a slot, which do not, which are still open) filled by the moves a person makes, easiest
// first, each step citing the condition rows and the earlier steps it read. The trace ends with the whole
// grid known, with the cells that no logic can close, or with a contradiction.
#pragma once

#include <cstdint>
#include <vector>

#include "core/check.h"
#include "core/model.h"
#include "reasoning/partners.h"

namespace korvane {

struct Explanation; // reasoning/explain.h

// The moves, easiest first. The hardest move a trace needs grades the puzzle.
enum class Technique : std::uint8_t {
    Direct = 1,          // a "Correspond à" / "Ne correspond pas à" row read as it stands, or a row that never holds
    Grid = 2,            // the last choice left in a row of a 5 x 5 table
    ThreeCategories = 3, // what one item knows holds for the item it shares a slot with; two items with no
                         // choice of a third category in common
    Position = 4,        // the ranks a positional row leaves its two items, given what is known of them
    WhatIf = 5,          // a supposed cell leads by moves 1 to 4 to a contradiction
    DeepWhatIf = 6,      // a supposed cell leaves no matching of the rows cited (found by the search engine)
};
inline constexpr int kTechniques = 6;

struct Item {
    int category = 0; // 1..6
    int choice = 0;   // 1..5
    friend bool operator==(Item, Item) = default;
};

// One cell of the grid: whether item a and item b (of another category) share a slot.
struct Fact {
    Item a, b;
    bool same = false;
    friend bool operator==(Fact, Fact) = default;
};

struct Step {
    Technique technique = Technique::Direct;
    std::vector<int> rows;   // condition rows read, 1..16, ascending
    std::vector<int> uses;   // earlier steps (numbered from 1) whose facts the move read, ascending
    std::vector<Fact> facts; // the cells set; a "same" fact comes with the cells it closes in its row and column
    bool contradiction = false; // the rows and the uses admit no matching; no facts
    bool never = false;         // Direct contradiction: the row alone can never hold
    int category = 0;           // ThreeCategories: the third category; Position: the order category
    Fact supposed;              // WhatIf, DeepWhatIf: the cell supposed, whose opposite is concluded
    Fact link;                  // ThreeCategories: the two items sharing a slot whose knowledge is pooled
    // facts[0, own) are what the move itself concludes, with the cells its "same" facts close; the rest
    // follow at once from them: two items that share a slot share what is known of them.
    std::size_t own = 0;
                                // (none when two items have no choice of `category` in common)
};

enum class TraceOutcome : std::uint8_t {
    Solved,        // one solution: the whole grid is known
    Open,          // several solutions: `open` holds the partners left when logic stops
    Contradiction, // no solution: the last step is a contradiction
    RuleError,     // the search stops at a malformed row: no steps, `malformed` tells where
};

struct Trace {
    TraceOutcome outcome = TraceOutcome::Solved;
    std::vector<Step> steps;
    Technique hardest = Technique::Direct; // of the steps; Direct when there are none
    PartnerTable open;                     // Open: for each item, the choices of each category still possible
    MalformedRow malformed;                // RuleError
};

// The deduction trace of `rules`, tidied as for a search. Every step follows from its rows and the
// facts of its uses; a puzzle with one solution always ends with the whole grid known.
Trace Deduce(const RuleTable& rules);
// The same, given the explanation of `rules` (Explain(rules)), which the deduction reads rather than
// working it out again.
Trace Deduce(const RuleTable& rules, const Explanation& explanation);

} // namespace korvane
