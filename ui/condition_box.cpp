// The condition box: completion on typing, a change event only for the user's own actions.
#include "ui/condition_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace korvane {

namespace {

// List entries of a fixed height, whatever the style would choose.
class FixedHeightDelegate final : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

} // namespace

ConditionBox::ConditionBox(int entryHeight, QWidget* parent) : QComboBox(parent), entryHeight_(entryHeight) {
    // An edit field of our own makes the box editable without building its list window now; that
    // waits for the first opening, which keeps the start of the program quick.
    setLineEdit(new QLineEdit(this));
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // completion is done here, where it also selects the entry
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &ConditionBox::onTextEdited);
    connect(this, &QComboBox::activated, this, &ConditionBox::userChanged);
}

void ConditionBox::setTextSilently(const QString& text) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    setEditText(text);
}

void ConditionBox::clearSilently() {
    const QSignalBlocker blocker(this);
    clear();
    setEditText(QString());
}

void ConditionBox::appendEntry(const QString& text, const QVariant& data) {
    const int index = currentIndex();
    const QString shown = currentText();
    const QSignalBlocker blocker(this);
    addItem(text, data);
    // A box whose list was empty selects its first entry when one arrives; undo that.
    if (currentIndex() != index) {
        setCurrentIndex(index);
        setEditText(shown);
    }
}

void ConditionBox::showPopup() {
    if (!listBuilt_) {
        setItemDelegate(new FixedHeightDelegate(entryHeight_, this));
        listBuilt_ = true;
    }
    emit aboutToDropDown();
    QComboBox::showPopup();
}

bool ConditionBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    }
    return QComboBox::eventFilter(watched, event);
}

void ConditionBox::deselectKeepingText(const QString& text) {
    const int cursor = lineEdit()->cursorPosition();
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1); // also empties the edit field, which is put back at once
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}

void ConditionBox::onTextEdited(const QString& text) {
    const bool deleting = std::exchange(deleting_, false);
    int match = -1;
    if (!deleting && !text.isEmpty()) {
        for (int i = 0; i < count() && match < 0; ++i)
            if (itemText(i).startsWith(text, Qt::CaseInsensitive)) match = i;
    }
    if (match < 0) {
        deselectKeepingText(text);
    } else {
        const QSignalBlocker blocker(this);
        setCurrentIndex(match);
        const QString entry = itemText(match);
        lineEdit()->setText(entry);
        // Highlight what completion added, so that the next key typed replaces it.
        lineEdit()->setSelection(static_cast<int>(entry.size()), static_cast<int>(text.size() - entry.size()));
    }
    emit userChanged();
}

} // namespace korvane
