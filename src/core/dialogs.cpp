#include "core/dialogs.h"

#include "core/masshtab.h"

#include "db/dbfiles.h"
#include "db/dnevnik.h"
#include "db/inifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QStandardPaths>

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

void Dialogs::error(QWidget *parent, const QString &text, const QString &caption)
{
    message(parent, text, caption, Error, Ok, Ok);
}

void Dialogs::information(QWidget *parent, const QString &text, const QString &caption)
{
    message(parent, text, caption, Information, Ok, Ok);
}

bool Dialogs::question(QWidget *parent, const QString &text, const QString &caption)
{
    return message(parent, text, caption, Question, Yes | No, No) == Yes;
}

QString Dialogs::safeFileName(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            s += QLatin1Char('_');
        else
            s += c;
    }
    s = s.simplified();
    while (!s.isEmpty() && (s.endsWith(QLatin1Char('.')) || s.endsWith(QLatin1Char(' '))))
        s.chop(1);
    while (!s.isEmpty() && (s.startsWith(QLatin1Char('.')) || s.startsWith(QLatin1Char(' '))))
        s.remove(0, 1);
    // Long descriptions make names no file system takes (255 bytes).
    while (s.toUtf8().size() > 200)
        s.chop(1);
    return s.isEmpty() ? QStringLiteral("file") : s;
}

QString Dialogs::saveFile(QWidget *parent, const QString &caption, const QString &name, const QString &filter,
                          const QString &suffix, const QString &settingsPath)
{
    const QString remembered = settingsPath.isEmpty()
                                   ? QString()
                                   : iniRead(settingsPath, QStringLiteral("Faily"), QStringLiteral("Papka"));
    const QString folder = !remembered.isEmpty() && QFileInfo(remembered).isDir() ? remembered
                                                                                   : QtDialogs::startFolder(QString());
    QString chosen = saveFileName(parent, caption, QDir(folder).filePath(safeFileName(name)), filter);
    if (chosen.isEmpty())
        return QString();
    QFileInfo info(chosen);
    if (!suffix.isEmpty() && info.suffix().isEmpty()) {
        chosen += QLatin1Char('.') + suffix;
        info = QFileInfo(chosen);
    }
    const QString dir = info.absolutePath();
    if (!QFileInfo(dir).isDir()) {
        error(parent, QStringLiteral("Невозможно сохранить файл \"%1\": папки \"%2\" не существует.\n\r"
                                     "Выберите существующую папку.")
                          .arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(dir)));
        return QString();
    }
    if (info.exists()
        && !question(parent, QStringLiteral("%1 уже существует.\nЗаменить?").arg(QDir::toNativeSeparators(chosen)),
                     caption))
        return QString();
    if (!settingsPath.isEmpty())
        iniWrite(settingsPath, QStringLiteral("Faily"), QStringLiteral("Papka"), dir);
    return chosen;
}

Dialogs::Button QtDialogs::message(QWidget *parent, const QString &text, const QString &caption, Icon icon,
                                   int buttons, Button defaultButton)
{
    dnevnik::soobshenie(caption, text);
    QMessageBox box(parent);
    masshtab::vCentrPriPokaze(&box);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Error: box.setIcon(QMessageBox::Critical); break;
    case Information: box.setIcon(QMessageBox::Information); break;
    case Warning: box.setIcon(QMessageBox::Warning); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    default: break;
    }
    QMessageBox::StandardButtons sb;
    if (buttons & Ok) sb |= QMessageBox::Ok;
    if (buttons & Cancel) sb |= QMessageBox::Cancel;
    if (buttons & Yes) sb |= QMessageBox::Yes;
    if (buttons & No) sb |= QMessageBox::No;
    box.setStandardButtons(sb);
    // Qt's Russian translation leaves OK in Latin letters.
    if (QAbstractButton *ok = box.button(QMessageBox::Ok))
        ok->setText(QStringLiteral("ОК"));
    switch (defaultButton) {
    case Ok: box.setDefaultButton(QMessageBox::Ok); break;
    case Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
    case Yes: box.setDefaultButton(QMessageBox::Yes); break;
    case No: box.setDefaultButton(QMessageBox::No); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    case QMessageBox::Cancel: return Cancel;
    default: return (buttons & Ok) ? Ok : Cancel;
    }
}

bool QtDialogs::inputText(QWidget *parent, const QString &caption, const QString &prompt, QString *value,
                          bool password)
{
    QInputDialog dialog(parent);
    masshtab::vCentrPriPokaze(&dialog);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(*value);
    dialog.setTextEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *value = dialog.textValue();
    return true;
}

namespace {

// Icons and types from the name alone: the stock provider reads files to guess their type,
// and a read of the database's files from this process drops the engine's locks on them.
class IconsByName : public QFileIconProvider {
public:
    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? QFileIconProvider::Folder : QFileIconProvider::File);
    }
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QStringLiteral("Папка");
        return info.suffix().isEmpty() ? QStringLiteral("Файл") : info.suffix().toUpper();
    }
};

// Leaves the database's files out of the list, so they can be neither chosen nor previewed.
class WithoutDatabaseFiles : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!files)
            return true;
        return !dbfiles::isDatabaseFile(files->filePath(files->index(row, 0, parent)));
    }
};

QString chooseFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter, bool save)
{
    QFileDialog dialog(parent, caption, QtDialogs::startFolder(dir), filter);
    // Qt's own dialog: a platform one may read files in this process where we cannot stop it.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
    IconsByName icons;
    dialog.setIconProvider(&icons);
    dialog.setProxyModel(new WithoutDatabaseFiles(&dialog));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Dialogs::saveFile asks about replacing, once, after the extension is added.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().constFirst();
    // A name typed by hand is checked too: the database is never a document or a protocol.
    return dbfiles::isDatabaseFile(chosen) ? QString() : chosen;
}

}  // namespace

QString QtDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return chooseFile(parent, caption, dir, filter, false);
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return chooseFile(parent, caption, dir, filter, true);
}

bool QtDialogs::print(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    return dialog.exec() == QDialog::Accepted;
}

int QtDialogs::exec(QDialog *dialog)
{
    return dialog->exec();
}

QString QtDialogs::startFolder(const QString &dir)
{
    if (!dir.isEmpty())
        return dir;
    // The user's own folders, never the program's (where the workstation runs from and keeps
    // its settings, documents and data).
    const QStringList program = {QDir::current().absolutePath(),
                                 QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString()};
    for (const QString &candidate : {QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath(),
                                     QDir::rootPath()}) {
        const QString c = QDir(candidate).absolutePath();
        if (!candidate.isEmpty() && QFileInfo(c).isDir() && !program.contains(c))
            return c;
    }
    return QDir::rootPath();
}

void QtDialogs::notice(const QString &text, const QString &caption)
{
    dnevnik::soobshenie(caption, text);
    auto *box = new QMessageBox(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (QAbstractButton *ok = box->button(QMessageBox::Ok))
        ok->setText(QStringLiteral("ОК"));
    masshtab::vCentrPriPokaze(box);
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->setWindowModality(Qt::NonModal);
    box->show();
}
