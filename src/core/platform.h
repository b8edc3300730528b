#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// Everything platform-specific or process-ending goes through this seam, so tests can record
// the calls, fix the screen size, and keep several workstations in one process.
class Platform {
public:
    virtual ~Platform() = default;

    // Ends this workstation's program (the main window closes first).
    virtual void endProgram(int exitCode) = 0;
    // Starts the restart script ("run.bat" on Windows, "run.sh" elsewhere) from the current
    // folder, hidden, with no parameters. False when it could not be started.
    virtual bool startRestartScript() = 0;
    // Powers the computer off at once ("shutdown -s -t 00 -f" or the local equivalent).
    virtual bool powerOff() = 0;

    virtual QString computerName() const = 0;
    virtual QString userName() const = 0;
    virtual QSize screenSize() const = 0;
    // Width of a vertical scroll bar, used by layouts that leave room for one.
    virtual int scrollBarWidth() const = 0;
    // Full path of the executable and its folder (settings file and document store live there).
    virtual QString programPath() const = 0;
    virtual QString programDir() const = 0;
    // Command-line arguments after the program name.
    virtual QStringList arguments() const = 0;

    // Where the main window goes: the whole screen, or one tile of a shared screen (several
    // workstations shown side by side); screenSize() is then the tile's size.
    virtual QPoint windowOrigin() const { return QPoint(0, 0); }
    virtual bool tiled() const { return false; }

    // File the workstation rewrites with what its screen shows (empty: none). Read-only for
    // everybody else: hall monitoring and the multi-process tests watch it.
    virtual QString statusFile() const { return QString(); }

    // Run by the installation's service: nobody may be at the screen to answer a message box,
    // so start-up errors are logged and shown without waiting, and the program ends to be
    // tried again.
    virtual bool unattended() const { return false; }
    // Before such a program ends on a start-up error: keeps the error on the screen for the
    // service's current pause between attempts (which grows while the attempts fail).
    virtual void pauseBeforeRetry() {}
};

class RealPlatform : public Platform {
public:
    // Takes its own options off the command line (each as "--name=value" or "--name value"):
    //   --geometry=WxH+X+Y        the window's rectangle; without it the whole screen
    //   --status-file=PATH        see statusFile()
    //   --power-off-command=PATH  a program run instead of the system's power-off (trials, tests)
    RealPlatform();
    void endProgram(int exitCode) override;
    bool startRestartScript() override;
    bool powerOff() override;
    QString computerName() const override;
    QString userName() const override;
    QSize screenSize() const override;
    int scrollBarWidth() const override;
    QString programPath() const override;
    QString programDir() const override;
    QStringList arguments() const override;
    QPoint windowOrigin() const override { return m_tile.topLeft(); }
    bool tiled() const override { return m_tile.isValid(); }
    QString statusFile() const override { return m_statusFile; }
    // VOTER_SERVICE=1 in the environment (the restart script's service sets it); the pause is
    // VOTER_RETRY_PAUSE seconds (1 to 60, 5 without it).
    bool unattended() const override;
    void pauseBeforeRetry() override;

    // The restart script's file name on this platform.
    static QString restartScriptName();
    // Splits the geometry option off the arguments; `tile` gets the rectangle (invalid when
    // absent or malformed: a malformed option is dropped, the window is then full-screen).
    static QStringList takeGeometry(const QStringList &arguments, QRect *tile);
    // Splits "--name=value" / "--name value" off the arguments; the last one wins.
    static QStringList takeOption(const QStringList &arguments, const QString &name, QString *value);

private:
    QRect m_tile;
    QString m_statusFile;
    QString m_powerOffCommand;
    QStringList m_arguments;
};
