// The process-wide state that the window's handlers share: it lives beside the window, from start-up to
// the end of the process, not inside it.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "core/model.h"

namespace korvane {

struct Session {
    // The coded conditions, read from the rows as they show now (editor/row_reading.h) after every edit:
    // `rules` holds the value each box's text names, which a save writes; `stated` the same tidied as for a
    // search, which the running search reads.
    RuleTable rules;
    RuleTable stated;
    // Set when `stated` changes while a search runs: its count then belongs to neither set of rows.
    bool rowsChangedDuringSearch = false;
    // "Pourquoi ?" was pressed during a search: the explanation opens when the search ends.
    bool explainAfterSearch = false;
    // Set by "Abandon" and by closing the window; cleared near the start of every solve.
    bool abortRequested = false;
    // True while a solve command runs; a second one is not started meanwhile.
    bool searching = false;
    // Set once the window was asked to close: a running search ends without touching the window.
    bool closing = false;
    // The lines the save-solution command writes; released when the window closes.
    std::optional<QStringList> solutionLines = QStringList{};
    // The load dialog's current file name: empty until the user confirms a file in it.
    QString loadDialogFile;
    // "Nouvelle énigme": the seed of the next puzzle (the program starts it from the clock), and the grade
    // the dialog offers first, the last one chosen ("Moyen" at first).
    std::uint64_t nextPuzzleSeed = 1;
    int newPuzzleGrade = 1;
};

} // namespace korvane
