// The condition rows: the lists built from the grid at every opening, the values picks store, the
// steps and order boxes shown per relation, completion while typing, clearing, and the tidying of the
// rules before a solve.
#include <QSignalSpy>
#include <QTest>

#include "window_driver.h"

using namespace korvane;
using namespace korvane::test;

namespace {

// Grid rows given as category name then choices; rows left out stay empty.
void TypeRows(const Fixture& f, const std::vector<std::pair<int, QStringList>>& rows) {
    for (const auto& [row, cells] : rows)
        for (int c = 0; c < cells.size(); ++c)
            if (!cells[c].isEmpty()) f.typeCell(c, row, cells[c]);
}

} // namespace

class TestConditionRows : public QObject {
    Q_OBJECT

private slots:
    void categoryListsShowTheFilledNamesInGridOrder() {
        Fixture f;
        TypeRows(f, {{1, {"Maison"}}, {2, {"Nation"}}, {4, {"Animal"}}});
        QCOMPARE(f.openList(1), (QStringList{"Maison", "Nation", "Animal"}));
        QCOMPARE(f.openList(79), (QStringList{"Maison", "Nation", "Animal"}));
    }

    void openingACategoryListEmptiesItsChoiceBoxButKeepsTheValues() {
        Fixture f;
        f.typeGrid(Zebra());
        QVERIFY(f.pick(1, "Boisson"));
        QVERIFY(f.pick(2, "Thé"));
        f.openList(1);
        QCOMPARE(f.box(1)->currentText(), QString());
        QCOMPARE(f.box(2)->currentText(), QString());
        QCOMPARE(f.box(2)->count(), 0);
        QCOMPARE(f.session.rules[1].categoryA, 5);
        QCOMPARE(f.session.rules[1].choiceA, 2);
    }

    void choiceListsFollowTheCategoryText_data() {
        QTest::addColumn<QString>("category"); // typed into category box A; empty for none
        QTest::addColumn<QStringList>("choices");
        QTest::newRow("a named category lists its choices")
            << "Couleur" << QStringList{"Rouge", "Vert"};
        QTest::newRow("a name in two rows lists the upper row's choices")
            << "Nation" << QStringList{"Anglais", "Espagnol"};
        QTest::newRow("another letter case matches no row") << "couleur" << QStringList{};
        QTest::newRow("an empty category box lists the first row without a name")
            << "" << QStringList{"Inconnu"};
    }
    void choiceListsFollowTheCategoryText() {
        QFETCH(QString, category);
        QFETCH(QStringList, choices);
        Fixture f;
        TypeRows(f, {{1, {"Nation", "Anglais", "Espagnol"}},
                     {2, {"Couleur", "Rouge", "", "Vert"}},
                     {3, {"Nation", "Japonais"}},
                     {4, {"", "Inconnu"}}});
        f.box(1)->setTextSilently(category);
        QCOMPARE(f.openList(2), choices);
    }

    void aPickStoresItsPositionInTheList_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("value");
        QTest::newRow("the first relation is Corresponds") << 3 << "Correspond à" << 1;
        QTest::newRow("the last relation is NotContiguous") << 78 << "PasContigu de" << 10;
        QTest::newRow("steps 3") << 83 << "3" << 3;
        QTest::newRow("order category 6") << 112 << "6" << 6;
        QTest::newRow("a category is its grid row") << 4 << "Animal" << 4;
    }
    void aPickStoresItsPositionInTheList() {
        QFETCH(int, box);
        QFETCH(QString, entry);
        QFETCH(int, value);
        Fixture f;
        f.typeGrid(Zebra());
        QSignalSpy changes(f.box(box), &ConditionBox::userChanged);
        QVERIFY(f.pick(box, entry));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(f.session.rules.value(box), value);
    }

    void withGapsInTheGridAPickStoresTheGridPlace_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("categoryA");
        QTest::addColumn<int>("choiceA");
        QTest::newRow("a category after an empty name is its grid row") << "Animal" << "Chat" << 4 << 3;
        QTest::newRow("names without gaps are their list positions") << "Maison" << "M2" << 1 << 2;
    }
    void withGapsInTheGridAPickStoresTheGridPlace() {
        QFETCH(QString, category);
        QFETCH(QString, choice);
        QFETCH(int, categoryA);
        QFETCH(int, choiceA);
        Fixture f;
        TypeRows(f, {{1, {"Maison", "M1", "M2"}}, {2, {"Nation"}}, {4, {"Animal", "Chien", "", "Chat"}}});
        QVERIFY(f.pick(1, category));
        QVERIFY(f.pick(2, choice));
        QCOMPARE(f.session.rules[1].categoryA, categoryA);
        QCOMPARE(f.session.rules[1].choiceA, choiceA);
    }

    void theRelationShowsTheStepsAndOrderBoxes_data() {
        QTest::addColumn<QString>("relation");
        QTest::addColumn<bool>("steps");
        QTest::addColumn<bool>("order");
        const std::tuple<const char*, bool, bool> table[] = {
            {"Correspond à", false, false},       {"Contigu de", true, true},          {"Voisin droit de", true, true},
            {"Voisin gauche de", true, true},     {"Ne correspond pas à", false, false}, {"A droite de", false, true},
            {"A gauche de", false, true},         {"Pas voisin droit de", true, true}, {"Pas voisin gauche de", true, true},
            {"PasContigu de", true, true}};
        for (const auto& [relation, steps, order] : table) QTest::newRow(relation) << QString(relation) << steps << order;
    }
    void theRelationShowsTheStepsAndOrderBoxes() {
        QFETCH(QString, relation);
        QFETCH(bool, steps);
        QFETCH(bool, order);
        Fixture f;
        QVERIFY(f.pick(8, relation)); // row 2
        QCOMPARE(f.box(82)->isVisible(), steps);
        QCOMPARE(f.box(98)->isVisible(), order);
        QVERIFY(!f.box(81)->isVisible() && !f.box(97)->isVisible());
    }

    void hidingTheExtraBoxesKeepsTheirTextsAndValues() {
        Fixture f;
        QVERIFY(f.pick(3, "Contigu de"));
        QVERIFY(f.pick(81, "2"));
        QVERIFY(f.pick(97, "4"));
        QVERIFY(f.pick(3, "Correspond à"));
        QVERIFY(!f.box(81)->isVisible() && !f.box(97)->isVisible());
        QCOMPARE(f.box(81)->currentText(), QStringLiteral("2"));
        QCOMPARE(f.session.rules[1].steps, 2);
        QCOMPARE(f.session.rules[1].orderCategory, 4);
        // Text that selects no relation stores 0 and leaves the boxes as they are.
        QVERIFY(f.pick(3, "A droite de"));
        TypeText(f.box(3)->lineEdit(), "z");
        QCOMPARE(f.session.rules[1].relation, 0);
        QVERIFY(!f.box(81)->isVisible() && f.box(97)->isVisible());
    }

    void typingCompletesToTheFirstMatchingEntry_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("highlighted");
        QTest::newRow("the start of an entry completes to it") << "Con" << "Contigu de" << 1 << "tigu de";
        QTest::newRow("letter case is ignored") << "voisin d" << "Voisin droit de" << 2 << "roit de";
        QTest::newRow("the first of several matches is taken") << "A" << "A droite de" << 5 << " droite de";
        QTest::newRow("text no entry begins with selects none") << "Loin de" << "Loin de" << -1 << "";
    }
    void typingCompletesToTheFirstMatchingEntry() {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QString, highlighted);
        Fixture f;
        ConditionBox* relation = f.box(3);
        QSignalSpy changes(relation, &ConditionBox::userChanged);
        TypeText(relation->lineEdit(), typed);
        QCOMPARE(relation->currentText(), text);
        QCOMPARE(relation->currentIndex(), index);
        QCOMPARE(relation->lineEdit()->selectedText(), highlighted);
        QCOMPARE(changes.count(), typed.size());
        QCOMPARE(f.session.rules[1].relation, index + 1);
        QVERIFY(!relation->view()->isVisible());
    }

    void backspaceDeletesTheCompletionAndSelectsNothing() {
        Fixture f;
        ConditionBox* relation = f.box(3);
        TypeText(relation->lineEdit(), "Co");
        QCOMPARE(relation->currentText(), QStringLiteral("Correspond à"));
        QSignalSpy changes(relation, &ConditionBox::userChanged);
        QTest::keyClick(relation->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(relation->currentText(), QStringLiteral("Co"));
        QCOMPARE(relation->currentIndex(), -1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(f.session.rules[1].relation, 0);
        QTest::keyClick(relation->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(relation->currentText(), QStringLiteral("C"));
        QCOMPARE(changes.count(), 2);
    }

    void changesMadeByTheProgramReportNothing() {
        Fixture f;
        f.typeGrid(Zebra());
        QVERIFY(f.enterCondition(1, Zebra().conditions[4]));
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (int n = 1; n <= 112; ++n) spies.push_back(std::make_unique<QSignalSpy>(f.box(n), &ConditionBox::userChanged));
        f.form->FillCategoryList(f.box(4), f.box(5));
        f.form->FillChoiceList(f.box(2), f.box(1));
        f.box(3)->setTextSilently("Contigu de");
        f.click("BitBtn20");
        for (const auto& spy : spies) QCOMPARE(spy->count(), 0);
    }

    void clearingARowEmptiesItAndItsRuleOnly() {
        Fixture f;
        f.typeGrid(Zebra());
        const TestPuzzle zebra = Zebra();
        QVERIFY(f.enterCondition(1, zebra.conditions[9])); // "Contigu de" with steps and order
        QVERIFY(f.enterCondition(2, zebra.conditions[4]));
        const Rule second = f.session.rules[2];
        f.click("Clear01");
        for (int n : {1, 2, 3, 4, 5, 81, 97}) QCOMPARE(f.box(n)->currentText(), QString());
        QVERIFY(!f.box(81)->isVisible() && !f.box(97)->isVisible());
        QCOMPARE(f.session.rules[1], Rule{});
        QCOMPARE(f.session.rules[2], second);
        QVERIFY(f.box(82)->isVisible());
        QCOMPARE(f.openList(3).size(), 10);
        f.click("Clear01"); // an empty row stays empty
        QCOMPARE(f.session.rules[1], Rule{});
    }

    void clearAllEmptiesEveryRowWithoutAQuestion() {
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        f.click("BitBtn20");
        QCOMPARE(f.session.rules, RuleTable{});
        for (int n = 1; n <= 112; ++n) {
            QCOMPARE(f.box(n)->currentText(), QString());
            QCOMPARE(f.box(n)->isVisible(), n <= 80);
        }
        QVERIFY(f.platform.shown.empty());
    }

    void resetRuleTableTouchesNoWidget() {
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        f.form->ResetRuleTable();
        QCOMPARE(f.session.rules, RuleTable{});
        QCOMPARE(f.box(21)->currentText(), QStringLiteral("Couleur"));
        QVERIFY(f.box(85)->isVisible());
    }

    void aRowEmptiedByOpeningItsListTakesNoPartInTheSolve() {
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        f.openList(41); // row 9, "the Norwegian lives in house 1", opened and closed without a pick
        f.click("BitBtn19");
        QCOMPARE(f.session.rules[9].categoryA, 0);
        QCOMPARE(f.session.rules[9].choiceA, 0);
        QCOMPARE(f.session.rules[9].relation, 0);
        QCOMPARE(f.session.rules[9].categoryB, 1);
        QCOMPARE(f.edit1(), QStringLiteral("42"));
    }
};

QTEST_MAIN(TestConditionRows)
#include "test_condition_rows.moc"
