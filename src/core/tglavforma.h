#pragma once

#include "core/rezhim.h"
#include "core/sostoyanie.h"
#include "db/connection.h"
#include "db/dataset.h"

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVector>
#include <QWidget>

class Dialogs;
class Platform;
class TAdminInterfeis;
class TProcessGolosForma;
class TRegistrForma;
class GerbLeibl;
class TGranica;
class TLeibl;
class TDeputatFreim;
class QKeyEvent;
class QLabel;
class QMenu;
class QProgressBar;
class QTextEdit;

// A timer of the main window. Its enabled state is part of the workstation's state (the
// poller looks at it); firing can be switched off so that tests tick the handler by hand
// while the enabled state keeps its meaning.
class Taimer : public QObject {
    Q_OBJECT
public:
    Taimer(const QString &name, int intervalMs, QObject *parent);

    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    int interval() const { return m_timer.interval(); }
    void setFiring(bool on);

Q_SIGNALS:
    void timeout();

private:
    void apply();

    QTimer m_timer;
    bool m_enabled = false;
    bool m_firing = true;
};

// Top of the vote countdown while a vote runs; it reaches down to the progress bar.
constexpr int VerhVremeniGolosovania = 110;

// The main window of every workstation. It owns the connection GlavBasa, the workstation
// state, the regions every role's screens live in and the three timers that drive them:
// the mode poller TaimerOperaziy (250 ms), the clock TaimerVremya (1 s) and the connection
// monitor TaimerProverkaPodklucheniy (1 s).
//
// Nothing here is global: several main windows may live in one process, each with its own
// connection, dialogs and platform.
class TGlavForma : public QWidget {
    Q_OBJECT
public:
    // Window captions that, with the two flags, mark the role.
    static const QString ZagolovokPodkluchenie;  // "Подключение к БД" until the role is known
    static const QString ZagolovokPredsedatelya;  // operator console and chairman terminal
    static const QString ZagolovokDeputata;       // deputy terminal and watcher

    TGlavForma(Dialogs *dialogs, Platform *platform, QWidget *parent = nullptr);
    ~TGlavForma() override;

    Dialogs *dialogs() const { return m_dialogs; }
    Platform *platform() const { return m_platform; }
    // An error of the start-up (connection, gates): the error box, or, when the workstation
    // runs unattended under its service, a log line and the text shown without waiting.
    void OshibkaZapuska(const QString &tekst);

    // ---- Start-up -----------------------------------------------------------------------
    // Runs the whole start-up with the arguments of the platform: connection, role, gates,
    // timers. True when the workstation runs (the caller shows the window and enters the
    // event loop); false when it has ended (the platform was asked to end the program).
    bool Zapusk();
    // Connection and role set-up (the action "Подключение к БД").
    void PodkluchenieExecute();
    // The settings file beside the program.
    QString FailNastroek() const;

    // ---- Workstation state ------------------------------------------------------------
    QString VersiaProgrammy() const { return m_versiaProgrammy; }
    QColor CvetMolchaniya() const { return m_cvetMolchaniya; }
    bool ZapuskUspeshen() const { return m_zapuskUspeshen; }
    bool RezhimAdmin() const { return m_rezhimAdmin; }
    bool RezhimNabludatelya() const { return m_rezhimNabludatelya; }
    QString LoginMesta() const { return m_loginMesta; }
    int IdSessii() const { return m_idSessii; }
    int IdDeputata() const { return m_idDeputata; }
    int IdZasedania() const { return m_idZasedania; }
    int IdPovestki() const { return m_idPovestki; }
    bool Dopusk() const { return m_dopusk; }
    int VibranoeMesto() const { return m_vibranoeMesto; }
    bool Perezapusk() const { return m_perezapusk; }

    void setIdSessii(int id) { m_idSessii = id; }
    void setIdZasedania(int id) { m_idZasedania = id; }
    void setIdPovestki(int id) { m_idPovestki = id; }
    void setDopusk(bool on) { m_dopusk = on; }
    void setVibranoeMesto(int seat) { m_vibranoeMesto = seat; }
    void setPerezapusk(bool on) { m_perezapusk = on; }

    // Role by the caption, as the screens decide it.
    bool OknoPredsedatelya() const;  // operator console or chairman terminal
    bool OknoDeputata() const;       // deputy terminal or watcher

    // ---- Database -----------------------------------------------------------------------
    DbConnection GlavBasa;

    // Mode row (ZaprosRegima). Fields as last read; a closed set reads 0, 0, 0.
    rezhim::ZaprosRegimaNabor *ZaprosRegima;
    int RegimNomer() const { return ZaprosRegima->RegimNomer(); }
    int RegimParam1() const { return ZaprosRegima->RegimParam1(); }
    int RegimParam2() const { return ZaprosRegima->RegimParam2(); }
    // Re-reads the mode row: closing and opening (zakryt = true, the poller's way) or
    // re-running when open (the clock's and the gate's way). ZaprosRegimaAfterOpen runs
    // after every successful opening.
    bool PerechitatRegim(bool zakryt);
    void ZaprosRegimaAfterOpen();

    // Registration list of one period: nomer, id_deputat; parameter a.
    DataSet *ZaprosRegistracia;
    void ZaprosRegistraciaBeforeOpen();
    // Closes (when open), sets the parameter and opens: the list of the current period.
    bool OtkrytZaprosRegistracia();
    // Opens it when closed; re-runs it with the parameter it has otherwise.
    bool ObnovitZaprosRegistracia();
    // The list as last read holds this deputy / the own deputy.
    bool VRegistracii(int idDeputata) const;
    bool SvoiDeputatZaregistrirovan() const { return VRegistracii(m_idDeputata); }

    DataSet *Sostav;      // seat assignments with names (seat map, speaker requests, seat menu)
    DataSet *KolGolosov;  // scratch query whose text is replaced before each use
    DataSet *Zapros;      // scratch query (the seat's chairman flag at start-up)

    // Last activity of every seat: nomer, connected, podkl, diff (seconds, computed by the
    // database). Re-read by the connection monitor every tick.
    DataSet *ProverkaPorklucheniy;
    // The silence rule on the set as last read: a seat is silent when it has no row or its
    // diff is 6 or more; a NULL diff (never stamped) is not silent.
    bool MestoMolchit(const QString &nomer) const;

    // ---- Timers --------------------------------------------------------------------------
    Taimer *TaimerOperaziy;
    Taimer *TaimerVremya;
    Taimer *TaimerProverkaPodklucheniy;
    // Tests: keep the timers' enabled states but never fire them; ticks are called directly.
    void setRuchnyeTiki(bool on);

    void TaimerOperaziyTimer();             // mode poller
    // Poller ticks run at once on the server's announcement of a mode write (PostgreSQL);
    // the periodic poll stays and catches anything an announcement missed.
    qint64 TikiPoUvedomleniyu() const { return m_tikiPoUvedomleniyu; }
    void TaimerVremyaTimer();               // clock, heartbeat, remote commands
    void TaimerProverkaPodklucheniyTimer(); // connection monitor and seat map refresh

    // Pending database errors: stops the three timers and ends the program. True when it did.
    bool ProverkaOshibok();
    // Ends this workstation: timers stopped, window hidden, the platform ends the process.
    void ZavershitProgrammu(int kod = 0);
    bool Zavershena() const { return m_zavershena; }

    // Status file (when the platform names one): rewritten after every poller tick and by the
    // start gates while they wait; etap is "running", "idle-gate" or "meeting-gate".
    void ZapisatSostoyanie(const QString &etap);
    // What the screen shows, as "key=value" lines (the status file's body after the header).
    virtual QString OpisanieEkrana() const;

    // Shows the clock just below the item text and (re)enables the clock timer.
    void PokazatVremya();
    // Takes the registration screen down (nothing in the anthem mode).
    void SkrytRegistraciyu();
    // Refreshes the active agenda item on the board; false when the rest of the clock's
    // refresh (the speaker-request sync) is to be skipped this tick.
    bool ObnovitAktivnyiVopros();

    // Countdown text: "<M> мин <S> сек" with M = seconds div 60, S = seconds mod 60.
    static QString MinSek(int sekund);
    // How an agenda item's title is shown: "Вопрос 0" stands for the whole agenda.
    static QString NazvanieVoprosa(const QString &opisanie);

    // ---- Window events -----------------------------------------------------------------
    void FormClose();
    void FormKeyUp(QKeyEvent *event);
    void FormResize();
    void FormActivate();

    // ---- Regions ------------------------------------------------------------------------
    QWidget *PanelSprava;       // seat map panel, left of the right-hand column
    QWidget *PanelSleva;        // right-hand column, 369 px, aligned right
    QWidget *PanelSpravaVerh;   // its upper area: voting panel, speaker button, console frame
    QWidget *PanelSlevaNis;     // its lower area: the results board
    QWidget *PanelTabloGolos;   // the results board itself, filling PanelSlevaNis
    QWidget *PanelRegistracia;  // registration screen, over the whole window
    QWidget *PanelStart;        // start screen: the coat of arms over the document area
    GerbLeibl *GerbStart;
    QWidget *DeputatFreim;      // agenda and document frame (deputy terminal, watcher)
    QWidget *AdminFrame;        // operator console frame
    QWidget *GimnFreim;         // anthem frame
    GerbLeibl *Gerb;            // coat of arms in the upper area when no voting panel
    QWidget *PanelGolosovanie;  // voting panel (upper area, during a vote)
    TGranica *GranicaGolosov;   // its lime border
    TLeibl *LeiblProshuSlova;   // speaker-request button, or the chairman's list heading
    TGranica *GranicaProshuSlova;

    // Results board.
    QLabel *LeiblDuma;
    QLabel *LeiblZasedanie;
    QLabel *LeiblVopros;
    QLabel *LeiblRegim;
    QTextEdit *InfoTablo;   // the active item's text (hidden; InfoLabel shows it)
    QLabel *InfoLabel;
    QTextEdit *InfoBack;    // hidden, for comparing the stored text with the shown one
    QLabel *LeiblVremya;
    QProgressBar *ProgressBarTablo;
    QLabel *LeiblKolGolosov;
    QLabel *ZaregLeibl;

    // Registration screen parts the poller and start-up touch.
    TGranica *FIOGranica;
    QLabel *FIOPHONLeibl;
    TGranica *RegGranica;
    TLeibl *RegKnopka;      // tag: 1 not registered, 2 registered
    int RegKnopkaTag() const;
    void setRegKnopkaTag(int tag);

    // Seat map controls by seat index (filled when the map is built) and the seat menu.
    QVector<TGranica *> MestoGranica;
    QVector<TLeibl *> MestoLeibl;
    QVector<TGranica *> NomerGranica;
    QVector<TLeibl *> NomerLeibl;
    QMenu *MenuDeputat = nullptr;

    // ---- Operations of the screens built on this window ----------------------------------
    // Their bodies live with the screens (see tglavforma_pending.cpp for the ones not yet
    // built). Construction hooks run once at the end of the constructor. They are virtual so
    // that a test can watch which screens the timers and the start-up choose.

    // Agenda and document frame.
    virtual void SozdatDeputatFreim();
    virtual void OtkrytPovestkuDeputata();                    // agenda of IdZasedania
    void SledovatZasedaniyuDeputata(int idZasedania);         // 0: the meeting was closed
    virtual void UstanovitImyaDeputata(const QString &tekst); // the frame's deputy label
    virtual void RazmestitDeputatFreim();                     // layout for the screen
    virtual void NastroitPDF();                               // toolbar on, scroll bars off
    virtual void SinhronizirovatKnopkiPDF();                  // KnopkiPDF visible exactly with the PDF view
    TDeputatFreim *DeputatFreimVid = nullptr;                 // the frame itself, filling DeputatFreim

    // Seat map.
    virtual bool PostroitKartuMest();                   // seats, names, vacated seats, legend; false on failure
    virtual bool ObnovitKartuMest(QString *oshibka);    // colouring; false with a text on failure
    // The legend, items 1..7 by index (7 is never shown; its colour marks a pending request),
    // the refresh's queries and the floor-granting click on a seat's name label.
    QVector<TGranica *> Legenda;
    QVector<TLeibl *> LegendaLeibl;
    DataSet *ZaprosGolos = nullptr;        // ballots of the vote param1 by seat number
    DataSet *ZaprosProgolosovali = nullptr; // seats that voted in vote param1, without the choice
    // Whether vote `golosovanie` is secret (kind 1): read once per vote, since the kind never
    // changes; false when there is no such vote. False on failure with ok = false.
    bool TainoeGolosovanie(int golosovanie, bool *ok);
    DataSet *ZaprosProshuSlova = nullptr;  // seat numbers with a speaker request
    void ClickFIOLabel(int mesto);

    // Registration at the seat.
    virtual void SozdatRegistraciyu();
    virtual void RegistraciaDopushennogo();   // mode 1 on an admitted deputy terminal
    virtual void RegistraciaNaTablo();        // mode 1 countdown on the board (console, chairman, watcher)
    virtual void VoitiVRegistraciyu();        // enter the registration screen
    virtual void OtschetRegistracii();        // registration countdown on the registration screen
    virtual void SinhronizaciyaRegistracii(); // follow presence records written elsewhere
    void SinhronizaciyaRegKnopki();           // the registration screen's button, the same in mode 1
    virtual void RegKnopkaClick();
    // The registration screen's parts beyond the name box and the button.
    QWidget *PanelRegTop = nullptr;
    GerbLeibl *GerbReg = nullptr;
    TGranica *DumaTextGranica = nullptr;
    QLabel *LeiblDumaText = nullptr;
    QLabel *LeiblZasedanieText = nullptr;
    TGranica *TaimerRegGranica = nullptr;
    QLabel *TaimerRegPhonLeibl = nullptr;
    QLabel *TaimerRegPhonLeibl2 = nullptr;

    // Voting panel.
    virtual void SozdatPanelGolosovania();
    virtual void SbrosPanelGolosovania();     // reset: hidden, coat of arms shown, "СБРОС" selected
    virtual void GolosKlavishei(int key, Qt::KeyboardModifiers modifiers);  // keys as voting buttons
    // Vote start: the panel with "СБРОС" white and the others black; the watcher keeps the
    // coat of arms. Called by the results board's vote display start.
    virtual void PokazatPanelGolosovania();
    class TKnopkiGolosovania *KnopkiGolosovania = nullptr;  // the four buttons and their handlers
    // The vote set-up dialog, opened by the console frame's button "Голосование".
    virtual void OtkrytNastroikuGolosovania();
    // On an operator console that comes back (after a crash, a kill or a fault) while the
    // mode row holds a registration or a vote whose countdown nobody writes any more: carries
    // it to its end. A countdown still moving belongs to another console and is left alone.
    // False when nothing was taken over.
    bool VozobnovitProcess();
    // How long a countdown must stand still before the console takes it over.
    int ZhdatOstanovkiMs = 2500;
    class TProcessGolos2Forma *ProcessGolos2Forma = nullptr;  // vote-progress window (console)

    // Speaker requests.
    virtual void SozdatSpisokZapis();
    virtual void RazmestitSpisokZapis();      // the chairman's list, every poller tick
    virtual void SinhronizaciyaProshuSlova(); // the deputy's button follows the request table
    virtual void LeiblProshuSlovaClick();
    // The chairman's list of requests with its grid and buttons.
    DataSet *ZaprosZapis = nullptr;
    class QListView *SpisokZapis = nullptr;
    class QTableView *SpisokTabl = nullptr;
    class QToolButton *SpisokVerh = nullptr;
    class QToolButton *SpisokNis = nullptr;
    class QToolButton *OchistkaProshuSlova = nullptr;
    void OchistkaProshuSlovaClick();
    void SpisokVerhClick();
    void SpisokNisClick();
    bool ProshuSlovaProchitano = false;  // the own seat's pending request has been read back

    // Results board.
    virtual void SozdatStrokiRezultatov();
    virtual void SkrytStrokiRezultatov();
    virtual void NachatTabloGolosovania();     // vote display start
    virtual void OtschetGolosovania();         // vote progress
    virtual void TabloRezultataGolosovania();  // vote result
    virtual void TabloRezultataRegistracii();  // registration summary
    // The four result rows (caption and number) and the decision line.
    QLabel *ZaLeibl = nullptr;
    QLabel *Za = nullptr;
    QLabel *ProtivLeibl = nullptr;
    QLabel *Protiv = nullptr;
    QLabel *VosdLeibl = nullptr;
    QLabel *Vosd = nullptr;
    QLabel *GolosovLeibl = nullptr;
    QLabel *Golosov = nullptr;
    QLabel *LeiblReshenie = nullptr;
    QLabel *LeiblKvorum = nullptr;  // quorum verdict under the rows (vote result, registration summary)

    // Seat commands (operator console).
    virtual void SozdatMenuDeputat();

    // Anthem.
    virtual void SozdatGimnFreim();

    // Operator console frame and its windows.
    virtual void SozdatAdminFrame();
    virtual void SozdatProcessGolos2Formu();   // vote-progress window, at window creation
    virtual void SozdatOknaRegistracii();      // registration-progress and registration-control windows
    virtual bool ZagruzitZasedanie();          // bind the frame to the open meeting
    virtual void ObnovitPovestku();            // reload the frame's agenda
    virtual void UstanovitZasedanieFreima(int id);
    virtual void RaspolozhitKnopki();          // arrange the frame's buttons
    virtual void SkrytPovestkuKonsoli();       // no meeting: grid and text hidden, panel silver
    virtual bool PovestkaKonsoliSkryta() const;
    virtual void PrivyazatPovestkuKonsoli(int idZasedania);  // bind the grid to a meeting, panel green
    virtual void PerekrasitPovestkuKonsoli();  // repaint the agenda grid (active item changed)
    virtual void AdminFormResize();            // heights of the frame's grid and text box
    // The frame inside AdminFrame and the registration windows, made by the hooks above.
    TAdminInterfeis *AdminInterfeis = nullptr;
    TRegistrForma *RegistrForma = nullptr;
    TProcessGolosForma *ProcessGolosForma = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sozdatKomponenty();
    void sozdatTablo();
    void sozdatRegistraciyuOsnovu();
    void sozdatPravuyuKolonku();
    void razmestitOblasti();

    // Connection (settings, dialog, identity statements). Returns the chairman-flag answer:
    // -1 no seat row, 0 an ordinary seat, 1 the chairman's seat; false on failure.
    bool podkluchit(const ConnectionParams &params, int *chairman);
    void oshibkaPodklucheniya();
    bool rolPredsedatelya();
    bool rolDeputata();
    void shagObshii();
    void prostoyTablo(int kod);
    void shagVremeni();

    Dialogs *m_dialogs;
    Platform *m_platform;

    QString m_versiaProgrammy = QStringLiteral("1.1.6");
    QColor m_cvetMolchaniya = QColor(255, 128, 64);
    bool m_zapuskUspeshen = true;
    bool m_rezhimAdmin = false;
    bool m_rezhimNabludatelya = false;
    QString m_loginMesta;
    int m_idSessii = -1;
    int m_idDeputata = 1;
    int m_idZasedania = 0;
    int m_idPovestki = 1;
    // The active item's stored text last parsed into InfoBack.
    QString m_infoRtf;
    bool m_infoRtfProchitan = false;
    bool m_dopusk = false;
    int m_vibranoeMesto = 0;
    bool m_perezapusk = false;
    int m_dnevnikKod = 0, m_dnevnikParam1 = 0;  // the mode last written to the log

    bool m_zavershena = false;
    void uvedomlenieRegima();
    bool m_tikUvedomleniyaZhdet = false;  // one queued tick takes any number of announcements
    bool m_vTikeOperaziy = false;         // a nested event loop inside a tick must not start another
    qint64 m_tikiPoUvedomleniyu = 0;

    FailSostoyaniya m_failSostoyaniya;
    qint64 m_zapushen = 0;        // process start, ms since the epoch
    int m_videnNomer = 0;         // the mode last acted on (code, param1) and since when
    int m_videnParam1 = 0;
    qint64 m_videnS = 0;
    QString m_sutSostoyaniya;     // the status as last written, without the statement counter
    qint64 m_sostoyanieZapisano = 0;
    QHash<int, int> m_vidGolosovania;   // vote -> kind, for votes that exist
    int m_netGolosovaniaNomer = 0;      // mode code and param1 last found to name no vote
    int m_netGolosovaniaParam1 = 0;
    bool m_netGolosovania = false;
};
