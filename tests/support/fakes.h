#pragma once

#include "core/dialogs.h"
#include "core/platform.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

// Scripted dialogs: every message shown is recorded; answers come from queues set before the
// action. A message with no queued answer gets its default button. A modal window shown with
// exec() is handed to the next queued handler (which may act on it and returns the result
// code); with no handler queued it is rejected at once.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
        int buttons;
        Button defaultButton;
    };

    Button message(QWidget *parent, const QString &text, const QString &caption, Icon icon, int buttons,
                   Button defaultButton) override;
    bool inputText(QWidget *parent, const QString &caption, const QString &prompt, QString *value,
                   bool password) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    bool print(QWidget *parent, QPrinter *printer) override;
    int exec(QDialog *dialog) override;
    void notice(const QString &text, const QString &caption) override;

    QStringList notices;             // texts shown without waiting
    QList<Shown> shown;              // every message, in order
    QQueue<Button> answers;          // answers to the next messages
    QQueue<QString> inputs;          // answers to input boxes; an empty queue cancels
    QStringList inputPrompts;        // prompts of the input boxes shown
    QStringList inputCaptions;       // their captions
    QQueue<QString> fileNames;       // answers to file dialogs; an empty queue cancels
    QStringList fileDirs;            // the folder (or proposed path) each file dialog was given
    // Answers to print dialogs: the printer is turned into a PDF writer of that file; an empty
    // queue cancels.
    QQueue<QString> printFiles;
    QQueue<std::function<int(QDialog *)>> modalHandlers;
    QStringList modalClasses;        // class names of the windows shown modally

    // Runs while a message is "open", as the timers of a real modal loop would (ticks of the
    // workstation's main window, typically). Not re-entered from a message it shows itself.
    std::function<void()> whileShown;

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear();

private:
    bool m_inWhileShown = false;
};

// Records what the workstation asked of the platform; screen fixed at 1280 x 1024.
class FakePlatform : public Platform {
public:
    explicit FakePlatform(const QString &programDir = QString());

    void endProgram(int exitCode) override;
    bool startRestartScript() override;
    bool powerOff() override;
    QString computerName() const override { return computer; }
    QString userName() const override { return user; }
    QSize screenSize() const override { return screen; }
    int scrollBarWidth() const override { return scrollBar; }
    QString programPath() const override;
    QString programDir() const override { return dir; }
    QStringList arguments() const override { return args; }
    bool unattended() const override { return service; }
    void pauseBeforeRetry() override { ++retryPauses; }

    QString dir;
    QString exeName = QStringLiteral("voter.exe");
    QString computer = QStringLiteral("ZAL-PC");
    QString user = QStringLiteral("operator");
    QSize screen = QSize(1280, 1024);
    int scrollBar = 17;
    QStringList args;

    bool ended = false;
    int exitCode = -1;
    int restarts = 0;
    int powerOffs = 0;
    bool service = false;
    int retryPauses = 0;
    std::function<void()> onEnd;  // optional: what "ending" does in the test process
};
