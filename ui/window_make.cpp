// The window's puzzle making: "Nouvelle énigme", which fills the grid and the rows with a new puzzle of
// the grade asked (maker/puzzle_maker.h), and the rows that the explanation suggests put in.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <chrono>
#include <future>

#include "editor/condition_rows.h"
#include "maker/puzzle_maker.h"
#include "maker/suggest.h"
#include "maker/themes.h"
#include "ui/condition_box.h"
#include "ui/main_window.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/silent_abort.h"
#include "ui/text.h"
#include "ui/window_search.h"

namespace korvane {

namespace {

QString Capitalised(std::string_view text) {
    QString s = Text(text);
    if (!s.isEmpty()) s[0] = s[0].toUpper();
    return s;
}

} // namespace

void TForm1::BitBtn26Click() {
    if (session_.searching) {
        // The running search reads the rules that the new puzzle would replace.
        platform_.notice(QStringLiteral("Impossible de créer une énigme pendant la recherche d'une solution :"
                                        " arrêtez-la d'abord avec « Abandon »."));
        throw SilentAbort();
    }
    const maker::Grid grid = maker::GridOf(puzzleOnScreen());
    NewPuzzleOffer offer;
    for (int g = 1; g <= kGrades; ++g) offer.grades.append(Text(GradeName(static_cast<Grade>(g))));
    offer.grade = session_.newPuzzleGrade;
    if (const auto problem = maker::GridProblem(grid)) offer.gridProblem = QString::fromStdString(*problem);
    for (const maker::Theme& theme : maker::Themes()) offer.themes.append(Capitalised(theme.title));
    const std::optional<NewPuzzleChoice> choice = platform_.askNewPuzzle(offer);
    if (!choice || choice->grade < 0 || choice->grade >= kGrades || choice->theme > offer.themes.size()) return;
    if (choice->theme < 0 && !offer.gridProblem.isEmpty()) return;
    session_.newPuzzleGrade = choice->grade;
    const auto grade = static_cast<Grade>(choice->grade + 1);
    const std::uint64_t seed = session_.nextPuzzleSeed++;
    const maker::Grid names = choice->theme < 0   ? grid
                              : choice->theme == 0 ? maker::GridOf(maker::ThemeFor(seed))
                                                   : maker::GridOf(maker::Themes()[static_cast<std::size_t>(choice->theme - 1)]);

    // Made beside the event loop, which goes on drawing the window; the window takes no input meanwhile.
    std::optional<maker::MadePuzzle> made;
    {
        Label24->setText(QStringLiteral("Création d'une énigme « %1 »…").arg(offer.grades[choice->grade]));
        setEnabled(false);
        const auto enabledAgain = qScopeGuard([this] { setEnabled(true); });
        std::future<std::optional<maker::MadePuzzle>> making =
            std::async(std::launch::async, [&names, grade, seed] { return maker::MakeGradedPuzzle(names, grade, seed); });
        while (making.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) platform_.pump();
        made = making.get();
    }
    if (session_.closing) throw SilentAbort();
    if (!made) {
        Label24->clear();
        platform_.notice(QStringLiteral("Aucune énigme de cette difficulté n'a été trouvée : essayez de nouveau."));
        throw SilentAbort();
    }
    // As a load shows a puzzle, with no solution shown yet.
    showPuzzle(made->puzzle);
    setWindowTitle(Text(layout::kCaption));
    Memo1->clear();
    ShowCount(Edit1, 0);
    Label17->clear();
    int rows = 0;
    for (int k = 1; k <= kRules; ++k) rows += made->puzzle.rules[k].relation != 0;
    newPuzzleNotice_ = QStringLiteral("Nouvelle énigme « %1 » : %2 conditions. Ctrl+Z rend les lignes d'avant.")
                           .arg(offer.grades[choice->grade])
                           .arg(rows);
    Label24->setText(newPuzzleNotice_);
    Label24->setToolTip(QString());
    findChild<QPushButton*>(QStringLiteral("BitBtn19"))->setFocus();
}

void TForm1::putRow(int k, const Rule& rule) {
    const Puzzle puzzle = maker::WithRow(puzzleOnScreen(), k, rule);
    for (const BoxRoleInfo& info : kBoxRoleTable) {
        const int n = BoxNumber(info.role, k);
        box(n)->setTextSilently(QString::fromStdString(puzzle.boxTexts[static_cast<std::size_t>(n - 1)]));
    }
    refreshRows();
    showExtraBoxes(k);
}

} // namespace korvane
