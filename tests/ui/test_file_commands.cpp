// The window's file commands with the dialogs and boxes answered by the test: saving and loading
// puzzles, damaged files, failures that keep what was there, the solution file and the clipboard.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "ui/file_commands.h"
#include "window_driver.h"

using namespace korvane;
using namespace korvane::test;

namespace {

using Kind = FakePlatform::Shown::Kind;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
}

// Makes `path` the current folder for as long as it lives, where solutions without a folder go.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& path) : previous_(QDir::currentPath()) { QDir::setCurrent(path); }
    ~CurrentFolder() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};

// Everything a load may change, to tell that a failed one changed nothing.
struct WindowState {
    QStringList cells, texts;
    QList<bool> shown;
    RuleTable rules;
    QString caption;
    bool operator==(const WindowState&) const = default;
};

WindowState StateOf(const Fixture& f) {
    WindowState s;
    for (int r = 1; r <= 6; ++r)
        for (int c = 0; c <= 5; ++c) s.cells << f.form->cell(c, r);
    for (int n = 1; n <= 112; ++n) {
        s.texts << f.box(n)->currentText();
        s.shown << f.box(n)->isVisible();
    }
    s.rules = f.session.rules;
    s.caption = f.form->windowTitle();
    return s;
}

// The 730-byte example: six categories with choices M1..C5 and one condition, M2 corresponds to C4.
QByteArray ExampleFile() {
    QByteArray bytes("Maison|Nation|Animal|Boisson|Sport|Couleur|");
    for (int choice = 1; choice <= 5; ++choice)
        for (const char* letter : {"M", "N", "A", "B", "S", "C"}) bytes += letter + QByteArray::number(choice) + '|';
    bytes += "\r\nMaison|M2|Correspond \xE0|Couleur|C4|" + QByteArray(75, '|') + "\r\n";
    bytes += QByteArray(32, '|') + "\r\n";
    for (int value : {1, 2, 1, 6, 4}) bytes += QByteArray(1, static_cast<char>(value)) + QByteArray(3, '\0');
    bytes += QByteArray(107 * 4, '\0') + "\r\n";
    return bytes;
}

void TypeExample(const Fixture& f) {
    const QStringList categories{"Maison", "Nation", "Animal", "Boisson", "Sport", "Couleur"};
    const QString letters = QStringLiteral("MNABSC");
    for (int r = 1; r <= 6; ++r) {
        f.typeCell(0, r, categories[r - 1]);
        for (int c = 1; c <= 5; ++c) f.typeCell(c, r, letters[r - 1] + QString::number(c));
    }
    if (!f.enterCondition(1, {"Maison", "M2", "Correspond à", "Couleur", "C4"})) qFatal("example not entered");
}

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void theExampleIsSavedByteForByte() {
        Fixture f;
        TypeExample(f);
        f.platform.saveAnswers = {path("exemple.e65")};
        f.click("BitBtn22");
        QCOMPARE(ReadAll(path("exemple.e65")), ExampleFile());
        QCOMPARE(ExampleFile().size(), 730);
        QCOMPARE(f.platform.texts(), QStringList{QStringLiteral("Fichier  ") + path("exemple.e65") + " créè"});
        QCOMPARE(f.platform.shown.back().kind, Kind::Information);
        const FileDialogRequest& dialog = f.platform.dialogs.front();
        QCOMPARE(dialog.title, QStringLiteral("Nom du fichier à créer"));
        QCOMPARE(dialog.filter, QStringLiteral("Puzzles (*.e65)"));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("e65"));
    }

    void savingThenLoadingRestoresThePuzzle() {
        const QString file = path("zebra.e65");
        WindowState saved;
        {
            Fixture f;
            QVERIFY(f.enterPuzzle(Zebra()));
            f.platform.saveAnswers = {file};
            f.click("BitBtn22");
            saved = StateOf(f);
        }
        Fixture f;
        f.typeCell(0, 1, "Autre");
        f.memo()->setPlainText("ancienne solution");
        f.platform.openAnswers = {file};
        f.click("BitBtn23");
        saved.caption = file;
        QCOMPARE(StateOf(f), saved);
        QVERIFY(f.box(85)->isVisible() && f.box(101)->isVisible()); // row 5, "Voisin droit de"
        QCOMPARE(f.box(21)->currentIndex(), -1);
        QCOMPARE(f.memo()->toPlainText(), QStringLiteral("ancienne solution"));
        const FileDialogRequest& dialog = f.platform.dialogs.front();
        QCOMPARE(dialog.title, QStringLiteral("Nom du fichier à charger"));
        QCOMPARE(dialog.filter, QStringLiteral("Puzzles (*.e65)"));
        QVERIFY(dialog.patterns.contains("*.eni"));
        f.click("BitBtn19"); // a loaded puzzle solves at once
        QCOMPARE(f.edit1(), QStringLiteral("1"));
    }

    void theOverwriteQuestionDecides_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("OK replaces the file") << int(Platform::Answer::Ok) << true;
        QTest::newRow("Abort leaves it and says nothing more") << int(Platform::Answer::Abort) << false;
    }
    void theOverwriteQuestionDecides() {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const QString file = path("existant.e65");
        WriteAll(file, "ancien");
        Fixture f;
        f.platform.saveAnswers = {file};
        f.platform.answers = {Platform::Answer(answer)};
        f.click("BitBtn22");
        QCOMPARE(f.platform.shown.front().text, QStringLiteral("Le fichier ") + file +
                                                     "\nexiste déja dans le même repertoire.\n\nVoulez vous l'écraser ?");
        QCOMPARE(f.platform.shown.front().kind, Kind::Warning);
        QCOMPARE(f.platform.shown.size(), replaced ? 2u : 1u);
        QCOMPARE(ReadAll(file).size(), replaced ? 604 : 6);
    }

    void aDamagedFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("random bytes seed %u", seed);
        QRandomGenerator random(seed);
        QByteArray noise(700, '\0');
        for (char& b : noise) b = static_cast<char>(random.bounded(256));
        const QByteArray example = ExampleFile();
        QTest::newRow("a file cut in its name line") << example.left(60);
        QTest::newRow("an empty file") << QByteArray();
        QTest::newRow("random bytes") << noise;
        QTest::newRow("three text lines without a value block") << example.left(example.indexOf("\r\n", 250) + 2);
        QTest::newRow("a value block cut short") << example.left(500);
    }
    void aDamagedFileChangesNothing() {
        QFETCH(QByteArray, bytes);
        const QString file = path("abime.e65");
        WriteAll(file, bytes);
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        const WindowState before = StateOf(f);
        f.platform.openAnswers = {file};
        f.click("BitBtn23");
        QCOMPARE(StateOf(f), before);
        QCOMPARE(f.platform.shown.size(), 1u);
        QVERIFY(f.platform.shown.front().text.startsWith("Impossible de lire le fichier à importer\n"));
    }

    void aMissingFileIsReported() {
        Fixture f;
        f.platform.openAnswers = {path("absent.e65")};
        f.click("BitBtn23");
        QVERIFY(f.platform.texts().value(0).startsWith("Impossible de lire le fichier à importer"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Korvane  V1.0      (6 catégories / 5 choix)"));
    }

    void aCancelledLoadSetsTheCaptionToTheLastChosenFile() {
        const QString file = path("caption.e65");
        WriteAll(file, ExampleFile());
        Fixture f;
        f.click("BitBtn23"); // cancelled before any file was chosen
        QCOMPARE(f.form->windowTitle(), QString());
        f.platform.openAnswers = {file};
        f.click("BitBtn23");
        f.form->setWindowTitle("autre");
        f.click("BitBtn23"); // cancelled again
        QCOMPARE(f.form->windowTitle(), file);
        QCOMPARE(f.platform.dialogs.back().currentFile, file);
    }

    // `korvane FILE` against the load button given the same file: the same window, messages and next
    // dialog, whatever the file holds.
    void aFileNamedAtStartLoadsAsTheLoadButton_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("loads");
        QTest::newRow("a puzzle, named relative to the current folder") << "debut.e65" << ExampleFile() << true;
        QTest::newRow("a puzzle in a subfolder, with an upper-case extension")
            << "sous/../sous/DEBUT.E65" << ExampleFile() << true;
        QTest::newRow("a damaged file") << "abime-debut.e65" << ExampleFile().left(500) << false;
        QTest::newRow("a missing file") << "absent-debut.e65" << QByteArray() << false;
    }
    void aFileNamedAtStartLoadsAsTheLoadButton() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loads);
        const QString full = QDir::cleanPath(path(name));
        QDir().mkpath(QFileInfo(full).path());
        if (!bytes.isEmpty()) WriteAll(full, bytes);

        Fixture byButton;
        byButton.platform.openAnswers = {full};
        byButton.click("BitBtn23");

        Fixture atStart;
        const WindowState empty = StateOf(atStart);
        {
            CurrentFolder here(dir_.path());
            OpenStartFile(*atStart.form, atStart.platform, {QStringLiteral("korvane"), name});
        }
        QCOMPARE(StateOf(atStart), StateOf(byButton));
        QCOMPARE(atStart.platform.texts(), byButton.platform.texts());
        QCOMPARE(atStart.session.loadDialogFile, full);
        QCOMPARE(atStart.platform.dialogs.size(), 0u);
        if (loads) {
            QCOMPARE(atStart.form->windowTitle(), full);
            QCOMPARE(atStart.form->cell(0, 6), QStringLiteral("Couleur"));
            QCOMPARE(atStart.session.rules[1].relation, 1);
        } else {
            QCOMPARE(StateOf(atStart), empty); // the window stays as it started, caption included
            QCOMPARE(atStart.platform.shown.size(), 1u);
            QVERIFY(atStart.platform.texts().front().startsWith("Impossible de lire le fichier à importer\n"));
        }
    }

    void noFileNamedAtStartLeavesTheWindowAlone() {
        Fixture f;
        const WindowState before = StateOf(f);
        OpenStartFile(*f.form, f.platform, {QStringLiteral("korvane")});
        OpenStartFile(*f.form, f.platform, {});
        QCOMPARE(StateOf(f), before);
        QVERIFY(f.platform.shown.empty());
    }

    void aPuzzleTheFormatCannotCarryIsRefused() {
        Fixture f;
        f.typeCell(2, 3, "Rouge|Vert");
        f.platform.saveAnswers = {path("refus.e65")};
        f.click("BitBtn22");
        QVERIFY(!QFileInfo::exists(path("refus.e65")));
        QCOMPARE(f.platform.shown.size(), 1u);
        QCOMPARE(f.platform.shown.front().kind, Kind::Error);
        QVERIFY2(f.platform.shown.front().text.contains("Catégorie 3 / Choix 2"), qPrintable(f.platform.texts().join("")));
    }

    void aFailedSaveReportsAndKeepsTheFile_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("a name too long for its temporary file") << QString(250, QLatin1Char('e'));
        QTest::newRow("a full disk") << QStringLiteral("full");
    }
    void aFailedSaveReportsAndKeepsTheFile() {
        QFETCH(QString, target);
        QTemporaryDir own;
        QString file = own.filePath(target);
        if (target == QLatin1String("full")) {
            // A private full device where allowed; root could otherwise replace the real one.
            if (mknod(QFile::encodeName(file).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0) file = "/dev/full";
        } else {
            WriteAll(file, "ancien");
        }
        Fixture f;
        QVERIFY(f.enterPuzzle(Zebra()));
        f.platform.saveAnswers = {file};
        f.click("BitBtn22");
        QCOMPARE(f.platform.shown.back().kind, Kind::Error);
        QVERIFY(f.platform.shown.back().text.contains(file));
        for (const auto& shown : f.platform.shown) QVERIFY(shown.kind != Kind::Information);
        if (QFileInfo(file).isFile()) QCOMPARE(ReadAll(file), QByteArray("ancien"));
        else QVERIFY(QFileInfo(file).exists());
    }

    void theSolutionGoesNextToTheLoadedPuzzle() {
        QTemporaryDir own;
        const QString puzzleFile = own.filePath("deux.e65");
        {
            Fixture f;
            TestPuzzle two = Zebra();
            two.conditions.erase(two.conditions.begin() + 9); // two solutions
            QVERIFY(f.enterPuzzle(two));
            f.platform.saveAnswers = {puzzleFile};
            f.click("BitBtn22");
        }
        Fixture f;
        f.platform.openAnswers = {puzzleFile};
        f.click("BitBtn23");
        f.click("BitBtn19");
        f.click("BitBtn3");
        f.click("BitBtn3"); // again: the file holds the lines once, not twice
        const QString solution = own.filePath("deux.txt");
        QByteArray expected;
        for (const QString& line : f.memoLines()) expected += line.toLatin1() + "\r\n";
        QCOMPARE(ReadAll(solution), expected);
        QVERIFY(expected.contains("\r\n" + QByteArray(142, '-') + "\r\n"));
        QVERIFY(expected.contains("Norv\xE9gien"));
        QCOMPARE(f.platform.shown.at(0).text, QStringLiteral("Le fichier \n\n") + solution + "\n\nà été sauvegardé");
        QCOMPARE(f.platform.shown.at(1).text, QStringLiteral("Le fichier \n") + solution +
                                                  "\nexiste déja dans le même repertoire.\n\nVoulez vous l'écraser ?");
    }

    void theSolutionPathFollowsTheCaption_data() {
        QTest::addColumn<bool>("cancelledLoad");
        QTest::addColumn<QString>("name");
        QTest::newRow("before any load, the title cut at its version") << false << "Korvane  V1.txt";
        QTest::newRow("after a cancelled first load, the empty caption") << true << ".txt";
    }
    void theSolutionPathFollowsTheCaption() {
        QFETCH(bool, cancelledLoad);
        QFETCH(QString, name);
        QTemporaryDir own;
        const CurrentFolder inOwn(own.path());
        Fixture f;
        f.memo()->setPlainText("ligne");
        if (cancelledLoad) f.click("BitBtn23");
        f.click("BitBtn3");
        QCOMPARE(ReadAll(own.filePath(name)), QByteArray("ligne\r\n"));
    }

    void abortAtTheSolutionQuestionWritesNothing() {
        QTemporaryDir own;
        const CurrentFolder inOwn(own.path());
        WriteAll(own.filePath("Korvane  V1.txt"), "ancien");
        Fixture f;
        f.memo()->setPlainText("nouveau");
        f.platform.answers = {Platform::Answer::Abort};
        f.click("BitBtn3");
        QCOMPARE(ReadAll(own.filePath("Korvane  V1.txt")), QByteArray("ancien"));
        QCOMPARE(f.platform.shown.size(), 1u);
    }

    void aSolutionTextTheFileCannotCarryIsRefused() {
        QTemporaryDir own;
        const CurrentFolder inOwn(own.path());
        Fixture f;
        f.memo()->setPlainText("Dĉu");
        f.click("BitBtn3");
        QVERIFY(!QFileInfo::exists(own.filePath("Korvane  V1.txt")));
        QCOMPARE(f.platform.shown.size(), 1u);
        QCOMPARE(f.platform.shown.front().kind, Kind::Error);
    }

    void theClipboardGetsTheWholeText() {
        Fixture f;
        f.memo()->setPlainText("Café\tThé\nsecond\n");
        f.click("BitBtn21");
        QCOMPARE(f.platform.clipboard, QStringLiteral("Café\tThé\nsecond\n"));
        QCOMPARE(f.memo()->textCursor().selectedText().size(), f.memo()->toPlainText().size());
        QVERIFY(f.platform.shown.empty());
    }

    void aLoadDuringASearchIsRefused() {
        const QString file = path("pendant.e65");
        WriteAll(file, ExampleFile());
        Fixture f;
        f.platform.openAnswers = {file};
        f.platform.onPump = [&](int pump) {
            if (pump == 3) f.click("BitBtn23");
            if (pump == 5) f.click("BitBtn24");
        };
        f.click("BitBtn19");
        QVERIFY(f.platform.dialogs.empty());
        QCOMPARE(f.platform.shown.size(), 1u);
        QCOMPARE(f.session.rules, RuleTable{});
        QCOMPARE(f.form->cell(0, 1), QString());
    }

    void theHiddenDiagnosticNamesRuleOnesFirstItem() {
        Fixture f;
        f.typeGrid(Zebra());
        QVERIFY(f.pick(1, "Boisson"));
        QVERIFY(f.pick(2, "Lait"));
        QVERIFY(f.widget("BitBtn2")->isHidden());
        f.form->BitBtn2Click();
        QCOMPARE(f.platform.texts(),
                 QStringList{"Box01 = 5\nBox02 = 3\n\nText saisi dans Box01 = Boisson\nText saisi dans Box02 = Lait"});
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
