#include "core/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

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

Dialogs::Button QtDialogs::message(QWidget *parent, const QString &text, const QString &caption, Icon icon,
                                   int buttons, Button defaultButton)
{
    QMessageBox box(parent);
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
    bool ok = false;
    const QString v = QInputDialog::getText(parent, caption, prompt,
                                            password ? QLineEdit::Password : QLineEdit::Normal, *value, &ok);
    if (ok)
        *value = v;
    return ok;
}

QString QtDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

int QtDialogs::exec(QDialog *dialog)
{
    return dialog->exec();
}
