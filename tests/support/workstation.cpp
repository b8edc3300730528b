#include "support/workstation.h"

#include "viewer/pdfproverka.h"

#include "core/startgates.h"
#include "db/inifile.h"
#include "db/schema.h"

#include <QDir>

// ---- RecordingScreens ----------------------------------------------------------------------

#define RECORD(name) calls << QStringLiteral(#name)

void RecordingScreens::OtkrytPovestkuDeputata() { RECORD(OtkrytPovestkuDeputata); zal.OtkrytPovestkuDeputata(); }
void RecordingScreens::UstanovitImyaDeputata(const QString &tekst)
{
    calls << QStringLiteral("UstanovitImyaDeputata:") + tekst;
    zal.UstanovitImyaDeputata(tekst);
}
void RecordingScreens::RazmestitDeputatFreim() { RECORD(RazmestitDeputatFreim); zal.RazmestitDeputatFreim(); }
void RecordingScreens::NastroitPDF() { RECORD(NastroitPDF); zal.NastroitPDF(); }
void RecordingScreens::SinhronizirovatKnopkiPDF() { RECORD(SinhronizirovatKnopkiPDF); zal.SinhronizirovatKnopkiPDF(); }
bool RecordingScreens::PostroitKartuMest() { RECORD(PostroitKartuMest); return zal.PostroitKartuMest(); }
bool RecordingScreens::ObnovitKartuMest(QString *oshibka)
{
    RECORD(ObnovitKartuMest);
    if (!mapRefreshFailure.isEmpty()) {
        *oshibka = mapRefreshFailure;
        return false;
    }
    return zal.ObnovitKartuMest(oshibka);
}
void RecordingScreens::RegistraciaDopushennogo() { RECORD(RegistraciaDopushennogo); zal.RegistraciaDopushennogo(); }
void RecordingScreens::RegistraciaNaTablo() { RECORD(RegistraciaNaTablo); zal.RegistraciaNaTablo(); }
void RecordingScreens::VoitiVRegistraciyu() { RECORD(VoitiVRegistraciyu); zal.VoitiVRegistraciyu(); }
void RecordingScreens::OtschetRegistracii() { RECORD(OtschetRegistracii); zal.OtschetRegistracii(); }
void RecordingScreens::SinhronizaciyaRegistracii() { RECORD(SinhronizaciyaRegistracii); zal.SinhronizaciyaRegistracii(); }
void RecordingScreens::SbrosPanelGolosovania() { RECORD(SbrosPanelGolosovania); zal.SbrosPanelGolosovania(); }
void RecordingScreens::RazmestitSpisokZapis() { RECORD(RazmestitSpisokZapis); zal.RazmestitSpisokZapis(); }
void RecordingScreens::SinhronizaciyaProshuSlova() { RECORD(SinhronizaciyaProshuSlova); zal.SinhronizaciyaProshuSlova(); }
void RecordingScreens::SkrytStrokiRezultatov() { RECORD(SkrytStrokiRezultatov); zal.SkrytStrokiRezultatov(); }
void RecordingScreens::NachatTabloGolosovania() { RECORD(NachatTabloGolosovania); zal.NachatTabloGolosovania(); }
void RecordingScreens::OtschetGolosovania() { RECORD(OtschetGolosovania); zal.OtschetGolosovania(); }
void RecordingScreens::TabloRezultataGolosovania() { RECORD(TabloRezultataGolosovania); zal.TabloRezultataGolosovania(); }
void RecordingScreens::TabloRezultataRegistracii() { RECORD(TabloRezultataRegistracii); zal.TabloRezultataRegistracii(); }
void RecordingScreens::SozdatProcessGolos2Formu() { RECORD(SozdatProcessGolos2Formu); zal.SozdatProcessGolos2Formu(); }
void RecordingScreens::SozdatOknaRegistracii() { RECORD(SozdatOknaRegistracii); zal.SozdatOknaRegistracii(); }
bool RecordingScreens::ZagruzitZasedanie() { RECORD(ZagruzitZasedanie); return zal.ZagruzitZasedanie(); }
void RecordingScreens::ObnovitPovestku() { RECORD(ObnovitPovestku); zal.ObnovitPovestku(); }
void RecordingScreens::UstanovitZasedanieFreima(int id)
{
    calls << QStringLiteral("UstanovitZasedanieFreima:%1").arg(id);
    zal.UstanovitZasedanieFreima(id);
}
void RecordingScreens::RaspolozhitKnopki() { RECORD(RaspolozhitKnopki); zal.RaspolozhitKnopki(); }
void RecordingScreens::SkrytPovestkuKonsoli() { RECORD(SkrytPovestkuKonsoli); zal.SkrytPovestkuKonsoli(); }
bool RecordingScreens::PovestkaKonsoliSkryta() const
{
    return consoleAgendaHidden || zal.PovestkaKonsoliSkryta();
}
void RecordingScreens::PrivyazatPovestkuKonsoli(int idZasedania)
{
    calls << QStringLiteral("PrivyazatPovestkuKonsoli:%1").arg(idZasedania);
    consoleAgendaHidden = false;
    zal.PrivyazatPovestkuKonsoli(idZasedania);
}
void RecordingScreens::PerekrasitPovestkuKonsoli() { RECORD(PerekrasitPovestkuKonsoli); zal.PerekrasitPovestkuKonsoli(); }

#undef RECORD

int WindowView::RegKnopkaTag() const
{
    return ob().RegKnopka->tag();
}

// ---- Workstation ---------------------------------------------------------------------------

Workstation::Workstation(const QString &programDir, const QStringList &arguments) : platform(programDir)
{
    platform.args = arguments;
    // The document checker is built beside the program, not beside the tests.
    TPdfProverka::setProgramma(QStringLiteral(VOTER_BINARY_DIR "/voter-pdf"));
    m_window = std::make_unique<TGlavForma>(&dialogs, &platform, [this](const KontekstEkrana &k) {
        auto rec = std::make_unique<RecordingScreens>(k);
        m_rec = rec.get();
        return std::unique_ptr<Ekrany>(std::move(rec));
    });
    m_view = std::make_unique<WindowView>(m_window.get(), m_rec);
    m_window->setRuchnyeTiki(true);
}

Workstation::~Workstation() = default;

bool Workstation::start()
{
    m_started = m_window->Zapusk();
    return m_started;
}

void Workstation::poll(int n)
{
    for (int i = 0; i < n && !ended(); ++i)
        m_window->TaimerOperaziyTimer();
}

void Workstation::clock(int n)
{
    for (int i = 0; i < n && !ended(); ++i)
        m_window->TaimerVremyaTimer();
}

void Workstation::monitor(int n)
{
    for (int i = 0; i < n && !ended(); ++i)
        m_window->TaimerProverkaPodklucheniyTimer();
}

void Workstation::second(int n)
{
    for (int i = 0; i < n && !ended(); ++i) {
        poll(4);
        clock();
        monitor();
    }
}

QString Workstation::settingsPath() const
{
    return settingsPathFor(platform.programPath());
}

QString Workstation::setting(const QString &section, const QString &key, const QString &defaultValue) const
{
    return iniRead(settingsPath(), section, key, defaultValue);
}

QStringList Workstation::messages() const
{
    QStringList out;
    for (const FakeDialogs::Shown &s : dialogs.shown)
        out << s.text;
    return out;
}

void Workstation::onGate(std::function<void(TStartForma *)> act)
{
    dialogs.modalHandlers.enqueue([act](QDialog *d) {
        auto *gate = qobject_cast<TStartForma *>(d);
        if (!gate)
            return int(QDialog::Rejected);
        act(gate);
        return gate->result();
    });
}

// ---- TestHall ------------------------------------------------------------------------------

TestHall::TestHall(Data data)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    if (!schema::createEmbedded(dbPath(), &m_error))
        return;
    ConnectionParams p;
    p.server = QStringLiteral("embedded");
    p.database = dbPath();
    p.login = QStringLiteral("admin1");
    p.password = QStringLiteral("admin1");
    if (!m_db.open(p)) {
        m_error = m_db.firstErrorText();
        return;
    }
    if (data == Demo && !schema::loadDemo(m_db, dir(), &m_error))
        return;
    m_ok = true;
}

TestHall::~TestHall()
{
    // Windows first: they hold connections to the file in the temporary folder.
    m_ws.clear();
    m_db.close();
}

QString TestHall::dbPath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("voter.db"));
}

Workstation &TestHall::add(const QString &login)
{
    return addWithArguments({QStringLiteral("auto"), QStringLiteral("embedded"), dbPath(), login});
}

Workstation &TestHall::addWithArguments(const QStringList &arguments, const QString &programDir)
{
    const QString folder = programDir.isEmpty()
                               ? QDir(m_dir.path()).filePath(QStringLiteral("ws%1").arg(m_ws.size() + 1))
                               : programDir;
    QDir().mkpath(folder);
    m_ws.push_back(std::make_unique<Workstation>(folder, arguments));
    return *m_ws.back();
}

Workstation &TestHall::restart(const Workstation &earlier)
{
    Workstation &ws = addWithArguments(earlier.platform.args, earlier.platform.dir);
    ws.start();
    return ws;
}

Workstation &TestHall::start(const QString &login)
{
    Workstation &ws = add(login);
    ws.start();
    return ws;
}

void TestHall::poll(int n)
{
    for (int i = 0; i < n; ++i)
        for (auto &ws : m_ws)
            if (ws->started())
                ws->poll();
}

void TestHall::clock(int n)
{
    for (int i = 0; i < n; ++i)
        for (auto &ws : m_ws)
            if (ws->started())
                ws->clock();
}

void TestHall::monitor(int n)
{
    for (int i = 0; i < n; ++i)
        for (auto &ws : m_ws)
            if (ws->started())
                ws->monitor();
}

void TestHall::second(int n)
{
    for (int i = 0; i < n; ++i) {
        poll(4);
        clock();
        monitor();
    }
}

bool TestHall::exec(const QString &sql)
{
    const bool ok = m_db.exec(sql);
    if (!ok) {
        qWarning("TestHall: %s\n  %s", qPrintable(m_db.firstErrorText()), qPrintable(sql));
        m_db.clearErrors();
    }
    return ok;
}

QVariant TestHall::scalar(const QString &sql)
{
    bool ok = false;
    const QVariant v = m_db.scalar(sql, &ok);
    if (!ok) {
        qWarning("TestHall: %s\n  %s", qPrintable(m_db.firstErrorText()), qPrintable(sql));
        m_db.clearErrors();
    }
    return v;
}

bool TestHall::setMode(int nomer, int param1, int param2)
{
    return exec(QStringLiteral("UPDATE regim SET nomer=%1,param1=%2,param2=%3").arg(nomer).arg(param1).arg(param2));
}

bool TestHall::setMode(int nomer)
{
    return exec(QStringLiteral("UPDATE regim SET nomer=%1").arg(nomer));
}

bool TestHall::activateItem(int idPovestki)
{
    return exec(QStringLiteral("UPDATE povestka SET aktiv = 0"))
           && exec(QStringLiteral("UPDATE povestka SET aktiv = 1, aktiv_data = GETDATE() WHERE id = %1").arg(idPovestki));
}

bool TestHall::deactivateItems()
{
    return exec(QStringLiteral("UPDATE povestka SET aktiv = 0"));
}

int TestHall::openPeriod(int idZasedania)
{
    if (!exec(QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (%1)").arg(idZasedania)))
        return -1;
    return scalarInt(QStringLiteral("SELECT max(id) FROM sessia_start;"));
}

bool TestHall::registerDeputy(int idDeputata, int idSessii, int idZasedania)
{
    return exec(QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (%1,%2,%3)")
                    .arg(idZasedania)
                    .arg(idDeputata)
                    .arg(idSessii));
}

int TestHall::deputyAt(const QString &seat)
{
    const QVariant v = scalar(QStringLiteral("SELECT id_deputat FROM sostav,mesto WHERE (mesto.id = sostav.id_mesto) "
                                             "AND (mesto.nomer = %1)")
                                  .arg(sql::quote(seat)));
    return v.isNull() ? -1 : v.toInt();
}

int TestHall::demoMeeting()
{
    return scalarInt(QStringLiteral("SELECT TOP 1 id FROM zasedanie ORDER BY id"));
}
