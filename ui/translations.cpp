#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace korvane {

bool InstallFrenchTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    // Sizes and dates in the file dialogs written the French way as well.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    return QCoreApplication::installTranslator(translator);
}

} // namespace korvane
