// Speaker requests: the deputy's button, the chairman's list and grid, granting the floor on
// the seat map, the list's buttons, and the button's sync with the request table.
#include "zal.h"

#include <QListView>
#include <QTableView>
#include <QToolButton>

#include <QTest>

using namespace zaltest;

namespace {

const QString kProshu = QStringLiteral("ПРОШУ СЛОВА");
const QString kOtkaz = QStringLiteral("ОТКАЗАТЬСЯ \n\rОТ ВЫСТУПЛЕНИЯ");

// The chairman and the deputies of seats 05 and 12, both registered and in the hall.
struct Zal {
    TestHall hall;
    int meeting = 0;
    int period = 0;
    Workstation *chairman = nullptr;
    Workstation *d05 = nullptr;
    Workstation *d12 = nullptr;

    bool make()
    {
        if (!aktivirovat(hall))
            return false;
        meeting = hall.demoMeeting();
        period = hall.openPeriod(meeting);
        if (!hall.registerDeputy(hall.deputyAt("05"), period, meeting)
            || !hall.registerDeputy(hall.deputyAt("12"), period, meeting))
            return false;
        chairman = &hall.start("02");
        d05 = &hall.start("05");
        d12 = &hall.start("12");
        for (auto &ws : hall.workstations())
            if (!ws->started())
                return false;
        (*chairman)->FormActivate();
        hall.second(2);
        return true;
    }
};

QStringList spisok(Workstation *ws)
{
    QStringList out;
    DataSet *d = (*ws)->spisok().ZaprosZapis;
    for (int r = 0; r < d->rowCount(); ++r)
        out << d->value(r, QStringLiteral("fio")).toString();
    return out;
}

bool zhdet(Workstation *ws)
{
    return (*ws)->ob().LeiblProshuSlova->text() == kOtkaz && fon((*ws)->ob().LeiblProshuSlova) == QColor(182, 107, 107);
}

bool svoboden(Workstation *ws)
{
    return (*ws)->ob().LeiblProshuSlova->text() == kProshu && fon((*ws)->ob().LeiblProshuSlova) == QColor(255, 255, 0);
}

}  // namespace

class TestProshuSlova : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void requestsInOrderAndGranting();
    void buttonFollowsRecordsDuringVoteModes();
    void secondRequestRefused();
    void restartedTerminalReadsItsRequestBack();
    void listButtons();
    void hiddenDuringVote();
    void otherRolesDoNotAsk();
    void failures();
};

void TestProshuSlova::requestsInOrderAndGranting()
{
    Zal z;
    QVERIFY(z.make());
    QVERIFY(svoboden(z.d05));
    (*z.d05)->spisok().LeiblProshuSlovaClick();
    // A press on the button's frame works like a press on the button.
    QTest::mousePress((*z.d12)->ob().GranicaProshuSlova, Qt::LeftButton);
    QVERIFY(zhdet(z.d05));
    QVERIFY(zhdet(z.d12));

    z.chairman->poll();
    QCOMPARE(spisok(z.chairman), (QStringList{QStringLiteral("Всего записалось: 2"),
                                              QStringLiteral("Денисова Елена Александровна"),
                                              QStringLiteral("Морозов Игорь Геннадьевич")}));
    QVERIFY(!(*z.chairman)->spisok().SpisokZapis->isHidden());
    QVERIFY(!(*z.chairman)->spisok().SpisokTabl->isHidden());
    // Over the list: the upper area (724) less the coat of arms (300) less 150.
    QCOMPARE((*z.chairman)->spisok().SpisokTabl->height(), 274);
    QCOMPARE((*z.chairman)->spisok().SpisokTabl->y(), (*z.chairman)->spisok().SpisokZapis->y());
    QVERIFY((*z.d05)->spisok().SpisokZapis->isHidden());
    z.chairman->monitor();
    QCOMPARE(fon((*z.chairman)->karta().MestoLeibl[5]), QColor(255, 255, 0));
    QCOMPARE(fon((*z.chairman)->karta().MestoLeibl[12]), QColor(255, 255, 0));

    // The chairman grants the floor to seat 05.
    QTest::mouseClick((*z.chairman)->karta().MestoLeibl[5], Qt::LeftButton);
    QCOMPARE(zaprosov(z.hall, "05"), 0);
    z.chairman->poll();
    QCOMPARE(spisok(z.chairman), (QStringList{QStringLiteral("Всего записалось: 1"),
                                              QStringLiteral("Морозов Игорь Геннадьевич")}));
    // The deputy's button returns within one clock tick; the other request stays.
    z.hall.clock();
    QVERIFY(svoboden(z.d05));
    QVERIFY(zhdet(z.d12));

    // A second press of the deputy of seat 12 withdraws.
    (*z.d12)->spisok().LeiblProshuSlovaClick();
    QVERIFY(svoboden(z.d12));
    QCOMPARE(zaprosov(z.hall, "12"), 0);
    z.chairman->poll();
    QCOMPARE(spisok(z.chairman), QStringList{QStringLiteral("Всего записалось: 0")});
}

void TestProshuSlova::buttonFollowsRecordsDuringVoteModes()
{
    // Registration, a vote and its result are up for minutes: a request granted or written
    // from the console meanwhile shows on the deputy's button at the next clock tick.
    Zal z;
    QVERIFY(z.make());
    (*z.d05)->spisok().LeiblProshuSlovaClick();
    for (int mode : {1, 2, 4}) {
        QVERIFY(z.hall.setMode(mode, z.period, 30));
        z.d05->clock();
        QVERIFY2(zhdet(z.d05), qPrintable(QString::number(mode)));
        QVERIFY(z.hall.exec("DELETE FROM proshu_slovo;"));
        z.d05->clock();
        QVERIFY2(svoboden(z.d05), qPrintable(QString::number(mode)));
        QVERIFY(zapros(z.hall, "05"));
        z.d05->clock();
        QVERIFY2(zhdet(z.d05), qPrintable(QString::number(mode)));
    }
    QVERIFY(z.hall.exec("DELETE FROM proshu_slovo;"));
    QVERIFY(z.hall.setMode(5, z.period, 15));
    z.d05->clock();
    QVERIFY(svoboden(z.d05));
}

// A second request of a seat that has one is refused: the list would show the name twice.
void TestProshuSlova::secondRequestRefused()
{
    Zal z;
    QVERIFY(z.make());
    (*z.d05)->spisok().LeiblProshuSlovaClick();
    // The button shows no request although one exists (as after a failed withdrawal).
    ustanovitCvet((*z.d05)->ob().LeiblProshuSlova, QColor(255, 255, 0));
    (*z.d05)->ob().LeiblProshuSlova->setText(kProshu);
    (*z.d05)->spisok().LeiblProshuSlovaClick();
    QCOMPARE(zaprosov(z.hall, "05"), 1);
    QVERIFY(zhdet(z.d05));
    z.chairman->poll();
    QCOMPARE(spisok(z.chairman).size(), 2);
}

void TestProshuSlova::restartedTerminalReadsItsRequestBack()
{
    Zal z;
    QVERIFY(z.make());
    (*z.d05)->spisok().LeiblProshuSlovaClick();
    Workstation &again = z.hall.restart(*z.d05);
    QVERIFY(again.started());
    QVERIFY(svoboden(&again));  // start-up itself gives the button its yellow
    again.poll();
    QVERIFY(zhdet(&again));
    // So the next press withdraws instead of asking again.
    again->spisok().LeiblProshuSlovaClick();
    QCOMPARE(zaprosov(z.hall, "05"), 0);
    QVERIFY(svoboden(&again));

    // The clock's sync also brings a request that is there back onto the button.
    QVERIFY(zapros(z.hall, "12"));
    ustanovitCvet((*z.d12)->ob().LeiblProshuSlova, QColor(255, 255, 0));
    (*z.d12)->ob().LeiblProshuSlova->setText(kProshu);
    z.d12->clock();
    QVERIFY(zhdet(z.d12));
}

void TestProshuSlova::listButtons()
{
    Zal z;
    QVERIFY(z.make());
    QVERIFY(zapros(z.hall, "05"));
    QVERIFY(zapros(z.hall, "12"));
    WindowView *w = z.chairman->window();
    z.chairman->poll();
    QCOMPARE(w->spisok().ZaprosZapis->currentRow(), 0);
    w->spisok().SpisokNis->click();
    w->spisok().SpisokNis->click();
    QCOMPARE(w->spisok().ZaprosZapis->field("fio").toString(), QStringLiteral("Морозов Игорь Геннадьевич"));
    w->spisok().SpisokNis->click();  // at the bottom it stays
    QCOMPARE(w->spisok().ZaprosZapis->currentRow(), 2);
    // The selection survives the refresh, also when a request before it goes.
    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM proshu_slovo WHERE id_mesto=%1").arg(idMesta(z.hall, "05"))));
    z.chairman->poll();
    QCOMPARE(w->spisok().ZaprosZapis->field("fio").toString(), QStringLiteral("Морозов Игорь Геннадьевич"));
    QCOMPARE(w->spisok().SpisokTabl->selectionModel()->currentIndex().row(), 1);
    w->spisok().SpisokVerh->click();
    QCOMPARE(w->spisok().ZaprosZapis->currentRow(), 0);

    // Clearing asks nothing.
    w->spisok().OchistkaProshuSlova->click();
    QCOMPARE(z.hall.scalarInt("SELECT count(*) FROM proshu_slovo"), 0);
    QVERIFY(z.chairman->messages().isEmpty());
    z.chairman->poll();
    QCOMPARE(spisok(z.chairman), QStringList{QStringLiteral("Всего записалось: 0")});
}

void TestProshuSlova::hiddenDuringVote()
{
    Zal z;
    QVERIFY(z.make());
    QVERIFY(zapros(z.hall, "05"));
    WindowView *w = z.chairman->window();
    const int vote = golosovanie(z.hall, 10);
    QVERIFY(z.hall.setMode(2, vote, 30));
    z.chairman->poll(3);
    QVERIFY(w->spisok().SpisokTabl->isHidden());
    QVERIFY(w->spisok().SpisokVerh->isHidden());
    QVERIFY(w->spisok().OchistkaProshuSlova->isHidden());
    QVERIFY(!w->ob().PanelGolosovanie->isHidden());
    QCOMPARE(zaprosov(z.hall, "05"), 1);  // requests stay
    // The voting panel covers the list and the heading.
    const QObjectList &stopka = w->ob().PanelSpravaVerh->children();  // bottom to top
    QVERIFY(stopka.indexOf(w->spisok().SpisokZapis) < stopka.indexOf(w->ob().PanelGolosovanie));
    QVERIFY(stopka.indexOf(w->ob().LeiblProshuSlova) < stopka.indexOf(w->ob().PanelGolosovanie));

    QVERIFY(z.hall.setMode(4, vote, 15));
    z.chairman->poll();  // the tick of mode 4 still saw 2
    z.chairman->poll();
    QVERIFY(!w->spisok().SpisokTabl->isHidden());
    QVERIFY(!w->spisok().SpisokNis->isHidden());
}

void TestProshuSlova::otherRolesDoNotAsk()
{
    Zal z;
    QVERIFY(z.make());
    Workstation &watcher = z.hall.start("watcher");
    QVERIFY(watcher->ob().LeiblProshuSlova->isHidden());
    watcher->spisok().LeiblProshuSlovaClick();
    (*z.chairman)->spisok().LeiblProshuSlovaClick();
    QCOMPARE(z.hall.scalarInt("SELECT count(*) FROM proshu_slovo"), 0);
    QCOMPARE((*z.chairman)->ob().LeiblProshuSlova->text(), QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ"));
    z.chairman->clock();
    QCOMPARE((*z.chairman)->ob().LeiblProshuSlova->text(), QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ"));
}

void TestProshuSlova::failures()
{
    {
        Zal z;
        QVERIFY(z.make());
        QSqlQuery q(z.hall.db().database());
        QVERIFY(q.exec("ALTER TABLE proshu_slovo RENAME TO proshu_slovo_old"));
        (*z.d05)->spisok().LeiblProshuSlovaClick();
        QCOMPARE(z.d05->messages(), QStringList{QStringLiteral("Ошибка при запросе слова (2)!")});
        QVERIFY(zhdet(z.d05));  // toggled anyway
        (*z.chairman)->spisok().OchistkaProshuSlovaClick();
        QCOMPARE(z.chairman->messages(),
                 QStringList{QStringLiteral("Ошибка при очистке списка записавшихся на выступление.")});
    }
    {
        Zal z;
        QVERIFY(z.make());
        QSqlQuery q(z.hall.db().database());
        QVERIFY(q.exec("ALTER TABLE sostav RENAME TO sostav_old"));
        (*z.d05)->spisok().LeiblProshuSlovaClick();
        QCOMPARE(z.d05->messages(), QStringList{QStringLiteral("Ошибка при запросе слова (1)!")});
        QVERIFY(svoboden(z.d05));  // nothing sent, button unchanged
        QCOMPARE(z.d05->dialogs.shown.first().icon, Dialogs::NoIcon);
    }
}

QTEST_MAIN(TestProshuSlova)
#include "test_proshuslova.moc"
