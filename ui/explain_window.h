// The window "Explication": why a puzzle has no solution, what is left open, or which rows could go, and
// the deduction step by step with its grade. A step chosen in the list shows the grid as known after it
// and has the main window mark the rows it read; "Indice" shows one more step for a user who wants a hint
// rather than the answer. What it shows is decided in reasoning/report.h and texts/report_text.h; this only shows and wires.
#pragma once

#include <QList>
#include <QWidget>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "maker/suggest.h"
#include "reasoning/report.h"

class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace korvane {

class LogicGrid;
class Platform;

class ExplainWindow final : public QWidget {
    Q_OBJECT

public:
    ExplainWindow(Platform& platform, QWidget* parent);

    // Shows the explanation of `puzzle` (its rules tidied as for a search), no step shown yet. What would
    // complete it (maker/suggest.h) is worked out beside the event loop and shown when known.
    void showReport(const Puzzle& puzzle, Report report);
    // The suggestions are known for the puzzle shown.
    bool completionShown() const { return completion_ != nullptr; }
    // The rows or the grid changed since: the explanation no longer describes them.
    void markStale();
    bool stale() const { return stale_; }
    // Steps shown in the list, the first ones of the trace.
    int revealed() const;
    // Shows the window where the user left it last time, in front.
    void present();

signals:
    // The condition rows that the chosen step read; empty when no step is chosen or the window closes.
    void rowsHighlighted(const QList<int>& rows);
    void refreshRequested();
    // "Mettre en ligne k": the user chose a suggested row.
    void rowSuggested(int row, const korvane::Rule& rule);
    // "Retirer les lignes superflues": the stated rows to keep, the others to empty.
    void rowsKept(const QList<int>& rows);
    // Ctrl+Z, Ctrl+Maj+Z or Ctrl+Y here: the main window's undo and redo, which the buttons above feed.
    void undoRequested();
    void redoRequested();

protected:
    void hideEvent(QHideEvent* event) override;
    // Escape closes the window, as "Fermer" does, when the widget with the focus leaves the key unused.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reveal(int count);
    void stepChosen();
    void copy();
    void showCompletion(int ticket, std::shared_ptr<const maker::Completion> completion);

    Platform& platform_;
    Puzzle puzzle_;
    Report report_;
    std::vector<std::string> stepLines_;
    bool stale_ = false;
    std::optional<QPoint> place_; // where the user left the window, kept for the next opening

    QLabel* verdict_ = nullptr;
    QLabel* staleNote_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QLabel* explanation_ = nullptr;
    LogicGrid* grid_ = nullptr;
    QLabel* gridCaption_ = nullptr;
    QListWidget* steps_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* grade_ = nullptr;
    QPushButton* hint_ = nullptr;
    QPushButton* all_ = nullptr;
    QLabel* suggestHeading_ = nullptr;
    QWidget* suggestionArea_ = nullptr; // scrolls `suggestions_`
    QWidget* suggestions_ = nullptr;
    QGridLayout* suggestionRows_ = nullptr;
    QPushButton* keepRows_ = nullptr;

    std::shared_ptr<const maker::Completion> completion_; // for the puzzle shown; null until known
    int ticket_ = 0;       // which showReport() the completion being worked out belongs to
    std::jthread worker_;  // last, so that it stops and ends before the rest goes
};

} // namespace korvane
