#pragma once

#include <QString>

class QCoreApplication;

// Qt's own texts in Russian: standard buttons, file dialogs, context menus of edit fields.
namespace perevod {

// Installs qtbase_ru.qm from Qt's translations folder on the application (once; a second call
// does nothing). A missing or unreadable file is logged and the program goes on in English.
// True when the translation is installed.
bool ustanovitQt(QCoreApplication *app);

// The file looked for (for messages and tests).
QString putQt();

}  // namespace perevod
