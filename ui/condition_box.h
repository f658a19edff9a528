// A condition box: an editable drop-down list that tells the window just before its list opens or steps,
// and that reports a change only when the user picks an entry or edits the text, never when the program
// sets a text or a list. What the list holds and what typing selects are the window's to decide; the box
// shows it. The mouse wheel steps it only while it has the keyboard focus.
#pragma once

#include <QComboBox>
#include <QKeySequence>
#include <QList>

#include "editor/condition_rows.h"

namespace korvane {

// The keys of undo and redo for the whole puzzle: the platform's own, and Ctrl+Z, Ctrl+Maj+Z and Ctrl+Y
// wherever it has others.
QList<QKeySequence> UndoKeys();
// Leaves the undo and redo keys of `widget`, a text field with no undo of its own, to the window's
// shortcuts.
void LeaveUndoKeysToWindow(QWidget* widget);
QList<QKeySequence> RedoKeys();

class ConditionBox final : public QComboBox {
    Q_OBJECT

public:
    // `entryHeight`: the height in pixels of one entry of the open list.
    explicit ConditionBox(int entryHeight, QWidget* parent = nullptr);

    // Shows `text` with no entry selected; the list stays as it is. Reports no change.
    void setTextSilently(const QString& text);
    // Makes `entries` the list, each carrying its value, unless it holds them already. The text, the
    // cursor and the selected entry's text stay. Reports no change.
    void setEntries(const Entries& entries);
    // Selects entry `index` (-1: none), keeping the text and the cursor as they are. Reports no change.
    void selectKeepingText(int index);
    // Shows entry `index` as the completion of the `typedLength` characters the user typed, with the part
    // completion added highlighted, so that the next key typed replaces it. Reports no change.
    void complete(int index, qsizetype typedLength);
    // The value the selected entry carries, 0 when none is selected.
    int selectedValue() const;

    // The tooltip the box shows while its text is sound.
    void setHint(const QString& hint);
    // Marks the text in red with `problem` as tooltip, or an empty box's field with a red tint; an empty
    // `problem` takes the mark away.
    void setProblem(const QString& problem);
    bool marked() const { return marked_; }

    // Emits aboutToDropDown(), then opens the list.
    void showPopup() override;

signals:
    // The list is about to open: the window may rebuild it now.
    void aboutToDropDown();
    // A wheel turn or an arrow key is about to step to another entry: the window may rebuild the list.
    void aboutToStep();
    // The user edited the text (`deleting`: with Backspace or Delete); userChanged() follows at once, after
    // the window has completed the text.
    void textTyped(bool deleting);
    // The user picked an entry or edited the text.
    void userChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Appends an entry to the list, carrying `value`; the text and the selection stay as they are.
    void appendEntry(const QString& text, int value);
    void onTextEdited();
    // Enter or Return with the list closed: moves on to the next box, as Tab does. False for other keys.
    bool acceptOnEnter(QKeyEvent* event);
    // Notes what a key pressed in the box is about to do, wherever it was delivered.
    void noteKey(const QKeyEvent* event);

    int entryHeight_;
    bool listBuilt_ = false; // the list window exists, with its fixed entry height
    bool deleting_ = false;  // the edit being reported was made by Backspace or Delete
    bool marked_ = false;
    bool tinted_ = false; // marked while empty: the field's background shows the mark
    QString hint_;
};

} // namespace korvane
