#include "core/taimer.h"
#include "core/startgates.h"
#include "core/vidzhety.h"

#include "core/dialogs.h"
#include "core/masshtab.h"
#include "core/platform.h"
#include "core/rezhim.h"
#include "core/tglavforma.h"
#include "db/zaprosy/povestka.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

TStartForma::TStartForma(const KontekstEkrana &glav, const QString &opisanie) : QDialog(glav.okno()), m_glav(glav)
{
    setWindowTitle(QStringLiteral("Запуск программы (v. ") + glav->VersiaProgrammy() + QStringLiteral(")"));
    setFont(arialPx(13, false));
    setFixedSize(597, 145);
    setModal(true);
    // At start-up the main window is not on the screen yet, so centring on it would put the
    // gate wherever that hidden window happens to be.
    masshtab::vCentrPriPokaze(this);
    // No context help or minimise box; the close box stays but does nothing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Opisanie = new QLabel(opisanie, this);
    Opisanie->setObjectName(QStringLiteral("Opisanie"));
    Opisanie->setGeometry(21, 24, 555, 44);
    Opisanie->setAlignment(Qt::AlignCenter);
    Opisanie->setWordWrap(true);
    Opisanie->setFont(arialPx(19, true));
    QPalette p = Opisanie->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    Opisanie->setPalette(p);

    Button1 = new QPushButton(QStringLiteral("Выйти из программы"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(199, 92, 200, 37);
    Button1->setFont(arialPx(13, true));
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TStartForma::Button1Click);

    TaimerProverka = new QTimer(this);
    TaimerProverka->setObjectName(QStringLiteral("TaimerProverka"));
    TaimerProverka->setInterval(500);
    connect(TaimerProverka, &QTimer::timeout, this, [this] { TaimerProverkaTimer(); });
    TaimerProverka->start();
}

void TStartForma::Button1Click()
{
    // Leaving the program: start-up does not go on and nothing more is written.
    m_vyhod = true;
    TaimerProverka->stop();
    QDialog::done(QDialog::Rejected);
}

void TStartForma::otkryt()
{
    m_mozhnoZakrit = true;
    TaimerProverka->stop();
    QDialog::done(QDialog::Accepted);
}

void TStartForma::pokazatOshibku()
{
    DbConnection &db = m_glav->GlavBasa();
    const QString text = db.firstErrorText();
    // Reported here, so the error must not also end the workstation once its timers run.
    db.clearErrors();
    m_glav->OshibkaZapuska(text.isEmpty() ? QStringLiteral("Ошибка работы с базой данных") : text);
    // Unattended nobody closes the box, and a gate that kept trying would put up another each
    // tick: the program ends, and its service starts it again once the database answers.
    if (m_glav->platform()->unattended()) {
        m_glav->platform()->pauseBeforeRetry();
        m_vyhod = true;
        TaimerProverka->stop();
        m_glav->ZavershitProgrammu(1);
        QDialog::done(QDialog::Rejected);
    }
}

bool TStartForma::prodolzhatProverku(int *kod)
{
    if (MozhnoZakrit() || vyhod())
        return false;
    if (!m_glav->PerechitatRegim(false)) {
        pokazatOshibku();
        return false;
    }
    *kod = m_glav->ZaprosRegima()->RegimNomer();
    return !komandaZala(*kod);
}

bool TStartForma::komandaZala(int kod)
{
    if (!m_kodViden) {
        m_kodViden = true;
        m_pervyiKod = kod;
    }
    if (kod != m_pervyiKod)
        m_kodIzmenilsya = true;
    if (!m_kodIzmenilsya)
        return false;
    if (kod == rezhim::ZakrytVse) {
        Button1Click();
        return true;
    }
    // On every tick while it stays, as on a running workstation.
    if (kod == rezhim::VyklyuchitVse)
        m_glav->platform()->powerOff();
    return false;
}

void TStartForma::closeEvent(QCloseEvent *event)
{
    if (m_mozhnoZakrit || m_vyhod)
        event->accept();
    else
        event->ignore();
}

void TStartForma::reject()
{
    // Escape and the window's close command land here; only the exit button leaves.
    if (m_mozhnoZakrit || m_vyhod)
        QDialog::reject();
}

TStartProstoyForma::TStartProstoyForma(const KontekstEkrana &glav)
    : TStartForma(glav, QStringLiteral("ПРОГРАММА ЗАПУСТИТСЯ, КАК ТОЛЬКО СИСТЕМА ГОЛОСОВАНИЯ ПЕРЕЙДЕТ В РЕЖИМ ПРОСТОЯ"))
{
    setObjectName(QStringLiteral("StartProstoyForma"));
}

void TStartProstoyForma::TaimerProverkaTimer()
{
    int kod = 0;
    if (!prodolzhatProverku(&kod))
        return;
    if (kod == rezhim::Prostoy || kod == rezhim::PerezapustitVse)
        otkryt();
    else
        m_glav->ZapisatSostoyanie(QStringLiteral("idle-gate"));
}

TStartAktivZasForma::TStartAktivZasForma(const KontekstEkrana &glav)
    : TStartForma(glav, QStringLiteral("ПРОГРАММА ЗАПУСТИТСЯ, КАК ТОЛЬКО БУДЕТ АКТИВИРОВАНО ЗАСЕДАНИЕ"))
{
    setObjectName(QStringLiteral("StartAktivZasForma"));
}

void TStartAktivZasForma::TaimerProverkaTimer()
{
    int kod = 0;
    if (!prodolzhatProverku(&kod))
        return;
    ResultSet rs;
    if (!m_glav->GlavBasa().query(zaprosy::povestka::aktivnoeZasedanie(), &rs)) {
        pokazatOshibku();
        return;
    }
    if (rs.isEmpty()) {
        m_glav->ZapisatSostoyanie(QStringLiteral("meeting-gate"));
        return;
    }
    m_glav->setIdZasedania(rs.scalar().toInt());
    otkryt();
}
