#include "ui/name_grid.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace korvane {

void NameGrid::keyPressEvent(QKeyEvent* event) {
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (!erase || state() == QAbstractItemView::EditingState || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    {
        const QSignalBlocker quiet(this);
        for (QTableWidgetItem* item : selectedItems()) item->setText(QString());
    }
    viewport()->update();
    emit cellsErased();
    event->accept();
}

} // namespace korvane
