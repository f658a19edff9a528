// The solution file: its path from the window caption, its bytes, and safe writing that keeps an
// existing file whatever goes wrong.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "files/solution_export.h"

using namespace korvane;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestSolutionExport : public QObject {
    Q_OBJECT

private slots:
    void thePathFollowsTheCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("path");
        QTest::newRow("a puzzle loaded from a Windows folder") << R"(C:\Enigmes\zoo.e65)" << R"(C:\Enigmes\zoo.txt)";
        QTest::newRow("a puzzle loaded from a Unix folder") << "/home/eve/enigmes/zoo.e65" << "/home/eve/enigmes/zoo.txt";
        QTest::newRow("a name without extension in a dotted folder") << "/home/eve/v1.2/zoo" << "/home/eve/v1.2/zoo.txt";
        QTest::newRow("a Windows name without extension in a dotted folder") << R"(C:\v1.2\zoo)" << R"(C:\v1.2\zoo.txt)";
        QTest::newRow("only the last extension goes") << "/tmp/zoo.old.e65" << "/tmp/zoo.old.txt";
        QTest::newRow("the window title before any load")
            << "Korvane  V1.0      (6 catégories / 5 choix)" << "Korvane  V1.txt";
        QTest::newRow("the empty caption of a cancelled first load") << "" << ".txt";
    }
    void thePathFollowsTheCaption() {
        QFETCH(QString, caption);
        QFETCH(QString, path);
        QCOMPARE(SolutionFilePath(caption), path);
    }

    void linesAreWindows1252EachEndedByCrLf() {
        const QString dashes(142, QLatin1Char('-'));
        const auto bytes = SolutionFileBytes({"Café\tThé", dashes, "", "5 €"});
        QVERIFY(std::holds_alternative<QByteArray>(bytes));
        QCOMPARE(std::get<QByteArray>(bytes),
                 QByteArray("Caf\xE9\tTh\xE9\r\n") + QByteArray(142, '-') + "\r\n\r\n5 \x80\r\n");
        QCOMPARE(std::get<QByteArray>(SolutionFileBytes({})), QByteArray());
    }

    void aCharacterTheFileCannotCarryIsRefused_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("named");
        QTest::newRow("a letter outside Windows-1252") << "Dĉu" << "« ĉ » (U+0109)";
        QTest::newRow("a character beyond the first plane") << "Zèbre 🦓" << "(U+1f993)";
        QTest::newRow("a carriage return inside a line") << "a\rb" << "(U+000d)";
    }
    void aCharacterTheFileCannotCarryIsRefused() {
        QFETCH(QString, line);
        QFETCH(QString, named);
        const auto bytes = SolutionFileBytes({"Bien", line});
        QVERIFY(std::holds_alternative<FileError>(bytes));
        const FileError& error = std::get<FileError>(bytes);
        QCOMPARE(error.kind, FileError::Kind::NotWindows1252);
        QVERIFY2(error.message.contains("ligne 2") && error.message.contains(named), qPrintable(error.message));
    }

    void anExistingFileIsReplacedWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("zoo.txt");
        WriteAll(path, QByteArray(5000, 'x'));
        QCOMPARE(SaveSolutionFile(path, {"a", "b"}), std::nullopt);
        QCOMPARE(ReadAll(path), QByteArray("a\r\nb\r\n"));
    }

    void aFailedWriteKeepsTheExistingFile() {
        QTemporaryDir dir;
        // The temporary file beside a name this long would exceed the longest name a folder allows.
        const QString path = dir.filePath(QString(250, QLatin1Char('z')));
        WriteAll(path, "ancien");
        const auto error = SaveSolutionFile(path, {"nouveau"});
        QVERIFY(error.has_value());
        QCOMPARE(error->kind, FileError::Kind::WriteFailed);
        QVERIFY(error->message.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(ReadAll(path), QByteArray("ancien"));
    }

    void aReadOnlyFolderKeepsTheExistingFile() {
        if (geteuid() == 0) QSKIP("folder permissions do not stop root");
        QTemporaryDir dir;
        const QString path = dir.filePath("zoo.txt");
        WriteAll(path, "ancien");
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const auto error = SaveSolutionFile(path, {"nouveau"});
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(error.has_value());
        QCOMPARE(ReadAll(path), QByteArray("ancien"));
    }

    void aFullDiskIsReportedAndTheDeviceStaysADevice() {
        // A private copy of the full device when allowed (root may replace a device by renaming over it,
        // so the real one is only used where that is impossible).
        QTemporaryDir dir;
        QString path = dir.filePath("full");
        if (mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0) path = "/dev/full";
        const auto error = SaveSolutionFile(path, {QString(100, QLatin1Char('-'))});
        QVERIFY(error.has_value());
        QCOMPARE(error->kind, FileError::Kind::WriteFailed);
        QVERIFY(error->message.contains(path));
        QVERIFY(!QFileInfo(path).isFile());
    }
};

QTEST_GUILESS_MAIN(TestSolutionExport)
#include "test_solution_export.moc"
