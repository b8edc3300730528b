// The operator console frame: layout, binding to the open meeting, the agenda grid's colours,
// the agenda editor button; opening and closing a meeting; activating an agenda item. A
// console and terminals on one embedded database; modal windows answered through the
// dialogs seam, timers ticked by hand.

#include "konsol_fixture.h"

#include "core/cveta.h"
#include "core/vidzhety.h"
#include "editors/povestka_freim.h"
#include "editors/povestka_redaktor.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

using namespace konsol_test;

namespace {

const QColor Zelenyi(0, 128, 0);
const QColor Zheltyi(255, 255, 0);
const QColor Sinii(0, 0, 255);

int itemByOrd(TestHall &hall, int meeting, int ord)
{
    return hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE id_zasedanie = %1 AND ord = %2").arg(meeting).arg(ord));
}

int newMeeting(TestHall &hall, const QString &date, const QString &opisanie)
{
    hall.exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES (%1,%2,'00:00:00')")
                  .arg(sql::quote(date), sql::quote(opisanie)));
    return hall.scalarInt(QStringLiteral("SELECT max(id) FROM zasedanie"));
}

int rowOf(DataSet *set, int id)
{
    for (int r = 0; r < set->rowCount(); ++r)
        if (set->value(r, QStringLiteral("id")).toInt() == id)
            return r;
    return -1;
}

}  // namespace

class TestKonsol : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutAt1280x1024();
    void bindsTheLatestOpenMeeting();
    void guardedReports();
    void openingRefusals();
    void openingActivatesLowestOrd();
    void activation();
    void openMeetingWithoutActiveItemGoesOn();
    void gridColours();
    void closing();
    void closingWithoutChairman();
    void closingFailureKeepsTheMeeting();
    void agendaEditorButton();
    void voteButtonOpensSetUp();
};

void TestKonsol::layoutAt1280x1024()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    c->FormActivate();
    TAdminInterfeis *f = frame(c);
    QVERIFY(f);
    QCOMPARE(f->parentWidget(), c->ob().AdminFrame);
    QCOMPARE(f->geometry(), c->ob().AdminFrame->rect());
    QCOMPARE(f->size(), QSize(369, 724));
    QCOMPARE(f->font().pixelSize(), 13);
    QCOMPARE(cvetFona(f), cvet::Serebro());

    // Two columns of width (369 - 2*4 - 5) div 2 = 178, at 4 and 369 - 4 - 178 - 1 = 186.
    QCOMPARE(f->PanelAdminKnopki->geometry(), QRect(0, 0, 369, 71));
    QCOMPARE(f->PanelGolos->geometry(), QRect(0, 71, 369, 78));
    for (QPushButton *b : {f->KnopkaRedaktorPovestka, f->KnopkaRegistracia, f->KnopkaAktivVopros}) {
        QCOMPARE(b->x(), 4);
        QCOMPARE(b->width(), 178);
    }
    for (QPushButton *b : {f->KnopkaStartZas, f->KnopkaStopZas, f->KnopkaStartGolosovania}) {
        QCOMPARE(b->x(), 186);
        QCOMPARE(b->width(), 178);
    }
    QVERIFY(f->KnopkaRedaktorPovestka->y() < f->KnopkaRegistracia->y());
    QVERIFY(f->KnopkaStartZas->y() < f->KnopkaStopZas->y());
    QCOMPARE(f->KnopkaRegistracia->height(), 25);
    QCOMPARE(f->KnopkaAktivVopros->height(), 63);
    QCOMPARE(f->KnopkaStartGolosovania->font().pixelSize(), 16);
    QVERIFY(f->KnopkaStartGolosovania->font().bold());

    // The agenda panel: grid above, text box in the lower half; one column less a scroll bar.
    QCOMPARE(f->PanelAdminPovestka->geometry(), QRect(0, 149, 369, 575));
    QCOMPARE(f->PanelPovestkaKnopki->geometry(), QRect(0, 288, 369, 287));
    QCOMPARE(f->InfoPole->geometry(), QRect(0, 0, 369, 287));
    QCOMPARE(f->PovestkaTabl->height(), 288);
    QCOMPARE(f->PovestkaTabl->columnWidth(0), 369 - 17 - 5);
    QVERIFY(f->PovestkaTabl->horizontalHeader()->isHidden());
    QVERIFY(f->PovestkaTabl->verticalHeader()->isHidden());
    QCOMPARE(f->PovestkaTabl->font().pixelSize(), 16);
    QVERIFY(f->PovestkaTabl->font().bold());

    // No meeting open at start-up: unbound.
    QCOMPARE(f->ZasedanieFreima(), -1);
    QVERIFY(f->PovestkaSkryta());
    QVERIFY(f->InfoPole->isHidden());
    QCOMPARE(cvetFona(f->PanelAdminPovestka), cvet::Serebro());

    // A smaller window: the text box keeps half of the agenda panel.
    c->resize(1280, 900);
    c->FormResize();  // the window is not shown: no resize event comes by itself
    QCOMPARE(f->PanelAdminPovestka->height(), 900 - 300 - 149);
    QCOMPARE(f->PanelPovestkaKnopki->height(), (900 - 300 - 149) / 2);
    QCOMPARE(f->PovestkaTabl->height() + f->PanelPovestkaKnopki->height(), f->PanelAdminPovestka->height());

    // A double click on the frame's background minimises the program.
    QTest::mouseDClick(f, Qt::LeftButton, Qt::NoModifier, QPoint(2, 66));
    QVERIFY(c->windowState() & Qt::WindowMinimized);
}

void TestKonsol::bindsTheLatestOpenMeeting()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int demo = hall.demoMeeting();
    const int older = newMeeting(hall, QStringLiteral("20200101"), QStringLiteral("Старое"));
    const int sameDay1 = newMeeting(hall, QStringLiteral("20300101"), QStringLiteral("А"));
    const int sameDay2 = newMeeting(hall, QStringLiteral("20300101"), QStringLiteral("Б"));
    const int closed = newMeeting(hall, QStringLiteral("20400101"), QStringLiteral("Закрытое"));
    for (int id : {demo, older, sameDay1, sameDay2, closed})
        QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET start = GETDATE() WHERE id = %1").arg(id)));
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET stop = GETDATE() WHERE id = %1").arg(closed)));
    QVERIFY(hall.activateItem(itemByOrd(hall, demo, 2)));

    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    // Latest date, then the highest id; a closed meeting does not count.
    QCOMPARE(frame(c)->ZasedanieFreima(), sameDay2);
    QCOMPARE(frame(c)->Povestka->param(QStringLiteral("a")).toInt(), sameDay2);
    QCOMPARE(frame(c)->Povestka2->param(QStringLiteral("b")).toInt(), sameDay2);
    QCOMPARE(c->IdZasedania(), demo);  // the active item's meeting
    QVERIFY(c.messages().isEmpty());

    // The operator's own re-load of a frame bound to nothing found is refused.
    frame(c)->setZasedanieFreima(-1);
    frame(c)->ObnovitPovestku();
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Повестка не может быть сформирована, так как не задано заседание!")});
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Ошибка"));
}

// A failure inside a guarded step: the prefixed report with the database's text, the list
// emptied (the console lives on), then the failure's own text.
void TestKonsol::guardedReports()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    QVERIFY(syroi(hall, QStringLiteral("ALTER TABLE zasedanie RENAME TO zasedanie_x")));

    QVERIFY(!frame(c)->ZagruzitZasedanie());
    QCOMPARE(c.dialogs.shown.size(), 2);
    const QString first = c.dialogs.shown[0].text;
    QVERIFY2(first.startsWith(QStringLiteral("Ошибка автоинициализации заседания (")) && first.endsWith(QStringLiteral(")!"))
                 && first.contains(QStringLiteral("zasedanie")),
             qPrintable(first));
    QCOMPARE(c.dialogs.shown[0].caption, QStringLiteral("Ошибка"));
    QCOMPARE(c.dialogs.shown[0].icon, Dialogs::Error);
    QVERIFY(first.contains(c.dialogs.shown[1].text));
    QVERIFY(!c->GlavBasa().hasErrors());
    QVERIFY(syroi(hall, QStringLiteral("ALTER TABLE zasedanie_x RENAME TO zasedanie")));
    c.second();
    QVERIFY(!c.ended());
}

void TestKonsol::openingRefusals()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    const int empty = newMeeting(hall, QStringLiteral("20990101"), QStringLiteral("Пустое"));
    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());

    // A meeting without agenda items: refused, its start stays empty.
    QVERIFY(!otkryt(c, empty));
    QCOMPARE(c.dialogs.modalClasses, QStringList{QStringLiteral("TZasedanieForm")});
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Заседание [Пустое] без повестки! Дальнейшие операции с ним невозможны!")});
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Начать заседание"));
    QCOMPARE(c->IdZasedania(), 0);
    QVERIFY(hall.scalar(QStringLiteral("SELECT start FROM zasedanie WHERE id = %1").arg(empty)).isNull());
    QVERIFY(frame(c)->PovestkaSkryta());

    // Leaving the chooser with "Закрыть" changes nothing.
    c.dialogs.clear();
    frame(c)->KnopkaStartZasClick();
    QCOMPARE(c.dialogs.modalClasses.size(), 1);
    QVERIFY(c.messages().isEmpty());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM zasedanie WHERE start IS NOT NULL")), 0);

    // With a meeting open, the chooser is not even shown.
    QVERIFY(otkryt(c, hall.demoMeeting()));
    c.dialogs.clear();
    frame(c)->KnopkaStartZasClick();
    QVERIFY(c.dialogs.modalClasses.isEmpty());
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Прежде чем открывать новое заседание, нужно закрыть текущее!")});
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Начать заседание"));
}

void TestKonsol::openingActivatesLowestOrd()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    const int demo = hall.demoMeeting();
    // Positions with gaps; the item with the lowest is neither the first by id nor by number.
    const int third = itemByOrd(hall, demo, 3);
    QVERIFY(hall.exec(QStringLiteral("UPDATE povestka SET ord = ord * 10 + 5")));
    QVERIFY(hall.exec(QStringLiteral("UPDATE povestka SET ord = 2 WHERE id = %1").arg(third)));
    // Opened and closed meetings are not offered.
    const int opened = newMeeting(hall, QStringLiteral("20250101"), QStringLiteral("Открытое"));
    const int closed = newMeeting(hall, QStringLiteral("20250102"), QStringLiteral("Закрытое"));
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET start = GETDATE() WHERE id IN (%1,%2)").arg(opened).arg(closed)));
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET stop = GETDATE() WHERE id = %1").arg(closed)));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (5)")));
    QVERIFY(hall.setMode(5, 77, 15));

    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    bool inspected = false;
    vybratZasedanie(c, demo, [&](TZasedanieForm *f) {
        inspected = true;
        QVERIFY(f->pickerMode());
        QVERIFY(f->KnopkaNoviy->isHidden());
        QVERIFY(f->KnopkaUdalit->isHidden());
        QVERIFY(f->KnopkaProtokol->isHidden());
        QVERIFY(!f->KnopkaOK->isHidden());
        QCOMPARE(f->Zasedania->rowCount(), 1);
        QCOMPARE(f->Zasedania->field(QStringLiteral("id")).toInt(), demo);
        snimok(f, QStringLiteral("zasedania_vybor"));
    });
    frame(c)->KnopkaStartZasClick();
    QVERIFY(inspected);

    QCOMPARE(c.messages(), QStringList{QStringLiteral("Заседание [Заседание № 1] успешно активировано!")});
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Начать заседание"));
    QCOMPARE(c.dialogs.shown.last().icon, Dialogs::Information);
    QVERIFY(!hall.scalar(QStringLiteral("SELECT start FROM zasedanie WHERE id = %1").arg(demo)).isNull());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM povestka WHERE aktiv = 1")), 1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE aktiv = 1")), third);
    QVERIFY(!hall.scalar(QStringLiteral("SELECT aktiv_data FROM povestka WHERE id = %1").arg(third)).isNull());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo")), 0);
    // Opening leaves the mode row and registration alone.
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), 5);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start")), 0);

    QCOMPARE(c->IdZasedania(), demo);
    TAdminInterfeis *f = frame(c);
    QCOMPARE(f->ZasedanieFreima(), demo);
    QVERIFY(!f->PovestkaSkryta());
    QVERIFY(!f->InfoPole->isHidden());
    QCOMPARE(cvetFona(f->PanelAdminPovestka), cvet::ZelenayaPovestka());
    QCOMPARE(f->Povestka->rowCount(), 7);
    QCOMPARE(f->Povestka->value(0, QStringLiteral("id")).toInt(), third);  // agenda order

    // The console's clock picks the item up; a terminal started now shows it.
    c.clock();
    QCOMPARE(c->IdPovestki(), third);
    QCOMPARE(f->PovestkaTablDrawColumnCell(0, false), Zelenyi);
    hall.setMode(-1);
    Workstation &d = hall.start("07");
    QVERIFY(d.started());
    QCOMPARE(d->IdZasedania(), demo);
    d.clock();
    QCOMPARE(d->ob().LeiblVopros->text(), QStringLiteral("Вопрос 2"));
}

void TestKonsol::activation()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    const int demo = hall.demoMeeting();
    Workstation &c = hall.start("admin1");
    QVERIFY(otkryt(c, demo));
    c.clock();
    const int first = itemByOrd(hall, demo, 1);
    const int second = itemByOrd(hall, demo, 2);
    QCOMPARE(c->IdPovestki(), first);
    Workstation &d = hall.start("07");
    QVERIFY(d.started());
    QVERIFY(hall.openPeriod(demo) > 0);
    const int periods = hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start"));
    QVERIFY(hall.setMode(5, 41, 15));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (7)")));

    TAdminInterfeis *f = frame(c);
    f->PovestkaTabl->selectRow(rowOf(f->Povestka, second));
    QCOMPARE(f->Povestka->field(QStringLiteral("id")).toInt(), second);
    f->KnopkaAktivVoprosClick();
    QVERIFY(c.messages().size() == 1);  // only the opening's report
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE aktiv = 1")), second);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM povestka WHERE aktiv = 1")), 1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo")), 0);
    // The mode row goes idle and keeps its parameters; registration periods stay.
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), -1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT param1 FROM regim")), 41);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT param2 FROM regim")), 15);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start")), periods);

    // The console does not move the green row itself: its clock does.
    QCOMPARE(c->IdPovestki(), first);
    QCOMPARE(f->PovestkaTablDrawColumnCell(rowOf(f->Povestka, first), false), Sinii);
    c.clock();
    QCOMPARE(c->IdPovestki(), second);
    QCOMPARE(f->PovestkaTablDrawColumnCell(rowOf(f->Povestka, second), false), Zelenyi);
    QCOMPARE(f->PovestkaTablDrawColumnCell(rowOf(f->Povestka, second), true), Zheltyi);
    // The terminal follows within its clock ticks.
    d.clock(2);
    QCOMPARE(d->IdPovestki(), second);
    QCOMPARE(d->ob().LeiblVopros->text(), QStringLiteral("Вопрос 1"));

    // The active item again: renewed, the queue emptied again.
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (7)")));
    f->KnopkaAktivVoprosClick();
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE aktiv = 1")), second);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo")), 0);

    // An agenda that is not the open meeting's: refused.
    c.dialogs.clear();
    f->Povestka->close();
    f->Povestka->setParam(QStringLiteral("a"), demo + 1);
    QVERIFY(f->Povestka->open());
    f->KnopkaAktivVoprosClick();
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Вы можете активировать вопросы повестки дня только их открытого заседения!")});
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Выбор текущего вопроса повестки дня"));
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE aktiv = 1")), second);

    // A failing step: the report, the list emptied, the statements before it stay.
    f->ObnovitPovestku();
    c.dialogs.clear();
    QVERIFY(syroi(hall, QStringLiteral("ALTER TABLE proshu_slovo RENAME TO proshu_x")));
    f->PovestkaTabl->selectRow(rowOf(f->Povestka, first));
    f->KnopkaAktivVoprosClick();
    QCOMPARE(c.dialogs.shown.size(), 1);
    QVERIFY(c.dialogs.shown[0].text.startsWith(QStringLiteral("Ошибка при выборе текущего вопроса повестки дня!\n\r\n\r")));
    QVERIFY(c.dialogs.shown[0].text.contains(QStringLiteral("proshu_slovo")));
    QCOMPARE(c.dialogs.shown[0].caption, QStringLiteral("Выбор текущего вопроса повестки дня"));
    QVERIFY(!c->GlavBasa().hasErrors());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE aktiv = 1")), first);
}

// The console comes back while its open meeting has no active item: "Выбор вопроса" makes
// one active and the hall goes on; a closed meeting's agenda is still refused.
void TestKonsol::openMeetingWithoutActiveItemGoesOn()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int demo = hall.demoMeeting();
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET start = GETDATE() WHERE id = %1").arg(demo)));
    QVERIFY(hall.deactivateItems());
    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    c.second(2);
    TAdminInterfeis *f = frame(c);
    QCOMPARE(f->ZasedanieFreima(), demo);
    const int second = itemByOrd(hall, demo, 2);
    f->PovestkaTabl->selectRow(rowOf(f->Povestka, second));
    f->KnopkaAktivVoprosClick();
    QVERIFY2(c.messages().isEmpty(), qPrintable(c.messages().join(QLatin1String(" | "))));
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE aktiv = 1")), second);
    QCOMPARE(c->IdZasedania(), demo);
    c.clock();
    QCOMPARE(c->IdPovestki(), second);

    // Closed meanwhile: the same press is refused and activates nothing.
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET stop = GETDATE() WHERE id = %1").arg(demo)));
    QVERIFY(hall.deactivateItems());
    c->setIdZasedania(0);
    f->KnopkaAktivVoprosClick();
    QCOMPARE(c.messages().size(), 1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM povestka WHERE aktiv = 1")), 0);
}

void TestKonsol::gridColours()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    const int demo = hall.demoMeeting();
    const int today = itemByOrd(hall, demo, 2);
    const int yesterday = itemByOrd(hall, demo, 3);
    const int active = itemByOrd(hall, demo, 4);
    QVERIFY(hall.exec(QStringLiteral("UPDATE povestka SET aktiv_data = GETDATE() WHERE id = %1").arg(today)));
    QVERIFY(hall.exec(QStringLiteral("UPDATE povestka SET aktiv_data = DATEADD(day, -1, GETDATE()) WHERE id = %1").arg(yesterday)));
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET start = GETDATE()")));
    QVERIFY(hall.activateItem(active));

    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    TAdminInterfeis *f = frame(c);
    QCOMPARE(c->IdPovestki(), active);
    for (bool sel : {false, true}) {
        QCOMPARE(f->PovestkaTablDrawColumnCell(rowOf(f->Povestka, today), sel), sel ? cvet::Serebro() : Sinii);
        QVERIFY(!f->PovestkaTablDrawColumnCell(rowOf(f->Povestka, yesterday), sel).isValid());
        QCOMPARE(f->PovestkaTablDrawColumnCell(rowOf(f->Povestka, active), sel), sel ? Zheltyi : Zelenyi);
        QVERIFY(!f->PovestkaTablDrawColumnCell(rowOf(f->Povestka, itemByOrd(hall, demo, 1)), sel).isValid());
    }

    // The selected item's text, at 12 points whatever it was stored with.
    f->PovestkaTabl->selectRow(rowOf(f->Povestka, itemByOrd(hall, demo, 1)));
    QVERIFY(!f->InfoPole->toPlainText().isEmpty());
    for (QTextBlock b = f->InfoPole->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            QCOMPARE(it.fragment().charFormat().fontPointSize(), 12.0);
    snimok(c.glav(), QStringLiteral("konsol_offscreen"));
}

void TestKonsol::closing()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    const int demo = hall.demoMeeting();
    // Another meeting with an item that claims to be active: closing clears it too.
    const int other = newMeeting(hall, QStringLiteral("20200101"), QStringLiteral("Другое"));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                                     "VALUES (%1,0,1,1,'Вопрос 1','',0)").arg(other)));
    Workstation &c = hall.start("admin1");
    QVERIFY(otkryt(c, demo));
    c.clock();
    Workstation &d = hall.start("07");
    QVERIFY(d.started());
    QVERIFY(hall.exec(QStringLiteral("UPDATE povestka SET aktiv = 1 WHERE id_zasedanie = %1").arg(other)));
    const int earlier = hall.openPeriod(demo);
    QVERIFY(earlier > 0);
    c->setIdSessii(earlier);
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (3)")));
    QVERIFY(hall.setMode(5, earlier, 15));
    const int chairman = hall.deputyAt("02");

    // "No" changes nothing.
    c.dialogs.clear();
    c.dialogs.answers.enqueue(Dialogs::No);
    frame(c)->KnopkaStopZasClick();
    QCOMPARE(c.dialogs.shown.last().text, QStringLiteral("Вы уверены, что хотите завершить текущее заседание?"));
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Завершение заседания"));
    QCOMPARE(c.dialogs.shown.last().defaultButton, Dialogs::No);
    QVERIFY(hall.scalar(QStringLiteral("SELECT stop FROM zasedanie WHERE id = %1").arg(demo)).isNull());

    c.dialogs.clear();
    c.dialogs.answers.enqueue(Dialogs::Yes);
    frame(c)->KnopkaStopZasClick();
    QCOMPARE(c.messages(), (QStringList{QStringLiteral("Вы уверены, что хотите завершить текущее заседание?"),
                                        QStringLiteral("Заседание успешно завершено!")}));
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Завершение заседания"));
    QCOMPARE(c.dialogs.shown.last().icon, Dialogs::Information);

    QVERIFY(!hall.scalar(QStringLiteral("SELECT stop FROM zasedanie WHERE id = %1").arg(demo)).isNull());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM povestka WHERE aktiv <> 0")), 0);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM proshu_slovo")), 0);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), -1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT param1 FROM regim")), earlier);
    // One more period, closed at once, with exactly the chairman in it; none left open.
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start")), 2);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start WHERE stop IS NULL")), 0);
    const int last = hall.scalarInt(QStringLiteral("SELECT max(id) FROM sessia_start"));
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id_zasedanie FROM sessia_start WHERE id = %1").arg(last)), demo);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia = %1").arg(last)), 1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id_deputat FROM sessia WHERE id_sessia = %1").arg(last)), chairman);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id_zasedanie FROM sessia WHERE id_sessia = %1").arg(last)), demo);

    QCOMPARE(c->IdSessii(), -1);
    QCOMPARE(c->IdZasedania(), 0);
    QCOMPARE(c->IdPovestki(), -1);
    QVERIFY(c->ob().LeiblVopros->text().isEmpty());
    TAdminInterfeis *f = frame(c);
    QCOMPARE(f->ZasedanieFreima(), 0);
    QVERIFY(f->PovestkaSkryta());
    QVERIFY(f->InfoPole->isHidden());
    QCOMPARE(cvetFona(f->PanelAdminPovestka), cvet::Serebro());

    // Ticks afterwards keep it so; the terminal's board loses the item.
    hall.second(2);
    QVERIFY(f->PovestkaSkryta());
    QCOMPARE(cvetFona(f->PanelAdminPovestka), cvet::Serebro());
    QVERIFY(d->ob().LeiblVopros->text().isEmpty());
    QVERIFY(!c.ended());

    // Nothing to close or activate any more; a closed meeting is not offered again.
    c.dialogs.clear();
    f->KnopkaStopZasClick();
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Заседание еще не открыто! Завершение невозможно!")});
    QCOMPARE(c.dialogs.shown.last().caption, QStringLiteral("Завершить заседание"));
    c.dialogs.clear();
    f->KnopkaAktivVoprosClick();
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Вы можете активировать вопросы повестки дня только их открытого заседения!")});
    c.dialogs.clear();
    vybratZasedanie(c, demo, [](TZasedanieForm *form) { QVERIFY(form->KnopkaOK->isHidden() == form->Zasedania->isEmpty()); });
    f->KnopkaStartZasClick();
    QVERIFY(c.messages().isEmpty());
    QCOMPARE(c->IdZasedania(), 0);
}

// With no seat assignment marked chairman, no presence record is invented for deputy 0.
void TestKonsol::closingWithoutChairman()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    QVERIFY(hall.exec(QStringLiteral("UPDATE sostav SET chairman = 0")));
    Workstation &c = hall.start("admin1");
    QVERIFY(otkryt(c, hall.demoMeeting()));
    c.dialogs.answers.enqueue(Dialogs::Yes);
    frame(c)->KnopkaStopZasClick();
    QCOMPARE(c->IdZasedania(), 0);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start")), 1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), 0);
}

void TestKonsol::closingFailureKeepsTheMeeting()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    const int demo = hall.demoMeeting();
    Workstation &c = hall.start("admin1");
    QVERIFY(otkryt(c, demo));
    c.clock();
    QVERIFY(syroi(hall, QStringLiteral("ALTER TABLE proshu_slovo RENAME TO proshu_x")));
    c.dialogs.clear();
    c.dialogs.answers.enqueue(Dialogs::Yes);
    frame(c)->KnopkaStopZasClick();
    QCOMPARE(c.dialogs.shown.size(), 2);
    const FakeDialogs::Shown &m = c.dialogs.shown[1];
    QVERIFY2(m.text.startsWith(QStringLiteral("Ошибка завершения заседания!\n\r\n\r")), qPrintable(m.text));
    QCOMPARE(m.caption, QStringLiteral("Выбор текущего вопроса повестки дня"));
    QCOMPARE(m.icon, Dialogs::Error);
    QVERIFY(!c->GlavBasa().hasErrors());
    // The steps before the failure stay; the console state after it is not changed.
    QVERIFY(!hall.scalar(QStringLiteral("SELECT stop FROM zasedanie WHERE id = %1").arg(demo)).isNull());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM povestka WHERE aktiv = 1")), 0);
    QCOMPARE(c->IdPovestki(), -1);
    QCOMPARE(c->IdZasedania(), demo);
    QCOMPARE(frame(c)->ZasedanieFreima(), demo);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia_start")), 0);
}

void TestKonsol::agendaEditorButton()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    const int demo = hall.demoMeeting();
    const int older = newMeeting(hall, QStringLiteral("20200101"), QStringLiteral("Прошлое"));
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET start = GETDATE(), stop = GETDATE() WHERE id = %1").arg(older)));
    const int later = newMeeting(hall, QStringLiteral("20990101"), QStringLiteral("Будущее"));
    Workstation &c = hall.start("admin1");
    QVERIFY(c.started());
    TAdminInterfeis *f = frame(c);

    // No active item: the latest meeting by date.
    int editorMeeting = -2;
    QString caption;
    auto seeEditor = [&](QDialog *d) {
        auto *ed = qobject_cast<TRedaktorPovestki *>(d);
        if (ed) {
            editorMeeting = ed->PovestkaFreim->zasedanie();
            caption = ed->PovestkaFreim->Zasedanie->text();
        }
        return int(QDialog::Rejected);
    };
    c.dialogs.modalHandlers.enqueue(seeEditor);
    f->KnopkaRedaktorPovestkaClick();
    QCOMPARE(editorMeeting, later);
    QCOMPARE(caption, QStringLiteral("Будущее"));

    // The open meeting's agenda: the editor's changes re-read the console's list, which keeps
    // its cursor; the meetings window refuses to delete the console's meeting and opens the
    // protocol of a closed one.
    QVERIFY(otkryt(c, demo));
    const int kept = itemByOrd(hall, demo, 3);
    f->PovestkaTabl->selectRow(rowOf(f->Povestka, kept));
    c.dialogs.clear();
    bool fullMode = false;
    c.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *ed = qobject_cast<TRedaktorPovestki *>(d);
        if (!ed)
            return int(QDialog::Rejected);
        editorMeeting = ed->PovestkaFreim->zasedanie();
        caption = ed->PovestkaFreim->Zasedanie->text();
        snimok(ed, QStringLiteral("redaktor_povestki"));
        hall.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                                 "VALUES (%1,1,1,0,'Доп. вопрос 1','',0)").arg(demo));
        ed->onAgendaChanged();
        // The meetings window from the editor's caption, in full mode.
        c.dialogs.modalHandlers.enqueue([&](QDialog *w) {
            auto *z = qobject_cast<TZasedanieForm *>(w);
            if (!z)
                return int(QDialog::Rejected);
            fullMode = !z->pickerMode();
            snimok(z, QStringLiteral("zasedania"));
            if (z->selectMeeting(demo))
                z->ZasedanieUdalitExecute();
            if (z->selectMeeting(older))
                z->KnopkaProtokolClick();
            return int(QDialog::Rejected);
        });
        ed->PovestkaFreim->ZasedanieClick();
        return int(QDialog::Rejected);
    });
    f->KnopkaRedaktorPovestkaClick();
    QCOMPARE(editorMeeting, demo);
    QCOMPARE(caption, QStringLiteral("Заседание № 1"));
    QVERIFY(fullMode);
    QCOMPARE(f->Povestka->rowCount(), 8);
    QCOMPARE(f->Povestka->value(0, QStringLiteral("opisanie")).toString(), QStringLiteral("Доп. вопрос 1"));
    QCOMPARE(f->Povestka->field(QStringLiteral("id")).toInt(), kept);
    QCOMPARE(c.messages(), QStringList{QStringLiteral("Нельзя удалять текущее заседание!")});
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM zasedanie WHERE id = %1").arg(demo)), 1);
    QCOMPARE(c.dialogs.modalClasses,
             (QStringList{QStringLiteral("TRedaktorPovestki"), QStringLiteral("TZasedanieForm"),
                          QStringLiteral("TProtokolForma")}));
    QVERIFY(!c->GlavBasa().hasErrors());
}

void TestKonsol::voteButtonOpensSetUp()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &c = hall.start("admin1");
    QVERIFY(otkryt(c, hall.demoMeeting()));
    c.dialogs.clear();
    frame(c)->KnopkaStartGolosovaniaClick();
    QCOMPARE(c.dialogs.modalClasses, QStringList{QStringLiteral("TGolosovanieForma")});
}

QTEST_MAIN(TestKonsol)
#include "test_konsol.moc"
