// A scripted platform layer for the window tests: it records every message, beep and clipboard text,
// answers questions and file dialogs from queues, and runs a test's hook at each pump.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "ui/platform.h"

namespace korvane::test {

class FakePlatform final : public Platform {
public:
    struct Shown {
        enum class Kind { Notice, Information, Warning, Error } kind;
        QString text;
    };
    std::vector<Shown> shown;           // every box, in order
    std::deque<Answer> answers;                // for warningOkAbort; Ok when empty
    std::deque<QString> saveAnswers, openAnswers; // chosen paths; an empty one, or none left, cancels
    std::vector<FileDialogRequest> dialogs;
    std::deque<std::optional<NewPuzzleChoice>> newPuzzleAnswers; // none left cancels
    std::vector<NewPuzzleOffer> newPuzzleOffers;
    int beeps = 0;
    int pumps = 0;
    QString clipboard;
    // Run at every pump, with the pump's 1-based number; the window's handlers may be called from it.
    std::function<void(int)> onPump;

    void notice(const QString& text) override { shown.push_back({Shown::Kind::Notice, text}); }
    void information(const QString& text) override { shown.push_back({Shown::Kind::Information, text}); }
    Answer warningOkAbort(const QString& text) override {
        shown.push_back({Shown::Kind::Warning, text});
        if (answers.empty()) return Answer::Ok;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void error(const QString& text) override { shown.push_back({Shown::Kind::Error, text}); }
    std::optional<QString> saveFileName(const FileDialogRequest& request) override {
        dialogs.push_back(request);
        return take(saveAnswers);
    }
    std::optional<QString> openFileName(const FileDialogRequest& request) override {
        dialogs.push_back(request);
        return take(openAnswers);
    }
    std::optional<NewPuzzleChoice> askNewPuzzle(const NewPuzzleOffer& offer) override {
        newPuzzleOffers.push_back(offer);
        if (newPuzzleAnswers.empty()) return std::nullopt;
        const auto answer = newPuzzleAnswers.front();
        newPuzzleAnswers.pop_front();
        return answer;
    }
    void beep() override { ++beeps; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    void pump() override {
        ++pumps;
        if (onPump) onPump(pumps);
    }

    QStringList texts() const {
        QStringList all;
        for (const Shown& s : shown) all.append(s.text);
        return all;
    }

private:
    static std::optional<QString> take(std::deque<QString>& queue) {
        if (queue.empty()) return std::nullopt;
        const QString path = queue.front();
        queue.pop_front();
        if (path.isEmpty()) return std::nullopt;
        return path;
    }
};

} // namespace korvane::test
