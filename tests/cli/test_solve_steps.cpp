// korvane-solve --steps: the deduction trace after the verdict, as text and as the JSON members "steps"
// and "grade"; the open cells as --explain names them; a stopped solve. Which steps come in which order
// is the deduction's own business: the tests check what any trace must be (numbered steps citing rows
// of the puzzle and earlier steps, a contradiction only at the end), not one trace.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "solve_process.h"

namespace {

QList<QByteArray> Lines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
}

// The row and step numbers a step cites, from its "(ligne 6, étapes 4 et 7)".
struct Cited {
    QList<int> rows, steps;
};
Cited CitedBy(const QByteArray& line) {
    Cited cited;
    const QString text = QString::fromUtf8(line);
    const QString sources = text.mid(text.indexOf(QLatin1Char('(')) + 1, text.indexOf(QStringLiteral(") :")) - text.indexOf(QLatin1Char('(')) - 1);
    for (const QString& part : sources.split(QStringLiteral(", "))) {
        QList<int>& into = part.startsWith(QStringLiteral("ligne")) ? cited.rows : cited.steps;
        auto numbers = QRegularExpression(QStringLiteral("\\d+")).globalMatch(part);
        while (numbers.hasNext()) into << numbers.next().captured().toInt();
    }
    return cited;
}

} // namespace

class TestSolveSteps : public QObject {
    Q_OBJECT

private slots:
    void relayEndsInAContradiction();
    void zebraEndsWithTheWholeGrid();
    void seatingLeavesOpenTheCellsExplainNames();
    void stoppedSolveNamesTheRowAndBox();
    void jsonCarriesTheSteps();
    void takesNoValue();
};

// The relay puzzle's eight rows contradict each other: the steps, each citing rows 1..8 and earlier
// steps, end in the contradiction and in no other.
void TestSolveSteps::relayEndsInAContradiction() {
    const Run plain = Solve({QStringLiteral("--count"), Example("relay.e65")});
    const Run run = Solve({QStringLiteral("--count"), QStringLiteral("--steps"), Example("relay.e65")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(plain.out, QByteArray("Nombre de solutions trouvées : 0\n"));
    QVERIFY(run.out.startsWith(plain.out));
    const QList<QByteArray> steps = Lines(run.out.mid(plain.out.size()));
    QVERIFY(steps.size() >= 4);
    QCOMPARE(steps[steps.size() - 2], QByteArray("Aucune solution : la dernière étape aboutit à une contradiction."));
    QVERIFY2(steps.back().startsWith("Difficulté : "), steps.back().constData());
    const qsizetype count = steps.size() - 2;
    bool rowCited = false;
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray& step = steps[i];
        QVERIFY2(step.startsWith("Étape " + QByteArray::number(i + 1) + " ("), step.constData());
        const Cited cited = CitedBy(step);
        QVERIFY2(!cited.rows.isEmpty() || !cited.steps.isEmpty(), step.constData());
        for (int row : cited.rows) QVERIFY2(row >= 1 && row <= 8, step.constData());
        for (int earlier : cited.steps) QVERIFY2(earlier >= 1 && earlier <= i, step.constData());
        rowCited = rowCited || !cited.rows.isEmpty();
        QCOMPARE(step.contains("contradiction"), i + 1 == count);
    }
    QVERIFY(rowCited);
}

void TestSolveSteps::zebraEndsWithTheWholeGrid() {
    const Run plain = Solve({Example("zebra.e65")});
    const Run run = Solve({QStringLiteral("--steps"), Example("zebra.e65")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith(plain.out)); // the listing and the verdict first, unchanged
    const QList<QByteArray> steps = Lines(run.out.mid(plain.out.size()));
    QCOMPARE(steps.front(), QByteArray("Étape 1 (ligne 1) : Nation Anglais est Couleur Rouge."));
    QCOMPARE(steps[steps.size() - 2], QByteArray("La grille est complète : c'est la solution."));
    QCOMPARE(steps.back(), QByteArray("Difficulté : Moyen"));
    for (qsizetype i = 0; i + 2 < steps.size(); ++i)
        QVERIFY2(steps[i].startsWith("Étape " + QByteArray::number(i + 1) + " ("), steps[i].constData());
}

void TestSolveSteps::seatingLeavesOpenTheCellsExplainNames() {
    const QList<QByteArray> explained = Lines(Solve({QStringLiteral("--count"), QStringLiteral("--explain"), Example("seating.e65")}).out);
    const QList<QByteArray> steps = Lines(Solve({QStringLiteral("--count"), QStringLiteral("--steps"), Example("seating.e65")}).out);
    // The explanation: the verdict, its heading, then one line per pair of categories.
    const QList<QByteArray> open = explained.mid(2);
    QCOMPARE(steps.mid(steps.size() - 1 - open.size(), open.size()), open);
    QCOMPARE(steps[steps.size() - 2 - open.size()],
             QByteArray("La logique s'arrête ici : plusieurs solutions, ces choix restent ouverts."));
    // Two what-ifs at least: the top of the scale.
    QCOMPARE(steps.back(), QByteArray("Difficulté : Très difficile"));
}

void TestSolveSteps::stoppedSolveNamesTheRowAndBox() {
    QTemporaryDir dir;
    const QString malformed = dir.filePath(QStringLiteral("malformed.e65"));
    QVERIFY(SaveMalformedZebra(malformed));
    const Run steps = Solve({QStringLiteral("--steps"), malformed});
    const Run explained = Solve({QStringLiteral("--explain"), malformed});
    QCOMPARE(steps.exitCode, 3);
    QCOMPARE(steps.out, explained.out); // no steps: the row and the box at fault
    QVERIFY(!steps.out.contains("Étape"));

    const QJsonObject json = Json(Solve({QStringLiteral("--json"), QStringLiteral("--steps"), malformed}));
    QCOMPARE(json[QStringLiteral("steps")].toArray().size(), 0);
    QVERIFY(json[QStringLiteral("grade")].isNull());
    QCOMPARE(json[QStringLiteral("malformedRow")].toObject()[QStringLiteral("boxes")].toArray(), (QJsonArray{14}));
}

void TestSolveSteps::jsonCarriesTheSteps() {
    const QJsonObject relay = Json(Solve({QStringLiteral("--json"), QStringLiteral("--steps"), Example("relay.e65")}));
    QCOMPARE(relay[QStringLiteral("count")].toInt(), 0);
    QCOMPARE(relay[QStringLiteral("grade")].toString(), QStringLiteral("Moyen"));
    QCOMPARE(relay[QStringLiteral("outcome")].toString(), QStringLiteral("contradiction"));
    const QJsonArray steps = relay[QStringLiteral("steps")].toArray();
    const QList<QByteArray> text = Lines(Solve({QStringLiteral("--count"), QStringLiteral("--steps"), Example("relay.e65")}).out);
    QCOMPARE(steps.size(), text.size() - 3); // the verdict, the end and the grade besides the steps
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QJsonObject step = steps[i].toObject();
        QCOMPARE(step[QStringLiteral("step")].toInt(), i + 1);
        QCOMPARE(step[QStringLiteral("text")].toString().toUtf8(), text[i + 1]);
        QList<int> uses;
        for (const QJsonValue use : step[QStringLiteral("uses")].toArray()) uses << use.toInt();
        QCOMPARE(uses, CitedBy(text[i + 1]).steps); // the earlier steps the text cites
        QList<int> rows;
        for (const QJsonValue row : step[QStringLiteral("rows")].toArray()) rows << row.toInt();
        QCOMPARE(rows, CitedBy(text[i + 1]).rows);
        const bool last = i + 1 == steps.size();
        QCOMPARE(step[QStringLiteral("contradiction")].toBool(), last);
        QCOMPARE(step.contains(QStringLiteral("facts")), !last);
    }
    // Row 1, "Ville Lyon corresponds to Équipe Loups", read on its own, wherever the step stands.
    bool rowOneRead = false;
    for (const QJsonValue value : steps) {
        const QJsonObject step = value.toObject();
        if (step[QStringLiteral("technique")].toString() != QStringLiteral("direct") ||
            step[QStringLiteral("rows")].toArray() != QJsonArray{1})
            continue;
        rowOneRead = true;
        // The pair it makes, and the pairs that this rules out.
        QList<QJsonObject> same;
        for (const QJsonValue fact : step[QStringLiteral("facts")].toArray())
            if (fact.toObject()[QStringLiteral("same")].toBool()) same << fact.toObject();
        QCOMPARE(same.size(), 1);
        QCOMPARE(same[0][QStringLiteral("a")].toArray(), (QJsonArray{2, 1}));
        QCOMPARE(same[0][QStringLiteral("b")].toArray(), (QJsonArray{1, 2}));
    }
    QVERIFY(rowOneRead);
}

void TestSolveSteps::takesNoValue() {
    const Run run = Solve({QStringLiteral("--steps=yes"), Example("zebra.e65")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("l'option --steps ne prend pas de valeur"), run.err.constData());
}

QTEST_GUILESS_MAIN(TestSolveSteps)
#include "test_solve_steps.moc"
