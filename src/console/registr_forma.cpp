#include "core/taimer.h"
#include "console/registr_forma.h"

#include "console/konsol_obshee.h"
#include "console/process_golos_forma.h"
#include "core/dialogs.h"
#include "core/oshibka.h"
#include "core/rezhim.h"
#include "core/tglavforma.h"
#include "core/vidzhety.h"
#include "db/zaprosy/sessia.h"
#include "hall/gimn_forma.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpinBox>

TRegistrForma::TRegistrForma(const KontekstEkrana &glav, TProcessGolosForma *process)
    : QDialog(glav.okno()), m_glav(glav), m_process(process)
{
    setObjectName(QStringLiteral("RegistrForma"));
    setWindowTitle(QStringLiteral("Идет регистрация ..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(arialPx(13));
    setFixedSize(265, 137);

    VremyaBoks = new QGroupBox(QStringLiteral("Время регистрации"), this);
    VremyaBoks->setObjectName(QStringLiteral("VremyaBoks"));
    VremyaBoks->setGeometry(8, 6, 249, 58);
    Vremya = new QSpinBox(VremyaBoks);
    Vremya->setObjectName(QStringLiteral("Vremya"));
    Vremya->setRange(10, 400);
    Vremya->setSingleStep(5);
    Vremya->setValue(300);
    Vremya->setGeometry(12, 22, 225, 26);

    KnopkaStartReg = new QPushButton(QStringLiteral("ЗАПУСТИТЬ РЕГИСТРАЦИЮ"), this);
    KnopkaStartReg->setObjectName(QStringLiteral("KnopkaStartReg"));
    KnopkaStartReg->setFont(arialPx(13, true));
    KnopkaStartReg->setGeometry(8, 76, 249, 49);
    KnopkaStartReg->setAutoDefault(false);
    connect(KnopkaStartReg, &QPushButton::clicked, this, [this] { KnopkaStartRegClick(); });

    Taimer = new ::Taimer(QStringLiteral("Taimer"), 1000, this);
    connect(Taimer, &::Taimer::timeout, this, [this] { TaimerTimer(); });
}

void TRegistrForma::Pokazat()
{
    m_mozhnoZakrit = true;
    for (;;) {
        m_zapushena = false;
        m_glav->dialogs()->exec(this);
        if (!m_zapushena)
            return;
        provesti();
    }
}

void TRegistrForma::sboi(const OshibkaBazy &oshibka)
{
    Taimer->setEnabled(false);
    oshibka.pokazat(m_glav->dialogs(), isVisible() ? static_cast<QWidget *>(this) : m_glav->okno(),
                    QStringLiteral("Ошибка при проведении регистрации!\n\r\n\r"));
    // A failure of this write means the connection is gone; it stays pending and the main
    // window's timers end the program as for any lost connection.
    m_glav->GlavBasa().exec(rezhim::prostoy());
    m_mozhnoZakrit = true;
}

void TRegistrForma::KnopkaStartRegClick()
{
    DbConnection &db = m_glav->GlavBasa();
    int predsedatel = 0;
    int period = 0;
    if (!db.exec(zaprosy::sessia::zakrytPeriody()) || !db.exec(zaprosy::sessia::udalitBezPerioda())
        || !db.exec(zaprosy::sessia::noviyPeriod(m_glav->IdZasedania()))
        || !konsol::Predsedatel(&db, &predsedatel) || !konsol::PosledniiPeriod(&db, &period)) {
        sboi(OshibkaBazy(&db));
        return;
    }
    m_period = period;
    m_glav->setIdSessii(period);
    m_mozhnoZakrit = false;

    const int sekund = Vremya->value();
    if (!konsol::ZapisatPredsedatelya(&db, predsedatel, period, m_glav->IdZasedania())
        || !db.exec(rezhim::nachatRegistraciyu(period, sekund))) {
        sboi(OshibkaBazy(&db));
        return;
    }
    m_ostalosSekund = sekund;
    m_zapisanoKonca = 0;
    m_sboiPodryad = false;
    Taimer->setEnabled(true);

    // The window goes away while the registration runs; Pokazat() carries on.
    m_zapushena = true;
    QDialog::done(QDialog::Accepted);
}

void TRegistrForma::Prodolzhit(int idSessii, int sekund)
{
    m_period = idSessii;
    m_glav->setIdSessii(idSessii);
    m_mozhnoZakrit = false;
    m_ostalosSekund = qMax(sekund, 0);
    m_zapisanoKonca = 0;
    m_sboiPodryad = false;
    Taimer->setEnabled(true);
    provesti();
    m_mozhnoZakrit = true;
}

void TRegistrForma::provesti()
{
    m_process->Podgotovit(QStringLiteral("Идет регистрация ..."), QStringLiteral("Завершить регистрацию"));
    m_process->naZavershenie = [this] {
        m_ostalosSekund = 0;
        zavershit();
    };
    m_glav->dialogs()->exec(m_process);
    m_process->naZavershenie = nullptr;
    Taimer->setEnabled(false);
    // The window closes only once the end is written.
    m_mozhnoZakrit = true;

    TGimnForm gimn(&m_glav->GlavBasa(), m_glav->dialogs(), false, m_glav->okno());
    m_glav->dialogs()->exec(&gimn);
}

void TRegistrForma::TaimerTimer()
{
    // A box of this timer is open (its event loop runs the timer): that tick is not over yet.
    if (m_vTike)
        return;
    m_vTike = true;
    // The seconds left go down only once written: a failed tick makes the registration a
    // second longer, and the countdown never runs below zero into a registration without end.
    if (m_ostalosSekund > 0) {
        if (!m_glav->GlavBasa().exec(rezhim::ostalosSekund(m_ostalosSekund - 1))) {
            sboiTaimera();
            m_vTike = false;
            return;
        }
        --m_ostalosSekund;
        m_sboiPodryad = false;
    }
    if (m_ostalosSekund <= 0)
        zavershit();
    m_vTike = false;
}

void TRegistrForma::zavershit()
{
    if (!konsol::ZapisatKonec(&m_glav->GlavBasa(), {rezhim::prostoy(), rezhim::rezultatRegistracii(m_period)},
                              &m_zapisanoKonca))
        return sboiTaimera();
    Taimer->setEnabled(false);
    m_process->Zakryt();
}

void TRegistrForma::sboiTaimera()
{
    konsol::SboiOtscheta(&m_glav->GlavBasa(), m_glav->dialogs(),
                         m_process->isVisible() ? static_cast<QWidget *>(m_process) : m_glav->okno(),
                         QStringLiteral("Ошибка при проведении регистрации!\n\r\n\r"), &m_sboiPodryad, &m_vTike,
                         [this] {
                             if (Taimer->isEnabled())
                                 TaimerTimer();
                         });
}

void TRegistrForma::FormKeyPress(int key)
{
    if (key == 27)
        close();
}

void TRegistrForma::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        FormKeyPress(27);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TRegistrForma::done(int result)
{
    if (!FormCloseQuery())
        return;
    QDialog::done(result);
}
