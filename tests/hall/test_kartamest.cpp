// The seat map: its geometry at 1280 x 1024, vacated seats, names, and the colours of the
// registration, request, silent-seat and ballot pictures; granting the floor by a click.
#include "hall/karta_mest.h"
#include "zal.h"

#include <QTest>

using namespace zaltest;

class TestKartaMest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void geometry();
    void vacatedSeats();
    void vacatedList();
    void namesFollowAssignments();
    void registrationAndRequestPictures();
    void silentSeatsOnConsoleOnly();
    void ballotPicture();
    void deputyTerminalColoursNothing();
    void grantingTheFloor();
    void failingBuildReportsAndStops();
};

void TestKartaMest::geometry()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    Workstation &ch = hall.start("02");
    QVERIFY(ch.started());
    QCOMPARE(ch->ob().PanelSleva->width(), 369);
    ch->show();  // built on a window that is up, as on activation
    QVERIFY(ch->ekrany().PostroitKartuMest());
    WindowView *w = ch.window();

    // U = 187: the front row's number labels at 43, 318, 593, top 949.
    const int levo[3] = {43, 318, 593};
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(w->karta().NomerLeibl[i]->geometry(), QRect(levo[i - 1], 949, 71, 58));
        QCOMPARE(w->karta().NomerGranica[i]->geometry(), QRect(levo[i - 1] - 1, 948, 73, 60));
        QCOMPARE(w->karta().MestoGranica[i]->geometry(), QRect(levo[i - 1] - 1 + 78, 948, 187, 60));
        QCOMPARE(w->karta().MestoLeibl[i]->geometry(), QRect(levo[i - 1] - 1 + 79, 949, 185, 58));
        QVERIFY(w->karta().MestoLeibl[i]->wordWrap());
    }
    // V = 342, R = 72: left names at 25, their numbers at 373; right frames at 544, their
    // numbers at 466; rows 73, 145, ..., 865.
    for (int j = 4; j <= 15; ++j) {
        const int verh = 73 + (j - 4) * 72;
        QCOMPARE(w->karta().MestoGranica[j]->geometry(), QRect(25, verh, 342, 50));
        QCOMPARE(w->karta().MestoLeibl[j]->geometry(), QRect(26, verh + 1, 340, 48));
        QCOMPARE(w->karta().NomerLeibl[j]->geometry(), QRect(373, verh + 1, 71, 48));
        QCOMPARE(w->karta().NomerGranica[j]->geometry(), QRect(372, verh, 73, 50));
        QCOMPARE(w->karta().MestoGranica[j + 12]->geometry(), QRect(544, verh, 342, 50));
        QCOMPARE(w->karta().MestoLeibl[j + 12]->geometry(), QRect(545, verh + 1, 340, 48));
        QCOMPARE(w->karta().NomerLeibl[j + 12]->geometry(), QRect(466, verh + 1, 71, 48));
        QCOMPARE(w->karta().NomerGranica[j + 12]->geometry(), QRect(465, verh, 73, 50));
        QVERIFY(!w->karta().MestoLeibl[j]->wordWrap());
    }
    QCOMPARE(w->karta().MestoGranica[15]->y(), 865);
    // Legend items 144 wide at 10, 159, 308, 457, 606, 755; labels inside them.
    for (int j = 1; j <= 6; ++j) {
        const int x = 10 + (j - 1) * 149;
        QCOMPARE(w->karta().Legenda[j]->geometry(), QRect(x, 6, 144, 36));
        QCOMPARE(w->karta().LegendaLeibl[j]->geometry(), QRect(x + 1, 7, 142, 34));
        QVERIFY(w->karta().LegendaLeibl[j]->isVisible());
        QVERIFY(w->karta().Legenda[j]->isVisible());
        // 11 and 14 points at 96 dpi, set in pixels.
        QCOMPARE(w->karta().LegendaLeibl[j]->font().pixelSize(), j <= 2 ? 14 : 18);
    }
    QVERIFY(w->karta().LegendaLeibl[7]->isHidden());
    QCOMPARE(fon(w->karta().LegendaLeibl[7]), QColor(182, 107, 107));
    QCOMPARE(w->karta().LegendaLeibl[6]->text(), QStringLiteral("Прошу слова"));
    QCOMPARE(fon(w->karta().LegendaLeibl[2]), QColor(166, 202, 240));
    // Everything lies on the seat map panel and carries its seat index.
    QCOMPARE(w->karta().MestoLeibl[17]->parentWidget(), w->ob().PanelSprava);
    QCOMPARE(w->karta().MestoLeibl[17]->tag(), 17);
    QCOMPARE(w->karta().NomerLeibl[9]->text(), QStringLiteral("09"));
    QCOMPARE(w->karta().NomerLeibl[27]->text(), QStringLiteral("27"));
    QVERIFY(w->karta().MestoLeibl[27]->isVisible());
    QVERIFY(w->karta().NomerGranica[1]->isVisible());
    ch->hide();
}

void TestKartaMest::vacatedSeats()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    QVERIFY(hall.exec("UPDATE konstanti SET znachenie = '3,17' WHERE opisanie LIKE 'Освобожденные места'"));
    Workstation &ch = hall.start("02");
    QVERIFY(ch->ekrany().PostroitKartuMest());
    WindowView *w = ch.window();
    for (int i = 1; i <= 27; ++i) {
        const bool skryto = i == 3 || i == 17;
        for (QWidget *c : {static_cast<QWidget *>(w->karta().MestoGranica[i]), static_cast<QWidget *>(w->karta().MestoLeibl[i]),
                           static_cast<QWidget *>(w->karta().NomerGranica[i]), static_cast<QWidget *>(w->karta().NomerLeibl[i])})
            QCOMPARE(c->isHidden(), skryto);
    }
    // The others keep their places.
    QCOMPARE(w->karta().NomerLeibl[2]->x(), 318);
    QCOMPARE(w->karta().MestoGranica[16]->geometry(), QRect(544, 73, 342, 50));
    QCOMPARE(w->karta().MestoGranica[18]->y(), 73 + 2 * 72);

    // The list is read at every activation: emptied, every seat is back.
    QVERIFY(hall.exec("UPDATE konstanti SET znachenie = '' WHERE opisanie LIKE 'Освобожденные места'"));
    QVERIFY(w->ekrany().PostroitKartuMest());
    QVERIFY(!w->karta().MestoLeibl[3]->isHidden());
    QVERIFY(!w->karta().NomerLeibl[17]->isHidden());
}

void TestKartaMest::vacatedList()
{
    QCOMPARE(kartamest::osvobozhdennye(QStringLiteral("3,17")), (QSet<int>{3, 17}));
    QCOMPARE(kartamest::osvobozhdennye(QStringLiteral(" 03 , 5 12,,27")), (QSet<int>{3, 5, 12, 27}));
    QCOMPARE(kartamest::osvobozhdennye(QStringLiteral("")), QSet<int>());
    // Not seat indices: left out rather than reaching past the arrays.
    QCOMPARE(kartamest::osvobozhdennye(QStringLiteral("0,28,x,-4,50")), QSet<int>());
}

void TestKartaMest::namesFollowAssignments()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    Workstation &ch = hall.start("02");
    QVERIFY(ch->ekrany().PostroitKartuMest());
    QCOMPARE(ch->karta().MestoLeibl[5]->text(), QStringLiteral("Денисова Елена Александровна"));
    QCOMPARE(ch->karta().MestoLeibl[2]->text(), QStringLiteral("Белов Николай Петрович"));

    // A seat without an assignment shows "-"; a changed assignment shows its name at the next
    // activation.
    QVERIFY(hall.exec(QStringLiteral("DELETE FROM sostav WHERE id_mesto = %1").arg(idMesta(hall, "09"))));
    QVERIFY(hall.exec(QStringLiteral("UPDATE sostav SET id_deputat = %1 WHERE id_mesto = %2")
                          .arg(hall.scalarInt("SELECT id FROM deputat WHERE familia = 'Ильин'"))
                          .arg(idMesta(hall, "10"))));
    QVERIFY(ch->ekrany().PostroitKartuMest());
    QCOMPARE(ch->karta().MestoLeibl[9]->text(), QStringLiteral("-"));
    QCOMPARE(ch->karta().MestoLeibl[10]->text(), QStringLiteral("Ильин Дмитрий Сергеевич"));
    // Rebuilt in place: the same controls, no second set.
    QCOMPARE(ch->ob().PanelSprava->findChildren<TLeibl *>(QStringLiteral("MestoLeibl9")).size(), 1);
}

void TestKartaMest::registrationAndRequestPictures()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    const int meeting = hall.demoMeeting();
    const int period = hall.openPeriod(meeting);
    QVERIFY(hall.registerDeputy(hall.deputyAt("05"), period, meeting));
    QVERIFY(hall.registerDeputy(hall.deputyAt("07"), period, meeting));
    QVERIFY(zapros(hall, "05"));
    QVERIFY(zapros(hall, "12"));
    Workstation &ch = hall.start("02");  // writes its own presence record in the period
    Workstation &console = hall.start("admin1");
    for (Workstation *ws : {&ch, &console}) {
        QVERIFY((*ws)->ekrany().PostroitKartuMest());
        ws->monitor();
        WindowView *w = ws->window();
        for (int i = 1; i <= 27; ++i) {
            const bool reg = i == 2 || i == 5 || i == 7;
            QCOMPARE(fon(w->karta().NomerLeibl[i]), reg ? QColor(166, 202, 240) : QColor(255, 255, 255));
            const bool prosit = i == 5 || i == 12;
            QCOMPARE(fon(w->karta().MestoLeibl[i]), prosit ? QColor(255, 255, 0) : QColor(255, 255, 255));
        }
    }
    // A withdrawn request and a cancelled registration show at the next refresh.
    QVERIFY(hall.exec(QStringLiteral("DELETE FROM proshu_slovo WHERE id_mesto = %1").arg(idMesta(hall, "12"))));
    QVERIFY(hall.exec(QStringLiteral("DELETE FROM sessia WHERE id_deputat = %1").arg(hall.deputyAt("07"))));
    ch.monitor();
    QCOMPARE(fon(ch->karta().MestoLeibl[12]), QColor(255, 255, 255));
    QCOMPARE(fon(ch->karta().NomerLeibl[7]), QColor(255, 255, 255));
}

void TestKartaMest::silentSeatsOnConsoleOnly()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    Workstation &console = hall.start("admin1");
    Workstation &ch = hall.start("02");
    QVERIFY(zapros(hall, "12"));
    QVERIFY(console->ekrany().PostroitKartuMest());
    QVERIFY(ch->ekrany().PostroitKartuMest());

    // The database computes the ages; a reading that straddles a second boundary is retried.
    bool exact = false;
    for (int attempt = 0; attempt < 5 && !exact; ++attempt) {
        QVERIFY(otmetka(hall, "10", 5));
        QVERIFY(otmetka(hall, "11", 6));
        QVERIFY(otmetka(hall, "12", 30));
        console.monitor();
        exact = !console->MestoMolchit("10") && console->MestoMolchit("11");
    }
    QVERIFY(exact);
    ch.monitor();
    const QColor molchit(255, 128, 64);
    QCOMPARE(fon(console->karta().MestoLeibl[10]), QColor(255, 255, 255));
    QCOMPARE(fon(console->karta().MestoLeibl[11]), molchit);
    // A pending request hides behind the silent colour on the console.
    QCOMPARE(fon(console->karta().MestoLeibl[12]), molchit);
    // Never stamped: not silent.
    QCOMPARE(fon(console->karta().MestoLeibl[20]), QColor(255, 255, 255));
    // The chairman sees no silence.
    QCOMPARE(fon(ch->karta().MestoLeibl[11]), QColor(255, 255, 255));
    QCOMPARE(fon(ch->karta().MestoLeibl[12]), QColor(255, 255, 0));
}

void TestKartaMest::ballotPicture()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    const int meeting = hall.demoMeeting();
    const int period = hall.openPeriod(meeting);
    Workstation &ch = hall.start("02");
    QVERIFY(ch->ekrany().PostroitKartuMest());
    QVERIFY(zapros(hall, "05"));
    const int vote = golosovanie(hall, 10);
    QVERIFY(golos(hall, vote, "05", 2));
    QVERIFY(golos(hall, vote, "07", 1));
    QVERIFY(golos(hall, vote, "09", 3));
    QVERIFY(golos(hall, vote, "11", 7));  // a code the map does not know

    // Before the voting panel is up the map still shows requests.
    QVERIFY(hall.setMode(2, vote, 30));
    ch.monitor();
    QCOMPARE(fon(ch->karta().MestoLeibl[5]), QColor(255, 255, 0));
    ch.poll();  // the vote board shows the voting panel
    QVERIFY(!ch->ob().PanelGolosovanie->isHidden());
    ustanovitCvet(ch->karta().MestoLeibl[11], QColor(1, 2, 3));
    ch.monitor();
    QCOMPARE(fon(ch->karta().MestoLeibl[5]), QColor(255, 94, 98));
    QCOMPARE(fon(ch->karta().MestoLeibl[7]), QColor(0, 255, 64));
    QCOMPARE(fon(ch->karta().MestoLeibl[9]), QColor(128, 128, 255));
    QCOMPARE(fon(ch->karta().MestoLeibl[11]), QColor(1, 2, 3));  // unknown code: left as it was
    QCOMPARE(fon(ch->karta().MestoLeibl[12]), QColor(255, 255, 255));
    QCOMPARE(fon(ch->karta().NomerLeibl[2]), QColor(166, 202, 240));  // the chairman's own record

    // Through the results (the panel is reset there) the ballots stay.
    QVERIFY(hall.setMode(4, vote, 15));
    ch.poll();
    QVERIFY(ch->ob().PanelGolosovanie->isHidden());
    ch.monitor();
    QCOMPARE(fon(ch->karta().MestoLeibl[5]), QColor(255, 94, 98));

    // Idle again: requests, so seat 05 is yellow and seat 07 white.
    QVERIFY(hall.setMode(-1));
    ch.poll();
    ch.monitor();
    QCOMPARE(fon(ch->karta().MestoLeibl[5]), QColor(255, 255, 0));
    QCOMPARE(fon(ch->karta().MestoLeibl[7]), QColor(255, 255, 255));
    Q_UNUSED(period);
}

void TestKartaMest::deputyTerminalColoursNothing()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    const int meeting = hall.demoMeeting();
    const int period = hall.openPeriod(meeting);
    QVERIFY(hall.registerDeputy(hall.deputyAt("07"), period, meeting));
    QVERIFY(zapros(hall, "07"));
    Workstation &d = hall.start("07");
    QVERIFY(d->ekrany().PostroitKartuMest());
    QVERIFY(d->ob().PanelSprava->isHidden());
    d.monitor();
    // The queries are read ...
    QVERIFY(d->karta().ZaprosGolos->isOpen());
    QVERIFY(d->ZaprosRegistracia()->isOpen());
    QVERIFY(d->SvoiDeputatZaregistrirovan());
    // ... but nothing is coloured.
    QCOMPARE(fon(d->karta().NomerLeibl[7]), QColor(255, 255, 255));
    QCOMPARE(fon(d->karta().MestoLeibl[7]), QColor(255, 255, 255));
}

void TestKartaMest::grantingTheFloor()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    Workstation &ch = hall.start("02");
    QVERIFY(ch->ekrany().PostroitKartuMest());
    QVERIFY(zapros(hall, "05"));
    QVERIFY(zapros(hall, "12"));
    ch.monitor();

    // A real click on the yellow name field.
    QTest::mouseClick(ch->karta().MestoLeibl[5], Qt::LeftButton);
    QCOMPARE(zaprosov(hall, "05"), 0);
    QCOMPARE(zaprosov(hall, "12"), 1);
    QCOMPARE(fon(ch->karta().MestoLeibl[5]), QColor(255, 255, 255));

    // A field that is not yellow (not refreshed yet) grants nothing.
    QVERIFY(zapros(hall, "07"));
    ch->karta().ClickFIOLabel(7);
    QCOMPARE(zaprosov(hall, "07"), 1);

    // The operator grants the same way; a failure is reported and the colour kept.
    Workstation &console = hall.start("admin1");
    QVERIFY(console->ekrany().PostroitKartuMest());
    console.monitor();
    QSqlQuery q(hall.db().database());
    QVERIFY(q.exec("ALTER TABLE proshu_slovo RENAME TO proshu_slovo_old"));
    console->karta().ClickFIOLabel(12);
    QCOMPARE(console.messages(), QStringList{QStringLiteral("Ошибка при предоставлении слова!")});
    QCOMPARE(fon(console->karta().MestoLeibl[12]), QColor(255, 255, 0));
}

void TestKartaMest::failingBuildReportsAndStops()
{
    TestHall hall;
    QVERIFY(aktivirovat(hall));
    Workstation &ch = hall.start("02");
    QSqlQuery q(hall.db().database());
    QVERIFY(q.exec("ALTER TABLE konstanti RENAME TO konstanti_old"));
    ch->FormActivate();
    QCOMPARE(ch.messages().size(), 1);
    QCOMPARE(ch.dialogs.shown.first().caption, QStringLiteral("Ошибка"));
    // The seats built so far stay, the monitor is not started.
    QVERIFY(ch->karta().MestoLeibl[5]);
    QVERIFY(!ch->TaimerProverkaPodklucheniy()->isEnabled());
}

QTEST_MAIN(TestKartaMest)
#include "test_kartamest.moc"
