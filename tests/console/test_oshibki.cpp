// Failed statements of the console's windows are reported once and the console goes on: the
// box is shown with the error already taken off the connection, while the main window's
// timers tick inside it (as they do in Qt's modal loop); only an error that nobody reported
// ends the program. Also the take-over of a registration or vote left running by a console
// that went away.

#include "konsol_fixture.h"

#include "console/golosovanie_forma.h"
#include "console/process_golos2_forma.h"
#include "console/process_golos_forma.h"
#include "console/registr_forma.h"
#include "core/oshibka.h"
#include "core/rezhim.h"
#include "editors/deputat_form.h"
#include "hall/gimn_forma.h"
#include "hall/golosovanie_panel.h"
#include "protocol/protokol_forma.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace konsol_test;

namespace {

// A console with the demo meeting open and its timers running inside every message box.
struct Konsol {
    TestHall hall;
    Workstation *ws = nullptr;

    bool podgotovit()
    {
        if (!hall.ok() || !hall.deactivateItems())
            return false;
        ws = &hall.start(QStringLiteral("admin1"));
        if (!ws->started() || !otkryt(*ws, hall.demoMeeting()))
            return false;
        ws->clock();
        ws->dialogs.clear();
        ws->dialogs.whileShown = [this] { ws->second(); };
        return !ws->ended();
    }
    DbConnection &db() { return (*ws)->GlavBasa(); }
    // The console is alive, its connection clean, and exactly one box was shown.
    bool odinOtchet(const QString &nachalo, QString *problema)
    {
        ws->second(2);
        if (ws->ended())
            *problema = QStringLiteral("the console ended: ") + ws->messages().join(QLatin1String(" | ")) + QLatin1Char(' ') + db().firstErrorText();
        else if (db().hasErrors())
            *problema = QStringLiteral("an error is still pending: ") + db().firstErrorText();
        else if (ws->dialogs.shown.size() != 1)
            *problema = QStringLiteral("%1 boxes: ").arg(ws->dialogs.shown.size()) + ws->messages().join(QLatin1String(" | "));
        else if (!ws->dialogs.shown.first().text.startsWith(nachalo))
            *problema = QStringLiteral("unexpected text: ") + ws->dialogs.shown.first().text;
        else if (ws->dialogs.shown.first().icon != Dialogs::Error)
            *problema = QStringLiteral("no error icon");
        return problema->isEmpty();
    }
};

}  // namespace

class TestOshibki : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void takesTheErrorsBeforeTheBox();
    void meetingWithItemsIsNotDeleted();
    void failedVoteStart();
    void failedProtocolStatement();
    void failedEditorInsert();
    void failedEditorUpdateAndDelete();
    void unreportedErrorStillEndsTheProgram();
    void runningVoteIsCarriedToItsEnd();
    void runningRegistrationIsCarriedToItsEnd();
    void movingCountdownIsLeftAlone();
};

void TestOshibki::takesTheErrorsBeforeTheBox()
{
    DbConnection db;
    FakeDialogs dialogs;
    db.setError(QStringLiteral("busy"), 5);
    bool pustoVOkne = false;
    dialogs.whileShown = [&] { pustoVOkne = !db.hasErrors(); };
    QVERIFY(soobshitOshibku(&dialogs, nullptr, &db, QStringLiteral("Ошибка запроса повестки ("), QStringLiteral(")!")));
    QVERIFY(pustoVOkne);
    QCOMPARE(dialogs.shown.size(), 1);
    // The heading, the description (in Russian, the engine's words and number kept), the ending.
    QVERIFY2(dialogs.lastText().startsWith(QStringLiteral("Ошибка запроса повестки (Ошибка базы данных.")),
             qPrintable(dialogs.lastText()));
    QVERIFY2(dialogs.lastText().endsWith(QStringLiteral("(busy, 5))!")), qPrintable(dialogs.lastText()));
    QCOMPARE(dialogs.shown.first().caption, QStringLiteral("Ошибка"));
    // Nothing pending: no box.
    QVERIFY(!soobshitOshibku(&dialogs, nullptr, &db));
    QCOMPARE(dialogs.shown.size(), 1);

    db.setError(QStringLiteral("conflict"), DbError::ReferenceViolation);
    const OshibkaBazy o(&db);
    QVERIFY(o.narushenieSsylki());
    QVERIFY2(o.tekst().startsWith(QStringLiteral("Запись связана с другими записями")), qPrintable(o.tekst()));
    QCOMPARE(o.spisok().first().engineText, QStringLiteral("conflict"));
    QVERIFY(!db.hasErrors());
}

void TestOshibki::meetingWithItemsIsNotDeleted()
{
    Konsol k;
    QVERIFY(k.podgotovit());
    const int other = k.hall.scalarInt(QStringLiteral("SELECT id FROM zasedanie WHERE id <> %1").arg(k.hall.demoMeeting()));
    int meeting = other;
    if (meeting <= 0) {
        QVERIFY(k.hall.exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20240101','Другое','00:00:00')")));
        meeting = k.hall.scalarInt(QStringLiteral("SELECT max(id) FROM zasedanie"));
    }
    QVERIFY(k.hall.exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie) VALUES (%1,0,1,1,'В')").arg(meeting)));
    TZasedanieForm w(&k.db(), &k.ws->dialogs, &k.ws->platform, k.ws->glav());
    QVERIFY(w.selectMeeting(meeting));
    k.ws->dialogs.answers.enqueue(Dialogs::Yes);
    w.ZasedanieUdalitExecute();
    k.ws->dialogs.shown.removeFirst();  // the question
    QString problema;
    QVERIFY2(k.odinOtchet(QStringLiteral("Сначала нужно удалить все вопросы повестки дня"), &problema), qPrintable(problema));
    QCOMPARE(k.hall.scalarInt(QStringLiteral("SELECT count(*) FROM zasedanie WHERE id = %1").arg(meeting)), 1);
}

void TestOshibki::failedVoteStart()
{
    Konsol k;
    QVERIFY(k.podgotovit());
    // No quorum number: the vote starts without the quorum question, straight into the failure.
    QVERIFY(syroi(k.hall, QStringLiteral("UPDATE konstanti SET znachenie = '' WHERE opisanie = 'Кворум'")));
    QVERIFY(syroi(k.hall, QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON golosovanie BEGIN SELECT RAISE(ABORT, 'net mesta'); END")));
    bool ostalos = false;
    k.ws->dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *f = qobject_cast<TGolosovanieForma *>(d);
        if (!f)
            return int(QDialog::Rejected);
        f->KnopkaGolosovanieClick();
        ostalos = f->IdGolosovania() == -1 && !f->Timer1->isActive();
        return int(QDialog::Rejected);
    });
    (*k.ws)->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(ostalos);
    QString problema;
    QVERIFY2(k.odinOtchet(QStringLiteral("Ошибка при запуске голосования!\n\r\n\r"), &problema), qPrintable(problema));
    QVERIFY(k.ws->dialogs.lastText().contains(QStringLiteral("net mesta")));
    QCOMPARE(k.hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), -1);
}

void TestOshibki::failedProtocolStatement()
{
    Konsol k;
    QVERIFY(k.podgotovit());
    QVERIFY(syroi(k.hall, QStringLiteral("ALTER TABLE golosovanie RENAME TO golosovanie_x")));
    // The hall database is put back as soon as the box is up, so the ticks that run while it
    // is shown (the seat map reads the votes too) meet a sound database.
    bool vernuli = false;
    k.ws->dialogs.whileShown = [&] {
        if (!vernuli)
            vernuli = syroi(k.hall, QStringLiteral("ALTER TABLE golosovanie_x RENAME TO golosovanie"));
        k.ws->second();
    };
    TProtokolForma w(&k.db(), &k.ws->dialogs, &k.ws->platform, k.ws->glav());
    w.setMeeting(k.hall.demoMeeting());
    w.FormActivate();
    // The window shows no protocol.
    QVERIFY(vernuli);
    QString problema;
    QVERIFY2(k.odinOtchet(QString(), &problema), qPrintable(problema));
    QVERIFY(k.ws->dialogs.lastText().contains(QStringLiteral("golosovanie")));
}

void TestOshibki::failedEditorInsert()
{
    Konsol k;
    QVERIFY(k.podgotovit());
    QVERIFY(syroi(k.hall, QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON deputat BEGIN SELECT RAISE(ABORT, 'tolko chtenie'); END")));
    const int before = k.hall.scalarInt(QStringLiteral("SELECT count(*) FROM deputat"));
    TMestoDeputatForma w(&k.db(), &k.ws->dialogs, &k.ws->platform, k.ws->glav());
    k.ws->dialogs.modalHandlers.enqueue([](QDialog *d) {
        auto *dlg = qobject_cast<TDeputatRedaktForma *>(d);
        if (!dlg)
            return int(QDialog::Rejected);
        dlg->familia->setText(QStringLiteral("Петров"));
        dlg->imya->setText(QStringLiteral("Пётр"));
        dlg->otchestvo->setText(QStringLiteral("Петрович"));
        dlg->KnopkaOk->click();
        return dlg->result();
    });
    w.DobavitDeputataExecute();
    QString problema;
    QVERIFY2(k.odinOtchet(QString(), &problema), qPrintable(problema));
    QVERIFY(k.ws->dialogs.lastText().contains(QStringLiteral("tolko chtenie")));
    QCOMPARE(k.hall.scalarInt(QStringLiteral("SELECT count(*) FROM deputat")), before);
}

// A refused change and a refused removal of a seated deputy: one box each, the row as it was,
// and the removal's first statement (the seat rows) undone with it.
void TestOshibki::failedEditorUpdateAndDelete()
{
    Konsol k;
    QVERIFY(k.podgotovit());
    const int id = k.hall.scalarInt(QStringLiteral("SELECT min(id_deputat) FROM sostav WHERE id_deputat > 0"));
    QVERIFY(id > 0);
    const int mest = k.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sostav WHERE id_deputat = %1").arg(id));
    QVERIFY(syroi(k.hall, QStringLiteral("CREATE TRIGGER tu BEFORE UPDATE ON deputat BEGIN SELECT RAISE(ABORT, 'net izmenenii'); END")));
    QVERIFY(syroi(k.hall, QStringLiteral("CREATE TRIGGER td BEFORE DELETE ON deputat BEGIN SELECT RAISE(ABORT, 'net udalenii'); END")));
    const QString familia = k.hall.scalar(QStringLiteral("SELECT familia FROM deputat WHERE id = %1").arg(id)).toString();

    TMestoDeputatForma w(&k.db(), &k.ws->dialogs, &k.ws->platform, k.ws->glav());
    QVERIFY(w.selectDeputat(id));
    k.ws->dialogs.modalHandlers.enqueue([](QDialog *d) {
        auto *dlg = qobject_cast<TDeputatRedaktForma *>(d);
        if (!dlg)
            return int(QDialog::Rejected);
        dlg->familia->setText(QStringLiteral("Другая"));
        dlg->KnopkaOk->click();
        return dlg->result();
    });
    w.RedaktDeputataExecute();
    QString problema;
    QVERIFY2(k.odinOtchet(QString(), &problema), qPrintable(problema));
    QVERIFY(k.ws->dialogs.lastText().contains(QStringLiteral("net izmenenii")));
    QCOMPARE(k.hall.scalar(QStringLiteral("SELECT familia FROM deputat WHERE id = %1").arg(id)).toString(), familia);

    k.ws->dialogs.clear();
    QVERIFY(w.selectDeputat(id));
    k.ws->dialogs.answers.enqueue(Dialogs::Yes);
    w.UdalitDeputataExecute();
    k.ws->dialogs.shown.removeFirst();  // the question
    QVERIFY2(k.odinOtchet(QString(), &problema), qPrintable(problema));
    QVERIFY(k.ws->dialogs.lastText().contains(QStringLiteral("net udalenii")));
    QCOMPARE(k.hall.scalarInt(QStringLiteral("SELECT count(*) FROM deputat WHERE id = %1").arg(id)), 1);
    QCOMPARE(k.hall.scalarInt(QStringLiteral("SELECT count(*) FROM sostav WHERE id_deputat = %1").arg(id)), mest);
}

void TestOshibki::unreportedErrorStillEndsTheProgram()
{
    Konsol k;
    QVERIFY(k.podgotovit());
    // A statement of a timer fails and nobody reports it: the connection is taken for lost.
    QVERIFY(syroi(k.hall, QStringLiteral("ALTER TABLE mesto RENAME TO mesto_x")));
    k.ws->monitor();
    QVERIFY(k.ws->ended());
    QVERIFY(k.ws->dialogs.shown.isEmpty());
}

// The console went away in the middle of a vote (the mode row stands at 2 with a countdown
// that no longer moves); the console that comes back carries it on from the seconds left,
// counts the ballots cast meanwhile and before the end, and ends it with its results. A
// ballot after the end is refused.
void TestOshibki::runningVoteIsCarriedToItsEnd()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int item = hall.scalarInt(QStringLiteral("SELECT min(id) FROM povestka WHERE id_zasedanie = %1").arg(hall.demoMeeting()));
    QVERIFY(hall.activateItem(item));
    const int period = hall.openPeriod(hall.demoMeeting());
    for (const char *seat : {"03", "04"})
        QVERIFY(hall.registerDeputy(hall.deputyAt(QString::fromLatin1(seat)), period, hall.demoMeeting()));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                                     "id_povestka,id_sessia) VALUES (getdate(),'Простое большинство',0,0,27,2,'Основной',2,27,%1,%2)")
                          .arg(item)
                          .arg(period)));
    const int vote = hall.scalarInt(QStringLiteral("SELECT max(id) FROM golosovanie"));
    Workstation &d3 = hall.start(QStringLiteral("03"));
    Workstation &d4 = hall.start(QStringLiteral("04"));
    QVERIFY(d3.started() && d4.started());
    QVERIFY(hall.setMode(2, vote, 12));
    hall.poll();
    QVERIFY(d3->panel().KnopkiGolosovania->Golos(1));

    Workstation &c = hall.start(QStringLiteral("admin1"));
    QVERIFY(c.started());
    c->konsol().ZhdatOstanovkiMs = 50;
    QString okno;
    bool prodolzhilsya = false, vtoroiGolos = false;
    c.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *p = qobject_cast<TProcessGolos2Forma *>(d);
        if (!p)
            return int(QDialog::Rejected);
        okno = p->NuznoLeil->text();
        auto *f = c->findChild<TGolosovanieForma *>();
        if (!f)
            return int(QDialog::Rejected);
        // The countdown goes on from where it stood.
        f->Timer1Timer();
        prodolzhilsya = hall.scalarInt(QStringLiteral("SELECT param2 FROM regim")) == 11;
        d4.poll();
        vtoroiGolos = d4->panel().KnopkiGolosovania->Golos(2);
        for (int i = 0; i < 11; ++i)
            f->Timer1Timer();
        return int(p->MozhnoZakrit() ? QDialog::Accepted : QDialog::Rejected);
    });
    QVERIFY(c->konsol().VozobnovitProcess());
    QCOMPARE(okno, QStringLiteral("Для принятия решения необходимо: 2"));
    QVERIFY(prodolzhilsya);
    QVERIFY(vtoroiGolos);
    QCOMPARE(c.dialogs.modalClasses, QStringList{QStringLiteral("TProcessGolos2Forma")});
    QCOMPARE(hall.scalar(QStringLiteral("SELECT nomer FROM regim")).toInt(), 4);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT param1 FROM regim")), vote);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM otvet WHERE id_golosovanie = %1").arg(vote)), 2);
    // After the end no ballot is stored, even from a terminal that has not polled yet.
    QVERIFY(!d3->panel().KnopkiGolosovania->Golos(3));
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT result FROM otvet WHERE id_deputat = %1").arg(hall.deputyAt("03"))), 1);
    QVERIFY(c.messages().isEmpty());
    c.second();
    QVERIFY(!c.ended());
}

void TestOshibki::runningRegistrationIsCarriedToItsEnd()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int period = hall.openPeriod(hall.demoMeeting());
    QVERIFY(hall.setMode(1, period, 5));
    Workstation &c = hall.start(QStringLiteral("admin1"));
    QVERIFY(c.started());
    c->konsol().ZhdatOstanovkiMs = 50;
    QVERIFY(zapisyvatRegim(hall));
    c.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *p = qobject_cast<TProcessGolosForma *>(d);
        if (!p)
            return int(QDialog::Rejected);
        for (int i = 0; i < 5; ++i)
            c->konsol().RegistrForma->TaimerTimer();
        return p->result();
    });
    c.dialogs.modalHandlers.enqueue([](QDialog *d) {
        auto *g = qobject_cast<TGimnForm *>(d);
        if (g)
            g->ZakrGimnClick();
        return int(QDialog::Rejected);
    });
    QVERIFY(c->konsol().VozobnovitProcess());
    QCOMPARE(c.dialogs.modalClasses, (QStringList{QStringLiteral("TProcessGolosForma"), QStringLiteral("TGimnForm")}));
    QCOMPARE(c->IdSessii(), period);
    const QStringList zapisi = zapisiRegima(hall);
    QVERIFY2(zapisi.size() >= 6, qPrintable(zapisi.join(QLatin1Char(' '))));
    QCOMPARE(zapisi.mid(0, 6), (QStringList{QStringLiteral("1,%1,4").arg(period), QStringLiteral("1,%1,3").arg(period),
                                            QStringLiteral("1,%1,2").arg(period), QStringLiteral("1,%1,1").arg(period),
                                            QStringLiteral("1,%1,0").arg(period), QStringLiteral("-1,%1,0").arg(period)}));
    QVERIFY(zapisi.contains(QStringLiteral("5,%1,15").arg(period)));
    QVERIFY(c->konsol().RegistrForma->MozhnoZakrit());
}

// Another console is still counting down: the one that starts leaves its vote alone.
void TestOshibki::movingCountdownIsLeftAlone()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.setMode(2, 1, 30));
    Workstation &c = hall.start(QStringLiteral("admin2"));
    QVERIFY(c.started());
    c->konsol().ZhdatOstanovkiMs = 300;
    QTimer::singleShot(100, [&] { hall.exec(rezhim::ostalosSekund(29)); });
    QVERIFY(!c->konsol().VozobnovitProcess());
    QVERIFY(c.dialogs.modalClasses.isEmpty());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT nomer FROM regim")), 2);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT param2 FROM regim")), 29);
}

QTEST_MAIN(TestOshibki)
#include "test_oshibki.moc"
