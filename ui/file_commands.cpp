// The window's file commands: saving and loading puzzles, saving the solution text next to the loaded
// puzzle, copying it to the clipboard, and the hidden diagnostic.
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextBlock>
#include <variant>

#include "files/puzzle_file.h"
#include "files/solution_export.h"
#include "ui/condition_box.h"
#include "ui/file_commands.h"
#include "ui/main_window.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/silent_abort.h"

namespace korvane {

namespace {

using namespace layout;

const QString kPuzzleFilter = QStringLiteral("Puzzles (*.e65)");
// Puzzle files whatever the case of their extension (the dialog matches without regard to case), and
// older ones ending in ".eni".
const QString kPuzzlePatterns = QStringLiteral("*.e65 *.eni");
const QString kPuzzleSuffix = QStringLiteral("e65");

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// Asks whether to replace the existing file at `path`; Abort ends the command.
void ConfirmOverwrite(Platform& platform, const QString& path, const QString& question) {
    if (QFileInfo::exists(path) && platform.warningOkAbort(question) == Platform::Answer::Abort) throw SilentAbort();
}

QString ExistsQuestion(const QString& lead, const QString& path) {
    return lead + Native(path) + QStringLiteral("\nexiste déja dans le même repertoire.\n\nVoulez vous l'écraser ?");
}

} // namespace

Puzzle TForm1::puzzleOnScreen() const {
    Puzzle puzzle;
    for (int column = 0; column <= kChoices; ++column)
        for (int row = 1; row <= kCategories; ++row) puzzle.name(column, row) = cell(column, row).toStdString();
    puzzle.boxTexts = boxTexts();
    puzzle.rules = session_.rules;
    return puzzle;
}

void TForm1::showPuzzle(const Puzzle& puzzle) {
    {
        const QSignalBlocker quiet(SG1); // the boxes are marked once, below, rather than per cell
        for (int column = 0; column <= kChoices; ++column)
            for (int row = 1; row <= kCategories; ++row)
                setCell(column, row, QString::fromStdString(puzzle.name(column, row)));
    }
    for (int n = 1; n <= kBoxes; ++n)
        box(n)->setTextSilently(QString::fromStdString(puzzle.boxTexts[static_cast<std::size_t>(n - 1)]));
    // The rules are what the texts name against the names, as after any edit: a value the file holds
    // beside a text that names something else is not what the row shows, and is not kept.
    refreshRows();
    for (int k = 1; k <= kRules; ++k) showExtraBoxes(k);
}

QString TForm1::memoText() const {
    QStringList blocks;
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next())
        blocks.append(block.text());
    // A line break typed within a paragraph is a line break of the text as well.
    return blocks.join(QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
}

QStringList TForm1::memoLines() const {
    QStringList lines = memoText().split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) lines.removeLast(); // a text ending in a line break has no last line
    return lines;
}

void TForm1::BitBtn22Click() {
    const auto path = platform_.saveFileName(
        {QStringLiteral("Nom du fichier à créer"), kPuzzleFilter, kPuzzlePatterns, kPuzzleSuffix, QString()});
    if (!path) return;
    // Refused texts are found before any question is asked, and nothing is written for them.
    auto bytes = WritePuzzle(puzzleOnScreen());
    if (const auto* refusal = std::get_if<FileError>(&bytes)) {
        platform_.error(refusal->message);
        throw SilentAbort();
    }
    ConfirmOverwrite(platform_, *path, ExistsQuestion(QStringLiteral("Le fichier "), *path));
    if (const auto failure = WriteFileSafely(*path, std::get<QByteArray>(bytes))) {
        platform_.error(failure->message);
        throw SilentAbort();
    }
    platform_.information(QStringLiteral("Fichier  ") + Native(*path) + QStringLiteral(" créè"));
}

void TForm1::BitBtn23Click() {
    if (session_.searching) {
        // The running search reads the rules that a load would replace.
        platform_.notice(QStringLiteral("Impossible de charger une énigme pendant la recherche d'une solution :"
                                        " arrêtez-la d'abord avec « Abandon »."));
        throw SilentAbort();
    }
    const auto path = platform_.openFileName({QStringLiteral("Nom du fichier à charger"), kPuzzleFilter,
                                              kPuzzlePatterns, kPuzzleSuffix, session_.loadDialogFile});
    if (!path) {
        setWindowTitle(session_.loadDialogFile);
        return;
    }
    loadPuzzle(*path);
}

void TForm1::loadPuzzle(const QString& path) {
    session_.loadDialogFile = path;
    // The whole file is read and checked before anything on screen changes.
    const auto loaded = LoadPuzzleFile(path);
    if (const auto* error = std::get_if<FileError>(&loaded)) {
        const bool opened = error->kind != FileError::Kind::OpenFailed && error->kind != FileError::Kind::ReadFailed &&
                            error->kind != FileError::Kind::FileTooLarge;
        platform_.notice(opened ? QStringLiteral("Impossible de lire le fichier à importer\n") + error->message
                                : error->message);
        throw SilentAbort();
    }
    showPuzzle(std::get<Puzzle>(loaded));
    setWindowTitle(path);
}

void OpenStartFile(TForm1& form, Platform& platform, const QStringList& arguments) {
    if (arguments.size() < 2) return;
    // The caption holds the full path, as after the dialog, wherever the program was started from.
    const QString path = QFileInfo(arguments[1]).absoluteFilePath();
    RunHandler(platform, [&] { form.loadPuzzle(path); });
    // The puzzle the program was started with is where the history begins: there is nothing to undo yet.
    form.startHistoryHere();
}

void TForm1::BitBtn3Click() {
    if (!session_.solutionLines) return; // the window is closing
    // The text of Memo1 now, and only that: nothing of earlier saves.
    *session_.solutionLines = memoLines();
    const QString path = SolutionFilePath(windowTitle());
    auto bytes = SolutionFileBytes(*session_.solutionLines);
    if (const auto* refusal = std::get_if<FileError>(&bytes)) {
        platform_.error(refusal->message);
        throw SilentAbort();
    }
    ConfirmOverwrite(platform_, path, ExistsQuestion(QStringLiteral("Le fichier \n"), path));
    if (const auto failure = WriteFileSafely(path, std::get<QByteArray>(bytes))) {
        platform_.error(failure->message);
        throw SilentAbort();
    }
    platform_.notice(QStringLiteral("Le fichier \n\n") + Native(path) + QStringLiteral("\n\nà été sauvegardé"));
}

void TForm1::BitBtn21Click() {
    Memo1->selectAll();
    platform_.setClipboardText(memoText());
}

void TForm1::BitBtn2Click() {
    const Rule& first = session_.rules[1];
    const int a = first.categoryA;
    const int c = first.choiceA;
    const bool inGrid = a >= 0 && a <= kCategories && c >= 0 && c <= kChoices;
    platform_.notice(QStringLiteral("Box01 = %1\nBox02 = %2\n\nText saisi dans Box01 = %3\nText saisi dans Box02 = %4")
                         .arg(a)
                         .arg(c)
                         .arg(inGrid ? cell(0, a) : QString(), inGrid ? cell(c, a) : QString()));
}

} // namespace korvane
