// A condition box: an editable drop-down list that tells the window just before its list opens, and
// that reports a change only when the user picks an entry or edits the text, never when the program
// sets a text or a list. Typing completes to the first entry that begins with the typed text.
#pragma once

#include <QComboBox>

namespace korvane {

class ConditionBox final : public QComboBox {
    Q_OBJECT

public:
    // `entryHeight`: the height in pixels of one entry of the open list.
    explicit ConditionBox(int entryHeight, QWidget* parent = nullptr);

    // Shows `text` with no entry selected; the list stays as it is. Reports no change.
    void setTextSilently(const QString& text);
    // Empties the text and the list. Reports no change.
    void clearSilently();
    // Appends an entry to the list, carrying `data`; the text and the selection stay as they are.
    void appendEntry(const QString& text, const QVariant& data = {});

    // Emits aboutToDropDown(), then opens the list.
    void showPopup() override;

signals:
    // The list is about to open: the window may rebuild it now.
    void aboutToDropDown();
    // The user picked an entry or edited the text.
    void userChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextEdited(const QString& text);
    // Leaves `text` in the edit field with the cursor where it was and no entry selected.
    void deselectKeepingText(const QString& text);

    int entryHeight_;
    bool listBuilt_ = false; // the list window exists, with its fixed entry height
    bool deleting_ = false; // the edit being reported was made by Backspace or Delete
};

} // namespace korvane
