// Building the main window: every widget at its place, with its look and hint, from the layout
// tables, and the wiring of its events to the handlers.
#include <algorithm>
#include <vector>

#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include "texts/solution_text.h"
#include "ui/condition_box.h"
#include "ui/main_window.h"
#include "ui/name_grid.h"
#include "ui/text.h"

namespace korvane {

namespace {

using namespace layout;

// The window font, "MS Sans Serif" 8 points, or the nearest sans font this system has.
QFont WindowFont(int pixels, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetColour(QWidget* widget, QPalette::ColorRole role, std::uint32_t rgb) {
    QPalette palette = widget->palette();
    palette.setColor(role, QColor::fromRgb(rgb));
    widget->setPalette(palette);
}

void SetGeometry(QWidget* widget, const Rect& r) { widget->setGeometry(r.left, r.top, r.width, r.height); }

QProgressBar* MakeBar(QWidget* parent, const char* name, const Rect& rect) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    SetGeometry(bar, rect);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->hide();
    return bar;
}

} // namespace

TForm1::TForm1(Session& session, Platform& platform, WindowOptions options, QWidget* parent)
    : QWidget(parent), session_(session), platform_(platform), options_(options) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Text(kCaption));
    setWindowIcon(QIcon(Text(kIcon)));
    setFont(WindowFont(kFontPixels));
    // The background has the button face's colour; the roles stay the window's, so that the widgets'
    // own text colours are the ones drawn.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    resize(kClientWidth, kClientHeight);
    // Every widget stands at a fixed place: a smaller window would cut them.
    setMinimumSize(kClientWidth, kClientHeight);

    buildGrid();
    buildConditionRows();
    buildBottomArea();
    setFocusOrder();
    buildShortcuts();
    recorded_ = screenState();
}

void TForm1::buildShortcuts() {
    // Undo and redo of the puzzle wherever the focus is in the window, the boxes' own edit fields
    // included (they leave these keys to the window); a grid cell being edited keeps them for its text.
    const auto shortcut = [this](const QList<QKeySequence>& keys, void (TForm1::*command)()) {
        auto* s = new QShortcut(this);
        s->setKeys(keys);
        connect(s, &QShortcut::activated, this, [this, command] { handle([&] { (this->*command)(); }); });
    };
    shortcut(UndoKeys(), &TForm1::undo);
    shortcut(RedoKeys(), &TForm1::redo);
    // Typing into a box makes one step until the user moves to another widget.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this] { history_.breakTyping(); });
}

// The focus moves while the widgets go: the window no longer hears of it by then.
TForm1::~TForm1() { disconnect(focusWatch_); }

void TForm1::buildGrid() {
    SG1 = new NameGrid(kCategories, kChoices + 1, this);
    SG1->setObjectName(QStringLiteral("SG1"));
    SG1->setGeometry(kGridLeft, kGridTop, kGridWidth, kGridHeight);
    SG1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    SG1->setTabKeyNavigation(false);
    SG1->setCornerButtonEnabled(false);
    SG1->setWordWrap(false);
    SG1->verticalHeader()->hide();
    SG1->verticalHeader()->setMinimumSectionSize(1);
    SG1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // A view's section holds its cell and the grid line after it.
    SG1->verticalHeader()->setDefaultSectionSize(kGridRowHeight + kGridLineWidth);

    // Row 0 is the fixed header row: the header of the view, so that it is neither selected nor edited.
    QHeaderView* header = SG1->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultSectionSize(kGridColumnWidth + kGridLineWidth);
    header->setFixedHeight(kGridRowHeight + kGridLineWidth);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    SetColour(header, QPalette::Button, kYellow);
    QStringList empty;
    for (int c = 0; c <= kChoices; ++c) empty.append(QString());
    SG1->setHorizontalHeaderLabels(empty);
    // A name typed, changed or erased changes what the condition boxes' texts name.
    connect(SG1, &QTableWidget::itemChanged, this, [this] { handle([&] { gridEdited(); }); });
    connect(static_cast<NameGrid*>(SG1), &NameGrid::cellsErased, this, [this] { handle([&] { gridEdited(); }); });
}

void TForm1::buildConditionRows() {
    const QIcon clearPicture(Text(kClearPicture));
    for (int k = 1; k <= kRules; ++k) {
        for (const BoxColumn& column : kBoxColumns) {
            const int n = BoxNumber(column, k);
            auto* b = new ConditionBox(kListEntryHeight, this);
            boxes_[static_cast<std::size_t>(n - 1)] = b;
            b->setObjectName(QStringLiteral("ComboBox%1").arg(n));
            b->setGeometry(column.left, RowTop(k), column.width, kBoxHeight);
            b->setMaxVisibleItems(column.shownEntries);
            if (column.colour != kWindowColour) SetColour(b, QPalette::Base, column.colour);
            b->setHint(column.role == BoxRole::CategoryA ? Text(column.hint) + QString::number(k) : Text(column.hint));
            if (!column.visibleAtStart) b->hide();
            connect(b, &ConditionBox::textTyped, this, [this, n](bool deleting) { handle([&] { boxTyped(n, deleting); }); });
            connect(b, &ConditionBox::userChanged, this, [this, n] { handle([&] { boxChanged(n); }); });
            // A step goes from the entry the text shows, in the list the grid makes now.
            connect(b, &ConditionBox::aboutToStep, this, [this, n] { handle([&] { fillList(n); }); });
            if (IsCategoryRole(column.role) || IsChoiceRole(column.role))
                connect(b, &ConditionBox::aboutToDropDown, this, [this, n] { handle([&] { boxDropDown(n); }); });
        }

        auto* clear = new QPushButton(this);
        clearButtons_[static_cast<std::size_t>(k - 1)] = clear;
        clear->setObjectName(k == 1 ? QStringLiteral("Clear01") : QStringLiteral("BitBtn%1").arg(k + 2));
        clear->setGeometry(kClearButtonLeft, RowTop(k), kClearButtonSize, kClearButtonSize);
        clear->setIcon(clearPicture);
        clear->setIconSize({kClearIconSize, kClearIconSize});
        if (k == 1)
            connect(clear, &QPushButton::clicked, this, [this] { handle([&] { Clear01Click(); }); });
        else
            connect(clear, &QPushButton::clicked, this, [this, k] { handle([&] { ClearConditionRow(k); }); });

        auto* number = new QLabel(QString::number(k), this);
        rowNumbers_[static_cast<std::size_t>(k - 1)] = number;
        number->setObjectName(QStringLiteral("Label%1").arg(k));
        number->setGeometry(kRowLabelLeft, RowTop(k), kRowLabelWidth, kRowLabelHeight);
        number->setAlignment(Qt::AlignRight | Qt::AlignTop);
        number->setFont(WindowFont(kRowLabelPixels, true));
        SetColour(number, QPalette::WindowText, kMaroon);
    }

    for (int c = 1; c <= kCategories; ++c) {
        auto* label = new QLabel(QStringLiteral("Catégorie %1").arg(c), this);
        label->setObjectName(QStringLiteral("Label%1").arg(17 + c));
        // Wider than its place when this system's font is wider than the layout's, so that the
        // number stays readable; the grid leaves room for that.
        const int width = std::min(std::max(kCategoryLabelWidth, label->sizeHint().width()), kGridLeft - kCategoryLabelLeft);
        label->setGeometry(kCategoryLabelLeft, CategoryLabelTop(c), width, kCategoryLabelHeight);
    }
}

// Every matching of a puzzle without conditions: category 1 fixed, the other five in any of their rows.
constexpr std::uint64_t kAllMatchings = std::uint64_t{kRows} * kRows * kRows * kRows * kRows;

void TForm1::buildBottomArea() {
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    SetGeometry(Memo1, kMemo);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setUndoRedoEnabled(false);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LeaveUndoKeysToWindow(Memo1); // it keeps no undo of its own

    Edit1 = new QLineEdit(QStringLiteral("0"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    SetGeometry(Edit1, kCount);
    Edit1->setReadOnly(true);
    Edit1->setFont(WindowFont(kFontPixels, true));
    Edit1->setToolTip(Text(kCountHint));
    SetColour(Edit1, QPalette::Text, kRed);

    Label17 = new QLabel(this);
    Label17->setObjectName(QStringLiteral("Label17"));
    Label17->setFont(WindowFont(kStatusPixels, true));
    // Wider than its place when this system's bold font is wider than the layout's, so that the
    // longest verdict (the congratulation, or the count of a puzzle without conditions) is read whole;
    // nothing stands to its right.
    const QFontMetrics metrics(Label17->font());
    const int verdictWidth = std::max(metrics.horizontalAdvance(Text(VerdictText(1))),
                                      metrics.horizontalAdvance(Text(VerdictText(kAllMatchings))));
    Label17->setGeometry(kStatus.left, kStatus.top,
                         std::clamp(verdictWidth + 2, kStatus.width, kClientWidth - kStatus.left - 4), kStatus.height);
    SetColour(Label17, QPalette::WindowText, kRed);

    Label24 = new QLabel(this);
    Label24->setObjectName(QStringLiteral("Label24"));
    Label24->setFont(WindowFont(kFontPixels, false));
    Label24->setWordWrap(true);
    Label24->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetGeometry(Label24, kIdleNotice);
    SetColour(Label24, QPalette::WindowText, kMaroon);

    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonLayout& def = kButtons[i];
        auto* button = new QPushButton(Text(def.caption), this);
        buttons_[i] = button;
        button->setObjectName(Text(def.name));
        SetGeometry(button, def.rect);
        if (!def.picture.empty()) {
            button->setIcon(QIcon(Text(def.picture)));
            button->setIconSize({def.pictureSize, def.pictureSize});
        }
        if (!def.hint.empty()) button->setToolTip(Text(def.hint));
        if (!def.visible) button->hide();
        connect(button, &QPushButton::clicked, this, [this, command = def.command] { runCommand(command); });
    }

    ProgressBar1 = MakeBar(this, "ProgressBar1", kInnerBar);
    ProgressBar2 = MakeBar(this, "ProgressBar2", kOuterBar);
}

void TForm1::setFocusOrder() {
    auto button = [this](std::string_view name) {
        for (std::size_t i = 0; i < kButtons.size(); ++i)
            if (kButtons[i].name == name) return static_cast<QWidget*>(buttons_[i]);
        Q_UNREACHABLE();
    };
    std::vector<QWidget*> order{box(1), SG1};
    for (int n = 2; n <= 80; ++n) order.push_back(box(n));
    order.push_back(button("BitBtn2"));
    order.push_back(button("BitBtn3"));
    for (QPushButton* clear : clearButtons_) order.push_back(clear);
    order.push_back(button("BitBtn19"));
    order.push_back(Memo1);
    for (std::string_view name : {"BitBtn20", "BitBtn21", "BitBtn22", "BitBtn23", "BitBtn24", "BitBtn25", "BitBtn26"})
        order.push_back(button(name));
    order.push_back(Edit1);
    for (int n = 81; n <= kBoxes; ++n) order.push_back(box(n));
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

} // namespace korvane
