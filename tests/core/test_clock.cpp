// The clock timer: remote commands and the console's countdown, the restart guard, the
// heartbeat, the clock and the active agenda item on the board.
#include "db/inifile.h"
#include "support/workstation.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

bool isClock(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    return re.match(text).hasMatch();
}

}  // namespace

class TestClock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void consoleCountsCommandDown_data();
    void consoleCountsCommandDown();
    void commandWrittenByHandWithOneSecond();
    void closeCommand();
    void powerOffEveryTick();
    void restartOncePerCommand();
    void idleArmsRestartOnTerminalsOnly();
    void heartbeat();
    void failingHeartbeatIsShownAndEnds();
    void activeItemOnEveryBoard();
    void deputyTakesItemOneTickLater();
    void noActiveItem();
    void periodEndsWithItsMeeting();
    void itemTextParsedOnlyWhenItChanges();
    void clockOnlyOutsideCountdowns_data();
    void clockOnlyOutsideCountdowns();
    void consoleBindsHiddenAgenda();
    void countdownText();
};

void TestClock::consoleCountsCommandDown_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("close all") << -5;
    QTest::newRow("power off") << -6;
    QTest::newRow("restart all") << -7;
}

void TestClock::consoleCountsCommandDown()
{
    QFETCH(int, code);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &console = hall.start("admin1");
    QVERIFY(console.started());
    QVERIFY(hall.setMode(code, 10, 0));

    QList<int> left;
    for (int i = 0; i < 9; ++i) {
        console.clock();
        QCOMPARE(hall.scalarInt("SELECT nomer FROM regim"), code);
        left << hall.scalarInt("SELECT param1 FROM regim");
    }
    QCOMPARE(left, (QList<int>{9, 8, 7, 6, 5, 4, 3, 2, 1}));
    console.clock();
    QCOMPARE(hall.scalarInt("SELECT nomer FROM regim"), -1);
    QCOMPARE(hall.scalarInt("SELECT param1 FROM regim"), 1);
    // The console itself carries out none of them.
    QVERIFY(!console.ended());
    QCOMPARE(console.platform.powerOffs, 0);
    QCOMPARE(console.platform.restarts, 0);
    QVERIFY(!QFile::exists(console.settingsPath()) || console.setting("Restart", "Zapret").isEmpty());
}

void TestClock::commandWrittenByHandWithOneSecond()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &console = hall.start("admin1");
    QVERIFY(hall.setMode(-7, 1, 0));
    console.clock();
    QCOMPARE(hall.scalarInt("SELECT nomer FROM regim"), -1);
}

void TestClock::closeCommand()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &console = hall.start("admin1");
    Workstation &chairman = hall.start("02");
    Workstation &deputy = hall.start("07");
    Workstation &watcher = hall.start("watcher");
    QVERIFY(hall.setMode(-5, 10, 0));
    hall.poll(4);  // the poller only shows the idle board
    QVERIFY(!chairman.ended());
    hall.clock();
    for (Workstation *ws : {&chairman, &deputy, &watcher}) {
        QVERIFY(ws->ended());
        QCOMPARE(ws->platform.exitCode, 0);
        QCOMPARE(ws->platform.restarts, 0);
        QVERIFY(ws->messages().isEmpty());
        QVERIFY(!(*ws)->TaimerOperaziy()->isEnabled());
    }
    QVERIFY(!console.ended());
    QCOMPARE(hall.scalarInt("SELECT param1 FROM regim"), 9);
}

void TestClock::powerOffEveryTick()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &deputy = hall.start("07");
    QVERIFY(hall.setMode(-6, 10, 0));
    deputy.clock(3);
    QCOMPARE(deputy.platform.powerOffs, 3);
    QVERIFY(!deputy.ended());
    QVERIFY(hall.setMode(-1));
    deputy.clock(2);
    QCOMPARE(deputy.platform.powerOffs, 3);
}

void TestClock::restartOncePerCommand()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &first = hall.start("07");
    QVERIFY(first.started());
    QVERIFY(hall.setMode(-7, 10, 0));

    first.clock();
    QVERIFY(first->Perezapusk());
    QCOMPARE(first.platform.restarts, 1);  // the closing window started the script
    QVERIFY(first.ended());
    QCOMPARE(first.platform.exitCode, 0);
    QCOMPARE(first.setting("Restart", "Zapret"), QStringLiteral("1"));

    // The script brings it back while the code is still -7: no gate, no second restart.
    Workstation &second = hall.restart(first);
    QVERIFY(second.started());
    QVERIFY(second.modalWindows().isEmpty());
    second.second(3);
    QVERIFY(!second.ended());
    QCOMPARE(second.platform.restarts, 0);
    QVERIFY(!second->Perezapusk());

    // Back to idle re-arms the guard; the next command restarts it again.
    QVERIFY(hall.setMode(-1));
    second.clock();
    QCOMPARE(second.setting("Restart", "Zapret"), QStringLiteral("0"));
    QVERIFY(hall.setMode(-7, 10, 0));
    second.clock();
    QCOMPARE(second.platform.restarts, 1);
    QVERIFY(second.ended());
}

void TestClock::idleArmsRestartOnTerminalsOnly()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &console = hall.start("admin1");
    Workstation &chairman = hall.start("02");
    Workstation &watcher = hall.start("watcher");
    hall.clock();
    QCOMPARE(chairman.setting("Restart", "Zapret"), QStringLiteral("0"));
    QCOMPARE(watcher.setting("Restart", "Zapret"), QStringLiteral("0"));
    QCOMPARE(console.setting("Restart", "Zapret", "absent"), QStringLiteral("absent"));
    // Other modes leave the guard alone.
    QVERIFY(iniWrite(watcher.settingsPath(), "Restart", "Zapret", "1"));
    QVERIFY(hall.setMode(5, 1, 15));
    hall.clock();
    QCOMPARE(watcher.setting("Restart", "Zapret"), QStringLiteral("1"));
}

void TestClock::heartbeat()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.exec("INSERT INTO logins (login, password) VALUES ('admin05', 'admin05')"));
    QVERIFY(hall.exec("UPDATE mesto SET nomer = 'admin05' WHERE nomer = '05'"));
    Workstation &deputy = hall.start("07");
    Workstation &console = hall.start("admin05");  // an operator login that names a seat
    QVERIFY(deputy.started() && console.started());
    QCOMPARE(hall.scalarInt("SELECT count(*) FROM mesto WHERE podkl IS NOT NULL"), 0);
    hall.clock();
    QCOMPARE(hall.scalarInt("SELECT count(*) FROM mesto WHERE podkl IS NOT NULL"), 1);
    QVERIFY(!hall.scalar("SELECT podkl FROM mesto WHERE nomer = '07'").isNull());
    // Stamped with the database's time.
    const int age = hall.scalarInt("SELECT DATEDIFF(ss,podkl,GETDATE()) FROM mesto WHERE nomer = '07'");
    QVERIFY2(age >= 0 && age <= 1, qPrintable(QString::number(age)));
    // The operator console never reports itself.
    QVERIFY(hall.scalar("SELECT podkl FROM mesto WHERE nomer = 'admin05'").isNull());
}

void TestClock::failingHeartbeatIsShownAndEnds()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &deputy = hall.start("07");
    QSqlQuery q(hall.db().database());
    QVERIFY(q.exec("ALTER TABLE mesto RENAME TO mesto_old"));
    deputy.clock();
    QCOMPARE(deputy.dialogs.shown.size(), 1);
    const FakeDialogs::Shown &m = deputy.dialogs.shown.first();
    const QString heading = QStringLiteral("Ошибка подтверждения активности рабочего места!\n\r\n\r");
    QVERIFY(m.text.startsWith(heading));
    QVERIFY(m.text.size() > heading.size());
    QCOMPARE(m.caption, QStringLiteral("Ошибка"));
    QCOMPARE(m.icon, Dialogs::Error);
    QVERIFY(deputy.ended());
}

void TestClock::activeItemOnEveryBoard()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(3));
    Workstation &console = hall.start("admin1");
    Workstation &chairman = hall.start("02");
    Workstation &deputy = hall.start("07");
    Workstation &watcher = hall.start("watcher");

    const int whole = hall.scalarInt("SELECT id FROM povestka WHERE opisanie = 'Вопрос 0'");
    QVERIFY(hall.exec(QStringLiteral("UPDATE povestka SET info = '{\\rtf1\\ansi {\\b Порядок} работы}' WHERE id = %1")
                          .arg(whole)));
    QVERIFY(hall.exec("UPDATE zasedanie SET opisanie = 'Заседание № 3'"));
    QVERIFY(hall.activateItem(whole));
    hall.clock(2);
    for (Workstation *ws : {&console, &chairman, &deputy, &watcher}) {
        WindowView *w = ws->window();
        QCOMPARE(w->ob().LeiblVopros->text(), QStringLiteral("Повестка дня"));
        QCOMPARE(w->ob().LeiblZasedanie->text(), QStringLiteral("Заседание № 3"));
        QCOMPARE(w->ob().InfoTablo->toPlainText(), QStringLiteral("Порядок работы"));
        QCOMPARE(w->IdPovestki(), whole);
        QCOMPARE(w->IdZasedania(), hall.demoMeeting());
        QVERIFY(isClock(w->ob().LeiblVremya->text()));
        QCOMPARE(w->ob().LeiblVremya->y(), w->ob().InfoTablo->y() + w->ob().InfoTablo->height() + 8);
        QVERIFY(ws->calls().contains(QStringLiteral("SinhronizaciyaRegistracii")));
        QVERIFY(ws->calls().contains(QStringLiteral("SinhronizaciyaProshuSlova")));
    }
    // The item text is shown small, whatever its stored size.
    QTextCursor c(console->ob().InfoTablo->document());
    c.movePosition(QTextCursor::End);
    QCOMPARE(c.charFormat().fontPointSize(), 8.0);
    QVERIFY(!console->ob().InfoTablo->textCursor().hasSelection());
    // Repainted once, when the active item changed.
    QCOMPARE(console.calls().count(QStringLiteral("PerekrasitPovestkuKonsoli")), 1);
    // The idle board then shows the text.
    console.poll();
    QCOMPARE(console->ob().InfoLabel->text(), QStringLiteral("Порядок работы"));
}

void TestClock::deputyTakesItemOneTickLater()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(3));
    Workstation &console = hall.start("admin1");
    Workstation &deputy = hall.start("07");
    hall.clock(2);
    QCOMPARE(deputy->IdPovestki(), 3);
    QVERIFY(hall.activateItem(4));
    console.clearCalls();
    deputy.clearCalls();
    hall.clock();
    // Where there is no console frame to take the focus, the new text holds the rest back.
    QCOMPARE(console->IdPovestki(), 4);
    QVERIFY(console.calls().contains(QStringLiteral("SinhronizaciyaProshuSlova")));
    QCOMPARE(deputy->IdPovestki(), 3);
    QCOMPARE(deputy->ob().LeiblVopros->text(), QStringLiteral("Вопрос 3"));
    QVERIFY(!deputy.calls().contains(QStringLiteral("SinhronizaciyaProshuSlova")));
    hall.clock();
    QCOMPARE(deputy->IdPovestki(), 4);
    QVERIFY(deputy.calls().contains(QStringLiteral("SinhronizaciyaProshuSlova")));
}

// The clock reads the active item every second on every seat; its stored text is parsed
// again only when it changed.
void TestClock::itemTextParsedOnlyWhenItChanges()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.exec("UPDATE povestka SET info = '{\\rtf1\\ansi Первый текст}' WHERE id = 3"));
    QVERIFY(hall.activateItem(3));
    Workstation &deputy = hall.start("07");
    deputy.clock(2);
    QCOMPARE(deputy->ob().InfoTablo->toPlainText(), QStringLiteral("Первый текст"));

    int razborov = 0;
    connect(deputy->ob().InfoBack->document(), &QTextDocument::contentsChanged, this, [&] { ++razborov; });
    deputy.clock(10);
    QCOMPARE(razborov, 0);

    QVERIFY(hall.exec("UPDATE povestka SET info = '{\\rtf1\\ansi Второй текст}' WHERE id = 3"));
    deputy.clock(5);
    QVERIFY(razborov > 0);
    QCOMPARE(deputy->ob().InfoTablo->toPlainText(), QStringLiteral("Второй текст"));
    const int posle = razborov;
    deputy.clock(5);
    QCOMPARE(razborov, posle);

    // The same text again after the item was off the board is shown again.
    QVERIFY(hall.deactivateItems());
    deputy.clock();
    QCOMPARE(deputy->ob().InfoTablo->toPlainText(), QString());
    QVERIFY(hall.activateItem(3));
    deputy.clock(2);
    QCOMPARE(deputy->ob().InfoTablo->toPlainText(), QStringLiteral("Второй текст"));
}

// A terminal that runs on from one meeting into the next does not count its deputy present
// in the new meeting on the old meeting's registration.
void TestClock::periodEndsWithItsMeeting()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int pervoe = hall.demoMeeting();
    QVERIFY(hall.activateItem(hall.scalarInt(QStringLiteral("SELECT min(id) FROM povestka WHERE id_zasedanie = %1").arg(pervoe))));
    const int period = hall.openPeriod(pervoe);
    QVERIFY(hall.registerDeputy(hall.deputyAt("07"), period, pervoe));
    QVERIFY(hall.setMode(-1, period, 0));
    Workstation &deputy = hall.start("07");
    QVERIFY(deputy.started());
    hall.second(2);
    QCOMPARE(deputy->IdSessii(), period);
    QVERIFY(deputy->SvoiDeputatZaregistrirovan());

    // The console closes the meeting (its period is stopped, a stopped one marks the end)...
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET stop = GETDATE() WHERE id = %1").arg(pervoe)));
    QVERIFY(hall.deactivateItems());
    QVERIFY(hall.exec(QStringLiteral("UPDATE sessia_start SET stop = GETDATE()")));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO sessia_start (id_zasedanie,stop) VALUES (%1,GETDATE())").arg(pervoe)));
    hall.second(2);
    // ...and opens the next one.
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO zasedanie (data, opisanie, vremya, start) VALUES (GETDATE(), 'Следующее', "
                                     "'00:00:00', GETDATE())")));
    const int vtoroe = hall.scalarInt(QStringLiteral("SELECT max(id) FROM zasedanie"));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie, tip, nomer, ord, opisanie, aktiv) "
                                     "VALUES (%1, 0, 1, 1, 'Вопрос 1', 0)")
                          .arg(vtoroe)));
    QVERIFY(hall.activateItem(hall.scalarInt(QStringLiteral("SELECT max(id) FROM povestka"))));
    hall.second(3);
    QCOMPARE(deputy->IdZasedania(), vtoroe);
    QCOMPARE(deputy->IdSessii(), -1);
    QVERIFY(!deputy->SvoiDeputatZaregistrirovan());
    QVERIFY(!deputy->Dopusk());

    // The new meeting's registration is followed as before.
    const int novyi = hall.openPeriod(vtoroe);
    QVERIFY(hall.setMode(1, novyi, 30));
    hall.second();
    QVERIFY(hall.registerDeputy(hall.deputyAt("07"), novyi, vtoroe));
    QVERIFY(hall.setMode(-1, novyi, 0));
    hall.second(2);
    QCOMPARE(deputy->IdSessii(), novyi);
    QVERIFY(deputy->SvoiDeputatZaregistrirovan());
    QVERIFY(!deputy.ended());
}

void TestClock::noActiveItem()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(3));
    Workstation &chairman = hall.start("02");
    chairman.clock(2);
    QCOMPARE(chairman->IdPovestki(), 3);
    QVERIFY(!chairman->ob().InfoTablo->toPlainText().isEmpty());
    QVERIFY(hall.deactivateItems());
    chairman.clock();
    QCOMPARE(chairman->ob().LeiblVopros->text(), QString());
    QCOMPARE(chairman->ob().LeiblZasedanie->text(), QString());
    QCOMPARE(chairman->ob().InfoTablo->toPlainText(), QString());
    QCOMPARE(chairman->IdPovestki(), 3);
    QCOMPARE(chairman->IdZasedania(), hall.demoMeeting());
}

void TestClock::clockOnlyOutsideCountdowns_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("clock");
    QTest::newRow("registration") << 1 << false;
    QTest::newRow("vote") << 2 << false;
    QTest::newRow("vote results") << 4 << false;
    QTest::newRow("registration results") << 5 << true;
    QTest::newRow("anthem") << 10 << true;
    QTest::newRow("taken down") << 11 << true;
    QTest::newRow("restart") << -7 << true;
}

void TestClock::clockOnlyOutsideCountdowns()
{
    QFETCH(int, mode);
    QFETCH(bool, clock);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(3));
    Workstation &console = hall.start("admin1");
    Workstation &watcher = hall.start("watcher");
    QVERIFY(hall.setMode(mode, 1, 30));
    for (Workstation *ws : {&console, &watcher}) {
        (*ws)->ob().LeiblVremya->setText(QStringLiteral("countdown"));
        (*ws)->ob().LeiblVopros->clear();
        ws->clearCalls();
    }
    hall.clock();
    for (Workstation *ws : {&console, &watcher}) {
        QCOMPARE(isClock((*ws)->ob().LeiblVremya->text()), clock);
        QCOMPARE(ws->calls().contains(QStringLiteral("SinhronizaciyaRegistracii")), clock);
        QCOMPARE((*ws)->ob().LeiblVopros->text().isEmpty(), !clock);
    }
}

void TestClock::consoleBindsHiddenAgenda()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &console = hall.start("admin1");
    console->rec().consoleAgendaHidden = true;
    console.clock();
    QVERIFY(!console.calls().filter(QStringLiteral("PrivyazatPovestkuKonsoli")).size());
    QVERIFY(hall.activateItem(2));
    console.clock();
    QCOMPARE(console.calls().filter(QStringLiteral("PrivyazatPovestkuKonsoli")),
             QStringList{QStringLiteral("PrivyazatPovestkuKonsoli:%1").arg(hall.demoMeeting())});
    QCOMPARE(console->IdZasedania(), hall.demoMeeting());
}

void TestClock::countdownText()
{
    QCOMPARE(MinSek(65), QStringLiteral("1 мин 5 сек"));
    QCOMPARE(MinSek(125), QStringLiteral("2 мин 5 сек"));
    QCOMPARE(MinSek(59), QStringLiteral("0 мин 59 сек"));
    QCOMPARE(MinSek(0), QStringLiteral("0 мин 0 сек"));
    QCOMPARE(MinSek(600), QStringLiteral("10 мин 0 сек"));
    QCOMPARE(NazvanieVoprosa(QStringLiteral("Вопрос 0")), QStringLiteral("Повестка дня"));
    QCOMPARE(NazvanieVoprosa(QStringLiteral("Вопрос 0 ")), QStringLiteral("Вопрос 0 "));
    QCOMPARE(NazvanieVoprosa(QStringLiteral("Вопрос 10")), QStringLiteral("Вопрос 10"));
}

QTEST_MAIN(TestClock)
#include "test_clock.moc"
