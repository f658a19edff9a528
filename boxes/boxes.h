// The numbering of the 112 condition boxes (ComboBox1..ComboBox112): which box of which row each number
// is, and which field of the row's Rule it writes. Files, the window, the tidying before a search and the
// texts of the explanations all number boxes through this one table; the solver itself (core/, engine/,
// reasoning/) knows a row only by its Rule.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/model.h"

namespace korvane {

// The boxes of a condition row, left to right as the window shows them.
enum class BoxRole : std::uint8_t { CategoryA, ChoiceA, Steps, Relation, Order, CategoryB, ChoiceB };
inline constexpr int kBoxRoles = 7;

struct BoxRoleInfo {
    BoxRole role;
    int perRow, base;             // the box of row k is ComboBox(perRow * k + base)
    std::int32_t Rule::*field;    // what the box writes
};

inline constexpr std::array<BoxRoleInfo, kBoxRoles> kBoxRoleTable{{
    {BoxRole::CategoryA, 5, -4, &Rule::categoryA},
    {BoxRole::ChoiceA, 5, -3, &Rule::choiceA},
    {BoxRole::Steps, 1, 80, &Rule::steps},
    {BoxRole::Relation, 5, -2, &Rule::relation},
    {BoxRole::Order, 1, 96, &Rule::orderCategory},
    {BoxRole::CategoryB, 5, -1, &Rule::categoryB},
    {BoxRole::ChoiceB, 5, 0, &Rule::choiceB},
}};

constexpr const BoxRoleInfo& RoleInfo(BoxRole role) { return kBoxRoleTable[static_cast<std::size_t>(role)]; }

// The number n (1..112) of row k's box of that role.
constexpr int BoxNumber(BoxRole role, int k) { return RoleInfo(role).perRow * k + RoleInfo(role).base; }

// The row and role of ComboBox n (1..112).
struct BoxPlace {
    int row;
    BoxRole role;
    friend constexpr bool operator==(BoxPlace, BoxPlace) = default;
};
constexpr BoxPlace PlaceOf(int n) {
    for (const BoxRoleInfo& info : kBoxRoleTable) {
        const int offset = n - info.base;
        if (offset % info.perRow == 0 && offset / info.perRow >= 1 && offset / info.perRow <= kRules)
            return {offset / info.perRow, info.role};
    }
    return {0, BoxRole::CategoryA}; // not a box number
}

// The field of the rules that condition box n (1..112) writes.
inline std::int32_t& BoxValue(RuleTable& rules, int n) {
    assert(n >= 1 && n <= kBoxes);
    const BoxPlace place = PlaceOf(n);
    return rules[place.row].*RoleInfo(place.role).field;
}
inline std::int32_t BoxValue(const RuleTable& rules, int n) { return BoxValue(const_cast<RuleTable&>(rules), n); }

// The text that condition box n (1..112) shows.
inline const std::string& BoxText(const Puzzle& puzzle, int n) { return puzzle.boxTexts[static_cast<std::size_t>(n - 1)]; }

// The five boxes that state an item, relation, item; a row with any of them empty states no condition.
inline constexpr std::array<BoxRole, 5> kMainRoles{BoxRole::CategoryA, BoxRole::ChoiceA, BoxRole::Relation,
                                                   BoxRole::CategoryB, BoxRole::ChoiceB};

constexpr bool IsCategoryRole(BoxRole role) { return role == BoxRole::CategoryA || role == BoxRole::CategoryB; }
constexpr bool IsChoiceRole(BoxRole role) { return role == BoxRole::ChoiceA || role == BoxRole::ChoiceB; }

namespace detail {
constexpr bool NumberingIsABijection() {
    std::array<bool, kBoxes + 1> seen{};
    for (int k = 1; k <= kRules; ++k)
        for (const BoxRoleInfo& info : kBoxRoleTable) {
            const int n = BoxNumber(info.role, k);
            if (n < 1 || n > kBoxes || seen[static_cast<std::size_t>(n)]) return false;
            seen[static_cast<std::size_t>(n)] = true;
            if (PlaceOf(n) != BoxPlace{k, info.role}) return false;
        }
    return true;
}
} // namespace detail
static_assert(detail::NumberingIsABijection());
static_assert(BoxNumber(BoxRole::CategoryA, 1) == 1 && BoxNumber(BoxRole::ChoiceB, 16) == 80);
static_assert(BoxNumber(BoxRole::Steps, 1) == 81 && BoxNumber(BoxRole::Order, 16) == kBoxes);

} // namespace korvane
