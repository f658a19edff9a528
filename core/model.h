// The puzzle model: six categories of five choices, the coded conditions, the 120 arrangements of five
// things, the matching under test, and the three read functions the relations are written with.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>

namespace korvane {

inline constexpr int kCategories = 6;
inline constexpr int kChoices = 5;
inline constexpr int kRules = 16;
inline constexpr int kRows = 120;  // rows of PermutationTable
inline constexpr int kBoxes = 112; // condition boxes ComboBox1..ComboBox112
inline constexpr int kNameCells = 36;

// Sets of categories, bit c for category c: all six, and the five the search places (category 1 stays
// on row 0 of the permutation table, which loses no solution: any matching can be renumbered so).
inline constexpr std::uint8_t kAllCategories = 0b1111110;
inline constexpr std::uint8_t kPlacedCategories = 0b1111100;

// One condition row in coded form. Every field is a list position + 1, 0 when nothing is chosen; any
// 32-bit value may stand in a field (files and edits are not range-checked) and is handled as documented
// by the relations.
struct Rule {
    std::int32_t categoryA = 0;
    std::int32_t choiceA = 0;
    std::int32_t relation = 0;
    std::int32_t categoryB = 0;
    std::int32_t choiceB = 0;
    std::int32_t steps = 0;
    std::int32_t orderCategory = 0;

    friend bool operator==(const Rule&, const Rule&) = default;
};

// The sixteen rules, indexed 1..16 like the condition rows.
class RuleTable {
public:
    Rule& operator[](int k) { return rules_[static_cast<std::size_t>(k - 1)]; }
    const Rule& operator[](int k) const { return rules_[static_cast<std::size_t>(k - 1)]; }

    // As bytes: a rule is seven int32_t without padding. The search compares the tables after every pump.
    friend bool operator==(const RuleTable& a, const RuleTable& b) {
        static_assert(std::has_unique_object_representations_v<Rule>);
        return std::memcmp(a.rules_.data(), b.rules_.data(), sizeof a.rules_) == 0;
    }

private:
    std::array<Rule, kRules> rules_{};
};

enum class RelationKind : std::int32_t {
    Corresponds = 1,
    Contiguous = 2,
    RightNeighbour = 3,
    LeftNeighbour = 4,
    NotCorresponds = 5,
    RightOf = 6,
    LeftOf = 7,
    NotRightNeighbour = 8,
    NotLeftNeighbour = 9,
    NotContiguous = 10,
};

// One row of PermutationTable: byte s is the 0-based choice the category puts in slot s.
using Permutation = std::array<std::uint8_t, kChoices>;

// Row r is the r-th arrangement of (0,1,2,3,4) in lexicographic order, written backwards. Built by the
// compiler, so that tables derived from it can be too.
constexpr std::array<Permutation, kRows> BuildPermutationTable() {
    std::array<Permutation, kRows> table{};
    std::array<std::uint8_t, kChoices> p{0, 1, 2, 3, 4};
    for (auto& row : table) {
        for (int s = 0; s < kChoices; ++s) row[static_cast<std::size_t>(s)] = p[static_cast<std::size_t>(kChoices - 1 - s)];
        std::next_permutation(p.begin(), p.end());
    }
    return table;
}
const std::array<Permutation, kRows>& PermutationTable();

// The matching under test: for each category 1..6 a row of PermutationTable, or kUnset.
struct Assignment {
    static constexpr std::int16_t kUnset = -1;
    std::array<std::int16_t, kCategories + 1> row{kUnset, kUnset, kUnset, kUnset, kUnset, kUnset, kUnset};

    const Permutation& permutation(int category) const {
        return PermutationTable()[static_cast<std::size_t>(row[static_cast<std::size_t>(category)])];
    }
    bool complete() const;
};

// The slot 0..4 in which `category` holds `choice`, or none for a choice outside 1..5.
// `category` must be set in the assignment.
std::optional<int> SlotOf(const Assignment& a, int category, std::int32_t choice);

// Rank of slot a minus rank of slot b in the order of `orderCategory`; 1 for an order category
// outside 1..6, whatever the slots.
int RankDifference(const Assignment& a, std::int32_t orderCategory, int slotA, int slotB);

// `steps` when it is 1..4, otherwise 1.
constexpr int EffectiveSteps(std::int32_t steps) { return steps >= 1 && steps <= 4 ? steps : 1; }

constexpr bool IsCategory(std::int32_t c) { return c >= 1 && c <= kCategories; }
constexpr bool IsChoice(std::int32_t k) { return k >= 1 && k <= kChoices; }
constexpr bool IsRelation(std::int32_t r) { return r >= 1 && r <= 10; }

// A puzzle as the user left it on screen: the names of the grid, the texts shown by the 112 condition
// boxes and the coded rules. Texts are UTF-8.
struct Puzzle {
    // Grid cells of rows 1..6, column by column: index = column * 6 + (row - 1). Column 0 holds the
    // category names, columns 1..5 the choice names.
    std::array<std::string, kNameCells> names;
    // The text of ComboBox(n) at index n - 1.
    std::array<std::string, kBoxes> boxTexts;
    RuleTable rules;

    const std::string& name(int column, int row) const {
        return names[static_cast<std::size_t>(column * 6 + (row - 1))];
    }
    std::string& name(int column, int row) { return names[static_cast<std::size_t>(column * 6 + (row - 1))]; }

    friend bool operator==(const Puzzle&, const Puzzle&) = default;
};

} // namespace korvane
