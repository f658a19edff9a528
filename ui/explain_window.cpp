#include "ui/explain_window.h"

#include <algorithm>

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QHideEvent>
#include <QKeyEvent>

#include "maker/suggest_text.h"
#include "texts/explain_text.h"
#include "texts/report_text.h"
#include "texts/step_text.h"
#include "ui/condition_box.h"
#include "ui/logic_grid.h"
#include "ui/platform.h"

namespace korvane {

namespace {

QString Joined(std::vector<std::string>::const_iterator begin, std::vector<std::string>::const_iterator end) {
    QStringList lines;
    for (auto it = begin; it != end; ++it) lines.append(QString::fromStdString(*it));
    return lines.join(QLatin1Char('\n'));
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& hint = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Where the explanation first opens: beside the main window, on its right or its left, so that the row
// numbers it marks stay in sight. With no room on either side the main window moves to the screen's
// left edge when that makes room; else the explanation overlaps the main window but not its numbers.
QPoint PlaceBeside(QWidget* owner, const QRect& area, const QSize& frame) {
    constexpr int kRowNumbersRight = 48; // the numbers of the condition rows end there in the main window
    QRect main = owner->frameGeometry();
    if (main.right() + frame.width() > area.right() && main.left() - frame.width() < area.left() &&
        main.width() + frame.width() <= area.width()) {
        owner->move(owner->pos() + QPoint(area.left() - main.left(), 0));
        main = owner->frameGeometry();
    }
    if (main.right() + frame.width() <= area.right()) return {main.right() + 1, main.top()};
    if (main.left() - frame.width() >= area.left()) return {main.left() - frame.width(), main.top()};
    return {std::max(area.right() + 1 - frame.width(), main.left() + kRowNumbersRight), main.top()};
}

} // namespace

ExplainWindow::ExplainWindow(Platform& platform, QWidget* parent) : QWidget(parent, Qt::Window), platform_(platform) {
    setObjectName(QStringLiteral("ExplainForm"));
    setWindowTitle(QStringLiteral("Explication"));

    verdict_ = MakeLabel(this, "VerdictLabel");
    QFont big = verdict_->font();
    big.setPixelSize(14);
    big.setBold(true);
    verdict_->setFont(big);
    staleNote_ = MakeLabel(this, "StaleLabel");
    staleNote_->setText(QStringLiteral("Les lignes ou la grille ont changé : cette explication n'est plus à jour."));
    QPalette red = staleNote_->palette();
    red.setColor(QPalette::WindowText, QColor(0xC0, 0, 0));
    staleNote_->setPalette(red);
    refresh_ = MakeButton(this, "RefreshButton", QStringLiteral("Actualiser"), QStringLiteral("Expliquer les lignes telles qu'elles sont"));
    explanation_ = MakeLabel(this, "ExplanationText");
    grid_ = new LogicGrid(this);
    gridCaption_ = MakeLabel(this, "GridCaption");
    steps_ = new QListWidget(this);
    steps_->setObjectName(QStringLiteral("StepList"));
    steps_->setWordWrap(true);
    steps_->setResizeMode(QListView::Adjust);
    steps_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    steps_->setMinimumWidth(320);
    progress_ = MakeLabel(this, "StepCount");
    grade_ = MakeLabel(this, "GradeLabel");
    hint_ = MakeButton(this, "HintButton", QStringLiteral("Indice"), QStringLiteral("Montrer l'étape suivante seulement"));
    all_ = MakeButton(this, "AllStepsButton", QStringLiteral("Toutes les étapes"));
    auto* copyButton = MakeButton(this, "CopyButton", QStringLiteral("Copier"),
                                  QStringLiteral("Copier l'explication et les étapes montrées dans le presse-papier"));
    auto* closeButton = MakeButton(this, "CloseButton", QStringLiteral("Fermer"));
    suggestHeading_ = MakeLabel(this, "SuggestHeading");
    // Up to ten suggestions, of which five show at a time: the grid and the steps keep their room.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("SuggestionArea"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    suggestions_ = new QWidget(scroll);
    suggestions_->setObjectName(QStringLiteral("Suggestions"));
    suggestionRows_ = new QGridLayout(suggestions_);
    suggestionRows_->setContentsMargins(0, 0, 0, 0);
    suggestionRows_->setVerticalSpacing(2);
    suggestionRows_->setColumnStretch(0, 1);
    scroll->setWidget(suggestions_);
    suggestionArea_ = scroll;
    keepRows_ = MakeButton(this, "KeepRowsButton", QStringLiteral("Retirer les lignes superflues"),
                           QStringLiteral("Vider les lignes dont la solution unique n'a pas besoin (Ctrl+Z les rend)"));

    auto* staleRow = new QHBoxLayout;
    staleRow->addWidget(staleNote_, 1);
    staleRow->addWidget(refresh_);
    auto* left = new QVBoxLayout;
    left->addWidget(gridCaption_);
    left->addWidget(grid_);
    left->addStretch();
    auto* stepButtons = new QHBoxLayout;
    stepButtons->addWidget(hint_);
    stepButtons->addWidget(all_);
    stepButtons->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(steps_, 1);
    right->addWidget(progress_);
    right->addWidget(grade_);
    right->addLayout(stepButtons);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addLayout(right, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(copyButton);
    bottom->addWidget(closeButton);
    auto* main = new QVBoxLayout(this);
    main->addWidget(verdict_);
    main->addLayout(staleRow);
    main->addWidget(explanation_);
    main->addWidget(suggestHeading_);
    main->addWidget(suggestionArea_);
    auto* keepRow = new QHBoxLayout;
    keepRow->addWidget(keepRows_);
    keepRow->addStretch();
    main->addLayout(keepRow);
    main->addLayout(middle, 1);
    main->addLayout(bottom);
    explanation_->setMaximumWidth(grid_->sizeHint().width() + 420);

    connect(refresh_, &QPushButton::clicked, this, &ExplainWindow::refreshRequested);
    connect(hint_, &QPushButton::clicked, this, [this] {
        reveal(revealed() + 1);
        steps_->setCurrentRow(revealed() - 1);
    });
    connect(all_, &QPushButton::clicked, this, [this] { reveal(static_cast<int>(report_.trace.steps.size())); });
    connect(copyButton, &QPushButton::clicked, this, &ExplainWindow::copy);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(steps_, &QListWidget::itemSelectionChanged, this, &ExplainWindow::stepChosen);
    for (auto [keys, signal] : {std::pair{UndoKeys(), &ExplainWindow::undoRequested}, std::pair{RedoKeys(), &ExplainWindow::redoRequested}}) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, signal);
    }
    connect(keepRows_, &QPushButton::clicked, this, [this] {
        if (completion_) emit rowsKept(QList<int>(completion_->smallest.begin(), completion_->smallest.end()));
    });
}

void ExplainWindow::showReport(const Puzzle& puzzle, Report report) {
    puzzle_ = puzzle;
    report_ = std::move(report);
    stale_ = false;
    staleNote_->hide();
    refresh_->hide();

    verdict_->setText(QString::fromStdString(ReportVerdict(report_.explanation)));
    const std::vector<std::string> lines = ExplanationLines(report_.explanation, puzzle_);
    // The items left open are drawn in the grid rather than listed.
    std::vector<std::string> shown(lines.begin(), report_.explanation.kind == ExplanationKind::OpenCells ? lines.begin() + 1 : lines.end());
    shown.insert(shown.end(), report_.idleLines.begin(), report_.idleLines.end());
    explanation_->setText(Joined(shown.begin(), shown.end()));

    stepLines_ = StepLines(report_.trace, puzzle_);
    // The last line grades the puzzle, unless a malformed row stops the search before any step.
    const bool graded = report_.trace.outcome != TraceOutcome::RuleError && !stepLines_.empty();
    grade_->setText(graded ? QString::fromStdString(stepLines_.back()) : QString());
    {
        const QSignalBlocker quiet(steps_);
        steps_->clear();
    }
    reveal(0);

    // What would complete the puzzle: rows for several solutions, the rows to keep for one.
    completion_.reset();
    while (QLayoutItem* item = suggestionRows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    keepRows_->hide();
    keepRows_->setEnabled(true);
    suggestionArea_->hide();
    const ExplanationKind kind = report_.explanation.kind;
    const bool completes = kind == ExplanationKind::OpenCells || kind == ExplanationKind::Redundant;
    suggestHeading_->setVisible(completes);
    suggestHeading_->setText(kind == ExplanationKind::OpenCells ? QStringLiteral("Recherche des conditions qui laisseraient une seule solution…")
                                                                : QStringLiteral("Recherche des lignes à garder…"));
    const int ticket = ++ticket_;
    if (!completes) {
        worker_ = std::jthread();
        return;
    }
    // A worker still busy with the puzzle shown before is asked to stop, and waited for.
    worker_ = std::jthread([this, ticket, screen = puzzle_](std::stop_token stop) {
        auto done = std::make_shared<const maker::Completion>(maker::Complete(screen, stop));
        if (stop.stop_requested()) return;
        QMetaObject::invokeMethod(this, [this, ticket, done] { showCompletion(ticket, done); }, Qt::QueuedConnection);
    });
}

void ExplainWindow::showCompletion(int ticket, std::shared_ptr<const maker::Completion> completion) {
    if (ticket != ticket_) return; // worked out for a puzzle no longer shown
    completion_ = std::move(completion);
    const maker::Completion& done = *completion_;
    if (done.kind == maker::Completion::Kind::Unique) {
        int stated = 0;
        for (int k = 1; k <= kRules; ++k) stated += puzzle_.rules[k].relation != 0;
        const bool fewer = static_cast<int>(done.smallest.size()) < stated;
        suggestHeading_->setText(fewer ? QString::fromStdString(maker::SmallestLine(done)) : QString());
        suggestHeading_->setVisible(fewer);
        keepRows_->setVisible(fewer);
        return;
    }
    if (done.kind != maker::Completion::Kind::Several) {
        suggestHeading_->hide();
        return;
    }
    suggestHeading_->setText(QString::fromStdString(maker::SuggestionsHeading(done, puzzle_)));
    int line = 0;
    for (const maker::Suggestion& s : done.suggestions) {
        auto* text = new QLabel(QString::fromStdString(maker::SuggestionLine(s, done, puzzle_)), suggestions_);
        text->setObjectName(QStringLiteral("Suggestion%1").arg(line + 1));
        text->setWordWrap(true);
        auto* put = new QPushButton(QStringLiteral("Mettre en ligne %1").arg(done.emptyRow), suggestions_);
        put->setObjectName(QStringLiteral("PutSuggestion%1").arg(line + 1));
        put->setToolTip(QStringLiteral("Ctrl+Z la retire"));
        connect(put, &QPushButton::clicked, this, [this, row = done.emptyRow, rule = s.rule] { emit rowSuggested(row, rule); });
        suggestionRows_->addWidget(text, line, 0);
        suggestionRows_->addWidget(put, line, 1);
        ++line;
    }
    if (line == 0) return;
    const int rowHeight = suggestionRows_->itemAtPosition(0, 1)->widget()->sizeHint().height() + suggestionRows_->verticalSpacing();
    suggestionArea_->setFixedHeight(std::min(line, 5) * rowHeight);
    suggestionArea_->show();
}

void ExplainWindow::markStale() {
    if (stale_) return;
    stale_ = true;
    // The suggestions were for the rows as they were.
    for (QPushButton* put : suggestions_->findChildren<QPushButton*>()) put->setEnabled(false);
    keepRows_->setEnabled(false);
    staleNote_->show();
    refresh_->show();
}

int ExplainWindow::revealed() const { return steps_->count(); }

void ExplainWindow::reveal(int count) {
    const int total = static_cast<int>(report_.trace.steps.size());
    count = std::min(count, total);
    for (int i = revealed(); i < count; ++i) steps_->addItem(QString::fromStdString(stepLines_[static_cast<std::size_t>(i)]));
    progress_->setText(total > 0 ? QStringLiteral("Étapes montrées : %1 sur %2").arg(revealed()).arg(total)
                                 : QString::fromStdString(NoStepText(report_.trace, puzzle_.rules)));
    hint_->setEnabled(revealed() < total);
    all_->setEnabled(revealed() < total);
    stepChosen();
}

void ExplainWindow::stepChosen() {
    const int row = steps_->currentRow();
    const bool chosen = row >= 0 && steps_->currentItem() && steps_->currentItem()->isSelected();
    if (chosen) {
        const Step& step = report_.trace.steps[static_cast<std::size_t>(row)];
        grid_->setGrid(puzzle_, KnownAfter(report_.trace, static_cast<std::size_t>(row) + 1));
        grid_->setHighlighted(step.facts);
        gridCaption_->setText(QStringLiteral("La grille après l'étape %1 (encadré : ce qu'elle établit)").arg(row + 1));
        emit rowsHighlighted(QList<int>(step.rows.begin(), step.rows.end()));
        return;
    }
    grid_->setHighlighted({});
    if (report_.explanation.kind == ExplanationKind::OpenCells) {
        grid_->setGrid(puzzle_, report_.explanation.partners);
        gridCaption_->setText(QStringLiteral("La grille des solutions : « ? » marque une case qu'elles laissent ouverte"));
    } else {
        grid_->setGrid(puzzle_, KnownAfter(report_.trace, static_cast<std::size_t>(revealed())));
        gridCaption_->setText(revealed() == 0 ? QStringLiteral("La grille au départ")
                                              : QStringLiteral("La grille après l'étape %1").arg(revealed()));
    }
    emit rowsHighlighted({});
}

void ExplainWindow::copy() {
    QStringList lines;
    // What the list shows, no more: a user taking hints is not given the rest of the solution.
    for (const std::string& line : ReportLines(report_, puzzle_, static_cast<std::size_t>(revealed())))
        lines.append(QString::fromStdString(line));
    platform_.setClipboardText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void ExplainWindow::present() {
    if (!isVisible()) {
        adjustSize();
        QWidget* owner = parentWidget();
        const QScreen* s = owner->screen();
        const QRect area = s ? s->availableGeometry() : QRect(QPoint(), QSize(1 << 14, 1 << 14));
        // Before the first showing the frame is not known: room is left for a usual one.
        const QSize frame = isWindow() && frameGeometry().size() != size() ? frameGeometry().size() : size() + QSize(16, 40);
        QPoint at;
        if (place_) {
            at = *place_; // where the user left it
        } else {
            at = PlaceBeside(owner, area, frame);
        }
        // Never mostly off the screen, wherever it was left: the whole of it inside the screen's area.
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
        move(at);
    }
    show();
    raise();
    activateWindow();
}

void ExplainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ExplainWindow::hideEvent(QHideEvent* event) {
    place_ = pos();
    emit rowsHighlighted({});
    QWidget::hideEvent(event);
}

} // namespace korvane
