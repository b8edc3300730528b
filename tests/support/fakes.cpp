#include "support/fakes.h"

#include <QDialog>
#include <QDir>
#include <QPrinter>

Dialogs::Button FakeDialogs::message(QWidget *, const QString &text, const QString &caption, Icon icon,
                                     int buttons, Button defaultButton)
{
    shown.append(Shown{text, caption, icon, buttons, defaultButton});
    if (whileShown && !m_inWhileShown) {
        m_inWhileShown = true;
        whileShown();
        m_inWhileShown = false;
    }
    if (!answers.isEmpty())
        return answers.dequeue();
    return defaultButton;
}

bool FakeDialogs::inputText(QWidget *, const QString &caption, const QString &prompt, QString *value, bool)
{
    inputPrompts << prompt;
    inputCaptions << caption;
    if (inputs.isEmpty())
        return false;
    *value = inputs.dequeue();
    return true;
}

QString FakeDialogs::openFileName(QWidget *, const QString &, const QString &dir, const QString &)
{
    fileDirs << dir;
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString FakeDialogs::saveFileName(QWidget *, const QString &, const QString &dir, const QString &)
{
    fileDirs << dir;
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

bool FakeDialogs::print(QWidget *, QPrinter *printer)
{
    if (printFiles.isEmpty())
        return false;
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(printFiles.dequeue());
    return true;
}

int FakeDialogs::exec(QDialog *dialog)
{
    modalClasses << QString::fromLatin1(dialog->metaObject()->className());
    if (modalHandlers.isEmpty())
        return QDialog::Rejected;
    auto handler = modalHandlers.dequeue();
    return handler(dialog);
}

void FakeDialogs::clear()
{
    shown.clear();
    answers.clear();
    inputs.clear();
    inputPrompts.clear();
    inputCaptions.clear();
    fileNames.clear();
    fileDirs.clear();
    printFiles.clear();
    modalHandlers.clear();
    modalClasses.clear();
}

FakePlatform::FakePlatform(const QString &programDir) : dir(programDir.isEmpty() ? QDir::currentPath() : programDir)
{
}

QString FakePlatform::programPath() const
{
    return QDir(dir).filePath(exeName);
}

void FakePlatform::endProgram(int code)
{
    ended = true;
    exitCode = code;
    if (onEnd)
        onEnd();
}

bool FakePlatform::startRestartScript()
{
    ++restarts;
    return true;
}

bool FakePlatform::powerOff()
{
    ++powerOffs;
    return true;
}

void FakeDialogs::notice(const QString &text, const QString &)
{
    notices << text;
}
