// The entry routine of the `korvane` window program: one window, an optional puzzle file to open
// (`korvane FILE.e65`, as a file manager starts it), exit code 0.
#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QStyleFactory>
#include <QTimer>
#include <exception>

#include "ui/file_commands.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/session.h"
#include "ui/silent_abort.h"
#include "ui/translations.h"

int main(int argc, char** argv) {
    // The one argument is a puzzle file: Qt sees the program name alone, so a file named like one of
    // Qt's options is still a file.
    int qtArgc = argc > 0 ? 1 : 0;
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    korvane::QtPlatform platform;
    try {
        QApplication app(qtArgc, argv);
        korvane::InstallFrenchTranslations(app);
        // One style everywhere, so that the fixed pixel layout looks the same on every desktop.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvane/korvane.svg")));
        // Lets the desktop match the window to its menu entry and icon.
        QGuiApplication::setDesktopFileName(QStringLiteral("io.github.korvane.Korvane"));
        try {
            korvane::Session session;
            session.nextPuzzleSeed = static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch());
            korvane::TForm1 form1(session, platform);
            platform.setParentWindow(&form1);
            QApplication::setFont(form1.font());
            form1.show();
            // Loaded from the event loop, so that its message, if any, comes over the drawn window.
            QTimer::singleShot(0, &form1, [&] { korvane::OpenStartFile(form1, platform, arguments); });
            app.exec();
        } catch (...) {
            platform.setParentWindow(nullptr); // the window is gone
            korvane::ReportEscapedError(platform, std::current_exception());
        }
    } catch (...) {
        // Not even the application could be set up: there is no window to report in.
    }
    return 0;
}
