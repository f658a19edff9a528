// The solve command through the window: puzzles typed in and solved, the verdicts, the rule error, the
// abort, edits and closing during a search, and the listing limit.
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "window_driver.h"

using namespace korvane;
using namespace korvane::test;

namespace {

// One line of a solution: the names padded to 15 characters, joined by tabs.
QString SolutionLine(const QStringList& names) {
    QStringList padded;
    for (const QString& name : names) padded.append(name.leftJustified(15, QLatin1Char(' ')));
    return padded.join(QLatin1Char('\t'));
}

const QString kDashes(142, QLatin1Char('-'));

// Zebra's one solution, slot by slot: category 1 stays on its first arrangement, houses 5 down to 1.
QStringList ZebraSolution() {
    return {
        SolutionLine({"5", "4", "3", "2", "1"}),
        SolutionLine({"Japonais", "Espagnol", "Anglais", "Ukrainien", "Norvégien"}),
        SolutionLine({"Vert", "Ivoire", "Rouge", "Bleu", "Jaune"}),
        SolutionLine({"Zèbre", "Chien", "Escargots", "Cheval", "Renard"}),
        SolutionLine({"Café", "Jus", "Lait", "Thé", "Eau"}),
        SolutionLine({"Parliament", "Lucky Strike", "Old Gold", "Chesterfield", "Kools"}),
    };
}

} // namespace

class TestSolve : public QObject {
    Q_OBJECT

private:
    static QString label17(const Fixture& f) { return f.widget<QLabel>("Label17")->text(); }
    static bool barsHidden(const Fixture& f) {
        return f.widget<QProgressBar>("ProgressBar1")->isHidden() && f.widget<QProgressBar>("ProgressBar2")->isHidden();
    }

private slots:
    void aCountTooLongForItsBoxShowsItsStartAndWholeInItsTooltip() {
        Fixture f(WindowOptions{std::chrono::milliseconds{0}, 10});
        f.typeGrid(Zebra());
        f.click("BitBtn19"); // no condition: every matching
        auto* count = f.widget<QLineEdit>("Edit1");
        QCOMPARE(count->text(), QStringLiteral("24883200000"));
        QCOMPARE(count->cursorPosition(), 0);
        QCOMPARE(count->toolTip(), QStringLiteral("Nombre de solutions trouvées : 24\u202F883\u202F200\u202F000"));
        QCOMPARE(f.form->minimumSize(), f.form->size()); // no smaller window to cut the widgets
    }

    void zebraTypedInIsSolvedWithItsOneSolution() {
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        f.click("BitBtn19");
        QCOMPARE(f.memoLines(), ZebraSolution());
        QCOMPARE(f.edit1(), QStringLiteral("1"));
        QCOMPARE(label17(f), QStringLiteral("Solution unique trouvée : FÉLICITATIONS"));
        QVERIFY(barsHidden(f));
        QCOMPARE(f.platform.beeps, 1);
        QVERIFY(f.platform.shown.empty());
    }

    void verdictAndListingFollowTheCount_data() {
        QTest::addColumn<int>("droppedRow");        // a Zebra row cleared before solving, 0 for none
        QTest::addColumn<Condition>("extra");       // a condition added after Zebra's, empty for none
        QTest::addColumn<int>("solutions");
        QTest::newRow("a clue no arrangement meets leaves no solution")
            << 0 << Condition{"Nation", "Norvégien", "Ne correspond pas à", "Maison", "1"} << 0;
        QTest::newRow("without the Chesterfield-next-to-fox clue there are two solutions")
            << 10 << Condition{} << 2;
    }
    void verdictAndListingFollowTheCount() {
        QFETCH(int, droppedRow);
        QFETCH(Condition, extra);
        QFETCH(int, solutions);
        Fixture f;
        TestPuzzle puzzle = Zebra();
        if (!extra.categoryA.isEmpty()) puzzle.conditions.push_back(extra);
        QVERIFY(f.enterPuzzle(puzzle));
        if (droppedRow > 0) f.click(QStringLiteral("BitBtn%1").arg(droppedRow + 2));
        f.click("BitBtn19");

        const QStringList lines = f.memoLines();
        QCOMPARE(lines.size(), solutions == 0 ? 0 : solutions * 7 - 1);
        for (int s = 1; s < solutions; ++s) QCOMPARE(lines[s * 7 - 1], kDashes);
        QCOMPARE(f.edit1(), QString::number(solutions));
        QCOMPARE(label17(f), QStringLiteral("Nombre de solutions trouvées : %1").arg(solutions));
        QVERIFY(barsHidden(f));
        QCOMPARE(f.platform.beeps, 1);
    }

    void aRuleNamingNoCategoryStopsTheSolveWithItsError() {
        Fixture f;
        TestPuzzle puzzle = Zebra();
        f.typeGrid(puzzle);
        QVERIFY(f.enterCondition(1, {"", "", "Contigu de", "Couleur", "Rouge"}));
        // Typed texts that select no entry: the row stays in the search with no category A.
        TypeText(f.box(1)->lineEdit(), "Planète");
        TypeText(f.box(2)->lineEdit(), "Mars");
        QVERIFY(f.box(1)->marked() && f.box(2)->marked());
        f.click("BitBtn19");
        // The message names the row and the box at fault below its first line.
        QCOMPARE(f.platform.texts(), QStringList{"Erreur 202\n\n"
                                                 "« Erreur 202 » à la ligne 1 : la case de catégorie de gauche (« Planète ») "
                                                 "ne désigne aucune des six catégories.\n"
                                                 "Ligne 1 : Planète Mars — Contigu de (crans : (vide), catégorie d'ordre : "
                                                 "(vide)) — Couleur Rouge"});
        QCOMPARE(f.platform.shown.front().kind, FakePlatform::Shown::Kind::Notice);
        QCOMPARE(f.platform.beeps, 0);
        QVERIFY(f.widget<QProgressBar>("ProgressBar1")->isVisible());
        QVERIFY(f.widget<QProgressBar>("ProgressBar2")->isVisible());
        QCOMPARE(label17(f), QString());
        QVERIFY(!f.session.searching);
    }

    void abandonEmptiesTheListAndEndsSilently() {
        Fixture f; // no rule at all: every arrangement is a solution
        f.platform.onPump = [&](int pump) {
            if (pump == 7) f.click("BitBtn24");
        };
        f.click("BitBtn19");
        QCOMPARE(f.memo()->toPlainText(), QString());
        QCOMPARE(f.edit1(), QStringLiteral("0"));
        QCOMPARE(label17(f), QString());
        QVERIFY(barsHidden(f));
        QCOMPARE(f.widget<QProgressBar>("ProgressBar1")->value(), 0);
        QCOMPARE(f.widget<QProgressBar>("ProgressBar2")->value(), 0);
        QCOMPARE(f.platform.beeps, 0);
        QVERIFY(f.platform.shown.empty());
        QVERIFY(!f.session.searching);
    }

    void theLastSolutionsGoInAPieceAtATimeWithPumpsBetween() {
        // Pumps far apart: the search lists its 10,000 and counts the rest (at once, with no rule) before
        // the first is due, so the whole listing is left to go in afterwards. A megabyte at a time, so
        // the window never waits on one insertion of all of it.
        WindowOptions options;
        options.pumpInterval = std::chrono::hours{1};
        Fixture f(options);
        f.typeGrid(Zebra());
        int lastCharacters = 0, largestPiece = 0, pumpsWithText = 0;
        auto notePiece = [&] {
            const int characters = f.memo()->document()->characterCount();
            largestPiece = std::max(largestPiece, characters - lastCharacters);
            lastCharacters = characters;
        };
        f.platform.onPump = [&](int) {
            notePiece();
            if (lastCharacters > 1) ++pumpsWithText;
        };
        f.click("BitBtn19");
        notePiece();
        QVERIFY2(largestPiece < 1'100'000, qPrintable(QString::number(largestPiece)));
        QVERIFY2(pumpsWithText >= 4, qPrintable(QString::number(pumpsWithText)));
        QCOMPARE(f.memoLines().size(), 10'000 * 7 - 1 + 1);
        QCOMPARE(label17(f), QStringLiteral("Nombre de solutions trouvées : 24883200000"));

        // "Abandon" pressed in one of those pumps still abandons: the list is emptied, nothing sounds.
        f.platform.onPump = [&](int) {
            if (!f.memo()->document()->isEmpty()) f.click("BitBtn24");
        };
        const int beeps = f.platform.beeps;
        f.click("BitBtn19");
        QCOMPARE(f.memo()->toPlainText(), QString());
        QCOMPARE(f.edit1(), QStringLiteral("0"));
        QCOMPARE(label17(f), QString());
        QVERIFY(barsHidden(f));
        QCOMPARE(f.platform.beeps, beeps);
    }

    void anAbandonBeforeTheSolveIsForgotten() {
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        f.click("BitBtn24");
        f.platform.onPump = [&](int pump) {
            if (pump == 1) f.click("BitBtn24"); // handled before the search starts
        };
        f.click("BitBtn19");
        QCOMPARE(f.edit1(), QStringLiteral("1"));
        QCOMPARE(f.platform.beeps, 1);
    }

    void clearingARowDuringTheSearchTakesEffectAtOnceAndAsksForANewSolve() {
        Fixture f;
        TestPuzzle puzzle = Zebra();
        puzzle.conditions.push_back({"Nation", "Norvégien", "Ne correspond pas à", "Maison", "1"});
        QVERIFY(f.enterPuzzle(puzzle));
        f.platform.onPump = [&](int pump) {
            if (pump == 2) f.click("BitBtn17"); // row 15, the contradiction
        };
        f.click("BitBtn19");
        QCOMPARE(f.session.rules[15], Rule{});
        QCOMPARE(f.memoLines(), ZebraSolution());
        // What was counted belongs to neither set of rows: the window says so rather than give a verdict.
        QCOMPARE(label17(f), QStringLiteral("Lignes modifiées pendant la recherche"));
        QVERIFY(f.widget<QLabel>("Label24")->text().contains(QStringLiteral("appuyez de nouveau sur «\u00A0soluce\u00A0»")));
        f.platform.onPump = nullptr;
        f.click("BitBtn19");
        QCOMPARE(label17(f), QStringLiteral("Solution unique trouvée : FÉLICITATIONS"));
        QCOMPARE(f.widget<QLabel>("Label24")->text(), QString());
    }

    void aSecondSolveDuringASearchIsIgnored() {
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        int nested = 0;
        f.platform.onPump = [&](int pump) {
            if (pump == 2) {
                const int before = f.platform.pumps;
                f.click("BitBtn19");
                nested = f.platform.pumps - before;
            }
        };
        f.click("BitBtn19");
        QCOMPARE(nested, 0);
        QCOMPARE(f.memoLines(), ZebraSolution());
        QCOMPARE(f.platform.beeps, 1);
    }

    void closingTheWindowDuringASearchEndsIt() {
        Fixture f;
        int pumpsAfterClose = -1;
        f.platform.onPump = [&](int pump) {
            if (pump == 5) f.form->close();
            if (pump > 5) pumpsAfterClose = pump - 5;
        };
        f.click("BitBtn19");
        QVERIFY(!f.session.searching);
        QVERIFY(!f.session.solutionLines.has_value());
        QCOMPARE(pumpsAfterClose, -1);
        QCOMPARE(f.platform.beeps, 0);
        QVERIFY(f.platform.shown.empty());
        QVERIFY(!f.form->isVisible());
    }

    void aRealSearchListsTenThousandSolutionsAndCountsTheRest() {
        Fixture f(WindowOptions{}); // the program's own pump interval and listing limit
        f.typeGrid(Zebra());        // and no rule: every arrangement is a solution
        QStringList shownCounts;
        QString fault;
        qsizetype lastShown = 0;
        f.platform.onPump = [&](int) {
            // Edit1 follows the listing: never ahead of the solutions already in Memo1, never backwards.
            const QString count = f.edit1();
            const int blocks = f.memo()->document()->isEmpty() ? 0 : f.memo()->document()->blockCount();
            const qsizetype shown = count.toLongLong();
            const qsizetype listed = blocks; // a paragraph per solution
            if (listed < 10'000 && shown > listed && fault.isEmpty())
                fault = QStringLiteral("Edit1 shows %1 with %2 lines listed").arg(count).arg(blocks);
            if (shown < lastShown && fault.isEmpty())
                fault = QStringLiteral("Edit1 went back from %1 to %2").arg(lastShown).arg(shown);
            lastShown = shown;
            if (shownCounts.isEmpty() || shownCounts.last() != count) shownCounts.append(count);
        };
        f.click("BitBtn19");
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        const QStringList lines = f.memoLines();
        QCOMPARE(lines.size(), 10'000 * 7 - 1 + 1);
        for (qsizetype i = 6; i < lines.size() - 1; i += 7) QCOMPARE(lines[i], kDashes);
        QCOMPARE(lines[0], SolutionLine({"5", "4", "3", "2", "1"}));
        QCOMPARE(lines.last(),
                 QStringLiteral("24883190000 autres solutions trouvées et non listées (liste limitée aux 10000 premières)"));
        QCOMPARE(f.edit1(), QStringLiteral("24883200000"));
        QCOMPARE(label17(f), QStringLiteral("Nombre de solutions trouvées : 24883200000"));
        // How often Edit1 moved in between depends on the machine: the window pumps at most every 15 ms,
        // and a fast one lists and counts all this in less. What it showed was never wrong (above).
        QVERIFY2(!shownCounts.isEmpty(), qPrintable(shownCounts.join(' ')));
    }

    void pastTheListingLimitSolutionsAreCountedExactly() {
        WindowOptions options;
        options.pumpInterval = std::chrono::milliseconds{0};
        options.listLimit = 3;
        Fixture f(options);
        f.typeGrid(Zebra()); // and no rule: every arrangement is a solution, far past 2^31 of them
        f.click("BitBtn19");
        const QString count = QStringLiteral("24883200000");
        const QStringList lines = f.memoLines();
        QCOMPARE(lines.size(), 3 * 7 - 1 + 1);
        QVERIFY(lines.last().startsWith(QStringLiteral("24883199997 autres solutions")));
        QCOMPARE(f.edit1(), count);
        QCOMPARE(label17(f), QStringLiteral("Nombre de solutions trouvées : ") + count);
    }
};

QTEST_MAIN(TestSolve)
#include "test_solve.moc"
