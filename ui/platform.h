// The one door between the window's commands and the desktop: message boxes, file dialogs, the beep,
// the clipboard and the processing of pending window messages. Qt answers in the program, a scripted
// fake in the tests.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace korvane {

// What a file dialog is asked to show.
struct FileDialogRequest {
    QString title;
    QString filter;           // as shown, e.g. "Puzzles (*.e65)"
    QString patterns;         // the names it lists, e.g. "*.e65 *.eni"
    QString defaultSuffix;    // added when the user types a name without one; empty for none
    QString currentFile;      // the name the dialog starts on; empty for none
};

// What the "Nouvelle énigme" dialog offers, and what the user chose in it.
struct NewPuzzleOffer {
    QStringList grades;  // "Facile" .. "Très difficile"
    int grade = 1;       // the one chosen at first, an index in `grades`
    QString gridProblem; // why the grid's names cannot be kept, empty when they can
    QStringList themes;  // the built-in themes, as the dialog names them
};
struct NewPuzzleChoice {
    int grade = 1;  // an index in offer.grades
    int theme = -1; // -1: the grid's names; 0: a theme drawn at random; i >= 1: offer.themes[i - 1]
};

class Platform {
public:
    enum class Answer { Ok, Abort };

    virtual ~Platform() = default;

    // A plain notice with an OK button, titled with the application's name.
    virtual void notice(const QString& text) = 0;
    // An information box with an OK button.
    virtual void information(const QString& text) = 0;
    // A warning with OK (the default) and Abort. Closing the box any other way answers Ok.
    virtual Answer warningOkAbort(const QString& text) = 0;
    // The error box shown for an error that ended a command.
    virtual void error(const QString& text) = 0;

    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    // The "Nouvelle énigme" dialog; nothing when the user cancels.
    virtual std::optional<NewPuzzleChoice> askNewPuzzle(const NewPuzzleOffer& offer) = 0;

    virtual void beep() = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // Handles every pending window message, then returns. Any handler of the window may run inside.
    virtual void pump() = 0;
};

} // namespace korvane
