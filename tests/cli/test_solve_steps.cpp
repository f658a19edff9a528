// korvane-solve --steps: the deduction trace after the verdict, as text (golden for the relay puzzle) and as
// the JSON members "steps" and "grade"; the open cells as --explain names them; a stopped solve.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "solve_process.h"

namespace {

QList<QByteArray> Lines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
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

void TestSolveSteps::relayEndsInAContradiction() {
    const Run run = Solve({QStringLiteral("--count"), QStringLiteral("--steps"), Example("relay.e65")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, Golden("relay-steps.txt"));
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
    QCOMPARE(steps.back(), QByteArray("Difficulté : Difficile"));
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
    const QList<QByteArray> text = Lines(Golden("relay-steps.txt"));
    QCOMPARE(steps.size(), text.size() - 3); // the verdict, the end and the grade besides the steps
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QJsonObject step = steps[i].toObject();
        QCOMPARE(step[QStringLiteral("step")].toInt(), i + 1);
        QCOMPARE(step[QStringLiteral("text")].toString().toUtf8(), text[i + 1]);
        for (const QJsonValue use : step[QStringLiteral("uses")].toArray()) QVERIFY(use.toInt() >= 1 && use.toInt() <= i);
        const bool last = i + 1 == steps.size();
        QCOMPARE(step[QStringLiteral("contradiction")].toBool(), last);
        QCOMPARE(step.contains(QStringLiteral("facts")), !last);
    }
    const QJsonObject first = steps[0].toObject();
    QCOMPARE(first[QStringLiteral("technique")].toString(), QStringLiteral("direct"));
    QCOMPARE(first[QStringLiteral("rows")].toArray(), (QJsonArray{1}));
    const QJsonObject fact = first[QStringLiteral("facts")].toArray()[0].toObject();
    QCOMPARE(fact[QStringLiteral("a")].toArray(), (QJsonArray{2, 1}));
    QCOMPARE(fact[QStringLiteral("b")].toArray(), (QJsonArray{1, 2}));
    QCOMPARE(fact[QStringLiteral("same")].toBool(), true);
}

void TestSolveSteps::takesNoValue() {
    const Run run = Solve({QStringLiteral("--steps=yes"), Example("zebra.e65")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("l'option --steps ne prend pas de valeur"), run.err.constData());
}

QTEST_GUILESS_MAIN(TestSolveSteps)
#include "test_solve_steps.moc"
