#include "support/workstation.h"

#include "viewer/pdfproverka.h"

#include "core/startgates.h"
#include "db/inifile.h"
#include "db/schema.h"

#include <QDir>

// ---- RecordingGlavForma ----------------------------------------------------------------------

#define RECORD(name) calls << QStringLiteral(#name)

void RecordingGlavForma::OtkrytPovestkuDeputata() { RECORD(OtkrytPovestkuDeputata); TGlavForma::OtkrytPovestkuDeputata(); }
void RecordingGlavForma::UstanovitImyaDeputata(const QString &tekst)
{
    calls << QStringLiteral("UstanovitImyaDeputata:") + tekst;
    TGlavForma::UstanovitImyaDeputata(tekst);
}
void RecordingGlavForma::RazmestitDeputatFreim() { RECORD(RazmestitDeputatFreim); TGlavForma::RazmestitDeputatFreim(); }
void RecordingGlavForma::NastroitPDF() { RECORD(NastroitPDF); TGlavForma::NastroitPDF(); }
void RecordingGlavForma::SinhronizirovatKnopkiPDF() { RECORD(SinhronizirovatKnopkiPDF); TGlavForma::SinhronizirovatKnopkiPDF(); }
bool RecordingGlavForma::PostroitKartuMest() { RECORD(PostroitKartuMest); return TGlavForma::PostroitKartuMest(); }
bool RecordingGlavForma::ObnovitKartuMest(QString *oshibka)
{
    RECORD(ObnovitKartuMest);
    if (!mapRefreshFailure.isEmpty()) {
        *oshibka = mapRefreshFailure;
        return false;
    }
    return TGlavForma::ObnovitKartuMest(oshibka);
}
void RecordingGlavForma::RegistraciaDopushennogo() { RECORD(RegistraciaDopushennogo); TGlavForma::RegistraciaDopushennogo(); }
void RecordingGlavForma::RegistraciaNaTablo() { RECORD(RegistraciaNaTablo); TGlavForma::RegistraciaNaTablo(); }
void RecordingGlavForma::VoitiVRegistraciyu() { RECORD(VoitiVRegistraciyu); TGlavForma::VoitiVRegistraciyu(); }
void RecordingGlavForma::OtschetRegistracii() { RECORD(OtschetRegistracii); TGlavForma::OtschetRegistracii(); }
void RecordingGlavForma::SinhronizaciyaRegistracii() { RECORD(SinhronizaciyaRegistracii); TGlavForma::SinhronizaciyaRegistracii(); }
void RecordingGlavForma::SbrosPanelGolosovania() { RECORD(SbrosPanelGolosovania); TGlavForma::SbrosPanelGolosovania(); }
void RecordingGlavForma::RazmestitSpisokZapis() { RECORD(RazmestitSpisokZapis); TGlavForma::RazmestitSpisokZapis(); }
void RecordingGlavForma::SinhronizaciyaProshuSlova() { RECORD(SinhronizaciyaProshuSlova); TGlavForma::SinhronizaciyaProshuSlova(); }
void RecordingGlavForma::SkrytStrokiRezultatov() { RECORD(SkrytStrokiRezultatov); TGlavForma::SkrytStrokiRezultatov(); }
void RecordingGlavForma::NachatTabloGolosovania() { RECORD(NachatTabloGolosovania); TGlavForma::NachatTabloGolosovania(); }
void RecordingGlavForma::OtschetGolosovania() { RECORD(OtschetGolosovania); TGlavForma::OtschetGolosovania(); }
void RecordingGlavForma::TabloRezultataGolosovania() { RECORD(TabloRezultataGolosovania); TGlavForma::TabloRezultataGolosovania(); }
void RecordingGlavForma::TabloRezultataRegistracii() { RECORD(TabloRezultataRegistracii); TGlavForma::TabloRezultataRegistracii(); }
void RecordingGlavForma::SozdatProcessGolos2Formu() { RECORD(SozdatProcessGolos2Formu); TGlavForma::SozdatProcessGolos2Formu(); }
void RecordingGlavForma::SozdatOknaRegistracii() { RECORD(SozdatOknaRegistracii); TGlavForma::SozdatOknaRegistracii(); }
bool RecordingGlavForma::ZagruzitZasedanie() { RECORD(ZagruzitZasedanie); return TGlavForma::ZagruzitZasedanie(); }
void RecordingGlavForma::ObnovitPovestku() { RECORD(ObnovitPovestku); TGlavForma::ObnovitPovestku(); }
void RecordingGlavForma::UstanovitZasedanieFreima(int id)
{
    calls << QStringLiteral("UstanovitZasedanieFreima:%1").arg(id);
    TGlavForma::UstanovitZasedanieFreima(id);
}
void RecordingGlavForma::RaspolozhitKnopki() { RECORD(RaspolozhitKnopki); TGlavForma::RaspolozhitKnopki(); }
void RecordingGlavForma::SkrytPovestkuKonsoli() { RECORD(SkrytPovestkuKonsoli); TGlavForma::SkrytPovestkuKonsoli(); }
bool RecordingGlavForma::PovestkaKonsoliSkryta() const
{
    return consoleAgendaHidden || TGlavForma::PovestkaKonsoliSkryta();
}
void RecordingGlavForma::PrivyazatPovestkuKonsoli(int idZasedania)
{
    calls << QStringLiteral("PrivyazatPovestkuKonsoli:%1").arg(idZasedania);
    consoleAgendaHidden = false;
    TGlavForma::PrivyazatPovestkuKonsoli(idZasedania);
}
void RecordingGlavForma::PerekrasitPovestkuKonsoli() { RECORD(PerekrasitPovestkuKonsoli); TGlavForma::PerekrasitPovestkuKonsoli(); }

#undef RECORD

// ---- Workstation ---------------------------------------------------------------------------

Workstation::Workstation(const QString &programDir, const QStringList &arguments) : platform(programDir)
{
    platform.args = arguments;
    // The document checker is built beside the program, not beside the tests.
    TPdfProverka::setProgramma(QStringLiteral(VOTER_BINARY_DIR "/voter-pdf"));
    m_window = std::make_unique<RecordingGlavForma>(&dialogs, &platform);
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
