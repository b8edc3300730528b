#include "core/tglavforma.h"
#include "core/tglavforma_p.h"

#include "core/kontekst.h"

#include "db/dnevnik.h"
#include "db/zaprosy/deputat.h"
#include "db/zaprosy/povestka.h"
#include "db/zaprosy/sessia.h"
#include "db/zaprosy/sostav.h"

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

QString TGlavForma::ZagolovokPodkluchenie()
{
    return QStringLiteral("Подключение к БД");
}

QString TGlavForma::ZagolovokPredsedatelya()
{
    return QStringLiteral("Рабочее место председателя");
}

QString TGlavForma::ZagolovokDeputata()
{
    return QStringLiteral("Рабочее место депутата");
}


namespace {

// Width of the right-hand column and height of the results board in it.
constexpr int ShirinaKolonki = 369;
constexpr int VysotaTablo = 300;

const QString kSekciyaPodkl = QStringLiteral("Podkluchenie");
// Server offered when the settings file names none: the database file beside the program.
const QString kServerPoUmolchaniyu = QStringLiteral("embedded");


bool vidim(const QWidget *w)
{
    return w && !w->isHidden();
}

QString imyaIzStroki(const ResultSet &rs, const QString &razdelitel)
{
    return rs.value(0, 0).toString() + razdelitel + rs.value(0, 1).toString() + razdelitel
           + rs.value(0, 2).toString();
}

}  // namespace

// ---- Construction ------------------------------------------------------------------------

TGlavForma::TGlavForma(Dialogs *dialogs, Platform *platform, const FabrikaEkranov &fabrika, QWidget *parent)
    : QWidget(parent), m_dialogs(dialogs), m_platform(platform), m_d(std::make_unique<Chast>())
{
    setObjectName(QStringLiteral("GlavForma"));
    setWindowTitle(ZagolovokPodkluchenie());

    m_d->TaimerOperaziy = new Taimer(QStringLiteral("TaimerOperaziy"), 250, this);
    m_d->TaimerVremya = new Taimer(QStringLiteral("TaimerVremya"), 1000, this);
    m_d->TaimerProverkaPodklucheniy = new Taimer(QStringLiteral("TaimerProverkaPodklucheniy"), 1000, this);
    connect(m_d->TaimerOperaziy, &Taimer::timeout, this, &TGlavForma::TaimerOperaziyTimer);
    connect(m_d->TaimerVremya, &Taimer::timeout, this, &TGlavForma::TaimerVremyaTimer);
    connect(m_d->TaimerProverkaPodklucheniy, &Taimer::timeout, this, &TGlavForma::TaimerProverkaPodklucheniyTimer);

    m_d->ZaprosRegima = new rezhim::ZaprosRegimaNabor(&m_basa, this);
    m_basa.listen(rezhim::kanal(), [this] { uvedomlenieRegima(); });
    // A running registration names the current period.
    connect(m_d->ZaprosRegima, &DataSet::afterOpen, this, [this] {
        if (m_d->ZaprosRegima->isOpen() && m_d->ZaprosRegima->RegimNomer() == rezhim::Registracia)
            m_d->m_idSessii = m_d->ZaprosRegima->RegimParam1();
    });

    m_d->ZaprosRegistracia = new DataSet(&m_basa, this, QStringLiteral("ZaprosRegistracia"),
                                         zaprosy::sessia::spisok());

    m_d->Sostav = new DataSet(&m_basa, this, QStringLiteral("Sostav"),
                                         zaprosy::sostav::spisok());

    m_d->KolGolosov = new DataSet(&m_basa, this, QStringLiteral("KolGolosov"));
    m_d->Zapros = new DataSet(&m_basa, this, QStringLiteral("Zapros"));

    m_d->ProverkaPorklucheniy = new DataSet(&m_basa, this, QStringLiteral("ProverkaPorklucheniy"),
                                         zaprosy::mesto::monitor());

    sozdatKomponenty();
    resize(m_platform->screenSize());

    // Key releases reach the window before its controls (the keypad votes).
    qApp->installEventFilter(this);

    // The screens add their parts.
    m_ekrany = fabrika(kontekst());
}

KontekstEkrana TGlavForma::kontekst()
{
    return KontekstEkrana(this);
}

TGlavForma::~TGlavForma()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void TGlavForma::sozdatKomponenty()
{
    m_ob.PanelSprava = novayaPanel(this, "PanelSprava");
    m_ob.DeputatFreim = novayaPanel(this, "DeputatFreim", Qt::white);
    sozdatPravuyuKolonku();

    m_ob.PanelStart = novayaPanel(this, "PanelStart", Qt::white);
    m_ob.GerbStart = new GerbLeibl(m_ob.PanelStart);
    m_ob.GerbStart->setObjectName(QStringLiteral("GerbStart"));
    m_ob.PanelStart->installEventFilter(this);

    sozdatRegistraciyuOsnovu();

    m_ob.GimnFreim = novayaPanel(this, "GimnFreim", cvet::Zaregistrirovan());
    m_ob.GimnFreim->hide();

    m_ob.PanelSleva->installEventFilter(this);
    razmestitOblasti();
}

void TGlavForma::sozdatPravuyuKolonku()
{
    m_ob.PanelSleva = novayaPanel(this, "PanelSleva");
    m_ob.PanelSpravaVerh = novayaPanel(m_ob.PanelSleva, "PanelSpravaVerh");
    m_ob.PanelSlevaNis = novayaPanel(m_ob.PanelSleva, "PanelSlevaNis");

    m_ob.Gerb = new GerbLeibl(m_ob.PanelSpravaVerh);
    m_ob.Gerb->setObjectName(QStringLiteral("Gerb"));
    m_ob.Gerb->setGeometry(54, 16, 260, 300);

    m_ob.GranicaProshuSlova = new TGranica(m_ob.PanelSpravaVerh);
    m_ob.GranicaProshuSlova->setObjectName(QStringLiteral("GranicaProshuSlova"));
    m_ob.GranicaProshuSlova->setGeometry(64, 360, 241, 70);
    m_ob.LeiblProshuSlova = new TLeibl(QStringLiteral("ПРОШУ СЛОВА"), m_ob.PanelSpravaVerh);
    m_ob.LeiblProshuSlova->setObjectName(QStringLiteral("LeiblProshuSlova"));
    m_ob.LeiblProshuSlova->setGeometry(65, 361, 239, 68);
    m_ob.LeiblProshuSlova->setFont(arialPx(24, true));
    m_ob.LeiblProshuSlova->setAlignment(Qt::AlignCenter);
    m_ob.LeiblProshuSlova->setWordWrap(true);
    ustanovitCvet(m_ob.LeiblProshuSlova, cvet::ProshuSlova());
    connect(m_ob.LeiblProshuSlova, &TLeibl::clicked, this, [this] { m_ekrany->LeiblProshuSlovaClick(); });
    connect(m_ob.GranicaProshuSlova, &TGranica::mouseDown, this, [this] { m_ekrany->LeiblProshuSlovaClick(); });

    m_ob.PanelGolosovanie = novayaPanel(m_ob.PanelSpravaVerh, "PanelGolosovanie", cvet::Zaregistrirovan());
    m_ob.GranicaGolosov = new TGranica(m_ob.PanelGolosovanie);
    m_ob.GranicaGolosov->setObjectName(QStringLiteral("GranicaGolosov"));
    m_ob.GranicaGolosov->setPero(cvet::Lime(), 5);
    m_ob.GranicaGolosov->setZalivka(QColor());
    m_ob.PanelGolosovanie->hide();

    m_ob.AdminFrame = novayaPanel(m_ob.PanelSpravaVerh, "AdminFrame", cvet::Serebro());
    m_ob.AdminFrame->hide();

    m_ob.PanelTabloGolos = novayaPanel(m_ob.PanelSlevaNis, "PanelTabloGolos", cvet::Serebro());
    sozdatTablo();
}

void TGlavForma::sozdatTablo()
{
    QWidget *t = m_ob.PanelTabloGolos;
    const int w = ShirinaKolonki;
    m_ob.LeiblDuma = noviLeibl(t, "LeiblDuma", QRect(0, 6, w, 17), arialPx(13, true), Qt::AlignHCenter | Qt::AlignTop,
                              QStringLiteral("Тальминская областная Дума"));
    m_ob.LeiblZasedanie = noviLeibl(t, "LeiblZasedanie", QRect(0, 25, w, 17), arialPx(13, true));
    m_ob.LeiblVopros = noviLeibl(t, "LeiblVopros", QRect(0, 44, w, 17), arialPx(13, true));
    m_ob.LeiblRegim = noviLeibl(t, "LeiblRegim", QRect(0, 63, w, 17), arialPx(13, true));
    m_ob.LeiblRegim->hide();

    m_ob.InfoTablo = new QTextEdit(t);
    m_ob.InfoTablo->setObjectName(QStringLiteral("InfoTablo"));
    m_ob.InfoTablo->setGeometry(8, 64, 353, 143);
    m_ob.InfoTablo->setReadOnly(true);
    m_ob.InfoTablo->hide();
    m_ob.InfoBack = new QTextEdit(t);
    m_ob.InfoBack->setObjectName(QStringLiteral("InfoBack"));
    m_ob.InfoBack->setGeometry(8, 64, 353, 143);
    m_ob.InfoBack->hide();

    m_ob.InfoLabel = noviLeibl(t, "InfoLabel", m_ob.InfoTablo->geometry(), arialPx(11, false));
    m_ob.InfoLabel->setWordWrap(true);

    m_ob.LeiblVremya = noviLeibl(t, "LeiblVremya", QRect(0, 120, w, 34), arialPx(27, true));
    m_ob.LeiblVremya->setWordWrap(true);

    m_ob.ProgressBarTablo = new QProgressBar(t);
    m_ob.ProgressBarTablo->setObjectName(QStringLiteral("ProgressBarTablo"));
    m_ob.ProgressBarTablo->setGeometry((w - 318) / 2, 150, 318, 17);
    m_ob.ProgressBarTablo->setTextVisible(false);
    m_ob.ProgressBarTablo->setRange(0, 0);
    m_ob.ProgressBarTablo->hide();

    m_ob.LeiblKolGolosov = noviLeibl(t, "LeiblKolGolosov", QRect(0, 218, w, 30), arialPx(24, true));
    m_ob.LeiblKolGolosov->hide();
    m_ob.ZaregLeibl = noviLeibl(t, "ZaregLeibl", QRect(0, VysotaTablo - 8 - 30, w, 30), arialPx(24, true));
    m_ob.ZaregLeibl->hide();
}

void TGlavForma::sozdatRegistraciyuOsnovu()
{
    m_ob.PanelRegistracia = novayaPanel(this, "PanelRegistracia", cvet::Zaregistrirovan());
    m_ob.PanelRegistracia->hide();
    const QSize s = m_platform->screenSize();
    const int W = s.width();
    const int H = s.height();

    const int shirina = (W - 70) / 2;
    const int verh = (H - 629) / 2 + 174;
    m_ob.FIOGranica = new TGranica(m_ob.PanelRegistracia);
    m_ob.FIOGranica->setObjectName(QStringLiteral("FIOGranica"));
    m_ob.FIOGranica->setGeometry(16, verh, shirina, 190);
    m_ob.FIOPHONLeibl = noviLeibl(m_ob.PanelRegistracia, "FIOPHONLeibl", QRect(17, verh + 1, shirina - 2, 188),
                         arialPx(32, true), Qt::AlignCenter);
    m_ob.FIOPHONLeibl->setWordWrap(true);
    ustanovitCvet(m_ob.FIOPHONLeibl, cvet::SvetloSeryi());
    ustanovitCvetTeksta(m_ob.FIOPHONLeibl, cvet::TemnoFioletovyi());

    m_ob.RegGranica = new TGranica(m_ob.PanelRegistracia);
    m_ob.RegGranica->setObjectName(QStringLiteral("RegGranica"));
    m_ob.RegGranica->setGeometry(16, H - 22 - 237, W - 34, 237);
    m_ob.RegKnopka = new TLeibl(QStringLiteral("РЕГИСТРАЦИЯ"), m_ob.PanelRegistracia);
    m_ob.RegKnopka->setObjectName(QStringLiteral("RegKnopka"));
    m_ob.RegKnopka->setGeometry(17, H - 22 - 236, W - 36, 235);
    m_ob.RegKnopka->setFont(arialPx(32, true));
    m_ob.RegKnopka->setAlignment(Qt::AlignCenter);
    ustanovitCvet(m_ob.RegKnopka, cvet::KnopkaRegistracii());
    ustanovitCvetTeksta(m_ob.RegKnopka, Qt::white);
    m_ob.RegKnopka->setTag(1);
}

// Lays the regions out as their alignment says: the right-hand column against the right
// edge, the seat map, the document frame and the start screen in the rest, the registration
// screen and the anthem over everything.
void TGlavForma::razmestitOblasti()
{
    const int W = width();
    const int H = height();
    const bool kolonka = vidim(m_ob.PanelSleva);
    const QRect ostatok(0, 0, kolonka ? qMax(0, W - ShirinaKolonki) : W, H);

    if (m_ob.PanelSleva->parentWidget() == this)
        m_ob.PanelSleva->setGeometry(W - ShirinaKolonki, 0, ShirinaKolonki, H);
    m_ob.PanelSpravaVerh->setGeometry(0, 0, ShirinaKolonki, qMax(0, H - VysotaTablo));
    m_ob.PanelSlevaNis->setGeometry(0, qMax(0, H - VysotaTablo), ShirinaKolonki, VysotaTablo);
    m_ob.PanelTabloGolos->setGeometry(m_ob.PanelSlevaNis->rect());
    m_ob.PanelGolosovanie->setGeometry(m_ob.PanelSpravaVerh->rect());
    m_ob.GranicaGolosov->setGeometry(m_ob.PanelGolosovanie->rect());
    m_ob.GranicaGolosov->lower();
    if (m_ob.AdminFrame->parentWidget() == m_ob.PanelSpravaVerh)
        m_ob.AdminFrame->setGeometry(m_ob.PanelSpravaVerh->rect());

    m_ob.PanelSprava->setGeometry(ostatok);
    if (m_ob.DeputatFreim->parentWidget() == this)
        m_ob.DeputatFreim->setGeometry(ostatok);
    if (m_ob.PanelStart->parentWidget() == this)
        m_ob.PanelStart->setGeometry(ostatok);
    else if (m_ob.PanelStart->parentWidget())
        m_ob.PanelStart->setGeometry(m_ob.PanelStart->parentWidget()->rect());
    if (m_ob.PanelRegistracia->parentWidget() == this)
        m_ob.PanelRegistracia->setGeometry(0, 0, W, H);
    if (m_ob.GimnFreim->parentWidget() == this)
        m_ob.GimnFreim->setGeometry(0, 0, W, H);
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
        if (watched == m_ob.PanelSleva)
            razmestitOblasti();
        break;
    case QEvent::Resize:
        if (watched == m_ob.PanelStart) {
            // The coat of arms stays centred on the start screen.
            const QRect r = m_ob.PanelStart->rect();
            const int h = qMin(r.height() - 40, 560);
            const int w = h * 5 / 6;
            m_ob.GerbStart->setGeometry((r.width() - w) / 2, (r.height() - h) / 2, w, h);
        }
        break;
    case QEvent::ParentChange:
        if (watched == m_ob.PanelStart)
            razmestitOblasti();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

QString TGlavForma::FailNastroek() const
{
    return settingsPathFor(m_platform->programPath());
}

void TGlavForma::setRuchnyeTiki(bool on)
{
    for (Taimer *t : {m_d->TaimerOperaziy, m_d->TaimerVremya, m_d->TaimerProverkaPodklucheniy})
        t->setFiring(!on);
}

// ---- Start-up --------------------------------------------------------------------------------

bool TGlavForma::Zapusk()
{
    m_ekrany->SozdatProcessGolos2Formu();

    // Borderless over the whole screen (or over its own tile of a shared demo screen).
    setWindowFlag(Qt::FramelessWindowHint, true);
    setGeometry(QRect(m_platform->windowOrigin(), m_platform->screenSize()));
    if (!m_platform->tiled())
        setWindowState(Qt::WindowFullScreen);

    m_d->m_cvetMolchaniya = cvet::Molchanie();
    m_d->m_versiaProgrammy = QStringLiteral("1.1.6");
    m_d->m_zapuskUspeshen = true;
    m_d->m_perezapusk = false;
    m_ob.InfoLabel->clear();

    m_d->m_zapushen = QDateTime::currentMSecsSinceEpoch();
    m_d->m_failSostoyaniya.setPut(m_platform->statusFile());

    PodkluchenieExecute();
    if (m_zavershena)
        return false;

    shagObshii();

    if (m_d->m_zapuskUspeshen && !m_zavershena) {
        m_ekrany->SozdatOknaRegistracii();
        m_ekrany->NastroitPDF();
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
    QString login = m_basa.params().login;
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
    OshibkaZapuska(QStringLiteral("Ошибка подключения к базе данных! \n\r\n\r") + m_basa.firstErrorText());
    m_d->m_zapuskUspeshen = false;
    for (Taimer *t : {m_d->TaimerOperaziy, m_d->TaimerVremya, m_d->TaimerProverkaPodklucheniy})
        t->setEnabled(false);
}

void TGlavForma::PodkluchenieExecute()
{
    int chairman = -1;
    TPodklForma dlg(this);
    dlg.setWindowTitle(QStringLiteral("Подключение к БД (v. ") + m_d->m_versiaProgrammy + QStringLiteral(")"));

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
            m_d->m_zapuskUspeshen = false;
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
    if ((netStroki || chairman == 1) && !m_d->m_rezhimNabludatelya) {
        if (netStroki && !m_d->m_rezhimAdmin) {
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
    if (m_basa.isOpen())
        m_basa.close();
    if (!m_basa.open(p))
        return false;

    m_d->m_rezhimAdmin = p.login.startsWith(QLatin1String("admin"));
    m_d->m_rezhimNabludatelya = p.login == QLatin1String("watcher");
    dnevnik::setLogin(p.login);

    bool ok = false;
    const QVariant sessia = m_basa.scalar(zaprosy::sessia::otkrytyiPeriod(), &ok);
    if (!ok)
        return false;
    m_d->m_idSessii = sessia.isNull() ? -1 : sessia.toInt();

    if (!m_d->Sostav->open())
        return false;
    m_d->m_loginMesta = p.login;

    // The login is matched literally (the statements quote it as a LIKE pattern): a '%' or
    // '_' in it must not claim other seats.
    if (!m_basa.exec(zaprosy::mesto::otmetitPodklyuchenie(p.login)))
        return false;

    m_d->KolGolosov->close();
    m_d->KolGolosov->setSql(zaprosy::sostav::deputatMesta(p.login));
    if (!m_d->KolGolosov->open())
        return false;
    const QVariant dep = m_d->KolGolosov->field(QStringLiteral("id_deputat"));
    m_d->m_idDeputata = dep.isNull() ? 1 : dep.toInt();

    const QString ini = FailNastroek();
    iniWrite(ini, kSekciyaPodkl, QStringLiteral("Server"), p.server);
    iniWrite(ini, kSekciyaPodkl, QStringLiteral("Basa"), p.database);
    iniWrite(ini, kSekciyaPodkl, QStringLiteral("Login"), p.login);

    m_d->Zapros->close();
    m_d->Zapros->setSql(zaprosy::sostav::predsedatelMesta(p.login));
    if (!m_d->Zapros->open())
        return false;
    if (m_d->Zapros->isEmpty())
        *chairman = -1;
    else
        *chairman = m_d->Zapros->field(QStringLiteral("chairman")).toInt() != 0 ? 1 : 0;
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
    m_ob.PanelSprava->show();
    setWindowTitle(ZagolovokPredsedatelya());
    m_ob.DeputatFreim->hide();
    m_d->m_dopusk = true;
    m_ob.PanelStart->hide();
    m_ob.PanelSleva->show();

    ResultSet rs;
    if (!m_basa.query(zaprosy::povestka::aktivnoeZasedanie(), &rs))
        return false;
    if (!rs.isEmpty()) {
        m_d->m_idZasedania = rs.scalar().toInt();
        m_ekrany->ObnovitPovestku();
    } else if (m_d->m_rezhimAdmin) {
        m_ekrany->SkrytPovestkuKonsoli();
        m_d->m_idZasedania = 0;
    } else {
        if (!zhdatVVorotah(this, new TStartAktivZasForma(kontekst())))
            return false;
        m_ekrany->ObnovitPovestku();
    }

    m_d->TaimerOperaziy->setEnabled(true);
    m_d->TaimerVremya->setEnabled(true);

    if (!m_d->m_rezhimAdmin) {
        // The chairman is present from the moment the terminal starts.
        if (!m_basa.exec(zaprosy::sessia::otmenit(m_d->m_idZasedania, m_d->m_idDeputata, m_d->m_idSessii)))
            return false;
        if (!m_basa.exec(zaprosy::sessia::zaregistrirovat(m_d->m_idZasedania, m_d->m_idDeputata, m_d->m_idSessii)))
            return false;
    }

    // The speaker-request button becomes the heading of the speaker list.
    m_ob.LeiblProshuSlova->setText(QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ"));
    m_ob.LeiblProshuSlova->setFont(arialPt(10, true));
    // The heading takes two lines in the button's width: its box grows to hold them.
    const int vysota = QFontMetrics(m_ob.LeiblProshuSlova->font())
                           .boundingRect(QRect(0, 0, m_ob.LeiblProshuSlova->width(), 1000),
                                         int(m_ob.LeiblProshuSlova->alignment()) | Qt::TextWordWrap, m_ob.LeiblProshuSlova->text())
                           .height();
    m_ob.LeiblProshuSlova->resize(m_ob.LeiblProshuSlova->width(), std::max(24, vysota));
    m_ob.GranicaProshuSlova->resize(m_ob.GranicaProshuSlova->width(), m_ob.LeiblProshuSlova->height() + 2);
    m_ob.LeiblProshuSlova->move(m_ob.LeiblProshuSlova->x(), m_ob.LeiblProshuSlova->y() - 40);
    m_ob.GranicaProshuSlova->move(m_ob.GranicaProshuSlova->x(), m_ob.GranicaProshuSlova->y() - 40);
    return true;
}

// Deputy terminal and watcher.
bool TGlavForma::rolDeputata()
{
    m_ob.PanelSprava->hide();
    setWindowTitle(ZagolovokDeputata());
    peremestit(m_ob.DeputatFreim, this);

    if (!PerechitatRegim(false))
        return false;
    const int kod = m_d->ZaprosRegima->RegimNomer();
    if (kod != rezhim::Prostoy && kod != rezhim::PerezapustitVse) {
        if (!zhdatVVorotah(this, new TStartProstoyForma(kontekst())))
            return false;
    }

    ResultSet rs;
    if (!m_basa.query(zaprosy::povestka::aktivnoeZasedanie(), &rs))
        return false;
    if (!rs.isEmpty()) {
        m_d->m_idZasedania = rs.scalar().toInt();
    } else if (!zhdatVVorotah(this, new TStartAktivZasForma(kontekst()))) {
        return false;
    }

    m_d->TaimerOperaziy->setEnabled(true);
    m_d->TaimerVremya->setEnabled(true);

    m_ekrany->OtkrytPovestkuDeputata();

    if (m_d->m_rezhimNabludatelya) {
        m_ekrany->UstanovitImyaDeputata(QStringLiteral("ИНФОРМАЦИОННЫЙ РЕЖИМ"));
    } else {
        ResultSet imya;
        if (!m_basa.query(zaprosy::deputat::imya(m_d->m_idDeputata),
                            &imya))
            return false;
        m_ob.FIOPHONLeibl->setText(imyaIzStroki(imya, QStringLiteral("\n\r")));
        m_ekrany->UstanovitImyaDeputata(imyaIzStroki(imya, QStringLiteral(" ")));
    }

    m_ob.DeputatFreim->show();
    m_ekrany->RazmestitDeputatFreim();

    if (!OtkrytZaprosRegistracia())
        return false;
    if (VRegistracii(m_d->m_idDeputata) || m_d->m_rezhimNabludatelya) {
        m_ob.PanelStart->hide();
        m_ob.GerbStart->hide();
        m_d->m_dopusk = true;
    } else {
        m_d->m_dopusk = false;
    }

    peremestit(m_ob.PanelStart, this);
    m_ob.PanelSleva->hide();
    razmestitOblasti();

    if (m_d->m_rezhimNabludatelya) {
        m_ob.LeiblProshuSlova->hide();
        m_ob.GranicaProshuSlova->hide();
    }
    return true;
}

// The part of start-up that runs for every role, also after a failed connection.
void TGlavForma::shagObshii()
{
    m_ob.LeiblKolGolosov->hide();
    m_ekrany->SkrytStrokiRezultatov();
    m_ob.LeiblVremya->move(m_ob.LeiblVremya->x(), 160);
    m_ob.PanelGolosovanie->hide();
    ustanovitCvet(m_ob.LeiblProshuSlova, cvet::ProshuSlova());

    m_d->m_idPovestki = 1;

    if (m_d->m_rezhimAdmin && m_basa.isOpen()) {
        ResultSet rs;
        if (m_basa.query(zaprosy::povestka::aktivnyiVoprosKonsoli(),
                           &rs)
            && !rs.isEmpty()) {
            m_d->m_idPovestki = rs.value(0, 0).toInt();
            m_ob.LeiblVopros->setText(NazvanieVoprosa(rs.value(0, 1).toString()));
            m_ob.InfoLabel->setText(ProstoyTekst(rs.value(0, 2).toString(), false));
            m_ob.LeiblZasedanie->setText(ProstoyTekst(rs.value(0, 3).toString(), false));
        }
    }

    m_ob.PanelRegistracia->hide();
    razmestitOblasti();

    if (m_d->m_rezhimAdmin) {
        peremestit(m_ob.AdminFrame, m_ob.PanelSpravaVerh);
        m_ob.AdminFrame->setGeometry(m_ob.PanelSpravaVerh->rect());
        m_ob.AdminFrame->show();
        m_ob.AdminFrame->raise();
        if (m_d->m_zapuskUspeshen && m_ekrany->ZagruzitZasedanie())
            m_ekrany->ObnovitPovestku();
        else
            m_ekrany->UstanovitZasedanieFreima(-1);
    } else {
        m_ob.AdminFrame->hide();
    }
}

// ---- Mode row and registration list ---------------------------------------------------------

bool TGlavForma::PerechitatRegim(bool zakryt)
{
    return zakryt ? m_d->ZaprosRegima->perechitat() : m_d->ZaprosRegima->obnovit();
}

bool TGlavForma::OtkrytZaprosRegistracia()
{
    m_d->ZaprosRegistracia->close();
    const bool registracia = m_d->ZaprosRegima->isOpen() && m_d->ZaprosRegima->RegimNomer() == rezhim::Registracia;
    m_d->ZaprosRegistracia->setParam(QStringLiteral("a"), registracia ? m_d->ZaprosRegima->RegimParam1() : m_d->m_idSessii);
    return m_d->ZaprosRegistracia->open();
}

bool TGlavForma::ObnovitZaprosRegistracia()
{
    if (!m_d->ZaprosRegistracia->isOpen())
        return OtkrytZaprosRegistracia();
    return m_d->ZaprosRegistracia->requery(QStringLiteral("nomer"));
}

bool TGlavForma::VRegistracii(int idDeputata) const
{
    if (!m_d->ZaprosRegistracia->isOpen())
        return false;
    const int n = m_d->ZaprosRegistracia->rowCount();
    for (int i = 0; i < n; ++i)
        if (m_d->ZaprosRegistracia->value(i, QStringLiteral("id_deputat")).toInt() == idDeputata)
            return true;
    return false;
}

bool TGlavForma::MestoMolchit(const QString &nomer) const
{
    const int n = m_d->ProverkaPorklucheniy->rowCount();
    for (int i = 0; i < n; ++i) {
        if (m_d->ProverkaPorklucheniy->value(i, QStringLiteral("nomer")).toString() != nomer)
            continue;
        // Never stamped (NULL) counts as just stamped.
        const QVariant diff = m_d->ProverkaPorklucheniy->value(i, QStringLiteral("diff"));
        return !diff.isNull() && diff.toLongLong() >= 6;
    }
    return true;
}

// ---- Ending --------------------------------------------------------------------------------------

bool TGlavForma::ProverkaOshibok()
{
    if (m_zavershena)
        return true;
    if (!m_basa.hasErrors())
        return false;
    dnevnik::konec(1, QStringLiteral("database error: ") + m_basa.firstErrorText());
    ZavershitProgrammu(1);
    return true;
}

void TGlavForma::ZavershitProgrammu(int kod)
{
    if (m_zavershena)
        return;
    m_zavershena = true;
    for (Taimer *t : {m_d->TaimerOperaziy, m_d->TaimerVremya, m_d->TaimerProverkaPodklucheniy})
        t->setEnabled(false);
    hide();
    m_platform->endProgram(kod);
}

void TGlavForma::FormClose()
{
    if (m_d->m_perezapusk) {
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
    m_ekrany->AdminFormResize();
}

void TGlavForma::FormKeyUp(QKeyEvent *event)
{
    m_ekrany->GolosKlavishei(event->key(), event->modifiers());
}

void TGlavForma::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_zavershena
        && windowTitle() != ZagolovokPodkluchenie())
        FormActivate();
}

void TGlavForma::FormActivate()
{
    m_ekrany->RaspolozhitKnopki();
    m_ob.LeiblVremya->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    // Mid-vote the countdown keeps its place above the progress bar.
    if (m_ob.ProgressBarTablo->isHidden())
        m_ob.LeiblVremya->move(m_ob.LeiblVremya->x(), 138);
    else
        doVerhaVidzheta(m_ob.LeiblVremya, VerhVremeniGolosovania, m_ob.ProgressBarTablo);
    // The monitor starts once the map has been built.
    if (m_ekrany->PostroitKartuMest())
        m_d->TaimerProverkaPodklucheniy->setEnabled(true);
}

// ---- Texts ---------------------------------------------------------------------------------------

QString MinSek(int sekund)
{
    return QStringLiteral("%1 мин %2 сек").arg(sekund / 60).arg(sekund % 60);
}

QString NazvanieVoprosa(const QString &opisanie)
{
    return opisanie == QStringLiteral("Вопрос 0") ? QStringLiteral("Повестка дня") : opisanie;
}

// ---- Mode poller ---------------------------------------------------------------------------------

void TGlavForma::uvedomlenieRegima()
{
    if (m_d->m_tikUvedomleniyaZhdet)
        return;
    m_d->m_tikUvedomleniyaZhdet = true;
    // Queued: the announcement is delivered from inside the driver, and the tick runs
    // statements on the same connection.
    QTimer::singleShot(0, this, [this] {
        m_d->m_tikUvedomleniyaZhdet = false;
        if (!m_d->TaimerOperaziy->isEnabled() || m_zavershena || m_d->m_vTikeOperaziy)
            return;
        ++m_tikiPoUvedomleniyu;
        TaimerOperaziyTimer();
    });
}

void TGlavForma::TaimerOperaziyTimer()
{
    const bool vneshnii = !m_d->m_vTikeOperaziy;
    m_d->m_vTikeOperaziy = true;
    struct Vyhod {
        bool &flag;
        bool restore;
        ~Vyhod() { if (restore) flag = false; }
    } vyhod{m_d->m_vTikeOperaziy, vneshnii};

    if (ProverkaOshibok())
        return;

    m_ekrany->RazmestitSpisokZapis();
    if (PerechitatRegim(true)) {
        const int kod = m_d->ZaprosRegima->RegimNomer();
        // The countdown in param2 changes every second: a mode is new by its code and param1.
        if (kod != m_d->m_dnevnikKod || m_d->ZaprosRegima->RegimParam1() != m_d->m_dnevnikParam1) {
            m_d->m_dnevnikKod = kod;
            m_d->m_dnevnikParam1 = m_d->ZaprosRegima->RegimParam1();
            dnevnik::rezhim(kod, m_d->m_dnevnikParam1, m_d->ZaprosRegima->isOpen() ? m_d->ZaprosRegima->RegimParam2() : 0);
        }

        if (kod == rezhim::Gimn && !m_d->m_rezhimAdmin && m_ob.PanelStart->isHidden()) {
            peremestit(m_ob.GimnFreim, this);
            m_ob.GimnFreim->setGeometry(rect());
            m_ob.PanelSleva->hide();
            m_ob.GimnFreim->show();
            m_ob.GimnFreim->raise();
        } else {
            m_ob.GimnFreim->hide();
            if ((kod == rezhim::Gimn || kod == rezhim::GimnSnyat) && m_d->m_rezhimAdmin) {
                m_ob.InfoLabel->show();
                m_ekrany->SkrytStrokiRezultatov();
                m_ekrany->SbrosPanelGolosovania();
                PokazatVremya();
            } else if (kod == rezhim::Registracia && m_d->m_dopusk) {
                if ((windowTitle() == ZagolovokDeputata()) && !m_d->m_rezhimNabludatelya)
                    m_ekrany->RegistraciaDopushennogo();
                else
                    m_ekrany->RegistraciaNaTablo();
            } else if (kod == rezhim::Registracia) {
                if (m_ob.PanelRegistracia->isHidden() || vidim(m_ob.PanelStart))
                    m_ekrany->VoitiVRegistraciyu();
                m_ekrany->OtschetRegistracii();
            } else if (kod == rezhim::Golosovanie
                       && (VRegistracii(m_d->m_idDeputata) || m_d->m_rezhimAdmin || m_d->m_rezhimNabludatelya)) {
                // A deputy registered at the end of the period is admitted by the clock once the
                // period is over; a vote started before that clock tick (the server announces
                // every mode at once) would leave him without his voting panel for the whole
                // vote, since the clock does not admit anyone while a vote runs.
                if (!m_d->m_dopusk && (windowTitle() == ZagolovokDeputata()))
                    m_ekrany->SinhronizaciyaRegistracii();
                if (m_ob.ProgressBarTablo->isHidden())
                    m_ekrany->NachatTabloGolosovania();
                m_ekrany->OtschetGolosovania();
            } else if (kod == rezhim::RezultatGolosovania) {
                m_ekrany->TabloRezultataGolosovania();
            } else if (kod == rezhim::RezultatRegistracii) {
                m_ekrany->TabloRezultataRegistracii();
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
    if (!m_d->m_failSostoyaniya.vklyuchen())
        return;
    const qint64 seichas = QDateTime::currentMSecsSinceEpoch();
    if (m_d->m_videnS == 0 || m_d->ZaprosRegima->RegimNomer() != m_d->m_videnNomer || m_d->ZaprosRegima->RegimParam1() != m_d->m_videnParam1) {
        m_d->m_videnNomer = m_d->ZaprosRegima->RegimNomer();
        m_d->m_videnParam1 = m_d->ZaprosRegima->RegimParam1();
        m_d->m_videnS = seichas;
    }
    const QString rol = m_d->m_rezhimAdmin ? QStringLiteral("console")
                        : m_d->m_rezhimNabludatelya ? QStringLiteral("watcher")
                        : (windowTitle() == ZagolovokPredsedatelya()) ? QStringLiteral("chairman")
                                              : QStringLiteral("deputy");
    QString t;
    t += QStringLiteral("pid=%1\n").arg(QCoreApplication::applicationPid());
    t += QStringLiteral("started=%1\n").arg(m_d->m_zapushen);
    t += QStringLiteral("login=%1\n").arg(m_d->m_loginMesta);
    t += QStringLiteral("role=%1\n").arg(rol);
    t += QStringLiteral("stage=%1\n").arg(etap);
    t += QStringLiteral("mode=%1,%2,%3\n").arg(m_d->ZaprosRegima->RegimNomer()).arg(m_d->ZaprosRegima->RegimParam1()).arg(m_d->ZaprosRegima->RegimParam2());
    t += QStringLiteral("mode_since=%1\n").arg(m_d->m_videnS);
    t += QStringLiteral("session=%1\nmeeting=%2\nitem=%3\n").arg(m_d->m_idSessii).arg(m_d->m_idZasedania).arg(m_d->m_idPovestki);
    t += QStringLiteral("push_ticks=%1\n").arg(m_tikiPoUvedomleniyu);
    if (etap == QLatin1String("running"))
        t += m_ekrany->OpisanieEkrana();
    // The statement counter moves every tick: on its own it refreshes the file once a second.
    if (t == m_d->m_sutSostoyaniya && seichas - m_d->m_sostoyanieZapisano < 1000)
        return;
    m_d->m_sutSostoyaniya = t;
    m_d->m_sostoyanieZapisano = seichas;
    m_d->m_failSostoyaniya.zapisat(t + QStringLiteral("statements=%1\n").arg(m_basa.statementCount()));
}

// The idle board: every mode without a screen of its own.
void TGlavForma::prostoyTablo(int kod)
{
    // A vote may end straight to idle (no results): its panel and board go with it.
    if (!m_d->TaimerVremya->isEnabled() || !m_ob.PanelGolosovanie->isHidden() || !m_ob.ProgressBarTablo->isHidden()) {
        m_ekrany->SkrytStrokiRezultatov();
        m_ekrany->SbrosPanelGolosovania();
        PokazatVremya();
    }
    m_ekrany->SinhronizirovatKnopkiPDF();
    if (m_ob.RegKnopka->tag() == 1)
        m_ob.PanelStart->setVisible(!m_d->m_dopusk);
    m_ob.ZaregLeibl->hide();
    SkrytRegistraciyu();

    if (!ObnovitZaprosRegistracia())
        return;

    if (kod == rezhim::Prostoy) {
        m_ekrany->SkrytStrokiRezultatov();
        m_ob.LeiblVremya->show();
        m_ob.InfoLabel->setGeometry(m_ob.InfoTablo->geometry());
        const QString tekst = m_ob.InfoTablo->toPlainText();
        if (m_ob.InfoLabel->text() != tekst)
            m_ob.InfoLabel->setText(tekst);
        m_ob.InfoLabel->show();
        const int shirina = QFontMetrics(m_ob.InfoLabel->font()).horizontalAdvance(m_ob.InfoLabel->text());
        m_ob.InfoLabel->setAlignment(Qt::AlignTop | (shirina < m_ob.InfoLabel->width() ? Qt::AlignHCenter : Qt::AlignLeft));
    } else if (m_ekrany->StrokiRezultatovVidny()) {
        // A registration summary still on the board keeps the item's text away from its rows.
        m_ob.InfoLabel->hide();
    }

    if ((windowTitle() == ZagolovokDeputata()) && VRegistracii(m_d->m_idDeputata)) {
        ResultSet imya;
        if (!m_basa.query(zaprosy::deputat::imya(m_d->m_idDeputata),
                            &imya))
            return;
        m_ob.FIOPHONLeibl->setText(imyaIzStroki(imya, QStringLiteral("\n\r")));
        if (!m_d->m_rezhimNabludatelya)
            m_ekrany->UstanovitImyaDeputata(imyaIzStroki(imya, QStringLiteral(" ")));
        m_ob.DeputatFreim->show();
    }
}

void TGlavForma::SkrytRegistraciyu()
{
    if (m_d->ZaprosRegima->RegimNomer() == rezhim::Gimn)
        return;
    m_ob.PanelRegistracia->hide();
    m_ob.PanelSleva->setVisible(m_d->m_dopusk || m_ob.PanelStart->isHidden());
}

void TGlavForma::PokazatVremya()
{
    m_ob.LeiblVremya->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    m_d->TaimerVremya->setEnabled(true);
    m_ob.LeiblVremya->show();
    m_ob.LeiblVremya->move(m_ob.LeiblVremya->x(), m_ob.InfoTablo->y() + m_ob.InfoTablo->height() + 8);
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
    const int kod = m_d->ZaprosRegima->RegimNomer();

    if (m_d->m_rezhimAdmin) {
        // The console keeps a remote command in force for its ten-second window.
        if (rezhim::udalennayaKomanda(kod)) {
            const int ostalos = m_d->ZaprosRegima->RegimParam1();
            m_basa.exec(ostalos >= 2 ? rezhim::schetKomandy(ostalos - 1) : rezhim::konecKomandy());
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
                m_d->m_perezapusk = true;
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

        if (!m_basa.exec(zaprosy::mesto::podtverdit(m_d->m_loginMesta))
            && m_basa.hasErrors()) {
            m_dialogs->error(this, QStringLiteral("Ошибка подтверждения активности рабочего места!\n\r\n\r")
                                       + m_basa.firstErrorText());
            return;
        }
    }

    if (kod == rezhim::Registracia || kod == rezhim::Golosovanie || kod == rezhim::RezultatGolosovania) {
        // These screens stay as they are, but the deputy's buttons still follow what the
        // console's seat commands or another workstation wrote meanwhile.
        if (m_basa.isOpen()) {
            if (kod == rezhim::Registracia)
                m_ekrany->SinhronizaciyaRegKnopki();
            m_ekrany->SinhronizaciyaProshuSlova();
        }
        return;
    }

    m_ekrany->SinhronizaciyaRegistracii();
    m_ob.LeiblVremya->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    const int verh = m_ob.InfoTablo->y() + m_ob.InfoTablo->height() + 8;
    if (m_ob.LeiblVremya->y() != verh)
        m_ob.LeiblVremya->move(m_ob.LeiblVremya->x(), verh);
    if (m_basa.isOpen() && ObnovitAktivnyiVopros())
        m_ekrany->SinhronizaciyaProshuSlova();
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
        zaprosy::sessia::otkrytyiPeriodZasedania(idZasedania),
        &ok);
    if (ok)
        *period = p.isNull() ? -1 : p.toInt();
    return ok;
}

}  // namespace

bool TGlavForma::ObnovitAktivnyiVopros()
{
    ResultSet rs;
    if (!m_basa.query(zaprosy::povestka::aktivnyiVoprosChasov(),
                        &rs))
        return false;
    if (rs.isEmpty()) {
        m_ob.LeiblVopros->clear();
        m_ob.InfoTablo->clear();
        m_ob.LeiblZasedanie->clear();
        m_ekrany->SledovatZasedaniyuDeputata(0);
        return true;
    }
    const int idPovestki = rs.value(0, 0).toInt();
    const int idZasedania = rs.value(0, 2).toInt();
    // A running registration names its period itself.
    if (idZasedania != m_d->m_idZasedania && !(m_d->ZaprosRegima->isOpen() && m_d->ZaprosRegima->RegimNomer() == rezhim::Registracia)
        && !periodZasedania(m_basa, idZasedania, &m_d->m_idSessii))
        return false;
    m_ob.LeiblVopros->setText(NazvanieVoprosa(rs.value(0, 1).toString()));
    m_ob.LeiblZasedanie->setText(rs.value(0, 3).toString());

    if (m_ekrany->PovestkaKonsoliSkryta())
        m_ekrany->PrivyazatPovestkuKonsoli(idZasedania);
    m_ekrany->SledovatZasedaniyuDeputata(idZasedania);

    // Parsed only when the stored text changed: it is read every second on every seat.
    const QString rtf = rs.value(0, 4).toString();
    if (!m_d->m_infoRtfProchitan || rtf != m_d->m_infoRtf) {
        richtext::loadRtf(m_ob.InfoBack, rtf);
        m_d->m_infoRtf = rtf;
        m_d->m_infoRtfProchitan = true;
    }
    const QString tekst = m_ob.InfoBack->toPlainText();
    if (m_ob.InfoTablo->toPlainText() != tekst) {
        m_ob.InfoTablo->setPlainText(tekst);
        richtext::setWholeTextPointSize(m_ob.InfoTablo, 8);
        // The focus goes to the console frame; where there is none the rest waits a tick.
        if (!m_ob.AdminFrame->isVisibleTo(this))
            return false;
        m_ob.AdminFrame->setFocus();
    }

    if (idPovestki != m_d->m_idPovestki) {
        m_d->m_idPovestki = idPovestki;
        m_ekrany->PerekrasitPovestkuKonsoli();
    }
    m_d->m_idZasedania = idZasedania;
    return true;
}

// ---- Connection monitor ---------------------------------------------------------------------------

void TGlavForma::TaimerProverkaPodklucheniyTimer()
{
    if (ProverkaOshibok())
        return;

    const bool prochitano = m_d->ProverkaPorklucheniy->isOpen() ? m_d->ProverkaPorklucheniy->requery(QStringLiteral("nomer"))
                                                           : m_d->ProverkaPorklucheniy->open();
    if (prochitano && (m_d->ZaprosRegima->isOpen() || m_d->ZaprosRegima->open())) {
        QString oshibka;
        if (!m_ekrany->ObnovitKartuMest(&oshibka) && !m_basa.hasErrors())
            m_dialogs->error(this, oshibka);
    }

    ProverkaOshibok();
}
