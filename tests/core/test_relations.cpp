// The ten evaluators at their edges: rank differences, steps and order categories out of range,
// unlocated items, the same category on both sides, malformed categories and the check's rule order.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "core/check.h"
#include "core/relations.h"

namespace korvane {
namespace {

using enum RelationKind;

// Category 1 on row 0 (slot s has rank 4 - s), every other category on row 119 (choice s + 1 in slot s).
Assignment Fixed() {
    Assignment a;
    a.row[1] = 0;
    for (int c = 2; c <= kCategories; ++c) a.row[static_cast<std::size_t>(c)] = 119;
    return a;
}

Verdict Eval(RelationKind kind, int catA, int choiceA, int catB, int choiceB, int steps = 1, int order = 1) {
    return EvaluateRule(Fixed(), Rule{catA, choiceA, static_cast<std::int32_t>(kind), catB, choiceB, steps, order});
}

constexpr Verdict H = Verdict::Holds, F = Verdict::Fails;

// Item A: category 2, choice 4 (slot 3). Item B: category 3, choice 5 (slot 4). Ordered by category 1:
// ranks 1 and 0, so d = 1.
TEST(Evaluators, ItemARightOfItemBByOne) {
    EXPECT_EQ(Eval(RightNeighbour, 2, 4, 3, 5), H);
    EXPECT_EQ(Eval(LeftNeighbour, 2, 4, 3, 5), F);
    EXPECT_EQ(Eval(Contiguous, 2, 4, 3, 5), H);
    EXPECT_EQ(Eval(RightOf, 2, 4, 3, 5), H);
    EXPECT_EQ(Eval(LeftOf, 2, 4, 3, 5), F);
    EXPECT_EQ(Eval(NotRightNeighbour, 2, 4, 3, 5), F);
    EXPECT_EQ(Eval(NotLeftNeighbour, 2, 4, 3, 5), H);
    EXPECT_EQ(Eval(NotContiguous, 2, 4, 3, 5), F);
}

// Item A in slot 4 (rank 0), item B in slot 0 (rank 4): d = -4; ranks never wrap around.
TEST(Evaluators, FourApartDoNotWrap) {
    EXPECT_EQ(Eval(LeftNeighbour, 2, 5, 3, 1, 4), H);
    EXPECT_EQ(Eval(Contiguous, 2, 5, 3, 1, 4), H);
    EXPECT_EQ(Eval(Contiguous, 2, 5, 3, 1, 1), F);
}

TEST(Evaluators, StepsOutsideOneToFourCountAsOne) {
    for (int steps : {0, 5, 7, -3}) {
        EXPECT_EQ(Eval(RightNeighbour, 2, 4, 3, 5, steps), Eval(RightNeighbour, 2, 4, 3, 5, 1));
        EXPECT_EQ(Eval(NotContiguous, 2, 5, 3, 1, steps), Eval(NotContiguous, 2, 5, 3, 1, 1));
    }
}

TEST(Evaluators, OrderCategoryOutOfRangeTakesDifferenceOne) {
    for (int order : {0, 7}) {
        for (int choiceA = 1; choiceA <= 5; ++choiceA) {
            EXPECT_EQ(Eval(RightOf, 2, choiceA, 3, 2, 1, order), H);
            EXPECT_EQ(Eval(LeftOf, 2, choiceA, 3, 2, 1, order), F);
            EXPECT_EQ(Eval(LeftNeighbour, 2, choiceA, 3, 2, 1, order), F);
            EXPECT_EQ(Eval(Contiguous, 2, choiceA, 3, 2, 1, order), H);
            EXPECT_EQ(Eval(Contiguous, 2, choiceA, 3, 2, 2, order), F);
            EXPECT_EQ(Eval(NotRightNeighbour, 2, choiceA, 3, 2, 2, order), H);
            EXPECT_EQ(Eval(NotLeftNeighbour, 2, choiceA, 3, 2, 1, order), H);
        }
    }
}

TEST(Evaluators, UnlocatedItems) {
    EXPECT_EQ(Eval(Corresponds, 2, 1, 3, 0), F); // item A located, item B nowhere
    EXPECT_EQ(Eval(Corresponds, 2, 1, 3, 6), F);
    EXPECT_EQ(Eval(NotCorresponds, 2, 1, 3, 0), H);
    EXPECT_EQ(Eval(Corresponds, 2, 0, 3, 1), H);
    EXPECT_EQ(Eval(NotCorresponds, 2, 6, 3, 1), H);
    for (RelationKind kind : {Contiguous, RightNeighbour, LeftNeighbour, RightOf, LeftOf, NotRightNeighbour,
                              NotLeftNeighbour, NotContiguous}) {
        EXPECT_EQ(Eval(kind, 2, 0, 3, 1), H);
        EXPECT_EQ(Eval(kind, 2, 1, 3, 6), H);
    }
}

TEST(Evaluators, SameCategoryOnBothSides) {
    EXPECT_EQ(Eval(Corresponds, 4, 2, 4, 2), H);
    EXPECT_EQ(Eval(NotCorresponds, 4, 2, 4, 2), F);
    EXPECT_EQ(Eval(Corresponds, 4, 2, 4, 3), F);
    EXPECT_EQ(Eval(NotCorresponds, 4, 2, 4, 3), H);
    for (RelationKind kind : {Contiguous, RightNeighbour, LeftNeighbour, RightOf, LeftOf})
        EXPECT_EQ(Eval(kind, 4, 2, 4, 2), F);
    for (RelationKind kind : {NotRightNeighbour, NotLeftNeighbour, NotContiguous}) EXPECT_EQ(Eval(kind, 4, 2, 4, 2), H);
    // Ranked by its own category, the difference is the difference of the choices.
    EXPECT_EQ(Eval(RightNeighbour, 4, 5, 4, 3, 2, 4), H);
    EXPECT_EQ(Eval(LeftOf, 4, 1, 4, 3, 1, 4), H);
}

TEST(Evaluators, CategoryOutsideOneToSixIsMalformedWithItsOwnMessage) {
    const std::pair<RelationKind, const char*> messages[] = {
        {Corresponds, "Erreur 201"},      {Contiguous, "Erreur 202"},       {RightNeighbour, "Erreur 204"},
        {LeftNeighbour, "Erreur 203"},    {NotCorresponds, "Erreur 205"},   {RightOf, "Erreur 207"},
        {LeftOf, "Erreur 206"},           {NotRightNeighbour, "Erreur 209"}, {NotLeftNeighbour, "Erreur 208"},
        {NotContiguous, "Erreur 210"},
    };
    for (const auto& [kind, text] : messages) {
        EXPECT_EQ(Eval(kind, 0, 1, 3, 1), Verdict::Malformed);
        EXPECT_EQ(Eval(kind, 2, 0, 7, 0), Verdict::Malformed) << "choices are not looked at first";
        EXPECT_EQ(FindRelation(static_cast<std::int32_t>(kind))->errorText, text);
    }
}

// The relations read a second time, straight from their definitions and without the evaluators' helpers:
// an item's slot and a slot's rank are found by scanning, steps and order categories are checked in place,
// and each kind's meaning is written out on its own. One wrong case in the shared evaluator would pass
// every differential test of the engine; it cannot pass this comparison.
namespace plain {

std::optional<int> Slot(const Assignment& a, int category, int choice) {
    for (int s = 0; s < kChoices; ++s)
        if (a.permutation(category)[static_cast<std::size_t>(s)] + 1 == choice) return s;
    return std::nullopt;
}

// The rank of a slot in the order of a category: which of its choices stands there, counted from 0.
int Rank(const Assignment& a, int order, int slot) {
    for (int choice = 1; choice <= kChoices; ++choice)
        if (Slot(a, order, choice) == slot) return choice - 1;
    ADD_FAILURE() << "every slot holds a choice";
    return 0;
}

Verdict Evaluate(const Assignment& a, const Rule& r) {
    if (r.relation < 1 || r.relation > 10) return H;
    if (r.categoryA < 1 || r.categoryA > 6 || r.categoryB < 1 || r.categoryB > 6) return Verdict::Malformed;
    const std::optional<int> slotA = Slot(a, r.categoryA, r.choiceA), slotB = Slot(a, r.categoryB, r.choiceB);
    auto verdict = [](bool holds) { return holds ? H : F; };
    const auto kind = static_cast<RelationKind>(r.relation);
    if (kind == Corresponds) return !slotA ? H : !slotB ? F : verdict(*slotA == *slotB);
    if (!slotA || !slotB) return H;
    if (kind == NotCorresponds) return verdict(*slotA != *slotB);
    const int n = r.steps >= 1 && r.steps <= 4 ? r.steps : 1;
    const bool ordered = r.orderCategory >= 1 && r.orderCategory <= 6;
    const int d = ordered ? Rank(a, r.orderCategory, *slotA) - Rank(a, r.orderCategory, *slotB) : 1;
    switch (kind) {
    case Contiguous: return verdict(d == n || d == -n);
    case RightNeighbour: return verdict(d == n);
    case LeftNeighbour: return verdict(d == -n);
    case RightOf: return verdict(d > 0);
    case LeftOf: return verdict(d < 0);
    case NotRightNeighbour: return verdict(d != n);
    case NotLeftNeighbour: return verdict(d != -n);
    case NotContiguous: return verdict(d != n && d != -n);
    default: break;
    }
    ADD_FAILURE() << "kind " << r.relation << " has no meaning here";
    return H;
}

} // namespace plain

// Every rule whose fields lie in or just outside their ranges (relations -1..11, categories 0..7, choices
// 0..6, steps -1..5, order categories 0..7), on seeded random assignments and on assignments that put
// the same row in every category.
TEST(EvaluatorsAgainstPlainReading, EveryRuleOnAssignments) {
    std::vector<Assignment> assignments;
    for (int row : {0, 57, 119}) {
        Assignment a;
        a.row[1] = 0;
        for (int c = 2; c <= kCategories; ++c) a.row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(row);
        assignments.push_back(a);
    }
    constexpr std::uint64_t kSeed = 20261208;
    std::mt19937_64 rng(kSeed);
    for (int n = 0; n < 5; ++n) {
        Assignment a;
        a.row[1] = 0;
        for (int c = 2; c <= kCategories; ++c)
            a.row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(std::uniform_int_distribution<int>(0, 119)(rng));
        assignments.push_back(a);
    }
    SCOPED_TRACE("replay: seed " + std::to_string(kSeed));
    for (const Assignment& a : assignments) {
        long mismatches = 0;
        for (int relation = -1; relation <= 11; ++relation)
            for (int categoryA = 0; categoryA <= 7; ++categoryA)
                for (int categoryB = 0; categoryB <= 7; ++categoryB)
                    for (int choiceA = 0; choiceA <= 6; ++choiceA)
                        for (int choiceB = 0; choiceB <= 6; ++choiceB)
                            for (int steps = -1; steps <= 5; ++steps)
                                for (int order = 0; order <= 7; ++order) {
                                    const Rule r{categoryA, choiceA, relation, categoryB, choiceB, steps, order};
                                    if (EvaluateRule(a, r) == plain::Evaluate(a, r)) continue;
                                    if (++mismatches <= 5)
                                        ADD_FAILURE() << "rows " << a.row[2] << ' ' << a.row[3] << ' ' << a.row[4] << ' '
                                                      << a.row[5] << ' ' << a.row[6] << ", rule " << categoryA << ' '
                                                      << choiceA << ' ' << relation << ' ' << categoryB << ' ' << choiceB
                                                      << ' ' << steps << ' ' << order;
                                }
        ASSERT_EQ(mismatches, 0);
    }
}

// The engine filters with the table of accepted rank differences; it must say what the kinds mean.
TEST(EvaluatorsAgainstPlainReading, AcceptedDifferencesOfEveryKind) {
    Assignment a; // category 1 on row 0: slot s has rank 4 - s; categories 2.. on row 119
    a.row[1] = 0;
    for (int c = 2; c <= kCategories; ++c) a.row[static_cast<std::size_t>(c)] = 119;
    for (int kind = 1; kind <= 10; ++kind)
        for (int steps = 1; steps <= 4; ++steps)
            for (int choiceA = 1; choiceA <= kChoices; ++choiceA)
                for (int choiceB = 1; choiceB <= kChoices; ++choiceB) {
                    const Rule r{2, choiceA, kind, 3, choiceB, steps, 1};
                    const int d = choiceB - choiceA; // ranks 4 - (choiceA - 1) and 4 - (choiceB - 1) along category 1
                    EXPECT_EQ(Accepts(AcceptedDifferences(static_cast<RelationKind>(kind), steps), d),
                              plain::Evaluate(a, r) == H)
                        << "kind " << kind << " steps " << steps << " d " << d;
                }
}

TEST(Relations, ListTextsAndExtraBoxesInListOrder) {
    const auto relations = Relations();
    EXPECT_EQ(relations[0].listText, "Correspond à");
    EXPECT_EQ(relations[9].listText, "PasContigu de");
    EXPECT_EQ(relations[4].listText, "Ne correspond pas à");
    for (const RelationInfo& r : relations) {
        const int v = static_cast<int>(r.kind);
        EXPECT_EQ(r.usesOrder, v != 1 && v != 5);
        EXPECT_EQ(r.usesSteps, v != 1 && v != 5 && v != 6 && v != 7);
    }
    EXPECT_EQ(FindRelation(0), nullptr);
    EXPECT_EQ(FindRelation(11), nullptr);
}

TEST(CheckAssignment, RulesInRowOrder) {
    RuleTable t;
    EXPECT_EQ(CheckAssignment(t, Fixed()).verdict, Verdict::Holds);
    t[2] = Rule{2, 1, 11, 0, 0, 0, 0}; // relation 11: no condition, even with a bad category
    t[4] = Rule{2, 1, -1, 9, 0, 0, 0};
    EXPECT_EQ(CheckAssignment(t, Fixed()).verdict, Verdict::Holds);
    t[5] = Rule{0, 1, 2, 3, 1, 0, 0}; // malformed, reached only when rules 1..4 hold
    EXPECT_EQ(CheckAssignment(t, Fixed()).verdict, Verdict::Malformed);
    EXPECT_EQ(CheckAssignment(t, Fixed()).rule, 5);
    t[3] = Rule{2, 1, 1, 3, 2, 0, 0}; // fails here: choice 1 and choice 2 are in different slots
    EXPECT_EQ(CheckAssignment(t, Fixed()).verdict, Verdict::Fails);
    EXPECT_EQ(CheckAssignment(t, Fixed()).rule, 3);
    t[1] = Rule{3, 2, 1, 3, 4, 0, 0}; // two choices of one category never share a slot
    EXPECT_EQ(CheckAssignment(t, Fixed()).rule, 1);
}

// What the check reads of a table, as the search and the explanations take it: rows stating a condition
// (relation 1..10) down to the first malformed one, which is named with the category boxes at fault.
TEST(StatedRows, DownToTheFirstMalformedOne) {
    RuleTable t;
    EXPECT_EQ(StatedRows(t).stated, 0u);
    EXPECT_EQ(StatedRows(t).malformed.row, 0);
    t[2] = Rule{2, 1, 1, 3, 1, 0, 0};
    t[3] = Rule{0, 1, 11, 9, 0, 0, 0}; // relation 11: no condition, whatever its categories
    t[5] = Rule{2, 1, 6, 3, 1, 0, 7};  // an order category outside 1..6 is not malformed
    EXPECT_EQ(StatedRows(t).stated, RowBit(2) | RowBit(5));
    EXPECT_EQ(RowsOf(StatedRows(t).stated), (std::vector<int>{2, 5}));
    t[9] = Rule{7, 1, 3, 0, 1, 1, 1};  // both category boxes at fault
    t[12] = Rule{0, 1, 1, 3, 1, 0, 0}; // below the first malformed row: not read
    t[14] = Rule{2, 1, 1, 3, 1, 0, 0};
    const RowsRead read = StatedRows(t);
    EXPECT_EQ(RowsOf(read.stated), (std::vector<int>{2, 5}));
    EXPECT_EQ(read.malformed.row, 9);
    EXPECT_TRUE(read.malformed.categoryA);
    EXPECT_TRUE(read.malformed.categoryB);
    EXPECT_EQ(read.malformed.errorText, "Erreur 204");
    EXPECT_FALSE(read.malformed.reached);
    const MalformedRow right = MalformedRowOf(t[12], 12);
    EXPECT_EQ(right.row, 12);
    EXPECT_TRUE(right.categoryA);
    EXPECT_FALSE(right.categoryB);
    EXPECT_EQ(right.errorText, "Erreur 201");
    EXPECT_EQ(MalformedRowOf(t[3], 3).row, 0);
    EXPECT_EQ(MalformedRowOf(t[14], 14).row, 0);
}

} // namespace
} // namespace korvane
