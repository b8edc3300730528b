// A whole hall through two votes: the console sets the votes up and runs them, the deputies
// and the chairman vote from their terminals, and every screen shows the same counts and the
// decision the required-votes rule gives.
//
// With VOTER_SCREENS set to a folder, the screens are also saved there as PNG files.
#include "golosovanie_fixture.h"

#include "core/cveta.h"
#include "hall/golosovanie_panel.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

using namespace golostest;

namespace {

// "za/protiv/vosd/golosovalo" from the ballots stored for the vote.
QString izBazy(TestHall &hall, int vote)
{
    int po[4] = {0, 0, 0, 0};
    ResultSet rs;
    hall.db().query(QStringLiteral("SELECT result, count(*) FROM otvet WHERE id_golosovanie = %1 GROUP BY result").arg(vote),
                    &rs);
    for (int r = 0; r < rs.rowCount(); ++r) {
        const int kod = rs.value(r, 0).toInt();
        if (kod >= 1 && kod <= 3)
            po[kod] = rs.value(r, 1).toInt();
    }
    return QStringLiteral("%1/%2/%3/%4").arg(po[1]).arg(po[2]).arg(po[3]).arg(po[1] + po[2] + po[3]);
}

QString naTablo(Workstation &ws)
{
    return QStringLiteral("%1/%2/%3/%4").arg(ws->tablo().Za->text(), ws->tablo().Protiv->text(), ws->tablo().Vosd->text(), ws->tablo().Golosov->text());
}

QString vKonsoli(const TProcessGolos2Forma *p)
{
    auto chislo = [](const QLabel *l) { return l->text().section(QStringLiteral(": "), 1); };
    return QStringLiteral("%1/%2/%3/%4")
        .arg(chislo(p->ZaLeibl), chislo(p->ProtivLeibl), chislo(p->VosdLeibl), chislo(p->VsegoLeibl));
}

}  // namespace

class TestZal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void twoVotesThroughTheWholeHall();
};

void TestZal::twoVotesThroughTheWholeHall()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    // Seats 03, 04 and 05 registered; 06 is not. The quorum the four present reach: the
    // console asks nothing before the votes.
    ZalGotov zal;
    QVERIFY(zalGotov(hall, &zal));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) SELECT id FROM mesto WHERE nomer IN ('04','12')")));

    // Every write of the mode row, in order.
    QVERIFY(sqlite(hall, QStringLiteral("CREATE TABLE regim_log (n INTEGER PRIMARY KEY AUTOINCREMENT, nomer INTEGER, "
                                        "param1 INTEGER, param2 INTEGER)")));
    QVERIFY(sqlite(hall, QStringLiteral("CREATE TRIGGER regim_pishem AFTER UPDATE ON regim BEGIN INSERT INTO regim_log "
                                        "(nomer,param1,param2) VALUES (NEW.nomer,NEW.param1,NEW.param2); END")));

    Workstation &console = hall.start(QStringLiteral("admin1"));
    Workstation &chairman = hall.start(QStringLiteral("02"));
    Workstation &d3 = hall.start(QStringLiteral("03"));
    Workstation &d4 = hall.start(QStringLiteral("04"));
    Workstation &d5 = hall.start(QStringLiteral("05"));
    Workstation &d6 = hall.start(QStringLiteral("06"));
    Workstation &watcher = hall.start(QStringLiteral("watcher"));
    QList<Workstation *> all{&console, &chairman, &d3, &d4, &d5, &d6, &watcher};
    for (Workstation *ws : all)
        QVERIFY2(ws->started() && !ws->ended(), qPrintable(ws->platform.args.join(QLatin1Char(' '))));
    QList<Workstation *> voters{&chairman, &d3, &d4, &d5};
    chairman->FormActivate();
    console->FormActivate();
    hall.second(2);

    // Vote 1: a third of those present (P = 4: N = 2); two "for" reach it exactly.
    // Vote 2: the majority of those present (N = 3); the same two "for" fall one short.
    struct Golosovanie {
        int pravilo;
        int nuzno;
        const char *reshenie;
    };
    const Golosovanie golosovania[2] = {{5, 2, "РЕШЕНИЕ ПРИНЯТО"}, {0, 3, "РЕШЕНИЕ НЕ ПРИНЯТО"}};
    int round = 0;
    QStringList modes[2];
    int ids[2] = {0, 0};
    TGolosovanieForma *forma = nullptr;

    auto nachat = [&](TGolosovanieForma *f) {
        forma = f;
        f->Regim[golosovania[round].pravilo]->click();
        f->Vremya->setValue(10);
        if (round == 0)
            snimok(f, QStringLiteral("01-setup-dialog"));
        f->KnopkaGolosovanieClick();
        ids[round] = f->IdGolosovania();
        QVERIFY(ids[round] > 0);
        QCOMPARE(f->NuznoGolosov(), golosovania[round].nuzno);
    };

    auto golosovanie = [&](TProcessGolos2Forma *p) {
        const int id = ids[round];
        modes[round] << mode(hall);
        hall.poll();
        // Registered deputies and the chairman see the panel; the unregistered deputy and the
        // watcher do not; the console has it under its frame.
        for (Workstation *ws : voters)
            QVERIFY(!(*ws)->ob().PanelGolosovanie->isHidden());
        QVERIFY(d6->ob().PanelGolosovanie->isHidden());
        QVERIFY(watcher->ob().PanelGolosovanie->isHidden());
        QVERIFY(!watcher->ob().Gerb->isHidden());
        QVERIFY(!console->ob().PanelGolosovanie->isHidden());
        QCOMPARE(console->ob().LeiblRegim->text(), QStringLiteral("Принятие закона"));

        // Chairman by the keypad, 03 for, 04 for and then against, 05 abstains; 06 tries the keypad.
        QTest::keyRelease(chairman.glav(), Qt::Key_PageUp, Qt::KeypadModifier);
        d3->panel().KnopkiGolosovania->ZaKnopkaClick();
        d4->panel().KnopkiGolosovania->ZaKnopkaClick();
        hall.poll();
        d4->panel().KnopkiGolosovania->ProtivKnopkaClick();
        d5->panel().KnopkiGolosovania->VosdKnopkaClick();
        QTest::keyRelease(d6.glav(), Qt::Key_PageUp, Qt::KeypadModifier);
        QCOMPARE(izBazy(hall, id), QStringLiteral("2/1/1/4"));

        for (int s = 0; s < 10; ++s) {
            forma->Timer1Timer();
            modes[round] << mode(hall);
            // The console's live counts are the stored ballots.
            QCOMPARE(vKonsoli(p), izBazy(hall, id));
            if (s < 9) {
                hall.second();
                for (Workstation *ws : {&console, &chairman, &d3, &watcher})
                    QCOMPARE((*ws)->ob().LeiblKolGolosov->text(), QStringLiteral("Проголосовало: 4"));
                QCOMPARE(d3->ob().LeiblVremya->text(), QStringLiteral("Осталось 0 мин %1 сек").arg(9 - s));
            }
            if (round == 0 && s == 4) {
                snimok(d4.glav(), QStringLiteral("02-deputy-voting-panel"));
                snimok(p, QStringLiteral("03-console-progress"));
                hall.monitor();
                // The seat map shows the ballots while the vote runs.
                QCOMPARE(cvetFona(chairman->karta().MestoLeibl[4]), cvet::Protiv());
                QCOMPARE(cvetFona(chairman->karta().MestoLeibl[6]), cvet::NeZaregistrirovan());
            }
        }
        QVERIFY(p->MozhnoZakrit());
    };

    auto rezultat = [&](TGolosovanieForma *f) {
        const int id = ids[round];
        modes[round] << mode(hall);
        hall.poll();
        hall.monitor();
        const QString ozhidaemo = izBazy(hall, id);
        QCOMPARE(ozhidaemo, QStringLiteral("2/1/1/4"));
        // The unregistered deputy keeps the start screen; its board is not shown.
        QVERIFY(!d6->ob().PanelStart->isHidden());
        QVERIFY(d6->ob().PanelSleva->isHidden());
        for (Workstation *ws : all) {
            if (ws == &d6)
                continue;
            QCOMPARE(naTablo(*ws), ozhidaemo);
            QCOMPARE((*ws)->tablo().LeiblReshenie->text(), QString::fromUtf8(golosovania[round].reshenie));
            QVERIFY(!(*ws)->tablo().LeiblReshenie->isHidden());
            QVERIFY((*ws)->ob().PanelGolosovanie->isHidden());
        }
        // The seat maps of the chairman and the console: each seat by its ballot.
        for (Workstation *ws : {&chairman, &console}) {
            QCOMPARE(cvetFona((*ws)->karta().MestoLeibl[2]), cvet::Za());
            QCOMPARE(cvetFona((*ws)->karta().MestoLeibl[3]), cvet::Za());
            QCOMPARE(cvetFona((*ws)->karta().MestoLeibl[4]), cvet::Protiv());
            QCOMPARE(cvetFona((*ws)->karta().MestoLeibl[5]), cvet::Vozderzhalsya());
            QCOMPARE(cvetFona((*ws)->karta().MestoLeibl[6]), cvet::NeZaregistrirovan());
        }
        QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo")), 0);
        QCOMPARE(console.setting(QStringLiteral("Golosovanie"), QStringLiteral("Vremya")), QStringLiteral("10"));
        if (round == 0) {
            snimok(watcher.glav(), QStringLiteral("04-watcher-board-result"));
            snimok(console.glav(), QStringLiteral("05-console-board-result"));
            snimok(chairman.glav(), QStringLiteral("06-chairman-map-ballots"));
            ++round;
            nachat(f);
        }
    };

    onSetup(console, nachat);
    onProgress(console, golosovanie);
    onSetup(console, rezultat);
    onProgress(console, golosovanie);
    onSetup(console, [&](TGolosovanieForma *f) {
        rezultat(f);
        // Back to the agenda.
        f->KnopkaPokazVoprClick();
    });
    console->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(shownCount(console, "TProcessGolos2Forma"), 2);

    for (int r = 0; r < 2; ++r) {
        QStringList expected{QStringLiteral("2/%1/10").arg(ids[r])};
        for (int s = 9; s >= 1; --s)
            expected << QStringLiteral("2/%1/%2").arg(ids[r]).arg(s);
        // The last second writes the end and the result in the same tick.
        expected << QStringLiteral("4/%1/15").arg(ids[r]) << QStringLiteral("4/%1/15").arg(ids[r]);
        QCOMPARE(modes[r], expected);
    }
    // The writes themselves: 2 with the duration, 9 down to 0, -1, 4 with 15; the hall back to idle.
    QStringList pisali;
    ResultSet log;
    QVERIFY(hall.db().query(QStringLiteral("SELECT nomer,param1,param2 FROM regim_log ORDER BY n"), &log));
    for (int r = 0; r < log.rowCount(); ++r)
        pisali << QStringLiteral("%1/%2/%3").arg(log.value(r, 0).toInt()).arg(log.value(r, 1).toInt()).arg(log.value(r, 2).toInt());
    QStringList ozhidaemo;
    for (int r = 0; r < 2; ++r) {
        for (int s = 10; s >= 0; --s)
            ozhidaemo << QStringLiteral("2/%1/%2").arg(ids[r]).arg(s);
        ozhidaemo << QStringLiteral("-1/%1/0").arg(ids[r]) << QStringLiteral("4/%1/15").arg(ids[r]);
    }
    ozhidaemo << QStringLiteral("-1/%1/15").arg(ids[1]);
    QCOMPARE(pisali, ozhidaemo);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nuzno FROM golosovanie WHERE id = %1").arg(ids[0])), 2);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nuzno FROM golosovanie WHERE id = %1").arg(ids[1])), 3);
    QCOMPARE(mode(hall).section(QLatin1Char('/'), 0, 0), QStringLiteral("-1"));
    // The unregistered deputy never voted.
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet WHERE id_deputat = %1")
                                .arg(hall.deputyAt(QStringLiteral("06")))),
             0);
    hall.second();
    for (Workstation *ws : all) {
        QVERIFY(!ws->ended());
        QVERIFY((*ws)->tablo().LeiblReshenie->isHidden());
        QVERIFY(ws->dialogs.shown.isEmpty());
    }
}

QTEST_MAIN(TestZal)
#include "test_zal.moc"
