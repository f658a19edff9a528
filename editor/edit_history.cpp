#include "editor/edit_history.h"

namespace korvane {

void EditHistory::record(const ScreenState& before, const ScreenState& after, int typing) {
    if (before.names == after.names && before.boxTexts == after.boxTexts && before.extraShown == after.extraShown) return;
    redo_.clear();
    const bool sameRun = typing != 0 && typing == typing_ && !undo_.empty();
    typing_ = typing;
    if (sameRun) return; // the step before already holds the state before the run
    undo_.push_back(before);
    if (undo_.size() > limit_) undo_.pop_front();
}

std::optional<ScreenState> EditHistory::undo(const ScreenState& now) {
    typing_ = 0;
    if (undo_.empty()) return std::nullopt;
    ScreenState state = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(now);
    return state;
}

std::optional<ScreenState> EditHistory::redo(const ScreenState& now) {
    typing_ = 0;
    if (redo_.empty()) return std::nullopt;
    ScreenState state = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(now);
    if (undo_.size() > limit_) undo_.pop_front();
    return state;
}

} // namespace korvane
