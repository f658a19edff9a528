// Undo and redo in the window: each kind of edit undone with Ctrl+Z brings back the rule tables, the
// texts, the marks and the extra boxes as they were, Ctrl+Maj+Z and Ctrl+Y bring the edit back, and a
// seeded random run of edits undoes step by step to the start. The history itself without a window.
#include <QLabel>
#include <QTest>
#include <functional>
#include <random>

#include "editor/edit_history.h"
#include "ui/file_commands.h"
#include "window_driver.h"

using namespace korvane;
using namespace korvane::test;

namespace {

// Everything an undo must bring back, as the window shows it.
struct Shown {
    RuleTable rules, stated;
    QStringList texts, names;
    QList<bool> marked, visible;
    QString caption; // the file a solution saved is named after

    friend bool operator==(const Shown&, const Shown&) = default;
};

Shown Capture(const Fixture& f) {
    Shown s{f.session.rules, f.session.stated, {}, {}, {}, {}, f.form->windowTitle()};
    for (int n = 1; n <= kBoxes; ++n) {
        s.texts.append(f.box(n)->currentText());
        s.marked.append(f.box(n)->marked());
        s.visible.append(!f.box(n)->isHidden());
    }
    for (int row = 1; row <= kCategories; ++row)
        for (int column = 0; column <= kChoices; ++column) s.names.append(f.form->cell(column, row));
    return s;
}

// Where the key goes: the widget with the focus, as for a user.
QWidget* Focus(const Fixture& f) { return QApplication::focusWidget() ? QApplication::focusWidget() : f.form.get(); }
void Undo(const Fixture& f) { QTest::keyClick(Focus(f), Qt::Key_Z, Qt::ControlModifier); }
void RedoShiftZ(const Fixture& f) { QTest::keyClick(Focus(f), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
void RedoY(const Fixture& f) { QTest::keyClick(Focus(f), Qt::Key_Y, Qt::ControlModifier); }

void TypeInto(const Fixture& f, int n, const QString& text) {
    ConditionBox* b = f.box(n);
    b->setFocus();
    b->lineEdit()->selectAll();
    TypeText(b->lineEdit(), text);
}

void EraseGridRange(const Fixture& f) {
    auto* grid = f.widget<QTableWidget>("SG1");
    grid->setFocus();
    grid->clearSelection();
    grid->setRangeSelected(QTableWidgetSelectionRange(1, 1, 2, 3), true); // Nation, Couleur: choices 1..3
    QTest::keyClick(grid, Qt::Key_Delete);
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void eachKindOfEditIsUndoneAndRedone_data() {
        QTest::addColumn<std::function<void(Fixture&)>>("edit");
        QTest::newRow("a relation picked, showing the extra boxes")
            << std::function<void(Fixture&)>([](Fixture& f) { QVERIFY(f.pick(73, "Contigu de")); });
        QTest::newRow("a name typed, one step for the whole name")
            << std::function<void(Fixture&)>([](Fixture& f) { TypeInto(f, 2, "Japonais"); });
        QTest::newRow("a text that names nothing, marked")
            << std::function<void(Fixture&)>([](Fixture& f) { TypeInto(f, 4, "Planète"); });
        QTest::newRow("a row cleared") << std::function<void(Fixture&)>([](Fixture& f) { f.click("BitBtn12"); });
        QTest::newRow("every row cleared") << std::function<void(Fixture&)>([](Fixture& f) { f.click("BitBtn20"); });
        QTest::newRow("a grid name renamed, and the rows with it")
            << std::function<void(Fixture&)>([](Fixture& f) { f.typeCell(1, 2, "Anglo"); });
        QTest::newRow("grid cells emptied with Delete") << std::function<void(Fixture&)>(EraseGridRange);
        QTest::newRow("another puzzle loaded")
            << std::function<void(Fixture&)>([](Fixture& f) { f.load(ExamplePath("relay.e65")); });
        QTest::newRow("a new puzzle on the grid's names")
            << std::function<void(Fixture&)>([](Fixture& f) {
                   f.platform.newPuzzleAnswers.push_back(NewPuzzleChoice{2, -1});
                   f.click("BitBtn26");
               });
        QTest::newRow("a new puzzle on a theme")
            << std::function<void(Fixture&)>([](Fixture& f) {
                   f.platform.newPuzzleAnswers.push_back(NewPuzzleChoice{0, 3});
                   f.click("BitBtn26");
               });
    }
    void eachKindOfEditIsUndoneAndRedone() {
        QFETCH(std::function<void(Fixture&)>, edit);
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        const Shown before = Capture(f);
        edit(f);
        const Shown after = Capture(f);
        QVERIFY(after != before);
        Undo(f);
        QVERIFY(Capture(f) == before);
        RedoShiftZ(f);
        QVERIFY(Capture(f) == after);
        Undo(f);
        RedoY(f);
        QVERIFY(Capture(f) == after);
        Undo(f);
        Undo(f); // the load
        Undo(f); // nothing left: nothing changes
        QCOMPARE(f.session.rules, RuleTable{});
        QCOMPARE(f.session.stated, RuleTable{});
        QVERIFY(f.platform.texts().isEmpty());
    }

    void theSolutionTextLeavesUndoToTheWindow() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        const Shown loaded = Capture(f);
        f.click("BitBtn12");
        f.memo()->setFocus();
        Undo(f);
        QVERIFY(Capture(f) == loaded);
    }

    void thePuzzleTheProgramStartsWithIsWhereUndoStops() {
        Fixture f;
        OpenStartFile(*f.form, f.platform, {QStringLiteral("korvane"), ExamplePath("zebra.e65")});
        const Shown loaded = Capture(f);
        f.click("BitBtn12"); // row 10 cleared
        Undo(f);
        QVERIFY(Capture(f) == loaded);
        Undo(f);
        QVERIFY(Capture(f) == loaded);
    }

    void aRandomRunOfEditsUndoesToTheStart() {
        const unsigned seed = 24;
        std::mt19937 random(seed);
        const auto in = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
        Fixture f;
        f.load(ExamplePath("seating.e65"));
        std::vector<Shown> states{Capture(f)};
        const QStringList names{"Zoé", "Chloé", "", "Bordeaux"};
        for (int i = 0; i < 24; ++i) {
            switch (in(0, 4)) {
            case 0: {
                const int n = in(1, 80);
                const QStringList offered = f.openList(n);
                if (!offered.isEmpty()) QVERIFY(f.pick(n, offered[in(0, static_cast<int>(offered.size()) - 1)]));
                break;
            }
            case 1: TypeInto(f, in(1, 80), names[in(0, 3)] + QStringLiteral("x")); break;
            case 2: f.click(in(0, 1) ? QStringLiteral("Clear01") : QStringLiteral("BitBtn%1").arg(in(4, 18))); break;
            case 3: f.typeCell(in(0, 5), in(1, 6), names[in(0, 3)]); break;
            case 4: EraseGridRange(f); break;
            }
            if (Capture(f) != states.back()) states.push_back(Capture(f));
        }
        QVERIFY(states.size() > 12); // most edits changed something
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            Undo(f);
            QVERIFY2(Capture(f) == states[i - 1], qPrintable(QStringLiteral("seed %1, undo to step %2").arg(seed).arg(i - 1)));
        }
    }

    void theHistoryIsBoundedAndTypingInOneBoxIsOneStep() {
        EditHistory history(3);
        std::vector<ScreenState> states(6);
        for (std::size_t i = 0; i < states.size(); ++i) states[i].boxTexts[0] = std::string(i, 'a');
        history.record(states[0], states[1], 1); // typing into box 1 ...
        history.record(states[1], states[2], 1); // ... goes on: one step
        QCOMPARE(history.undoSteps(), std::size_t{1});
        history.breakTyping(); // the box was left
        history.record(states[2], states[3], 1);
        history.record(states[3], states[3]); // no change: no step
        ScreenState renamed = states[3];
        renamed.caption = "autre.e65";
        history.record(states[3], renamed); // the caption alone (a load cancelled): no step either
        history.record(states[3], states[4], 2);
        history.record(states[4], states[5]);
        QCOMPARE(history.undoSteps(), std::size_t{3}); // the oldest went
        QVERIFY(history.undo(states[5]) == states[4]);
        QVERIFY(history.undo(states[4]) == states[3]);
        QVERIFY(history.undo(states[3]) == states[2]);
        QVERIFY(!history.undo(states[2]));
        QVERIFY(history.redo(states[2]) == states[3]);
        history.record(states[3], states[0]); // a new edit forgets what could be redone
        QCOMPARE(history.redoSteps(), std::size_t{0});
        QVERIFY(!history.redo(states[0]));
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
