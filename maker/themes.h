// The names of a new puzzle: a built-in French theme chosen by the seed, or the grid of an existing
// puzzle file. Either way the grid comes with its order category, along which the positional rows are
// measured.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/model.h"

namespace korvane::maker {

// Six categories of five choices, in Puzzle's layout (Puzzle::name(column, row)), and the category
// 1..6 whose choices are the places in their order.
struct Grid {
    std::array<std::string, kNameCells> names;
    int order = 1;

    const std::string& name(int column, int row) const { return names[static_cast<std::size_t>(column * 6 + (row - 1))]; }
    friend bool operator==(const Grid&, const Grid&) = default;
};

struct Theme {
    std::string_view title; // what the theme is about, for the manual page: "des maisons"
    std::array<std::string_view, kCategories> categories;
    std::array<std::array<std::string_view, kChoices>, kCategories> choices;
    int order; // its category of places "1".."5"
};

// The built-in themes: houses in a street, guests at a dinner, a relay race, the floors of a building.
std::span<const Theme> Themes();

Grid GridOf(const Theme& theme);

// The grid of a puzzle, with the order category its positional rows use most (the lowest such category
// on a tie; category 1 when it has none).
Grid GridOf(const Puzzle& puzzle);

// Why the grid cannot name the items of a puzzle, in French, or none: an empty name, two categories
// named alike, two choices of one category named alike.
std::optional<std::string> GridProblem(const Grid& grid);

} // namespace korvane::maker
