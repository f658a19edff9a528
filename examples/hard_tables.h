// Rule tables drawn to be hard to count: many weak conditions, each linking three categories (two items
// ranked along a third category), so that no category is decided and the categories stay weakly linked.
// Drawn by the seeded generator (PuzzleGenerator), for the benchmark set's hard tables and the engine's
// tests of its counts.
#pragma once

#include <array>
#include <cstddef>

#include "core/model.h"
#include "core/relations.h"
#include "examples/puzzle_generator.h"

namespace korvane::samples {

// A condition on an item of one category and an item of another, along a third category where the
// relation ranks (none for "Ne correspond pas à"); steps 1 where the relation takes them.
inline Rule ThreeCategoryRule(PuzzleGenerator& draw, int relation) {
    Rule r;
    r.categoryA = draw.pick(1, kCategories);
    do r.categoryB = draw.pick(1, kCategories);
    while (r.categoryB == r.categoryA);
    int order;
    do order = draw.pick(1, kCategories);
    while (order == r.categoryA || order == r.categoryB);
    r.choiceA = draw.pick(1, kChoices);
    r.choiceB = draw.pick(1, kChoices);
    r.relation = relation;
    const auto kind = static_cast<RelationKind>(relation);
    if (kind != RelationKind::Corresponds && kind != RelationKind::NotCorresponds) r.orderCategory = order;
    if (kind != RelationKind::Corresponds && kind != RelationKind::NotCorresponds && kind != RelationKind::RightOf &&
        kind != RelationKind::LeftOf)
        r.steps = 1;
    return r;
}

// `rows` weak conditions in rows 1.., each "PasContigu de", "Pas voisin droit/gauche de", "Ne correspond
// pas à" or "A droite de", one in five each.
inline RuleTable WeakThreeTable(PuzzleGenerator& draw, int rows) {
    constexpr std::array kinds{RelationKind::NotContiguous, RelationKind::NotRightNeighbour, RelationKind::NotLeftNeighbour,
                               RelationKind::NotCorresponds, RelationKind::RightOf};
    RuleTable t;
    for (int k = 1; k <= rows && k <= kRules; ++k)
        t[k] = ThreeCategoryRule(draw, static_cast<int>(kinds[static_cast<std::size_t>(draw.pick(0, 4))]));
    return t;
}

// `rows` conditions, `rightOf` of them "A droite de" in rows drawn at random, the others negative as in
// WeakThreeTable.
inline RuleTable NegativeThreeTable(PuzzleGenerator& draw, int rows, int rightOf) {
    constexpr std::array kinds{RelationKind::NotContiguous, RelationKind::NotRightNeighbour, RelationKind::NotLeftNeighbour,
                               RelationKind::NotCorresponds};
    std::array<bool, kRules + 1> right{};
    for (int placed = 0; placed < rightOf && placed < rows;) {
        const int k = draw.pick(1, rows);
        if (!right[static_cast<std::size_t>(k)]) right[static_cast<std::size_t>(k)] = true, ++placed;
    }
    RuleTable t;
    for (int k = 1; k <= rows && k <= kRules; ++k)
        t[k] = ThreeCategoryRule(draw, right[static_cast<std::size_t>(k)]
                                           ? static_cast<int>(RelationKind::RightOf)
                                           : static_cast<int>(kinds[static_cast<std::size_t>(draw.pick(0, 3))]));
    return t;
}

// A condition of every relation, mostly negative (weights 1, 2, 1, 1, 5, 2, 2, 4, 4, 4 in the list's
// order), steps 1 three times in four, else 2.
inline Rule MixedThreeRule(PuzzleGenerator& draw) {
    constexpr std::array weights{1, 2, 1, 1, 5, 2, 2, 4, 4, 4}; // by relation 1..10, 26 in all
    int pick = draw.pick(1, 26), relation = 1;
    while (pick > weights[static_cast<std::size_t>(relation - 1)]) pick -= weights[static_cast<std::size_t>(relation++ - 1)];
    Rule r = ThreeCategoryRule(draw, relation);
    if (r.steps == 1 && draw.pick(1, 4) == 4) r.steps = 2;
    return r;
}

// `rows` such conditions over all six categories, each drawn again until it holds on a hidden matching:
// a table generated around a solution, with billions of solutions one time in twenty.
inline RuleTable MixedThreeTable(PuzzleGenerator& draw, int rows) {
    const Assignment hidden = draw.matching();
    RuleTable t;
    for (int k = 1; k <= rows && k <= kRules; ++k) {
        Rule r = MixedThreeRule(draw);
        while (EvaluateRule(hidden, r) != Verdict::Holds) r = MixedThreeRule(draw);
        t[k] = r;
    }
    return t;
}

} // namespace korvane::samples
