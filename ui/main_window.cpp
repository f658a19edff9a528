// The main window: building every widget from the layout tables, the condition rows' handlers, the
// clearing commands and the solve command.
#include "ui/main_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTableWidget>

#include "core/relations.h"
#include "core/search.h"
#include "core/solution_text.h"
#include "editor/normalise.h"
#include "ui/condition_box.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/silent_abort.h"
#include "ui/window_search.h"

namespace korvane {

namespace {

using namespace layout;

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

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

// Splits comma-separated text as the grid's row setter does: pieces between commas, a piece in double
// quotes taken without them (a comma inside quotes belongs to the piece).
QStringList SplitCommaText(const QString& text) {
    QStringList pieces;
    QString piece;
    bool quoted = false;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (ch == QLatin1Char(',') && !quoted) {
            pieces.append(piece);
            piece.clear();
        } else {
            piece += ch;
        }
    }
    pieces.append(piece);
    return pieces;
}

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

    buildGrid();
    buildConditionRows();
    buildBottomArea();
    setFocusOrder();
}

TForm1::~TForm1() = default;

template <class Handler>
void TForm1::handle(Handler&& handler) {
    RunHandler(platform_, std::forward<Handler>(handler));
}

// ---- Building ---------------------------------------------------------------------------------------

void TForm1::buildGrid() {
    SG1 = new QTableWidget(kCategories, kChoices + 1, this);
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
            if (column.role == BoxRole::CategoryA)
                b->setToolTip(Text(column.hint) + QString::number(k));
            else if (!column.hint.empty())
                b->setToolTip(Text(column.hint));
            if (!column.visibleAtStart) b->hide();
            connect(b, &ConditionBox::userChanged, this, [this, n] { handle([&] { boxChanged(n); }); });
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
        number->setObjectName(QStringLiteral("Label%1").arg(k));
        number->setGeometry(kRowLabelLeft, RowTop(k), kRowLabelWidth, kRowLabelHeight);
        number->setAlignment(Qt::AlignRight | Qt::AlignTop);
        number->setFont(WindowFont(kRowLabelPixels, true));
        SetColour(number, QPalette::WindowText, kMaroon);
    }

    for (int c = 1; c <= kCategories; ++c) {
        auto* label = new QLabel(QStringLiteral("Catégorie %1").arg(c), this);
        label->setObjectName(QStringLiteral("Label%1").arg(17 + c));
        // Wider than its place when this system's font is wider than the original one, so that the
        // number stays readable; the grid leaves room for that.
        const int width = std::min(std::max(kCategoryLabelWidth, label->sizeHint().width()), kGridLeft - kCategoryLabelLeft);
        label->setGeometry(kCategoryLabelLeft, CategoryLabelTop(c), width, kCategoryLabelHeight);
    }
}

void TForm1::buildBottomArea() {
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    SetGeometry(Memo1, kMemo);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setUndoRedoEnabled(false);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Edit1 = new QLineEdit(QStringLiteral("0"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    SetGeometry(Edit1, kCount);
    Edit1->setReadOnly(true);
    Edit1->setFont(WindowFont(kFontPixels, true));
    Edit1->setToolTip(Text(kCountHint));
    SetColour(Edit1, QPalette::Text, kRed);

    Label17 = new QLabel(this);
    Label17->setObjectName(QStringLiteral("Label17"));
    SetGeometry(Label17, kStatus);
    Label17->setFont(WindowFont(kStatusPixels, true));
    SetColour(Label17, QPalette::WindowText, kRed);

    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonSpec& def = kButtons[i];
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
    for (std::string_view name : {"BitBtn20", "BitBtn21", "BitBtn22", "BitBtn23", "BitBtn24"})
        order.push_back(button(name));
    order.push_back(Edit1);
    for (int n = 81; n <= kBoxes; ++n) order.push_back(box(n));
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void TForm1::runCommand(Command command) {
    handle([&] {
        switch (command) {
        case Command::Solve: BitBtn19Click(); return;
        case Command::Abandon: BitBtn24Click(); return;
        case Command::ClearAll: BitBtn20Click(); return;
        case Command::LoadPuzzle: BitBtn23Click(); return;
        case Command::SavePuzzle: BitBtn22Click(); return;
        case Command::Test: BitBtn2Click(); return;
        case Command::SaveSolution: BitBtn3Click(); return;
        case Command::Copy: BitBtn21Click(); return;
        }
        Q_UNREACHABLE();
    });
}

// ---- Window events ----------------------------------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    handle([&] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    handle([&] { FormClose(); });
    event->accept();
}

void TForm1::FormShow() {
    const QStringList header = SplitCommaText(Text(kGridHeader));
    for (int c = 0; c < header.size() && c <= kChoices; ++c) SG1->horizontalHeaderItem(c)->setText(header[c]);
    for (int k = 1; k <= kRules; ++k) {
        for (const RelationInfo& relation : Relations()) box(BoxNumber(BoxRole::Relation, k))->appendEntry(Text(relation.listText));
        for (int steps = 1; steps <= 4; ++steps) box(BoxNumber(BoxRole::Steps, k))->appendEntry(QString::number(steps));
        for (int c = 1; c <= kCategories; ++c) box(BoxNumber(BoxRole::Order, k))->appendEntry(QString::number(c));
    }
}

void TForm1::FormClose() {
    session_.solutionLines.reset();
    if (session_.searching) {
        // The running search ends at its next poll and the program with it.
        session_.closing = true;
        session_.abortRequested = true;
    }
}

// ---- Grid -------------------------------------------------------------------------------------------

QString TForm1::cell(int column, int row) const {
    if (row == 0) return SG1->horizontalHeaderItem(column)->text();
    const QTableWidgetItem* item = SG1->item(row - 1, column);
    return item ? item->text() : QString();
}

void TForm1::setCell(int column, int row, const QString& text) {
    if (row == 0) {
        SG1->horizontalHeaderItem(column)->setText(text);
    } else if (QTableWidgetItem* item = SG1->item(row - 1, column)) {
        item->setText(text);
    } else {
        SG1->setItem(row - 1, column, new QTableWidgetItem(text));
    }
}

// ---- Condition rows ---------------------------------------------------------------------------------

void TForm1::boxChanged(int n) {
    StoreSelection(box(n), n);
    const BoxPlace place = PlaceOf(n);
    if (place.role == BoxRole::Relation) ApplyRelationVisibility(place.row, session_.rules.value(n));
}

void TForm1::boxDropDown(int n) {
    const BoxPlace place = PlaceOf(n);
    const BoxColumn& column = Column(place.role);
    ConditionBox* partner = box(BoxNumber(kBoxColumns[static_cast<std::size_t>(column.partner)], place.row));
    if (IsCategoryRole(place.role))
        FillCategoryList(box(n), partner);
    else
        FillChoiceList(box(n), partner);
}

void TForm1::FillCategoryList(ConditionBox* categoryBox, ConditionBox* choiceBox) {
    categoryBox->clearSilently();
    choiceBox->clearSilently();
    for (int r = 1; r <= kCategories; ++r) {
        const QString name = cell(0, r);
        if (!name.isEmpty()) categoryBox->appendEntry(name, r);
    }
}

void TForm1::FillChoiceList(ConditionBox* choiceBox, const ConditionBox* categoryBox) {
    choiceBox->clearSilently();
    const QString category = categoryBox->currentText();
    for (int r = 1; r <= kCategories; ++r) {
        if (QString::localeAwareCompare(category, cell(0, r)) != 0) continue;
        for (int c = 1; c <= kChoices; ++c) {
            const QString name = cell(c, r);
            if (!name.isEmpty()) choiceBox->appendEntry(name, c);
        }
        return;
    }
}

void TForm1::StoreSelection(const ConditionBox* box, int n) {
    const int index = box->currentIndex();
    std::int32_t value = 0;
    if (index >= 0) {
        const QVariant gridPlace = box->itemData(index);
        value = gridPlace.isValid() ? gridPlace.toInt() : index + 1;
    }
    session_.rules.value(n) = value;
}

void TForm1::ApplyRelationVisibility(int k, std::int32_t v) {
    const RelationInfo* relation = FindRelation(v);
    if (!relation) return;
    box(BoxNumber(BoxRole::Steps, k))->setVisible(relation->usesSteps);
    box(BoxNumber(BoxRole::Order, k))->setVisible(relation->usesOrder);
}

void TForm1::ClearConditionRow(int k) {
    for (BoxRole role : kClearOrder) box(BoxNumber(role, k))->setTextSilently(QString());
    box(BoxNumber(BoxRole::Steps, k))->hide();
    box(BoxNumber(BoxRole::Order, k))->hide();
    session_.rules[k] = Rule{};
}

void TForm1::Clear01Click() { ClearConditionRow(1); }

void TForm1::BitBtn20Click() {
    for (int k = 1; k <= kRules; ++k) ClearConditionRow(k);
}

void TForm1::ResetRuleTable() { session_.rules = RuleTable{}; }

std::array<std::string, kBoxes> TForm1::boxTexts() const {
    std::array<std::string, kBoxes> texts;
    for (int n = 1; n <= kBoxes; ++n) texts[static_cast<std::size_t>(n - 1)] = box(n)->currentText().toStdString();
    return texts;
}

// ---- Solve ------------------------------------------------------------------------------------------

void TForm1::BitBtn19Click() {
    // One search at a time: a press while one runs (handled during its pumps) is ignored.
    if (session_.searching) return;
    session_.searching = true;
    const auto searchEnded = qScopeGuard([this] { session_.searching = false; });

    ChoiceNames names;
    for (int c = 1; c <= kCategories; ++c)
        for (int k = 1; k <= kChoices; ++k)
            names[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)] = cell(k, c).toStdString();
    Memo1->clear();
    // The solutions are the program's text, not edits to undo; keeping no undo record of them also
    // halves the time they take to reach the box.
    Memo1->setUndoRedoEnabled(false);
    const auto undoBack = qScopeGuard([this] { Memo1->setUndoRedoEnabled(true); });
    Label17->clear();
    Edit1->setText(QStringLiteral("0"));
    ClearEmptyRuleFields(session_.rules, boxTexts());
    platform_.pump();
    if (session_.closing) throw SilentAbort();
    session_.abortRequested = false;
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
        bar->show();
        bar->setValue(0);
    }

    WindowSearch observer({Memo1, Edit1, ProgressBar1, ProgressBar2}, platform_, session_, std::move(names),
                          options_.pumpInterval);
    SearchOptions searchOptions;
    searchOptions.listLimit = options_.listLimit;
    const SearchResult result = Search(session_.rules, observer, searchOptions);
    if (session_.closing) throw SilentAbort(); // the window is gone: nothing more to show

    if (result.outcome == SearchOutcome::Aborted) AbandonSearch();
    observer.solutionsCounted(result.count);
    observer.flush();
    if (result.count > result.listed) Memo1->appendPlainText(UnlistedLine(result.count - result.listed, options_.listLimit));
    if (result.outcome == SearchOutcome::RuleError) {
        // The bars stay shown and nothing sounds: the solve ends on the message.
        platform_.notice(Text(result.errorText));
        throw SilentAbort();
    }
    ProgressBar1->hide();
    ProgressBar2->hide();
    Label17->setText(Text(VerdictText(result.count)));
    platform_.beep();
}

void TForm1::BitBtn24Click() { session_.abortRequested = true; }

void TForm1::AbandonSearch() {
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
        bar->setValue(0);
        bar->hide();
    }
    Memo1->clear();
    Edit1->setText(QStringLiteral("0"));
    platform_.pump();
    throw SilentAbort();
}

} // namespace korvane
