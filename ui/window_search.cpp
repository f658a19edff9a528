// The search observer of the window.
#include "ui/window_search.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "ui/platform.h"
#include "ui/session.h"

namespace korvane {

void StepBar(QProgressBar* bar) {
    const int next = bar->value() + 1;
    bar->setValue(next > bar->maximum() ? bar->minimum() : next);
}

QString UnlistedLine(std::uint64_t unlisted, std::uint64_t listLimit) {
    return QStringLiteral("%1 autres solutions trouvées et non listées (liste limitée aux %2 premières)")
        .arg(unlisted)
        .arg(listLimit);
}

WindowSearch::WindowSearch(Widgets widgets, Platform& platform, const Session& session, ChoiceNames names,
                           std::chrono::milliseconds pumpInterval)
    : widgets_(widgets), platform_(platform), session_(session), writer_(std::move(names)),
      pumpInterval_(pumpInterval) {
    sincePump_.start();
}

void WindowSearch::solutionFound(const Assignment& assignment, std::uint64_t count) {
    writer_.write(assignment, [this](std::string_view line) {
        pendingLines_ += QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        pendingLines_ += QLatin1Char('\n');
    });
    solutionsCounted(count);
}

void WindowSearch::solutionsCounted(std::uint64_t count) {
    count_ = count;
    countShown_ = false;
}

void WindowSearch::stepInnerBar() { StepBar(widgets_.innerBar); }

void WindowSearch::stepOuterBar() { StepBar(widgets_.outerBar); }

void WindowSearch::pump() {
    if (session_.closing || sincePump_.elapsed() < pumpInterval_.count()) return;
    flush();
    platform_.pump();
    sincePump_.restart();
}

bool WindowSearch::abortRequested() { return session_.abortRequested || session_.closing; }

void WindowSearch::flush() {
    if (!pendingLines_.isEmpty()) {
        pendingLines_.chop(1); // appendPlainText starts a line of its own
        widgets_.memo->appendPlainText(pendingLines_);
        pendingLines_.clear();
    }
    if (!countShown_) {
        widgets_.count->setText(QString::number(count_));
        countShown_ = true;
    }
}

} // namespace korvane
