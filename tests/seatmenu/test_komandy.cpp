// The operator's seat menu on the seat map: registering and cancelling a seat's deputy,
// seating a deputy (one transaction), and the remote commands with the hall carrying them out.
#include "editors/deputat_form.h"
#include "hall/menu_deputat.h"
#include "support/workstation.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {

// The console with the seat map built (its first activation) and an active agenda item.
Workstation &pult(TestHall &hall)
{
    hall.activateItem(hall.scalarInt("SELECT MIN(id) FROM povestka"));
    Workstation &ws = hall.start("admin1");
    if (ws.started())
        ws->ekrany().PostroitKartuMest();
    return ws;
}

TMenuDeputat *naMeste(Workstation &ws, int mesto)
{
    ws->setVibranoeMesto(mesto);
    return qobject_cast<TMenuDeputat *>(ws->karta().MenuDeputat);
}

void pravyiKlik(Workstation &ws, int mesto)
{
    QWidget *l = ws->karta().MestoLeibl[mesto];
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), l->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(l, &e);
}

QString imya(Workstation &ws, int mesto) { return ws->karta().MestoLeibl[mesto]->text(); }

QString fio(TestHall &hall, int id)
{
    return hall.scalar(QString("SELECT familia + ' ' + imya + ' ' + otchestvo FROM deputat WHERE id = %1").arg(id)).toString();
}

int zapisei(TestHall &hall, int id, int period)
{
    return hall.scalarInt(QString("SELECT count(*) FROM sessia WHERE id_deputat = %1 AND id_sessia = %2").arg(id).arg(period));
}

int chairman(TestHall &hall, const QString &nomer)
{
    return hall.scalarInt("SELECT chairman FROM sostav,mesto WHERE sostav.id_mesto = mesto.id AND nomer = " + sql::quote(nomer));
}

bool osvobodit(TestHall &hall, const QString &nomer)
{
    return hall.exec("DELETE FROM sostav WHERE id_mesto = (SELECT id FROM mesto WHERE nomer = " + sql::quote(nomer) + ")");
}

// SQLite's own statements (triggers that make a step fail), past the T-SQL layer.
bool sqlite(TestHall &hall, const QString &statement)
{
    return QSqlQuery(hall.db().database()).exec(statement);
}

// A chooser answer: the cursor on a deputy, then "Выбрать".
std::function<int(QDialog *)> vybrat(int id)
{
    return [id](QDialog *d) {
        auto *f = qobject_cast<TMestoDeputatForma *>(d);
        if (!f->selectDeputat(id))
            return int(QDialog::Rejected);
        f->KnopkaViborClick();
        return f->result();
    };
}

int kod(TestHall &hall) { return hall.scalarInt("SELECT nomer FROM regim"); }
int param1(TestHall &hall) { return hall.scalarInt("SELECT param1 FROM regim"); }

}  // namespace

class TestKomandy : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menuOnTheMap();
    void registerAndCancel();
    void seatingMovesAndUnregisters();
    void seatingOnEmptyChairmanSeat();
    void seatingFailureLeavesSeatsAsTheyWere();
    void controlWord();
    void remoteCommandsInTheHall();
    void screenshot();
};

void TestKomandy::menuOnTheMap()
{
    TestHall hall;
    Workstation &ws = pult(hall);
    QVERIFY(ws.started());
    auto *m = qobject_cast<TMenuDeputat *>(ws->karta().MenuDeputat);
    QVERIFY(m);
    QStringList captions;
    for (QAction *a : m->actions())
        captions << a->text();
    QCOMPARE(captions, (QStringList{"Зарегистрировать", "Снять регистрацию", "Выбрать депутата",
                                    "Перезапустить все терминалы", "Закрыть все терминалы", "Выключить все компьютеры"}));
    // Owner-drawn: every item as high as "WWWWWW" in 18 pt bold plus 10.
    const QFontMetrics fm(TMenuDeputat::ShriftPunkta());
    m->adjustSize();
    for (QAction *a : m->actions())
        QCOMPARE(m->actionGeometry(a).height(), fm.height() + 10);

    // A right click on a name label opens the menu on that seat; the command acts on it.
    pravyiKlik(ws, 14);
    QCOMPARE(ws->VibranoeMesto(), 14);
    QVERIFY(m->isVisible());
    m->hide();
    const int period = hall.openPeriod(ws->IdZasedania());
    ws->setIdSessii(period);
    ws.dialogs.answers.enqueue(Dialogs::Yes);
    m->MenuReg->trigger();
    QCOMPARE(zapisei(hall, hall.deputyAt("14"), period), 1);

    // The chairman terminal shows the same map without the menu, and the commands refuse.
    Workstation &ch = hall.start("02");
    QVERIFY(ch.started() && ch->ekrany().PostroitKartuMest());
    pravyiKlik(ch, 9);
    QCOMPARE(ch->VibranoeMesto(), 0);
    ch->setIdSessii(period);
    ch.dialogs.modalHandlers.enqueue(vybrat(hall.deputyAt("12")));
    naMeste(ch, 9)->MenuRegClick();
    naMeste(ch, 9)->MenuViborDeputataClick();
    QVERIFY(ch.dialogs.shown.isEmpty() && ch.dialogs.modalClasses.isEmpty());
}

void TestKomandy::registerAndCancel()
{
    TestHall hall;
    Workstation &ws = pult(hall);
    QVERIFY(ws.started() && ws->IdZasedania() > 0);
    const int ranee = hall.openPeriod(ws->IdZasedania());
    const int period = hall.openPeriod(ws->IdZasedania());
    const int x = hall.deputyAt("07");

    // No registration period yet: nothing is asked or written.
    naMeste(ws, 7)->MenuRegClick();
    QVERIFY(ws.dialogs.shown.isEmpty());

    // The period as the console learns it, from the registration mode.
    QVERIFY(hall.setMode(1, period, 30));
    ws.poll();
    QVERIFY(hall.setMode(5, period, 15));
    ws.poll();
    QCOMPARE(ws->IdSessii(), period);
    ws.dialogs.answers << Dialogs::No << Dialogs::Yes;
    naMeste(ws, 7)->MenuRegClick();
    QCOMPARE(zapisei(hall, x, period), 0);
    const FakeDialogs::Shown q = ws.dialogs.shown.first();
    QCOMPARE(q.text, "Вы действительно хотите зарегистрировать депутата [" + fio(hall, x) + "]?");
    QCOMPARE(q.caption, QStringLiteral("Регистрация депутата"));
    QCOMPARE(q.defaultButton, Dialogs::No);
    naMeste(ws, 7)->MenuRegClick();
    QCOMPARE(zapisei(hall, x, period), 1);
    QCOMPARE(hall.scalarInt(QString("SELECT id_zasedanie FROM sessia WHERE id_deputat = %1").arg(x)), ws->IdZasedania());

    // Already registered (even before the map's refresh read it): nothing.
    ws.dialogs.clear();
    ws.dialogs.answers << Dialogs::Yes;
    naMeste(ws, 7)->MenuRegClick();
    QVERIFY(ws.dialogs.shown.isEmpty());
    QCOMPARE(zapisei(hall, x, period), 1);
    // No current meeting: nothing.
    const int zasedanie = ws->IdZasedania();
    ws->setIdZasedania(0);
    naMeste(ws, 8)->MenuRegClick();
    QVERIFY(ws.dialogs.shown.isEmpty());
    ws->setIdZasedania(zasedanie);

    // Cancelling removes the record of this period only; the chairman's seat and a seat
    // that is not registered are left alone.
    QVERIFY(hall.registerDeputy(x, ranee, zasedanie));
    QVERIFY(hall.registerDeputy(hall.deputyAt("02"), period, zasedanie));
    naMeste(ws, 2)->MenuNeRegClick();
    naMeste(ws, 9)->MenuNeRegClick();
    QVERIFY(ws.dialogs.shown.isEmpty());
    ws.dialogs.answers << Dialogs::Yes;
    naMeste(ws, 7)->MenuNeRegClick();
    QCOMPARE(ws.dialogs.lastText(), "Вы действительно хотите отменить регистрацию депутата [" + fio(hall, x) + "]?");
    QCOMPARE(zapisei(hall, x, period), 0);
    QCOMPARE(zapisei(hall, x, ranee), 1);
    QCOMPARE(zapisei(hall, hall.deputyAt("02"), period), 1);

    // A failing statement: the report with the database's text, taken off the connection, so
    // the console goes on (its timers run inside the box).
    QVERIFY(sqlite(hall, "CREATE TRIGGER t BEFORE INSERT ON sessia BEGIN SELECT RAISE(ABORT, 'net registracii'); END"));
    ws.dialogs.answers << Dialogs::Yes;
    ws.dialogs.whileShown = [&] { ws.second(); };
    naMeste(ws, 7)->MenuRegClick();
    QVERIFY(ws.dialogs.lastText().startsWith("Ошибка работы с базой данных при регистрации депутата! \n\r\n\r"));
    QVERIFY(ws.dialogs.lastText().contains("net registracii"));
    QCOMPARE(ws.dialogs.shown.last().icon, Dialogs::Error);
    ws.dialogs.whileShown = nullptr;
    ws.clock();
    QVERIFY(!ws.ended());
}

void TestKomandy::seatingMovesAndUnregisters()
{
    TestHall hall;
    Workstation &ws = pult(hall);
    QVERIFY(ws.started());
    const int ranee = hall.openPeriod(ws->IdZasedania());
    const int period = hall.openPeriod(ws->IdZasedania());
    ws->setIdSessii(period);
    const int x = hall.deputyAt("12"), y = hall.deputyAt("07"), z = hall.deputyAt("08");
    for (int d : {x, y, z})
        QVERIFY(hall.registerDeputy(d, period, ws->IdZasedania()));
    QVERIFY(hall.registerDeputy(x, ranee, ws->IdZasedania()));

    // "Закрыть" and choosing the seat's own deputy change nothing.
    ws.dialogs.modalHandlers.enqueue([](QDialog *d) {
        d->reject();
        return d->result();
    });
    ws.dialogs.modalHandlers.enqueue(vybrat(y));
    naMeste(ws, 7)->MenuViborDeputataClick();
    naMeste(ws, 7)->MenuViborDeputataClick();
    QCOMPARE(ws.dialogs.modalClasses.size(), 2);
    QCOMPARE(zapisei(hall, y, period), 1);

    bool chooser = false;
    ws.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *f = qobject_cast<TMestoDeputatForma *>(d);
        chooser = f->windowTitle() == "Выбор депутата - Место 07" && f->currentId() == y
                  && f->Spisok->columnWidth(0) == f->Spisok->width() - 17 - 5;
        return vybrat(x)(d);
    });
    naMeste(ws, 7)->MenuViborDeputataClick();
    QVERIFY(chooser);
    QVERIFY(ws.dialogs.shown.isEmpty());
    QCOMPARE(imya(ws, 12), QStringLiteral("-"));
    QCOMPARE(imya(ws, 7), fio(hall, x));
    QCOMPARE(hall.deputyAt("07"), x);
    QCOMPARE(hall.deputyAt("12"), -1);
    QCOMPARE(hall.scalarInt(QString("SELECT count(*) FROM sostav WHERE id_deputat IN (%1,%2)").arg(x).arg(y)), 1);
    // X and Y lose their presence in this period; nobody else, no other period.
    QCOMPARE(zapisei(hall, x, period) + zapisei(hall, y, period), 0);
    QCOMPARE(zapisei(hall, z, period) + zapisei(hall, x, ranee), 2);
    QCOMPARE(chairman(hall, "07"), 0);
    // The next activation rebuilds the map from the new assignments: the same picture.
    QVERIFY(ws->ekrany().PostroitKartuMest());
    QCOMPARE(imya(ws, 12), QStringLiteral("-"));
    QCOMPARE(imya(ws, 7), fio(hall, x));
}

void TestKomandy::seatingOnEmptyChairmanSeat()
{
    TestHall hall;
    Workstation &ws = pult(hall);
    QVERIFY(ws.started());
    const int period = hall.openPeriod(ws->IdZasedania());
    ws->setIdSessii(period);
    const int predsedatel = hall.deputyAt("02"), w = hall.deputyAt("05");
    QVERIFY(hall.registerDeputy(w, period, ws->IdZasedania()));
    QVERIFY(osvobodit(hall, "02"));
    QVERIFY(ws->ekrany().PostroitKartuMest());

    ws.dialogs.modalHandlers.enqueue(vybrat(w));
    naMeste(ws, 2)->MenuViborDeputataClick();
    QCOMPARE(hall.deputyAt("02"), w);
    QCOMPARE(chairman(hall, "02"), 1);
    QCOMPARE(imya(ws, 2), fio(hall, w));
    QCOMPARE(imya(ws, 5), QStringLiteral("-"));
    QCOMPARE(zapisei(hall, w, period), 1);  // nobody was replaced

    // Replacing the deputy on "02" makes the new one chairman too.
    QVERIFY(hall.exec("UPDATE sostav SET chairman = 0"));
    ws.dialogs.modalHandlers.enqueue(vybrat(predsedatel));
    naMeste(ws, 2)->MenuViborDeputataClick();
    QCOMPARE(hall.deputyAt("02"), predsedatel);
    QCOMPARE(chairman(hall, "02"), 1);
    QCOMPARE(zapisei(hall, w, period), 0);
}

void TestKomandy::seatingFailureLeavesSeatsAsTheyWere()
{
    TestHall hall;
    Workstation &ws = pult(hall);
    QVERIFY(ws.started());
    const int period = hall.openPeriod(ws->IdZasedania());
    ws->setIdSessii(period);
    const int x = hall.deputyAt("12"), y = hall.deputyAt("07");
    QVERIFY(hall.registerDeputy(x, period, ws->IdZasedania()));

    // The last step fails after the old seat was freed and the new deputy written.
    QVERIFY(sqlite(hall, "CREATE TRIGGER t BEFORE DELETE ON sessia BEGIN SELECT RAISE(ABORT, 'sessia zaperta'); END"));
    ws.dialogs.modalHandlers.enqueue(vybrat(x));
    naMeste(ws, 7)->MenuViborDeputataClick();
    QVERIFY(ws.dialogs.lastText().startsWith(QStringLiteral("Ошибка работы с базой данных при выборе депутата! \n\r\n\r")));
    QVERIFY(ws.dialogs.lastText().contains("sessia zaperta"));
    QVERIFY(!ws->GlavBasa().hasErrors());
    QCOMPARE(hall.deputyAt("12"), x);
    QCOMPARE(hall.deputyAt("07"), y);
    QCOMPARE(zapisei(hall, x, period), 1);
    QCOMPARE(imya(ws, 12), fio(hall, x));
    QCOMPARE(imya(ws, 7), fio(hall, y));

    // On an empty seat the insert fails after the chosen deputy's old seat was freed.
    QVERIFY(sqlite(hall, "DROP TRIGGER t"));
    QVERIFY(sqlite(hall, "CREATE TRIGGER t BEFORE INSERT ON sostav BEGIN SELECT RAISE(ABORT, 'sostav zapert'); END"));
    QVERIFY(osvobodit(hall, "07"));
    ws->GlavBasa().clearErrors();
    ws.dialogs.modalHandlers.enqueue(vybrat(x));
    naMeste(ws, 7)->MenuViborDeputataClick();
    QVERIFY(ws.dialogs.lastText().contains("sostav zapert"));
    QCOMPARE(hall.deputyAt("12"), x);
    QCOMPARE(imya(ws, 12), fio(hall, x));
    // No transaction is left open: others can still write.
    QVERIFY(hall.exec("UPDATE mesto SET connected = 0"));
}

void TestKomandy::controlWord()
{
    TestHall hall;
    Workstation &ws = pult(hall);
    QVERIFY(ws.started());
    QVERIFY(hall.setMode(5, 3, 15));
    TMenuDeputat *m = naMeste(ws, 7);

    // Anything but the exact word, a cancelled box included, writes nothing.
    ws.dialogs.inputs << "Kvorn" << "KVORN" << "kvorn " << "";
    for (int i = 0; i < 4; ++i)
        m->MenuPeresapuskVsehClick();
    m->OtklKompClick();  // nothing queued: cancelled
    QCOMPARE(ws.dialogs.shown.size(), 5);
    for (const FakeDialogs::Shown &s : ws.dialogs.shown)
        QVERIFY(s.text == "Контрольное слово было введено не верно!" && s.caption == "Ошибка" && s.icon == Dialogs::Error);
    QCOMPARE(kod(hall), 5);
    QCOMPARE(param1(hall), 3);

    const struct {
        void (TMenuDeputat::*komanda)();
        int kod;
        const char *zagolovok;
    } komandy[] = {
        {&TMenuDeputat::MenuPeresapuskVsehClick, -7, "Удаленное перезапуск терминалов"},
        {&TMenuDeputat::MenuZakrVsehClick, -5, "Удаленное выключение терминалов"},
        {&TMenuDeputat::OtklKompClick, -6, "Удаленное выключение компьютеров"},
    };
    for (const auto &k : komandy) {
        ws.dialogs.inputs << "kvorn";
        (m->*k.komanda)();
        QCOMPARE(kod(hall), k.kod);
        QCOMPARE(param1(hall), 10);
        QCOMPARE(hall.scalarInt("SELECT param2 FROM regim"), 15);
        QCOMPARE(ws.dialogs.inputCaptions.last(), QString::fromUtf8(k.zagolovok));
        QCOMPARE(ws.dialogs.inputPrompts.last(), QStringLiteral("Введите контрольное слово:"));
    }
    QCOMPARE(ws.dialogs.shown.size(), 5);
}

void TestKomandy::remoteCommandsInTheHall()
{
    // Restart: every terminal restarts once; brought back while the command is in force, the
    // "Zapret" guard holds; the console counts the window down to idle.
    {
        TestHall hall;
        Workstation &console = pult(hall);
        QList<Workstation *> terminaly{&hall.start("02"), &hall.start("07"), &hall.start("watcher")};
        hall.clock();
        console.dialogs.inputs << "kvorn";
        naMeste(console, 7)->MenuPeresapuskVsehClick();
        hall.clock();
        QCOMPARE(param1(hall), 9);
        QList<Workstation *> snova;
        for (Workstation *t : terminaly) {
            QVERIFY(t->ended());
            QCOMPARE(t->platform.restarts, 1);
            snova << &hall.restart(*t);
            QVERIFY(snova.last()->started());
        }
        QList<int> ostalos;
        for (int i = 0; i < 8; ++i) {
            hall.clock();
            ostalos << param1(hall);
        }
        QCOMPARE(ostalos, (QList<int>{8, 7, 6, 5, 4, 3, 2, 1}));
        hall.clock();
        QCOMPARE(kod(hall), -1);
        for (Workstation *s : snova) {
            QVERIFY(!s->ended());
            QCOMPARE(s->platform.restarts, 0);
            QCOMPARE(s->setting("Restart", "Zapret"), QStringLiteral("0"));
        }
        QVERIFY(!console.ended());
    }
    // Close: the terminals end at the first tick. Power off: issued on every tick while the
    // code stays (nine ticks see -6, the tenth -1).
    for (bool zakryt : {true, false}) {
        TestHall hall;
        Workstation &console = pult(hall);
        QList<Workstation *> terminaly{&hall.start("02"), &hall.start("07")};
        console.dialogs.inputs << "kvorn";
        zakryt ? naMeste(console, 7)->MenuZakrVsehClick() : naMeste(console, 7)->OtklKompClick();
        hall.clock(10);
        QCOMPARE(kod(hall), -1);
        for (Workstation *t : terminaly) {
            QCOMPARE(t->ended(), zakryt);
            QCOMPARE(t->platform.powerOffs, zakryt ? 0 : 9);
            QCOMPARE(t->platform.restarts, 0);
        }
        QVERIFY(!console.ended() && console.platform.powerOffs == 0);
    }
}

// The real console window with the menu open on a display (Xvfb): run with
// SEATMENU_SHOTS=<folder> and QT_QPA_PLATFORM=xcb.
void TestKomandy::screenshot()
{
    const QString papka = qEnvironmentVariable("SEATMENU_SHOTS");
    if (papka.isEmpty())
        QSKIP("SEATMENU_SHOTS not set");
    TestHall hall;
    Workstation &ws = pult(hall);
    QVERIFY(ws.started());
    ws->setGeometry(QRect(QPoint(0, 0), ws.platform.screenSize()));
    ws->show();
    QVERIFY(QTest::qWaitForWindowExposed(ws.glav()));
    ws.monitor();
    pravyiKlik(ws, 7);
    auto *m = qobject_cast<TMenuDeputat *>(ws->karta().MenuDeputat);
    QVERIFY(QTest::qWaitForWindowExposed(m));
    m->setActiveAction(m->MenuViborDeputata);
    QTest::qWait(300);
    QDir().mkpath(papka);
    QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(papka).filePath("seatmenu_open.png")));
}

QTEST_MAIN(TestKomandy)
#include "test_komandy.moc"
