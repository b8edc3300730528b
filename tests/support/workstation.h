#pragma once

// A whole hall in one test process: a fresh embedded database in a temporary folder and any
// number of workstations on it, each with its own main window, connection, scripted dialogs
// and platform (its own program folder, so its own settings file). Timers never fire by
// themselves: tests tick the handlers.
//
//   TestHall hall;                          // schema + demo data
//   hall.activateItem(2);                   // an agenda item is active
//   Workstation &console = hall.start("admin1");
//   Workstation &deputy = hall.start("07");
//   hall.setMode(2, vote, 30);
//   hall.poll();                            // one poller tick everywhere
//   QCOMPARE(deputy->RegimNomer(), 2);

#include "app/ekrany_zala.h"
#include "core/gerb.h"
#include "core/kontekst.h"
#include "core/oblasti.h"
#include "core/taimer.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "core/rezhim.h"
#include "core/tglavforma.h"
#include "core/vidzhety.h"
#include "support/fakes.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class TStartForma;

// The workstation's screens with every screen operation the window calls written down (the
// operation itself still runs), so a test sees which screen the timers and the start-up chose.
class RecordingScreens : public Ekrany {
public:
    explicit RecordingScreens(const KontekstEkrana &k) : zal(k) {}

    QStringList calls;
    // When set, the seat-map refresh fails with this text (and no database error).
    QString mapRefreshFailure;
    // When set, the console frame reports its agenda grid as hidden.
    bool consoleAgendaHidden = false;
    TEkranyZala zal;

    void OtkrytPovestkuDeputata() override;
    void SledovatZasedaniyuDeputata(int id) override { zal.SledovatZasedaniyuDeputata(id); }
    void UstanovitImyaDeputata(const QString &tekst) override;
    void RazmestitDeputatFreim() override;
    void NastroitPDF() override;
    void SinhronizirovatKnopkiPDF() override;
    bool PostroitKartuMest() override;
    bool ObnovitKartuMest(QString *oshibka) override;
    void RegistraciaDopushennogo() override;
    void RegistraciaNaTablo() override;
    void VoitiVRegistraciyu() override;
    void OtschetRegistracii() override;
    void SinhronizaciyaRegistracii() override;
    void SinhronizaciyaRegKnopki() override { zal.SinhronizaciyaRegKnopki(); }
    void SbrosPanelGolosovania() override;
    void PokazatPanelGolosovania() override { zal.PokazatPanelGolosovania(); }
    void GolosKlavishei(int key, Qt::KeyboardModifiers m) override { zal.GolosKlavishei(key, m); }
    void RazmestitSpisokZapis() override;
    void SinhronizaciyaProshuSlova() override;
    void LeiblProshuSlovaClick() override { zal.LeiblProshuSlovaClick(); }
    void SkrytStrokiRezultatov() override;
    bool StrokiRezultatovVidny() const override { return zal.StrokiRezultatovVidny(); }
    void NachatTabloGolosovania() override;
    void OtschetGolosovania() override;
    void TabloRezultataGolosovania() override;
    void TabloRezultataRegistracii() override;
    void OtkrytNastroikuGolosovania() override { zal.OtkrytNastroikuGolosovania(); }
    void SozdatProcessGolos2Formu() override;
    void SozdatOknaRegistracii() override;
    bool ZagruzitZasedanie() override;
    void ObnovitPovestku() override;
    void UstanovitZasedanieFreima(int id) override;
    void RaspolozhitKnopki() override;
    void SkrytPovestkuKonsoli() override;
    bool PovestkaKonsoliSkryta() const override;
    void PrivyazatPovestkuKonsoli(int idZasedania) override;
    void PerekrasitPovestkuKonsoli() override;
    void AdminFormResize() override { zal.AdminFormResize(); }
    bool VozobnovitProcess() override { return zal.VozobnovitProcess(); }
    QString OpisanieEkrana() const override { return zal.OpisanieEkrana(); }
};

// A test's view of one workstation's window: the window's state and regions (the screens'
// context), its timers and events, and each screen by name.
class WindowView : public KontekstEkrana {
public:
    WindowView(TGlavForma *okno, RecordingScreens *ekrany) : KontekstEkrana(okno), m_glav(okno), m_rec(ekrany) {}
    const WindowView *operator->() const { return this; }

    TGlavForma *glav() const { return m_glav; }
    // The window as a widget (a parent, a place in the widget tree).
    operator TGlavForma *() const { return m_glav; }
    RecordingScreens &rec() const { return *m_rec; }
    QStringList &calls() const { return m_rec->calls; }
    bool called(const QString &name) const { return m_rec->calls.contains(name); }
    int count(const QString &name) const { return int(m_rec->calls.count(name)); }

    TDeputatEkran &deputat() const { return m_rec->zal.deputat; }
    TRegistracia &registracia() const { return m_rec->zal.registracia; }
    TPanelGolosovania &panel() const { return m_rec->zal.panel; }
    TProshuSlova &spisok() const { return m_rec->zal.spisok; }
    TTablo &tablo() const { return m_rec->zal.tablo; }
    TKartaMest &karta() const { return m_rec->zal.karta; }
    TKonsolEkran &konsol() const { return m_rec->zal.konsol; }

    bool Zapusk() const { return m_glav->Zapusk(); }
    void TaimerOperaziyTimer() const { m_glav->TaimerOperaziyTimer(); }
    void TaimerVremyaTimer() const { m_glav->TaimerVremyaTimer(); }
    void TaimerProverkaPodklucheniyTimer() const { m_glav->TaimerProverkaPodklucheniyTimer(); }
    qint64 TikiPoUvedomleniyu() const { return m_glav->TikiPoUvedomleniyu(); }
    void FormActivate() const { m_glav->FormActivate(); }
    void FormResize() const { m_glav->FormResize(); }
    void FormClose() const { m_glav->FormClose(); }
    QString OpisanieEkrana() const { return m_rec->OpisanieEkrana(); }
    int RegKnopkaTag() const;

    // The window's own widget calls.
    void show() const { m_glav->show(); }
    void hide() const { m_glav->hide(); }
    void resize(int w, int h) const { m_glav->resize(w, h); }
    void resize(const QSize &s) const { m_glav->resize(s); }
    void setGeometry(const QRect &r) const { m_glav->setGeometry(r); }
    void setGeometry(int x, int y, int w, int h) const { m_glav->setGeometry(x, y, w, h); }
    QString windowTitle() const { return m_glav->windowTitle(); }
    Qt::WindowStates windowState() const { return m_glav->windowState(); }
    void activateWindow() const { m_glav->activateWindow(); }
    bool isVisible() const { return m_glav->isVisible(); }
    QRect rect() const { return m_glav->rect(); }
    int width() const { return m_glav->width(); }
    int height() const { return m_glav->height(); }
    template <typename T> T findChild(const QString &name = QString()) const { return m_glav->findChild<T>(name); }
    template <typename T> QList<T> findChildren(const QString &name = QString()) const { return m_glav->findChildren<T>(name); }

private:
    TGlavForma *m_glav;
    RecordingScreens *m_rec;
};

class Workstation {
public:
    Workstation(const QString &programDir, const QStringList &arguments);
    ~Workstation();
    Workstation(const Workstation &) = delete;
    Workstation &operator=(const Workstation &) = delete;

    // Runs the start-up; the result of TGlavForma::Zapusk.
    bool start();

    TGlavForma *glav() const { return m_window.get(); }
    WindowView *window() const { return m_view.get(); }
    WindowView *operator->() const { return m_view.get(); }
    // Screen operations called so far, and forgetting them.
    const QStringList &calls() const { return m_rec->calls; }
    void clearCalls() { m_rec->calls.clear(); }
    bool started() const { return m_started; }
    bool ended() const { return platform.ended; }

    // Timer ticks, n times each (skipped once the program has ended).
    void poll(int n = 1);
    void clock(int n = 1);
    void monitor(int n = 1);
    // One second of the workstation's life: four poller ticks, a clock and a monitor tick.
    void second(int n = 1);

    // The workstation's settings file and one of its values.
    QString settingsPath() const;
    QString setting(const QString &section, const QString &key, const QString &defaultValue = QString()) const;

    // What gates the start-up showed, by class name ("TStartProstoyForma", ...).
    QStringList modalWindows() const { return dialogs.modalClasses; }
    // Texts of the message boxes shown so far.
    QStringList messages() const;

    // Queues an answer for the next modal gate: `act` is called with the gate and may tick it
    // (gate->TaimerProverkaTimer()), change the database between ticks or press its button.
    // The gate's result is what the modal wait returns.
    void onGate(std::function<void(TStartForma *gate)> act);

    FakeDialogs dialogs;
    FakePlatform platform;

private:
    RecordingScreens *m_rec = nullptr;  // owned by the window
    std::unique_ptr<TGlavForma> m_window;
    std::unique_ptr<WindowView> m_view;
    bool m_started = false;
};

class TestHall {
public:
    enum Data { Empty, Demo };
    explicit TestHall(Data data = Demo);
    ~TestHall();
    TestHall(const TestHall &) = delete;
    TestHall &operator=(const TestHall &) = delete;

    // False (with error()) when the database could not be made; tests QVERIFY2 it.
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString dir() const { return m_dir.path(); }
    QString dbPath() const;

    // A workstation with the arguments "auto", "embedded", <database>, login; not started.
    Workstation &add(const QString &login);
    // The same with any command line (an empty list: no arguments at all).
    // A folder may be given to start a workstation where an earlier one ran (a restart).
    Workstation &addWithArguments(const QStringList &arguments, const QString &programDir = QString());
    // The same workstation started again in its folder with its arguments.
    Workstation &restart(const Workstation &earlier);
    // add() and start(); check ws.started()/ws.ended() for the outcome.
    Workstation &start(const QString &login);
    const std::vector<std::unique_ptr<Workstation>> &workstations() const { return m_ws; }

    // Ticks on every workstation still running.
    void poll(int n = 1);
    void clock(int n = 1);
    void monitor(int n = 1);
    void second(int n = 1);

    // The test's own connection to the hall database (login admin1).
    DbConnection &db() { return m_db; }
    bool exec(const QString &sql);
    QVariant scalar(const QString &sql);
    int scalarInt(const QString &sql) { return scalar(sql).toInt(); }

    // The mode row: all three columns, or only the code (parameters kept).
    bool setMode(int nomer, int param1, int param2);
    bool setMode(int nomer);
    // Makes one agenda item the active one (all others inactive), as item activation does.
    bool activateItem(int idPovestki);
    bool deactivateItems();
    // Opens a registration period for the meeting and returns its id (-1 on failure).
    int openPeriod(int idZasedania);
    // A presence record of the deputy in the period.
    bool registerDeputy(int idDeputata, int idSessii, int idZasedania);
    // The deputy seated at a seat ("07"), or -1.
    int deputyAt(const QString &seat);
    // The meeting of the demo data.
    int demoMeeting();

private:
    QTemporaryDir m_dir;
    DbConnection m_db;
    bool m_ok = false;
    QString m_error;
    std::vector<std::unique_ptr<Workstation>> m_ws;
};
