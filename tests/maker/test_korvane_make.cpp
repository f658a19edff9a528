// korvane-make run as users and scripts run it: the files it writes (as the window saves them, solved by
// korvane-solve, the same bytes for the same seed, numbered with --count), the grid of --names, and its
// exit codes and messages for bad usage, unusable grids and files it cannot write, after which nothing
// is left half-written.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "editor/row_reading.h"
#include "files/puzzle_file.h"

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// A program run with `arguments`; exit code -1 when it crashed or took over a minute.
Run RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit) return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

Run Make(const QStringList& arguments) { return RunProgram(QStringLiteral(KORVANE_MAKE), arguments); }
Run Solve(const QStringList& arguments) { return RunProgram(QStringLiteral(KORVANE_SOLVE), arguments); }

QString Example(const char* name) { return QStringLiteral(KORVANE_EXAMPLES_DIR "/") + QLatin1String(name); }

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray LastLine(const QByteArray& text) {
    const QList<QByteArray> lines = text.trimmed().split('\n');
    return lines.back();
}

} // namespace

class TestKorvaneMake : public QObject {
    Q_OBJECT

private slots:
    void init();
    void writesAPuzzleTheWindowSavesAlike();
    void korvaneSolveFindsOneSolutionAndTheGrade_data();
    void korvaneSolveFindsOneSolutionAndTheGrade();
    void theSameSeedGivesTheSameBytes();
    void countWritesNumberedFilesOfSuccessiveSeeds();
    void namesTakesTheGridOfAFile();
    void refusesBadInput_data();
    void refusesBadInput();
    void leavesAnExistingFileAsItWasOnFailure();
    void helpAndVersion();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path(const char* name) const { return dir_->filePath(QLatin1String(name)); }
    QStringList files() const { return QDir(dir_->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden); }
};

void TestKorvaneMake::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

// Loaded by the window's loader, the boxes read back the values written; saved again by the window's
// save, the same bytes.
void TestKorvaneMake::writesAPuzzleTheWindowSavesAlike() {
    const Run run = Make({QStringLiteral("--seed"), QStringLiteral("4"), path("out.e65")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QVERIFY2(QString::fromUtf8(run.out).contains(QRegularExpression(QStringLiteral("^.*out\\.e65 : Moyen, \\d+ conditions, graine 4\n$"))),
             run.out.constData());
    const QByteArray bytes = ReadAll(path("out.e65"));
    auto loaded = korvane::LoadPuzzleFile(path("out.e65"));
    QVERIFY(std::holds_alternative<korvane::Puzzle>(loaded));
    korvane::Puzzle puzzle = std::get<korvane::Puzzle>(loaded);
    const korvane::RowsReading reading = korvane::ReadRows(puzzle);
    QVERIFY(reading.values == puzzle.rules);
    puzzle.rules = reading.values; // what the window keeps, and saves
    QVERIFY(!korvane::SavePuzzleFile(path("saved.e65"), puzzle));
    QCOMPARE(ReadAll(path("saved.e65")), bytes);
    QCOMPARE(files(), (QStringList{QStringLiteral("out.e65"), QStringLiteral("saved.e65")}));
}

void TestKorvaneMake::korvaneSolveFindsOneSolutionAndTheGrade_data() {
    QTest::addColumn<QString>("grade");
    QTest::addColumn<QString>("seed");
    // korvane-solve grades on the same scale: every grade asked is the one it prints.
    QTest::newRow("Facile") << QStringLiteral("Facile") << QStringLiteral("10");
    QTest::newRow("Moyen") << QStringLiteral("Moyen") << QStringLiteral("11");
    QTest::newRow("Difficile") << QStringLiteral("Difficile") << QStringLiteral("12");
    QTest::newRow("Très difficile") << QStringLiteral("Très difficile") << QStringLiteral("13");
}

void TestKorvaneMake::korvaneSolveFindsOneSolutionAndTheGrade() {
    QFETCH(QString, grade);
    QFETCH(QString, seed);
    QCOMPARE(Make({QStringLiteral("--grade"), grade, QStringLiteral("--seed=") + seed, path("p.e65")}).exitCode, 0);
    const Run solved = Solve({QStringLiteral("--count"), QStringLiteral("--explain"), QStringLiteral("--steps"), path("p.e65")});
    QCOMPARE(solved.exitCode, 0);
    QVERIFY2(solved.out.startsWith("Solution unique trouvée : FÉLICITATIONS\nSolution unique : chaque condition est nécessaire"),
             solved.out.constData());
    QVERIFY2(!solved.out.contains("Ligne "), "an idle row"); // no row left out, without effect or faulty
    QCOMPARE(LastLine(solved.out), "Difficulté : " + grade.toUtf8());
}

// Every grade is checked so in process (test_maker); here, that the options written either way ask alike.
void TestKorvaneMake::theSameSeedGivesTheSameBytes() {
    QCOMPARE(Make({QStringLiteral("--grade"), QStringLiteral("Facile"), QStringLiteral("--seed"), QStringLiteral("9"), path("a.e65")}).exitCode, 0);
    QCOMPARE(Make({QStringLiteral("--seed=9"), QStringLiteral("--grade=facile"), path("b.e65")}).exitCode, 0);
    QCOMPARE(Make({QStringLiteral("--grade"), QStringLiteral("Facile"), QStringLiteral("--seed"), QStringLiteral("10"), path("c.e65")}).exitCode, 0);
    QVERIFY(!ReadAll(path("a.e65")).isEmpty());
    QCOMPARE(ReadAll(path("a.e65")), ReadAll(path("b.e65")));
    QVERIFY(ReadAll(path("a.e65")) != ReadAll(path("c.e65")));
}

void TestKorvaneMake::countWritesNumberedFilesOfSuccessiveSeeds() {
    const Run run = Make({QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--seed"), QStringLiteral("20"), path("set.e65")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(files(), (QStringList{QStringLiteral("set-001.e65"), QStringLiteral("set-002.e65"), QStringLiteral("set-003.e65")}));
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    for (int n = 1; n <= 3; ++n) {
        const QByteArray name = "set-00" + QByteArray::number(n) + ".e65";
        const QRegularExpression line(QRegularExpression::escape(path(name.constData())) +
                                      QStringLiteral(" : Moyen, \\d+ conditions, graine %1$").arg(19 + n));
        QVERIFY2(QString::fromUtf8(lines[n - 1]).contains(line), lines[n - 1].constData());
    }
    // The last is the puzzle of its seed.
    QCOMPARE(Make({QStringLiteral("--seed"), QStringLiteral("22"), path("one.e65")}).exitCode, 0);
    QCOMPARE(ReadAll(path("set-003.e65")), ReadAll(path("one.e65")));
    QVERIFY(ReadAll(path("set-002.e65")) != ReadAll(path("one.e65")));
    // A name without ".e65": the number, then ".e65".
    QCOMPARE(Make({QStringLiteral("--count=1"), path("bare")}).exitCode, 0);
    QVERIFY(QFile::exists(path("bare-001.e65")));
}

void TestKorvaneMake::namesTakesTheGridOfAFile() {
    struct Case {
        const char* file;
        QString orderBox; // the order category of its positional rows
    };
    for (const Case& c : {Case{"zebra.e65", QStringLiteral("1")}, Case{"zebra-house-last.e65", QStringLiteral("6")}}) {
        QCOMPARE(Make({QStringLiteral("--names"), Example(c.file), path("named.e65")}).exitCode, 0);
        const auto grid = korvane::LoadPuzzleFile(Example(c.file));
        const auto made = korvane::LoadPuzzleFile(path("named.e65"));
        QVERIFY(std::holds_alternative<korvane::Puzzle>(made));
        QVERIFY(std::get<korvane::Puzzle>(made).names == std::get<korvane::Puzzle>(grid).names);
        int positional = 0;
        for (int k = 1; k <= korvane::kRules; ++k) {
            const QString order = QString::fromStdString(std::get<korvane::Puzzle>(made).boxTexts[static_cast<std::size_t>(96 + k - 1)]);
            if (order.isEmpty()) continue;
            QCOMPARE(order, c.orderBox);
            ++positional;
        }
        QVERIFY(positional > 0);
        QCOMPARE(Solve({QStringLiteral("--count"), path("named.e65")}).out, QByteArray("Solution unique trouvée : FÉLICITATIONS\n"));
    }
}

void TestKorvaneMake::refusesBadInput_data() {
    QTest::addColumn<QStringList>("arguments"); // "{dir}" stands for the test's folder
    QTest::addColumn<QString>("message");       // a pattern for stderr

    QTest::newRow("an unknown grade") << QStringList{QStringLiteral("--grade"), QStringLiteral("Extrême"), QStringLiteral("{dir}/out.e65")}
                                      << QStringLiteral("^korvane-make: niveau inconnu : « Extrême » \\(Facile, Moyen, Difficile ou « Très "
                                                        "difficile »\\)\nEssayez « korvane-make --help ».\n$");
    QTest::newRow("a grade without its name") << QStringList{QStringLiteral("{dir}/out.e65"), QStringLiteral("--grade")}
                                              << QStringLiteral("--grade attend un niveau");
    QTest::newRow("a seed that is no number") << QStringList{QStringLiteral("--seed=-3"), QStringLiteral("{dir}/out.e65")}
                                              << QStringLiteral("--seed attend un nombre entier de 0 à 18446744073709551615");
    QTest::newRow("a seed too large for --count")
        << QStringList{QStringLiteral("--seed=18446744073709551615"), QStringLiteral("--count=2"), QStringLiteral("{dir}/out.e65")}
        << QStringLiteral("la dernière graine dépasserait");
    QTest::newRow("a count of zero") << QStringList{QStringLiteral("--count"), QStringLiteral("0"), QStringLiteral("{dir}/out.e65")}
                                     << QStringLiteral("--count attend un nombre de 1 à 100000");
    QTest::newRow("an unknown option") << QStringList{QStringLiteral("--fast"), QStringLiteral("{dir}/out.e65")}
                                       << QStringLiteral("option inconnue : --fast\nEssayez");
    QTest::newRow("no file to write") << QStringList{QStringLiteral("--seed"), QStringLiteral("3")} << QStringLiteral("il manque le fichier à écrire");
    QTest::newRow("two files to write") << QStringList{QStringLiteral("{dir}/a.e65"), QStringLiteral("{dir}/b.e65")}
                                        << QStringLiteral("un seul fichier à écrire, pas 2");
    QTest::newRow("a names file that is missing: the reader's message")
        << QStringList{QStringLiteral("--names"), QStringLiteral("{dir}/missing.e65"), QStringLiteral("{dir}/out.e65")}
        << QStringLiteral("^korvane-make: Impossible de lire le fichier à importer\n.*missing\\.e65 : No such file or directory\n$");
    QTest::newRow("a names file that is damaged: the reader's message")
        << QStringList{QStringLiteral("--names"), QStringLiteral("{dir}/damaged.e65"), QStringLiteral("{dir}/out.e65")}
        << QStringLiteral("damaged\\.e65\nFichier incomplet : ");
    QTest::newRow("a grid with an empty name")
        << QStringList{QStringLiteral("--names"), QStringLiteral("{dir}/empty-name.e65"), QStringLiteral("{dir}/out.e65")}
        << QStringLiteral("empty-name\\.e65 : la grille ne peut pas servir, le choix 3 de la catégorie « Couleur » est vide\\.\n$");
    QTest::newRow("a grid with a repeated name")
        << QStringList{QStringLiteral("--names"), QStringLiteral("{dir}/repeated.e65"), QStringLiteral("{dir}/out.e65")}
        << QStringLiteral("repeated\\.e65 : la grille ne peut pas servir, les lignes 2 et 4 de la grille portent le même nom de "
                          "catégorie, « Nation »\\.\n$");
    QTest::newRow("a folder that does not exist")
        << QStringList{QStringLiteral("{dir}/missing/out.e65")}
        << QStringLiteral("^korvane-make: Impossible d'enregistrer le fichier .*missing/out\\.e65 : No such file or directory\n$");
    QTest::newRow("a folder in place of the file") << QStringList{QStringLiteral("{dir}")}
                                                   << QStringLiteral("Impossible d'enregistrer le fichier .* : Is a directory\n$");
}

void TestKorvaneMake::refusesBadInput() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    // The files the rows above name: a zebra.e65 cut short, one with the third colour emptied, one with
    // two categories named "Nation".
    {
        QFile damaged(path("damaged.e65"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(ReadAll(Example("zebra.e65")).left(600));
    }
    auto zebra = std::get<korvane::Puzzle>(korvane::LoadPuzzleFile(Example("zebra.e65")));
    korvane::Puzzle emptyName = zebra, repeated = zebra;
    emptyName.name(3, 3).clear();
    repeated.name(0, 4) = "Nation";
    QVERIFY(!korvane::SavePuzzleFile(path("empty-name.e65"), emptyName));
    QVERIFY(!korvane::SavePuzzleFile(path("repeated.e65"), repeated));
    const QStringList before = files();

    arguments.replaceInStrings(QStringLiteral("{dir}"), dir_->path());
    const Run run = Make(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(QString::fromUtf8(run.err).contains(QRegularExpression(message)), run.err.constData());
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(files(), before); // nothing written, no temporary file left
}

void TestKorvaneMake::leavesAnExistingFileAsItWasOnFailure() {
    QFile out(path("out.e65"));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("kept");
    out.close();
    const Run run = Make({QStringLiteral("--names"), path("missing.e65"), path("out.e65")});
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(ReadAll(path("out.e65")), QByteArray("kept"));
    // Written over when all goes well.
    QCOMPARE(Make({path("out.e65")}).exitCode, 0);
    QVERIFY(ReadAll(path("out.e65")).size() > 500);
    QCOMPARE(files(), (QStringList{QStringLiteral("out.e65")}));
}

void TestKorvaneMake::helpAndVersion() {
    const Run help = Make({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith("Usage : korvane-make [--grade NIVEAU] [--seed N] [--names ENIGME.e65] [--count N] SORTIE.e65\n"));
    QVERIFY(help.out.contains("Codes de sortie : 0"));
    const Run version = Make({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("korvane-make 1.0\n"));
    QCOMPARE(Make({QStringLiteral("--help=yes")}).exitCode, 2);
    QCOMPARE(files(), QStringList());
}

QTEST_GUILESS_MAIN(TestKorvaneMake)
#include "test_korvane_make.moc"
