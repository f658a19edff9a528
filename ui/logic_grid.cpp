#include "texts/names.h"
#include "ui/logic_grid.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <bit>

namespace korvane {

namespace {

constexpr int kCell = 15;
constexpr int kGap = 3;        // between two tables
constexpr int kNameWidth = 86; // a choice's name, elided beyond
constexpr int kTitle = 16;     // a category's name over its tables or beside them
constexpr std::array<int, kCategories - 1> kAcross{2, 3, 4, 5, 6};
constexpr std::array<int, kCategories - 1> kDown{1, 6, 5, 4, 3};
constexpr int kBlock = kChoices * kCell + kGap;

QString Name(const std::string& name) { return QString::fromStdString(name); }

} // namespace

LogicGrid::LogicGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LogicGrid"));
    rowHeader_ = kTitle + kNameWidth;
    columnHeader_ = kTitle + kNameWidth;
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LogicGrid::setGrid(const Puzzle& puzzle, const PartnerTable& known) {
    names_ = puzzle;
    known_ = known;
    update();
}

void LogicGrid::setHighlighted(std::vector<Fact> facts) {
    highlighted_ = std::move(facts);
    update();
}

bool LogicGrid::highlighted(int c1, int a, int c2, int b) const {
    const Item x{c1, a}, y{c2, b};
    return std::any_of(highlighted_.begin(), highlighted_.end(),
                       [&](const Fact& f) { return (f.a == x && f.b == y) || (f.a == y && f.b == x); });
}

LogicGrid::Mark LogicGrid::mark(int c1, int a, int c2, int b) const {
    const std::uint8_t mask = known_.at(c1, a, c2);
    if ((mask >> (b - 1) & 1u) == 0) return Mark::Different;
    return std::popcount(mask) == 1 ? Mark::Same : Mark::Open;
}

QSize LogicGrid::sizeHint() const {
    return {rowHeader_ + static_cast<int>(kAcross.size()) * kBlock, columnHeader_ + static_cast<int>(kDown.size()) * kBlock};
}

int LogicGrid::cellLeft(int column) const { return rowHeader_ + column / kChoices * kBlock + column % kChoices * kCell; }
int LogicGrid::cellTop(int row) const { return columnHeader_ + row / kChoices * kBlock + row % kChoices * kCell; }

void LogicGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QFont small = font();
    small.setPixelSize(11);
    p.setFont(small);
    const QFontMetrics metrics(small);
    QFont bold = small;
    bold.setBold(true);

    // The names across: the category over its five columns, the choices turned upwards below it.
    for (std::size_t j = 0; j < kAcross.size(); ++j) {
        const int c = kAcross[j];
        const int left = cellLeft(static_cast<int>(j) * kChoices);
        p.setFont(bold);
        p.drawText(QRect(left, 0, kChoices * kCell, kTitle), Qt::AlignCenter,
                   QFontMetrics(bold).elidedText(Name(CategoryName(names_, c)), Qt::ElideRight, kChoices * kCell));
        p.setFont(small);
        for (int b = 1; b <= kChoices; ++b) {
            p.save();
            p.translate(left + (b - 1) * kCell, columnHeader_ - 2);
            p.rotate(-90);
            p.drawText(QRect(0, 0, kNameWidth, kCell), Qt::AlignLeft | Qt::AlignVCenter,
                       metrics.elidedText(Name(ChoiceName(names_, c, b)), Qt::ElideRight, kNameWidth));
            p.restore();
        }
    }
    // The names down: the category turned upwards beside its five rows, the choices beside it.
    for (std::size_t i = 0; i < kDown.size(); ++i) {
        const int c = kDown[i];
        const int top = cellTop(static_cast<int>(i) * kChoices);
        p.save();
        p.translate(0, top + kChoices * kCell);
        p.rotate(-90);
        p.setFont(bold);
        p.drawText(QRect(0, 0, kChoices * kCell, kTitle), Qt::AlignCenter,
                   QFontMetrics(bold).elidedText(Name(CategoryName(names_, c)), Qt::ElideRight, kChoices * kCell));
        p.restore();
        for (int a = 1; a <= kChoices; ++a)
            p.drawText(QRect(kTitle, top + (a - 1) * kCell, kNameWidth - 2, kCell), Qt::AlignRight | Qt::AlignVCenter,
                       metrics.elidedText(Name(ChoiceName(names_, c, a)), Qt::ElideRight, kNameWidth - 2));
    }

    // The tables: one pair of categories each, staircase to the lower right.
    const QColor open(0xFF, 0xF2, 0x9E), same(0x2E, 0x7D, 0x32), lines(0x80, 0x80, 0x80), highlight(0x15, 0x65, 0xC0);
    for (std::size_t i = 0; i < kDown.size(); ++i)
        for (std::size_t j = 0; j + i < kAcross.size(); ++j) {
            const int c1 = kDown[i], c2 = kAcross[j];
            for (int a = 1; a <= kChoices; ++a)
                for (int b = 1; b <= kChoices; ++b) {
                    const QRect cell(cellLeft(static_cast<int>(j) * kChoices + b - 1),
                                     cellTop(static_cast<int>(i) * kChoices + a - 1), kCell, kCell);
                    switch (mark(c1, a, c2, b)) {
                    case Mark::Same:
                        p.fillRect(cell, Qt::white);
                        p.setBrush(same);
                        p.setPen(Qt::NoPen);
                        p.drawEllipse(cell.adjusted(3, 3, -3, -3));
                        p.setBrush(Qt::NoBrush);
                        break;
                    case Mark::Different:
                        p.fillRect(cell, Qt::white);
                        p.setPen(lines);
                        p.drawText(cell, Qt::AlignCenter, QStringLiteral("×"));
                        break;
                    case Mark::Open:
                        p.fillRect(cell, open);
                        p.setPen(Qt::black);
                        p.drawText(cell, Qt::AlignCenter, QStringLiteral("?"));
                        break;
                    }
                    p.setPen(lines);
                    p.drawRect(cell.adjusted(0, 0, -1, -1));
                    if (highlighted(c1, a, c2, b)) {
                        // The cells the step just set, framed so that they are found at a glance.
                        p.setPen(QPen(highlight, 2));
                        p.drawRect(cell.adjusted(1, 1, -2, -2));
                    }
                }
            p.setPen(Qt::black);
            p.drawRect(QRect(cellLeft(static_cast<int>(j) * kChoices), cellTop(static_cast<int>(i) * kChoices),
                             kChoices * kCell, kChoices * kCell).adjusted(0, 0, -1, -1));
        }
    p.setPen(palette().color(QPalette::WindowText));
}

} // namespace korvane
