// A workstation run by its service has nobody to answer a message box: its start-up errors
// are logged and shown without waiting, it ends and is tried again; a database file that was
// deleted or replaced under a running workstation counts as a lost connection.
#include "core/startgates.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>

class TestUnattended : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startupErrorsNeverWaitForATouch_data();
    void startupErrorsNeverWaitForATouch();
    void failingGateEndsForTheService();
    void attendedStartupStillAsks();
    void deletedOrReplacedDatabaseIsALostConnection_data();
    void deletedOrReplacedDatabaseIsALostConnection();
};

void TestUnattended::startupErrorsNeverWaitForATouch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("shown");
    QTest::newRow("database refuses") << QStringList{QStringLiteral("auto"), QStringLiteral("embedded"), QStringLiteral("nowhere"), QStringLiteral("07")}
                                      << QByteArray() << QStringLiteral("Ошибка подключения к базе данных!");
    QTest::newRow("empty settings file") << QStringList{QStringLiteral("auto")} << QByteArray("")
                                         << QStringLiteral("Ошибка подключения к базе данных!");
    QTest::newRow("damaged settings file") << QStringList{QStringLiteral("auto")} << QByteArray("\x00\xff[Podkl\x01", 9)
                                           << QStringLiteral("Ошибка подключения к базе данных!");
    QTest::newRow("login of no seat") << QStringList{QStringLiteral("auto"), QStringLiteral("embedded"), QStringLiteral("voter"), QStringLiteral("99")}
                                      << QByteArray() << QStringLiteral("Недопустимый логин!");
}

void TestUnattended::startupErrorsNeverWaitForATouch()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, settings);
    QFETCH(QString, shown);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO logins (login, password) VALUES ('99', '99')")));
    QStringList args = arguments;
    if (args.size() > 2 && args[2] == QLatin1String("voter"))
        args[2] = hall.dbPath();
    Workstation &seat = hall.addWithArguments(args);
    if (!settings.isNull()) {
        QFile ini(seat.settingsPath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(settings);
    }
    seat.platform.service = true;
    QVERIFY(!seat.start());
    QVERIFY(seat.ended());
    QCOMPARE(seat.platform.exitCode, 1);
    QVERIFY2(seat.dialogs.shown.isEmpty(), qPrintable(seat.messages().join(QLatin1Char('|'))));
    QVERIFY(seat.modalWindows().isEmpty());
    QVERIFY2(!seat.dialogs.notices.isEmpty() && seat.dialogs.notices.first().startsWith(shown),
             qPrintable(seat.dialogs.notices.join(QLatin1Char('|'))));
    QCOMPARE(seat.platform.retryPauses, 1);  // on the screen until the service tries again
    QCOMPARE(seat.dialogs.notices.size(), 1);  // one failed start, one box
}

// A gate that cannot read under the service: one box, then the program ends for its service
// to try again, instead of a new box on every tick while the database refuses.
void TestUnattended::failingGateEndsForTheService()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &seat = hall.add(QStringLiteral("07"));
    seat.platform.service = true;
    bool leftAtOnce = false;
    seat.onGate([&](TStartForma *gate) {
        QSqlQuery q(hall.db().database());
        q.exec(QStringLiteral("ALTER TABLE povestka RENAME TO povestka_x"));
        gate->TaimerProverkaTimer();
        leftAtOnce = gate->vyhod() && seat.ended();
        gate->TaimerProverkaTimer();
        q.exec(QStringLiteral("ALTER TABLE povestka_x RENAME TO povestka"));
    });
    QVERIFY(!seat.start());
    QVERIFY(leftAtOnce);
    QCOMPARE(seat.platform.exitCode, 1);
    QCOMPARE(seat.dialogs.notices.size(), 1);
    QVERIFY(seat.dialogs.shown.isEmpty());
    QCOMPARE(seat.platform.retryPauses, 1);
}

void TestUnattended::attendedStartupStillAsks()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &seat = hall.addWithArguments({QStringLiteral("auto"), QStringLiteral("embedded"), QStringLiteral("nowhere"), QStringLiteral("07")});
    QVERIFY(!seat.start());
    QVERIFY(seat.messages().value(0).startsWith(QStringLiteral("Ошибка подключения к базе данных!")));
    QVERIFY(seat.dialogs.notices.isEmpty());
    QCOMPARE(seat.platform.retryPauses, 0);
}

void TestUnattended::deletedOrReplacedDatabaseIsALostConnection_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("deleted") << false;
    QTest::newRow("replaced") << true;
}

void TestUnattended::deletedOrReplacedDatabaseIsALostConnection()
{
    QFETCH(bool, replace);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.setMode(-1, 0, 0));
    Workstation &seat = hall.start(QStringLiteral("07"));
    QVERIFY(seat.started());
    seat.second(2);
    QVERIFY(!seat.ended());

    const QString copy = hall.dbPath() + QStringLiteral(".copy");
    QVERIFY(QFile::copy(hall.dbPath(), copy));
    QVERIFY(QFile::remove(hall.dbPath()));
    if (replace)
        QVERIFY(QFile::rename(copy, hall.dbPath()));
    // The next tick's statement fails and its error ends the seat, so the service restarts it
    // on whatever database is there by then.
    seat.second(2);
    QVERIFY(seat.ended());
}

QTEST_MAIN(TestUnattended)
#include "test_unattended.moc"
