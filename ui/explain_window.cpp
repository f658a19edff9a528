#include "ui/explain_window.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QHideEvent>
#include <QKeyEvent>

#include "texts/explain_text.h"
#include "texts/report_text.h"
#include "texts/step_text.h"
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
                                  QStringLiteral("Copier toute l'explication dans le presse-papier"));
    auto* closeButton = MakeButton(this, "CloseButton", QStringLiteral("Fermer"));

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
    const auto shownLines = report_.explanation.kind == ExplanationKind::OpenCells ? lines.begin() + 1 : lines.end();
    explanation_->setText(Joined(lines.begin(), shownLines));

    stepLines_ = StepLines(report_.trace, puzzle_);
    // The last line grades the puzzle, unless a malformed row stops the search before any step.
    const bool graded = report_.trace.outcome != TraceOutcome::RuleError && !stepLines_.empty();
    grade_->setText(graded ? QString::fromStdString(stepLines_.back()) : QString());
    {
        const QSignalBlocker quiet(steps_);
        steps_->clear();
    }
    reveal(0);
}

void ExplainWindow::markStale() {
    if (stale_) return;
    stale_ = true;
    staleNote_->show();
    refresh_->show();
}

int ExplainWindow::revealed() const { return steps_->count(); }

void ExplainWindow::reveal(int count) {
    const int total = static_cast<int>(report_.trace.steps.size());
    count = std::min(count, total);
    for (int i = revealed(); i < count; ++i) steps_->addItem(QString::fromStdString(stepLines_[static_cast<std::size_t>(i)]));
    progress_->setText(total == 0 ? QStringLiteral("Aucune étape : la recherche s'arrête sur la ligne en erreur.")
                                  : QStringLiteral("Étapes montrées : %1 sur %2").arg(revealed()).arg(total));
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
        gridCaption_->setText(QStringLiteral("La grille après l'étape %1").arg(row + 1));
        emit rowsHighlighted(QList<int>(step.rows.begin(), step.rows.end()));
        return;
    }
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
    for (const std::string& line : ReportLines(report_, puzzle_)) lines.append(QString::fromStdString(line));
    platform_.setClipboardText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void ExplainWindow::present() {
    if (isVisible()) {
        // Already open: it stays where the user put it.
    } else if (place_) {
        move(*place_);
    } else {
        // First opening: beside the main window where the screen has room, else against the screen's right
        // edge, so that the row numbers the steps mark stay in sight.
        adjustSize();
        const QWidget* owner = parentWidget();
        if (const QScreen* s = owner->screen()) {
            const QRect area = s->availableGeometry();
            // The frame is not known before the first showing: room is left for a usual one.
            const int right = area.right() - frameGeometry().width() - 16;
            move(std::max(area.left(), std::min(owner->frameGeometry().right() + 1, right)), owner->frameGeometry().top());
        }
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
