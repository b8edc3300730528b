#pragma once

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

// Every modal interaction goes through this seam so tests can script the answers and read
// back what was shown, and so no test ever blocks in a modal loop.
class Dialogs {
public:
    enum Icon { NoIcon, Error, Information, Warning, Question };
    enum Button { Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };

    virtual ~Dialogs() = default;

    // A modal message box with the given caption, icon and buttons; returns the button pressed.
    virtual Button message(QWidget *parent, const QString &text, const QString &caption, Icon icon,
                           int buttons = Ok, Button defaultButton = Ok) = 0;
    // One-line input box; false when cancelled (value then unchanged).
    virtual bool inputText(QWidget *parent, const QString &caption, const QString &prompt, QString *value,
                           bool password = false) = 0;
    // File dialogs; an empty text when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    // The print dialog for `printer`; true when the user chose to print (the printer then holds
    // the choices made).
    virtual bool print(QWidget *parent, QPrinter *printer) = 0;
    // Shows a window of the program modally and returns its result code (QDialog::Accepted...).
    virtual int exec(QDialog *dialog) = 0;
    // An error shown on top of everything without waiting for anybody: for workstations that
    // run unattended. It stays until it is closed or the program ends.
    virtual void notice(const QString &text, const QString &caption) = 0;

    // Helpers built on message(): the error box (caption "Ошибка", error icon, OK), the
    // information box, and the Yes/No question with No as the default button.
    void error(QWidget *parent, const QString &text, const QString &caption = QStringLiteral("Ошибка"));
    void information(QWidget *parent, const QString &text, const QString &caption);
    bool question(QWidget *parent, const QString &text, const QString &caption);

    // A save through saveFileName() that proposes `name` (made safe for a file name) in the
    // folder last saved to (remembered in the settings file `settingsPath`, key
    // "Faily"/"Papka"), adds `suffix` to a name typed without one, refuses a folder that does
    // not exist, and asks before replacing a file. The chosen path, or an empty text when the
    // user cancelled or was refused (the reason already shown).
    QString saveFile(QWidget *parent, const QString &caption, const QString &name, const QString &filter,
                     const QString &suffix, const QString &settingsPath);
    // `text` with the characters no file name may hold (and control characters) replaced by
    // '_', blanks run together, dots and blanks trimmed at the ends; never empty.
    static QString safeFileName(const QString &text);
};

// The real dialogs: QMessageBox, QInputDialog, QFileDialog, QDialog::exec.
class QtDialogs : public Dialogs {
public:
    Button message(QWidget *parent, const QString &text, const QString &caption, Icon icon, int buttons,
                   Button defaultButton) override;
    bool inputText(QWidget *parent, const QString &caption, const QString &prompt, QString *value,
                   bool password) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    bool print(QWidget *parent, QPrinter *printer) override;
    int exec(QDialog *dialog) override;
    void notice(const QString &text, const QString &caption) override;

    // The folder a file dialog opens in when the caller names `dir` (or none).
    static QString startFolder(const QString &dir);
};
