// Making puzzles in the window: "Nouvelle énigme" fills the grid and the rows with a unique puzzle of the
// grade asked, as a load would, and undoes in one step; the explanation's suggestions and its
// "Retirer les lignes superflues" change the rows as they claim, and undo too.
#include <QLabel>
#include <QTest>

#include "editor/row_reading.h"
#include "engine/search.h"
#include "maker/themes.h"
#include "reasoning/deduce.h"
#include "reasoning/grade.h"
#include "window_driver.h"

using namespace korvane;
using namespace korvane::test;

namespace {

QWidget* ExplainForm(const Fixture& f) { return f.form->findChild<QWidget*>(QStringLiteral("ExplainForm")); }

template <class W = QWidget>
W* InExplanation(const Fixture& f, const QString& name) {
    W* w = ExplainForm(f)->findChild<W*>(name);
    if (!w) qFatal("no %s in the explanation", qPrintable(name));
    return w;
}

// The rows the window states, and the texts and names it shows.
struct Rows {
    RuleTable stated;
    QStringList texts, names;
    friend bool operator==(const Rows&, const Rows&) = default;
};

Rows Capture(const Fixture& f) {
    Rows r{f.session.stated, {}, {}};
    for (int n = 1; n <= kBoxes; ++n) r.texts.append(f.box(n)->currentText());
    for (int row = 1; row <= kCategories; ++row)
        for (int column = 0; column <= kChoices; ++column) r.names.append(f.form->cell(column, row));
    return r;
}

// Ctrl+Z where the focus is, in the main window or in the explanation.
void Undo(const Fixture& f) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : f.form.get(), Qt::Key_Z, Qt::ControlModifier);
}

int RowCount(const RuleTable& rules) {
    int n = 0;
    for (int k = 1; k <= kRules; ++k) n += rules[k].relation != 0;
    return n;
}

} // namespace

class TestNewPuzzle : public QObject {
    Q_OBJECT

private slots:
    void theButtonStandsWhereNothingElseDoes() {
        Fixture f;
        auto* button = f.widget<QPushButton>("BitBtn26");
        QVERIFY(QRect(0, 0, 883, 734).contains(button->geometry()));
        for (QWidget* other : f.form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != button && !other->isWindow() && other->isVisibleTo(f.form.get()) && other->objectName() != "Label17")
                QVERIFY2(!other->geometry().intersects(button->geometry()), qPrintable(other->objectName()));
        // The verdict, however wide, ends left of it or below it.
        QVERIFY(f.widget("Label17")->geometry().top() >= button->geometry().bottom());
    }

    void eachGradeIsMadeUniqueAndUndoneInOneStep_data() {
        QTest::addColumn<int>("grade");
        QTest::addColumn<int>("theme");
        for (int g = 0; g < kGrades; ++g)
            QTest::newRow(qPrintable(QString::fromUtf8(GradeName(static_cast<Grade>(g + 1)).data()))) << g << (g % 2 ? 0 : -1);
    }
    void eachGradeIsMadeUniqueAndUndoneInOneStep() {
        QFETCH(int, grade);
        QFETCH(int, theme);
        Fixture f;
        f.load(ExamplePath("seating.e65"));
        f.session.nextPuzzleSeed = 40;
        const Rows before = Capture(f);
        f.platform.newPuzzleAnswers.push_back(NewPuzzleChoice{grade, theme});
        f.click("BitBtn26");

        // The dialog offered the four grades, "Moyen" first, the grid of a full grid, and the themes.
        QCOMPARE(f.platform.newPuzzleOffers.size(), std::size_t{1});
        const NewPuzzleOffer& offer = f.platform.newPuzzleOffers[0];
        QCOMPARE(offer.grades, (QStringList{"Facile", "Moyen", "Difficile", "Très difficile"}));
        QCOMPARE(offer.grade, 1);
        QCOMPARE(offer.gridProblem, QString());
        QCOMPARE(offer.themes.size(), static_cast<qsizetype>(maker::Themes().size()));
        QCOMPARE(f.session.nextPuzzleSeed, std::uint64_t{41});
        QCOMPARE(f.session.newPuzzleGrade, grade);

        // One solution, the grade asked, every row stated as its texts show.
        const Rows after = Capture(f);
        QVERIFY(after.stated != before.stated);
        QCOMPARE(CountSolutions(f.session.stated).count, std::uint64_t{1});
        QCOMPARE(GradeOf(Deduce(f.session.stated)), static_cast<Grade>(grade + 1));
        Puzzle screen;
        for (int n = 1; n <= kBoxes; ++n) screen.boxTexts[static_cast<std::size_t>(n - 1)] = f.box(n)->currentText().toStdString();
        for (int row = 1; row <= kCategories; ++row)
            for (int column = 0; column <= kChoices; ++column) screen.name(column, row) = f.form->cell(column, row).toStdString();
        const RowsReading reading = ReadRows(screen);
        for (int k = 1; k <= kRules; ++k) {
            QVERIFY(reading.row(k).status == (k <= RowCount(f.session.stated) ? RowStatus::Stated : RowStatus::Empty));
            for (int n = 1; n <= kBoxes; ++n) QVERIFY2(!f.box(n)->marked(), qPrintable(QString::number(n)));
        }
        if (theme == -1) {
            QCOMPARE(after.names, before.names);
        } else {
            QVERIFY(after.names != before.names); // a theme's
        }
        // As a load: no solution shown, the caption no longer the seating file's.
        QCOMPARE(f.edit1(), QStringLiteral("0"));
        QVERIFY(f.memo()->toPlainText().isEmpty());
        QVERIFY(!f.form->windowTitle().endsWith("seating.e65"));
        QVERIFY(f.widget<QLabel>("Label24")->text().startsWith("Nouvelle énigme"));
        QVERIFY(f.platform.texts().isEmpty());

        Undo(f);
        QVERIFY(Capture(f) == before);
        QCOMPARE(f.widget<QLabel>("Label24")->text(), QString()); // its notice went with it
    }

    void theGridsNamesAreKeptOrRefused() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        const Rows zebra = Capture(f);
        f.platform.newPuzzleAnswers.push_back(NewPuzzleChoice{0, -1});
        f.click("BitBtn26");
        QCOMPARE(Capture(f).names, zebra.names);
        QCOMPARE(CountSolutions(f.session.stated).count, std::uint64_t{1});

        // A grid with an empty name cannot be kept: the dialog says why, and an answer keeping it does nothing.
        auto* grid = f.widget<QTableWidget>("SG1");
        grid->setFocus();
        grid->setCurrentCell(1, 3);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(f.form->cell(3, 2), QString());
        const Rows emptied = Capture(f);
        f.platform.newPuzzleAnswers.push_back(NewPuzzleChoice{1, -1});
        f.click("BitBtn26");
        QVERIFY(f.platform.newPuzzleOffers.back().gridProblem.contains("vide"));
        QVERIFY(Capture(f) == emptied);
        // Cancelled: nothing changes either.
        f.click("BitBtn26");
        QVERIFY(Capture(f) == emptied);
    }

    void aSuggestionPutInLeavesTheCountItClaims() {
        Fixture f;
        f.load(ExamplePath("seating.e65"));
        const Rows seating = Capture(f);
        f.click("BitBtn25");
        QTRY_VERIFY(ExplainForm(f)->findChild<QPushButton*>("PutSuggestion1"));
        const QString line = InExplanation<QLabel>(f, "Suggestion1")->text();
        QVERIFY2(line.endsWith(" : 1 solution (Moyen)"), qPrintable(line));
        QVERIFY(InExplanation<QLabel>(f, "SuggestHeading")->text().contains("en ligne 2"));
        QTest::mouseClick(InExplanation<QPushButton>(f, "PutSuggestion1"), Qt::LeftButton);

        // Row 2 now shows the suggestion, which leaves one solution; the explanation follows the rows.
        QVERIFY(line.startsWith(f.box(6)->currentText() + " " + f.box(7)->currentText()));
        QCOMPARE(CountSolutions(f.session.stated).count, std::uint64_t{1});
        QCOMPARE(InExplanation<QLabel>(f, "VerdictLabel")->text(), QStringLiteral("Solution unique"));
        QVERIFY(!f.box(81 + 1)->isHidden() || f.session.stated[2].steps == 0);
        Undo(f);
        QVERIFY(Capture(f) == seating);
    }

    void theSuperfluousRowsGoInOneStep() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        // Row 15 repeats row 1, which then neither of them needs alone.
        for (int role = 1; role <= 5; ++role) f.box(70 + role)->setEditText(f.box(role)->currentText());
        f.click("BitBtn19");
        const Rows doubled = Capture(f);
        QCOMPARE(RowCount(doubled.stated), 15);
        f.click("BitBtn25");
        auto* keep = InExplanation<QPushButton>(f, "KeepRowsButton");
        QTRY_VERIFY(keep->isVisible());
        QVERIFY(InExplanation<QLabel>(f, "SuggestHeading")->text().contains("(14 lignes)"));
        QTest::mouseClick(keep, Qt::LeftButton);
        QCOMPARE(RowCount(f.session.stated), 14);
        QCOMPARE(CountSolutions(f.session.stated).count, std::uint64_t{1});
        Undo(f);
        QVERIFY(Capture(f) == doubled);
    }
};

QTEST_MAIN(TestNewPuzzle)
#include "test_new_puzzle.moc"
