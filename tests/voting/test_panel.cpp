// The voting panel on the seat terminals: its buttons and their looks, what a press writes,
// the keypad, the reset and the vote start.
#include "golosovanie_fixture.h"

#include "core/cveta.h"
#include "hall/golosovanie_panel.h"

using namespace golostest;

namespace {

struct Zal {
    TestHall hall;
    int item = 0;
    int period = -1;
    int vote = 0;

    Zal()
    {
        item = itemId(hall, QStringLiteral("Вопрос 2"));
        hall.activateItem(item);
        period = hall.openPeriod(hall.demoMeeting());
        for (const char *seat : {"07", "08"})
            hall.registerDeputy(hall.deputyAt(QString::fromLatin1(seat)), period, hall.demoMeeting());
        hall.exec(QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                                 "id_povestka,id_sessia) VALUES (getdate(),'Большинство от присутствующих',0,0,27,2,"
                                 "'Процедурные вопросы',2,27,%1,%2)")
                      .arg(item)
                      .arg(period));
        vote = hall.scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie"));
    }

    // A workstation that has seen the vote start.
    Workstation &golosuyushiy(const QString &login)
    {
        // Idle first: the terminal starts without waiting, the clock learns the active item and
        // the poller the registration list.
        hall.setMode(-1);
        Workstation &ws = hall.start(login);
        ws.second(2);
        hall.setMode(2, vote, 30);
        ws.poll();
        return ws;
    }

    QString ballots()
    {
        ResultSet rs;
        hall.db().query(QStringLiteral("SELECT id_deputat,id_povestka,result FROM otvet WHERE id_golosovanie = %1 "
                                       "ORDER BY id_deputat").arg(vote),
                        &rs);
        QStringList out;
        for (int r = 0; r < rs.rowCount(); ++r)
            out << QStringLiteral("%1:%2:%3").arg(rs.value(r, 0).toInt()).arg(rs.value(r, 1).toInt()).arg(rs.value(r, 2).toInt());
        return out.join(QLatin1Char(' '));
    }
};

TKnopkiGolosovania *knopki(Workstation &ws)
{
    return ws->panel().KnopkiGolosovania;
}

// The selected look: white text, white 4-px frame, label 4 px inside; plain: black, 1 px.
bool vybrana(TKnopkiGolosovania *k, int knopka)
{
    const TGranica *r = k->ramka(knopka);
    const TLeibl *l = k->leibl(knopka);
    return r->peroCvet() == QColor(Qt::white) && r->peroShirina() == 4 && cvetTeksta(l) == QColor(Qt::white)
           && l->geometry() == r->geometry().adjusted(4, 4, -4, -4);
}

bool prostaya(TKnopkiGolosovania *k, int knopka)
{
    const TGranica *r = k->ramka(knopka);
    const TLeibl *l = k->leibl(knopka);
    return r->peroCvet() == QColor(Qt::black) && r->peroShirina() == 1 && cvetTeksta(l) == QColor(Qt::black)
           && l->geometry() == r->geometry().adjusted(1, 1, -1, -1);
}

// Exactly this button looks selected.
bool tolkoVybrana(TKnopkiGolosovania *k, int knopka)
{
    for (int i = TKnopkiGolosovania::Sbros; i <= TKnopkiGolosovania::Vosd; ++i)
        if (i == knopka ? !vybrana(k, i) : !prostaya(k, i))
            return false;
    return k->Vybrannaya() == knopka;
}

}  // namespace

class TestPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layout();
    void pressesReplaceTheBallot();
    void framesActLikeTheirLabels();
    void failedCastKeepsThePreviousBallot();
    void voteEndedWithoutResultsLeavesNothingBehind();
    void keyMapping_data();
    void keyMapping();
    void pageUpByRole();
    void resetAndVoteStart();
    void registeredInTheLastSecondGetsThePanel();
};

void TestPanel::layout()
{
    Zal z;
    QVERIFY2(z.hall.ok(), qPrintable(z.hall.error()));
    Workstation &d = z.golosuyushiy(QStringLiteral("07"));
    QVERIFY(d.started());
    TKnopkiGolosovania *k = knopki(d);
    QVERIFY(k);
    QCOMPARE(cvetFona(d->ob().PanelGolosovanie), QColor(166, 202, 240));
    QCOMPARE(d->ob().GranicaGolosov->peroCvet(), QColor(0, 255, 0));
    QCOMPARE(d->ob().GranicaGolosov->peroShirina(), 5);

    struct Row {
        int knopka;
        const char *tekst;
        int verh;
        QColor cvet;
    };
    const Row rows[] = {{TKnopkiGolosovania::Za, "ЗА", 43, QColor(0, 255, 64)},
                        {TKnopkiGolosovania::Protiv, "ПРОТИВ", 136, QColor(255, 94, 98)},
                        {TKnopkiGolosovania::Vosd, "ВОЗДЕРЖАЛСЯ", 229, QColor(128, 128, 255)},
                        {TKnopkiGolosovania::Sbros, "СБРОС", 323, QColor(192, 192, 192)}};
    for (const Row &r : rows) {
        TLeibl *l = k->leibl(r.knopka);
        QCOMPARE(l->text(), QString::fromUtf8(r.tekst));
        QCOMPARE(k->ramka(r.knopka)->geometry(), QRect(64, r.verh - 1, 241, 70));
        QCOMPARE(cvetFona(l), r.cvet);
        QCOMPARE(l->font().family(), QStringLiteral("Arial"));
        QVERIFY(l->font().bold());
        QCOMPARE(l->font().pixelSize(), 24);
        QCOMPARE(l->alignment(), Qt::AlignCenter);
        QCOMPARE(l->parentWidget(), d->ob().PanelGolosovanie);
    }
    // A new vote starts with "СБРОС" selected: label 4 px inside its frame.
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Sbros));
    QCOMPARE(k->SbrosKnopka->geometry(), QRect(68, 326, 233, 62));
    QCOMPARE(k->ZaKnopka->geometry(), QRect(65, 43, 239, 68));
}

void TestPanel::pressesReplaceTheBallot()
{
    Zal z;
    Workstation &d = z.golosuyushiy(QStringLiteral("07"));
    const int dep = z.hall.deputyAt(QStringLiteral("07"));
    TKnopkiGolosovania *k = knopki(d);
    QVERIFY(!d->ob().PanelGolosovanie->isHidden());

    // Withdrawing without a ballot writes nothing and selects "СБРОС".
    k->SbrosKnopkaClick();
    QCOMPARE(z.ballots(), QString());
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Sbros));

    k->ZaKnopkaClick();
    QCOMPARE(z.ballots(), QStringLiteral("%1:%2:1").arg(dep).arg(z.item));
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Za));

    k->ProtivKnopkaClick();
    QCOMPARE(z.ballots(), QStringLiteral("%1:%2:2").arg(dep).arg(z.item));
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Protiv));

    // The same button again deletes and re-inserts the same ballot.
    const int before = z.hall.scalarInt(QStringLiteral("SELECT id FROM otvet"));
    k->ProtivKnopkaClick();
    QCOMPARE(z.ballots(), QStringLiteral("%1:%2:2").arg(dep).arg(z.item));
    QVERIFY(z.hall.scalarInt(QStringLiteral("SELECT id FROM otvet")) > before);

    // The ballot carries the agenda item of the moment of the press.
    d->setIdPovestki(z.item + 1);
    k->VosdKnopkaClick();
    QCOMPARE(z.ballots(), QStringLiteral("%1:%2:3").arg(dep).arg(z.item + 1));
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Vosd));

    k->SbrosKnopkaClick();
    QCOMPARE(z.ballots(), QString());
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Sbros));
    // Another deputy's ballot is not touched.
    Workstation &d8 = z.golosuyushiy(QStringLiteral("08"));
    QVERIFY(!d8.ended());
    knopki(d8)->ZaKnopkaClick();
    k->ProtivKnopkaClick();
    k->SbrosKnopkaClick();
    QCOMPARE(z.ballots(), QStringLiteral("%1:%2:1").arg(z.hall.deputyAt(QStringLiteral("08"))).arg(z.item));
    QVERIFY(d.dialogs.shown.isEmpty());
}

void TestPanel::framesActLikeTheirLabels()
{
    Zal z;
    Workstation &d = z.golosuyushiy(QStringLiteral("07"));
    TKnopkiGolosovania *k = knopki(d);
    QTest::mousePress(k->ShapeVosd, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT result FROM otvet")), 3);
    QTest::mouseClick(k->ZaKnopka, Qt::LeftButton);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT result FROM otvet")), 1);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet")), 1);
    QTest::mousePress(k->ShapeSbros, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet")), 0);
}

// The console ended a vote straight to idle (2, then -1, no results): the terminals show the
// agenda again with no panel and no vote board, the chairman's map no ballot colours, and a
// touch on the panel's place stores nothing.
void TestPanel::voteEndedWithoutResultsLeavesNothingBehind()
{
    Zal z;
    QVERIFY(z.hall.setMode(-1));
    Workstation &w = z.hall.start(QStringLiteral("watcher"));
    QVERIFY(w.started());
    Workstation &d = z.golosuyushiy(QStringLiteral("07"));
    w.second();
    TKnopkiGolosovania *k = knopki(d);
    QVERIFY(!d->ob().PanelGolosovanie->isHidden());
    QVERIFY(!w->ob().ProgressBarTablo->isHidden());
    QVERIFY(k->Golos(TKnopkiGolosovania::Protiv));

    QVERIFY(z.hall.setMode(-1));
    z.hall.second(2);
    QVERIFY(d->ob().PanelGolosovanie->isHidden());
    QVERIFY(d->ob().ProgressBarTablo->isHidden());
    QVERIFY(w->ob().ProgressBarTablo->isHidden());
    QVERIFY(!w->ob().InfoLabel->isHidden());
    // The label's own click, as a touch that reaches it would.
    Q_EMIT k->ZaKnopka->clicked();
    QCOMPARE(z.ballots().section(QLatin1Char(':'), 2), QStringLiteral("2"));
    QVERIFY(d.dialogs.shown.isEmpty());
}

void TestPanel::failedCastKeepsThePreviousBallot()
{
    Zal z;
    Workstation &d = z.golosuyushiy(QStringLiteral("07"));
    TKnopkiGolosovania *k = knopki(d);
    k->ZaKnopkaClick();
    QVERIFY(failWhen(z.hall, QStringLiteral("otvet"), QStringLiteral("INSERT"), QStringLiteral("NEW.result = 2")));
    QVERIFY(!k->Golos(TKnopkiGolosovania::Protiv));
    QCOMPARE(d.dialogs.shown.size(), 1);
    QCOMPARE(d.dialogs.shown.first().text, QStringLiteral("Ошибка голосования!"));
    QCOMPARE(d.dialogs.shown.first().icon, Dialogs::NoIcon);
    // The withdrawal went back with the failed cast: no moment without a ballot, none lost.
    QCOMPARE(z.ballots().section(QLatin1Char(':'), 2), QStringLiteral("1"));
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Za));
    // Reported, so taken off the connection: the terminal goes on and the deputy may press again.
    QVERIFY(!d->GlavBasa().hasErrors());
    d.second();
    QVERIFY(!d.ended());
    QVERIFY(stopFailing(z.hall));
    QVERIFY(k->Golos(TKnopkiGolosovania::Protiv));
    QCOMPARE(z.ballots().section(QLatin1Char(':'), 2), QStringLiteral("2"));
    // The database is usable for the others: the transaction did not stay open.
    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM otvet")));
}

void TestPanel::keyMapping_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");  // 0: no ballot
    QTest::newRow("Home (7)") << int(Qt::Key_Home) << 1;
    QTest::newRow("Up (8)") << int(Qt::Key_Up) << 1;
    QTest::newRow("Page Up (9)") << int(Qt::Key_PageUp) << 1;
    QTest::newRow("Left (4)") << int(Qt::Key_Left) << 2;
    QTest::newRow("Clear (5)") << int(Qt::Key_Clear) << 2;
    QTest::newRow("Right (6)") << int(Qt::Key_Right) << 2;
    QTest::newRow("End (1)") << int(Qt::Key_End) << 3;
    QTest::newRow("Down (2)") << int(Qt::Key_Down) << 3;
    QTest::newRow("Page Down (3)") << int(Qt::Key_PageDown) << 3;
    QTest::newRow("Insert (0)") << int(Qt::Key_Insert) << 0;
    QTest::newRow("Delete (.)") << int(Qt::Key_Delete) << 0;
}

void TestPanel::keyMapping()
{
    QFETCH(int, key);
    QFETCH(int, result);
    Zal z;
    Workstation &d = z.golosuyushiy(QStringLiteral("07"));
    // A ballot of another code first, so that withdrawing shows.
    knopki(d)->Golos(result == 2 ? TKnopkiGolosovania::Za : TKnopkiGolosovania::Protiv);
    // Num Lock off: the keypad sends these keys with the keypad modifier.
    QTest::keyRelease(d.glav(), Qt::Key(key), Qt::KeypadModifier);
    const QVariant v = z.hall.scalar(QStringLiteral("SELECT result FROM otvet"));
    QCOMPARE(v.isNull() ? 0 : v.toInt(), result);
    QCOMPARE(knopki(d)->Vybrannaya(), result);
    // Any other key does nothing.
    QTest::keyRelease(d.glav(), Qt::Key_5, Qt::KeypadModifier);
    QTest::keyRelease(d.glav(), Qt::Key_A);
    const QVariant w = z.hall.scalar(QStringLiteral("SELECT result FROM otvet"));
    QCOMPARE(w.isNull() ? 0 : w.toInt(), result);
}

void TestPanel::pageUpByRole()
{
    Zal z;
    Workstation &deputy = z.hall.start(QStringLiteral("07"));
    Workstation &chairman = z.hall.start(QStringLiteral("02"));
    Workstation &console = z.hall.start(QStringLiteral("admin1"));
    Workstation &watcher = z.hall.start(QStringLiteral("watcher"));
    Workstation &outsider = z.hall.start(QStringLiteral("09"));  // not registered
    QVERIFY(deputy.started() && chairman.started() && console.started() && watcher.started() && outsider.started());

    auto count = [&](const QString &seat) {
        return z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet WHERE id_deputat = %1").arg(z.hall.deputyAt(seat)));
    };

    z.hall.second(2);
    // Outside a vote the keys do nothing.
    z.hall.setMode(4, z.vote, 15);
    z.hall.poll();
    QTest::keyRelease(deputy.glav(), Qt::Key_PageUp);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet")), 0);

    z.hall.setMode(2, z.vote, 30);
    z.hall.poll();
    QVERIFY(!deputy->ob().PanelGolosovanie->isHidden());
    QVERIFY(!chairman->ob().PanelGolosovanie->isHidden());
    QVERIFY(outsider->ob().PanelGolosovanie->isHidden());
    QVERIFY(watcher->ob().PanelGolosovanie->isHidden());

    for (Workstation *ws : {&deputy, &chairman, &console, &watcher, &outsider})
        QTest::keyRelease(ws->glav(), Qt::Key_PageUp);
    QCOMPARE(count(QStringLiteral("07")), 1);
    QCOMPARE(count(QStringLiteral("02")), 1);
    // The outsider's keypad casts nothing: no panel, no ballot.
    QCOMPARE(count(QStringLiteral("09")), 0);
    // The console's and the watcher's own deputy (1 when the login has no seat) stays without.
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet")), 2);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet WHERE result <> 1")), 0);
}

void TestPanel::resetAndVoteStart()
{
    Zal z;
    Workstation &d = z.golosuyushiy(QStringLiteral("07"));
    TKnopkiGolosovania *k = knopki(d);
    k->ZaKnopkaClick();
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Za));

    d->ekrany().SbrosPanelGolosovania();
    QVERIFY(d->ob().PanelGolosovanie->isHidden());
    QVERIFY(!d->ob().Gerb->isHidden());
    QVERIFY(d->ob().ProgressBarTablo->isHidden());
    QCOMPARE(d->ob().ProgressBarTablo->maximum(), 0);
    QVERIFY(d->ob().LeiblKolGolosov->isHidden());
    QVERIFY(d->ob().LeiblRegim->isHidden());
    QVERIFY(tolkoVybrana(k, TKnopkiGolosovania::Sbros));

    // The vote start turns the texts black and "СБРОС" white and leaves the frames alone.
    k->Vybrat(TKnopkiGolosovania::Protiv);
    d->panel().PokazatPanelGolosovania();
    QVERIFY(!d->ob().PanelGolosovanie->isHidden());
    QVERIFY(d->ob().Gerb->isHidden());
    QCOMPARE(cvetTeksta(k->ProtivKnopka), QColor(Qt::black));
    QCOMPARE(cvetTeksta(k->SbrosKnopka), QColor(Qt::white));
    QCOMPARE(k->ShapeProtiv->peroShirina(), 4);

    Workstation &w = z.hall.start(QStringLiteral("watcher"));
    w->panel().PokazatPanelGolosovania();
    QVERIFY(w->ob().PanelGolosovanie->isHidden());
    QVERIFY(!w->ob().Gerb->isHidden());
}

// A deputy registered in the period's last second, with the summary and the next vote
// following at once (the server announces each mode, so the poller sees all three before the
// terminal's clock ticks again): the terminal still admits him and shows his panel.
void TestPanel::registeredInTheLastSecondGetsThePanel()
{
    Zal z;
    QVERIFY2(z.hall.ok(), qPrintable(z.hall.error()));
    z.hall.setMode(-1);
    Workstation &d = z.hall.start(QStringLiteral("09"));
    QVERIFY(d.started());
    d.second(2);
    QVERIFY(!d->Dopusk());
    QVERIFY(z.hall.setMode(1, z.period, 1));
    d.poll(2);
    QVERIFY(!d->ob().PanelRegistracia->isHidden());
    QVERIFY(z.hall.registerDeputy(z.hall.deputyAt(QStringLiteral("09")), z.period, z.hall.demoMeeting()));
    d.monitor();
    QVERIFY(d->SvoiDeputatZaregistrirovan());
    QVERIFY(z.hall.setMode(5, z.period, 15));
    d.poll();
    QVERIFY(z.hall.setMode(2, z.vote, 30));
    d.poll();
    QVERIFY(d->Dopusk());
    QVERIFY(d->ob().PanelGolosovanie->isVisibleTo(d.glav()));
    QVERIFY(d->ob().PanelRegistracia->isHidden());
}

QTEST_MAIN(TestPanel)
#include "test_panel.moc"
