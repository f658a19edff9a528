// The condition box: lists and completions set by the window, change events only for the user's own
// actions, a red mark for a text that states nothing.
#include "ui/condition_box.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QWheelEvent>

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

bool IsStepKey(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
           key == Qt::Key_Home || key == Qt::Key_End;
}

QList<QKeySequence> WithKeys(QKeySequence::StandardKey standard, std::initializer_list<QKeySequence> more) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    for (const QKeySequence& key : more)
        if (!keys.contains(key)) keys.append(key);
    return keys;
}

} // namespace

QList<QKeySequence> UndoKeys() { return WithKeys(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}); }
QList<QKeySequence> RedoKeys() {
    return WithKeys(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
}

ConditionBox::ConditionBox(int entryHeight, QWidget* parent) : QComboBox(parent), entryHeight_(entryHeight) {
    // An edit field of our own makes the box editable without building its list window now; that
    // waits for the first opening, which keeps the start of the program quick.
    setLineEdit(new QLineEdit(this));
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // completion is the window's, which also selects the entry
    // A wheel turn over a box the user is not working in scrolls nothing and changes nothing.
    setFocusPolicy(Qt::StrongFocus);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &ConditionBox::onTextEdited);
    connect(this, &QComboBox::activated, this, &ConditionBox::userChanged);
}

void ConditionBox::setTextSilently(const QString& text) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    setEditText(text);
    lineEdit()->setCursorPosition(0); // a text longer than the box shows its start
}

void ConditionBox::appendEntry(const QString& text, int value) {
    const int index = currentIndex();
    const QString shown = currentText();
    const QSignalBlocker blocker(this);
    addItem(text, value);
    // A box whose list was empty selects its first entry when one arrives; undo that.
    if (currentIndex() != index) {
        setCurrentIndex(index);
        setEditText(shown);
    }
}

void ConditionBox::setEntries(const Entries& entries) {
    bool same = count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < count(); ++i) {
        const Entry& e = entries[static_cast<std::size_t>(i)];
        same = itemData(i).toInt() == e.value && itemText(i) == QString::fromStdString(e.text);
    }
    if (same) return;
    const QString shown = currentText();
    const int cursor = lineEdit()->cursorPosition();
    const QSignalBlocker blocker(this);
    clear();
    for (const Entry& e : entries) appendEntry(QString::fromStdString(e.text), e.value);
    setCurrentIndex(-1);
    lineEdit()->setText(shown);
    lineEdit()->setCursorPosition(cursor);
}

void ConditionBox::selectKeepingText(int index) {
    const QString shown = lineEdit()->text();
    const int cursor = lineEdit()->cursorPosition();
    const QSignalBlocker blocker(this);
    setCurrentIndex(index); // also replaces the edit field's text, which is put back at once
    lineEdit()->setText(shown);
    lineEdit()->setCursorPosition(cursor);
}

void ConditionBox::complete(int index, qsizetype typedLength) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
    const QString entry = itemText(index);
    lineEdit()->setText(entry);
    lineEdit()->setSelection(static_cast<int>(entry.size()), static_cast<int>(typedLength - entry.size()));
}

int ConditionBox::selectedValue() const { return currentIndex() < 0 ? 0 : itemData(currentIndex()).toInt(); }

void ConditionBox::setHint(const QString& hint) {
    hint_ = hint;
    if (!marked_) setToolTip(hint);
}

void ConditionBox::setProblem(const QString& problem) {
    const bool mark = !problem.isEmpty();
    // An empty box has no text to colour: its field is tinted instead.
    const bool tint = mark && currentText().isEmpty();
    if (mark == marked_ && tint == tinted_ && (!mark || toolTip() == problem)) return;
    marked_ = mark;
    tinted_ = tint;
    setToolTip(mark ? problem : hint_);
    // Only the text's colour, or an empty field's background, is the edit field's own; the rest of its
    // palette stays the box's.
    QPalette palette;
    if (mark) palette.setColor(QPalette::Text, Qt::red);
    if (tint) palette.setColor(QPalette::Base, QColor(0xFF, 0xC8, 0xC8));
    lineEdit()->setPalette(palette);
}

void ConditionBox::showPopup() {
    if (!listBuilt_) {
        setItemDelegate(new FixedHeightDelegate(entryHeight_, this));
        listBuilt_ = true;
    }
    emit aboutToDropDown();
    QComboBox::showPopup();
}

void ConditionBox::noteKey(const QKeyEvent* event) {
    const int key = event->key();
    deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    if (IsStepKey(key) && !(event->modifiers() & Qt::AltModifier)) emit aboutToStep();
}

bool ConditionBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        if (acceptOnEnter(static_cast<QKeyEvent*>(event))) return true;
        noteKey(static_cast<QKeyEvent*>(event));
    }
    return QComboBox::eventFilter(watched, event);
}

namespace {

// Whether `event` offers an undo or redo key to a text field, which is then left to the window.
bool IsUndoOverride(QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    return UndoKeys().contains(pressed) || RedoKeys().contains(pressed);
}

class UndoKeysToWindow final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsUndoOverride(event)) return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }
};

} // namespace

void LeaveUndoKeysToWindow(QWidget* widget) { widget->installEventFilter(new UndoKeysToWindow(widget)); }

bool ConditionBox::event(QEvent* event) {
    // Undo and redo are the window's, for the whole puzzle, not the edit field's for its text.
    if (IsUndoOverride(event)) {
        event->ignore();
        return true;
    }
    return QComboBox::event(event);
}

bool ConditionBox::acceptOnEnter(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || view()->isVisible()) return false;
    // Enter accepts what the box shows, its completion included, and moves on, as Tab does.
    lineEdit()->deselect();
    focusNextChild();
    event->accept();
    return true;
}

void ConditionBox::keyPressEvent(QKeyEvent* event) {
    if (acceptOnEnter(event)) return;
    noteKey(event);
    QComboBox::keyPressEvent(event);
}

void ConditionBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore(); // on to the window, which has no use for it
        return;
    }
    emit aboutToStep();
    QComboBox::wheelEvent(event);
}

void ConditionBox::onTextEdited() {
    emit textTyped(std::exchange(deleting_, false));
    emit userChanged();
}

} // namespace korvane
