// Every example puzzle solved through the window, loaded by its load command, gives the very text that
// korvane-solve prints for it: the solutions of Memo1, then the verdict of Label17.
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include "window_driver.h"

using namespace korvane;
using namespace korvane::test;

class TestExamples : public QObject {
    Q_OBJECT

private slots:
    void theWindowAndKorvaneSolveGiveTheSameText_data() {
        QTest::addColumn<QString>("path");
        const QDir examples(QStringLiteral(KORVANE_EXAMPLES_DIR));
        const QStringList files = examples.entryList({QStringLiteral("*.e65")}, QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const QString& file : files) QTest::newRow(qPrintable(file)) << examples.filePath(file);
    }
    void theWindowAndKorvaneSolveGiveTheSameText() {
        QFETCH(QString, path);
        QProcess solve;
        solve.start(QStringLiteral(KORVANE_SOLVE), {path});
        QVERIFY(solve.waitForFinished(60'000));
        QCOMPARE(solve.exitCode(), 0);
        const QString printed = QString::fromUtf8(solve.readAllStandardOutput());

        Fixture f;
        f.load(path);
        QCOMPARE(f.form->windowTitle(), path);
        // What a loaded example shows is what its rows solve: no box is marked.
        for (int n = 1; n <= kBoxes; ++n) QVERIFY2(!f.box(n)->marked(), qPrintable(f.box(n)->toolTip()));
        f.click("BitBtn19");
        QVERIFY2(f.platform.shown.empty(), qPrintable(f.platform.texts().join('\n')));
        const QStringList shown = f.memoLines() << f.widget<QLabel>("Label17")->text();
        QCOMPARE(shown.join(QLatin1Char('\n')) + QLatin1Char('\n'), printed);
    }
};

QTEST_MAIN(TestExamples)
#include "test_examples.moc"
