#pragma once

#include "core/ekrany.h"
#include "core/oblasti.h"
#include "core/sostoyanie.h"
#include "db/connection.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <QWidget>

#include <memory>

class DataSet;
class Dialogs;
class KontekstEkrana;
class Platform;
class QKeyEvent;
class Taimer;
namespace rezhim { class ZaprosRegimaNabor; }

// The main window of every workstation: the connection GlavBasa, the workstation's state,
// the regions the screens live in, and the three timers that drive them: the mode poller
// TaimerOperaziy (250 ms), the clock TaimerVremya (1 s) and the connection monitor
// TaimerProverkaPodklucheniy (1 s). It decides which screen a mode shows; the screens
// themselves (their widgets, queries and drawing) are classes of their own folders, reached
// through Ekrany. They see the window through KontekstEkrana (core/kontekst.h).
//
// Nothing here is global: several main windows may live in one process, each with its own
// connection, dialogs, platform and screens.
class TGlavForma : public QWidget {
    Q_OBJECT
    friend class KontekstEkrana;

public:
    // Window captions that, with the two flags, mark the role.
    static QString ZagolovokPodkluchenie();   // "Подключение к БД" until the role is known
    static QString ZagolovokPredsedatelya();  // operator console and chairman terminal
    static QString ZagolovokDeputata();       // deputy terminal and watcher

    TGlavForma(Dialogs *dialogs, Platform *platform, const FabrikaEkranov &fabrika, QWidget *parent = nullptr);
    ~TGlavForma() override;

    Dialogs *dialogs() const { return m_dialogs; }
    Platform *platform() const { return m_platform; }
    // The window as its screens see it, and the screens.
    KontekstEkrana kontekst();
    Ekrany &ekrany() const { return *m_ekrany; }

    // Runs the whole start-up with the arguments of the platform: connection, role, gates,
    // timers. True when the workstation runs (the caller shows the window and enters the
    // event loop); false when it has ended (the platform was asked to end the program).
    bool Zapusk();
    // Connection and role set-up (the action "Подключение к БД").
    void PodkluchenieExecute();
    // An error of the start-up (connection, gates): the error box, or, when the workstation
    // runs unattended under its service, a log line and the text shown without waiting.
    void OshibkaZapuska(const QString &tekst);
    // The settings file beside the program.
    QString FailNastroek() const;

    // Tests: keep the timers' enabled states but never fire them; ticks are called directly.
    void setRuchnyeTiki(bool on);
    void TaimerOperaziyTimer();              // mode poller
    void TaimerVremyaTimer();                // clock, heartbeat, remote commands
    void TaimerProverkaPodklucheniyTimer();  // connection monitor and seat map refresh
    // Poller ticks run at once on the server's announcement of a mode write (PostgreSQL);
    // the periodic poll stays and catches anything an announcement missed.
    qint64 TikiPoUvedomleniyu() const { return m_tikiPoUvedomleniyu; }

    // Pending database errors: stops the three timers and ends the program. True when it did.
    bool ProverkaOshibok();
    // Ends this workstation: timers stopped, window hidden, the platform ends the process.
    void ZavershitProgrammu(int kod = 0);
    bool Zavershena() const { return m_zavershena; }
    // Status file (when the platform names one): rewritten after every poller tick and by the
    // start gates while they wait; etap is "running", "idle-gate" or "meeting-gate".
    void ZapisatSostoyanie(const QString &etap);

    // Window events.
    void FormClose();
    void FormKeyUp(QKeyEvent *event);
    void FormResize();
    void FormActivate();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Chast;  // the rest of the window's state (tglavforma.cpp)

    void sozdatKomponenty();
    void sozdatPravuyuKolonku();
    void sozdatTablo();
    void sozdatRegistraciyuOsnovu();
    void razmestitOblasti();
    bool podkluchit(const ConnectionParams &params, int *chairman);
    void oshibkaPodklucheniya();
    bool rolPredsedatelya();
    bool rolDeputata();
    void shagObshii();
    void prostoyTablo(int kod);
    void shagVremeni();
    void uvedomlenieRegima();
    bool PerechitatRegim(bool zakryt);
    bool OtkrytZaprosRegistracia();
    bool ObnovitZaprosRegistracia();
    bool VRegistracii(int idDeputata) const;
    bool MestoMolchit(const QString &nomer) const;
    void PokazatVremya();
    void SkrytRegistraciyu();
    bool ObnovitAktivnyiVopros();

    Dialogs *m_dialogs;
    Platform *m_platform;
    DbConnection m_basa;
    Oblasti m_ob;
    std::unique_ptr<Chast> m_d;
    std::unique_ptr<Ekrany> m_ekrany;
    bool m_zavershena = false;
    qint64 m_tikiPoUvedomleniyu = 0;
};
