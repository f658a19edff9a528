// The window's side of a search: the observer that lists solutions in Memo1, keeps the count in Edit1,
// steps the two progress bars, processes pending window messages and passes on the abort request.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <chrono>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/search.h"
#include "texts/solution_text.h"

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;

namespace korvane {

class Platform;
struct Session;

// Advances a progress bar by `steps`; a step past its maximum starts it again at its minimum.
void StepBar(QProgressBar* bar, int steps = 1);

// The line that follows the listed solutions when more were found than listed.
// Edit1 showing `count`: its first digits when the box is too narrow for all of them, the whole count in
// its tooltip (and in a select-all and copy).
void ShowCount(QLineEdit* edit, std::uint64_t count);

QString UnlistedLine(std::uint64_t unlisted, std::uint64_t listLimit);

class WindowSearch final : public SearchObserver {
public:
    struct Widgets {
        QPlainTextEdit* memo;
        QLineEdit* count;
        QProgressBar* innerBar;
        QProgressBar* outerBar;
    };

    // Pumps come from the engine at the walk's pump points; one that comes sooner than `pumpInterval`
    // after the previous one is folded into the next. Solutions and the count reach the widgets right
    // before each pump that is carried out, so a handler run by a pump sees them in full.
    WindowSearch(Widgets widgets, Platform& platform, const Session& session, ChoiceNames names,
                 std::chrono::milliseconds pumpInterval);

    bool followsProgress() const override { return true; }
    void solutionFound(const Assignment& assignment, std::uint64_t count) override;
    void solutionsCounted(std::uint64_t count) override;
    void stepInnerBar() override;
    void stepOuterBar() override;
    void pump() override;
    bool abortRequested() override;

    // Puts the lines gathered since the last pump into Memo1, at most about `maxCharacters` of them
    // (whole lines); once none is left, also the count and the bar steps.
    void flush(qsizetype maxCharacters = std::numeric_limits<qsizetype>::max());
    // After the search: the lines still gathered, a piece at a time with a pump after each, as during
    // the search (a search that lists fast and counts at once leaves all of them). False when an abort
    // request or the window closing stopped it.
    bool finish(std::uint64_t count);

private:
    // About 10 ms of work for Memo1, which takes some 8 ns per character.
    static constexpr qsizetype kPieceCharacters = 1024 * 1024;

    Widgets widgets_;
    Platform& platform_;
    const Session& session_;
    SolutionWriter writer_;
    std::chrono::milliseconds pumpInterval_;
    QElapsedTimer sincePump_;
    std::string pendingLines_; // UTF-8: solutions not yet in Memo1 from flushed_ on, each ended by a line feed
    std::size_t flushed_ = 0;  // the bytes of pendingLines_ already in Memo1
    std::uint64_t count_ = 0; // the running count
    bool countShown_ = true;  // Edit1 shows count_
    // Steps not yet shown: a bar repaints at once when its position changes, so it changes at pumps.
    int innerSteps_ = 0;
    int outerSteps_ = 0;
};

} // namespace korvane
