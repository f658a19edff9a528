// Puzzles the program ships and tests with, built as the window would hold them: names in the grid, the
// texts the condition boxes show and the coded rules that go with them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model.h"

namespace korvane::samples {

// One condition: item A (category, choice), the relation, item B; steps and order category where the
// relation uses them (0 leaves the box empty).
struct Clue {
    int categoryA, choiceA;
    RelationKind relation;
    int categoryB, choiceB;
    int steps = 0;
    int order = 0;
};

struct Grid {
    std::array<std::string, kCategories> categories;
    std::array<std::array<std::string, kChoices>, kCategories> choices;
};

// The puzzle with these names and the clues in rows 1, 2, ...: box texts as picked from the lists, rule
// values as the list positions + 1.
Puzzle MakePuzzle(const Grid& grid, const std::vector<Clue>& clues);

// The same puzzle with category c moved to grid row order[c - 1] (names, box texts and rules follow).
Puzzle MoveCategories(const Puzzle& puzzle, const std::array<int, kCategories>& order);

// The classic five-houses puzzle: house numbers 1-5 in category 1 set the order; exactly one solution.
Puzzle Zebra();
// A dinner seating with two solutions (one clue short of unique).
Puzzle Seating();
// A relay race whose clues contradict each other in categories 5 and 6: no solution.
Puzzle Relay();

} // namespace korvane::samples
