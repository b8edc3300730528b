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
    DataSet *d = (*ws)->ZaprosZapis;
    for (int r = 0; r < d->rowCount(); ++r)
        out << d->value(r, QStringLiteral("fio")).toString();
    return out;
}

bool zhdet(Workstation *ws)
{
    return (*ws)->LeiblProshuSlova->text() == kOtkaz && fon((*ws)->LeiblProshuSlova) == QColor(182, 107, 107);
}

bool svoboden(Workstation *ws)
{
    return (*ws)->LeiblProshuSlova->text() == kProshu && fon((*ws)->LeiblProshuSlova) == QColor(255, 255, 0);
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
    (*z.d05)->LeiblProshuSlovaClick();
    // A press on the button's frame works like a press on the button.
    QTest::mousePress((*z.d12)->GranicaProshuSlova, Qt::LeftButton);
    QVERIFY(zhdet(z.d05));
    QVERIFY(zhdet(z.d12));

    z.chairman->poll();
    QCOMPARE(spisok(z.chairman), (QStringList{QStringLiteral("Всего записалось: 2"),
                                              QStringLiteral("Денисова Елена Александровна"),
                                              QStringLiteral("Морозов Игорь Геннадьевич")}));
    QVERIFY(!(*z.chairman)->SpisokZapis->isHidden());
    QVERIFY(!(*z.chairman)->SpisokTabl->isHidden());
    // Over the list: the upper area (724) less the coat of arms (300) less 150.
    QCOMPARE((*z.chairman)->SpisokTabl->height(), 274);
    QCOMPARE((*z.chairman)->SpisokTabl->y(), (*z.chairman)->SpisokZapis->y());
    QVERIFY((*z.d05)->SpisokZapis->isHidden());
    z.chairman->monitor();
    QCOMPARE(fon((*z.chairman)->MestoLeibl[5]), QColor(255, 255, 0));
    QCOMPARE(fon((*z.chairman)->MestoLeibl[12]), QColor(255, 255, 0));

    // The chairman grants the floor to seat 05.
    QTest::mouseClick((*z.chairman)->MestoLeibl[5], Qt::LeftButton);
    QCOMPARE(zaprosov(z.hall, "05"), 0);
    z.chairman->poll();
    QCOMPARE(spisok(z.chairman), (QStringList{QStringLiteral("Всего записалось: 1"),
                                              QStringLiteral("Морозов Игорь Геннадьевич")}));
    // The deputy's button returns within one clock tick; the other request stays.
    z.hall.clock();
    QVERIFY(svoboden(z.d05));
    QVERIFY(zhdet(z.d12));

    // A second press of the deputy of seat 12 withdraws.
    (*z.d12)->LeiblProshuSlovaClick();
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
    (*z.d05)->LeiblProshuSlovaClick();
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
    (*z.d05)->LeiblProshuSlovaClick();
    // The button shows no request although one exists (as after a failed withdrawal).
    ustanovitCvet((*z.d05)->LeiblProshuSlova, QColor(255, 255, 0));
    (*z.d05)->LeiblProshuSlova->setText(kProshu);
    (*z.d05)->LeiblProshuSlovaClick();
    QCOMPARE(zaprosov(z.hall, "05"), 1);
    QVERIFY(zhdet(z.d05));
    z.chairman->poll();
    QCOMPARE(spisok(z.chairman).size(), 2);
}

void TestProshuSlova::restartedTerminalReadsItsRequestBack()
{
    Zal z;
    QVERIFY(z.make());
    (*z.d05)->LeiblProshuSlovaClick();
    Workstation &again = z.hall.restart(*z.d05);
    QVERIFY(again.started());
    QVERIFY(svoboden(&again));  // start-up itself gives the button its yellow
    again.poll();
    QVERIFY(zhdet(&again));
    // So the next press withdraws instead of asking again.
    again->LeiblProshuSlovaClick();
    QCOMPARE(zaprosov(z.hall, "05"), 0);
    QVERIFY(svoboden(&again));

    // The clock's sync also brings a request that is there back onto the button.
    QVERIFY(zapros(z.hall, "12"));
    ustanovitCvet((*z.d12)->LeiblProshuSlova, QColor(255, 255, 0));
    (*z.d12)->LeiblProshuSlova->setText(kProshu);
    z.d12->clock();
    QVERIFY(zhdet(z.d12));
}

void TestProshuSlova::listButtons()
{
    Zal z;
    QVERIFY(z.make());
    QVERIFY(zapros(z.hall, "05"));
    QVERIFY(zapros(z.hall, "12"));
    TGlavForma *w = z.chairman->window();
    z.chairman->poll();
    QCOMPARE(w->ZaprosZapis->currentRow(), 0);
    w->SpisokNis->click();
    w->SpisokNis->click();
    QCOMPARE(w->ZaprosZapis->field("fio").toString(), QStringLiteral("Морозов Игорь Геннадьевич"));
    w->SpisokNis->click();  // at the bottom it stays
    QCOMPARE(w->ZaprosZapis->currentRow(), 2);
    // The selection survives the refresh, also when a request before it goes.
    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM proshu_slovo WHERE id_mesto=%1").arg(idMesta(z.hall, "05"))));
    z.chairman->poll();
    QCOMPARE(w->ZaprosZapis->field("fio").toString(), QStringLiteral("Морозов Игорь Геннадьевич"));
    QCOMPARE(w->SpisokTabl->selectionModel()->currentIndex().row(), 1);
    w->SpisokVerh->click();
    QCOMPARE(w->ZaprosZapis->currentRow(), 0);

    // Clearing asks nothing.
    w->OchistkaProshuSlova->click();
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
    TGlavForma *w = z.chairman->window();
    const int vote = golosovanie(z.hall, 10);
    QVERIFY(z.hall.setMode(2, vote, 30));
    z.chairman->poll(3);
    QVERIFY(w->SpisokTabl->isHidden());
    QVERIFY(w->SpisokVerh->isHidden());
    QVERIFY(w->OchistkaProshuSlova->isHidden());
    QVERIFY(!w->PanelGolosovanie->isHidden());
    QCOMPARE(zaprosov(z.hall, "05"), 1);  // requests stay
    // The voting panel covers the list and the heading.
    const QObjectList &stopka = w->PanelSpravaVerh->children();  // bottom to top
    QVERIFY(stopka.indexOf(w->SpisokZapis) < stopka.indexOf(w->PanelGolosovanie));
    QVERIFY(stopka.indexOf(w->LeiblProshuSlova) < stopka.indexOf(w->PanelGolosovanie));

    QVERIFY(z.hall.setMode(4, vote, 15));
    z.chairman->poll();  // the tick of mode 4 still saw 2
    z.chairman->poll();
    QVERIFY(!w->SpisokTabl->isHidden());
    QVERIFY(!w->SpisokNis->isHidden());
}

void TestProshuSlova::otherRolesDoNotAsk()
{
    Zal z;
    QVERIFY(z.make());
    Workstation &watcher = z.hall.start("watcher");
    QVERIFY(watcher->LeiblProshuSlova->isHidden());
    watcher->LeiblProshuSlovaClick();
    (*z.chairman)->LeiblProshuSlovaClick();
    QCOMPARE(z.hall.scalarInt("SELECT count(*) FROM proshu_slovo"), 0);
    QCOMPARE((*z.chairman)->LeiblProshuSlova->text(), QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ"));
    z.chairman->clock();
    QCOMPARE((*z.chairman)->LeiblProshuSlova->text(), QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ"));
}

void TestProshuSlova::failures()
{
    {
        Zal z;
        QVERIFY(z.make());
        QSqlQuery q(z.hall.db().database());
        QVERIFY(q.exec("ALTER TABLE proshu_slovo RENAME TO proshu_slovo_old"));
        (*z.d05)->LeiblProshuSlovaClick();
        QCOMPARE(z.d05->messages(), QStringList{QStringLiteral("Ошибка при запросе слова (2)!")});
        QVERIFY(zhdet(z.d05));  // toggled anyway
        (*z.chairman)->OchistkaProshuSlovaClick();
        QCOMPARE(z.chairman->messages(),
                 QStringList{QStringLiteral("Ошибка при очистке списка записавшихся на выступление.")});
    }
    {
        Zal z;
        QVERIFY(z.make());
        QSqlQuery q(z.hall.db().database());
        QVERIFY(q.exec("ALTER TABLE sostav RENAME TO sostav_old"));
        (*z.d05)->LeiblProshuSlovaClick();
        QCOMPARE(z.d05->messages(), QStringList{QStringLiteral("Ошибка при запросе слова (1)!")});
        QVERIFY(svoboden(z.d05));  // nothing sent, button unchanged
        QCOMPARE(z.d05->dialogs.shown.first().icon, Dialogs::NoIcon);
    }
}

QTEST_MAIN(TestProshuSlova)
#include "test_proshuslova.moc"
