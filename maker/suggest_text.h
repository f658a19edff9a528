// What would complete a puzzle, as korvane-solve --suggest writes it: French lines, and JSON members.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"
#include "maker/suggest.h"

namespace korvane::maker {

// "Invité Paul — Correspond à — Plat Soupe : 1 solution (Facile)", the row as it would read in row
// `completion.emptyRow` of `screen`.
std::string SuggestionLine(const Suggestion& suggestion, const Completion& completion, const Puzzle& screen);

// The heading above the suggestions, or, with none, why there are none; "" for a puzzle with at most one
// solution. A row whose condition they would replace is quoted from `screen`.
std::string SuggestionsHeading(const Completion& completion, const Puzzle& screen);

// "Lignes à garder pour que la solution reste unique : 1, 2, 4 (3 lignes sur 5)." for a puzzle with one
// solution; "" otherwise.
std::string SmallestLine(const Completion& completion);

// The members "emptyRow", "suggestions", "sampled" (several solutions) or "smallest", "smallestProved"
// (one), each after ", ".
std::string CompletionJsonMembers(const Completion& completion);

} // namespace korvane::maker
