// The condition rows' decisions without a window: the entries a box offers from the grid, what a typed
// text or a pick stores, the extra boxes per relation, and why a box's text states nothing.
#include <gtest/gtest.h>

#include "core/relations.h"
#include "editor/condition_rows.h"

namespace korvane {
namespace {

// The Zebra grid as typed into the window, rows 1..6.
Puzzle ZebraScreen() {
    const char* const rows[6][6] = {
        {"Maison", "1", "2", "3", "4", "5"},
        {"Nation", "Anglais", "Espagnol", "Ukrainien", "Norvégien", "Japonais"},
        {"Couleur", "Rouge", "Verte", "Ivoire", "Jaune", "Bleue"},
        {"Animal", "Chien", "Escargots", "Renard", "Cheval", "Zèbre"},
        {"Boisson", "Café", "Thé", "Lait", "Jus d'orange", "Eau"},
        {"Cigarette", "Old Gold", "Kools", "Chesterfield", "Lucky Strike", "Parliament"},
    };
    Puzzle p;
    for (int r = 1; r <= 6; ++r)
        for (int c = 0; c <= 5; ++c) p.name(c, r) = rows[r - 1][c];
    return p;
}

// A grid with gaps: rows 3, 5 and 6 unnamed, row 4's second choice empty, row 3 holding choices.
Puzzle GappedScreen() {
    Puzzle p;
    p.name(0, 1) = "Nation";
    p.name(1, 1) = "Anglais";
    p.name(2, 1) = "Espagnol";
    p.name(0, 2) = "Couleur";
    p.name(1, 2) = "Rouge";
    p.name(3, 2) = "Vert";
    p.name(1, 3) = "Inconnu";
    p.name(0, 4) = "Animal";
    p.name(1, 4) = "Chien";
    p.name(3, 4) = "Chat";
    return p;
}

std::string& Text(Puzzle& p, int n) { return p.boxTexts[static_cast<std::size_t>(n - 1)]; }

Entries Named(std::initializer_list<Entry> entries) { return entries; }

TEST(CategoryEntries, TheFilledNamesInGridOrderStoreTheirGridRows) {
    EXPECT_EQ(CategoryEntries(GappedScreen()), Named({{"Nation", 1}, {"Couleur", 2}, {"Animal", 4}}));
    EXPECT_EQ(CategoryEntries(Puzzle{}), Entries{});
}

struct ChoiceCase {
    const char* name;
    std::string category;
    Entries expected;
};

class ChoiceEntriesTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceEntriesTest, FollowTheCategoryText) {
    Puzzle p = GappedScreen();
    p.name(0, 5) = "Nation"; // the same name again, lower down
    p.name(1, 5) = "Japonais";
    EXPECT_EQ(ChoiceEntries(p, GetParam().category), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, ChoiceEntriesTest,
    ::testing::Values(ChoiceCase{"ANamedCategoryListsItsChoicesAtTheirColumns", "Animal", {{"Chien", 1}, {"Chat", 3}}},
                      ChoiceCase{"ANameInTwoRowsListsTheUpperOne", "Nation", {{"Anglais", 1}, {"Espagnol", 2}}},
                      ChoiceCase{"AnotherLetterCaseMatchesNoRow", "couleur", {}},
                      ChoiceCase{"AnEmptyCategoryListsTheFirstUnnamedRow", "", {{"Inconnu", 1}}},
                      ChoiceCase{"ANameNotInTheGridListsNothing", "Planète", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EntriesOf, FixedListsStoreTheirPositionPlusOne) {
    const Puzzle p = ZebraScreen();
    const Entries relations = EntriesOf(p, BoxNumber(BoxRole::Relation, 7));
    ASSERT_EQ(relations.size(), 10u);
    for (std::size_t i = 0; i < relations.size(); ++i) {
        EXPECT_EQ(relations[i].text, Relations()[i].listText);
        EXPECT_EQ(relations[i].value, static_cast<std::int32_t>(i + 1));
    }
    EXPECT_EQ(EntriesOf(p, BoxNumber(BoxRole::Steps, 16)), Named({{"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}}));
    EXPECT_EQ(EntriesOf(p, BoxNumber(BoxRole::Order, 1)).back(), (Entry{"6", 6}));
    EXPECT_EQ(EntriesOf(p, BoxNumber(BoxRole::Order, 1)).size(), 6u);
}

TEST(EntriesOf, AChoiceBoxListsTheCategoryOnItsLeftWithoutItsListEverOpened) {
    Puzzle p = ZebraScreen();
    Text(p, BoxNumber(BoxRole::CategoryB, 3)) = "Maison";
    Text(p, BoxNumber(BoxRole::CategoryA, 3)) = "Couleur";
    EXPECT_EQ(EntriesOf(p, BoxNumber(BoxRole::ChoiceB, 3)).front(), (Entry{"1", 1}));
    EXPECT_EQ(EntriesOf(p, BoxNumber(BoxRole::ChoiceA, 3)).back(), (Entry{"Bleue", 5}));
    EXPECT_EQ(EntriesOf(p, BoxNumber(BoxRole::CategoryA, 3)), CategoryEntries(p));
}

struct TypedCase {
    const char* name;
    std::string typed;
    bool deleting;
    std::optional<std::size_t> expected;
};

class TypedEntryTest : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedEntryTest, CompletesToTheFirstEntryThatBeginsWithIt) {
    Entries entries = EntriesOf(Puzzle{}, BoxNumber(BoxRole::Relation, 1));
    entries.push_back({"Élan", 11});
    entries.push_back({"Zèbre", 12});
    EXPECT_EQ(TypedEntry(entries, GetParam().typed, GetParam().deleting), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Completion, TypedEntryTest,
    ::testing::Values(TypedCase{"TheStartOfAnEntry", "Con", false, 1},
                      TypedCase{"LetterCaseIgnored", "voisin d", false, 2},
                      TypedCase{"TheFirstOfSeveralMatches", "A", false, 5},
                      TypedCase{"AccentedCapitalsIgnoreCase", "élA", false, 10},
                      TypedCase{"AccentedSmallLettersIgnoreCase", "ZÈB", false, 11},
                      TypedCase{"TextNoEntryBeginsWith", "Loin de", false, std::nullopt},
                      TypedCase{"LongerThanEveryEntry", "Correspond à tout", false, std::nullopt},
                      TypedCase{"EmptyText", "", false, std::nullopt},
                      TypedCase{"ADeletionKeepsAnEntryShownExactly", "Correspond à", true, 0},
                      TypedCase{"ADeletionDoesNotCompleteAgain", "Co", true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// Every start of every name of every box, typed in any letter case, completes to an entry whose shown
// text then stores that entry's value: what a box shows after typing is what the row solves.
TEST(TypedEntry, WhatTypingShowsStoresWhatItSelected) {
    Puzzle p = ZebraScreen();
    for (int k = 1; k <= kRules; ++k) {
        Text(p, BoxNumber(BoxRole::CategoryA, k)) = p.name(0, (k - 1) % 6 + 1);
        Text(p, BoxNumber(BoxRole::CategoryB, k)) = p.name(0, k % 6 + 1);
    }
    for (int n = 1; n <= kBoxes; ++n) {
        const Entries entries = EntriesOf(p, n);
        ASSERT_FALSE(entries.empty()) << "box " << n;
        for (const Entry& e : entries)
            for (std::size_t length = 1; length <= e.text.size(); ++length) {
                std::string typed = e.text.substr(0, length);
                for (char& ch : typed)
                    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
                const auto index = TypedEntry(entries, typed, false);
                if ((static_cast<unsigned char>(e.text[length - 1]) & 0xC0) == 0x80 ||
                    (length < e.text.size() && (static_cast<unsigned char>(e.text[length]) & 0xC0) == 0x80))
                    continue; // a cut inside a letter is no text a user types
                ASSERT_TRUE(index) << "box " << n << " typed " << typed;
                Puzzle shown = p;
                Text(shown, n) = entries[*index].text;
                EXPECT_EQ(ValueOfText(shown, n), entries[*index].value) << "box " << n << " typed " << typed;
            }
    }
}

struct ValueCase {
    const char* name;
    std::vector<std::pair<int, std::string>> texts; // box number, text shown
    int box;
    std::int32_t expected;
};

class ValueOfTextTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueOfTextTest, IsTheValueOfTheNameShown) {
    Puzzle p = ZebraScreen();
    p.name(0, 5).clear(); // a gap: "Boisson" unnamed
    p.name(2, 4).clear(); // and "Escargots"
    for (const auto& [n, text] : GetParam().texts) Text(p, n) = text;
    EXPECT_EQ(ValueOfText(p, GetParam().box), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ValueOfTextTest,
    ::testing::Values(ValueCase{"RougeRetypedInChoiceBoxBOfRow1", {{4, "Couleur"}, {5, "Rouge"}}, 5, 1},
                      ValueCase{"AWholeRowTypedByHandCategory", {{1, "Maison"}}, 1, 1},
                      ValueCase{"AWholeRowTypedByHandChoice", {{1, "Maison"}, {2, "1"}}, 2, 1},
                      ValueCase{"ARelation", {{3, "A droite de"}}, 3, 6},
                      ValueCase{"AnOrderBoxShowingACategoryName", {{97, "Maison"}}, 97, 0},
                      ValueCase{"AStepsBoxShowingANumberOfItsList", {{83, "3"}}, 83, 3},
                      ValueCase{"AStepsBoxShowingANumberPastItsList", {{83, "5"}}, 83, 0},
                      ValueCase{"ACategoryAfterAGapIsItsGridRow", {{9, "Cigarette"}}, 9, 6},
                      ValueCase{"AChoiceAfterAGapIsItsGridColumn", {{9, "Animal"}, {10, "Renard"}}, 10, 3},
                      ValueCase{"ANameInAnotherLetterCase", {{4, "Couleur"}, {5, "rouge"}}, 5, 0},
                      ValueCase{"AChoiceOfAnotherCategory", {{4, "Nation"}, {5, "Rouge"}}, 5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtraBoxesFor, StepsForRelationsInStepsOrderForPositionalOnes) {
    const std::optional<ExtraBoxes> expected[] = {
        std::nullopt,   {{false, false}}, {{true, true}}, {{true, true}}, {{true, true}}, {{false, false}},
        {{false, true}}, {{false, true}},  {{true, true}}, {{true, true}}, {{true, true}}, std::nullopt};
    for (std::int32_t v = 0; v <= 11; ++v) EXPECT_EQ(ExtraBoxesFor(v), expected[v]) << "relation " << v;
    EXPECT_EQ(ExtraBoxesFor(-1), std::nullopt);
}

struct ProblemCase {
    const char* name;
    std::vector<std::pair<int, std::string>> texts; // box number, text shown
    Rule rule1;
    int box;
    std::string expected;
};

class BoxProblemTest : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(BoxProblemTest, SaysWhyATextStatesNothing) {
    Puzzle p = ZebraScreen();
    for (const auto& [n, text] : GetParam().texts) Text(p, n) = text;
    p.rules[1] = GetParam().rule1;
    EXPECT_EQ(BoxProblem(p, GetParam().box), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, BoxProblemTest,
    ::testing::Values(
        ProblemCase{"AnEmptyBoxIsLeftToTheTidying", {}, Rule{3, 0, 0, 0, 0, 0, 0}, 1, ""},
        ProblemCase{"AChoiceThatStatesWhatItShows", {{4, "Couleur"}, {5, "Rouge"}}, Rule{0, 0, 0, 3, 1, 0, 0}, 5, ""},
        ProblemCase{"ACategoryNameInAnOrderBox",
                    {{97, "Maison"}},
                    Rule{},
                    97,
                    "« Maison » n'est pas un numéro de catégorie : choisissez un nombre de 1 à 6."},
        ProblemCase{"TextInAStepsBox", {{81, "deux"}}, Rule{}, 81,
                    "« deux » n'est pas un nombre de crans : choisissez 1, 2, 3 ou 4."},
        ProblemCase{"TextInARelationBox", {{3, "Loin de"}}, Rule{}, 3,
                    "« Loin de » n'est aucune des dix relations de la liste."},
        ProblemCase{"ACategoryNotInTheGrid",
                    {{1, "Planète"}},
                    Rule{},
                    1,
                    "« Planète » n'est le nom d'aucune catégorie de la grille : cette case ne désigne aucune catégorie."},
        ProblemCase{"AChoiceOfAnotherCategory",
                    {{4, "Nation"}, {5, "Rouge"}},
                    Rule{0, 0, 0, 2, 0, 0, 0},
                    5,
                    "« Rouge » n'est pas un choix de la catégorie « Nation » dans la grille."},
        ProblemCase{"AChoiceBesideAnEmptyCategoryBox",
                    {{2, "Rouge"}},
                    Rule{},
                    2,
                    "« Rouge » ne désigne aucun choix : la case de catégorie à sa gauche est vide."},
        ProblemCase{"AChoiceBesideAnUnknownCategory",
                    {{1, "Planète"}, {2, "Mars"}},
                    Rule{},
                    2,
                    "« Mars » ne désigne aucun choix : la case de catégorie à sa gauche ne désigne aucune catégorie de la "
                    "grille."},
        ProblemCase{"AValueTheTextDoesNotNameIsNoProblemOfTheText", {{4, "Couleur"}}, Rule{0, 0, 0, 9, 0, 0, 0}, 4, ""},
        ProblemCase{"AStepsBoxItsRelationDoesNotRead", {{3, "Correspond à"}, {81, "deux"}}, Rule{}, 81, ""},
        ProblemCase{"AnEmptyOrderBoxThatThePositionalRelationNeeds",
                    {{3, "A droite de"}},
                    Rule{},
                    97,
                    "Case vide : choisissez le numéro de la catégorie dont l'ordre compte (1 à 6) ; sans lui, « A droite "
                    "de » ne compare aucune position."},
        ProblemCase{"AnEmptyStepsBoxCountsOneStep",
                    {{3, "Contigu de"}, {97, "1"}},
                    Rule{},
                    81,
                    "Case vide : choisissez le nombre de crans (1 à 4) ; tant qu'elle est vide, « Contigu de » compte 1 "
                    "cran."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChoiceBoxOf, TheChoiceBoxRightOfEachCategoryBox) {
    for (int k = 1; k <= kRules; ++k) {
        EXPECT_EQ(ChoiceBoxOf(BoxNumber(BoxRole::CategoryA, k)), BoxNumber(BoxRole::ChoiceA, k));
        EXPECT_EQ(ChoiceBoxOf(BoxNumber(BoxRole::CategoryB, k)), BoxNumber(BoxRole::ChoiceB, k));
    }
}

} // namespace
} // namespace korvane
