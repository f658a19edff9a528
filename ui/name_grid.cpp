#include "ui/name_grid.h"

#include <QKeyEvent>

namespace korvane {

void NameGrid::keyPressEvent(QKeyEvent* event) {
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (!erase || state() == QAbstractItemView::EditingState || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    for (QTableWidgetItem* item : selectedItems()) item->setText(QString());
    event->accept();
}

} // namespace korvane
