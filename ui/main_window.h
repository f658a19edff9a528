// The main window `TForm1`: the name grid, the sixteen condition rows and the solution area, each widget
// at its fixed place, and the handlers that the widgets' events run.
#pragma once

#include <QList>
#include <QWidget>
#include <array>
#include <chrono>

#include "core/model.h"
#include "editor/edit_history.h"
#include "ui/silent_abort.h"
#include "ui/window_layout.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace korvane {

class ConditionBox;
class ExplainWindow;
class Platform;
struct SearchResult;
struct Session;

struct WindowOptions {
    // A search processes pending window messages at most this often; the events it reports in between
    // are gathered and shown at the next pump.
    std::chrono::milliseconds pumpInterval{15};
    // Solutions written into Memo1; the rest are counted only.
    std::uint64_t listLimit = 10'000;
};

class TForm1 final : public QWidget {
    Q_OBJECT

public:
    TForm1(Session& session, Platform& platform, WindowOptions options = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // Window events.
    void FormShow();
    void FormClose();

    // Commands.
    void BitBtn19Click(); // solve
    void BitBtn24Click(); // abandon the running search
    void BitBtn20Click(); // clear all sixteen rows
    void Clear01Click();  // clear row 1
    void BitBtn22Click(); // save the puzzle
    void BitBtn23Click(); // load a puzzle
    void BitBtn3Click();  // save the solution text next to the loaded puzzle
    void BitBtn21Click(); // copy the solution text to the clipboard
    void BitBtn2Click();  // the hidden diagnostic
    void BitBtn25Click(); // explain the rows as they are now
    void BitBtn26Click(); // a new puzzle of a chosen grade in place of the rows
    // Ctrl+Z and Ctrl+Maj+Z (or Ctrl+Y): the puzzle as it was before the last edit, and back again.
    void undo();
    void redo();
    // Makes the puzzle as shown the start of the undo history, with nothing to undo.
    void startHistoryHere();
    // The load command once its dialog has given `path` (a full path): the same checks, messages and
    // caption for the dialog and for a file named at start. Ends with SilentAbort after a message.
    void loadPuzzle(const QString& path);

    // The condition rows. Boxes are numbered 1..112 like ComboBox1..ComboBox112, rows 1..16; what each
    // box offers and stores is decided in editor/condition_rows.h.
    // Rebuild category or choice box n's list from the grid as it is now. The text and the stored value
    // stay: the entry the text shows, if any, becomes the selected one.
    void FillCategoryList(int n);
    void FillChoiceList(int n);
    // Shows row k's steps and order boxes as relation value v needs them; other values change nothing.
    void ApplyRelationVisibility(int k, std::int32_t v);
    // Shows row k's steps and order boxes as its stated relation needs them, none for no relation.
    void showExtraBoxes(int k);
    void ClearConditionRow(int k);

    ConditionBox* box(int n) const { return boxes_[static_cast<std::size_t>(n - 1)]; }
    // SG1 cell text; row 0 is the header row.
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

signals:
    // A condition row or the name grid changed: by a box, a grid cell, a clearing or a load.
    void rowsEdited();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildGrid();
    void buildConditionRows();
    void buildBottomArea();
    void setFocusOrder();
    void buildShortcuts();
    // A box's change and drop-down events (ComboBoxNChange, ComboBoxNDropDown), its typing, completed
    // before the change event, and its stepping by wheel or arrow key.
    void boxChanged(int n);
    void boxDropDown(int n);
    void boxTyped(int n, bool deleting);
    // Rebuilds box n's list from the grid, selecting the entry its text shows.
    void fillList(int n);
    // Reads the rows from the grid and the boxes as they show now (editor/row_reading.h) into the rule
    // tables the save and the search use, and marks the boxes that do not state what their row needs.
    // Every edit of the rows or the grid ends here.
    void refreshRows();
    // A grid cell was edited: the boxes that named a renamed cell follow it (editor/condition_rows.h).
    void gridEdited();
    // Label24 and its tooltip: the rows that the solve just made left out or found without effect.
    void showIdleRows();
    // What undo brings back, as the window shows it now; and showing one such state.
    ScreenState screenState() const;
    void showScreenState(const ScreenState& state);
    // Records what the last handler changed as one undo step.
    void noteEdit();
    // The error message of a rule that stopped the search, with the row and box at fault.
    QString ruleErrorText(const SearchResult& result) const;
    void runCommand(layout::Command command);
    // Runs one handler so that no exception leaves it (SilentAbort silently, others in the error box);
    // whatever it changed of the puzzle becomes one step of the undo history.
    template <class Handler>
    void handle(Handler&& handler) {
        RunHandler(platform_, std::forward<Handler>(handler));
        noteEdit();
    }

    // Marks the numbers of `rows` (1..16), and only those.
    void highlightRows(const QList<int>& rows);
    // Makes "Pourquoi ?" stand out after a solve that found nothing or stopped on an error.
    void drawAttentionToExplain(bool on);
    void explain();
    // Puts `rule` in row k, its boxes showing the texts that name it, as if picked from the lists.
    void putRow(int k, const Rule& rule);

    void AbandonSearch();
    std::array<std::string, kBoxes> boxTexts() const;
    // The puzzle as the window shows it, and the loading of one into the window.
    Puzzle puzzleOnScreen() const;
    void showPuzzle(const Puzzle& puzzle);
    // Memo1's own lines (not the pieces wrapping makes on screen), and its whole text.
    QString memoText() const;
    QStringList memoLines() const;

    Session& session_;
    Platform& platform_;
    WindowOptions options_;
    bool shown_ = false;

    std::array<ConditionBox*, kBoxes> boxes_{};
    std::array<QPushButton*, kRules> clearButtons_{};
    std::array<QPushButton*, layout::kButtons.size()> buttons_{};
    QTableWidget* SG1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label24 = nullptr; // the idle rows of the last solve
    QProgressBar* ProgressBar1 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    std::array<QLabel*, kRules> rowNumbers_{};
    ExplainWindow* explainWindow_ = nullptr; // built on first use
    // The names and texts the rows were last read from: what a cell edit renamed, and whether an edit
    // changed anything at all.
    Puzzle lastRead_;
    EditHistory history_;
    ScreenState recorded_; // the state after the last step recorded
    int typing_ = 0;       // the box typed into by the handler running, 0 for none
    // What Label24 said of the last new puzzle: an undo or redo takes it away while it still stands there.
    QString newPuzzleNotice_;
    QMetaObject::Connection focusWatch_;
};

} // namespace korvane
