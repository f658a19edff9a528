// How a command ends early, and how the window runs every handler so that no exception reaches Qt's
// event loop.
#pragma once

#include <QString>
#include <exception>
#include <utility>

#include "ui/platform.h"

namespace korvane {

// Raised by a command to stop at once, usually right after a message of its own. Dropped silently by
// RunHandler.
struct SilentAbort final : std::exception {
    const char* what() const noexcept override { return "SilentAbort"; }
};

// The text of the error box for an error message: a period is added when the message is not empty and
// its last character has a code above that of the period.
QString ErrorBoxText(const QString& message);

// Shows an error that ended a command in the error box.
void ReportEscapedError(Platform& platform, const std::exception_ptr& error);

// Runs one handler: SilentAbort ends it without a word, any other exception is shown in the error box,
// and the program goes on.
template <class Handler>
void RunHandler(Platform& platform, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const SilentAbort&) {
    } catch (...) {
        ReportEscapedError(platform, std::current_exception());
    }
}

} // namespace korvane
