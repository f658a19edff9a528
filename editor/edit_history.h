// Undo and redo for the puzzle on screen: what a step brings back is the whole of what the user edits
// (the grid's names, the boxes' texts, which extra boxes are shown), from which the rows are read again
// as after any edit. One step per user action; edits that go on typing into the same box make one step.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/model.h"

namespace korvane {

struct ScreenState {
    std::array<std::string, kNameCells> names;
    std::array<std::string, kBoxes> boxTexts;
    std::array<bool, 2 * kRules> extraShown{}; // the steps boxes of rows 1..16, then their order boxes
    // The window's caption: the file the puzzle was loaded from, after which a solution saved is named.
    // It comes back with the puzzle it names; changed alone, it is no edit.
    std::string caption;

    friend bool operator==(const ScreenState&, const ScreenState&) = default;
};

class EditHistory {
public:
    static constexpr std::size_t kDefaultSteps = 200;
    explicit EditHistory(std::size_t steps = kDefaultSteps) : limit_(steps) {}

    // An edit led from `before` to `after`. A non-zero `typing` (the box typed into) makes it one step
    // with the edit before when that one typed into the same box, and nothing broke the run since.
    // The oldest step goes when the history is full; what could be redone is forgotten.
    void record(const ScreenState& before, const ScreenState& after, int typing = 0);
    // The next edit starts a step of its own, even in the box typed into last (the box was left).
    void breakTyping() { typing_ = 0; }

    // The state to show instead of `now`, or none when there is nothing to undo (redo).
    std::optional<ScreenState> undo(const ScreenState& now);
    std::optional<ScreenState> redo(const ScreenState& now);

    std::size_t undoSteps() const { return undo_.size(); }
    std::size_t redoSteps() const { return redo_.size(); }

private:
    std::size_t limit_;
    std::deque<ScreenState> undo_;
    std::vector<ScreenState> redo_;
    int typing_ = 0;
};

} // namespace korvane
