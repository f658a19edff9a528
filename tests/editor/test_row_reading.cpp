// The rows as the window shows them, read into the rule table the search and the save use: seeded random
// sequences of a user's edits, after each of which the reading must equal a plain reading of the texts,
// and every row that shows a whole condition must state it or say why not. Then the rows that take no
// part in a result, and the rows that hold for every matching, against the search engine.
#include <gtest/gtest.h>

#include <random>
#include <variant>

#include "reasoning/inert.h"
#include "core/relations.h"
#include "engine/search.h"
#include "editor/condition_rows.h"
#include "editor/row_reading.h"
#include "files/puzzle_format.h"

namespace korvane {
namespace {

std::string& Text(Puzzle& p, int n) { return p.boxTexts[static_cast<std::size_t>(n - 1)]; }
const std::string& Text(const Puzzle& p, BoxRole role, int k) {
    return p.boxTexts[static_cast<std::size_t>(BoxNumber(role, k) - 1)];
}

Puzzle Example(const char* name) {
    const std::string path = std::string(KORVANE_EXAMPLES_DIR "/") + name;
    auto loaded = ReadPuzzleFile(path, path);
    if (!std::holds_alternative<Puzzle>(loaded)) ADD_FAILURE() << "cannot read " << path;
    return std::get<Puzzle>(loaded);
}

// ---- The plain reading: what a person reads in the boxes, written without the editor's helpers ------

// The one grid row whose category name is `text`, 0 for none or for two.
std::int32_t PlainCategory(const Puzzle& p, const std::string& text) {
    std::int32_t found = 0;
    int bearers = 0;
    for (int r = 1; r <= kCategories; ++r)
        if (!text.empty() && p.name(0, r) == text) found = r, ++bearers;
    return bearers == 1 ? found : 0;
}

// The one column of the first grid row named `category` whose choice is `text`.
std::int32_t PlainChoice(const Puzzle& p, const std::string& category, const std::string& text) {
    for (int r = 1; r <= kCategories; ++r) {
        if (p.name(0, r) != category) continue;
        std::int32_t found = 0;
        int bearers = 0;
        for (int c = 1; c <= kChoices; ++c)
            if (!text.empty() && p.name(c, r) == text) found = c, ++bearers;
        return bearers == 1 ? found : 0;
    }
    return 0;
}

std::int32_t PlainNumber(const std::string& text, int last) {
    for (int i = 1; i <= last; ++i)
        if (text == std::to_string(i)) return i;
    return 0;
}

std::int32_t PlainRelation(const std::string& text) {
    for (const RelationInfo& info : Relations())
        if (text == info.listText) return static_cast<std::int32_t>(info.kind);
    return 0;
}

// The rules the rows state, tidied as before a search when `tidied`.
RuleTable PlainReading(const Puzzle& p, bool tidied) {
    RuleTable rules;
    for (int k = 1; k <= kRules; ++k) {
        Rule& r = rules[k];
        const auto text = [&](BoxRole role) -> const std::string& { return Text(p, role, k); };
        r.categoryA = PlainCategory(p, text(BoxRole::CategoryA));
        r.choiceA = PlainChoice(p, text(BoxRole::CategoryA), text(BoxRole::ChoiceA));
        r.relation = PlainRelation(text(BoxRole::Relation));
        r.categoryB = PlainCategory(p, text(BoxRole::CategoryB));
        r.choiceB = PlainChoice(p, text(BoxRole::CategoryB), text(BoxRole::ChoiceB));
        r.steps = PlainNumber(text(BoxRole::Steps), 4);
        r.orderCategory = PlainNumber(text(BoxRole::Order), kCategories);
        if (!tidied) continue;
        for (const BoxRole role : kMainRoles)
            if (text(role).empty()) r.relation = 0;
        if (text(BoxRole::CategoryA).empty() || text(BoxRole::ChoiceA).empty()) r.choiceA = 0;
        if (text(BoxRole::CategoryB).empty() || text(BoxRole::ChoiceB).empty()) r.choiceB = 0;
    }
    return rules;
}

// Whether rule k states every field its relation reads (a name for each item, steps and order where
// measured), so that the search reads exactly the condition shown.
bool StatesAll(const Rule& r) {
    const RelationInfo* info = FindRelation(r.relation);
    return info && r.categoryA && r.choiceA && r.categoryB && r.choiceB && (!info->usesSteps || r.steps) &&
           (!info->usesOrder || r.orderCategory);
}

// ---- A user at the window, seeded ------------------------------------------------------------------

class User {
public:
    explicit User(unsigned seed) : random_(seed), screen_(Example("zebra.e65")) {}

    const Puzzle& screen() const { return screen_; }
    // What the last action did, for the failure message.
    const std::string& last() const { return last_; }

    void act() {
        const int what = pick(0, 99);
        if (what < 35) return pickEntry();
        if (what < 60) return typeText();
        if (what < 66) return clearRow();
        if (what < 67) return clearAll();
        if (what < 90) return renameCell();
        return load();
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    int anyBox() { return pick(1, kBoxes); }

    void pickEntry() {
        const int n = anyBox();
        const Entries entries = EntriesOf(screen_, n);
        if (entries.empty()) return pickEntry();
        Text(screen_, n) = entries[static_cast<std::size_t>(pick(0, static_cast<int>(entries.size()) - 1))].text;
        last_ = "pick box " + std::to_string(n) + " = " + Text(screen_, n);
    }

    // A beginning of an entry completed as the window completes it, a deletion that leaves part of a name,
    // a text that names nothing, or a name from elsewhere.
    void typeText() {
        const int n = anyBox();
        const Entries entries = EntriesOf(screen_, n);
        std::string typed;
        switch (pick(0, 3)) {
        case 0:
            if (!entries.empty()) {
                const std::string& name = entries[static_cast<std::size_t>(pick(0, static_cast<int>(entries.size()) - 1))].text;
                typed = name.substr(0, static_cast<std::size_t>(pick(1, static_cast<int>(name.size()))));
                if (const auto entry = TypedEntry(entries, typed, false)) typed = entries[*entry].text;
            }
            break;
        case 1: typed = Text(screen_, n).substr(0, Text(screen_, n).size() / 2); break; // deleting
        case 2: typed = pick(0, 1) ? "xyz" : " "; break;
        case 3: typed = screen_.name(pick(0, kChoices), pick(1, kCategories)); break;
        }
        Text(screen_, n) = typed;
        last_ = "type box " + std::to_string(n) + " = \"" + typed + "\"";
    }

    void clearRow() {
        const int k = pick(1, kRules);
        for (const BoxRole role : kClearOrder) Text(screen_, BoxNumber(role, k)).clear();
        last_ = "clear row " + std::to_string(k);
    }

    void clearAll() {
        screen_.boxTexts = {};
        last_ = "clear all";
    }

    // A new name, an emptied cell, a sibling's name, or a name shown in some box.
    void renameCell() {
        const int column = pick(0, kChoices), row = pick(1, kCategories);
        std::string name;
        switch (pick(0, 3)) {
        case 0: name = "N" + std::to_string(pick(0, 9)); break;
        case 1: break;
        case 2: name = column == 0 ? screen_.name(0, pick(1, kCategories)) : screen_.name(pick(1, kChoices), row); break;
        case 3: name = Text(screen_, anyBox()); break;
        }
        const Puzzle before = screen_;
        const RuleTable valuesBefore = ReadRows(before).values;
        RenameCell(screen_, column, row, name);
        last_ = "rename [" + std::to_string(column) + "," + std::to_string(row) + "] \"" + before.name(column, row) +
                "\" -> \"" + name + "\"";
        checkRename(before, valuesBefore, column, row, name);
    }

    void load() {
        static const char* const files[] = {"zebra.e65", "seating.e65", "relay.e65", "zebra-house-last.e65"};
        const char* file = files[pick(0, 3)];
        screen_ = Example(file);
        last_ = std::string("load ") + file;
    }

    // A rename keeps every box that named something naming the same cell; one that would make two cells
    // share a name, or empty a cell, leaves the boxes that meant it as they were, naming nothing.
    void checkRename(const Puzzle& before, const RuleTable& valuesBefore, int column, int row, const std::string& name) {
        const RuleTable after = ReadRows(screen_).values;
        bool clash = name.empty();
        if (column == 0) {
            for (int r = 1; r <= kCategories; ++r) clash |= r != row && before.name(0, r) == name;
        } else {
            for (int c = 1; c <= kChoices; ++c) clash |= c != column && before.name(c, row) == name;
        }
        for (int n = 1; n <= kBoxes; ++n) {
            const bool renamed = Text(screen_, n) != before.boxTexts[static_cast<std::size_t>(n - 1)];
            if (renamed) {
                EXPECT_FALSE(clash) << last_ << ": box " << n << " changed";
            }
            if (before.name(column, row) == name || before.name(column, row).empty()) continue;
            if (!clash && BoxValue(valuesBefore, n) != 0) {
                EXPECT_EQ(BoxValue(after, n), BoxValue(valuesBefore, n)) << last_ << ": box " << n;
            }
        }
    }

    std::mt19937 random_;
    Puzzle screen_;
    std::string last_;
};

TEST(ReadRows, EverySequenceOfEditsReadsWhatTheBoxesShow) {
    constexpr unsigned kSeeds = 40;
    constexpr int kActions = 300; // 12,000 edits in all
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        User user(seed);
        for (int i = 0; i < kActions; ++i) {
            user.act();
            const Puzzle& screen = user.screen();
            const RowsReading reading = ReadRows(screen);
            ASSERT_EQ(reading.values, PlainReading(screen, false)) << "after " << user.last();
            ASSERT_EQ(reading.stated, PlainReading(screen, true)) << "after " << user.last();
            const bool solve = i % 10 == 9;
            const std::vector<IdleRow> idle = solve ? IdleRows(reading, screen) : std::vector<IdleRow>{};
            for (int k = 1; k <= kRules; ++k) {
                const RowReading& row = reading.row(k);
                bool whole = true;
                for (const BoxRole role : kMainRoles) whole &= !Text(screen, role, k).empty();
                if (!whole) {
                    ASSERT_EQ(reading.stated[k].relation, 0) << "row " << k << " after " << user.last();
                    continue;
                }
                // A whole row either states all that it shows, or is diagnosed with the box at fault.
                if (row.status == RowStatus::Stated)
                    ASSERT_TRUE(StatesAll(reading.stated[k])) << "row " << k << " after " << user.last();
                else
                    ASSERT_TRUE(row.status == RowStatus::Faulty && !row.notes.empty()) << "row " << k << " after " << user.last();
                if (!solve || row.status != RowStatus::Faulty) continue;
                // Solving names every faulty row, unless its category stops the search, which says so itself.
                const Rule& r = reading.stated[k];
                const bool listed = std::any_of(idle.begin(), idle.end(), [&](const IdleRow& i) { return i.row == k; });
                if (IsCategory(r.categoryA) && IsCategory(r.categoryB)) {
                    ASSERT_TRUE(listed) << "row " << k << " after " << user.last();
                }
            }
        }
    }
}

// ---- The four ways a row used to show one thing and solve another ---------------------------------

TEST(ReadRows, ARowCompletedAfterASolveStatesItsCondition) {
    Puzzle zebra = Example("zebra.e65");
    Text(zebra, BoxNumber(BoxRole::CategoryA, 15)) = "Nation";
    Text(zebra, BoxNumber(BoxRole::ChoiceA, 15)) = "Anglais";
    Text(zebra, BoxNumber(BoxRole::Relation, 15)) = "Correspond à";
    RowsReading reading = ReadRows(zebra);
    EXPECT_EQ(reading.row(15).status, RowStatus::Incomplete);
    EXPECT_EQ(reading.stated[15].relation, 0);
    EXPECT_EQ(reading.values[15].relation, 1); // what a save writes: the value the text names
    const std::vector<IdleRow> idle = IdleRows(reading, zebra);
    ASSERT_EQ(idle.size(), 1u);
    EXPECT_EQ(idle[0].line, "Ligne 15 : incomplète (la case de catégorie de droite est vide), laissée de côté.");
    EXPECT_EQ(IdleRowsNotice(idle), "Laissée de côté : ligne 15.");

    Text(zebra, BoxNumber(BoxRole::CategoryB, 15)) = "Couleur";
    Text(zebra, BoxNumber(BoxRole::ChoiceB, 15)) = "Verte";
    reading = ReadRows(zebra);
    EXPECT_EQ(reading.stated[15], (Rule{2, 1, 1, 3, 2, 0, 0}));
    EXPECT_EQ(CountSolutions(reading.stated).count, 0u); // row 1 puts the Englishman in the red house
}

TEST(ReadRows, APositionalRowWithoutItsOrderCategoryIsMarkedAndNamed) {
    Puzzle zebra = Example("zebra.e65");
    Text(zebra, BoxNumber(BoxRole::Order, 10)) = "";
    const RowsReading reading = ReadRows(zebra);
    ASSERT_EQ(reading.row(10).status, RowStatus::Faulty);
    ASSERT_EQ(reading.row(10).notes.size(), 1u);
    EXPECT_EQ(reading.row(10).notes[0].role, BoxRole::Order);
    EXPECT_EQ(reading.row(10).notes[0].why, "Case vide : choisissez le numéro de la catégorie dont l'ordre compte (1 à 6) ; "
                                            "sans lui, « Contigu de » ne compare aucune position.");
    const std::vector<IdleRow> idle = IdleRows(reading, zebra);
    ASSERT_EQ(idle.size(), 1u);
    EXPECT_EQ(idle[0].kind, IdleRow::Kind::Inert);
    EXPECT_EQ(idle[0].line, "Ligne 10 : sans catégorie d'ordre (case « N° de la catégorie à utiliser »), « Contigu de » "
                            "vaut pour toute solution : elle ne contraint rien.");
    EXPECT_EQ(IdleRowsNotice(idle), "Sans effet : ligne 10.");
}

TEST(ReadRows, ARenamedCellIsFollowedUnlessItsNewNameIsTaken) {
    Puzzle zebra = Example("zebra.e65");
    const RuleTable before = ReadRows(zebra).values;
    RenameCell(zebra, 1, 2, "Anglo"); // Nation "Anglais"
    EXPECT_EQ(Text(zebra, BoxNumber(BoxRole::ChoiceA, 1)), "Anglo");
    EXPECT_EQ(ReadRows(zebra).values, before);
    RenameCell(zebra, 1, 2, "Espagnol"); // a sibling's name: row 1 keeps "Anglo", which names nothing now
    EXPECT_EQ(Text(zebra, BoxNumber(BoxRole::ChoiceA, 1)), "Anglo");
    const RowsReading reading = ReadRows(zebra);
    EXPECT_EQ(reading.values[1].choiceA, 0);
    EXPECT_EQ(reading.row(1).status, RowStatus::Faulty);
    EXPECT_EQ(reading.row(2).status, RowStatus::Faulty); // "Espagnol" now names two choices
    EXPECT_EQ(reading.row(2).notes[0].why, "« Espagnol » est le nom de plusieurs choix de la catégorie « Nation » dans "
                                           "la grille : donnez-leur des noms différents.");
}

TEST(IdleRows, EveryKindInRowOrderWithItsNotice) {
    Puzzle zebra = Example("zebra.e65");
    Text(zebra, BoxNumber(BoxRole::Relation, 2)) = "Loin de";       // names no relation: left out
    Text(zebra, BoxNumber(BoxRole::ChoiceB, 3)) = "Verdâtre";      // Corresponds with no choice B: never holds
    Text(zebra, BoxNumber(BoxRole::ChoiceB, 4)) = "";              // incomplete
    Text(zebra, BoxNumber(BoxRole::Relation, 6)) = "Ne correspond pas à";
    Text(zebra, BoxNumber(BoxRole::ChoiceB, 6)) = "Zébu";          // NotCorresponds with no choice: inert
    const RowsReading reading = ReadRows(zebra);
    const std::vector<IdleRow> idle = IdleRows(reading, zebra);
    ASSERT_EQ(idle.size(), 4u);
    EXPECT_EQ(idle[0].line, "Ligne 2 : « Loin de » n'est aucune des dix relations, la ligne est laissée de côté.");
    EXPECT_EQ(idle[1].kind, IdleRow::Kind::Faulty);
    EXPECT_EQ(idle[1].line, "Ligne 3 : La case de choix de droite — « Verdâtre » n'est pas un choix de la catégorie "
                            "« Couleur » dans la grille.");
    EXPECT_EQ(idle[2].kind, IdleRow::Kind::LeftOut);
    EXPECT_EQ(idle[3].line, "Ligne 6 : la case de choix de droite (« Zébu ») ne désigne aucun choix précis de sa catégorie, "
                            "« Ne correspond pas à » vaut donc pour toute solution : elle ne contraint rien.");
    EXPECT_EQ(IdleRowsNotice(idle), "Laissées de côté : lignes 2 et 4. Sans effet : ligne 6. À corriger : ligne 3.");
    EXPECT_EQ(IdleRowsNotice({}), "");
}

// ---- Rows that hold for every matching, against the engine's own count -----------------------------

TEST(InertRows, ARuleHoldsForEveryMatchingExactlyWhenAloneItKeepsThemAll) {
    constexpr std::uint64_t kAll = 24'883'200'000; // 120^5
    std::mt19937 random(20);
    const auto in = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    int inert = 0;
    for (int i = 0; i < 1500; ++i) {
        // Mostly sound fields, some out of range, and many rules about one category or one item.
        Rule r{in(1, 6), in(0, 6), in(1, 10), in(1, 6), in(0, 6), in(0, 5), in(0, 7)};
        if (in(0, 2) == 0) r.categoryB = r.categoryA;
        if (in(0, 3) == 0) r.choiceB = r.choiceA;
        if (in(0, 3) == 0) r.orderCategory = in(0, 1) ? r.categoryA : r.categoryB;
        RuleTable rules;
        rules[1 + i % kRules] = r;
        const bool holds = HoldsForEveryMatching(r);
        ASSERT_EQ(holds, CountSolutions(rules).count == kAll)
            << "rule " << r.categoryA << "," << r.choiceA << "," << r.relation << "," << r.categoryB << "," << r.choiceB
            << "," << r.steps << "," << r.orderCategory;
        inert += holds;
        const std::vector<InertRow> rows = InertRows(rules);
        ASSERT_EQ(rows.size(), holds ? 1u : 0u);
    }
    EXPECT_GT(inert, 100); // the draw reaches the interesting case often
}

TEST(InertRows, ReasonsFromTheMostTelling) {
    RuleTable rules;
    rules[1] = Rule{2, 0, 5, 3, 1, 0, 0};  // NotCorresponds, no choice A
    rules[2] = Rule{2, 1, 2, 3, 1, 1, 0};  // Contiguous by one, no order category
    rules[3] = Rule{2, 1, 1, 2, 1, 0, 0};  // an item corresponds to itself
    rules[4] = Rule{1, 3, 2, 1, 2, 1, 1};  // house 3 beside house 2, along the houses
    rules[5] = Rule{1, 3, 2, 1, 4, 2, 0};  // steps 2 with no order: never holds, not inert
    EXPECT_EQ(InertRows(rules), (std::vector<InertRow>{{1, InertReason::NoChoice},
                                                       {2, InertReason::NoOrderCategory},
                                                       {3, InertReason::SameItem},
                                                       {4, InertReason::Always}}));
}

} // namespace
} // namespace korvane
