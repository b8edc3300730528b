// Start gates: a terminal started in the middle of a vote or outside a meeting waits.
#include "core/startgates.h"
#include "support/workstation.h"

#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

class TestGates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void idleGateHoldsDeputy_data();
    void idleGateHoldsDeputy();
    void noIdleGateInIdleOrRestart_data();
    void noIdleGateInIdleOrRestart();
    void closeBoxDoesNothing();
    void exitButtonEndsWithoutWriting();
    void meetingGateSetsMeeting();
    void chairmanWaitsOnlyForMeeting();
    void deputyWaitsForBoth();
    void failingTickIsReportedAndRetried();
    void commandsReachAWaitingWorkstation_data();
    void commandsReachAWaitingWorkstation();
    void standingCloseCommandDoesNotEndAStart();
    void layout();
};

void TestGates::idleGateHoldsDeputy_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("stillWaiting");  // codes that do not open the gate
    QTest::newRow("vote running") << 2 << QList<int>{2, 4};
    QTest::newRow("registration results") << 5 << QList<int>{5, 11, 10, 1};
    QTest::newRow("close all") << -5 << QList<int>{-5, -6};
}

void TestGates::idleGateHoldsDeputy()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, stillWaiting);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.setMode(mode, 5, 30));

    Workstation &ws = hall.add("07");
    QList<bool> waited;
    bool timersDuringGate = true;
    ws.onGate([&](TStartForma *gate) {
        timersDuringGate = ws->TaimerOperaziy()->isEnabled() || ws->TaimerVremya()->isEnabled();
        for (int code : stillWaiting) {
            hall.setMode(code);
            gate->TaimerProverkaTimer();
            waited << !gate->MozhnoZakrit();
        }
        hall.setMode(-1);
        gate->TaimerProverkaTimer();  // one tick after the code became -1
    });
    QVERIFY(ws.start());
    QCOMPARE(ws.modalWindows(), QStringList{QStringLiteral("TStartProstoyForma")});
    QCOMPARE(waited, QList<bool>(stillWaiting.size(), true));
    QVERIFY(!timersDuringGate);
    QVERIFY(ws->TaimerOperaziy()->isEnabled());
    QCOMPARE(ws->windowTitle(), QStringLiteral("Рабочее место депутата"));
}

void TestGates::noIdleGateInIdleOrRestart_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("idle") << -1;
    QTest::newRow("restart all") << -7;
}

void TestGates::noIdleGateInIdleOrRestart()
{
    QFETCH(int, mode);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.setMode(mode, 10, 0));
    Workstation &deputy = hall.start("07");
    Workstation &watcher = hall.start("watcher");
    QVERIFY(deputy.started());
    QVERIFY(watcher.started());
    QVERIFY(deputy.modalWindows().isEmpty());
    QVERIFY(watcher.modalWindows().isEmpty());
}

void TestGates::closeBoxDoesNothing()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.setMode(2, 1, 10));
    Workstation &ws = hall.add("watcher");
    bool closedByBox = true;
    bool closedByEscape = true;
    ws.onGate([&](TStartForma *gate) {
        gate->show();
        closedByBox = gate->close();
        QTest::keyClick(gate, Qt::Key_Escape);
        closedByEscape = !gate->isVisible();
        gate->hide();
        hall.setMode(-7);
        gate->TaimerProverkaTimer();
    });
    QVERIFY(ws.start());
    QVERIFY(!closedByBox);
    QVERIFY(!closedByEscape);
}

void TestGates::exitButtonEndsWithoutWriting()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.setMode(4, 1, 15));
    const int period = hall.openPeriod(hall.demoMeeting());
    QVERIFY(period > 0);

    Workstation &ws = hall.add("02");  // a chairman only waits for a meeting...
    Workstation &deputy = hall.add("07");
    deputy.onGate([](TStartForma *gate) { gate->Button1->click(); });
    QVERIFY(!deputy.start());
    QVERIFY(deputy.ended());
    QCOMPARE(deputy.platform.exitCode, 0);
    QVERIFY(deputy.messages().isEmpty());
    QVERIFY(!deputy->TaimerOperaziy()->isEnabled());
    QVERIFY(!deputy.calls().contains(QStringLiteral("OtkrytPovestkuDeputata")));

    // ...so with no active item the chairman's exit leaves no presence record behind.
    QVERIFY(hall.deactivateItems());
    ws.onGate([](TStartForma *gate) { gate->Button1Click(); });
    QVERIFY(!ws.start());
    QCOMPARE(ws.modalWindows(), QStringList{QStringLiteral("TStartAktivZasForma")});
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), 0);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM mesto WHERE podkl IS NOT NULL")), 0);
}

void TestGates::meetingGateSetsMeeting()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO zasedanie (data, opisanie, vremya) VALUES ('20240105', 'Второе', "
                                     "'00:00:00')")));
    const int second = hall.scalarInt(QStringLiteral("SELECT max(id) FROM zasedanie"));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie, tip, nomer, ord, opisanie, aktiv) "
                                     "VALUES (%1, 0, 1, 1, 'Вопрос 1', 0)")
                          .arg(second)));
    const int item = hall.scalarInt(QStringLiteral("SELECT max(id) FROM povestka"));

    Workstation &ws = hall.add("07");
    int ticksWaiting = 0;
    ws.onGate([&](TStartForma *gate) {
        for (int i = 0; i < 3; ++i) {
            gate->TaimerProverkaTimer();
            if (!gate->MozhnoZakrit())
                ++ticksWaiting;
        }
        hall.activateItem(item);
        gate->TaimerProverkaTimer();
    });
    QVERIFY(ws.start());
    QCOMPARE(ticksWaiting, 3);
    QCOMPARE(ws.modalWindows(), QStringList{QStringLiteral("TStartAktivZasForma")});
    QCOMPARE(ws->IdZasedania(), second);
}

void TestGates::chairmanWaitsOnlyForMeeting()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    QVERIFY(hall.setMode(2, 1, 30));
    Workstation &ws = hall.add("02");
    ws.onGate([&](TStartForma *gate) {
        hall.activateItem(3);
        gate->TaimerProverkaTimer();
    });
    QVERIFY(ws.start());
    QCOMPARE(ws.modalWindows(), QStringList{QStringLiteral("TStartAktivZasForma")});
    QCOMPARE(ws->IdZasedania(), hall.demoMeeting());
    QVERIFY(ws.calls().contains(QStringLiteral("ObnovitPovestku")));
    // Its presence record names the meeting the gate found.
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id_zasedanie FROM sessia")), hall.demoMeeting());
}

void TestGates::deputyWaitsForBoth()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    QVERIFY(hall.setMode(5, 1, 15));
    Workstation &ws = hall.add("07");
    ws.onGate([&](TStartForma *gate) {
        hall.setMode(-1);
        gate->TaimerProverkaTimer();
    });
    ws.onGate([&](TStartForma *gate) {
        hall.activateItem(4);
        gate->TaimerProverkaTimer();
    });
    QVERIFY(ws.start());
    QCOMPARE(ws.modalWindows(), (QStringList{QStringLiteral("TStartProstoyForma"), QStringLiteral("TStartAktivZasForma")}));
}

void TestGates::failingTickIsReportedAndRetried()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &ws = hall.add("07");
    bool stillWaiting = false;
    ws.onGate([&](TStartForma *gate) {
        QSqlQuery q(hall.db().database());
        q.exec(QStringLiteral("ALTER TABLE povestka RENAME TO povestka_old"));
        gate->TaimerProverkaTimer();
        stillWaiting = !gate->MozhnoZakrit();
        q.exec(QStringLiteral("ALTER TABLE povestka_old RENAME TO povestka"));
        hall.activateItem(2);
        gate->TaimerProverkaTimer();
    });
    QVERIFY(ws.start());
    QVERIFY(stillWaiting);
    QCOMPARE(ws.dialogs.shown.size(), 1);
    QCOMPARE(ws.dialogs.shown[0].icon, Dialogs::Error);
    QVERIFY(!ws.dialogs.shown[0].text.isEmpty());
    // Reported once by the gate; it does not end the terminal after the start.
    ws.second();
    QVERIFY(!ws.ended());
}

void TestGates::commandsReachAWaitingWorkstation_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<int>("mode");    // at start-up
    QTest::addColumn<bool>("active"); // an item is active at start-up
    QTest::addColumn<QString>("gate");
    QTest::newRow("deputy before a meeting") << "07" << -1 << false << "TStartAktivZasForma";
    QTest::newRow("chairman before a meeting") << "02" << -1 << false << "TStartAktivZasForma";
    QTest::newRow("watcher before a meeting") << "watcher" << -1 << false << "TStartAktivZasForma";
    QTest::newRow("deputy during a vote") << "07" << 2 << true << "TStartProstoyForma";
}

// Before any meeting every terminal waits in a gate: the operator's power-off and close
// commands must still reach it, or the hall cannot be switched off.
void TestGates::commandsReachAWaitingWorkstation()
{
    QFETCH(QString, login);
    QFETCH(int, mode);
    QFETCH(bool, active);
    QFETCH(QString, gate);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(active ? hall.activateItem(2) : hall.deactivateItems());
    QVERIFY(hall.setMode(mode, 1, 30));
    Workstation &ws = hall.add(login);
    int poweredOff = -1;
    bool waitsThroughPowerOff = false, leftOnClose = false;
    ws.onGate([&](TStartForma *g) {
        g->TaimerProverkaTimer();
        hall.setMode(-6, 10, 0);
        g->TaimerProverkaTimer();
        g->TaimerProverkaTimer();
        poweredOff = ws.platform.powerOffs;
        waitsThroughPowerOff = !g->MozhnoZakrit() && !g->vyhod();
        hall.setMode(-5, 10, 0);
        g->TaimerProverkaTimer();
        leftOnClose = g->vyhod();
    });
    QVERIFY(!ws.start());
    QCOMPARE(ws.modalWindows(), QStringList{gate});
    QCOMPARE(poweredOff, 2);  // once per tick while the command stands
    QVERIFY(waitsThroughPowerOff);
    QVERIFY(leftOnClose);
    QVERIFY(ws.ended());
    QCOMPARE(ws.platform.exitCode, 0);  // closed on purpose: the service does not restart it
    QVERIFY(ws.messages().isEmpty());
}

// With no console to count it down a close command stays in the row; a terminal switched on
// afterwards waits for the hall instead of ending at once.
void TestGates::standingCloseCommandDoesNotEndAStart()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    QVERIFY(hall.setMode(-5, 3, 0));
    Workstation &ws = hall.add("07");
    bool waited = false;
    ws.onGate([&](TStartForma *g) {
        g->TaimerProverkaTimer();
        g->TaimerProverkaTimer();
        waited = !g->vyhod() && !g->MozhnoZakrit();
        hall.setMode(-1);
        g->TaimerProverkaTimer();
    });
    ws.onGate([&](TStartForma *g) {
        hall.activateItem(2);
        g->TaimerProverkaTimer();
    });
    QVERIFY(ws.start());
    QVERIFY(waited);
    QCOMPARE(ws.platform.powerOffs, 0);
}

void TestGates::layout()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &ws = hall.add("07");
    TStartProstoyForma idle(*ws.window());
    TStartAktivZasForma meeting(*ws.window());
    for (TStartForma *g : {static_cast<TStartForma *>(&idle), static_cast<TStartForma *>(&meeting)}) {
        QCOMPARE(g->windowTitle(), QStringLiteral("Запуск программы (v. 1.1.6)"));
        QCOMPARE(g->size(), QSize(597, 145));
        QCOMPARE(g->Opisanie->geometry(), QRect(21, 24, 555, 44));
        QCOMPARE(g->Button1->geometry(), QRect(199, 92, 200, 37));
        QCOMPARE(g->Button1->text(), QStringLiteral("Выйти из программы"));
        QCOMPARE(g->TaimerProverka->interval(), 500);
        QVERIFY(g->TaimerProverka->isActive());
        QVERIFY(!g->MozhnoZakrit());
    }
    QCOMPARE(idle.Opisanie->text(),
             QStringLiteral("ПРОГРАММА ЗАПУСТИТСЯ, КАК ТОЛЬКО СИСТЕМА ГОЛОСОВАНИЯ ПЕРЕЙДЕТ В РЕЖИМ ПРОСТОЯ"));
    QCOMPARE(meeting.Opisanie->text(), QStringLiteral("ПРОГРАММА ЗАПУСТИТСЯ, КАК ТОЛЬКО БУДЕТ АКТИВИРОВАНО ЗАСЕДАНИЕ"));
}

QTEST_MAIN(TestGates)
#include "test_gates.moc"
