// The condition rows: the lists built from the grid at every opening, the values picks store, the
// steps and order boxes shown per relation, completion while typing, clearing, and the tidying of the
// rules before a solve.
#include <QLabel>
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

    void openingAListRebuildsItAndKeepsTheRow() {
        Fixture f;
        f.typeGrid(Zebra());
        QVERIFY(f.pick(1, "Boisson"));
        QVERIFY(f.pick(2, "Thé"));
        f.typeCell(0, 2, "Pays"); // renamed since the list was last opened
        QCOMPARE(f.openList(1), (QStringList{"Maison", "Pays", "Couleur", "Animal", "Boisson", "Cigarette"}));
        QCOMPARE(f.box(1)->currentText(), QStringLiteral("Boisson"));
        QCOMPARE(f.box(1)->currentIndex(), 4);
        QCOMPARE(f.box(2)->currentText(), QStringLiteral("Thé"));
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
        QCOMPARE(BoxValue(f.session.rules, box), value);
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
        f.form->FillCategoryList(4);
        f.form->FillChoiceList(2);
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

    // Faults of rows that solved something other than what they showed.

    void retypingANameIntoABoxWhoseListWasNeverOpenedStoresIt() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        QLineEdit* edit = f.box(5)->lineEdit(); // choice box B of row 1, "Rouge"
        edit->selectAll();
        TypeText(edit, "Rouge");
        QCOMPARE(f.box(5)->currentText(), QStringLiteral("Rouge"));
        QCOMPARE(f.session.rules[1].choiceB, 1);
        QVERIFY(!f.box(5)->marked());
        f.click("BitBtn19");
        QCOMPARE(f.widget<QLabel>("Label17")->text(), QStringLiteral("Solution unique trouvée : FÉLICITATIONS"));
    }

    void aRowTypedByHandWithTabBetweenTheBoxesStatesItsCondition() {
        Fixture f;
        f.typeGrid(Zebra());
        f.box(6)->setFocus(); // row 2: Tab goes on through boxes 7, 8, 9 and 10
        for (const char* text : {"Maison", "1", "Correspond à", "Couleur", "Rouge"}) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused);
            TypeText(focused, QString::fromUtf8(text));
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        for (int n = 6; n <= 10; ++n) QVERIFY2(!f.box(n)->marked(), qPrintable(f.box(n)->toolTip()));
        QCOMPARE(f.session.rules[2], (Rule{1, 1, 1, 3, 1, 0, 0}));
        QCOMPARE(f.box(8)->currentText(), QStringLiteral("Correspond à"));
        f.click("BitBtn19");
        QVERIFY2(f.platform.shown.empty(), qPrintable(f.platform.texts().join('\n')));
        QCOMPARE(f.platform.beeps, 1);
    }

    void theWheelChangesOnlyTheBoxThatHasTheFocus_data() {
        QTest::addColumn<int>("box");
        QTest::newRow("relation box") << 3;
        QTest::newRow("steps box") << 81;
        QTest::newRow("order box") << 97;
        QTest::newRow("category box") << 4;
        QTest::newRow("choice box") << 5;
    }
    void theWheelChangesOnlyTheBoxThatHasTheFocus() {
        QFETCH(int, box);
        Fixture f;
        f.typeGrid(Zebra());
        QVERIFY(f.enterCondition(1, {"Nation", "Anglais", "Contigu de", "Couleur", "Rouge", "2", "3"}));
        const Rule before = f.session.rules[1];
        const QString text = f.box(box)->currentText();
        // Qt passes on to the box the turns over its edit field only when they come from the window
        // system; a wheel that came from it gives no focus to a box of this policy.
        QCOMPARE(f.box(box)->focusPolicy(), Qt::StrongFocus);
        f.memo()->setFocus();
        TurnWheel(f.box(box));
        TurnWheel(f.box(box));
        QCOMPARE(f.box(box)->currentText(), text);
        QCOMPARE(f.session.rules[1], before);
        QVERIFY(f.memo()->hasFocus());
        QVERIFY(f.box(81)->isVisible() && f.box(97)->isVisible());

        f.box(box)->setFocus();
        TurnWheel(f.box(box));
        QVERIFY(f.box(box)->currentText() != text);
        QVERIFY(BoxValue(f.session.rules, box) != before.*RoleInfo(PlaceOf(box).role).field);
        QCOMPARE(BoxValue(f.session.rules, box), f.box(box)->currentIndex() + 1);
    }

    void aStepGoesFromTheEntryTheLoadedTextShows_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("next");
        QTest::addColumn<int>("value");
        QTest::newRow("a choice box whose list was never opened") << 5 << "Verte" << 2;
        QTest::newRow("a relation box") << 8 << "Contigu de" << 2;
        QTest::newRow("a steps box") << 85 << "2" << 2;
    }
    void aStepGoesFromTheEntryTheLoadedTextShows() {
        QFETCH(int, box);
        QFETCH(QString, next);
        QFETCH(int, value);
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        f.box(box)->setFocus();
        TurnWheel(f.box(box));
        QCOMPARE(f.box(box)->currentText(), next);
        QCOMPARE(BoxValue(f.session.rules, box), value);
        TurnWheel(f.box(box), false);
        QTest::keyClick(f.box(box), Qt::Key_Down);
        QCOMPARE(f.box(box)->currentText(), next);
        QCOMPARE(BoxValue(f.session.rules, box), value);
    }

    void leavingAListWithoutAPickChangesNothing() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        const RuleTable rules = f.session.rules;
        for (int n : {41, 42, 44, 45}) { // row 9, "the Norwegian lives in house 1"
            ConditionBox* b = f.box(n);
            const QString text = b->currentText();
            QTest::keyClick(b, Qt::Key_F4);
            QVERIFY(b->view()->isVisible());
            QTest::keyClick(b->view(), Qt::Key_Escape);
            QVERIFY(!b->view()->isVisible());
            QCOMPARE(b->currentText(), text);
        }
        QCOMPARE(f.session.rules, rules);
        f.click("BitBtn19");
        QCOMPARE(f.edit1(), QStringLiteral("1"));
    }

    void aTextThatStoresNothingIsMarkedUntilItIsValid_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("wrong");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("hint");
        QTest::newRow("a category name in an order box") // row 5, "Voisin droit de"
            << 101 << "Maison" << "« Maison » n'est pas un numéro de catégorie : choisissez un nombre de 1 à 6." << "1"
            << "N° de la catégorie à utiliser";
        QTest::newRow("a category that is not in the grid")
            << 1 << "Planète"
            << "« Planète » n'est le nom d'aucune catégorie de la grille : cette case ne désigne aucune catégorie."
            << "Nation" << "Condition 1";
        QTest::newRow("a choice of another category")
            << 5 << "Anglais" << "« Anglais » n'est pas un choix de la catégorie « Couleur » dans la grille."
            << "Rouge" << "";
    }
    void aTextThatStoresNothingIsMarkedUntilItIsValid() {
        QFETCH(int, box);
        QFETCH(QString, wrong);
        QFETCH(QString, why);
        QFETCH(QString, right);
        QFETCH(QString, hint);
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        ConditionBox* b = f.box(box);
        b->lineEdit()->selectAll();
        TypeText(b->lineEdit(), wrong);
        QCOMPARE(b->currentText(), wrong);
        QCOMPARE(BoxValue(f.session.rules, box), 0);
        QVERIFY(b->marked());
        QCOMPARE(b->toolTip(), why);
        QCOMPARE(b->lineEdit()->palette().color(QPalette::Text), QColor(Qt::red));
        QVERIFY(b->lineEdit()->palette().color(QPalette::Base) == b->palette().color(QPalette::Base));

        b->lineEdit()->selectAll();
        TypeText(b->lineEdit(), right);
        QVERIFY(!b->marked());
        QCOMPARE(b->toolTip(), hint);
        QVERIFY(b->lineEdit()->palette().color(QPalette::Text) != QColor(Qt::red));
    }

    void aNameRenamedInTheGridIsRenamedInTheBoxesThatMeantIt() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        QVERIFY(!f.box(5)->marked());
        f.typeCell(1, 3, "Carmin"); // "Rouge" renamed
        QCOMPARE(f.box(5)->currentText(), QStringLiteral("Carmin"));
        QVERIFY(!f.box(5)->marked());
        QCOMPARE(f.session.rules[1].choiceB, 1);
        f.typeCell(0, 3, "Teinte"); // the category "Couleur" renamed
        QCOMPARE(f.box(4)->currentText(), QStringLiteral("Teinte"));
        QCOMPARE(f.session.rules[1], (Rule{2, 1, 1, 3, 1, 0, 0}));
        QCOMPARE(f.box(14)->currentText(), QStringLiteral("Teinte")); // row 3's side B too
    }

    void aNameEmptiedOrGivenToTwoCellsLeavesItsRowsMarked_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("emptied") << QString();
        QTest::newRow("the name of another choice") << QStringLiteral("Verte");
    }
    void aNameEmptiedOrGivenToTwoCellsLeavesItsRowsMarked() {
        QFETCH(QString, name);
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        if (name.isEmpty()) {
            auto* grid = f.widget<QTableWidget>("SG1");
            grid->setFocus();
            grid->setCurrentCell(2, 1);
            QTest::keyClick(grid, Qt::Key_Delete);
        } else {
            f.typeCell(1, 3, name);
        }
        QCOMPARE(f.box(5)->currentText(), QStringLiteral("Rouge"));
        QVERIFY(f.box(5)->marked());
        QCOMPARE(f.session.rules[1].choiceB, 0);
        // A text that two cells bear names neither: row 3 showed "Verte".
        QCOMPARE(f.box(15)->marked(), !name.isEmpty());
        f.click("BitBtn19");
        QVERIFY(f.form->findChild<QLabel*>("Label24")->text().contains(QStringLiteral("ligne")));
    }

    void enterAcceptsTheCompletionAndMovesOn() {
        Fixture f;
        f.typeGrid(Zebra());
        ConditionBox* category = f.box(1);
        category->setFocus();
        TypeText(category->lineEdit(), "Na");
        QTest::keyClick(category->lineEdit(), Qt::Key_Return);
        QCOMPARE(category->currentText(), QStringLiteral("Nation"));
        QCOMPARE(f.session.rules[1].categoryA, 2);
        QCOMPARE(QApplication::focusWidget(), f.widget("SG1")); // where Tab goes from the first box
        f.box(2)->setFocus();
        TypeText(f.box(2)->lineEdit(), "Esp");
        QTest::keyClick(f.box(2), Qt::Key_Enter);
        QCOMPARE(f.session.rules[1].choiceA, 2);
        QVERIFY(!f.box(2)->hasFocus());
    }

    void aLoadedTextLongerThanItsBoxShowsItsStart() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        f.box(3)->setTextSilently(QStringLiteral("Pas voisin gauche de"));
        QCOMPARE(f.box(3)->lineEdit()->cursorPosition(), 0);
    }

    void aRowCompletedAfterASolveStatesItsCondition() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        QVERIFY(f.enterCondition(15, {"Nation", "Anglais", "Correspond à", "", ""}));
        f.click("BitBtn19");
        auto* idle = f.widget<QLabel>("Label24");
        QCOMPARE(idle->text(), QStringLiteral("Laissée de côté : ligne 15."));
        QCOMPARE(idle->toolTip(), QStringLiteral("Ligne 15 : incomplète (la case de catégorie de droite est vide), laissée de côté."));
        QCOMPARE(f.session.rules[15].relation, 1); // what the text names, and what a save writes
        QCOMPARE(f.session.stated[15].relation, 0);
        QVERIFY(f.enterCondition(15, {"", "", "", "Couleur", "Verte"}));
        QCOMPARE(f.session.stated[15], (Rule{2, 1, 1, 3, 2, 0, 0}));
        f.click("BitBtn19");
        QCOMPARE(f.widget<QLabel>("Label17")->text(), QStringLiteral("Nombre de solutions trouvées : 0"));
        QCOMPARE(idle->text(), QString());
    }

    void aPositionalRowWithAnEmptyOrderBoxIsMarkedAndNamed() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        ConditionBox* order = f.box(106); // row 10, "Contigu de"
        QVERIFY(order->isVisible());
        order->lineEdit()->selectAll();
        QTest::keyClick(order->lineEdit(), Qt::Key_Delete);
        QCOMPARE(order->currentText(), QString());
        QVERIFY(order->marked());
        QVERIFY(order->toolTip().startsWith(QStringLiteral("Case vide : choisissez le numéro de la catégorie")));
        // Nothing to colour red: the empty field is tinted.
        QVERIFY(order->lineEdit()->palette().color(QPalette::Base) != f.box(105)->lineEdit()->palette().color(QPalette::Base));
        f.click("BitBtn19");
        QCOMPARE(f.widget<QLabel>("Label24")->text(), QStringLiteral("Sans effet : ligne 10."));
        QVERIFY(f.widget<QLabel>("Label24")->toolTip().startsWith(QStringLiteral("Ligne 10 : sans catégorie d'ordre")));
        TypeText(order->lineEdit(), "1");
        QVERIFY(!order->marked());
        QCOMPARE(order->lineEdit()->palette().color(QPalette::Base), f.box(105)->lineEdit()->palette().color(QPalette::Base));
    }

    void changingACategoryMakesItsChoiceBoxNameAChoiceOfTheNewOne() {
        Fixture f;
        f.typeGrid(Zebra());
        QVERIFY(f.enterCondition(1, {"Maison", "3", "Correspond à", "Couleur", "Rouge"}));
        QVERIFY(f.pick(1, "Boisson")); // "3" is no drink
        QCOMPARE(f.session.rules[1].choiceA, 0);
        QVERIFY(f.box(2)->marked());
        QVERIFY(f.pick(4, "Maison")); // "Rouge" is no house
        QCOMPARE(f.session.rules[1].choiceB, 0);
        QVERIFY(f.pick(1, "Maison"));
        QCOMPARE(f.session.rules[1].choiceA, 3);
        QVERIFY(!f.box(2)->marked());
    }

    void deleteAndBackspaceEmptyTheSelectedCellsOfTheGrid_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Delete") << int(Qt::Key_Delete);
        QTest::newRow("Backspace") << int(Qt::Key_Backspace);
    }
    void deleteAndBackspaceEmptyTheSelectedCellsOfTheGrid() {
        QFETCH(int, key);
        Fixture f;
        f.typeGrid(Zebra());
        auto* grid = f.widget<QTableWidget>("SG1");
        grid->setFocus();
        grid->clearSelection();
        grid->setRangeSelected(QTableWidgetSelectionRange(1, 1, 2, 3), true); // rows 2-3, choices 1-3
        QTest::keyClick(grid, Qt::Key(key));
        for (int row = 1; row <= 6; ++row)
            for (int column = 0; column <= 5; ++column)
                QVERIFY2(f.form->cell(column, row).isEmpty() == (row >= 2 && row <= 3 && column >= 1 && column <= 3),
                         qPrintable(QStringLiteral("row %1 column %2: %3").arg(row).arg(column).arg(f.form->cell(column, row))));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid)); // no cell was opened for editing
    }
};

QTEST_MAIN(TestConditionRows)
#include "test_condition_rows.moc"
