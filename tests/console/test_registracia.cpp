// Registration control from the console and the anthem dialog and screen: the registration
// window, the countdown into the mode row, the early end, the result and the anthem, the
// recovery from a failure in the middle, with a console and a terminal on one database.

#include "app/ekrany_zala.h"
#include "konsol_fixture.h"

#include "console/process_golos_forma.h"
#include "console/registr_forma.h"
#include "hall/gimn_forma.h"
#include "hall/gimn_freim.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace konsol_test;

namespace {

// A hall with the demo meeting opened from the console and a deputy terminal running.
struct Zal {
    TestHall hall;
    Workstation *konsol = nullptr;
    Workstation *deputat = nullptr;
    int zasedanie = 0;

    bool podgotovit()
    {
        if (!hall.ok() || !hall.deactivateItems())
            return false;
        zasedanie = hall.demoMeeting();
        konsol = &hall.start(QStringLiteral("admin1"));
        if (!otkryt(*konsol, zasedanie))
            return false;
        (*konsol)->konsol().RegistrForma->Taimer->setFiring(false);
        konsol->clock();
        deputat = &hall.start(QStringLiteral("07"));
        konsol->dialogs.clear();
        return deputat->started() && zapisyvatRegim(hall);
    }
    TRegistrForma *registr() { return (*konsol)->konsol().RegistrForma; }
};

// The operator's part, queued in order: the registration window started with `sekund`, the
// progress window (ticked by `shag`), the anthem dialog ("Открыть повестку"), and the
// registration window closed again.
void zapustit(Workstation &ws, int sekund, std::function<void(TRegistrForma *, TProcessGolosForma *)> shag,
              std::function<void(TGimnForm *)> gimn = nullptr)
{
    TRegistrForma *r = ws->konsol().RegistrForma;
    ws.dialogs.modalHandlers.enqueue([r, sekund](QDialog *d) {
        if (d != r)
            return int(QDialog::Rejected);
        r->Vremya->setValue(sekund);
        r->KnopkaStartRegClick();
        return r->result();
    });
    ws.dialogs.modalHandlers.enqueue([r, shag](QDialog *d) {
        auto *p = qobject_cast<TProcessGolosForma *>(d);
        if (!p)
            return int(QDialog::Rejected);
        shag(r, p);
        return p->result();
    });
    ws.dialogs.modalHandlers.enqueue([gimn](QDialog *d) {
        auto *g = qobject_cast<TGimnForm *>(d);
        if (!g)
            return int(QDialog::Rejected);
        if (gimn)
            gimn(g);
        g->ZakrGimnClick();
        return g->result();
    });
}

QString zapis(int nomer, int p1, int p2)
{
    return QStringLiteral("%1,%2,%3").arg(nomer).arg(p1).arg(p2);
}

}  // namespace

class TestRegistracia : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windows();
    void refusedWithoutMeeting();
    void fullCountdown();
    void endedEarly();
    void everyRegistrationIsNewPeriod();
    void withoutChairman();
    void realModalWindows();
    void failureInTheMiddle();
    void failureAtStart();
    void gimnDialog();
    void gimnDialogFailure();
    void gimnScreen();
};

void TestRegistracia::windows()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    TRegistrForma *r = c->konsol().RegistrForma;
    QVERIFY(r);
    QCOMPARE(r->Vremya->minimum(), 10);
    QCOMPARE(r->Vremya->maximum(), 400);
    QCOMPARE(r->Vremya->singleStep(), 5);
    QCOMPARE(r->Vremya->value(), 300);
    QVERIFY(!r->Taimer->isEnabled());

    TProcessGolosForma *p = c->konsol().ProcessGolosForma;
    QVERIFY(p);
    QCOMPARE(p->size(), QSize(302, 89));
    QCOMPARE(p->KnopkaStopGolos->size(), QSize(225, 33));

    // Escape closes the idle registration window.
    r->show();
    QTest::keyClick(r, Qt::Key_Escape);
    QVERIFY(r->isHidden());
}

void TestRegistracia::refusedWithoutMeeting()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &c = hall.start("admin1");
    frame(c)->KnopkaRegistraciaClick();
    QVERIFY(c.dialogs.modalClasses.isEmpty());
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Регистрация невозможна, так как не было открыто заседание!")});
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Ошибка"));
    QCOMPARE(c.dialogs.shown.last().icon, Dialogs::Error);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start")), 0);
}

// N seconds: param2 goes N, N-1, ..., 0, then -1, then 5 with 15; the anthem dialog ends it.
void TestRegistracia::fullCountdown()
{
    Zal z;
    QVERIFY(z.podgotovit());
    Workstation &c = *z.konsol;
    QVERIFY(z.hall.exec(QStringLiteral("INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (5,-1,%1)").arg(z.zasedanie)));
    const int N = 15;
    int period = 0;
    QStringList vidno;
    zapustit(c, N, [&](TRegistrForma *r, TProcessGolosForma *p) {
        period = c->IdSessii();
        QCOMPARE(p->windowTitle(), QStringLiteral("Идет регистрация ..."));
        QCOMPARE(p->KnopkaStopGolos->text(), QStringLiteral("Завершить регистрацию"));
        QVERIFY(!p->MozhnoZakrit());
        QVERIFY(r->isHidden());
        QVERIFY(r->Taimer->isEnabled());
        snimok(p, QStringLiteral("registracia_process"));
        // Neither window can be closed while it runs.
        QVERIFY(!r->FormCloseQuery());
        p->reject();
        QCOMPARE(p->result(), 0);
        // The terminal follows the period.
        z.deputat->poll();
        QCOMPARE((*z.deputat)->IdSessii(), period);
        for (int i = 0; i < N; ++i) {
            // Still running before each second, including the last.
            QVERIFY(r->Taimer->isEnabled());
            QVERIFY(!p->MozhnoZakrit());
            r->TaimerTimer();
            // The last second writes the end and the result in the same tick.
            vidno << QString::number(z.hall.scalarInt(QStringLiteral("SELECT param2 FROM regim")))
                         + QLatin1Char('/') + QString::number(z.hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")));
            c.poll();  // the console's own timers go on underneath
        }
        QVERIFY(!r->Taimer->isEnabled());
        QCOMPARE(p->result(), int(QDialog::Accepted));
    }, [&](TGimnForm *g) {
        QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), 5);
        QVERIFY(!g->MozhnoZakrit());
    });
    c.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        snimok(d, QStringLiteral("registracia"));
        return int(QDialog::Rejected);
    });
    frame(c)->KnopkaRegistraciaClick();

    QCOMPARE(c.dialogs.modalClasses, (QStringList{QStringLiteral("TRegistrForma"), QStringLiteral("TProcessGolosForma"),
                                                  QStringLiteral("TGimnForm"), QStringLiteral("TRegistrForma")}));
    QVERIFY(c.messages().isEmpty());
    QVERIFY(period > 0);
    QStringList ozhidaetsya;
    for (int s = N - 1; s >= 1; --s)
        ozhidaetsya << QString::number(s) + QStringLiteral("/1");
    ozhidaetsya << QStringLiteral("15/5");
    QCOMPARE(vidno, ozhidaetsya);

    QStringList zapisi;
    zapisi << zapis(1, period, N);
    for (int s = N - 1; s >= 0; --s)
        zapisi << zapis(1, period, s);
    zapisi << zapis(-1, period, 0) << zapis(5, period, 15) << zapis(-1, period, 15);
    QCOMPARE(zapisiRegima(z.hall), zapisi);

    // The period: open, of the meeting, with the chairman in it; the stray records are gone.
    QCOMPARE(period, z.hall.scalarInt(QStringLiteral("SELECT max(id) FROM sessia_start")));
    QVERIFY(z.hall.scalar(QStringLiteral("SELECT stop FROM sessia_start WHERE id = %1").arg(period)).isNull());
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT id_zasedanie FROM sessia_start WHERE id = %1").arg(period)), z.zasedanie);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia = -1")), 0);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia = %1").arg(period)), 1);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT id_deputat FROM sessia WHERE id_sessia = %1").arg(period)),
             z.hall.deputyAt(QStringLiteral("02")));
    QCOMPARE(c->IdSessii(), period);
    QVERIFY(z.registr()->MozhnoZakrit());
    QVERIFY(!c->GlavBasa().hasErrors());
    c.second();
    QVERIFY(!c.ended());
}

// Ended after 20 seconds of 300: -1 is written with param2 still at 280.
void TestRegistracia::endedEarly()
{
    Zal z;
    QVERIFY(z.podgotovit());
    Workstation &c = *z.konsol;
    int period = 0;
    zapustit(c, 300, [&](TRegistrForma *r, TProcessGolosForma *p) {
        period = c->IdSessii();
        for (int i = 0; i < 20; ++i)
            r->TaimerTimer();
        QVERIFY(!p->MozhnoZakrit());
        p->KnopkaStopGolosClick();
        QCOMPARE(p->result(), int(QDialog::Accepted));
    });
    frame(c)->KnopkaRegistraciaClick();
    const QStringList zapisi = zapisiRegima(z.hall);
    QCOMPARE(zapisi.first(), zapis(1, period, 300));
    QCOMPARE(zapisi.mid(20), (QStringList{zapis(1, period, 280), zapis(-1, period, 280), zapis(5, period, 15),
                                          zapis(-1, period, 15)}));
    QVERIFY(!z.registr()->Taimer->isEnabled());
}

// Each registration opens a new period and closes the ones before.
void TestRegistracia::everyRegistrationIsNewPeriod()
{
    Zal z;
    QVERIFY(z.podgotovit());
    Workstation &c = *z.konsol;
    QList<int> periody;
    auto shag = [&](TRegistrForma *r, TProcessGolosForma *) {
        periody << c->IdSessii();
        for (int i = 0; i < 10; ++i)
            r->TaimerTimer();
    };
    zapustit(c, 10, shag);
    // The window is back for the next one.
    zapustit(c, 10, shag);
    frame(c)->KnopkaRegistraciaClick();
    QCOMPARE(periody.size(), 2);
    QVERIFY(periody[1] > periody[0]);
    QVERIFY(!z.hall.scalar(QStringLiteral("SELECT stop FROM sessia_start WHERE id = %1").arg(periody[0])).isNull());
    QVERIFY(z.hall.scalar(QStringLiteral("SELECT stop FROM sessia_start WHERE id = %1").arg(periody[1])).isNull());
    QCOMPARE(c.dialogs.modalClasses.count(QStringLiteral("TGimnForm")), 2);
}

void TestRegistracia::withoutChairman()
{
    Zal z;
    QVERIFY(z.podgotovit());
    QVERIFY(z.hall.exec(QStringLiteral("UPDATE sostav SET chairman = 0")));
    Workstation &c = *z.konsol;
    zapustit(c, 10, [](TRegistrForma *r, TProcessGolosForma *p) { p->KnopkaStopGolosClick(); (void)r; });
    frame(c)->KnopkaRegistraciaClick();
    QVERIFY(c->IdSessii() > 0);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), 0);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), -1);
}

// The same run with the real modal windows (no seam): the registration window leaves its
// modal loop when the registration starts and is shown modally again afterwards.
void TestRegistracia::realModalWindows()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET start = GETDATE()")));
    QVERIFY(hall.activateItem(2));
    QVERIFY(zapisyvatRegim(hall));
    QtDialogs dialogs;
    FakePlatform platform(hall.dir());
    platform.args = QStringList{QStringLiteral("auto"), QStringLiteral("embedded"), hall.dbPath(), QStringLiteral("admin1")};
    TGlavForma w(&dialogs, &platform, fabrikaZala());
    TKonsolEkran &konsol = static_cast<TEkranyZala &>(w.ekrany()).konsol;
    w.setRuchnyeTiki(true);
    QVERIFY(w.Zapusk());
    QVERIFY(w.kontekst().IdZasedania() > 0);
    konsol.RegistrForma->Taimer->setFiring(false);

    QStringList okna;
    int shagov = 0;
    std::function<void()> operator_ = [&] {
        if (++shagov > 500)
            qFatal("the registration windows do not move on: %s", qPrintable(okna.join(QLatin1Char(' '))));
        QWidget *m = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(m))
            qFatal("unexpected message: %s", qPrintable(box->text()));
        if (!m || !m->isVisible() || (!okna.isEmpty() && okna.last() == QString::fromLatin1(m->metaObject()->className()))) {
            QTimer::singleShot(5, operator_);
            return;
        }
        okna << QString::fromLatin1(m->metaObject()->className());
        if (m == konsol.RegistrForma && okna.size() == 1) {
            konsol.RegistrForma->Vremya->setValue(10);
            konsol.RegistrForma->KnopkaStartReg->click();
        } else if (m == konsol.ProcessGolosForma) {
            for (int i = 0; i < 10; ++i)
                konsol.RegistrForma->TaimerTimer();
        } else if (auto *g = qobject_cast<TGimnForm *>(m)) {
            g->ZakrGimn->click();
        } else if (m == konsol.RegistrForma) {
            QTest::keyClick(m, Qt::Key_Escape);
            return;
        }
        QTimer::singleShot(5, operator_);
    };
    QTimer::singleShot(0, operator_);
    konsol.AdminInterfeis->KnopkaRegistraciaClick();

    QCOMPARE(okna, (QStringList{QStringLiteral("TRegistrForma"), QStringLiteral("TProcessGolosForma"),
                                QStringLiteral("TGimnForm"), QStringLiteral("TRegistrForma")}));
    QVERIFY(konsol.RegistrForma->isHidden());
    const int p = w.kontekst().IdSessii();
    const QStringList zapisi = zapisiRegima(hall);
    QCOMPARE(zapisi.first(), zapis(1, p, 10));
    QCOMPARE(zapisi.mid(zapisi.size() - 4),
             (QStringList{zapis(1, p, 0), zapis(-1, p, 0), zapis(5, p, 15), zapis(-1, p, 15)}));
}

// Countdown writes fail for a while (a lock held by another workstation): the operator is
// told once, each failed tick adds a second, and the registration then runs to its end with
// its results and the anthem; the console never ends. The end writes themselves are retried
// until they are in: the hall is never left in a registration nobody counts down.
void TestRegistracia::failureInTheMiddle()
{
    Zal z;
    QVERIFY(z.podgotovit());
    Workstation &c = *z.konsol;
    QVERIFY(syroi(z.hall, QStringLiteral("CREATE TRIGGER slomat BEFORE UPDATE OF param2 ON regim WHEN NEW.param2 = 7 "
                                         "BEGIN SELECT RAISE(ABORT, 'diska net'); END")));
    int period = 0;
    zapustit(c, 10, [&](TRegistrForma *r, TProcessGolosForma *p) {
        period = c->IdSessii();
        // The main window's timers run inside the error box, as in a real modal loop.
        c.dialogs.whileShown = [&] { c.second(); };
        for (int i = 0; i < 5; ++i)
            r->TaimerTimer();
        QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT param2 FROM regim")), 8);
        QCOMPARE(r->OstalosSekund(), 8);
        QVERIFY(r->Taimer->isEnabled());
        QVERIFY(!p->MozhnoZakrit());
        QCOMPARE(c.messages().size(), 1);
        QVERIFY(!c->GlavBasa().hasErrors());
        QVERIFY(!c.ended());
        QVERIFY(syroi(z.hall, QStringLiteral("DROP TRIGGER slomat")));

        // The end's result write refused twice, then let through.
        QVERIFY(syroi(z.hall, QStringLiteral("CREATE TRIGGER slomat5 BEFORE UPDATE ON regim WHEN NEW.nomer = 5 "
                                             "BEGIN SELECT RAISE(ABORT, 'zanyato'); END")));
        for (int i = 0; i < 8; ++i)
            r->TaimerTimer();
        QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), -1);
        r->TaimerTimer();
        QVERIFY(r->Taimer->isEnabled());
        QVERIFY(!p->MozhnoZakrit());
        QVERIFY(syroi(z.hall, QStringLiteral("DROP TRIGGER slomat5")));
        r->TaimerTimer();
        QVERIFY(!r->Taimer->isEnabled());
        QCOMPARE(p->result(), int(QDialog::Accepted));
        c.dialogs.whileShown = nullptr;
    });
    c.dialogs.modalHandlers.enqueue([&](QDialog *) { return int(QDialog::Rejected); });
    frame(c)->KnopkaRegistraciaClick();

    QCOMPARE(c.dialogs.modalClasses, (QStringList{QStringLiteral("TRegistrForma"), QStringLiteral("TProcessGolosForma"),
                                                  QStringLiteral("TGimnForm"), QStringLiteral("TRegistrForma")}));
    // One box for the run of failed countdown ticks, one for the run of failed result writes.
    QCOMPARE(c.messages().size(), 2);
    QVERIFY2(c.messages()[0].startsWith(QStringLiteral("Ошибка при проведении регистрации!\n\r\n\r")), qPrintable(c.messages()[0]));
    QVERIFY(c.messages()[0].contains(QStringLiteral("diska net")));
    QVERIFY(c.messages()[1].contains(QStringLiteral("zanyato")));
    QCOMPARE(c.dialogs.shown[0].caption, QStringLiteral("Ошибка"));
    const QStringList zapisi = zapisiRegima(z.hall);
    QCOMPARE(zapisi.count(zapis(1, period, 7)), 1);
    QCOMPARE(zapisi.count(zapis(5, period, 15)), 1);
    QCOMPARE(zapisi.count(zapis(-1, period, 0)), 1);
    QVERIFY(z.registr()->MozhnoZakrit());
    z.hall.second(2);
    QVERIFY(!c.ended());
    QVERIFY(!z.deputat->ended());
}

void TestRegistracia::failureAtStart()
{
    Zal z;
    QVERIFY(z.podgotovit());
    Workstation &c = *z.konsol;
    QVERIFY(syroi(z.hall, QStringLiteral("CREATE TRIGGER slomat BEFORE INSERT ON sessia_start "
                                         "BEGIN SELECT RAISE(ABORT, 'net mesta'); END")));
    bool ostalos = false;
    c.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *r = qobject_cast<TRegistrForma *>(d);
        r->KnopkaStartRegClick();
        ostalos = r->result() != QDialog::Accepted && r->MozhnoZakrit();
        return int(QDialog::Rejected);
    });
    frame(c)->KnopkaRegistraciaClick();
    QVERIFY(ostalos);
    QCOMPARE(c.dialogs.modalClasses, QStringList{QStringLiteral("TRegistrForma")});
    QCOMPARE(c.messages().size(), 1);
    QVERIFY(c.messages()[0].contains(QStringLiteral("net mesta")));
    QVERIFY(!c->GlavBasa().hasErrors());
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), -1);
    c.second();
    QVERIFY(!c.ended());
}

void TestRegistracia::gimnDialog()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.setMode(5, 3, 15));
    FakeDialogs dialogs;
    {
        TGimnForm g(&hall.db(), &dialogs, false);
        for (QPushButton *b : {g.VklGimn, g.ViklGimn, g.ZakrGimn}) {
            QCOMPARE(b->width(), 260);
            QVERIFY(b->isEnabled());
        }
        QVERIFY(g.VklGimn->y() < g.ViklGimn->y() && g.ViklGimn->y() < g.ZakrGimn->y());
        snimok(&g, QStringLiteral("gimn_dialog"));

        g.VklGimnClick();
        QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), 10);
        QVERIFY(!g.VklGimn->isEnabled());
        QVERIFY(g.ViklGimn->isEnabled());
        QVERIFY(g.ZakrGimn->isEnabled());
        QCOMPARE(g.ViklGimn->text(), QStringLiteral("Выключить режим гимна"));
        g.ViklGimnClick();
        QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), 11);
        QVERIFY(!g.VklGimn->isEnabled());
        QVERIFY(!g.ViklGimn->isEnabled());

        // Closing by the window is refused; only "Открыть повестку" ends it.
        g.show();
        QVERIFY(!g.close());
        QVERIFY(g.isVisible());
        QTest::keyClick(&g, Qt::Key_Escape);
        QVERIFY(g.isVisible());
        g.ZakrGimnClick();
        QVERIFY(g.isHidden());
        QCOMPARE(g.result(), int(QDialog::Accepted));
        QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), -1);
        QCOMPARE(hall.scalarInt(QStringLiteral("SELECT param1 FROM regim")), 3);
    }
    {
        // Results taken down first: both upper buttons go, only the agenda is left.
        QVERIFY(hall.setMode(5, 3, 15));
        TGimnForm g(&hall.db(), &dialogs, false);
        g.ViklGimnClick();
        QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), 11);
        QVERIFY(!g.VklGimn->isEnabled());
        QVERIFY(!g.ViklGimn->isEnabled());
        QVERIFY(g.ZakrGimn->isEnabled());
        QCOMPARE(g.ViklGimn->text(), QStringLiteral("Убрать результаты"));
    }
    QVERIFY(dialogs.shown.isEmpty());
}

void TestRegistracia::gimnDialogFailure()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.setMode(5, 3, 15));
    QVERIFY(syroi(hall, QStringLiteral("CREATE TRIGGER slomat BEFORE UPDATE ON regim WHEN NEW.nomer IN (10, -1) "
                                       "BEGIN SELECT RAISE(ABORT, 'net'); END")));
    FakeDialogs dialogs;
    TGimnForm g(&hall.db(), &dialogs, false);
    g.VklGimnClick();
    QCOMPARE(dialogs.lastText(), QStringLiteral("Ошибка!"));
    QVERIFY(g.VklGimn->isEnabled());
    QCOMPARE(g.ViklGimn->text(), QStringLiteral("Убрать результаты"));
    QVERIFY(hall.db().hasErrors());  // stays pending for the main window's check
    hall.db().clearErrors();
    g.show();
    g.ZakrGimnClick();
    QCOMPARE(dialogs.shown.size(), 2);
    QVERIFY(g.isHidden());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), 5);
}

// Mode 10: the anthem picture over an admitted terminal's whole window; never on the console.
void TestRegistracia::gimnScreen()
{
    const QImage img = kartinkaGimna();
    QCOMPARE(img.size(), QSize(1366, 768));
    QVERIFY(img.pixel(10, 10) != img.pixel(683, 320));
    QVERIFY(img.pixel(683, 320) != img.pixel(200, 200));

    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    const int period = hall.openPeriod(hall.demoMeeting());
    QVERIFY(hall.registerDeputy(hall.deputyAt("07"), period, hall.demoMeeting()));
    Workstation &c = hall.start("admin1");
    Workstation &d = hall.start("07");
    QVERIFY(d.started() && d->Dopusk());
    QVERIFY(hall.setMode(10));
    hall.poll();
    QVERIFY(c->ob().GimnFreim->isHidden());
    QVERIFY(!d->ob().GimnFreim->isHidden());
    auto *kartinka = d->ob().GimnFreim->findChild<TGimnKartinka *>();
    QVERIFY(kartinka);
    QCOMPARE(kartinka->geometry(), d->ob().GimnFreim->rect());
    auto *panel = d->ob().GimnFreim->findChild<QLabel *>(QStringLiteral("GimnPanel"));
    QVERIFY(panel);
    QCOMPARE(panel->text(), QStringLiteral("ЗДЕСЬ БУДЕТ ГИМН"));
    QCOMPARE(panel->font().pixelSize(), 21);
    snimok(d.glav(), QStringLiteral("gimn_ekran"));
    QVERIFY(hall.setMode(11));
    hall.poll();
    QVERIFY(d->ob().GimnFreim->isHidden());
}

QTEST_MAIN(TestRegistracia)
#include "test_registracia.moc"
