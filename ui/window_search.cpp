// The search observer of the window.
#include "ui/window_search.h"

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/platform.h"
#include "ui/session.h"

namespace korvane {

void StepBar(QProgressBar* bar, int steps) {
    const int span = bar->maximum() - bar->minimum() + 1;
    bar->setValue(bar->minimum() + (bar->value() - bar->minimum() + steps) % span);
}

void ShowCount(QLineEdit* edit, std::uint64_t count) {
    const QString digits = QString::number(count);
    edit->setText(digits);
    edit->setCursorPosition(0);
    edit->setToolTip(QStringLiteral("Nombre de solutions trouvées : ") + QLocale(QLocale::French).toString(static_cast<qulonglong>(count)));
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
    // One paragraph of Memo1 per solution, its lines (the dashes before it included) broken within it:
    // a paragraph costs Memo1 far more than a line break does, and each turn of the wheel then shows the
    // next solution. Memo1's text reads the breaks as line feeds.
    constexpr std::string_view kLineSeparator = "\u2028";
    bool first = true;
    writer_.write(assignment, [&](std::string_view line) {
        if (!first) pendingLines_ += kLineSeparator;
        first = false;
        pendingLines_ += line;
    });
    pendingLines_ += '\n';
    solutionsCounted(count);
}

void WindowSearch::solutionsCounted(std::uint64_t count) {
    count_ = count;
    countShown_ = false;
}

void WindowSearch::stepInnerBar() { ++innerSteps_; }

void WindowSearch::stepOuterBar() { ++outerSteps_; }

void WindowSearch::pump() {
    if (session_.closing || sincePump_.elapsed() < pumpInterval_.count()) return;
    // Lines reach Memo1 in pieces with a pump after each, so that the window never waits long.
    do {
        flush(kPieceCharacters);
        platform_.pump();
    } while (flushed_ < pendingLines_.size() && !abortRequested());
    sincePump_.restart();
}

bool WindowSearch::finish(std::uint64_t count) {
    solutionsCounted(count);
    while (flushed_ < pendingLines_.size()) {
        if (abortRequested()) return false;
        flush(kPieceCharacters);
        if (flushed_ < pendingLines_.size()) platform_.pump();
    }
    flush(); // the count and the bar steps
    return true;
}

bool WindowSearch::abortRequested() { return session_.abortRequested || session_.closing; }

void WindowSearch::flush(qsizetype maxCharacters) {
    if (flushed_ < pendingLines_.size()) {
        // Whole solutions from where the last piece ended, the text behind it kept until all of it is in.
        const std::string_view left = std::string_view(pendingLines_).substr(flushed_);
        std::size_t end = left.size();
        if (end > static_cast<std::size_t>(maxCharacters)) end = left.substr(0, static_cast<std::size_t>(maxCharacters)).rfind('\n') + 1;
        if (end == 0) end = left.find('\n') + 1; // one solution longer than a piece
        // Into the text itself, as a paragraph of its own, so the piece goes without its last line feed.
        // Not through appendPlainText, which keeps the view on the last line: the view stays on the first
        // solutions, or wherever the user scrolled, and the box does a third less work.
        QTextDocument* text = widgets_.memo->document();
        QTextCursor last(text);
        last.movePosition(QTextCursor::End);
        if (!text->isEmpty()) last.insertBlock();
        last.insertText(QString::fromUtf8(left.data(), static_cast<qsizetype>(end - 1)));
        flushed_ += end;
        if (flushed_ == pendingLines_.size()) {
            pendingLines_.clear(); // keeps its room for the next solutions
            flushed_ = 0;
        }
    }
    if (!pendingLines_.empty()) return; // the count follows the lines it counts
    if (!countShown_) {
        ShowCount(widgets_.count, count_);
        countShown_ = true;
    }
    if (innerSteps_ > 0) StepBar(widgets_.innerBar, std::exchange(innerSteps_, 0));
    if (outerSteps_ > 0) StepBar(widgets_.outerBar, std::exchange(outerSteps_, 0));
}

} // namespace korvane
