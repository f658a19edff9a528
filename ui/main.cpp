// The entry routine of the `korvane` window program: one window, no command line, exit code 0.
#include <QApplication>
#include <QIcon>
#include <QStyleFactory>
#include <exception>

#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/session.h"
#include "ui/silent_abort.h"
#include "ui/translations.h"

int main(int argc, char** argv) {
    // The program reads no argument: Qt sees the program name alone.
    int qtArgc = argc > 0 ? 1 : 0;
    korvane::QtPlatform platform;
    try {
        QApplication app(qtArgc, argv);
        korvane::InstallFrenchTranslations(app);
        // One style everywhere, so that the fixed pixel layout looks the same on every desktop.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvane/korvane.svg")));
        try {
            korvane::Session session;
            korvane::TForm1 form1(session, platform);
            platform.setParentWindow(&form1);
            QApplication::setFont(form1.font());
            form1.show();
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
