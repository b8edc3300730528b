// Registration at the seat: a whole registration period on one database (console, chairman,
// three deputies), the registration screen's layout and texts, the button, and the sync that
// follows presence records written elsewhere.
#include "zal.h"

#include <QSqlQuery>
#include <QTest>

using namespace zaltest;

namespace {

// The hall of a registration: console, chairman and the deputies of seats 05, 07 and 09,
// all started while no period is open.
struct Zal {
    TestHall hall;
    int meeting = 0;
    Workstation *console = nullptr;
    Workstation *chairman = nullptr;
    Workstation *d05 = nullptr;
    Workstation *d07 = nullptr;
    Workstation *d09 = nullptr;

    bool make()
    {
        if (!aktivirovat(hall))
            return false;
        meeting = hall.demoMeeting();
        console = &hall.start("admin1");
        chairman = &hall.start("02");
        d05 = &hall.start("05");
        d07 = &hall.start("07");
        d09 = &hall.start("09");
        for (auto &ws : hall.workstations())
            if (!ws->started())
                return false;
        (*chairman)->FormActivate();
        hall.second(2);  // settled on the idle board
        return true;
    }
    QList<Workstation *> deputies() const { return {d05, d07, d09}; }

    // A new period in mode 1 as the console starts it (with the chairman's record).
    int start(int seconds)
    {
        const int period = hall.openPeriod(meeting);
        hall.registerDeputy(hall.deputyAt("02"), period, meeting);
        hall.setMode(1, period, seconds);
        return period;
    }
    // The console's end of a period: the countdown's last value stays, then -1 and 5.
    void end(int period)
    {
        hall.exec("UPDATE regim SET nomer=-1");
        hall.poll();
        hall.exec(QStringLiteral("UPDATE regim SET nomer=5,param2=15,param1=%1").arg(period));
    }
};

bool inTheHall(Workstation *ws)
{
    WindowView *w = ws->window();
    return w->Dopusk() && w->ob().PanelStart->isHidden() && w->ob().PanelRegistracia->isHidden() && !w->ob().PanelSleva->isHidden()
           && !w->ob().DeputatFreim->isHidden();
}

bool onStartScreen(Workstation *ws)
{
    WindowView *w = ws->window();
    return !w->Dopusk() && !w->ob().PanelStart->isHidden() && w->ob().PanelSleva->isHidden()
           && w->ob().PanelStart->parentWidget() == w->glav();
}

QString status(Workstation *ws)
{
    return ws->window()->registracia().TaimerRegPhonLeibl->text();
}

}  // namespace

class TestRegistracia : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholePeriod();
    void screenLayout();
    void pressingTwice();
    void failedPressIsShownOnceAndTheTerminalGoesOn();
    void operatorRecordCountsOnce();
    void buttonFollowsRecordsWrittenElsewhere();
    void timeUpKeepsTexts();
    void boardCountdownText();
    void admittedTerminalLeavesTheHall();
    void syncFollowsRecordsWrittenElsewhere();
    void failingPressChangesNothing();
};

void TestRegistracia::wholePeriod()
{
    Zal z;
    QVERIFY(z.make());
    for (Workstation *d : z.deputies())
        QVERIFY(onStartScreen(d));

    const int period = z.start(10);
    z.hall.poll();
    for (Workstation *d : z.deputies()) {
        QVERIFY(!(*d)->ob().PanelRegistracia->isHidden());
        QVERIFY((*d)->ob().PanelStart->isHidden());
        QCOMPARE(status(d), QStringLiteral("До конца регистрации осталось\n\r0 мин 10 сек\n\rВы не зарегистрированы"));
    }
    for (Workstation *b : {z.console, z.chairman}) {
        QVERIFY((*b)->ob().PanelRegistracia->isHidden());
        QVERIFY(!(*b)->ob().PanelSleva->isHidden());
        QCOMPARE((*b)->ob().ZaregLeibl->text(), QStringLiteral("Зарегистрировалось: 1"));  // the chairman
        QVERIFY(!(*b)->ob().ZaregLeibl->isHidden());
    }

    // Two deputies press, one does not.
    (*z.d05)->registracia().RegKnopkaClick();
    QTest::mouseClick((*z.d07)->ob().RegKnopka, Qt::LeftButton);
    for (int left = 9; left >= 0; --left) {
        QVERIFY(z.hall.exec(QStringLiteral("UPDATE regim SET param2=%1").arg(left)));
        z.hall.second();
        if (left == 5) {
            for (Workstation *b : {z.console, z.chairman})
                QCOMPARE((*b)->ob().ZaregLeibl->text(), QStringLiteral("Зарегистрировалось: 3"));
            QCOMPARE((*z.d05)->registracia().TaimerRegPhonLeibl2->text(), QStringLiteral("Вы зарегистрированы"));
            QCOMPARE(cvetTeksta((*z.d05)->registracia().TaimerRegPhonLeibl2), QColor(26, 206, 39));
            QCOMPARE((*z.d09)->registracia().TaimerRegPhonLeibl2->text(), QStringLiteral("Вы не зарегистрированы"));
            QCOMPARE(cvetTeksta((*z.d09)->registracia().TaimerRegPhonLeibl2), QColor(64, 0, 64));
        }
    }
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1").arg(period)), 3);

    z.end(period);
    z.hall.second(2);
    QVERIFY(inTheHall(z.d05));
    QVERIFY(inTheHall(z.d07));
    QVERIFY(onStartScreen(z.d09));
    QCOMPARE((*z.d05)->RegKnopkaTag(), 2);
    QCOMPARE((*z.d09)->RegKnopkaTag(), 1);

    // The summary on every board that shows one.
    for (Workstation *b : {z.console, z.chairman, z.d05, z.d07}) {
        WindowView *w = b->window();
        QCOMPARE(w->tablo().ZaLeibl->text(), QStringLiteral("ВСЕГО ДЕПУТАТОВ"));
        QCOMPARE(w->tablo().Za->text(), QStringLiteral("27"));
        QCOMPARE(w->tablo().ProtivLeibl->text(), QStringLiteral("ПРИСУТСТВУЕТ"));
        QCOMPARE(w->tablo().Protiv->text(), QStringLiteral("3"));
        QCOMPARE(w->tablo().VosdLeibl->text(), QStringLiteral("ОТСУТСТВУЕТ"));
        QCOMPARE(w->tablo().Vosd->text(), QStringLiteral("24"));
        QCOMPARE(w->tablo().GolosovLeibl->text(), QStringLiteral("КВОРУМ"));
        QCOMPARE(w->tablo().Golosov->text(), QStringLiteral("14"));
        QVERIFY(!w->tablo().Golosov->isHidden());
        QVERIFY(w->ob().ZaregLeibl->isHidden());
        QVERIFY(w->ob().LeiblVremya->isHidden());
    }

    // The chairman's seat map: the registered seats sky blue.
    for (int i = 1; i <= 27; ++i)
        QCOMPARE(fon((*z.chairman)->karta().NomerLeibl[i]),
                 (i == 2 || i == 5 || i == 7) ? QColor(166, 202, 240) : QColor(255, 255, 255));

    // Back to the agenda: the rows go, the deputies stay where they are.
    QVERIFY(z.hall.setMode(-1));
    z.hall.second();
    QVERIFY((*z.console)->tablo().Za->isHidden());
    QVERIFY(inTheHall(z.d05));
    QVERIFY(onStartScreen(z.d09));
}

void TestRegistracia::screenLayout()
{
    Zal z;
    QVERIFY(z.make());
    z.start(30);
    z.hall.poll();
    WindowView *w = z.d05->window();
    QCOMPARE(w->ob().PanelRegistracia->geometry(), QRect(0, 0, 1280, 1024));
    QCOMPARE(fon(w->ob().PanelRegistracia), QColor(166, 202, 240));
    QCOMPARE(w->registracia().PanelRegTop->height(), 184);
    QCOMPARE(w->registracia().GerbReg->geometry(), QRect(0, 10, 312, 174));
    // (W - 70) div 2 = 605 wide; top (H - 629) div 2 + 174 = 371.
    QCOMPARE(w->registracia().TaimerRegGranica->geometry(), QRect(1280 - 605 - 17, 371, 605, 190));
    QCOMPARE(w->ob().FIOGranica->geometry(), QRect(16, 371, 605, 190));
    QCOMPARE(w->registracia().TaimerRegPhonLeibl->geometry(), QRect(659, 372, 603, 188));
    QCOMPARE(w->ob().FIOPHONLeibl->geometry(), QRect(17, 372, 603, 188));
    // The status repeated in colour over the lower part: 112 below, 1 px above the frame's bottom.
    QCOMPARE(w->registracia().TaimerRegPhonLeibl2->geometry(), QRect(659, 484, 603, 371 + 190 - 1 - 484));
    QCOMPARE(w->ob().RegKnopka->height(), 235);
    QCOMPARE(w->ob().RegKnopka->text(), QStringLiteral("РЕГИСТРАЦИЯ"));
    QCOMPARE(fon(w->ob().RegKnopka), QColor(0, 128, 192));

    QCOMPARE(w->registracia().LeiblDumaText->text(), QStringLiteral("Тальминская областная Дума"));
    QCOMPARE(w->registracia().LeiblZasedanieText->text(), QStringLiteral("Заседание № 1"));
    QCOMPARE(w->ob().FIOPHONLeibl->text(), QStringLiteral("Денисова\n\rЕлена\n\rАлександровна"));
    QVERIFY(z.d05->calls().contains(QStringLiteral("UstanovitImyaDeputata:Денисова Елена Александровна")));
    QVERIFY(w->ob().PanelSleva->isHidden());
    QVERIFY(w->ob().DeputatFreim->isHidden());

    // A meeting that is gone leaves the meeting line empty.
    w->setIdZasedania(9999);
    w->ekrany().VoitiVRegistraciyu();
    QCOMPARE(w->registracia().LeiblZasedanieText->text(), QString());
}

void TestRegistracia::pressingTwice()
{
    Zal z;
    QVERIFY(z.make());
    const int period = z.start(30);
    z.hall.poll();
    WindowView *w = z.d05->window();
    auto records = [&] {
        return z.hall.scalarInt(
            QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1 AND id_deputat=%2").arg(period).arg(w->IdDeputata()));
    };

    w->ob().ZaregLeibl->show();
    w->registracia().RegKnopkaClick();
    QVERIFY(w->ob().ZaregLeibl->isHidden());
    QCOMPARE(records(), 1);
    QCOMPARE(w->ob().RegKnopka->text(), QStringLiteral("СБРОС РЕГИСТРАЦИИ"));
    QCOMPARE(fon(w->ob().RegKnopka), QColor(166, 202, 240));
    z.d05->poll();
    QVERIFY(status(z.d05).endsWith(QStringLiteral("\n\rВы зарегистрированы")));

    // A press on the button's frame acts like a press on the button.
    QTest::mousePress(w->ob().RegGranica, Qt::LeftButton);
    QCOMPARE(records(), 0);
    QCOMPARE(w->RegKnopkaTag(), 1);
    QCOMPARE(w->ob().RegKnopka->text(), QStringLiteral("РЕГИСТРАЦИЯ"));
    QCOMPARE(fon(w->ob().RegKnopka), QColor(0, 128, 192));
    z.d05->poll();
    QVERIFY(status(z.d05).endsWith(QStringLiteral("\n\rВы не зарегистрированы")));
}

// The presence record cannot be written (a disk full, a lock held too long): the deputy sees
// the database's reason once, the button stays as it was, nothing is recorded, and the
// terminal goes on, so the next press registers him.
void TestRegistracia::failedPressIsShownOnceAndTheTerminalGoesOn()
{
    Zal z;
    QVERIFY(z.make());
    const int period = z.start(30);
    z.hall.poll();
    WindowView *w = z.d05->window();
    QSqlQuery q(z.hall.db().database());
    QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER sboi BEFORE INSERT ON sessia BEGIN SELECT RAISE(ABORT, 'disk full'); END")));
    z.d05->dialogs.whileShown = [&] { z.d05->second(); };
    w->registracia().RegKnopkaClick();
    QCOMPARE(z.d05->messages().size(), 1);
    QVERIFY(z.d05->messages().first().contains(QStringLiteral("disk full")));
    QCOMPARE(z.d05->dialogs.shown.first().icon, Dialogs::Error);
    QCOMPARE(w->RegKnopkaTag(), 1);
    QCOMPARE(w->ob().RegKnopka->text(), QStringLiteral("РЕГИСТРАЦИЯ"));
    z.hall.second(2);
    QVERIFY(!z.d05->ended());
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1 AND id_deputat=%2")
                                  .arg(period)
                                  .arg(w->IdDeputata())),
             0);
    QVERIFY(q.exec(QStringLiteral("DROP TRIGGER sboi")));
    w->registracia().RegKnopkaClick();
    QCOMPARE(z.d05->messages().size(), 1);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1 AND id_deputat=%2")
                                  .arg(period)
                                  .arg(w->IdDeputata())),
             1);
}

// The operator registered the deputy from the seat map while his screen showed him not
// registered: his press must not add a second record (the board counts rows).
void TestRegistracia::operatorRecordCountsOnce()
{
    Zal z;
    QVERIFY(z.make());
    const int period = z.start(30);
    z.hall.poll();
    QVERIFY(z.hall.registerDeputy(z.hall.deputyAt("07"), period, z.meeting));
    WindowView *w = z.d07->window();
    QCOMPARE(w->RegKnopkaTag(), 1);
    w->registracia().RegKnopkaClick();
    QCOMPARE(w->RegKnopkaTag(), 2);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1 AND id_deputat=%2")
                                  .arg(period)
                                  .arg(w->IdDeputata())),
             1);
    z.hall.poll();
    QCOMPARE((*z.console)->ob().ZaregLeibl->text(), QStringLiteral("Зарегистрировалось: 2"));
    // The toggle still works: the second press removes the record.
    w->registracia().RegKnopkaClick();
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1").arg(period)), 1);
}

void TestRegistracia::buttonFollowsRecordsWrittenElsewhere()
{
    // The operator registers the deputy from the seat map, then removes the record: the
    // deputy's screen follows at the next clock tick, so a press does what the button says.
    Zal z;
    QVERIFY(z.make());
    const int period = z.start(30);
    z.hall.poll();
    WindowView *w = z.d07->window();
    QCOMPARE(w->RegKnopkaTag(), 1);
    QVERIFY(z.hall.registerDeputy(z.hall.deputyAt("07"), period, z.meeting));
    z.d07->clock();
    QCOMPARE(w->RegKnopkaTag(), 2);
    QCOMPARE(w->ob().RegKnopka->text(), QStringLiteral("СБРОС РЕГИСТРАЦИИ"));
    QCOMPARE(fon(w->ob().RegKnopka), QColor(166, 202, 240));
    z.d07->poll();
    QVERIFY(status(z.d07).endsWith(QStringLiteral("\n\rВы зарегистрированы")));

    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM sessia WHERE id_sessia=%1 AND id_deputat=%2").arg(period).arg(w->IdDeputata())));
    z.d07->clock();
    QCOMPARE(w->RegKnopkaTag(), 1);
    QCOMPARE(w->ob().RegKnopka->text(), QStringLiteral("РЕГИСТРАЦИЯ"));
    QCOMPARE(fon(w->ob().RegKnopka), QColor(0, 128, 192));
    // The press now registers (it would have removed nothing before).
    w->registracia().RegKnopkaClick();
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1 AND id_deputat=%2")
                                  .arg(period)
                                  .arg(w->IdDeputata())),
             1);
}

void TestRegistracia::timeUpKeepsTexts()
{
    Zal z;
    QVERIFY(z.make());
    z.start(3);
    z.hall.poll();
    const QString last = status(z.d05);
    QVERIFY(z.hall.exec("UPDATE regim SET param2=0"));
    (*z.d05)->registracia().RegKnopkaClick();
    z.hall.poll(3);
    QCOMPARE(status(z.d05), last);
    QCOMPARE((*z.d05)->registracia().TaimerRegPhonLeibl2->text(), QStringLiteral("Вы не зарегистрированы"));
    QVERIFY(!(*z.d05)->ob().PanelRegistracia->isHidden());
}

void TestRegistracia::boardCountdownText()
{
    Zal z;
    QVERIFY(z.make());
    Workstation &watcher = z.hall.start("watcher");
    QVERIFY(watcher.started());
    z.start(65);
    z.hall.poll();
    for (Workstation *b : {z.console, z.chairman, &watcher}) {
        WindowView *w = b->window();
        QVERIFY(w->ob().PanelRegistracia->isHidden());
        QCOMPARE(w->ob().LeiblVremya->text(), QStringLiteral("До конца регистрации\n\rосталось 1 мин 5 сек"));
        QCOMPARE(w->ob().LeiblVremya->y(), 138);
        QCOMPARE(w->ob().LeiblVremya->height(), 70);
        QVERIFY(w->ob().InfoLabel->isHidden());
        QVERIFY(w->ob().InfoTablo->isHidden());
        // Bottom 8 px above the bottom of the board.
        QCOMPARE(w->ob().ZaregLeibl->y() + w->ob().ZaregLeibl->height(), w->ob().PanelTabloGolos->height() - 8);
    }
}

void TestRegistracia::admittedTerminalLeavesTheHall()
{
    Zal z;
    QVERIFY(z.make());
    const int first = z.start(5);
    z.hall.poll();
    (*z.d07)->registracia().RegKnopkaClick();
    z.end(first);
    z.hall.second(2);
    QVERIFY(inTheHall(z.d07));

    // The next period: one tick to leave the hall, the next enters the registration screen.
    z.start(20);
    z.d07->poll();
    WindowView *w = z.d07->window();
    QVERIFY(!w->Dopusk());
    QCOMPARE(w->RegKnopkaTag(), 1);
    QVERIFY(w->ob().PanelStart->isHidden());  // time left: the start screen is not shown
    z.d07->poll();
    QVERIFY(!w->ob().PanelRegistracia->isHidden());
    QVERIFY(status(z.d07).endsWith(QStringLiteral("Вы не зарегистрированы")));
}

void TestRegistracia::syncFollowsRecordsWrittenElsewhere()
{
    Zal z;
    QVERIFY(z.make());
    const int period = z.start(5);
    z.hall.poll();
    (*z.d07)->registracia().RegKnopkaClick();
    z.end(period);
    z.hall.second(2);
    QVERIFY(inTheHall(z.d07));
    QVERIFY(z.hall.setMode(-1));
    z.hall.second();

    // The operator cancels: the start screen within one clock tick.
    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM sessia WHERE id_deputat=%1").arg(z.hall.deputyAt("07"))));
    z.d07->clock();
    QVERIFY(!(*z.d07)->Dopusk());
    QVERIFY(!(*z.d07)->ob().PanelStart->isHidden());
    QCOMPARE((*z.d07)->RegKnopkaTag(), 1);
    z.d07->poll();  // and the right-hand column goes with the next poller tick
    QVERIFY(onStartScreen(z.d07));

    // The operator registers: the hall within two ticks.
    QVERIFY(z.hall.registerDeputy(z.hall.deputyAt("07"), period, z.meeting));
    QVERIFY(z.hall.registerDeputy(z.hall.deputyAt("09"), period, z.meeting));
    z.d07->clock();
    z.d07->poll();
    z.d07->clock();
    QVERIFY(inTheHall(z.d07));
    QCOMPARE((*z.d07)->RegKnopkaTag(), 2);
    z.d09->second(2);
    QVERIFY(inTheHall(z.d09));

    // The chairman's terminal never drops to a start screen.
    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM sessia WHERE id_deputat=%1").arg(z.hall.deputyAt("02"))));
    z.chairman->second();
    QVERIFY((*z.chairman)->ob().PanelStart->isHidden());
    QVERIFY((*z.chairman)->Dopusk());
}

void TestRegistracia::failingPressChangesNothing()
{
    Zal z;
    QVERIFY(z.make());
    z.start(30);
    z.hall.poll();
    QSqlQuery q(z.hall.db().database());
    QVERIFY(q.exec("ALTER TABLE sessia RENAME TO sessia_old"));
    WindowView *w = z.d05->window();
    w->registracia().RegKnopkaClick();
    QCOMPARE(w->RegKnopkaTag(), 1);
    QCOMPARE(w->ob().RegKnopka->text(), QStringLiteral("РЕГИСТРАЦИЯ"));
    QCOMPARE(z.d05->messages().size(), 1);
    QCOMPARE(z.d05->dialogs.shown.first().caption, QStringLiteral("Ошибка"));
    QVERIFY(z.d05->messages().first().contains(QStringLiteral("sessia")));
    // Reported, so taken off the connection: the terminal goes on and the deputy may try again.
    QVERIFY(!w->GlavBasa().hasErrors());
    QVERIFY(q.exec("ALTER TABLE sessia_old RENAME TO sessia"));
    z.d05->second();
    QVERIFY(!z.d05->ended());
    w->registracia().RegKnopkaClick();
    QCOMPARE(w->RegKnopkaTag(), 2);
}

QTEST_MAIN(TestRegistracia)
#include "test_registracia.moc"
