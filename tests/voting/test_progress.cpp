// The console's vote progress: live counts, the countdown in the mode row, the natural and
// the early end, results and speaker queue, the saved duration, and the recovery from a
// failure while the vote runs.
#include "golosovanie_fixture.h"

#include "db/inifile.h"
#include "hall/golosovanie_panel.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

using namespace golostest;

namespace {

struct Zal {
    TestHall hall;
    int item = 0;
    int period = -1;
    Workstation *console = nullptr;

    Zal()
    {
        item = itemId(hall, QStringLiteral("Вопрос 1"));
        hall.activateItem(item);
        period = hall.openPeriod(hall.demoMeeting());
        for (const char *seat : {"03", "04", "05", "06"})
            hall.registerDeputy(hall.deputyAt(QString::fromLatin1(seat)), period, hall.demoMeeting());
        // A quorum the small hall reaches (the question asked without one is tested apart).
        hall.exec(QStringLiteral("UPDATE konstanti SET znachenie = '1' WHERE opisanie LIKE 'Кворум'"));
        console = &hall.start(QStringLiteral("admin1"));
    }

    bool ballot(const char *seat, int vote, int result)
    {
        const int dep = hall.deputyAt(QString::fromLatin1(seat));
        return hall.exec(QStringLiteral("DELETE FROM otvet WHERE (id_deputat=%1) AND (id_golosovanie=%2)").arg(dep).arg(vote))
               && hall.exec(QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) "
                                           "VALUES (%1,%2,%3,%4)").arg(dep).arg(item).arg(result).arg(vote));
    }
};

// Starts a vote of `sekund` seconds from the set-up dialog and keeps the dialog in `forma`.
void start(Workstation &console, int sekund, TGolosovanieForma **forma)
{
    onSetup(console, [=](TGolosovanieForma *f) {
        *forma = f;
        f->Vremya->setValue(sekund);
        f->KnopkaGolosovanieClick();
        QVERIFY(f->GolosovanieIdet() || f->Timer1->isActive());
    });
}

QStringList counts(const TProcessGolos2Forma *p)
{
    return {p->VsegoLeibl->text(), p->ZaLeibl->text(), p->ProtivLeibl->text(), p->VosdLeibl->text()};
}

}  // namespace

class TestProgress : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowAtTheStart();
    void naturalEndOfATenSecondVote();
    void liveCounts();
    void earlyEnd();
    void refusesToCloseDuringTheVote();
    void severalVotesFromOneDialog();
    void failedTickSkipsTheRestOfTheTick();
    void countdownGoesOnUnderTheBox();
    void failedCountQuery();
    void failedResultsWrite();
    void realModalLoops();
};

void TestProgress::windowAtTheStart()
{
    Zal z;
    QVERIFY2(z.hall.ok(), qPrintable(z.hall.error()));
    TGolosovanieForma *f = nullptr;
    start(*z.console, 30, &f);
    bool seen = false;
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        seen = true;
        QCOMPARE(p, z.console->window()->konsol().ProcessGolos2Forma);
        QCOMPARE(p->windowTitle(), QStringLiteral("Идет голосование ..."));
        QCOMPARE(p->KnopkaStopGolos->text(), QStringLiteral("Завершить голосование"));
        QVERIFY(!p->MozhnoZakrit());
        QCOMPARE(p->size(), QSize(361, 246));
        QCOMPARE(p->pos(), QPoint(1280 - 361, 0));
        QCOMPARE(p->KnopkaStopGolos->size(), QSize(225, 33));
        QCOMPARE(p->RegimLeibl->text(), QStringLiteral("Режим: Принятие закона"));
        QCOMPARE(p->PrisutLeibl->text(), QStringLiteral("Присутствует: 4"));
        QCOMPARE(p->NuznoLeil->text(), QStringLiteral("Для принятия решения необходимо: 14"));
        QCOMPARE(counts(p), (QStringList{QStringLiteral("Всего проголосовало: 0"), QStringLiteral("За: 0"),
                                         QStringLiteral("Против: 0"), QStringLiteral("Воздержалось: 0")}));
        const QList<QLabel *> leibly{p->RegimLeibl, p->PrisutLeibl, p->VsegoLeibl, p->NuznoLeil,
                                     p->ZaLeibl,    p->ProtivLeibl, p->VosdLeibl};
        for (int i = 0; i < leibly.size(); ++i) {
            QCOMPARE(leibly[i]->font().pixelSize(), 16);
            QVERIFY(leibly[i]->font().bold());
            if (i > 0)
                QCOMPARE(leibly[i]->y() - leibly[i - 1]->y(), 25);
        }
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(seen);
}

void TestProgress::naturalEndOfATenSecondVote()
{
    Zal z;
    // Two pending speaker requests: the vote's end drops them.
    QVERIFY(z.hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) SELECT id FROM mesto WHERE nomer IN ('05','12')")));
    TGolosovanieForma *f = nullptr;
    start(*z.console, 10, &f);
    QStringList rows;
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        const int id = f->IdGolosovania();
        rows << mode(z.hall);
        for (int i = 0; i < 10; ++i) {
            f->Timer1Timer();
            rows << mode(z.hall);
        }
        QVERIFY(!f->Timer1->isActive());
        QVERIFY(p->MozhnoZakrit());
        // The last second wrote the end, the result and the empty speaker queue; further
        // ticks change nothing.
        f->Timer1Timer();
        QCOMPARE(mode(z.hall), QStringLiteral("4/%1/15").arg(id));
        QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo")), 0);
    });
    QString afterwards;
    int offered = 0;
    onSetup(*z.console, [&](TGolosovanieForma *g) {
        afterwards = mode(z.hall);
        QCOMPARE(g, f);  // the same dialog is back
        QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo")), 0);
        QCOMPARE(z.console->setting(QStringLiteral("Golosovanie"), QStringLiteral("Vremya")), QStringLiteral("10"));
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();

    const int id = z.hall.scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie"));
    QStringList expected{QStringLiteral("2/%1/10").arg(id)};
    for (int s = 9; s >= 1; --s)
        expected << QStringLiteral("2/%1/%2").arg(id).arg(s);
    expected << QStringLiteral("4/%1/15").arg(id);
    QCOMPARE(rows, expected);
    QCOMPARE(afterwards, QStringLiteral("4/%1/15").arg(id));
    QVERIFY(z.console->dialogs.shown.isEmpty());

    // The next dialog offers the duration just used.
    onSetup(*z.console, [&](TGolosovanieForma *g) { offered = g->Vremya->value(); });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(offered, 10);
}

void TestProgress::liveCounts()
{
    Zal z;
    TGolosovanieForma *f = nullptr;
    start(*z.console, 60, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        const int id = f->IdGolosovania();
        f->Timer1Timer();
        QCOMPARE(counts(p), (QStringList{QStringLiteral("Всего проголосовало: 0"), QStringLiteral("За: 0"),
                                         QStringLiteral("Против: 0"), QStringLiteral("Воздержалось: 0")}));
        z.ballot("03", id, 1);
        z.ballot("04", id, 1);
        z.ballot("05", id, 3);
        f->Timer1Timer();
        QCOMPARE(counts(p), (QStringList{QStringLiteral("Всего проголосовало: 3"), QStringLiteral("За: 2"),
                                         QStringLiteral("Против: 0"), QStringLiteral("Воздержалось: 1")}));
        z.ballot("04", id, 2);
        z.ballot("06", id, 2);
        // A ballot of another vote does not count.
        z.ballot("03", id + 100, 2);
        f->Timer1Timer();
        QCOMPARE(counts(p), (QStringList{QStringLiteral("Всего проголосовало: 4"), QStringLiteral("За: 1"),
                                         QStringLiteral("Против: 2"), QStringLiteral("Воздержалось: 1")}));
        QCOMPARE(f->OstalosSekund(), 57);
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
}

void TestProgress::earlyEnd()
{
    Zal z;
    TGolosovanieForma *f = nullptr;
    start(*z.console, 60, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        for (int i = 0; i < 20; ++i)
            f->Timer1Timer();
        const QString before = mode(z.hall);
        QCOMPARE(before, QStringLiteral("2/%1/40").arg(f->IdGolosovania()));
        p->KnopkaStopGolos->click();
        QVERIFY(p->MozhnoZakrit());
        // The press writes the result at once, straight from the vote.
        QCOMPARE(mode(z.hall), QStringLiteral("4/%1/15").arg(f->IdGolosovania()));
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    const int id = z.hall.scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie"));
    QCOMPARE(mode(z.hall), QStringLiteral("4/%1/15").arg(id));
    QCOMPARE(z.console->setting(QStringLiteral("Golosovanie"), QStringLiteral("Vremya")), QStringLiteral("60"));
}

void TestProgress::refusesToCloseDuringTheVote()
{
    Zal z;
    TProcessGolos2Forma *p = z.console->window()->konsol().ProcessGolos2Forma;
    QVERIFY(p);
    p->setMozhnoZakrit(false);
    p->show();
    QVERIFY(p->isVisible());
    p->close();
    QVERIFY(p->isVisible());
    QTest::keyClick(p, Qt::Key_Escape);
    QVERIFY(p->isVisible());
    p->KnopkaStopGolosClick();
    QVERIFY(!p->isVisible());
}

void TestProgress::severalVotesFromOneDialog()
{
    Zal z;
    TGolosovanieForma *f = nullptr;
    start(*z.console, 10, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) { p->KnopkaStopGolosClick(); });
    onSetup(*z.console, [&](TGolosovanieForma *g) {
        // A deputy registers between the votes: the dialog keeps the count it opened with.
        z.hall.registerDeputy(z.hall.deputyAt(QStringLiteral("07")), z.period, z.hall.demoMeeting());
        g->RegimZapros->setCurrentRow(1);
        g->KnopkaGolosovanieClick();
    });
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        QCOMPARE(p->NuznoLeil->text(), QStringLiteral("Для принятия решения необходимо: 3"));
        QCOMPARE(counts(p).first(), QStringLiteral("Всего проголосовало: 0"));
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    ResultSet rs;
    QVERIFY(z.hall.db().query(QStringLiteral("SELECT prisutstvuet,regim_polsov,nuzno FROM golosovanie ORDER BY id"), &rs));
    QCOMPARE(rs.rowCount(), 2);
    QCOMPARE(rs.value(0, 0).toInt(), 4);
    QCOMPARE(rs.value(1, 0).toInt(), 4);
    QCOMPARE(rs.value(1, 1).toString(), QStringLiteral("Процедурные вопросы"));
    QCOMPARE(rs.value(1, 2).toInt(), 3);
    QCOMPARE(shownCount(*z.console, "TProcessGolos2Forma"), 2);
}

// Writes of the seconds left refused for a while (another workstation's lock): each failed
// tick skips the rest of that tick and makes the vote a second longer; the operator is told
// once; the timer, the vote and the console go on, and ballots are still taken and counted.
void TestProgress::failedTickSkipsTheRestOfTheTick()
{
    Zal z;
    QVERIFY(failWhen(z.hall, QStringLiteral("regim"), QStringLiteral("UPDATE"), QStringLiteral("NEW.param2 = 7")));
    Workstation &d = z.hall.start(QStringLiteral("05"));
    QVERIFY(d.started());
    TGolosovanieForma *f = nullptr;
    start(*z.console, 10, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        // The main window's timers run inside the box, as in Qt's modal loop.
        z.console->dialogs.whileShown = [&] { z.console->second(); };
        for (int i = 0; i < 6; ++i)
            f->Timer1Timer();
        QCOMPARE(mode(z.hall), QStringLiteral("2/%1/8").arg(f->IdGolosovania()));
        QCOMPARE(f->OstalosSekund(), 8);
        QVERIFY(f->Timer1->isActive());
        QVERIFY(!p->MozhnoZakrit());
        QCOMPARE(z.console->dialogs.shown.size(), 1);
        QVERIFY(!z.console->window()->GlavBasa().hasErrors());
        QVERIFY(!z.console->ended());
        // The hall is still voting: a press is taken.
        d.poll();
        QVERIFY(!d->ob().PanelGolosovanie->isHidden());
        QVERIFY(d->panel().KnopkiGolosovania->Golos(TKnopkiGolosovania::Za));
        QVERIFY(stopFailing(z.hall));
        for (int i = 0; i < 8; ++i)
            f->Timer1Timer();
        QVERIFY(!f->Timer1->isActive());
        QVERIFY(p->MozhnoZakrit());
        QCOMPARE(p->ZaLeibl->text(), QStringLiteral("За: 1"));
        z.console->dialogs.whileShown = nullptr;
    });
    bool back = false;
    onSetup(*z.console, [&](TGolosovanieForma *) { back = true; });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(back);
    QCOMPARE(mode(z.hall), QStringLiteral("4/%1/15").arg(f->IdGolosovania()));
    QCOMPARE(z.console->dialogs.shown.size(), 1);
    const FakeDialogs::Shown &s = z.console->dialogs.shown.first();
    QVERIFY2(s.text.startsWith(QStringLiteral("Ошибка при проведении голосования!\n\r\n\r")), qPrintable(s.text));
    QVERIFY(s.text.contains(QStringLiteral("injected failure")));
    QCOMPARE(s.caption, QStringLiteral("Ошибка"));
    QCOMPARE(s.icon, Dialogs::Error);
    z.console->second(2);
    QVERIFY(!z.console->ended());
}

// The operator does not close the failure's box at once: the countdown goes on under it, so
// the vote still ends on time.
void TestProgress::countdownGoesOnUnderTheBox()
{
    Zal z;
    QVERIFY(failWhen(z.hall, QStringLiteral("regim"), QStringLiteral("UPDATE"), QStringLiteral("NEW.param2 = 7")));
    TGolosovanieForma *f = nullptr;
    start(*z.console, 10, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        int podOknom = -1;
        z.console->dialogs.whileShown = [&] {
            // The box's event loop runs the countdown's own timer.
            QVERIFY(stopFailing(z.hall));
            for (int i = 0; i < 3; ++i)
                f->Timer1Timer();
            podOknom = f->OstalosSekund();
        };
        for (int i = 0; i < 3; ++i)
            f->Timer1Timer();  // 9, 8, then 7 refused: the box, and under it 7, 6, 5
        QCOMPARE(podOknom, 5);
        QCOMPARE(mode(z.hall), QStringLiteral("2/%1/5").arg(f->IdGolosovania()));
        QCOMPARE(z.console->dialogs.shown.size(), 1);
        z.console->dialogs.whileShown = nullptr;
        for (int i = 0; i < 5; ++i)
            f->Timer1Timer();
        QVERIFY(p->MozhnoZakrit());
    });
    bool back = false;
    onSetup(*z.console, [&](TGolosovanieForma *) { back = true; });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(back);
    QCOMPARE(mode(z.hall), QStringLiteral("4/%1/15").arg(f->IdGolosovania()));
    QCOMPARE(z.console->dialogs.shown.size(), 1);
}

void TestProgress::failedCountQuery()
{
    Zal z;
    TGolosovanieForma *f = nullptr;
    start(*z.console, 10, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        f->Timer1Timer();
        QVERIFY(sqlite(z.hall, QStringLiteral("ALTER TABLE otvet RENAME TO otvet_away")));
        f->Timer1Timer();
        f->Timer1Timer();
        // The countdown did not go on and the hall is still in the vote.
        QCOMPARE(mode(z.hall), QStringLiteral("2/%1/9").arg(f->IdGolosovania()));
        QVERIFY(f->Timer1->isActive());
        QVERIFY(!p->MozhnoZakrit());
        QVERIFY(sqlite(z.hall, QStringLiteral("ALTER TABLE otvet_away RENAME TO otvet")));
        f->Timer1Timer();
        QCOMPARE(mode(z.hall), QStringLiteral("2/%1/8").arg(f->IdGolosovania()));
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(z.console->dialogs.shown.size(), 1);
    QVERIFY(z.console->dialogs.lastText().startsWith(QStringLiteral("Ошибка при проведении голосования!")));
    z.console->second();
    QVERIFY(!z.console->ended());
}

// The result write refused (a lock held across the end): the progress window stays, the end
// is tried again every second and goes in once the lock is gone; the hall is never left in a
// vote without a countdown, and ballots cast until then are counted.
void TestProgress::failedResultsWrite()
{
    Zal z;
    QVERIFY(failWhen(z.hall, QStringLiteral("regim"), QStringLiteral("UPDATE"), QStringLiteral("NEW.nomer = 4")));
    TGolosovanieForma *f = nullptr;
    start(*z.console, 10, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        for (int i = 0; i < 10; ++i)
            f->Timer1Timer();
        // The countdown has ended: idle is written, the result is not.
        QCOMPARE(mode(z.hall), QStringLiteral("-1/%1/0").arg(f->IdGolosovania()));
        QVERIFY(f->Timer1->isActive());
        QVERIFY(!p->MozhnoZakrit());
        f->Timer1Timer();
        QVERIFY(!p->MozhnoZakrit());
        QVERIFY(stopFailing(z.hall));
        f->Timer1Timer();
        QVERIFY(p->MozhnoZakrit());
        QVERIFY(!f->Timer1->isActive());
    });
    bool back = false;
    onSetup(*z.console, [&](TGolosovanieForma *) {
        back = true;
        QCOMPARE(mode(z.hall), QStringLiteral("4/%1/15").arg(f->IdGolosovania()));
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(back);
    QCOMPARE(z.console->dialogs.shown.size(), 1);
    QVERIFY(z.console->dialogs.lastText().startsWith(QStringLiteral("Ошибка при проведении голосования!")));
    z.console->second();
    QVERIFY(!z.console->ended());

    // Ended by the operator while the result write is refused: the same.
    QVERIFY(failWhen(z.hall, QStringLiteral("regim"), QStringLiteral("UPDATE"), QStringLiteral("NEW.nomer = 4")));
    start(*z.console, 30, &f);
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        f->Timer1Timer();
        p->KnopkaStopGolosClick();
        QVERIFY(!p->MozhnoZakrit());
        QCOMPARE(mode(z.hall), QStringLiteral("2/%1/29").arg(f->IdGolosovania()));
        QVERIFY(stopFailing(z.hall));
        f->Timer1Timer();
        QVERIFY(p->MozhnoZakrit());
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(mode(z.hall), QStringLiteral("4/%1/15").arg(f->IdGolosovania()));
}

// The same road through Qt's own modal loops: the start ends the set-up dialog's loop, the
// progress window's loop runs the vote, and the set-up dialog comes back for the next step.
void TestProgress::realModalLoops()
{
    Zal z;
    QtDialogs qtDialogs;
    FakePlatform platform(z.hall.dir() + QStringLiteral("/real"));
    QDir().mkpath(platform.dir);
    platform.args = QStringList{QStringLiteral("auto"), QStringLiteral("embedded"), z.hall.dbPath(), QStringLiteral("admin1")};
    TGlavForma glav(&qtDialogs, &platform, fabrikaZala());
    TKonsolEkran &konsol = static_cast<TEkranyZala &>(glav.ekrany()).konsol;
    glav.setRuchnyeTiki(true);
    QVERIFY(glav.Zapusk());

    QStringList steps;
    int setupShown = 0;
    QTimer driver;
    driver.setInterval(10);
    connect(&driver, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *f = qobject_cast<TGolosovanieForma *>(modal)) {
            if (!f->isVisible())
                return;
            ++setupShown;
            if (setupShown == 1) {
                steps << QStringLiteral("setup");
                f->Vremya->setValue(10);
                f->KnopkaGolosovanie->click();
            } else if (setupShown == 2) {
                steps << QStringLiteral("setup again ") + mode(z.hall).section(QLatin1Char('/'), 0, 0);
                f->KnopkaZakrit->click();
            }
        } else if (auto *p = qobject_cast<TProcessGolos2Forma *>(modal)) {
            if (!p->isVisible() || p->MozhnoZakrit())
                return;
            steps << QStringLiteral("progress");
            auto *f = glav.findChild<TGolosovanieForma *>();
            QVERIFY(f && f->isHidden());
            p->close();  // refused while the vote runs
            QVERIFY(p->isVisible());
            for (int i = 0; i < 10; ++i)
                f->Timer1Timer();
        }
    });
    driver.start();
    // Whatever happens, no modal loop outlives the test.
    QTimer::singleShot(20000, this, [] {
        while (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
    glav.ekrany().OtkrytNastroikuGolosovania();
    driver.stop();
    QCOMPARE(steps, (QStringList{QStringLiteral("setup"), QStringLiteral("progress"), QStringLiteral("setup again 4")}));
    QVERIFY(!glav.findChild<TGolosovanieForma *>());  // destroyed once closed
    QVERIFY(!konsol.ProcessGolos2Forma->isVisible());
}

QTEST_MAIN(TestProgress)
#include "test_progress.moc"
