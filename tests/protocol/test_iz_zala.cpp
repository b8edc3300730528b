// The protocol of a meeting that the hall actually ran: the console opens the votes through
// its own windows, the deputies vote from their terminals, the console closes the meeting,
// and the protocol reprints every vote from the rows those workstations wrote.
#include "../voting/golosovanie_fixture.h"

#include "console/admin_interfeis.h"
#include "hall/golosovanie_panel.h"
#include "protocol/protokol_forma.h"

#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>

using namespace golostest;

class TestIzZala : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void protocolOfAMeetingTheHallRan();
};

void TestIzZala::protocolOfAMeetingTheHallRan()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int meeting = hall.demoMeeting();
    const int itemA = itemId(hall, QStringLiteral("Вопрос 1"));
    const int itemB = itemId(hall, QStringLiteral("Вопрос 2"));
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET start = GETDATE() WHERE id = %1").arg(meeting)));
    QVERIFY(hall.activateItem(itemA));
    const int period = hall.openPeriod(meeting);
    for (const char *seat : {"03", "04", "05", "06"})
        QVERIFY(hall.registerDeputy(hall.deputyAt(QString::fromLatin1(seat)), period, meeting));

    Workstation &console = hall.start(QStringLiteral("admin1"));
    Workstation &chairman = hall.start(QStringLiteral("02"));
    Workstation &d3 = hall.start(QStringLiteral("03"));
    Workstation &d4 = hall.start(QStringLiteral("04"));
    Workstation &d5 = hall.start(QStringLiteral("05"));
    for (Workstation *ws : {&console, &chairman, &d3, &d4, &d5})
        QVERIFY(ws->started() && !ws->ended());
    hall.second(2);

    // Present: the chairman, 03, 04, 05 and 06 (who never votes). Majority of those present
    // (rule 0) needs 3: the first vote gets 3 "for", the second 2.
    TGolosovanieForma *forma = nullptr;
    auto runVote = [&](std::function<void()> ballots) {
        onSetup(console, [&](TGolosovanieForma *f) {
            forma = f;
            f->Regim[0]->click();
            f->Vremya->setValue(10);
            f->KnopkaGolosovanieClick();
        });
        onProgress(console, [&](TProcessGolos2Forma *) {
            hall.poll();
            ballots();
            for (int s = 0; s < 10; ++s) {
                forma->Timer1Timer();
                hall.second();
            }
        });
        onSetup(console, [&](TGolosovanieForma *f) { f->KnopkaPokazVoprClick(); });
        console->ekrany().OtkrytNastroikuGolosovania();
        hall.second();
    };
    runVote([&] {
        chairman->panel().KnopkiGolosovania->ZaKnopkaClick();
        d3->panel().KnopkiGolosovania->ZaKnopkaClick();
        d4->panel().KnopkiGolosovania->ZaKnopkaClick();
        d5->panel().KnopkiGolosovania->ProtivKnopkaClick();
    });
    runVote([&] {
        chairman->panel().KnopkiGolosovania->ZaKnopkaClick();
        d3->panel().KnopkiGolosovania->ZaKnopkaClick();
        d4->panel().KnopkiGolosovania->VosdKnopkaClick();
        d5->panel().KnopkiGolosovania->ZaKnopkaClick();
        d5->panel().KnopkiGolosovania->ProtivKnopkaClick();  // changed mind: only the last ballot counts
    });
    QVERIFY(hall.activateItem(itemB));
    hall.second();
    runVote([&] { d3->panel().KnopkiGolosovania->ZaKnopkaClick(); });
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM golosovanie")), 3);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet")), 9);

    console.dialogs.answers.enqueue(Dialogs::Yes);
    console->konsol().AdminInterfeis->KnopkaStopZasClick();
    QVERIFY(!hall.scalar(QStringLiteral("SELECT stop FROM zasedanie WHERE id = %1").arg(meeting)).isNull());

    FakeDialogs dialogs;
    FakePlatform platform(hall.dir());
    TProtokolForma protokol(&hall.db(), &dialogs, &platform);
    protokol.setMeeting(meeting);
    protokol.FormActivate();
    const QString text = protokol.OtchetText->toPlainText();
    QVERIFY2(dialogs.shown.isEmpty(), qPrintable(dialogs.lastText()));
    if (qEnvironmentVariableIsSet("PROTOKOL_PRINT"))
        qInfo("%s", qPrintable(text));

    // One heading for the two votes on item A, one for item B, in that order.
    const QStringList lines = text.split(QLatin1Char('\n'));
    QStringList headings;
    for (const QString &l : lines)
        if (l.contains(QStringLiteral("Обсуждается ")))
            headings << l.mid(l.indexOf(QStringLiteral("Обсуждается ")));
    QCOMPARE(headings, QStringList({QStringLiteral("Обсуждается Вопрос 1"), QStringLiteral("Обсуждается Вопрос 2")}));

    // Counts and decisions as the terminals cast them.
    QCOMPARE(text.count(QStringLiteral("        ЗА - 3  ПРОТИВ - 1  ВОЗД - 0")), 1);
    QCOMPARE(text.count(QStringLiteral("        ЗА - 2  ПРОТИВ - 1  ВОЗД - 1")), 1);
    QCOMPARE(text.count(QStringLiteral("        ЗА - 1  ПРОТИВ - 0  ВОЗД - 0")), 1);
    QCOMPARE(text.count(QStringLiteral("Решение принято")), 1);
    QCOMPARE(text.count(QStringLiteral("Решение не принято")), 2);
    QCOMPARE(text.count(QStringLiteral("ПРИСУТСТВУЕТ - 5")), 3);

    // Names by answer come from the server functions over the ballots written by the hall.
    auto shortName = [&](const QString &seat) {
        ResultSet rs;
        hall.db().query(QStringLiteral("SELECT familia, imya, otchestvo FROM deputat WHERE id = %1").arg(hall.deputyAt(seat)),
                        &rs);
        return rs.value(0, 0).toString() + QLatin1Char(' ') + rs.value(0, 1).toString().left(1) + QStringLiteral(". ")
               + rs.value(0, 2).toString().left(1) + QLatin1Char('.');
    };
    const QString d6name = shortName(QStringLiteral("06"));
    const QString d5name = shortName(QStringLiteral("05"));
    // 06 was present and never voted: listed as not voting in every vote.
    QCOMPARE(text.count(d6name), 3);
    QVERIFY(text.contains(d5name));
    QCOMPARE(protokol.Otchet1->rowCount(), 3);
    QCOMPARE(protokol.Otchet1->value(1, QStringLiteral("fio_protiv")).toString(), d5name);
}

QTEST_MAIN(TestIzZala)
#include "test_iz_zala.moc"
