#include "core/perevod.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace perevod {

QString putQt()
{
    return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(QStringLiteral("qtbase_ru.qm"));
}

bool ustanovitQt(QCoreApplication *app)
{
    // Owned by the application: gone with it, so a later application installs its own.
    static QPointer<QTranslator> installed;
    // Qt's widgets write dates and month names in the default locale (a file dialog's
    // "Дата изменения" column, date editors): the hall's is Russian whatever the terminal's is.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    if (installed)
        return true;
    auto *translator = new QTranslator(app);
    const QString path = putQt();
    if (!translator->load(path)) {
        qWarning("voter: Qt's Russian texts are not available (%s); standard buttons stay in English. "
                 "Install the package qt6-translations-l10n.",
                 qPrintable(path));
        delete translator;
        return false;
    }
    if (!app->installTranslator(translator)) {
        qWarning("voter: Qt's Russian texts could not be installed (%s).", qPrintable(path));
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

}  // namespace perevod
