// The platform layer of the real program: Qt's message boxes, file dialogs, beep, clipboard and event
// processing.
#pragma once

#include "ui/platform.h"

class QWidget;

namespace korvane {

class QtPlatform final : public Platform {
public:
    // Dialogs and boxes are centred on `parent` once it is set.
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    void notice(const QString& text) override;
    void information(const QString& text) override;
    Answer warningOkAbort(const QString& text) override;
    void error(const QString& text) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<NewPuzzleChoice> askNewPuzzle(const NewPuzzleOffer& offer) override;
    void beep() override;
    void setClipboardText(const QString& text) override;
    void pump() override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace korvane
