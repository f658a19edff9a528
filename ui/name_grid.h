// The name grid SG1: a table whose cells are typed into in place, and where Delete and Backspace empty
// the selected cells, as in a spreadsheet.
#pragma once

#include <QTableWidget>

namespace korvane {

class NameGrid final : public QTableWidget {
    Q_OBJECT

public:
    using QTableWidget::QTableWidget;

signals:
    // Delete or Backspace emptied the selected cells, all at once (no itemChanged for each).
    void cellsErased();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace korvane
