// korvane-solve run as users and scripts run it: its output on the example puzzles, its options, its
// exit codes and its messages for damaged files, stopped solves and bad usage.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "files/puzzle_file.h"
#include "solve_process.h"

namespace {

// The first `count` lines of `text`, each with its "\n".
QByteArray FirstLines(const QByteArray& text, int count) {
    qsizetype end = 0;
    for (int i = 0; i < count; ++i)
        end = text.indexOf('\n', end) + 1;
    return text.left(end);
}

} // namespace

class TestKorvaneSolve : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void printsWhatTheWindowLists_data();
    void printsWhatTheWindowLists();
    void refusesWhatItCannotSolve_data();
    void refusesWhatItCannotSolve();
    void jsonHoldsTheSolutionsAsNames();
    void jsonReportsAStoppedSolve();
    void repeatTimesTheSolveAndPrintsOnce();
    void solvesSeveralFilesInOneCall_data();
    void solvesSeveralFilesInOneCall();
    void jsonGivesOneObjectPerFileOnOneLine();

private:
    // `arguments` with "{damaged}" and "{malformed}" replaced by the files made in initTestCase.
    QStringList withFiles(QStringList arguments) const {
        arguments.replaceInStrings(QStringLiteral("{damaged}"), damaged_);
        arguments.replaceInStrings(QStringLiteral("{malformed}"), malformed_);
        return arguments;
    }

    QTemporaryDir dir_;
    QString damaged_;
    QString malformed_;
};

void TestKorvaneSolve::initTestCase() {
    QVERIFY(dir_.isValid());
    damaged_ = dir_.filePath(QStringLiteral("damaged.e65"));
    QFile damaged(damaged_);
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(ReadAll(Example("zebra.e65")).left(600));
    damaged.close();

    // Row 3 names a category 9: a relation with a category outside 1..6 stops the solve.
    malformed_ = dir_.filePath(QStringLiteral("malformed.e65"));
    QVERIFY(SaveMalformedZebra(malformed_));
}

void TestKorvaneSolve::printsWhatTheWindowLists_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("output");
    const QByteArray seating = Golden("seating.txt");
    const QByteArray two = "Nombre de solutions trouvées : 2\n";

    QTest::newRow("the zebra puzzle: six lines and the congratulations")
        << QStringList{Example("zebra.e65")} << Golden("zebra.txt");
    QTest::newRow("the houses in the last row: the order category is 6")
        << QStringList{Example("zebra-house-last.e65")} << Golden("zebra-house-last.txt");
    QTest::newRow("two solutions with the dash line between them") << QStringList{Example("seating.e65")} << seating;
    QTest::newRow("no solution: only the count 0")
        << QStringList{Example("relay.e65")} << QByteArray("Nombre de solutions trouvées : 0\n");
    QTest::newRow("--limit 1 lists one solution and counts both")
        << QStringList{QStringLiteral("--limit"), QStringLiteral("1"), Example("seating.e65")}
        << FirstLines(seating, 6) + two;
    QTest::newRow("--limit=0 lists nothing") << QStringList{QStringLiteral("--limit=0"), Example("seating.e65")} << two;
    QTest::newRow("--count prints the verdict alone")
        << QStringList{QStringLiteral("--count"), Example("seating.e65")} << two;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << QByteArray("korvane-solve 1.0\n");
}

void TestKorvaneSolve::printsWhatTheWindowLists() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, output);
    const Run run = Solve(arguments);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, output);
    QCOMPARE(run.exitCode, 0);
}

void TestKorvaneSolve::refusesWhatItCannotSolve_data() {
    QTest::addColumn<QStringList>("arguments"); // "{damaged}" and "{malformed}" stand for the files made above
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // a pattern for stderr

    QTest::newRow("a rule with category 9 stops the solve with its error")
        << QStringList{QStringLiteral("{malformed}")} << 3
        << QStringLiteral("^korvane-solve: condition 3 : Erreur 201\n$");
    QTest::newRow("a damaged file is named and described")
        << QStringList{QStringLiteral("{damaged}")} << 2 << QStringLiteral("damaged.e65\nFichier incomplet : ");
    QTest::newRow("a missing file") << QStringList{QStringLiteral("missing.e65")} << 2
                                    << QStringLiteral("Impossible de lire le fichier à importer\nmissing.e65");
    QTest::newRow("a folder is refused with the load command's message")
        << QStringList{QStringLiteral(KORVANE_EXAMPLES_DIR)} << 2
        << QStringLiteral("Impossible de lire le fichier à importer\n.*examples : ");
    QTest::newRow("no file at all") << QStringList{} << 2 << QStringLiteral("il manque le fichier");
    QTest::newRow("an unknown option") << QStringList{QStringLiteral("--fast"), Example("zebra.e65")} << 2
                                       << QStringLiteral("option inconnue : --fast\nEssayez");
    QTest::newRow("a limit that is no number")
        << QStringList{QStringLiteral("--limit"), QStringLiteral("-1"), Example("zebra.e65")} << 2
        << QStringLiteral("--limit attend un nombre");
    QTest::newRow("a repeat of zero") << QStringList{QStringLiteral("--repeat=0"), Example("zebra.e65")} << 2
                                      << QStringLiteral("--repeat attend un nombre");
}

void TestKorvaneSolve::refusesWhatItCannotSolve() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run run = Solve(withFiles(arguments));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(run.err).contains(QRegularExpression(message)), run.err.constData());
    QVERIFY2(!run.out.contains("trouvée"), "a verdict was printed");
}

void TestKorvaneSolve::jsonHoldsTheSolutionsAsNames() {
    const Run run =
        Solve({QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("1"), Example("seating.e65")});
    QCOMPARE(run.exitCode, 0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);

    QCOMPARE(json[QStringLiteral("count")].toInt(), 2);
    QCOMPARE(json[QStringLiteral("listed")].toInt(), 1);
    QCOMPARE(json[QStringLiteral("verdict")].toString(), QStringLiteral("Nombre de solutions trouvées : 2"));
    QVERIFY(json[QStringLiteral("error")].isNull());
    const QJsonArray solutions = json[QStringLiteral("solutions")].toArray();
    QCOMPARE(solutions.size(), 1);
    // The same names, in the same columns, as the text listing.
    const QList<QByteArray> lines = FirstLines(Golden("seating.txt"), 6).trimmed().split('\n');
    const QJsonArray solution = solutions[0].toArray();
    QCOMPARE(solution.size(), 6);
    for (int c = 0; c < 6; ++c) {
        QStringList names;
        for (const QJsonValue& name : solution[c].toArray())
            names << name.toString();
        QStringList columns;
        for (const QByteArray& column : lines[c].split('\t'))
            columns << QString::fromUtf8(column).trimmed();
        QCOMPARE(names, columns);
    }
}

void TestKorvaneSolve::jsonReportsAStoppedSolve() {
    const Run run = Solve({QStringLiteral("--json"), malformed_});
    QCOMPARE(run.exitCode, 3);
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    QVERIFY(json[QStringLiteral("verdict")].isNull());
    const QJsonObject error = json[QStringLiteral("error")].toObject();
    QCOMPARE(error[QStringLiteral("rule")].toInt(), 3);
    QCOMPARE(error[QStringLiteral("message")].toString(), QStringLiteral("Erreur 201"));
    QCOMPARE(error[QStringLiteral("relation")].toString(), QStringLiteral("Correspond à"));
}

void TestKorvaneSolve::repeatTimesTheSolveAndPrintsOnce() {
    const Run run = Solve({QStringLiteral("--repeat"), QStringLiteral("3"), Example("zebra.e65")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, Golden("zebra.txt"));
    const QRegularExpression timing(
        QStringLiteral(R"(^solve time: median \d+\.\d (us|ms), min \d+\.\d (us|ms), 3 runs\n$)"));
    QVERIFY2(timing.match(QString::fromUtf8(run.err)).hasMatch(), run.err.constData());
}

void TestKorvaneSolve::solvesSeveralFilesInOneCall_data() {
    QTest::addColumn<QStringList>("arguments"); // "{damaged}" and "{malformed}" stand for the files made above
    QTest::addColumn<QByteArray>("output");     // "{damaged}" and "{malformed}" likewise
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // a pattern for stderr
    const QString zebra = Example("zebra.e65");
    const QString seating = Example("seating.e65");
    const QString relay = Example("relay.e65");
    const auto header = [](const QString& path) { return "==> " + path.toUtf8() + " <==\n"; };
    const auto verdict = [](const QString& path, const char* text) { return path.toUtf8() + ": " + text + "\n"; };
    const char* unique = "Solution unique trouvée : FÉLICITATIONS";
    const char* none = "Nombre de solutions trouvées : 0";

    QTest::newRow("two files: each listing after its header, a blank line between them")
        << QStringList{zebra, seating} << header(zebra) + Golden("zebra.txt") + '\n' + header(seating) + Golden("seating.txt")
        << 0 << QStringLiteral("^$");
    QTest::newRow("the same file twice is solved twice")
        << QStringList{QStringLiteral("--count"), relay, relay} << verdict(relay, none) + verdict(relay, none) << 0
        << QStringLiteral("^$");
    QTest::newRow("--count: one verdict per file, after its name")
        << QStringList{QStringLiteral("--count"), zebra, seating, relay}
        << verdict(zebra, unique) + verdict(seating, "Nombre de solutions trouvées : 2") + verdict(relay, none) << 0
        << QStringLiteral("^$");
    QTest::newRow("unreadable files are reported and the others solved")
        << QStringList{QStringLiteral("--count"), QStringLiteral("missing.e65"), zebra, QStringLiteral("{damaged}"), relay}
        << verdict(zebra, unique) + verdict(relay, none) << 2
        << QStringLiteral("^korvane-solve: Impossible de lire le fichier à importer\nmissing.e65 : .*\n"
                          "korvane-solve: .*damaged.e65\nFichier incomplet : .*\n$");
    QTest::newRow("a damaged file has no header; the header layout goes on")
        << QStringList{QStringLiteral("{damaged}"), zebra, relay}
        << header(zebra) + Golden("zebra.txt") + '\n' + header(relay) + none + '\n' << 2
        << QStringLiteral("damaged.e65\nFichier incomplet : ");
    QTest::newRow("a stopped solve names its file; the others are solved")
        << QStringList{QStringLiteral("--count"), QStringLiteral("{malformed}"), zebra} << verdict(zebra, unique) << 3
        << QStringLiteral("^korvane-solve: .*malformed.e65: condition 3 : Erreur 201\n$");
    QTest::newRow("an unreadable file is worse than a stopped solve, after it")
        << QStringList{QStringLiteral("--count"), QStringLiteral("{malformed}"), QStringLiteral("missing.e65")}
        << QByteArray() << 2 << QStringLiteral("Erreur 201\n.*missing.e65");
    QTest::newRow("an unreadable file is worse than a stopped solve, before it")
        << QStringList{QStringLiteral("--count"), QStringLiteral("missing.e65"), QStringLiteral("{malformed}")}
        << QByteArray() << 2 << QStringLiteral("missing.e65.*\n.*Erreur 201\n$");
}

void TestKorvaneSolve::solvesSeveralFilesInOneCall() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, output);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run run = Solve(withFiles(arguments));
    QCOMPARE(run.out, output);
    QCOMPARE(run.exitCode, exitCode);
    const QRegularExpression pattern(message, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(QString::fromUtf8(run.err).contains(pattern), run.err.constData());
}

void TestKorvaneSolve::jsonGivesOneObjectPerFileOnOneLine() {
    // Each line is the object a call on that file alone gives, with the file's name added.
    const QStringList files{Example("seating.e65"), damaged_, Example("relay.e65"), malformed_};
    const QStringList options{QStringLiteral("--json"), QStringLiteral("--explain")};
    const Run run = Solve(options + files);
    QCOMPARE(run.exitCode, 2);
    const QList<QByteArray> lines = run.out.split('\n');
    QCOMPARE(lines.size(), 4); // three objects, and nothing after the last line end
    QCOMPARE(lines.last(), QByteArray());

    int line = 0;
    for (const QString& file : files) {
        if (file == damaged_) continue;
        QJsonParseError error;
        QJsonObject json = QJsonDocument::fromJson(lines[line++], &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json.take(QStringLiteral("file")).toString(), file);
        QCOMPARE(json, QJsonDocument::fromJson(Solve(options + QStringList{file}).out).object());
    }
}

QTEST_GUILESS_MAIN(TestKorvaneSolve)
#include "test_korvane_solve.moc"
