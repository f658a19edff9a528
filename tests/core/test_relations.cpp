// The ten evaluators at their edges: rank differences, steps and order categories out of range,
// unlocated items, the same category on both sides, malformed categories and the check's rule order.
#include <gtest/gtest.h>

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

} // namespace
} // namespace korvane
