// The connection monitor: the silence rule, the seat-map timer and its error checks.
#include "support/workstation.h"

#include <QSqlQuery>
#include <QTest>

namespace {

// Stamps a seat `ago` seconds in the past (database clock), or NULL.
bool stamp(TestHall &hall, const QString &seat, int ago)
{
    QSqlQuery q(hall.db().database());
    if (ago < 0)
        return q.exec(QStringLiteral("UPDATE mesto SET podkl = NULL WHERE nomer = '%1'").arg(seat));
    return q.exec(QStringLiteral("UPDATE mesto SET podkl = strftime('%Y-%m-%d %H:%M:%f','now','localtime','-%1 seconds') "
                                 "WHERE nomer = '%2'")
                      .arg(ago)
                      .arg(seat));
}

QVariant diffOf(WindowView *w, const QString &seat)
{
    DataSet *d = w->ProverkaPorklucheniy();
    for (int i = 0; i < d->rowCount(); ++i)
        if (d->value(i, QStringLiteral("nomer")).toString() == seat)
            return d->value(i, QStringLiteral("diff"));
    return QVariant();
}

}  // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void silenceRule();
    void seatComesBack();
    void activationStartsMonitor();
    void realActivation();
    void refreshFailureWithoutDatabaseError();
    void pendingErrorsEndTheProgram();
    void reopensModeRow();
};

void TestMonitor::silenceRule()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &console = hall.start("admin1");
    QVERIFY(console.started());
    WindowView *w = console.window();

    // The ages are computed by the database; a tick that straddles a second boundary can
    // read one more, so the stamps are written again until the reading is exact.
    bool exact = false;
    for (int attempt = 0; attempt < 5 && !exact; ++attempt) {
        QVERIFY(stamp(hall, "05", 5));
        QVERIFY(stamp(hall, "06", 6));
        QVERIFY(stamp(hall, "10", 0));
        console.monitor();
        exact = diffOf(w, "05").toInt() == 5 && diffOf(w, "06").toInt() == 6 && diffOf(w, "10").toInt() == 0;
    }
    QVERIFY(exact);
    QVERIFY(!w->MestoMolchit("05"));
    QVERIFY(w->MestoMolchit("06"));
    QVERIFY(!w->MestoMolchit("10"));
    // Never stamped: not silent. No row at all: silent.
    QVERIFY(diffOf(w, "07").isNull());
    QVERIFY(!w->MestoMolchit("07"));
    QVERIFY(w->MestoMolchit("28"));
    QVERIFY(hall.exec("DELETE FROM mesto WHERE nomer = '09'"));
    console.monitor();
    QVERIFY(w->MestoMolchit("09"));
    QVERIFY(console.calls().contains(QStringLiteral("ObnovitKartuMest")));
}

void TestMonitor::seatComesBack()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &console = hall.start("admin1");
    QVERIFY(stamp(hall, "07", 30));
    console.monitor();
    QVERIFY(console->MestoMolchit("07"));
    Workstation &deputy = hall.start("07");
    deputy.clock();  // first heartbeat
    console.monitor();
    QVERIFY(!console->MestoMolchit("07"));
}

void TestMonitor::activationStartsMonitor()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &ws = hall.start("02");
    QVERIFY(!ws->TaimerProverkaPodklucheniy()->isEnabled());
    ws->ob().LeiblVremya->clear();
    ws.clearCalls();
    ws->FormActivate();
    QCOMPARE(ws.calls().mid(0, 2), (QStringList{"RaspolozhitKnopki", "PostroitKartuMest"}));
    QVERIFY(ws->TaimerProverkaPodklucheniy()->isEnabled());
    QCOMPARE(ws->TaimerProverkaPodklucheniy()->interval(), 1000);
    QCOMPARE(ws->ob().LeiblVremya->y(), 138);
    QCOMPARE(ws->ob().LeiblVremya->text().size(), 8);
}

void TestMonitor::realActivation()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &ws = hall.start("07");
    QVERIFY(ws.started());
    ws->show();
    ws->activateWindow();
    QTRY_VERIFY(ws.calls().contains(QStringLiteral("PostroitKartuMest")));
    QVERIFY(ws->TaimerProverkaPodklucheniy()->isEnabled());
    ws->hide();
}

void TestMonitor::refreshFailureWithoutDatabaseError()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &console = hall.start("admin1");
    console->FormActivate();
    console->rec().mapRefreshFailure = QStringLiteral("List index out of bounds (28)");
    console.monitor(2);
    QCOMPARE(console.messages(), (QStringList{"List index out of bounds (28)", "List index out of bounds (28)"}));
    QVERIFY(!console.ended());
    QVERIFY(console->TaimerProverkaPodklucheniy()->isEnabled());
}

void TestMonitor::pendingErrorsEndTheProgram()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &a = hall.start("admin1");
    Workstation &b = hall.start("admin2");
    a->FormActivate();
    // Before the refresh: nothing of it runs.
    a->GlavBasa().setError(QStringLiteral("Connection lost"), 0);
    a.clearCalls();
    a.monitor();
    QVERIFY(a.ended());
    QVERIFY(a.calls().isEmpty());
    QVERIFY(!a->TaimerProverkaPodklucheniy()->isEnabled());
    QVERIFY(!a->TaimerOperaziy()->isEnabled());
    // After the refresh: its own failing statement ends it in the same tick, silently.
    QSqlQuery q(hall.db().database());
    QVERIFY(q.exec("ALTER TABLE mesto RENAME TO mesto_old"));
    b.monitor();
    QVERIFY(b.ended());
    QVERIFY(b.messages().isEmpty());
}

void TestMonitor::reopensModeRow()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &console = hall.start("admin1");
    console->ZaprosRegima()->close();
    QVERIFY(hall.setMode(4, 7, 15));
    console.monitor();
    QVERIFY(console->ZaprosRegima()->isOpen());
    QCOMPARE(console->RegimParam1(), 7);
}

QTEST_MAIN(TestMonitor)
#include "test_monitor.moc"
