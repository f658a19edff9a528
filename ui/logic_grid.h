// The logic grid of a puzzle: for each pair of categories a small table of their choices' names, each
// cell telling whether the two choices share a slot, do not, or are still open. Drawn as a staircase:
// categories 2..6 across, categories 1, 6, 5, 4, 3 down, so that every pair appears once.
#pragma once

#include <QWidget>

#include <vector>

#include "core/model.h"
#include "reasoning/deduce.h"
#include "reasoning/explain.h"

namespace korvane {

class LogicGrid final : public QWidget {
    Q_OBJECT

public:
    enum class Mark { Same, Different, Open };

    explicit LogicGrid(QWidget* parent = nullptr);

    // The names of `puzzle`'s grid and the partners each choice may still have.
    void setGrid(const Puzzle& puzzle, const PartnerTable& known);
    const PartnerTable& known() const { return known_; }
    // Frames the cells of `facts` (a step's), until the next call; none for an empty list.
    void setHighlighted(std::vector<Fact> facts);
    bool highlighted(int c1, int a, int c2, int b) const;
    // Whether choice a of category c1 shares a slot with choice b of category c2, as the cell shows it.
    Mark mark(int c1, int a, int c2, int b) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int cellLeft(int column) const;
    int cellTop(int row) const;

    Puzzle names_;
    PartnerTable known_;
    std::vector<Fact> highlighted_;
    int rowHeader_ = 0;    // width of the names down the left
    int columnHeader_ = 0; // height of the names across the top
};

} // namespace korvane
