// How the texts name what they speak of: categories and choices as the grid shows them, and condition
// rows as the user typed them. Shared by the explanation's and the steps' texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace korvane {

// The names as the grid shows them, or "Catégorie c" / "Choix k" for an empty cell.
std::string CategoryName(const Puzzle& puzzle, int category);
std::string ChoiceName(const Puzzle& puzzle, int category, int choice);

// Condition row `row` as the user typed it: "Nation Anglais — Correspond à — Couleur Rouge", with the
// steps and the order category where the row's relation uses them.
std::string RowText(const Puzzle& puzzle, int row);

// "a", "a et b", "a, b et c": the parts as French lists them, `last` before the last one (" ou ", " ni ").
std::string Listed(const std::vector<std::string>& parts, std::string_view last = " et ");
// The same of numbers: "3, 7 et 10".
std::string NumberList(const std::vector<int>& numbers);

} // namespace korvane
