// The main window's handlers: start-up and closing, the condition rows' events (what they do is decided
// in editor/condition_rows.h), the clearing commands and the solve command.
#include "ui/main_window.h"

#include <algorithm>
#include <utility>

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>

#include "core/check.h"
#include "editor/condition_rows.h"
#include "editor/row_reading.h"
#include "engine/search.h"
#include "reasoning/report.h"
#include "texts/explain_text.h"
#include "texts/report_text.h"
#include "texts/solution_text.h"
#include "ui/condition_box.h"
#include "ui/explain_window.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/silent_abort.h"
#include "ui/text.h"
#include "ui/window_search.h"

namespace korvane {

namespace {

using namespace layout;

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

} // namespace


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
        case Command::Explain: BitBtn25Click(); return;
        case Command::NewPuzzle: BitBtn26Click(); return;
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
    const Puzzle blank; // the fixed lists read nothing of it
    for (int k = 1; k <= kRules; ++k) {
        for (BoxRole role : {BoxRole::Relation, BoxRole::Steps, BoxRole::Order})
            box(BoxNumber(role, k))->setEntries(EntriesOf(blank, BoxNumber(role, k)));
    }
}

void TForm1::FormClose() {
    session_.solutionLines.reset();
    if (explainWindow_) explainWindow_->close();
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
    refreshRows();
    const BoxPlace place = PlaceOf(n);
    if (place.role == BoxRole::Relation) ApplyRelationVisibility(place.row, BoxValue(session_.rules, n));
}

void TForm1::boxTyped(int n, bool deleting) {
    typing_ = n;
    // The list is whatever the grid holds now, whether or not it was ever opened.
    const Puzzle screen = puzzleOnScreen();
    const Entries entries = EntriesOf(screen, n);
    ConditionBox* b = box(n);
    b->setEntries(entries);
    const std::string& typed = screen.boxTexts[static_cast<std::size_t>(n - 1)];
    const auto entry = TypedEntry(entries, typed, deleting);
    if (entry && !deleting)
        b->complete(static_cast<int>(*entry), b->currentText().size());
    else
        b->selectKeepingText(entry ? static_cast<int>(*entry) : -1);
}

void TForm1::boxDropDown(int n) {
    if (IsCategoryRole(PlaceOf(n).role))
        FillCategoryList(n);
    else
        FillChoiceList(n);
}

void TForm1::FillCategoryList(int n) { fillList(n); }

void TForm1::FillChoiceList(int n) { fillList(n); }

void TForm1::fillList(int n) {
    const Puzzle screen = puzzleOnScreen();
    const Entries entries = EntriesOf(screen, n);
    box(n)->setEntries(entries);
    const auto shown = EntryShown(entries, screen.boxTexts[static_cast<std::size_t>(n - 1)]);
    box(n)->selectKeepingText(shown ? static_cast<int>(*shown) : -1);
}

void TForm1::ApplyRelationVisibility(int k, std::int32_t v) {
    const std::optional<ExtraBoxes> shown = ExtraBoxesFor(v);
    if (!shown) return;
    box(BoxNumber(BoxRole::Steps, k))->setVisible(shown->steps);
    box(BoxNumber(BoxRole::Order, k))->setVisible(shown->order);
}

void TForm1::showExtraBoxes(int k) {
    box(BoxNumber(BoxRole::Steps, k))->hide();
    box(BoxNumber(BoxRole::Order, k))->hide();
    ApplyRelationVisibility(k, session_.rules[k].relation);
}

void TForm1::ClearConditionRow(int k) {
    for (BoxRole role : kClearOrder) box(BoxNumber(role, k))->setTextSilently(QString());
    box(BoxNumber(BoxRole::Steps, k))->hide();
    box(BoxNumber(BoxRole::Order, k))->hide();
    refreshRows();
}

void TForm1::Clear01Click() { ClearConditionRow(1); }

void TForm1::BitBtn20Click() {
    for (int k = 1; k <= kRules; ++k) ClearConditionRow(k);
}

void TForm1::refreshRows() {
    Puzzle screen = puzzleOnScreen();
    screen.rules = RuleTable{}; // not read: the rows are what the names and texts say
    const bool changed = !(screen == lastRead_);
    lastRead_ = screen;
    const RowsReading reading = ReadRows(screen);
    session_.rules = reading.values;
    if (session_.searching && !(reading.stated == session_.stated)) session_.rowsChangedDuringSearch = true;
    session_.stated = reading.stated; // in place: a running search reads it from its next check on
    for (int k = 1; k <= kRules; ++k) {
        const RowReading& row = reading.row(k);
        for (const BoxRoleInfo& info : kBoxRoleTable) {
            const auto note = std::find_if(row.notes.begin(), row.notes.end(),
                                           [&](const BoxNote& n) { return n.role == info.role; });
            box(BoxNumber(info.role, k))->setProblem(note == row.notes.end() ? QString() : QString::fromStdString(note->why));
        }
    }
    if (changed) emit rowsEdited();
}

void TForm1::gridEdited() {
    Puzzle before;
    before.names = lastRead_.names;
    before.boxTexts = boxTexts();
    for (int column = 0; column <= kChoices; ++column)
        for (int row = 1; row <= kCategories; ++row) {
            const std::string now = cell(column, row).toStdString();
            if (now == before.name(column, row)) continue;
            for (const int n : BoxesFollowingRename(before, column, row, now)) {
                box(n)->setTextSilently(QString::fromStdString(now));
                before.boxTexts[static_cast<std::size_t>(n - 1)] = now;
            }
            before.name(column, row) = now;
        }
    refreshRows();
}

void TForm1::showIdleRows() {
    Puzzle screen = puzzleOnScreen();
    const RowsReading reading = ReadRows(screen);
    const std::vector<IdleRow> idle = IdleRows(reading, screen);
    QStringList lines;
    for (const IdleRow& row : idle) lines.append(QString::fromStdString(row.line));
    Label24->setText(QString::fromStdString(IdleRowsNotice(idle)));
    Label24->setToolTip(lines.join(QLatin1Char('\n')));
}

std::array<std::string, kBoxes> TForm1::boxTexts() const {
    std::array<std::string, kBoxes> texts;
    for (int n = 1; n <= kBoxes; ++n) texts[static_cast<std::size_t>(n - 1)] = box(n)->currentText().toStdString();
    return texts;
}

// ---- Undo -------------------------------------------------------------------------------------------

ScreenState TForm1::screenState() const {
    ScreenState state;
    for (int column = 0; column <= kChoices; ++column)
        for (int row = 1; row <= kCategories; ++row)
            state.names[static_cast<std::size_t>(column * kCategories + row - 1)] = cell(column, row).toStdString();
    state.boxTexts = boxTexts();
    for (int k = 1; k <= kRules; ++k) {
        state.extraShown[static_cast<std::size_t>(k - 1)] = !box(BoxNumber(BoxRole::Steps, k))->isHidden();
        state.extraShown[static_cast<std::size_t>(kRules + k - 1)] = !box(BoxNumber(BoxRole::Order, k))->isHidden();
    }
    state.caption = windowTitle().toStdString();
    return state;
}

void TForm1::showScreenState(const ScreenState& state) {
    {
        const QSignalBlocker quiet(SG1);
        for (int column = 0; column <= kChoices; ++column)
            for (int row = 1; row <= kCategories; ++row)
                setCell(column, row, QString::fromStdString(state.names[static_cast<std::size_t>(column * kCategories + row - 1)]));
    }
    for (int n = 1; n <= kBoxes; ++n) {
        const QString text = QString::fromStdString(state.boxTexts[static_cast<std::size_t>(n - 1)]);
        if (box(n)->currentText() != text) box(n)->setTextSilently(text);
    }
    for (int k = 1; k <= kRules; ++k) {
        box(BoxNumber(BoxRole::Steps, k))->setVisible(state.extraShown[static_cast<std::size_t>(k - 1)]);
        box(BoxNumber(BoxRole::Order, k))->setVisible(state.extraShown[static_cast<std::size_t>(kRules + k - 1)]);
    }
    setWindowTitle(QString::fromStdString(state.caption));
    // "Ctrl+Z rend les lignes d'avant" no longer holds once the puzzle it announced is undone or redone.
    if (!newPuzzleNotice_.isEmpty() && Label24->text() == newPuzzleNotice_) Label24->clear();
    newPuzzleNotice_.clear();
    refreshRows();
    recorded_ = state;
}

void TForm1::noteEdit() {
    ScreenState now = screenState();
    history_.record(recorded_, now, std::exchange(typing_, 0));
    recorded_ = std::move(now);
}

void TForm1::startHistoryHere() {
    history_ = EditHistory();
    recorded_ = screenState();
}

void TForm1::undo() {
    noteEdit(); // an edit not recorded yet comes first
    if (const auto state = history_.undo(recorded_)) showScreenState(*state);
}

void TForm1::redo() {
    noteEdit();
    if (const auto state = history_.redo(recorded_)) showScreenState(*state);
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
    Label24->clear();
    Label24->setToolTip(QString());
    drawAttentionToExplain(false);
    ShowCount(Edit1, 0);
    // The rows as they show now, tidied: empty boxes state nothing, incomplete rows no condition.
    refreshRows();
    session_.rowsChangedDuringSearch = false;
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
    const SearchResult result = Search(session_.stated, observer, searchOptions);
    // The last solutions go in with pumps as well: "Abandon" pressed meanwhile still abandons.
    const bool finished = result.outcome != SearchOutcome::Aborted && observer.finish(result.count);
    if (session_.closing) throw SilentAbort(); // the window is gone: nothing more to show
    if (std::exchange(session_.explainAfterSearch, false))
        QMetaObject::invokeMethod(this, [this] { runCommand(Command::Explain); }, Qt::QueuedConnection);

    if (!finished) AbandonSearch();
    if (result.count > result.listed) Memo1->appendPlainText(UnlistedLine(result.count - result.listed, options_.listLimit));
    if (session_.rowsChangedDuringSearch) {
        // The search read the rows afresh at every check: what it counted holds for no one set of rows.
        ProgressBar1->hide();
        ProgressBar2->hide();
        Label17->setText(QStringLiteral("Lignes modifiées pendant la recherche"));
        Label24->setText(QStringLiteral("Ce nombre ne vaut ni pour les lignes d'avant ni pour celles d'après : "
                                        "appuyez de nouveau sur «\u00A0soluce\u00A0»."));
        drawAttentionToExplain(false);
        platform_.beep();
        return;
    }
    showIdleRows();
    if (result.outcome == SearchOutcome::RuleError) {
        // The bars stay shown and nothing sounds: the solve ends on the message.
        drawAttentionToExplain(true);
        platform_.notice(ruleErrorText(result));
        throw SilentAbort();
    }
    ProgressBar1->hide();
    ProgressBar2->hide();
    Label17->setText(Text(VerdictText(result.count)));
    drawAttentionToExplain(result.count == 0);
    platform_.beep();
}

QString TForm1::ruleErrorText(const SearchResult& result) const {
    QString text = Text(result.errorText);
    // The search stopped at the first malformed row of the rules it read: say which of its boxes is at
    // fault, as the explanation would.
    Puzzle screen = puzzleOnScreen();
    screen.rules = session_.stated;
    const MalformedRow malformed = StatedRows(screen.rules).malformed;
    if (malformed.row != result.errorRule) return text;
    text += QLatin1Char('\n');
    for (const std::string& line : MalformedRowLines(malformed, screen)) text += QLatin1Char('\n') + QString::fromStdString(line);
    return text;
}

// ---- Explanation ------------------------------------------------------------------------------------

void TForm1::BitBtn25Click() {
    if (session_.searching) {
        // Explaining solves the rows again: it waits for the search, which says so in the meantime.
        session_.explainAfterSearch = true;
        Label24->setText(QStringLiteral("« Pourquoi ? » : l'explication s'ouvrira à la fin de la recherche."));
        return;
    }
    drawAttentionToExplain(false);
    if (!explainWindow_) {
        explainWindow_ = new ExplainWindow(platform_, this);
        connect(explainWindow_, &ExplainWindow::rowsHighlighted, this, [this](const QList<int>& rows) { highlightRows(rows); });
        connect(explainWindow_, &ExplainWindow::refreshRequested, this, [this] { handle([&] { explain(); }); });
        connect(this, &TForm1::rowsEdited, explainWindow_, &ExplainWindow::markStale);
        // A suggestion put in, or the superfluous rows taken away, is one edit to undo; the explanation
        // then follows the rows.
        connect(explainWindow_, &ExplainWindow::rowSuggested, this, [this](int k, const Rule& rule) {
            handle([&] {
                putRow(k, rule);
                explain();
            });
        });
        connect(explainWindow_, &ExplainWindow::undoRequested, this, [this] { handle([&] { undo(); }); });
        connect(explainWindow_, &ExplainWindow::redoRequested, this, [this] { handle([&] { redo(); }); });
        connect(explainWindow_, &ExplainWindow::rowsKept, this, [this](const QList<int>& kept) {
            handle([&] {
                for (int k = 1; k <= kRules; ++k)
                    if (session_.stated[k].relation != 0 && !kept.contains(k)) ClearConditionRow(k);
                explain();
            });
        });
    }
    explain();
    explainWindow_->present();
}

void TForm1::explain() {
    if (session_.searching) return;
    Puzzle puzzle = puzzleOnScreen();
    // Explained as "soluce" would search them.
    const RowsReading reading = ReadRows(puzzle);
    puzzle.rules = reading.stated;
    Report report = MakeReport(puzzle.rules);
    for (IdleRow& row : IdleRows(reading, puzzle)) report.idleLines.push_back(std::move(row.line));
    explainWindow_->showReport(puzzle, std::move(report));
}

void TForm1::highlightRows(const QList<int>& rows) {
    for (int k = 1; k <= kRules; ++k) {
        QLabel* number = rowNumbers_[static_cast<std::size_t>(k - 1)];
        const bool marked = rows.contains(k);
        if (number->autoFillBackground() == marked) continue;
        QPalette palette = number->palette();
        palette.setColor(QPalette::Window, marked ? QColor::fromRgb(kYellow) : this->palette().color(QPalette::Window));
        palette.setColor(QPalette::WindowText, QColor::fromRgb(marked ? kRed : kMaroon));
        number->setPalette(palette);
        number->setAutoFillBackground(marked);
    }
}

void TForm1::drawAttentionToExplain(bool on) {
    QPushButton* why = findChild<QPushButton*>(QStringLiteral("BitBtn25"));
    QFont font = why->font();
    if (font.bold() == on) return;
    font.setBold(on);
    why->setFont(font);
    QPalette palette = why->palette();
    palette.setColor(QPalette::ButtonText, on ? QColor::fromRgb(kRed) : this->palette().color(QPalette::ButtonText));
    why->setPalette(palette);
}

void TForm1::BitBtn24Click() { session_.abortRequested = true; }

void TForm1::AbandonSearch() {
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
        bar->setValue(0);
        bar->hide();
    }
    Memo1->clear();
    ShowCount(Edit1, 0);
    platform_.pump();
    throw SilentAbort();
}

} // namespace korvane
