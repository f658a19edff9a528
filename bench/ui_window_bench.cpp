// Speed of the window, measured through the real widgets and Qt's own event processing: time to the
// first shown window, Zebra solved from the button to the verdict, the first 10,000 solutions of a
// puzzle without rules listed with the exact count, the resident memory afterwards, and the longest
// wait between two message pumps during that search; and the explanation of the sixteen-condition
// seating puzzle, from "Pourquoi ?" to its window shown, the first time (which builds that window) and
// after. With KORVANE_BENCH_LONG_PUZZLE naming a puzzle file, a long search of it as well.
//
// Run on a display (for instance Xvfb :99): bench/ui_window_bench.sh [build-dir]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "engine/search.h"
#include "texts/solution_text.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/session.h"
#include "ui/translations.h"

using namespace korvane;

namespace {

double NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// The real platform, with the gaps between pumps recorded and the beep kept quiet.
class TimedPlatform final : public Platform {
public:
    QtPlatform qt;
    QElapsedTimer sincePump;
    qint64 longestGapMs = 0;
    int pumps = 0;
    QString openPath; // what the load dialog answers

    void notice(const QString& text) override { std::fprintf(stderr, "notice: %s\n", qPrintable(text)); }
    void information(const QString& text) override { notice(text); }
    Answer warningOkAbort(const QString& text) override { return notice(text), Answer::Ok; }
    void error(const QString& text) override { notice(text); }
    std::optional<QString> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> openFileName(const FileDialogRequest&) override { return openPath; }
    std::optional<NewPuzzleChoice> askNewPuzzle(const NewPuzzleOffer&) override { return std::nullopt; }
    void beep() override {}
    void setClipboardText(const QString& text) override { qt.setClipboardText(text); }
    void pump() override {
        if (sincePump.isValid()) longestGapMs = std::max(longestGapMs, sincePump.elapsed());
        ++pumps;
        qt.pump();
        sincePump.restart();
    }
};

// The engine alone on the rules the window searched, listing as the window does: with the progress
// events followed or not (as korvane-solve), and with the solutions' text written or not.
struct EngineAlone final : SearchObserver {
    bool progress = false;
    std::optional<SolutionWriter> writer;
    std::string text;
    bool followsProgress() const override { return progress; }
    void solutionFound(const Assignment& a, std::uint64_t) override {
        if (writer) writer->write(a, [&](std::string_view line) { text += line, text += '\n'; });
    }
};

double EngineMs(const RuleTable& rules, bool progress, bool written) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        EngineAlone observer;
        observer.progress = progress;
        if (written) observer.writer.emplace(ChoiceNames{});
        SearchOptions options;
        options.listLimit = 10'000;
        QElapsedTimer timer;
        timer.start();
        Search(rules, observer, options);
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

// Presses "soluce" and returns the milliseconds until the verdict is shown.
double Solve(TForm1& form) {
    auto* button = form.findChild<QWidget*>(QStringLiteral("BitBtn19"));
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(button, Qt::LeftButton);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const double started = NowMs();
    const QString zebraPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("examples/zebra.e65");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    InstallFrenchTranslations(app); // as the program does
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const double appMade = NowMs();
    Session session;
    TimedPlatform platform;
    TForm1 form(session, platform);
    const double formMade = NowMs();
    form.show();
    const double showCalled = NowMs();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    const double shown = NowMs();
    // The launcher passes its own start time, so that loading the program counts as well.
    if (const char* launched = std::getenv("KORVANE_BENCH_LAUNCHED_MS"))
        std::printf("window shown:            %.1f ms after launch\n", shown - std::atof(launched));
    std::printf("window shown:            %.1f ms after main() (application %.1f, window built %.1f, show() %.1f)\n",
                shown - started, appMade - started, formMade - started, showCalled - started);

    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::printf("window shown:            %.1f ms of processor time since the process started\n",
                static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6);
    if (argc > 2 && QByteArray(argv[2]) == "--startup-only") return 0;

    platform.openPath = zebraPath;
    form.BitBtn23Click(); // loaded as the user would, through the load command
    if (form.windowTitle() != zebraPath) return 1;
    auto* status = form.findChild<QLabel*>(QStringLiteral("Label17"));
    auto* count = form.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    auto* memo = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));

    double best = 1e9;
    for (int run = 0; run < 20; ++run) best = std::min(best, Solve(form));
    std::printf("Zebra solved:            %.2f ms (best of 20), %s, Edit1 %s\n", best, qPrintable(status->text()),
                qPrintable(count->text()));

    platform.openPath = QFileInfo(zebraPath).dir().filePath(QStringLiteral("seating.e65"));
    form.BitBtn23Click();
    auto* why = form.findChild<QWidget*>(QStringLiteral("BitBtn25"));
    auto explain = [&] {
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(why, Qt::LeftButton);
        auto* window = form.findChild<QWidget*>(QStringLiteral("ExplainForm"));
        if (!window || !QTest::qWaitForWindowExposed(window)) std::exit(1);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        window->close();
        return ms;
    };
    const double firstExplanation = explain();
    double bestExplanation = 1e9;
    for (int run = 0; run < 10; ++run) bestExplanation = std::min(bestExplanation, explain());
    std::printf("seating explained:       %.1f ms the first time, %.1f ms after (best of 10)\n", firstExplanation,
                bestExplanation);

    form.BitBtn20Click();
    platform.longestGapMs = 0;
    platform.pumps = 0;
    platform.sincePump.restart(); // the first wait counts from the press
    const double ruleless = Solve(form);
    std::printf("no rule, 10,000 listed:  %.0f ms, %s, Edit1 %s, Memo1 %d lines\n", ruleless,
                qPrintable(status->text()), qPrintable(count->text()), memo->blockCount());
    std::printf("longest wait between two pumps: %lld ms (%d pumps)\n", static_cast<long long>(platform.longestGapMs),
                platform.pumps);
    std::printf("resident memory:         %.1f MB\n", static_cast<double>(ResidentKiB()) / 1024.0);

    // A long search, from the press to the verdict: the first pump after the press, the longest wait
    // between two, and the whole solve (compare with korvane-solve --limit 10000 on the same file).
    if (const char* longPuzzle = std::getenv("KORVANE_BENCH_LONG_PUZZLE")) {
        platform.openPath = QString::fromLocal8Bit(longPuzzle);
        form.BitBtn23Click();
        for (int run = 0; run < 3; ++run) {
            platform.longestGapMs = 0;
            platform.pumps = 0;
            platform.sincePump.restart(); // the first wait counts from the press
            const double ms = Solve(form);
            std::printf("long search:             %.0f ms, %s, longest wait between two pumps %lld ms (%d pumps)\n", ms,
                        qPrintable(status->text()), static_cast<long long>(platform.longestGapMs), platform.pumps);
        }
        // What the window adds to the engine: Memo1's text is most of it (compare the lines above).
        std::printf("  engine alone (best of 3): %.0f ms as korvane-solve, %.0f ms with the progress events, "
                    "%.0f ms with the text written too\n",
                    EngineMs(session.stated, false, false), EngineMs(session.stated, true, false),
                    EngineMs(session.stated, true, true));
    }
    return 0;
}
