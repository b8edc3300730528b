// Secret votes stay secret: the same ballots cast through the hall's terminals in a secret and
// in an open vote. After the secret one no screen of the console, the chairman or the watcher,
// no status file, board or minute tells how a seat voted; after the open one they all do.
// Also the quorum question the console asks before a vote without a quorum.
#include "golosovanie_fixture.h"

#include "core/cveta.h"
#include "hall/golosovanie_panel.h"
#include "support/protokol.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

using namespace golostest;

namespace {

// Pixels in a ballot colour on the seat map (but its legend) and the results board: the parts
// of a screen that show the hall (the voting panel's buttons and the document button carry
// those colours whatever was chosen).
int pikseliVybora(Workstation &ws)
{
    WindowView *g = ws.window();
    const QImage img = g->glav()->grab().toImage();
    QList<QRect> gde;
    for (QWidget *w : {g->ob().PanelSprava, g->ob().PanelTabloGolos})
        if (w->isVisibleTo(g->glav()))
            gde << QRect(w->mapTo(g->glav(), QPoint(0, 0)), w->size());
    QList<QRect> krome;
    for (QWidget *w : g->karta().Legenda)
        if (w)
            krome << QRect(w->mapTo(g->glav(), QPoint(0, 0)), w->size());
    const QList<QRgb> vybory{cvet::Za().rgb(), cvet::Protiv().rgb(), cvet::Vozderzhalsya().rgb()};
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!vybory.contains(img.pixel(x, y) | 0xff000000u))
                continue;
            bool schitat = false;
            for (const QRect &r : gde)
                schitat = schitat || r.contains(x, y);
            for (const QRect &r : krome)
                schitat = schitat && !r.contains(x, y);
            n += schitat;
        }
    return n;
}

}  // namespace

class TestTainoe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secretVoteShowsNoChoice_data();
    void secretVoteShowsNoChoice();
    void startWithoutQuorumAsks();
};

void TestTainoe::secretVoteShowsNoChoice_data()
{
    QTest::addColumn<int>("vid");
    QTest::newRow("secret") << 1;
    QTest::newRow("open") << 0;
    QTest::newRow("roll-call") << 2;
}

void TestTainoe::secretVoteShowsNoChoice()
{
    QFETCH(int, vid);
    const bool tainoe = vid == 1;
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    ZalGotov zal;
    QVERIFY(zalGotov(hall, &zal));
    const int meeting = zal.meeting;

    Workstation &console = hall.start(QStringLiteral("admin1"));
    Workstation &chairman = hall.start(QStringLiteral("02"));
    Workstation &d3 = hall.start(QStringLiteral("03"));
    Workstation &d4 = hall.start(QStringLiteral("04"));
    Workstation &d5 = hall.start(QStringLiteral("05"));
    Workstation &watcher = hall.start(QStringLiteral("watcher"));
    const QList<Workstation *> screens{&console, &chairman, &watcher};
    chairman->FormActivate();
    console->FormActivate();
    hall.second(2);

    int id = 0;
    auto proverit = [&](const char *kogda) {
        hall.poll();
        hall.monitor();
        for (Workstation *ws : {&console, &chairman}) {
            for (int seat = 2; seat <= 5; ++seat) {
                const QColor c = cvetFona((*ws)->karta().MestoLeibl[seat]);
                if (tainoe)
                    QCOMPARE(c, cvet::Progolosoval());
                else
                    QCOMPARE(c, seat == 4 ? cvet::Protiv() : seat == 5 ? cvet::Vozderzhalsya() : cvet::Za());
            }
            // The by-seat choices were not even read.
            QCOMPARE((*ws)->karta().ZaprosGolos->isOpen(), !tainoe);
            const QString status = (*ws)->OpisanieEkrana();
            const QString seats = status.section(QStringLiteral("seat_names="), 1).section(QLatin1Char('\n'), 0, 0);
            QCOMPARE(seats.mid(1, 4), tainoe ? QStringLiteral("VVVV") : QStringLiteral("3345"));
        }
        QCOMPARE(pikseliVybora(watcher), 0);  // no seat map: the board has numbers only
        for (Workstation *ws : {&console, &chairman}) {
            const int n = pikseliVybora(*ws);
            QVERIFY2(tainoe ? n == 0 : n > 0,
                     qPrintable(QStringLiteral("%1 %2: %3 pixels").arg(QLatin1String(kogda), (*ws)->LoginMesta()).arg(n)));
        }
    };

    onSetup(console, [&](TGolosovanieForma *f) {
        f->VidKnopki[vid]->click();
        f->Vremya->setValue(10);
        f->KnopkaGolosovanieClick();
        id = f->IdGolosovania();
        QVERIFY(id > 0);
    });
    onProgress(console, [&](TProcessGolos2Forma *p) {
        hall.poll();
        chairman->panel().KnopkiGolosovania->ZaKnopkaClick();
        d3->panel().KnopkiGolosovania->ZaKnopkaClick();
        d4->panel().KnopkiGolosovania->ProtivKnopkaClick();
        d5->panel().KnopkiGolosovania->VosdKnopkaClick();
        proverit("during the vote");
        p->KnopkaStopGolosClick();
    });
    onSetup(console, [&](TGolosovanieForma *) {
        proverit("on the results");
        for (Workstation *ws : screens)
            snimok(ws->glav(), QStringLiteral("%1-%2").arg(QString::fromLatin1(QTest::currentDataTag()), (*ws)->LoginMesta()));
        // Totals only, the same whatever the kind.
        for (Workstation *ws : screens) {
            QCOMPARE((*ws)->tablo().Za->text() + (*ws)->tablo().Protiv->text() + (*ws)->tablo().Vosd->text() + (*ws)->tablo().Golosov->text(),
                     QStringLiteral("2114"));
            QCOMPARE((*ws)->tablo().LeiblKvorum->text(), QStringLiteral("Кворум есть"));
        }
    });
    console->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(id > 0);
    QCOMPARE(console.messages(), QStringList());

    // The ballots themselves still name their deputies, one each.
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(DISTINCT id_deputat) FROM otvet WHERE id_golosovanie=%1").arg(id)), 4);

    // The minutes, both layouts: the voters' names only for a vote that is not secret.
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET stop=GETDATE() WHERE id=%1").arg(meeting)));
    const QString tekst = protokolTekst(hall.db(), meeting);
    QVERIFY2(!tekst.startsWith(QLatin1Char('<')), qPrintable(tekst));
    for (const char *seat : {"03", "04", "05"}) {
        const QString familia = hall.scalar(QStringLiteral("SELECT familia FROM deputat WHERE id=%1")
                                                .arg(hall.deputyAt(QString::fromLatin1(seat))))
                                    .toString();
        QVERIFY(!familia.isEmpty());
        QCOMPARE(tekst.contains(familia), !tainoe);
    }
    QVERIFY(tekst.contains(QStringLiteral("        ЗА - 2  ПРОТИВ - 1  ВОЗД - 1")));
    QVERIFY(tekst.contains(QStringLiteral("          КВОРУМ - 4 - Кворум есть")));
    const QString golova = hall.scalar(QStringLiteral("SELECT hash FROM zhurnal WHERE id = (SELECT MAX(id) FROM zhurnal "
                                                      "WHERE id_golosovanie = %1)")
                                           .arg(id))
                               .toString();
    QCOMPARE(golova.size(), 64);
    QCOMPARE(tekst.count(QStringLiteral("        Журнал: ") + golova), 2);
}

void TestTainoe::startWithoutQuorumAsks()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int meeting = hall.demoMeeting();
    QVERIFY(hall.activateItem(itemId(hall, QStringLiteral("Вопрос 1"))));
    const int period = hall.openPeriod(meeting);
    QVERIFY(hall.registerDeputy(hall.deputyAt(QStringLiteral("03")), period, meeting));
    Workstation &console = hall.start(QStringLiteral("admin1"));
    console->FormActivate();
    hall.second();
    const int golosovanii = hall.scalarInt(QStringLiteral("SELECT count(*) FROM golosovanie"));

    // 1 present (03; the chairman's terminal is not up) against the stored 14: asked; "No"
    // starts nothing.
    onSetup(console, [&](TGolosovanieForma *f) {
        console.dialogs.answers.enqueue(Dialogs::No);
        f->KnopkaGolosovanieClick();
        QCOMPARE(f->IdGolosovania(), -1);
        QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM golosovanie")), golosovanii);
        QCOMPARE(console.dialogs.shown.size(), 1);
        const auto &q = console.dialogs.shown.first();
        QCOMPARE(q.text, QStringLiteral("Кворума нет: присутствует 1 при кворуме 14.\n\rНачать голосование?"));
        QCOMPARE(q.icon, Dialogs::Question);
        QCOMPARE(q.defaultButton, Dialogs::Yes);
        // A quorum that is not a number gives no verdict and asks nothing.
        QVERIFY(hall.exec(QStringLiteral("UPDATE konstanti SET znachenie = 'половина' WHERE opisanie LIKE 'Кворум'")));
        console.dialogs.shown.clear();
        f->KnopkaGolosovanieClick();
        QVERIFY(f->IdGolosovania() > 0);
        QVERIFY(console.dialogs.shown.isEmpty());
    });
    onProgress(console, [](TProcessGolos2Forma *p) { p->KnopkaStopGolosClick(); });
    onSetup(console, [](TGolosovanieForma *) {});
    console->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM golosovanie")), golosovanii + 1);
}

QTEST_MAIN(TestTainoe)
#include "test_tainoe.moc"
