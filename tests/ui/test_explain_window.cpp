// The window "Explication" through the real main window and the scripted platform: built on first use,
// the verdict and the explanation of the rows as they are, the steps revealed one by one with the rows
// they read marked in the main window, the grid after a step, the out-of-date note, the copy, and the
// button standing out after a solve that found nothing.
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include "editor/normalise.h"
#include "files/puzzle_file.h"
#include "reasoning/report.h"
#include "ui/logic_grid.h"
#include "window_driver.h"
#include "texts/explain_text.h"
#include "texts/names.h"
#include "texts/report_text.h"
#include "texts/step_text.h"

using namespace korvane;
using namespace korvane::test;

namespace {

// The report the window must show for an example file, made without the window.
std::pair<Puzzle, Report> ExpectedReport(const QString& name) {
    Puzzle puzzle = std::get<Puzzle>(LoadPuzzleFile(ExamplePath(name)));
    ClearEmptyRuleFields(puzzle.rules, puzzle.boxTexts);
    Report report = MakeReport(puzzle.rules);
    return {puzzle, std::move(report)};
}

// The row numbers drawn marked, in order.
QList<int> MarkedRows(const Fixture& f) {
    QList<int> rows;
    for (int k = 1; k <= 16; ++k) {
        auto* number = f.widget<QLabel>(QStringLiteral("Label%1").arg(k));
        if (number->autoFillBackground()) {
            if (number->palette().color(QPalette::Window) != QColor(0xFF, 0xFF, 0x00)) qFatal("row %d marked without colour", k);
            rows.append(k);
        } else if (number->palette().color(QPalette::WindowText) != QColor(0x80, 0x00, 0x00)) {
            qFatal("row %d lost its colour", k);
        }
    }
    return rows;
}

QWidget* ExplainForm(const Fixture& f) { return f.form->findChild<QWidget*>(QStringLiteral("ExplainForm")); }

template <class W = QWidget>
W* InExplanation(const Fixture& f, const char* name) {
    W* w = ExplainForm(f)->findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no %s in the explanation", name);
    return w;
}

void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

} // namespace

class TestExplainWindow : public QObject {
    Q_OBJECT

private slots:
    void builtOnFirstUseOnly() {
        Fixture f;
        QVERIFY(!ExplainForm(f));
        f.click("BitBtn25");
        QWidget* window = ExplainForm(f);
        QVERIFY(window && window->isVisible() && window->isWindow());
        QCOMPARE(window->windowTitle(), QStringLiteral("Explication"));
        // Closed and opened again: the same window, where it was left.
        const QRect area = window->screen()->availableGeometry();
        window->move(area.topLeft());
        const QPoint place = window->pos();
        f.click("BitBtn25"); // while open
        QCOMPARE(window->pos(), place);
        window->close();
        f.click("BitBtn25");
        QCOMPARE(ExplainForm(f), window);
        QCOMPARE(window->pos(), place);
        // Left mostly off the screen, it comes back whole.
        window->move(area.bottomRight() - QPoint(40, 40));
        window->close();
        f.click("BitBtn25");
        QVERIFY(area.contains(window->frameGeometry().topLeft()));
        QVERIFY(window->frameGeometry().right() <= area.right() || window->frameGeometry().left() == area.left());
    }

    void aConflictShowsItsRowsAndTheHintRevealsOneStepAtATime() {
        Fixture f;
        f.load(ExamplePath("relay.e65"));
        const auto [puzzle, report] = ExpectedReport("relay.e65");
        f.click("BitBtn25");
        QCOMPARE(InExplanation<QLabel>(f, "VerdictLabel")->text(), QStringLiteral("Aucune solution"));
        const QString text = InExplanation<QLabel>(f, "ExplanationText")->text();
        for (int k : report.explanation.rows)
            QVERIFY2(text.contains(QString::fromStdString("Ligne " + std::to_string(k) + " : " + RowText(puzzle, k))), qPrintable(text));
        QCOMPARE(InExplanation<QLabel>(f, "GradeLabel")->text(), QStringLiteral("Difficulté : Moyen"));

        // Nothing given away until asked for.
        auto* steps = InExplanation<QListWidget>(f, "StepList");
        auto* grid = InExplanation<LogicGrid>(f, "LogicGrid");
        auto* hint = InExplanation<QPushButton>(f, "HintButton");
        QCOMPARE(steps->count(), 0);
        QCOMPARE(grid->known(), KnownAfter(report.trace, 0));
        QCOMPARE(MarkedRows(f), QList<int>{});
        const std::vector<std::string> lines = StepLines(report.trace, puzzle);
        for (std::size_t n = 1; n <= report.trace.steps.size(); ++n) {
            QVERIFY(hint->isEnabled());
            Click(hint);
            QCOMPARE(steps->count(), static_cast<int>(n));
            QCOMPARE(steps->currentRow(), static_cast<int>(n) - 1);
            QCOMPARE(steps->item(static_cast<int>(n) - 1)->text(), QString::fromStdString(lines[n - 1]));
            const std::vector<int>& rows = report.trace.steps[n - 1].rows;
            QCOMPARE(MarkedRows(f), QList<int>(rows.begin(), rows.end()));
            QCOMPARE(grid->known(), KnownAfter(report.trace, n));
        }
        QVERIFY(!hint->isEnabled());

        // An earlier step chosen: its rows and the grid as it stood then.
        steps->setCurrentRow(3);
        QCOMPARE(MarkedRows(f), QList<int>(report.trace.steps[3].rows.begin(), report.trace.steps[3].rows.end()));
        QCOMPARE(grid->known(), KnownAfter(report.trace, 4));
        // No step chosen, or the window closed: no row marked.
        steps->clearSelection();
        QCOMPARE(MarkedRows(f), QList<int>{});
        steps->setCurrentRow(0);
        QVERIFY(!MarkedRows(f).isEmpty());
        ExplainForm(f)->close();
        QCOMPARE(MarkedRows(f), QList<int>{});
        // Escape, from the list of steps, closes it too.
        f.click("BitBtn25");
        QVERIFY(ExplainForm(f)->isVisible());
        QTest::keyClick(steps, Qt::Key_Escape);
        QVERIFY(!ExplainForm(f)->isVisible());
    }

    void severalSolutionsShowTheOpenCellsInTheGrid() {
        Fixture f;
        f.load(ExamplePath("seating.e65"));
        const auto [puzzle, report] = ExpectedReport("seating.e65");
        f.click("BitBtn25");
        QCOMPARE(InExplanation<QLabel>(f, "VerdictLabel")->text(), QStringLiteral("Plusieurs solutions"));
        // The open items are drawn, not listed.
        QCOMPARE(InExplanation<QLabel>(f, "ExplanationText")->text(),
                 QString::fromStdString(ExplanationLines(report.explanation, puzzle).front()));
        auto* grid = InExplanation<LogicGrid>(f, "LogicGrid");
        QCOMPARE(grid->known(), report.explanation.partners);
        int open = 0;
        for (int c1 = 1; c1 <= 6; ++c1)
            for (int c2 = 1; c2 <= 6; ++c2)
                for (int a = 1; a <= 5 && c1 != c2; ++a)
                    for (int b = 1; b <= 5; ++b) open += grid->mark(c1, a, c2, b) == LogicGrid::Mark::Open;
        QVERIFY(open > 0);
        // All the steps at once; none chosen, the grid stays the solutions' one.
        Click(InExplanation<QPushButton>(f, "AllStepsButton"));
        QCOMPARE(InExplanation<QListWidget>(f, "StepList")->count(), static_cast<int>(report.trace.steps.size()));
        QCOMPARE(grid->known(), report.explanation.partners);
    }

    void editsMarkTheExplanationOutOfDateUntilRefreshed() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        f.click("BitBtn25");
        auto* note = InExplanation<QLabel>(f, "StaleLabel");
        auto* refresh = InExplanation<QPushButton>(f, "RefreshButton");
        QCOMPARE(InExplanation<QLabel>(f, "VerdictLabel")->text(), QStringLiteral("Solution unique"));
        QVERIFY(note->isHidden() && refresh->isHidden());
        // What changes nothing leaves it up to date: a solve, clearing an empty row.
        f.click(QStringLiteral("BitBtn19"));
        f.click(QStringLiteral("BitBtn18"));
        QVERIFY(note->isHidden());
        const std::function<void()> edits[] = {
            [&] { f.typeCell(1, 1, QStringLiteral("Un")); },
            [&] { f.click(QStringLiteral("BitBtn16")); }, // clears row 14
            [&] { QVERIFY(f.pick(2, QStringLiteral("Espagnol"))); },
            [&] { f.click(QStringLiteral("Clear01")); },
            [&] { f.load(ExamplePath("relay.e65")); },
        };
        for (const auto& edit : edits) {
            edit();
            QVERIFY(note->isVisible() && refresh->isVisible());
            Click(refresh);
            QVERIFY(note->isHidden() && refresh->isHidden());
        }
        // The last refresh explains the puzzle loaded last.
        QCOMPARE(InExplanation<QLabel>(f, "VerdictLabel")->text(), QStringLiteral("Aucune solution"));
    }

    void copyPutsTheWholeExplanationOnTheClipboard() {
        Fixture f;
        f.load(ExamplePath("relay.e65"));
        const auto expected = ExpectedReport("relay.e65");
        const Puzzle& puzzle = expected.first;
        const Report& report = expected.second;
        f.click("BitBtn25");
        // Structured bindings are captured by name: clang before 16 cannot capture them implicitly.
        const auto copied = [&, &puzzle = puzzle, &report = report](std::size_t steps) {
            QString text;
            for (const std::string& line : ReportLines(report, puzzle, steps)) text += QString::fromStdString(line) + QLatin1Char('\n');
            return text;
        };
        // Hints: the steps revealed and no more, with how many are still hidden.
        Click(InExplanation<QPushButton>(f, "HintButton"));
        Click(InExplanation<QPushButton>(f, "CopyButton"));
        QCOMPARE(f.platform.clipboard, copied(1));
        QVERIFY(f.platform.clipboard.endsWith(QStringLiteral(" étapes encore cachées)\n")));
        QVERIFY(!f.platform.clipboard.contains(QStringLiteral("Difficulté")));
        Click(InExplanation<QPushButton>(f, "AllStepsButton"));
        Click(InExplanation<QPushButton>(f, "CopyButton"));
        QCOMPARE(f.platform.clipboard, copied(SIZE_MAX));
        QVERIFY(f.platform.clipboard.contains(QStringLiteral("Difficulté")));
    }

    void theHintFramesTheCellsItsStepSets() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        const auto [puzzle, report] = ExpectedReport("zebra.e65");
        f.click("BitBtn25");
        auto* grid = InExplanation<LogicGrid>(f, "LogicGrid");
        Click(InExplanation<QPushButton>(f, "HintButton"));
        const Step& first = report.trace.steps.front();
        QVERIFY(!first.facts.empty());
        for (const Fact& fact : first.facts) {
            QVERIFY(grid->highlighted(fact.a.category, fact.a.choice, fact.b.category, fact.b.choice));
            QVERIFY(grid->highlighted(fact.b.category, fact.b.choice, fact.a.category, fact.a.choice));
        }
        int framed = 0;
        for (int c1 = 1; c1 <= 6; ++c1)
            for (int c2 = 1; c2 <= 6; ++c2)
                for (int a = 1; a <= 5; ++a)
                    for (int b = 1; b <= 5; ++b) framed += c1 < c2 && grid->highlighted(c1, a, c2, b);
        QCOMPARE(framed, static_cast<int>(first.facts.size()));
        Click(InExplanation<QPushButton>(f, "HintButton")); // the next step's cells instead
        for (const Fact& fact : report.trace.steps[1].facts)
            QVERIFY(grid->highlighted(fact.a.category, fact.a.choice, fact.b.category, fact.b.choice));
        InExplanation<QListWidget>(f, "StepList")->clearSelection(); // no step chosen: nothing framed
        QVERIFY(!grid->highlighted(first.facts[0].a.category, first.facts[0].a.choice, first.facts[0].b.category,
                                   first.facts[0].b.choice));
    }

    void aTypingSlipIsExplainedAndTheButtonStandsOut() {
        Fixture f;
        auto* why = f.widget<QPushButton>("BitBtn25");
        QCOMPARE(why->text(), QStringLiteral("Pourquoi ?"));
        QCOMPARE(why->toolTip(), QStringLiteral("Expliquer le résultat"));
        QVERIFY(!why->font().bold());
        TestPuzzle puzzle = Zebra();
        f.typeGrid(puzzle);
        QVERIFY(f.enterCondition(1, {"", "", "Contigu de", "Couleur", "Rouge"}));
        TypeText(f.box(1)->lineEdit(), "Planète");
        TypeText(f.box(2)->lineEdit(), "Mars");
        f.click("BitBtn19");
        QCOMPARE(f.platform.shown.size(), std::size_t{1});
        QVERIFY(why->font().bold());
        f.click("BitBtn25");
        QVERIFY(!why->font().bold());
        QCOMPARE(InExplanation<QLabel>(f, "VerdictLabel")->text(), QStringLiteral("Erreur 202"));
        QVERIFY(InExplanation<QLabel>(f, "ExplanationText")->text().startsWith(QStringLiteral("« Erreur 202 » à la ligne 1 :")));
        QCOMPARE(InExplanation<QListWidget>(f, "StepList")->count(), 0);
        QCOMPARE(InExplanation<QLabel>(f, "GradeLabel")->text(), QString());
        QVERIFY(!InExplanation<QPushButton>(f, "HintButton")->isEnabled());

        // No solution: the button stands out until used; one solution: it does not.
        f.load(ExamplePath("relay.e65"));
        f.click("BitBtn19");
        QVERIFY(why->font().bold());
        f.load(ExamplePath("zebra.e65"));
        f.click("BitBtn19");
        QVERIFY(!why->font().bold());
    }

    void whyDuringASearchExplainsOnceItEnds() {
        Fixture f;
        f.load(ExamplePath("zebra.e65"));
        QString said;
        f.platform.onPump = [&](int pump) {
            if (pump != 2) return;
            f.click("BitBtn25");
            said = f.widget<QLabel>("Label24")->text();
        };
        f.click("BitBtn19");
        QVERIFY(f.platform.pumps >= 2);
        QCOMPARE(said, QStringLiteral("« Pourquoi ? » : l'explication s'ouvrira à la fin de la recherche."));
        QVERIFY(!ExplainForm(f)); // not in the middle of the search
        f.platform.onPump = {};
        QTRY_VERIFY(ExplainForm(f) && ExplainForm(f)->isVisible());
        QCOMPARE(InExplanation<QLabel>(f, "VerdictLabel")->text(), QStringLiteral("Solution unique"));
        // A refresh asked for during a search is ignored too.
        auto* verdict = InExplanation<QLabel>(f, "VerdictLabel");
        f.load(ExamplePath("relay.e65"));
        const int before = f.platform.pumps;
        bool refreshed = false;
        f.platform.onPump = [&](int pump) {
            if (pump != before + 2) return;
            Click(InExplanation<QPushButton>(f, "RefreshButton"));
            refreshed = true;
        };
        f.click("BitBtn19");
        QVERIFY(refreshed);
        QVERIFY(f.platform.pumps - before >= 2);
        QCOMPARE(verdict->text(), QStringLiteral("Solution unique"));
        QVERIFY(InExplanation<QLabel>(f, "StaleLabel")->isVisible());
    }

    void withoutStepsItSaysWhy() {
        Fixture f;
        f.typeGrid(Zebra());
        f.click("BitBtn25"); // no row at all
        QCOMPARE(InExplanation<QLabel>(f, "StepCount")->text(), QStringLiteral("Aucune étape : aucune ligne n'énonce de condition."));
        QVERIFY(f.enterCondition(1, {"Nation", "Anglais", "Ne correspond pas à", "Couleur", "Rouge"}));
        Click(InExplanation<QPushButton>(f, "RefreshButton"));
        QCOMPARE(InExplanation<QLabel>(f, "StepCount")->text(), QStringLiteral("Étapes montrées : 0 sur 1"));
        QVERIFY(f.enterCondition(1, {"", "", "", "", ""}));
        f.box(3)->lineEdit()->selectAll();
        TypeText(f.box(3)->lineEdit(), "Loin de"); // the row states nothing; the explanation names it
        Click(InExplanation<QPushButton>(f, "RefreshButton"));
        QCOMPARE(InExplanation<QLabel>(f, "StepCount")->text(), QStringLiteral("Aucune étape : aucune ligne n'énonce de condition."));
        QVERIFY(InExplanation<QLabel>(f, "ExplanationText")->text().contains(
            QStringLiteral("Ligne 1 : « Loin de » n'est aucune des dix relations, la ligne est laissée de côté.")));
    }
};

QTEST_MAIN(TestExplainWindow)
#include "test_explain_window.moc"
