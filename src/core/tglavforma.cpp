#include "core/tglavforma.h"

#include "db/dnevnik.h"

#include "core/cveta.h"
#include "core/dialogs.h"
#include "core/gerb.h"
#include "core/platform.h"
#include "core/richtext.h"
#include "core/startgates.h"
#include "core/tpodklforma.h"
#include "core/vidzhety.h"
#include "db/inifile.h"
#include "rtf/rtf.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTextEdit>
#include <QTime>

#include <algorithm>

const QString TGlavForma::ZagolovokPodkluchenie = QStringLiteral("Подключение к БД");
const QString TGlavForma::ZagolovokPredsedatelya = QStringLiteral("Рабочее место председателя");
const QString TGlavForma::ZagolovokDeputata = QStringLiteral("Рабочее место депутата");

namespace {

// Width of the right-hand column and height of the results board in it.
constexpr int ShirinaKolonki = 369;
constexpr int VysotaTablo = 300;

const QString kSekciyaPodkl = QStringLiteral("Podkluchenie");
// Server offered when the settings file names none: the database file beside the program.
const QString kServerPoUmolchaniyu = QStringLiteral("embedded");

const QString kAktivnoeZasedanie = QStringLiteral("SELECT id_zasedanie FROM povestka WHERE aktiv = 1;");

bool vidim(const QWidget *w)
{
    return w && !w->isHidden();
}

// Moves a widget to another parent keeping whether it is set visible.
void peremestit(QWidget *w, QWidget *roditel)
{
    if (w->parentWidget() == roditel)
        return;
    const bool byl = !w->isHidden();
    w->setParent(roditel);
    w->setVisible(byl);
}

QLabel *leibl(QWidget *parent, const char *name, const QString &text, const QRect &geom, const QFont &font,
              Qt::Alignment align = Qt::AlignHCenter | Qt::AlignTop)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geom);
    l->setFont(font);
    l->setAlignment(align);
    return l;
}

QWidget *panel(QWidget *parent, const char *name, const QColor &colour = QColor())
{
    auto *w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(name));
    if (colour.isValid())
        ustanovitCvet(w, colour);
    return w;
}

QString imyaIzStroki(const ResultSet &rs, const QString &razdelitel)
{
    return rs.value(0, 0).toString() + razdelitel + rs.value(0, 1).toString() + razdelitel
           + rs.value(0, 2).toString();
}

}  // namespace

// ---- Taimer ----------------------------------------------------------------------------

Taimer::Taimer(const QString &name, int intervalMs, QObject *parent) : QObject(parent)
{
    setObjectName(name);
    m_timer.setInterval(intervalMs);
    // A coarse timer may fire up to 5 % late; the hall expects every terminal to follow the
    // mode row within one poller period.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Taimer::timeout);
}

void Taimer::setEnabled(bool on)
{
    m_enabled = on;
    apply();
}

void Taimer::setFiring(bool on)
{
    m_firing = on;
    apply();
}

void Taimer::apply()
{
    if (m_enabled && m_firing) {
        if (!m_timer.isActive())
            m_timer.start();
    } else {
        m_timer.stop();
    }
}

// ---- Construction ------------------------------------------------------------------------

TGlavForma::TGlavForma(Dialogs *dialogs, Platform *platform, QWidget *parent)
    : QWidget(parent), m_dialogs(dialogs), m_platform(platform)
{
    setObjectName(QStringLiteral("GlavForma"));
    setWindowTitle(ZagolovokPodkluchenie);

    TaimerOperaziy = new Taimer(QStringLiteral("TaimerOperaziy"), 250, this);
    TaimerVremya = new Taimer(QStringLiteral("TaimerVremya"), 1000, this);
    TaimerProverkaPodklucheniy = new Taimer(QStringLiteral("TaimerProverkaPodklucheniy"), 1000, this);
    connect(TaimerOperaziy, &Taimer::timeout, this, &TGlavForma::TaimerOperaziyTimer);
    connect(TaimerVremya, &Taimer::timeout, this, &TGlavForma::TaimerVremyaTimer);
    connect(TaimerProverkaPodklucheniy, &Taimer::timeout, this, &TGlavForma::TaimerProverkaPodklucheniyTimer);

    ZaprosRegima = new rezhim::ZaprosRegimaNabor(&GlavBasa, this);
    GlavBasa.listen(rezhim::kanal(), [this] { uvedomlenieRegima(); });
    connect(ZaprosRegima, &DataSet::afterOpen, this, &TGlavForma::ZaprosRegimaAfterOpen);

    ZaprosRegistracia = new DataSet(&GlavBasa, this);
    ZaprosRegistracia->setObjectName(QStringLiteral("ZaprosRegistracia"));
    ZaprosRegistracia->setSql(sql::lines({QStringLiteral("SELECT nomer,sessia.id_deputat"),
                                          QStringLiteral("FROM sessia,sostav,mesto "), QStringLiteral("WHERE "),
                                          QStringLiteral(" (id_sessia=:a)"),
                                          QStringLiteral(" AND (sostav.id_deputat = sessia.id_deputat)"),
                                          QStringLiteral(" AND (mesto.id = sostav.id_mesto)")}));

    Sostav = new DataSet(&GlavBasa, this);
    Sostav->setObjectName(QStringLiteral("Sostav"));
    Sostav->setSql(sql::lines({QStringLiteral("SELECT"), QStringLiteral(" familia + ' ' + imya + ' ' + otchestvo as fio,"),
                               QStringLiteral(" nomer,"), QStringLiteral(" chairman,"),
                               QStringLiteral(" mesto.id as id_mesto,"), QStringLiteral(" deputat.id as id_deputat"),
                               QStringLiteral("FROM"), QStringLiteral(" sostav,deputat,mesto"), QStringLiteral("WHERE"),
                               QStringLiteral(" (deputat.id = sostav.id_deputat) AND"),
                               QStringLiteral(" (mesto.id = sostav.id_mesto)")}));

    KolGolosov = new DataSet(&GlavBasa, this);
    KolGolosov->setObjectName(QStringLiteral("KolGolosov"));
    Zapros = new DataSet(&GlavBasa, this);
    Zapros->setObjectName(QStringLiteral("Zapros"));

    ProverkaPorklucheniy = new DataSet(&GlavBasa, this);
    ProverkaPorklucheniy->setObjectName(QStringLiteral("ProverkaPorklucheniy"));
    ProverkaPorklucheniy->setSql(sql::lines({QStringLiteral("SELECT "), QStringLiteral("   nomer,connected,podkl,"),
                                             QStringLiteral("   DATEDIFF(ss,podkl,GETDATE()) as diff"),
                                             QStringLiteral("FROM "), QStringLiteral("   mesto;")}));

    sozdatKomponenty();
    resize(m_platform->screenSize());

    // Key releases reach the window before its controls (the keypad votes).
    qApp->installEventFilter(this);

    // The screens built on this window add their parts.
    SozdatDeputatFreim();
    SozdatRegistraciyu();
    SozdatPanelGolosovania();
    SozdatSpisokZapis();
    SozdatStrokiRezultatov();
    SozdatMenuDeputat();
    SozdatGimnFreim();
    SozdatAdminFrame();
}

TGlavForma::~TGlavForma()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void TGlavForma::sozdatKomponenty()
{
    PanelSprava = panel(this, "PanelSprava");
    DeputatFreim = panel(this, "DeputatFreim", Qt::white);
    sozdatPravuyuKolonku();

    PanelStart = panel(this, "PanelStart", Qt::white);
    GerbStart = new GerbLeibl(PanelStart);
    GerbStart->setObjectName(QStringLiteral("GerbStart"));
    PanelStart->installEventFilter(this);

    sozdatRegistraciyuOsnovu();

    GimnFreim = panel(this, "GimnFreim", cvet::Zaregistrirovan());
    GimnFreim->hide();

    PanelSleva->installEventFilter(this);
    razmestitOblasti();
}

void TGlavForma::sozdatPravuyuKolonku()
{
    PanelSleva = panel(this, "PanelSleva");
    PanelSpravaVerh = panel(PanelSleva, "PanelSpravaVerh");
    PanelSlevaNis = panel(PanelSleva, "PanelSlevaNis");

    Gerb = new GerbLeibl(PanelSpravaVerh);
    Gerb->setObjectName(QStringLiteral("Gerb"));
    Gerb->setGeometry(54, 16, 260, 300);

    GranicaProshuSlova = new TGranica(PanelSpravaVerh);
    GranicaProshuSlova->setObjectName(QStringLiteral("GranicaProshuSlova"));
    GranicaProshuSlova->setGeometry(64, 360, 241, 70);
    LeiblProshuSlova = new TLeibl(QStringLiteral("ПРОШУ СЛОВА"), PanelSpravaVerh);
    LeiblProshuSlova->setObjectName(QStringLiteral("LeiblProshuSlova"));
    LeiblProshuSlova->setGeometry(65, 361, 239, 68);
    LeiblProshuSlova->setFont(arialPx(24, true));
    LeiblProshuSlova->setAlignment(Qt::AlignCenter);
    LeiblProshuSlova->setWordWrap(true);
    ustanovitCvet(LeiblProshuSlova, cvet::ProshuSlova());
    connect(LeiblProshuSlova, &TLeibl::clicked, this, &TGlavForma::LeiblProshuSlovaClick);
    connect(GranicaProshuSlova, &TGranica::mouseDown, this, &TGlavForma::LeiblProshuSlovaClick);

    PanelGolosovanie = panel(PanelSpravaVerh, "PanelGolosovanie", cvet::Zaregistrirovan());
    GranicaGolosov = new TGranica(PanelGolosovanie);
    GranicaGolosov->setObjectName(QStringLiteral("GranicaGolosov"));
    GranicaGolosov->setPero(cvet::Lime(), 5);
    GranicaGolosov->setZalivka(QColor());
    PanelGolosovanie->hide();

    AdminFrame = panel(PanelSpravaVerh, "AdminFrame", cvet::Serebro());
    AdminFrame->hide();

    PanelTabloGolos = panel(PanelSlevaNis, "PanelTabloGolos", cvet::Serebro());
    sozdatTablo();
}

void TGlavForma::sozdatTablo()
{
    QWidget *t = PanelTabloGolos;
    const int w = ShirinaKolonki;
    LeiblDuma = leibl(t, "LeiblDuma", QStringLiteral("Тальминская областная Дума"), QRect(0, 6, w, 17), arialPx(13, true));
    LeiblZasedanie = leibl(t, "LeiblZasedanie", QString(), QRect(0, 25, w, 17), arialPx(13, true));
    LeiblVopros = leibl(t, "LeiblVopros", QString(), QRect(0, 44, w, 17), arialPx(13, true));
    LeiblRegim = leibl(t, "LeiblRegim", QString(), QRect(0, 63, w, 17), arialPx(13, true));
    LeiblRegim->hide();

    InfoTablo = new QTextEdit(t);
    InfoTablo->setObjectName(QStringLiteral("InfoTablo"));
    InfoTablo->setGeometry(8, 64, 353, 143);
    InfoTablo->setReadOnly(true);
    InfoTablo->hide();
    InfoBack = new QTextEdit(t);
    InfoBack->setObjectName(QStringLiteral("InfoBack"));
    InfoBack->setGeometry(8, 64, 353, 143);
    InfoBack->hide();

    InfoLabel = leibl(t, "InfoLabel", QString(), InfoTablo->geometry(), arialPx(11, false));
    InfoLabel->setWordWrap(true);

    LeiblVremya = leibl(t, "LeiblVremya", QString(), QRect(0, 120, w, 34), arialPx(27, true));
    LeiblVremya->setWordWrap(true);

    ProgressBarTablo = new QProgressBar(t);
    ProgressBarTablo->setObjectName(QStringLiteral("ProgressBarTablo"));
    ProgressBarTablo->setGeometry((w - 318) / 2, 150, 318, 17);
    ProgressBarTablo->setTextVisible(false);
    ProgressBarTablo->setRange(0, 0);
    ProgressBarTablo->hide();

    LeiblKolGolosov = leibl(t, "LeiblKolGolosov", QString(), QRect(0, 218, w, 30), arialPx(24, true));
    LeiblKolGolosov->hide();
    ZaregLeibl = leibl(t, "ZaregLeibl", QString(), QRect(0, VysotaTablo - 8 - 30, w, 30), arialPx(24, true));
    ZaregLeibl->hide();
}

void TGlavForma::sozdatRegistraciyuOsnovu()
{
    PanelRegistracia = panel(this, "PanelRegistracia", cvet::Zaregistrirovan());
    PanelRegistracia->hide();
    const QSize s = m_platform->screenSize();
    const int W = s.width();
    const int H = s.height();

    const int shirina = (W - 70) / 2;
    const int verh = (H - 629) / 2 + 174;
    FIOGranica = new TGranica(PanelRegistracia);
    FIOGranica->setObjectName(QStringLiteral("FIOGranica"));
    FIOGranica->setGeometry(16, verh, shirina, 190);
    FIOPHONLeibl = leibl(PanelRegistracia, "FIOPHONLeibl", QString(), QRect(17, verh + 1, shirina - 2, 188),
                         arialPx(32, true), Qt::AlignCenter);
    FIOPHONLeibl->setWordWrap(true);
    ustanovitCvet(FIOPHONLeibl, cvet::SvetloSeryi());
    ustanovitCvetTeksta(FIOPHONLeibl, cvet::TemnoFioletovyi());

    RegGranica = new TGranica(PanelRegistracia);
    RegGranica->setObjectName(QStringLiteral("RegGranica"));
    RegGranica->setGeometry(16, H - 22 - 237, W - 34, 237);
    RegKnopka = new TLeibl(QStringLiteral("РЕГИСТРАЦИЯ"), PanelRegistracia);
    RegKnopka->setObjectName(QStringLiteral("RegKnopka"));
    RegKnopka->setGeometry(17, H - 22 - 236, W - 36, 235);
    RegKnopka->setFont(arialPx(32, true));
    RegKnopka->setAlignment(Qt::AlignCenter);
    ustanovitCvet(RegKnopka, cvet::KnopkaRegistracii());
    ustanovitCvetTeksta(RegKnopka, Qt::white);
    RegKnopka->setTag(1);
    connect(RegKnopka, &TLeibl::clicked, this, &TGlavForma::RegKnopkaClick);
    connect(RegGranica, &TGranica::mouseDown, this, &TGlavForma::RegKnopkaClick);
}

int TGlavForma::RegKnopkaTag() const
{
    return RegKnopka->tag();
}

void TGlavForma::setRegKnopkaTag(int tag)
{
    RegKnopka->setTag(tag);
}

// Lays the regions out as their alignment says: the right-hand column against the right
// edge, the seat map, the document frame and the start screen in the rest, the registration
// screen and the anthem over everything.
void TGlavForma::razmestitOblasti()
{
    const int W = width();
    const int H = height();
    const bool kolonka = vidim(PanelSleva);
    const QRect ostatok(0, 0, kolonka ? qMax(0, W - ShirinaKolonki) : W, H);

    if (PanelSleva->parentWidget() == this)
        PanelSleva->setGeometry(W - ShirinaKolonki, 0, ShirinaKolonki, H);
    PanelSpravaVerh->setGeometry(0, 0, ShirinaKolonki, qMax(0, H - VysotaTablo));
    PanelSlevaNis->setGeometry(0, qMax(0, H - VysotaTablo), ShirinaKolonki, VysotaTablo);
    PanelTabloGolos->setGeometry(PanelSlevaNis->rect());
    PanelGolosovanie->setGeometry(PanelSpravaVerh->rect());
    GranicaGolosov->setGeometry(PanelGolosovanie->rect());
    GranicaGolosov->lower();
    if (AdminFrame->parentWidget() == PanelSpravaVerh)
        AdminFrame->setGeometry(PanelSpravaVerh->rect());

    PanelSprava->setGeometry(ostatok);
    if (DeputatFreim->parentWidget() == this)
        DeputatFreim->setGeometry(ostatok);
    if (PanelStart->parentWidget() == this)
        PanelStart->setGeometry(ostatok);
    else if (PanelStart->parentWidget())
        PanelStart->setGeometry(PanelStart->parentWidget()->rect());
    if (PanelRegistracia->parentWidget() == this)
        PanelRegistracia->setGeometry(0, 0, W, H);
    if (GimnFreim->parentWidget() == this)
        GimnFreim->setGeometry(0, 0, W, H);
}

bool TGlavForma::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyRelease:
        if (watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            // Seen once per key: at the widget that receives it first.
            QWidget *first = QApplication::focusWidget();
            if (w->window() == this && (w == first || (!first && w == this)))
                FormKeyUp(static_cast<QKeyEvent *>(event));
        }
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (watched == PanelSleva)
            razmestitOblasti();
        break;
    case QEvent::Resize:
        if (watched == PanelStart) {
            // The coat of arms stays centred on the start screen.
            const QRect r = PanelStart->rect();
            const int h = qMin(r.height() - 40, 560);
            const int w = h * 5 / 6;
            GerbStart->setGeometry((r.width() - w) / 2, (r.height() - h) / 2, w, h);
        }
        break;
    case QEvent::ParentChange:
        if (watched == PanelStart)
            razmestitOblasti();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool TGlavForma::OknoPredsedatelya() const
{
    return windowTitle() == ZagolovokPredsedatelya;
}

bool TGlavForma::OknoDeputata() const
{
    return windowTitle() == ZagolovokDeputata;
}

QString TGlavForma::FailNastroek() const
{
    return settingsPathFor(m_platform->programPath());
}

void TGlavForma::setRuchnyeTiki(bool on)
{
    for (Taimer *t : {TaimerOperaziy, TaimerVremya, TaimerProverkaPodklucheniy})
        t->setFiring(!on);
}

// ---- Start-up --------------------------------------------------------------------------------

bool TGlavForma::Zapusk()
{
    SozdatProcessGolos2Formu();

    // Borderless over the whole screen (or over its own tile of a shared demo screen).
    setWindowFlag(Qt::FramelessWindowHint, true);
    setGeometry(QRect(m_platform->windowOrigin(), m_platform->screenSize()));
    if (!m_platform->tiled())
        setWindowState(Qt::WindowFullScreen);

    m_cvetMolchaniya = cvet::Molchanie();
    m_versiaProgrammy = QStringLiteral("1.1.6");
    m_zapuskUspeshen = true;
    m_perezapusk = false;
    InfoLabel->clear();

    m_zapushen = QDateTime::currentMSecsSinceEpoch();
    m_failSostoyaniya.setPut(m_platform->statusFile());

    PodkluchenieExecute();
    if (m_zavershena)
        return false;

    shagObshii();

    if (m_zapuskUspeshen && !m_zavershena) {
        SozdatOknaRegistracii();
        NastroitPDF();
        return true;
    }
    if (!m_zavershena) {
        // Unattended, the service tries again and the reason is on the screen already: one
        // failed start, one box, which stays until then.
        if (m_platform->unattended()) {
            qWarning().noquote() << "start-up stopped; the service starts the program again";
            m_platform->pauseBeforeRetry();
        } else {
            OshibkaZapuska(QStringLiteral("Из-за критических ошибок работа программы была остановлена! "
                                          "Попробуйте запустить ее снова!"));
        }
        ZavershitProgrammu(1);
    }
    return false;
}

void TGlavForma::OshibkaZapuska(const QString &tekst)
{
    if (!m_platform->unattended()) {
        m_dialogs->error(this, tekst);
        return;
    }
    QString login = GlavBasa.params().login;
    if (login.isEmpty())
        login = m_platform->arguments().value(3);
    qWarning().noquote() << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                         << "login" << (login.isEmpty() ? QStringLiteral("-") : login) << "start-up error:"
                         << QString(tekst).replace(QLatin1String("\n\r"), QLatin1String(" "));
    m_dialogs->notice(tekst, QStringLiteral("Ошибка"));
}

void TGlavForma::oshibkaPodklucheniya()
{
    if (m_platform->unattended() && m_platform->arguments().size() < 2
        && iniRead(FailNastroek(), QStringLiteral("Podkluchenie"), QStringLiteral("Login")).isEmpty())
        // An empty or damaged settings file: the log says so, not only the login that failed.
        qWarning().noquote() << "settings file" << FailNastroek() << "names no login in [Podkluchenie]";
    OshibkaZapuska(QStringLiteral("Ошибка подключения к базе данных! \n\r\n\r") + GlavBasa.firstErrorText());
    m_zapuskUspeshen = false;
    for (Taimer *t : {TaimerOperaziy, TaimerVremya, TaimerProverkaPodklucheniy})
        t->setEnabled(false);
}

void TGlavForma::PodkluchenieExecute()
{
    int chairman = -1;
    TPodklForma dlg(this);
    dlg.setWindowTitle(QStringLiteral("Подключение к БД (v. ") + m_versiaProgrammy + QStringLiteral(")"));

    const QStringList args = m_platform->arguments();
    if (args.size() < 2) {
        const QString ini = FailNastroek();
        dlg.Server->setText(iniRead(ini, kSekciyaPodkl, QStringLiteral("Server"), kServerPoUmolchaniyu));
        dlg.Basa->setText(iniRead(ini, kSekciyaPodkl, QStringLiteral("Basa"), QStringLiteral("voter")));
        const QString login = iniRead(ini, kSekciyaPodkl, QStringLiteral("Login"),
                                      m_platform->computerName() + QLatin1Char('\\') + m_platform->userName());
        dlg.Login->setText(login);
        // Operators type their password; a seat's login is its own password.
        dlg.Parol->setText(login.contains(QLatin1String("admin")) ? QString() : login);
    } else {
        dlg.Server->setText(args.value(1));
        dlg.Basa->setText(args.value(2));
        dlg.Login->setText(args.value(3));
        dlg.Parol->setText(args.value(3));
    }

    // Started by the service with the settings file's connection, an operator's console still
    // asks for its password (the login filled in): an operator's password is never saved.
    const bool parolOperatora = args.size() < 2 && dlg.Parol->text().isEmpty();
    if (args.value(0) != QLatin1String("auto") || parolOperatora) {
        if (m_dialogs->exec(&dlg) != QDialog::Accepted) {
            m_zapuskUspeshen = false;
            return;
        }
    }

    ConnectionParams p;
    p.server = dlg.Server->text();
    p.database = dlg.Basa->text();
    p.login = dlg.Login->text();
    p.password = dlg.Parol->text();
    if (!podkluchit(p, &chairman)) {
        oshibkaPodklucheniya();
        return;
    }

    const bool netStroki = chairman < 0;
    bool ok;
    if ((netStroki || chairman == 1) && !m_rezhimNabludatelya) {
        if (netStroki && !m_rezhimAdmin) {
            OshibkaZapuska(QStringLiteral("Недопустимый логин!"));
            if (m_platform->unattended())
                m_platform->pauseBeforeRetry();
            ZavershitProgrammu(1);
            return;
        }
        ok = rolPredsedatelya();
    } else {
        ok = rolDeputata();
    }
    if (!ok && !m_zavershena)
        oshibkaPodklucheniya();
}

// Opens the connection with the dialog's values and establishes the workstation's identity.
bool TGlavForma::podkluchit(const ConnectionParams &p, int *chairman)
{
    if (GlavBasa.isOpen())
        GlavBasa.close();
    if (!GlavBasa.open(p))
        return false;

    m_rezhimAdmin = p.login.startsWith(QLatin1String("admin"));
    m_rezhimNabludatelya = p.login == QLatin1String("watcher");
    dnevnik::setLogin(p.login);

    bool ok = false;
    const QVariant sessia = GlavBasa.scalar(QStringLiteral("SELECT max(id) FROM sessia_start WHERE stop IS NULL"), &ok);
    if (!ok)
        return false;
    m_idSessii = sessia.isNull() ? -1 : sessia.toInt();

    if (!Sostav->open())
        return false;
    m_loginMesta = p.login;

    // The login is matched literally: a '%' or '_' in it must not claim other seats.
    const QString mesto = sql::quoteLike(p.login);
    if (!GlavBasa.exec(QStringLiteral("UPDATE mesto SET connected=1 WHERE nomer LIKE ") + mesto))
        return false;

    KolGolosov->close();
    KolGolosov->setSql(QStringLiteral("SELECT id_deputat FROM sostav,mesto WHERE (mesto.id = sostav.id_mesto) "
                                      "AND (mesto.nomer LIKE ")
                       + mesto + QLatin1Char(')'));
    if (!KolGolosov->open())
        return false;
    const QVariant dep = KolGolosov->field(QStringLiteral("id_deputat"));
    m_idDeputata = dep.isNull() ? 1 : dep.toInt();

    const QString ini = FailNastroek();
    iniWrite(ini, kSekciyaPodkl, QStringLiteral("Server"), p.server);
    iniWrite(ini, kSekciyaPodkl, QStringLiteral("Basa"), p.database);
    iniWrite(ini, kSekciyaPodkl, QStringLiteral("Login"), p.login);

    Zapros->close();
    Zapros->setSql(sql::lines({QStringLiteral("SELECT chairman FROM sostav,mesto "),
                               QStringLiteral("WHERE (mesto.id = sostav.id_mesto) "),
                               QStringLiteral("AND (mesto.nomer LIKE ") + mesto + QStringLiteral(") ")}));
    if (!Zapros->open())
        return false;
    if (Zapros->isEmpty())
        *chairman = -1;
    else
        *chairman = Zapros->field(QStringLiteral("chairman")).toInt() != 0 ? 1 : 0;
    return true;
}

// Waits in a gate; false when the user left the program from it (the program has ended).
static bool zhdatVVorotah(TGlavForma *glav, TStartForma *vorota)
{
    glav->dialogs()->exec(vorota);
    const bool otkryty = vorota->MozhnoZakrit();
    delete vorota;
    if (!otkryty)
        glav->ZavershitProgrammu(0);
    return otkryty;
}

// Chairman terminal and operator console.
bool TGlavForma::rolPredsedatelya()
{
    PanelSprava->show();
    setWindowTitle(ZagolovokPredsedatelya);
    DeputatFreim->hide();
    m_dopusk = true;
    PanelStart->hide();
    PanelSleva->show();

    ResultSet rs;
    if (!GlavBasa.query(kAktivnoeZasedanie, &rs))
        return false;
    if (!rs.isEmpty()) {
        m_idZasedania = rs.scalar().toInt();
        ObnovitPovestku();
    } else if (m_rezhimAdmin) {
        SkrytPovestkuKonsoli();
        m_idZasedania = 0;
    } else {
        if (!zhdatVVorotah(this, new TStartAktivZasForma(this)))
            return false;
        ObnovitPovestku();
    }

    TaimerOperaziy->setEnabled(true);
    TaimerVremya->setEnabled(true);

    if (!m_rezhimAdmin) {
        // The chairman is present from the moment the terminal starts.
        const QString usl = QStringLiteral("(id_zasedanie=%1) AND (id_deputat=%2) AND (id_sessia = %3)")
                                .arg(m_idZasedania)
                                .arg(m_idDeputata)
                                .arg(m_idSessii);
        if (!GlavBasa.exec(QStringLiteral("DELETE FROM sessia WHERE ") + usl))
            return false;
        if (!GlavBasa.exec(QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (%1,%2,%3)")
                               .arg(m_idZasedania)
                               .arg(m_idDeputata)
                               .arg(m_idSessii)))
            return false;
    }

    // The speaker-request button becomes the heading of the speaker list.
    LeiblProshuSlova->setText(QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ"));
    LeiblProshuSlova->setFont(arialPt(10, true));
    // The heading takes two lines in the button's width: its box grows to hold them.
    const int vysota = QFontMetrics(LeiblProshuSlova->font())
                           .boundingRect(QRect(0, 0, LeiblProshuSlova->width(), 1000),
                                         int(LeiblProshuSlova->alignment()) | Qt::TextWordWrap, LeiblProshuSlova->text())
                           .height();
    LeiblProshuSlova->resize(LeiblProshuSlova->width(), std::max(24, vysota));
    GranicaProshuSlova->resize(GranicaProshuSlova->width(), LeiblProshuSlova->height() + 2);
    LeiblProshuSlova->move(LeiblProshuSlova->x(), LeiblProshuSlova->y() - 40);
    GranicaProshuSlova->move(GranicaProshuSlova->x(), GranicaProshuSlova->y() - 40);
    return true;
}

// Deputy terminal and watcher.
bool TGlavForma::rolDeputata()
{
    PanelSprava->hide();
    setWindowTitle(ZagolovokDeputata);
    peremestit(DeputatFreim, this);

    if (!PerechitatRegim(false))
        return false;
    const int kod = RegimNomer();
    if (kod != rezhim::Prostoy && kod != rezhim::PerezapustitVse) {
        if (!zhdatVVorotah(this, new TStartProstoyForma(this)))
            return false;
    }

    ResultSet rs;
    if (!GlavBasa.query(kAktivnoeZasedanie, &rs))
        return false;
    if (!rs.isEmpty()) {
        m_idZasedania = rs.scalar().toInt();
    } else if (!zhdatVVorotah(this, new TStartAktivZasForma(this))) {
        return false;
    }

    TaimerOperaziy->setEnabled(true);
    TaimerVremya->setEnabled(true);

    OtkrytPovestkuDeputata();

    if (m_rezhimNabludatelya) {
        UstanovitImyaDeputata(QStringLiteral("ИНФОРМАЦИОННЫЙ РЕЖИМ"));
    } else {
        ResultSet imya;
        if (!GlavBasa.query(QStringLiteral("SELECT familia,imya,otchestvo FROM deputat WHERE id=%1").arg(m_idDeputata),
                            &imya))
            return false;
        FIOPHONLeibl->setText(imyaIzStroki(imya, QStringLiteral("\n\r")));
        UstanovitImyaDeputata(imyaIzStroki(imya, QStringLiteral(" ")));
    }

    DeputatFreim->show();
    RazmestitDeputatFreim();

    if (!OtkrytZaprosRegistracia())
        return false;
    if (SvoiDeputatZaregistrirovan() || m_rezhimNabludatelya) {
        PanelStart->hide();
        GerbStart->hide();
        m_dopusk = true;
    } else {
        m_dopusk = false;
    }

    peremestit(PanelStart, this);
    PanelSleva->hide();
    razmestitOblasti();

    if (m_rezhimNabludatelya) {
        LeiblProshuSlova->hide();
        GranicaProshuSlova->hide();
    }
    return true;
}

// The part of start-up that runs for every role, also after a failed connection.
void TGlavForma::shagObshii()
{
    LeiblKolGolosov->hide();
    SkrytStrokiRezultatov();
    LeiblVremya->move(LeiblVremya->x(), 160);
    PanelGolosovanie->hide();
    ustanovitCvet(LeiblProshuSlova, cvet::ProshuSlova());

    m_idPovestki = 1;

    if (m_rezhimAdmin && GlavBasa.isOpen()) {
        ResultSet rs;
        if (GlavBasa.query(QStringLiteral("SELECT povestka.id,povestka.opisanie,povestka.info,zasedanie.opisanie "
                                          "FROM povestka,zasedanie WHERE (aktiv = 1) AND (zasedanie.id = id_zasedanie)"),
                           &rs)
            && !rs.isEmpty()) {
            m_idPovestki = rs.value(0, 0).toInt();
            LeiblVopros->setText(NazvanieVoprosa(rs.value(0, 1).toString()));
            InfoLabel->setText(ProstoyTekst(rs.value(0, 2).toString(), false));
            LeiblZasedanie->setText(ProstoyTekst(rs.value(0, 3).toString(), false));
        }
    }

    PanelRegistracia->hide();
    razmestitOblasti();

    if (m_rezhimAdmin) {
        peremestit(AdminFrame, PanelSpravaVerh);
        AdminFrame->setGeometry(PanelSpravaVerh->rect());
        AdminFrame->show();
        AdminFrame->raise();
        if (m_zapuskUspeshen && ZagruzitZasedanie())
            ObnovitPovestku();
        else
            UstanovitZasedanieFreima(-1);
    } else {
        AdminFrame->hide();
    }
}

// ---- Mode row and registration list ---------------------------------------------------------

bool TGlavForma::PerechitatRegim(bool zakryt)
{
    return zakryt ? ZaprosRegima->perechitat() : ZaprosRegima->obnovit();
}

void TGlavForma::ZaprosRegimaAfterOpen()
{
    if (ZaprosRegima->isOpen() && ZaprosRegima->RegimNomer() == rezhim::Registracia)
        m_idSessii = ZaprosRegima->RegimParam1();
}

void TGlavForma::ZaprosRegistraciaBeforeOpen()
{
    const bool registracia = ZaprosRegima->isOpen() && ZaprosRegima->RegimNomer() == rezhim::Registracia;
    ZaprosRegistracia->setParam(QStringLiteral("a"), registracia ? ZaprosRegima->RegimParam1() : m_idSessii);
}

bool TGlavForma::OtkrytZaprosRegistracia()
{
    ZaprosRegistracia->close();
    ZaprosRegistraciaBeforeOpen();
    return ZaprosRegistracia->open();
}

bool TGlavForma::ObnovitZaprosRegistracia()
{
    if (!ZaprosRegistracia->isOpen())
        return OtkrytZaprosRegistracia();
    return ZaprosRegistracia->requery(QStringLiteral("nomer"));
}

bool TGlavForma::VRegistracii(int idDeputata) const
{
    if (!ZaprosRegistracia->isOpen())
        return false;
    const int n = ZaprosRegistracia->rowCount();
    for (int i = 0; i < n; ++i)
        if (ZaprosRegistracia->value(i, QStringLiteral("id_deputat")).toInt() == idDeputata)
            return true;
    return false;
}

bool TGlavForma::MestoMolchit(const QString &nomer) const
{
    const int n = ProverkaPorklucheniy->rowCount();
    for (int i = 0; i < n; ++i) {
        if (ProverkaPorklucheniy->value(i, QStringLiteral("nomer")).toString() != nomer)
            continue;
        // Never stamped (NULL) counts as just stamped.
        const QVariant diff = ProverkaPorklucheniy->value(i, QStringLiteral("diff"));
        return !diff.isNull() && diff.toLongLong() >= 6;
    }
    return true;
}

// ---- Ending --------------------------------------------------------------------------------------

bool TGlavForma::ProverkaOshibok()
{
    if (m_zavershena)
        return true;
    if (!GlavBasa.hasErrors())
        return false;
    dnevnik::konec(1, QStringLiteral("database error: ") + GlavBasa.firstErrorText());
    ZavershitProgrammu(1);
    return true;
}

void TGlavForma::ZavershitProgrammu(int kod)
{
    if (m_zavershena)
        return;
    m_zavershena = true;
    for (Taimer *t : {TaimerOperaziy, TaimerVremya, TaimerProverkaPodklucheniy})
        t->setEnabled(false);
    hide();
    m_platform->endProgram(kod);
}

void TGlavForma::FormClose()
{
    if (m_perezapusk) {
        dnevnik::perezapusk(QStringLiteral("restart command"));
        m_platform->startRestartScript();
    }
}

void TGlavForma::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
    ZavershitProgrammu(0);
}

void TGlavForma::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TGlavForma::FormResize()
{
    razmestitOblasti();
    AdminFormResize();
}

void TGlavForma::FormKeyUp(QKeyEvent *event)
{
    GolosKlavishei(event->key(), event->modifiers());
}

void TGlavForma::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_zavershena
        && windowTitle() != ZagolovokPodkluchenie)
        FormActivate();
}

void TGlavForma::FormActivate()
{
    RaspolozhitKnopki();
    LeiblVremya->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    // Mid-vote the countdown keeps its place above the progress bar.
    if (ProgressBarTablo->isHidden())
        LeiblVremya->move(LeiblVremya->x(), 138);
    else
        doVerhaVidzheta(LeiblVremya, VerhVremeniGolosovania, ProgressBarTablo);
    // The monitor starts once the map has been built.
    if (PostroitKartuMest())
        TaimerProverkaPodklucheniy->setEnabled(true);
}

// ---- Texts ---------------------------------------------------------------------------------------

QString TGlavForma::MinSek(int sekund)
{
    return QStringLiteral("%1 мин %2 сек").arg(sekund / 60).arg(sekund % 60);
}

QString TGlavForma::NazvanieVoprosa(const QString &opisanie)
{
    return opisanie == QStringLiteral("Вопрос 0") ? QStringLiteral("Повестка дня") : opisanie;
}

// ---- Mode poller ---------------------------------------------------------------------------------

void TGlavForma::uvedomlenieRegima()
{
    if (m_tikUvedomleniyaZhdet)
        return;
    m_tikUvedomleniyaZhdet = true;
    // Queued: the announcement is delivered from inside the driver, and the tick runs
    // statements on the same connection.
    QTimer::singleShot(0, this, [this] {
        m_tikUvedomleniyaZhdet = false;
        if (!TaimerOperaziy->isEnabled() || m_zavershena || m_vTikeOperaziy)
            return;
        ++m_tikiPoUvedomleniyu;
        TaimerOperaziyTimer();
    });
}

void TGlavForma::TaimerOperaziyTimer()
{
    const bool vneshnii = !m_vTikeOperaziy;
    m_vTikeOperaziy = true;
    struct Vyhod {
        bool &flag;
        bool restore;
        ~Vyhod() { if (restore) flag = false; }
    } vyhod{m_vTikeOperaziy, vneshnii};

    if (ProverkaOshibok())
        return;

    RazmestitSpisokZapis();
    if (PerechitatRegim(true)) {
        const int kod = RegimNomer();
        // The countdown in param2 changes every second: a mode is new by its code and param1.
        if (kod != m_dnevnikKod || RegimParam1() != m_dnevnikParam1) {
            m_dnevnikKod = kod;
            m_dnevnikParam1 = RegimParam1();
            dnevnik::rezhim(kod, m_dnevnikParam1, ZaprosRegima->isOpen() ? ZaprosRegima->RegimParam2() : 0);
        }

        if (kod == rezhim::Gimn && !m_rezhimAdmin && PanelStart->isHidden()) {
            peremestit(GimnFreim, this);
            GimnFreim->setGeometry(rect());
            PanelSleva->hide();
            GimnFreim->show();
            GimnFreim->raise();
        } else {
            GimnFreim->hide();
            if ((kod == rezhim::Gimn || kod == rezhim::GimnSnyat) && m_rezhimAdmin) {
                InfoLabel->show();
                SkrytStrokiRezultatov();
                SbrosPanelGolosovania();
                PokazatVremya();
            } else if (kod == rezhim::Registracia && m_dopusk) {
                if (OknoDeputata() && !m_rezhimNabludatelya)
                    RegistraciaDopushennogo();
                else
                    RegistraciaNaTablo();
            } else if (kod == rezhim::Registracia) {
                if (PanelRegistracia->isHidden() || vidim(PanelStart))
                    VoitiVRegistraciyu();
                OtschetRegistracii();
            } else if (kod == rezhim::Golosovanie
                       && (SvoiDeputatZaregistrirovan() || m_rezhimAdmin || m_rezhimNabludatelya)) {
                if (ProgressBarTablo->isHidden())
                    NachatTabloGolosovania();
                OtschetGolosovania();
            } else if (kod == rezhim::RezultatGolosovania) {
                TabloRezultataGolosovania();
            } else if (kod == rezhim::RezultatRegistracii) {
                TabloRezultataRegistracii();
            } else {
                prostoyTablo(kod);
            }
        }
    }

    if (!ProverkaOshibok())
        ZapisatSostoyanie(QStringLiteral("running"));
}

void TGlavForma::ZapisatSostoyanie(const QString &etap)
{
    if (!m_failSostoyaniya.vklyuchen())
        return;
    const qint64 seichas = QDateTime::currentMSecsSinceEpoch();
    if (m_videnS == 0 || RegimNomer() != m_videnNomer || RegimParam1() != m_videnParam1) {
        m_videnNomer = RegimNomer();
        m_videnParam1 = RegimParam1();
        m_videnS = seichas;
    }
    const QString rol = m_rezhimAdmin ? QStringLiteral("console")
                        : m_rezhimNabludatelya ? QStringLiteral("watcher")
                        : OknoPredsedatelya() ? QStringLiteral("chairman")
                                              : QStringLiteral("deputy");
    QString t;
    t += QStringLiteral("pid=%1\n").arg(QCoreApplication::applicationPid());
    t += QStringLiteral("started=%1\n").arg(m_zapushen);
    t += QStringLiteral("login=%1\n").arg(m_loginMesta);
    t += QStringLiteral("role=%1\n").arg(rol);
    t += QStringLiteral("stage=%1\n").arg(etap);
    t += QStringLiteral("mode=%1,%2,%3\n").arg(RegimNomer()).arg(RegimParam1()).arg(RegimParam2());
    t += QStringLiteral("mode_since=%1\n").arg(m_videnS);
    t += QStringLiteral("session=%1\nmeeting=%2\nitem=%3\n").arg(m_idSessii).arg(m_idZasedania).arg(m_idPovestki);
    t += QStringLiteral("push_ticks=%1\n").arg(m_tikiPoUvedomleniyu);
    if (etap == QLatin1String("running"))
        t += OpisanieEkrana();
    // The statement counter moves every tick: on its own it refreshes the file once a second.
    if (t == m_sutSostoyaniya && seichas - m_sostoyanieZapisano < 1000)
        return;
    m_sutSostoyaniya = t;
    m_sostoyanieZapisano = seichas;
    m_failSostoyaniya.zapisat(t + QStringLiteral("statements=%1\n").arg(GlavBasa.statementCount()));
}

// The idle board: every mode without a screen of its own.
void TGlavForma::prostoyTablo(int kod)
{
    // A vote may end straight to idle (no results): its panel and board go with it.
    if (!TaimerVremya->isEnabled() || !PanelGolosovanie->isHidden() || !ProgressBarTablo->isHidden()) {
        SkrytStrokiRezultatov();
        SbrosPanelGolosovania();
        PokazatVremya();
    }
    SinhronizirovatKnopkiPDF();
    if (RegKnopkaTag() == 1)
        PanelStart->setVisible(!m_dopusk);
    ZaregLeibl->hide();
    SkrytRegistraciyu();

    if (!ObnovitZaprosRegistracia())
        return;

    if (kod == rezhim::Prostoy) {
        SkrytStrokiRezultatov();
        LeiblVremya->show();
        InfoLabel->setGeometry(InfoTablo->geometry());
        const QString tekst = InfoTablo->toPlainText();
        if (InfoLabel->text() != tekst)
            InfoLabel->setText(tekst);
        InfoLabel->show();
        const int shirina = QFontMetrics(InfoLabel->font()).horizontalAdvance(InfoLabel->text());
        InfoLabel->setAlignment(Qt::AlignTop | (shirina < InfoLabel->width() ? Qt::AlignHCenter : Qt::AlignLeft));
    } else if (ZaLeibl && !ZaLeibl->isHidden()) {
        // A registration summary still on the board keeps the item's text away from its rows.
        InfoLabel->hide();
    }

    if (OknoDeputata() && SvoiDeputatZaregistrirovan()) {
        ResultSet imya;
        if (!GlavBasa.query(QStringLiteral("SELECT familia,imya,otchestvo FROM deputat WHERE id=%1").arg(m_idDeputata),
                            &imya))
            return;
        FIOPHONLeibl->setText(imyaIzStroki(imya, QStringLiteral("\n\r")));
        if (!m_rezhimNabludatelya)
            UstanovitImyaDeputata(imyaIzStroki(imya, QStringLiteral(" ")));
        DeputatFreim->show();
    }
}

void TGlavForma::SkrytRegistraciyu()
{
    if (RegimNomer() == rezhim::Gimn)
        return;
    PanelRegistracia->hide();
    PanelSleva->setVisible(m_dopusk || PanelStart->isHidden());
}

void TGlavForma::PokazatVremya()
{
    LeiblVremya->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    TaimerVremya->setEnabled(true);
    LeiblVremya->show();
    LeiblVremya->move(LeiblVremya->x(), InfoTablo->y() + InfoTablo->height() + 8);
}

// ---- Clock ----------------------------------------------------------------------------------------

void TGlavForma::TaimerVremyaTimer()
{
    if (ProverkaOshibok())
        return;
    shagVremeni();
    ProverkaOshibok();
}

void TGlavForma::shagVremeni()
{
    if (!PerechitatRegim(false))
        return;
    const int kod = RegimNomer();

    if (m_rezhimAdmin) {
        // The console keeps a remote command in force for its ten-second window.
        if (rezhim::udalennayaKomanda(kod)) {
            const int ostalos = RegimParam1();
            GlavBasa.exec(ostalos >= 2 ? rezhim::schetKomandy(ostalos - 1) : rezhim::konecKomandy());
        }
    } else {
        const QString ini = FailNastroek();
        const QString sekciya = QStringLiteral("Restart");
        const QString klyuch = QStringLiteral("Zapret");
        switch (kod) {
        case rezhim::ZakrytVse:
            ZavershitProgrammu(0);
            return;
        case rezhim::VyklyuchitVse:
            m_platform->powerOff();
            break;
        case rezhim::PerezapustitVse:
            // Once per command: the guard survives the restart it guards.
            // A guard that could not be written (full disk) would restart the terminal on
            // every tick of the command's window: then it does not restart at all.
            if (iniRead(ini, sekciya, klyuch, QStringLiteral("0")) != QLatin1String("1")
                && iniWrite(ini, sekciya, klyuch, QStringLiteral("1"))) {
                m_perezapusk = true;
                close();
                if (!m_zavershena)
                    ZavershitProgrammu(0);
                return;
            }
            break;
        case rezhim::Prostoy:
            iniWrite(ini, sekciya, klyuch, QStringLiteral("0"));
            break;
        default:
            break;
        }

        if (!GlavBasa.exec(QStringLiteral("UPDATE mesto SET podkl=CURRENT_TIMESTAMP WHERE nomer = ")
                           + sql::quote(m_loginMesta) + QLatin1Char(';'))
            && GlavBasa.hasErrors()) {
            m_dialogs->error(this, QStringLiteral("Ошибка подтверждения активности рабочего места!\n\r\n\r")
                                       + GlavBasa.firstErrorText());
            return;
        }
    }

    if (kod == rezhim::Registracia || kod == rezhim::Golosovanie || kod == rezhim::RezultatGolosovania) {
        // These screens stay as they are, but the deputy's buttons still follow what the
        // console's seat commands or another workstation wrote meanwhile.
        if (GlavBasa.isOpen()) {
            if (kod == rezhim::Registracia)
                SinhronizaciyaRegKnopki();
            SinhronizaciyaProshuSlova();
        }
        return;
    }

    SinhronizaciyaRegistracii();
    LeiblVremya->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    const int verh = InfoTablo->y() + InfoTablo->height() + 8;
    if (LeiblVremya->y() != verh)
        LeiblVremya->move(LeiblVremya->x(), verh);
    if (GlavBasa.isOpen() && ObnovitAktivnyiVopros())
        SinhronizaciyaProshuSlova();
}

namespace {

// A registration period belongs to its meeting. A workstation that ran on from one meeting
// into the next still held the old meeting's period, so its deputy counted as present (and
// could vote) before registering in the new one: on a change of meeting the period becomes
// the new meeting's open one, or none (-1).
bool periodZasedania(DbConnection &db, int idZasedania, int *period)
{
    bool ok = false;
    const QVariant p = db.scalar(
        QStringLiteral("SELECT max(id) FROM sessia_start WHERE stop IS NULL AND id_zasedanie = ") + QString::number(idZasedania),
        &ok);
    if (ok)
        *period = p.isNull() ? -1 : p.toInt();
    return ok;
}

}  // namespace

bool TGlavForma::ObnovitAktivnyiVopros()
{
    ResultSet rs;
    if (!GlavBasa.query(sql::lines({QStringLiteral("SELECT"),
                                    QStringLiteral("   TOP 1 povestka.id,povestka.opisanie,zasedanie.id,"
                                                   "zasedanie.opisanie,povestka.info"),
                                    QStringLiteral("FROM"), QStringLiteral("   povestka, zasedanie"),
                                    QStringLiteral("WHERE"),
                                    QStringLiteral("   (aktiv = 1) AND (zasedanie.id = id_zasedanie);")}),
                        &rs))
        return false;
    if (rs.isEmpty()) {
        LeiblVopros->clear();
        InfoTablo->clear();
        LeiblZasedanie->clear();
        SledovatZasedaniyuDeputata(0);
        return true;
    }
    const int idPovestki = rs.value(0, 0).toInt();
    const int idZasedania = rs.value(0, 2).toInt();
    // A running registration names its period itself.
    if (idZasedania != m_idZasedania && !(ZaprosRegima->isOpen() && ZaprosRegima->RegimNomer() == rezhim::Registracia)
        && !periodZasedania(GlavBasa, idZasedania, &m_idSessii))
        return false;
    LeiblVopros->setText(NazvanieVoprosa(rs.value(0, 1).toString()));
    LeiblZasedanie->setText(rs.value(0, 3).toString());

    if (PovestkaKonsoliSkryta())
        PrivyazatPovestkuKonsoli(idZasedania);
    SledovatZasedaniyuDeputata(idZasedania);

    // Parsed only when the stored text changed: it is read every second on every seat.
    const QString rtf = rs.value(0, 4).toString();
    if (!m_infoRtfProchitan || rtf != m_infoRtf) {
        richtext::loadRtf(InfoBack, rtf);
        m_infoRtf = rtf;
        m_infoRtfProchitan = true;
    }
    const QString tekst = InfoBack->toPlainText();
    if (InfoTablo->toPlainText() != tekst) {
        InfoTablo->setPlainText(tekst);
        richtext::setWholeTextPointSize(InfoTablo, 8);
        // The focus goes to the console frame; where there is none the rest waits a tick.
        if (!AdminFrame->isVisibleTo(this))
            return false;
        AdminFrame->setFocus();
    }

    if (idPovestki != m_idPovestki) {
        m_idPovestki = idPovestki;
        PerekrasitPovestkuKonsoli();
    }
    m_idZasedania = idZasedania;
    return true;
}

// ---- Connection monitor ---------------------------------------------------------------------------

void TGlavForma::TaimerProverkaPodklucheniyTimer()
{
    if (ProverkaOshibok())
        return;

    const bool prochitano = ProverkaPorklucheniy->isOpen() ? ProverkaPorklucheniy->requery(QStringLiteral("nomer"))
                                                           : ProverkaPorklucheniy->open();
    if (prochitano && (ZaprosRegima->isOpen() || ZaprosRegima->open())) {
        QString oshibka;
        if (!ObnovitKartuMest(&oshibka) && !GlavBasa.hasErrors())
            m_dialogs->error(this, oshibka);
    }

    ProverkaOshibok();
}
