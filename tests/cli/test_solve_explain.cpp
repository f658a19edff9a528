// korvane-solve --explain: the explanation after the usual listing and verdict, whatever --limit and
// --count chose to list, its lines for a stopped solve, and its JSON member; and --suggest, what would
// complete the puzzle, each suggestion solved again from the row it gives.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "maker/suggest.h"
#include "solve_process.h"

namespace {

const QByteArray kRelayConflict =
    "Aucune solution : ces 4 lignes ne peuvent être satisfaites ensemble, mais sans l'une quelconque d'entre elles "
    "les autres le peuvent.\n"
    "Ligne 4 : Temps 48 s — Correspond à — Relais 3e\n"
    "Ligne 6 : Temps 51 s — A droite de (catégorie d'ordre : 5) — Temps 50 s\n"
    "Ligne 7 : Temps 50 s — A droite de (catégorie d'ordre : 5) — Temps 49 s\n"
    "Ligne 8 : Temps 49 s — A droite de (catégorie d'ordre : 5) — Temps 48 s\n"
    "Aucun conflit ne compte moins de lignes.\n"
    "C'est le seul conflit entre les conditions.\n";

} // namespace

class TestSolveExplain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void explainsAfterTheVerdict_data();
    void explainsAfterTheVerdict();
    void namesTheRowAndBoxThatStopTheSolve();
    void jsonCarriesTheExplanation();
    void namesTheRowsThatConstrainNothing();
    void takesNoValue();
    void suggestsWhatCompletesThePuzzle();

private:
    QTemporaryDir dir_;
    QString malformed_;
};

void TestSolveExplain::initTestCase() {
    malformed_ = dir_.filePath(QStringLiteral("malformed.e65"));
    QVERIFY(SaveMalformedZebra(malformed_));
}

void TestSolveExplain::explainsAfterTheVerdict_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("listing"); // what the solve prints without --explain
    QTest::addColumn<QByteArray>("explanation");
    const QByteArray seating = Golden("seating.txt");
    const QByteArray open = "Plusieurs solutions : ces choix ont plus d'un partenaire possible d'une solution à l'autre, "
                            "une condition manque pour les fixer.\n"
                            "Chaise / Métier : C (Notaire ou Peintre), D (Notaire ou Peintre)\n"
                            "Invité / Métier : Chloé (Notaire ou Peintre), Denis (Notaire ou Peintre)\n"
                            "Plat / Métier : Soupe (Notaire ou Peintre), Poisson (Notaire ou Peintre)\n"
                            "Vin / Métier : Bordeaux (Notaire ou Peintre), Sancerre (Notaire ou Peintre)\n"
                            "Dessert / Métier : Tarte (Notaire ou Peintre), Sorbet (Notaire ou Peintre)\n";

    QTest::newRow("no solution: the conflicting rows as typed")
        << QStringList{Example("relay.e65")} << QByteArray("Nombre de solutions trouvées : 0\n") << kRelayConflict;
    QTest::newRow("two solutions: the items they disagree on") << QStringList{Example("seating.e65")} << seating << open;
    QTest::newRow("--limit 1 lists one solution, the explanation covers both")
        << QStringList{QStringLiteral("--limit=1"), Example("seating.e65")}
        << seating.left(seating.indexOf("---")) + "Nombre de solutions trouvées : 2\n" << open;
    QTest::newRow("--count: the verdict, then the explanation")
        << QStringList{QStringLiteral("--count"), Example("zebra.e65")}
        << QByteArray("Solution unique trouvée : FÉLICITATIONS\n")
        << QByteArray("Solution unique : chaque condition est nécessaire, sans l'une quelconque d'entre elles il y "
                      "aurait plusieurs solutions.\n");
}

void TestSolveExplain::explainsAfterTheVerdict() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, listing);
    QFETCH(QByteArray, explanation);
    const Run plain = Solve(arguments);
    QCOMPARE(plain.out, listing);
    const Run run = Solve(arguments << QStringLiteral("--explain"));
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, listing + explanation);
}

void TestSolveExplain::namesTheRowAndBoxThatStopTheSolve() {
    const Run run = Solve({QStringLiteral("--explain"), malformed_});
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.err, QByteArray("korvane-solve: condition 3 : Erreur 201\n"));
    QCOMPARE(run.out, QByteArray("« Erreur 201 » à la ligne 3 : la case de catégorie de droite (« Coleur ») "
                                 "ne désigne aucune des six catégories.\n"
                                 "Ligne 3 : Boisson Café — Correspond à — Coleur Verte\n"));
}

void TestSolveExplain::namesTheRowsThatConstrainNothing() {
    // Zebra with row 10's order box emptied and a row 15 left half typed: the search reads the first as
    // true of every matching and leaves the second out, and both are named whatever the verdict.
    auto zebra = korvane::LoadPuzzleFile(Example("zebra.e65"));
    auto& puzzle = std::get<korvane::Puzzle>(zebra);
    puzzle.boxTexts[106 - 1].clear();
    puzzle.boxTexts[71 - 1] = "Nation";
    puzzle.boxTexts[73 - 1] = "Correspond à";
    const QString path = dir_.filePath(QStringLiteral("idle.e65"));
    QVERIFY(!korvane::SavePuzzleFile(path, puzzle));
    const QByteArray idle =
        "Ligne 10 : sans catégorie d'ordre (case « N° de la catégorie à utiliser »), « Contigu de » vaut pour toute "
        "solution : elle ne contraint rien.\n"
        "Ligne 15 : incomplète (la case de choix de gauche est vide), laissée de côté.\n";
    const Run run = Solve({QStringLiteral("--count"), QStringLiteral("--explain"), path});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("Nombre de solutions trouvées : 2\n"), run.out.constData());
    QVERIFY2(run.out.endsWith(idle), run.out.constData());
    // Without the emptied box, the one solution; the half row is still named.
    puzzle.boxTexts[106 - 1] = "1";
    QVERIFY(!korvane::SavePuzzleFile(path, puzzle));
    const QJsonObject json = Json(Solve({QStringLiteral("--json"), QStringLiteral("--explain"), path}));
    QCOMPARE(json[QStringLiteral("count")].toInt(), 1);
    const QJsonArray rows = json[QStringLiteral("idleRows")].toArray();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].toObject()[QStringLiteral("row")].toInt(), 15);
    QCOMPARE(rows[0].toObject()[QStringLiteral("kind")].toString(), QStringLiteral("left-out"));
    QVERIFY(!Json(Solve({QStringLiteral("--json"), QStringLiteral("--explain"), Example("zebra.e65")})).contains(QStringLiteral("idleRows")));
}

void TestSolveExplain::jsonCarriesTheExplanation() {
    const QJsonObject relay = Json(Solve({QStringLiteral("--json"), QStringLiteral("--explain"), Example("relay.e65")}));
    QCOMPARE(relay[QStringLiteral("count")].toInt(), 0);
    const QJsonObject conflict = relay[QStringLiteral("explanation")].toObject();
    QCOMPARE(conflict[QStringLiteral("kind")].toString(), QStringLiteral("conflict"));
    QCOMPARE(conflict[QStringLiteral("otherConflicts")].toString(), QStringLiteral("none"));
    QStringList rows;
    for (const QJsonValue& row : conflict[QStringLiteral("rows")].toArray())
        rows << QStringLiteral("Ligne %1 : %2").arg(row[QStringLiteral("row")].toInt()).arg(row[QStringLiteral("text")].toString());
    QCOMPARE(rows, QString::fromUtf8(kRelayConflict).split('\n').mid(1, 4));

    const QJsonObject seating =
        Json(Solve({QStringLiteral("--json"), QStringLiteral("--limit=0"), QStringLiteral("--explain"), Example("seating.e65")}));
    QCOMPARE(seating[QStringLiteral("listed")].toInt(), 0);
    const QJsonObject open = seating[QStringLiteral("explanation")].toObject();
    QCOMPARE(open[QStringLiteral("kind")].toString(), QStringLiteral("open-cells"));
    const QJsonArray pairs = open[QStringLiteral("openCells")].toArray();
    QCOMPARE(pairs.size(), 5); // each category with Métier
    for (const QJsonValue& pair : pairs) {
        QCOMPARE(pair[QStringLiteral("categoryB")].toInt(), 6);
        for (const QJsonValue& item : pair[QStringLiteral("items")].toArray())
            QCOMPARE(item[QStringLiteral("partners")].toArray(), (QJsonArray{4, 5}));
    }

    const Run stopped = Solve({QStringLiteral("--json"), QStringLiteral("--explain"), malformed_});
    QCOMPARE(stopped.exitCode, 3);
    const QJsonObject error = Json(stopped)[QStringLiteral("explanation")].toObject();
    QCOMPARE(error[QStringLiteral("kind")].toString(), QStringLiteral("rule-error"));
    const QJsonObject row = error[QStringLiteral("malformedRow")].toObject();
    QCOMPARE(row[QStringLiteral("row")].toInt(), 3);
    QCOMPARE(row[QStringLiteral("boxes")].toArray(), (QJsonArray{14}));
    QCOMPARE(row[QStringLiteral("error")].toString(), QStringLiteral("Erreur 201"));
}

void TestSolveExplain::takesNoValue() {
    const Run run = Solve({QStringLiteral("--explain=yes"), Example("zebra.e65")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("l'option --explain ne prend pas de valeur"), run.err.constData());
}

void TestSolveExplain::suggestsWhatCompletesThePuzzle() {
    // Seating: every row counts, so a suggestion replaces row 2; each leaves the one solution it claims.
    const Run text = Solve({QStringLiteral("--suggest"), Example("seating.e65")});
    QCOMPARE(text.exitCode, 0);
    const QList<QByteArray> lines = text.out.split('\n');
    QCOMPARE(lines.size(), 2 + 10 + 1);
    QCOMPARE(lines[0], QByteArray("Nombre de solutions trouvées : 2"));
    QCOMPARE(lines[1], QByteArray("Conditions qui, mises en ligne 2 à la place de « Invité Bruno — Voisin droit de (crans : 1, "
                                  "catégorie d'ordre : 1) — Invité Alice », laissent une seule solution :"));
    QVERIFY2(lines[2].startsWith("  ") && lines[2].endsWith(" : 1 solution (Moyen)"), lines[2].constData());

    const QJsonObject json = Json(Solve({QStringLiteral("--suggest"), QStringLiteral("--json"), Example("seating.e65")}));
    QCOMPARE(json[QStringLiteral("emptyRow")].toInt(), 2);
    QCOMPARE(json[QStringLiteral("replaces")].toString(), QStringLiteral("needed"));
    auto loaded = korvane::LoadPuzzleFile(Example("seating.e65"));
    const auto& seating = std::get<korvane::Puzzle>(loaded);
    const QJsonArray suggestions = json[QStringLiteral("suggestions")].toArray();
    QCOMPARE(suggestions.size(), 10);
    for (const QJsonValue& suggestion : suggestions) {
        const QJsonArray v = suggestion[QStringLiteral("row")].toArray();
        QCOMPARE(v.size(), 7);
        const korvane::Rule row{v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt(), v[4].toInt(), v[5].toInt(), v[6].toInt()};
        const QString path = dir_.filePath(QStringLiteral("completed.e65"));
        QVERIFY(!korvane::SavePuzzleFile(path, korvane::maker::WithRow(seating, 2, row)));
        const Run solved = Solve({QStringLiteral("--json"), QStringLiteral("--count"), path});
        QCOMPARE(Json(solved)[QStringLiteral("count")].toInt(), suggestion[QStringLiteral("count")].toInt());
        QVERIFY(!suggestion[QStringLiteral("grade")].toString().isEmpty());
    }

    // Zebra: one solution, every row kept; relay: the conflict; a malformed row stops it as a solve does.
    const Run zebra = Solve({QStringLiteral("--suggest"), Example("zebra.e65")});
    QVERIFY2(zebra.out.endsWith("Le moins de lignes qui gardent la solution unique : les lignes 1, 2, 3, 4, 5, 6, 7, 8, "
                                "9, 10, 11, 12, 13 et 14 (14 lignes).\n"), zebra.out.constData());
    const QJsonObject unique = Json(Solve({QStringLiteral("--suggest"), QStringLiteral("--json"), Example("zebra.e65")}));
    QCOMPARE(unique[QStringLiteral("smallest")].toArray().size(), 14);
    QCOMPARE(unique[QStringLiteral("explanation")].toObject()[QStringLiteral("kind")].toString(), QStringLiteral("nothing"));
    QCOMPARE(Solve({QStringLiteral("--suggest"), Example("relay.e65")}).out, "Nombre de solutions trouvées : 0\n" + kRelayConflict);
    const Run stopped = Solve({QStringLiteral("--suggest"), malformed_});
    QCOMPARE(stopped.exitCode, 3);
    QCOMPARE(stopped.err, QByteArray("korvane-solve: condition 3 : Erreur 201\n"));

    const Run mixed = Solve({QStringLiteral("--suggest"), QStringLiteral("--count"), Example("zebra.e65")});
    QCOMPARE(mixed.exitCode, 2);
    QVERIFY2(mixed.err.contains("--suggest ne se combine qu'avec --json"), mixed.err.constData());
}

QTEST_GUILESS_MAIN(TestSolveExplain)
#include "test_solve_explain.moc"
