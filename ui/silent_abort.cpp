// The error box text and the reporting of errors that escaped a handler.
#include "ui/silent_abort.h"

namespace korvane {

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

void ReportEscapedError(Platform& platform, const std::exception_ptr& error) {
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        // A thrown value that is no exception carries no message: the box is shown empty.
    }
    try {
        platform.error(ErrorBoxText(message));
    } catch (...) {
        // Showing the box failed as well; there is nothing left to tell the user with.
    }
}

} // namespace korvane
