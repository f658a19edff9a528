// Qt's own texts (the buttons of message boxes, the file dialogs, the edit fields' context menus) in
// French, like the program's own.
#pragma once

class QCoreApplication;

namespace korvane {

// Loads Qt's French translations from where Qt keeps its translations and installs them into `app`,
// which keeps them. False when they are not there: Qt's texts then stay in English.
bool InstallFrenchTranslations(QCoreApplication& app);

} // namespace korvane
