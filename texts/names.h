// How the texts name what they speak of: categories and choices as the grid shows them, and condition
// rows as the user typed them. Shared by the explanation's and the steps' texts.
#pragma once

#include <string>

#include "core/model.h"

namespace korvane {

// The names as the grid shows them, or "Catégorie c" / "Choix k" for an empty cell.
std::string CategoryName(const Puzzle& puzzle, int category);
std::string ChoiceName(const Puzzle& puzzle, int category, int choice);

// Condition row `row` as the user typed it: "Nation Anglais — Correspond à — Couleur Rouge", with the
// steps and the order category where the row's relation uses them.
std::string RowText(const Puzzle& puzzle, int row);

} // namespace korvane
