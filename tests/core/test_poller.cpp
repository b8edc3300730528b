// The mode poller: which screen every role shows for each mode code.
#include "support/workstation.h"

#include <QSqlQuery>
#include <QTest>

namespace {

// A hall with an active item and an open registration period in which the chairman (by his
// own start-up) and the deputy of seat 07 are present; the deputy of seat 08 is not.
struct Hall {
    TestHall hall;
    int meeting = 0;
    int period = 0;
    Workstation *console = nullptr;
    Workstation *chairman = nullptr;
    Workstation *deputy = nullptr;      // 07, registered
    Workstation *newcomer = nullptr;    // 08, not registered
    Workstation *watcher = nullptr;

    bool make()
    {
        if (!hall.ok() || !hall.activateItem(3))
            return false;
        meeting = hall.demoMeeting();
        period = hall.openPeriod(meeting);
        if (period <= 0 || !hall.registerDeputy(hall.deputyAt("07"), period, meeting))
            return false;
        console = &hall.start("admin1");
        chairman = &hall.start("02");
        deputy = &hall.start("07");
        newcomer = &hall.start("08");
        watcher = &hall.start("watcher");
        for (auto &ws : hall.workstations())
            if (!ws->started())
                return false;
        return true;
    }
    QList<Workstation *> all() const { return {console, chairman, deputy, newcomer, watcher}; }
    void clearCalls()
    {
        for (Workstation *ws : all())
            ws->clearCalls();
    }
};

bool idlePath(const Workstation *ws)
{
    return ws->calls().contains(QStringLiteral("SinhronizirovatKnopkiPDF"));
}

}  // namespace

class TestPoller : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void idleBoard();
    void registrationMode();
    void registrationScreenEnteredOnce();
    void voteMode();
    void resultModes();
    void anthemAndTakeDown();
    void commandsAndUnknownCodesShowIdleBoard_data();
    void commandsAndUnknownCodesShowIdleBoard();
    void idleBoardRestartsClock();
    void itemTextAlignment();
    void registrationListFollowsPeriod();
    void failedStatementEndsAtNextTick();
    void failureInsideTickEndsSameTick();
};

void TestPoller::idleBoard()
{
    Hall h;
    QVERIFY(h.make());
    h.clearCalls();
    h.hall.poll();
    for (Workstation *ws : h.all()) {
        QVERIFY(idlePath(ws));
        for (const char *other : {"RegistraciaNaTablo", "RegistraciaDopushennogo", "VoitiVRegistraciyu",
                                  "NachatTabloGolosovania", "TabloRezultataGolosovania", "TabloRezultataRegistracii"})
            QVERIFY2(!ws->calls().contains(QString::fromLatin1(other)), other);
        QVERIFY(ws->calls().contains(QStringLiteral("RazmestitSpisokZapis")));
        QVERIFY(ws->window()->ob().PanelRegistracia->isHidden());
        QVERIFY(ws->window()->ob().ZaregLeibl->isHidden());
        QVERIFY(ws->window()->ob().GimnFreim->isHidden());
        QVERIFY(!ws->window()->ob().InfoLabel->isHidden());
        QCOMPARE(ws->window()->ob().InfoLabel->geometry(), ws->window()->ob().InfoTablo->geometry());
        QVERIFY(!ws->window()->ob().LeiblVremya->isHidden());
        QCOMPARE(ws->window()->RegimNomer(), -1);
    }
    // A registered deputy is in the hall with his name on the frame; a newcomer sees the
    // start screen without the right-hand column.
    QVERIFY(!h.deputy->window()->ob().PanelSleva->isHidden());
    QVERIFY(h.deputy->window()->ob().PanelStart->isHidden());
    QVERIFY(!h.deputy->window()->ob().DeputatFreim->isHidden());
    QVERIFY(h.deputy->calls().filter(QStringLiteral("UstanovitImyaDeputata:")).size() == 1);
    QVERIFY(!h.newcomer->window()->ob().PanelStart->isHidden());
    QVERIFY(h.newcomer->window()->ob().PanelSleva->isHidden());
    QVERIFY(h.newcomer->calls().filter(QStringLiteral("UstanovitImyaDeputata:")).isEmpty());
    QVERIFY(!h.watcher->window()->ob().PanelSleva->isHidden());
    QVERIFY(!h.console->window()->ob().PanelSleva->isHidden());
    // The right-hand column takes its place and the rest fills the window.
    QCOMPARE(h.deputy->window()->ob().PanelSleva->geometry(), QRect(1280 - 369, 0, 369, 1024));
    QCOMPARE(h.deputy->window()->ob().DeputatFreim->geometry(), QRect(0, 0, 1280 - 369, 1024));
    QCOMPARE(h.console->window()->ob().PanelSprava->geometry(), QRect(0, 0, 1280 - 369, 1024));
}

void TestPoller::registrationMode()
{
    Hall h;
    QVERIFY(h.make());
    const int next = h.hall.openPeriod(h.meeting);
    QVERIFY(h.hall.setMode(1, next, 65));
    h.clearCalls();
    h.hall.poll();
    for (Workstation *ws : h.all())
        QCOMPARE(ws->window()->IdSessii(), next);  // every read of code 1 takes the period
    for (Workstation *ws : {h.console, h.chairman, h.watcher}) {
        QCOMPARE(ws->calls().count(QStringLiteral("RegistraciaNaTablo")), 1);
        QVERIFY(!ws->calls().contains(QStringLiteral("VoitiVRegistraciyu")));
        QVERIFY(!idlePath(ws));
    }
    QCOMPARE(h.deputy->calls().count(QStringLiteral("RegistraciaDopushennogo")), 1);
    QVERIFY(!h.deputy->calls().contains(QStringLiteral("RegistraciaNaTablo")));
    QCOMPARE(h.newcomer->calls().count(QStringLiteral("VoitiVRegistraciyu")), 1);
    QCOMPARE(h.newcomer->calls().count(QStringLiteral("OtschetRegistracii")), 1);

    // An admitted deputy terminal that has been let go (not admitted any more) enters the
    // registration screen on the next tick.
    h.deputy->window()->setDopusk(false);
    h.deputy->clearCalls();
    h.deputy->poll();
    QVERIFY(h.deputy->calls().contains(QStringLiteral("VoitiVRegistraciyu")));
}

void TestPoller::registrationScreenEnteredOnce()
{
    Hall h;
    QVERIFY(h.make());
    QVERIFY(h.hall.setMode(1, h.period, 30));
    Workstation *ws = h.newcomer;
    // As the registration screen leaves it: screen shown, start screen hidden.
    ws->window()->ob().PanelRegistracia->show();
    ws->window()->ob().PanelStart->hide();
    ws->clearCalls();
    ws->poll(3);
    QCOMPARE(ws->calls().count(QStringLiteral("VoitiVRegistraciyu")), 0);
    QCOMPARE(ws->calls().count(QStringLiteral("OtschetRegistracii")), 3);
    // The start screen in front again: the screen is entered anew.
    ws->window()->ob().PanelStart->show();
    ws->clearCalls();
    ws->poll();
    QCOMPARE(ws->calls().count(QStringLiteral("VoitiVRegistraciyu")), 1);
}

void TestPoller::voteMode()
{
    Hall h;
    QVERIFY(h.make());
    h.hall.poll();  // the registration list as the idle board last read it
    QVERIFY(h.hall.setMode(2, 9, 30));
    h.clearCalls();
    h.hall.poll();
    for (Workstation *ws : {h.console, h.chairman, h.deputy, h.watcher}) {
        QCOMPARE(ws->calls().count(QStringLiteral("NachatTabloGolosovania")), 1);
        QCOMPARE(ws->calls().count(QStringLiteral("OtschetGolosovania")), 1);
        QVERIFY(!idlePath(ws));
        QCOMPARE(ws->window()->IdSessii(), h.period);
    }
    // Not registered: idle board with the start screen, no vote board.
    QVERIFY(!h.newcomer->calls().contains(QStringLiteral("NachatTabloGolosovania")));
    QVERIFY(idlePath(h.newcomer));
    QVERIFY(!h.newcomer->window()->ob().PanelStart->isHidden());
    QCOMPARE(h.newcomer->window()->RegKnopkaTag(), 1);

    // Once the vote board is up (progress bar shown) only its countdown runs.
    h.deputy->window()->ob().ProgressBarTablo->show();
    h.deputy->clearCalls();
    h.deputy->poll(2);
    QCOMPARE(h.deputy->calls().count(QStringLiteral("NachatTabloGolosovania")), 0);
    QCOMPARE(h.deputy->calls().count(QStringLiteral("OtschetGolosovania")), 2);
}

void TestPoller::resultModes()
{
    Hall h;
    QVERIFY(h.make());
    QVERIFY(h.hall.setMode(4, 9, 15));
    h.clearCalls();
    h.hall.poll();
    for (Workstation *ws : h.all()) {
        QCOMPARE(ws->calls().count(QStringLiteral("TabloRezultataGolosovania")), 1);
        QVERIFY(!idlePath(ws));
    }
    QVERIFY(h.hall.setMode(5, h.period, 15));
    h.clearCalls();
    h.hall.poll();
    for (Workstation *ws : h.all()) {
        QCOMPARE(ws->calls().count(QStringLiteral("TabloRezultataRegistracii")), 1);
        QVERIFY(!idlePath(ws));
    }
}

void TestPoller::anthemAndTakeDown()
{
    Hall h;
    QVERIFY(h.make());
    h.hall.poll();
    // A newcomer whose registration screen is up keeps it under the anthem mode.
    h.newcomer->window()->ob().PanelRegistracia->show();
    QVERIFY(h.hall.setMode(10));
    h.clearCalls();
    h.hall.poll();

    for (Workstation *ws : {h.chairman, h.deputy, h.watcher}) {
        WindowView *w = ws->window();
        QVERIFY(!w->ob().GimnFreim->isHidden());
        QCOMPARE(w->ob().GimnFreim->parentWidget(), static_cast<QWidget *>(w->glav()));
        QCOMPARE(w->ob().GimnFreim->geometry(), w->rect());
        QVERIFY(w->ob().PanelSleva->isHidden());
        QVERIFY(!idlePath(ws));
    }
    QVERIFY(h.newcomer->window()->ob().GimnFreim->isHidden());
    QVERIFY(idlePath(h.newcomer));
    QVERIFY(!h.newcomer->window()->ob().PanelRegistracia->isHidden());
    // The console shows its idle board with the clock instead.
    WindowView *c = h.console->window();
    QVERIFY(c->ob().GimnFreim->isHidden());
    QVERIFY(!c->ob().InfoLabel->isHidden());
    QVERIFY(h.console->calls().contains(QStringLiteral("SkrytStrokiRezultatov")));
    QVERIFY(h.console->calls().contains(QStringLiteral("SbrosPanelGolosovania")));
    QVERIFY(!idlePath(h.console));
    QVERIFY(c->TaimerVremya()->isEnabled());
    QCOMPARE(c->ob().LeiblVremya->y(), c->ob().InfoTablo->y() + c->ob().InfoTablo->height() + 8);

    QVERIFY(h.hall.setMode(11));
    h.clearCalls();
    h.hall.poll();
    for (Workstation *ws : {h.chairman, h.deputy, h.watcher}) {
        QVERIFY(ws->window()->ob().GimnFreim->isHidden());
        QVERIFY(!ws->window()->ob().PanelSleva->isHidden());
        QVERIFY(idlePath(ws));
    }
    QVERIFY(h.newcomer->window()->ob().PanelRegistracia->isHidden());  // taken down outside mode 10
    QVERIFY(!idlePath(h.console));
    QVERIFY(h.console->calls().contains(QStringLiteral("SbrosPanelGolosovania")));
}

void TestPoller::commandsAndUnknownCodesShowIdleBoard_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("close") << -5;
    QTest::newRow("power off") << -6;
    QTest::newRow("restart") << -7;
    QTest::newRow("unknown") << 3;
}

void TestPoller::commandsAndUnknownCodesShowIdleBoard()
{
    QFETCH(int, mode);
    Hall h;
    QVERIFY(h.make());
    QVERIFY(h.hall.setMode(mode, 10, 0));
    for (Workstation *ws : h.all()) {
        ws->window()->ob().InfoTablo->setPlainText(QStringLiteral("Текст вопроса"));
        ws->window()->ob().InfoLabel->setText(QStringLiteral("прежний"));
    }
    h.clearCalls();
    h.hall.poll();
    for (Workstation *ws : h.all()) {
        QVERIFY(!ws->ended());  // the poller carries out no command
        QVERIFY(idlePath(ws));
        // Only the idle code itself copies the item's text onto the board.
        QCOMPARE(ws->window()->ob().InfoLabel->text(), QStringLiteral("прежний"));
    }
    QCOMPARE(h.newcomer->window()->ob().PanelStart->isHidden(), false);
}

void TestPoller::idleBoardRestartsClock()
{
    Hall h;
    QVERIFY(h.make());
    WindowView *w = h.deputy->window();
    w->TaimerVremya()->setEnabled(false);
    w->ob().LeiblVremya->move(w->ob().LeiblVremya->x(), 0);
    h.deputy->clearCalls();
    h.deputy->poll();
    QVERIFY(w->TaimerVremya()->isEnabled());
    QVERIFY(h.deputy->calls().contains(QStringLiteral("SbrosPanelGolosovania")));
    QCOMPARE(w->ob().LeiblVremya->y(), 64 + 143 + 8);
    QCOMPARE(w->ob().LeiblVremya->text().size(), 8);  // hh:mm:ss
    // With the clock running the board is not reset again.
    h.deputy->clearCalls();
    h.deputy->poll();
    QVERIFY(!h.deputy->calls().contains(QStringLiteral("SbrosPanelGolosovania")));
}

void TestPoller::itemTextAlignment()
{
    Hall h;
    QVERIFY(h.make());
    WindowView *w = h.console->window();
    w->ob().InfoTablo->setPlainText(QStringLiteral("О бюджете"));
    h.console->poll();
    QCOMPARE(w->ob().InfoLabel->text(), QStringLiteral("О бюджете"));
    QVERIFY(w->ob().InfoLabel->alignment() & Qt::AlignHCenter);

    const QString longText = QStringLiteral("О внесении изменений в закон области об областном бюджете на "
                                            "очередной финансовый год и на плановый период");
    w->ob().InfoTablo->setPlainText(longText);
    h.console->poll();
    QCOMPARE(w->ob().InfoLabel->text(), longText);
    QVERIFY(w->ob().InfoLabel->alignment() & Qt::AlignLeft);
    QVERIFY(!(w->ob().InfoLabel->alignment() & Qt::AlignHCenter));
}

void TestPoller::registrationListFollowsPeriod()
{
    Hall h;
    QVERIFY(h.make());
    WindowView *w = h.deputy->window();
    const int next = h.hall.openPeriod(h.meeting);
    QVERIFY(h.hall.setMode(1, next, 30));
    QVERIFY(w->PerechitatRegim(true));
    QVERIFY(w->OtkrytZaprosRegistracia());
    QCOMPARE(w->ZaprosRegistracia()->param("a").toInt(), next);
    QVERIFY(!w->SvoiDeputatZaregistrirovan());  // registered in the earlier period only

    // Outside registration the list follows IdSessii, whatever param1 holds.
    QVERIFY(h.hall.setMode(5));
    w->setIdSessii(h.period);
    QVERIFY(w->PerechitatRegim(true));
    QVERIFY(w->OtkrytZaprosRegistracia());
    QCOMPARE(w->ZaprosRegistracia()->param("a").toInt(), h.period);
    QVERIFY(w->SvoiDeputatZaregistrirovan());
    QCOMPARE(w->ZaprosRegistracia()->rowCount(), 2);  // the chairman and seat 07
}

void TestPoller::failedStatementEndsAtNextTick()
{
    Hall h;
    QVERIFY(h.make());
    WindowView *w = h.watcher->window();
    QVERIFY(!w->GlavBasa().exec(QStringLiteral("SELECT x FROM nowhere")));
    h.watcher->clearCalls();
    w->TaimerOperaziyTimer();
    QVERIFY(h.watcher->ended());
    QVERIFY(h.watcher->calls().isEmpty());  // nothing else ran in that tick
    QVERIFY(!w->TaimerOperaziy()->isEnabled());
    QVERIFY(!w->TaimerVremya()->isEnabled());
    QVERIFY(!w->TaimerProverkaPodklucheniy()->isEnabled());
    QVERIFY(h.watcher->messages().isEmpty());
    QCOMPARE(h.watcher->platform.exitCode, 1);
    // The others go on.
    h.hall.second();
    QVERIFY(!h.deputy->ended());
}

void TestPoller::failureInsideTickEndsSameTick()
{
    Hall h;
    QVERIFY(h.make());
    QSqlQuery q(h.hall.db().database());
    QVERIFY(q.exec(QStringLiteral("ALTER TABLE regim RENAME TO regim_old")));
    h.hall.poll();
    for (Workstation *ws : h.all()) {
        QVERIFY(ws->ended());
        QVERIFY(ws->messages().isEmpty());
    }
}

QTEST_MAIN(TestPoller)
#include "test_poller.moc"
