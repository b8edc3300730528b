// Start-up of the workstation: settings file and command line, the connection dialog, the
// identity statements and the role each login gets.
#include "core/startgates.h"
#include "core/tpodklforma.h"
#include "db/inifile.h"
#include "support/workstation.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace {

const QString kChairman = QStringLiteral("Рабочее место председателя");
const QString kDeputy = QStringLiteral("Рабочее место депутата");
const QString kFatal = QStringLiteral("Из-за критических ошибок работа программы была остановлена! "
                                      "Попробуйте запустить ее снова!");

QString fileText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roles_data();
    void roles();
    void chairmanHeading();
    void consoleWithoutActiveItem();
    void consoleShowsAgendaAsWhole();
    void invalidLogin_data();
    void invalidLogin();
    void wildcardLoginClaimsNoSeat();
    void chairmanPresenceWithoutPeriod();
    void chairmanPresenceInOpenPeriod();
    void deputyRegisteredAtStart();
    void autoWithoutFurtherArguments();
    void noArgumentsShowsDialogWithDefaults();
    void adminLoginGetsEmptyPassword();
    void adminLoginOnCommandLineIsItsOwnPassword();
    void dialogCancelled();
    void failedConnectionKeepsSettings();
    void connectionDialogLayout();
    void settingsFileBesideProgram();
};

void TestStartup::roles_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<bool>("watcher");
    QTest::addColumn<bool>("seatMap");
    QTest::addColumn<bool>("column");
    QTest::addColumn<bool>("documents");
    QTest::addColumn<bool>("console");
    QTest::addColumn<bool>("startScreen");
    QTest::addColumn<bool>("admitted");

    //                          login      caption    admin  watch  map    column docs   cons   start  admit
    QTest::newRow("console") << "admin1" << kChairman << true << false << true << true << false << true << false << true;
    QTest::newRow("chairman") << "02" << kChairman << false << false << true << true << false << false << false << true;
    QTest::newRow("deputy") << "07" << kDeputy << false << false << false << false << true << false << true << false;
    QTest::newRow("watcher") << "watcher" << kDeputy << false << true << false << false << true << false << false << true;
}

void TestStartup::roles()
{
    QFETCH(QString, login);
    QFETCH(QString, caption);
    QFETCH(bool, admin);
    QFETCH(bool, watcher);
    QFETCH(bool, seatMap);
    QFETCH(bool, column);
    QFETCH(bool, documents);
    QFETCH(bool, console);
    QFETCH(bool, startScreen);
    QFETCH(bool, admitted);

    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(3));
    Workstation &ws = hall.start(login);
    QVERIFY(ws.started());
    QVERIFY(!ws.ended());
    QVERIFY(ws.modalWindows().isEmpty());  // no gate, no dialog
    QVERIFY(ws.messages().isEmpty());

    QCOMPARE(ws->windowTitle(), caption);
    QCOMPARE(ws->RezhimAdmin(), admin);
    QCOMPARE(ws->RezhimNabludatelya(), watcher);
    QCOMPARE(ws->LoginMesta(), login);
    QCOMPARE(!ws->ob().PanelSprava->isHidden(), seatMap);
    QCOMPARE(!ws->ob().PanelSleva->isHidden(), column);
    QCOMPARE(!ws->ob().DeputatFreim->isHidden(), documents);
    QCOMPARE(!ws->ob().AdminFrame->isHidden(), console);
    QCOMPARE(!ws->ob().PanelStart->isHidden(), startScreen);
    QCOMPARE(ws->Dopusk(), admitted);
    QVERIFY(ws->ob().PanelRegistracia->isHidden());
    QVERIFY(ws->ob().PanelGolosovanie->isHidden());
    QVERIFY(ws->ob().LeiblKolGolosov->isHidden());
    QCOMPARE(ws->ob().LeiblVremya->y(), 160);
    QCOMPARE(ws->CvetMolchaniya(), QColor(255, 128, 64));
    QCOMPARE(ws->VersiaProgrammy(), QStringLiteral("1.1.6"));
    QCOMPARE(ws->IdSessii(), -1);
    QCOMPARE(ws->IdZasedania(), hall.demoMeeting());
    QVERIFY(ws->ZapuskUspeshen());
    QVERIFY(!ws->Perezapusk());
    QVERIFY(ws->TaimerOperaziy()->isEnabled());
    QVERIFY(ws->TaimerVremya()->isEnabled());
    QVERIFY(!ws->TaimerProverkaPodklucheniy()->isEnabled());  // starts with the seat map

    // The operator console alone reads the active item at start-up.
    QCOMPARE(ws->IdPovestki(), admin ? 3 : 1);
    QCOMPARE(ws->ob().LeiblVopros->text(), admin ? QStringLiteral("Вопрос 2") : QString());

    // Own deputy: the one seated at the login's seat, 1 where the login names no seat.
    const int seated = hall.deputyAt(login);
    QCOMPARE(ws->IdDeputata(), seated > 0 ? seated : 1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT connected FROM mesto WHERE nomer = '07'")), login == "07" ? 1 : 0);

    // Only the chairman terminal writes a presence record at start-up.
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), login == "02" ? 1 : 0);

    // The screens' parts of start-up.
    if (documents) {
        QVERIFY(ws.calls().contains(QStringLiteral("OtkrytPovestkuDeputata")));
        QVERIFY(ws.calls().contains(QStringLiteral("RazmestitDeputatFreim")));
    }
    if (watcher) {
        QVERIFY(ws.calls().contains(QStringLiteral("UstanovitImyaDeputata:ИНФОРМАЦИОННЫЙ РЕЖИМ")));
        QVERIFY(ws->ob().LeiblProshuSlova->isHidden());
        QVERIFY(ws->ob().GranicaProshuSlova->isHidden());
    } else {
        QVERIFY(!ws->ob().LeiblProshuSlova->isHidden());
    }
    if (login == "07") {
        const QString f = hall.scalar(QStringLiteral("SELECT familia FROM deputat WHERE id = %1").arg(seated)).toString();
        const QString i = hall.scalar(QStringLiteral("SELECT imya FROM deputat WHERE id = %1").arg(seated)).toString();
        const QString o = hall.scalar(QStringLiteral("SELECT otchestvo FROM deputat WHERE id = %1").arg(seated)).toString();
        QCOMPARE(ws->ob().FIOPHONLeibl->text(), f + "\n\r" + i + "\n\r" + o);
        QVERIFY(ws.calls().contains(QStringLiteral("UstanovitImyaDeputata:") + f + " " + i + " " + o));
    }
    QCOMPARE(ws.calls().contains(QStringLiteral("ZagruzitZasedanie")), admin);
    QVERIFY(ws.calls().contains(QStringLiteral("SozdatOknaRegistracii")));
    QVERIFY(ws.calls().contains(QStringLiteral("NastroitPDF")));

    // The settings file now names the connection that worked.
    QCOMPARE(ws.setting("Podkluchenie", "Server"), QStringLiteral("embedded"));
    QCOMPARE(ws.setting("Podkluchenie", "Basa"), hall.dbPath());
    QCOMPARE(ws.setting("Podkluchenie", "Login"), login);
}

void TestStartup::chairmanHeading()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &deputy = hall.start("07");
    Workstation &chairman = hall.start("02");
    QVERIFY(chairman.started());

    // The deputy's button stays a button; the chairman's becomes the list heading, 40 px higher.
    QCOMPARE(deputy->ob().LeiblProshuSlova->text(), QStringLiteral("ПРОШУ СЛОВА"));
    QLabel *l = chairman->ob().LeiblProshuSlova;
    QCOMPARE(l->text(), QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ"));
    // 10 points at 96 dpi, in pixels; the box is at least 24 high and holds both lines the
    // heading takes in the button's width.
    QCOMPARE(l->font().pixelSize(), 13);
    QVERIFY(l->font().bold());
    QVERIFY(l->height() >= 24);
    QVERIFY(QFontMetrics(l->font()).boundingRect(QRect(0, 0, l->width(), 1000), int(l->alignment()) | Qt::TextWordWrap,
                                                 l->text()).height() <= l->height());
    QCOMPARE(chairman->ob().GranicaProshuSlova->height(), l->height() + 2);
    QCOMPARE(l->y(), deputy->ob().LeiblProshuSlova->y() - 40);
    QCOMPARE(chairman->ob().GranicaProshuSlova->y(), deputy->ob().GranicaProshuSlova->y() - 40);
    QCOMPARE(l->palette().color(QPalette::Window), QColor(255, 255, 0));
}

void TestStartup::consoleWithoutActiveItem()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.deactivateItems());
    Workstation &ws = hall.start("admin1");
    QVERIFY(ws.started());
    QVERIFY(ws.modalWindows().isEmpty());  // the console never waits in a gate
    QCOMPARE(ws->IdZasedania(), 0);
    QCOMPARE(ws->IdPovestki(), 1);
    QVERIFY(ws.calls().contains(QStringLiteral("SkrytPovestkuKonsoli")));
    QVERIFY(!ws.calls().contains(QStringLiteral("ObnovitPovestku")));  // no open meeting to bind
    QVERIFY(ws.calls().contains(QStringLiteral("UstanovitZasedanieFreima:-1")));
    QVERIFY(!ws->ob().AdminFrame->isHidden());
    QCOMPARE(ws->ob().AdminFrame->parentWidget(), ws->ob().PanelSpravaVerh);
    QCOMPARE(ws->ob().AdminFrame->geometry(), ws->ob().PanelSpravaVerh->rect());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), 0);
}

void TestStartup::consoleShowsAgendaAsWhole()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    const int whole = hall.scalarInt(QStringLiteral("SELECT id FROM povestka WHERE opisanie = 'Вопрос 0'"));
    QVERIFY(whole > 0);
    QVERIFY(hall.exec(QStringLiteral("UPDATE zasedanie SET opisanie = 'Заседание № 7'")));
    QVERIFY(hall.exec(QStringLiteral("UPDATE povestka SET info = 'Порядок работы' WHERE id = %1").arg(whole)));
    QVERIFY(hall.activateItem(whole));
    Workstation &ws = hall.start("admin1");
    QVERIFY(ws.started());
    QCOMPARE(ws->ob().LeiblVopros->text(), QStringLiteral("Повестка дня"));
    QCOMPARE(ws->IdPovestki(), whole);
    QCOMPARE(ws->ob().InfoLabel->text(), QStringLiteral("Порядок работы"));
    QCOMPARE(ws->ob().LeiblZasedanie->text(), QStringLiteral("Заседание № 7"));
}

void TestStartup::invalidLogin_data()
{
    QTest::addColumn<QString>("login");
    QTest::newRow("contains admin, not at the start") << "xadmin";
    QTest::newRow("no such seat") << "28";
    QTest::newRow("quote in the login") << "0'7";
}

void TestStartup::invalidLogin()
{
    QFETCH(QString, login);
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO logins (login, password) VALUES (%1, %1)").arg(sql::quote(login))));

    Workstation &ws = hall.start(login);
    QVERIFY(!ws.started());
    QVERIFY(ws.ended());
    QCOMPARE(ws.dialogs.shown.size(), 1);  // no fatal message after it
    const FakeDialogs::Shown &m = ws.dialogs.shown.first();
    QCOMPARE(m.text, QStringLiteral("Недопустимый логин!"));
    QCOMPARE(m.caption, QStringLiteral("Ошибка"));
    QCOMPARE(m.icon, Dialogs::Error);
    QCOMPARE(m.buttons, int(Dialogs::Ok));
    QVERIFY(!ws->TaimerOperaziy()->isEnabled());
    QVERIFY(!ws->TaimerVremya()->isEnabled());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), 0);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM mesto WHERE connected = 1")), 0);
    QVERIFY(!ws.calls().contains(QStringLiteral("ZagruzitZasedanie")));
}

// A login is matched as the literal text it is: '_' and '%' are not wildcards.
void TestStartup::wildcardLoginClaimsNoSeat()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    for (const QString &login : {QStringLiteral("0_"), QStringLiteral("%")}) {
        QVERIFY(hall.exec(QStringLiteral("INSERT INTO logins (login, password) VALUES (%1, %1)").arg(sql::quote(login))));
        Workstation &ws = hall.start(login);
        QVERIFY2(!ws.started(), qPrintable(login));
        QCOMPARE(ws.messages(), QStringList{QStringLiteral("Недопустимый логин!")});
        QCOMPARE(ws->IdDeputata(), 1);
    }
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM mesto WHERE connected = 1")), 0);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), 0);

    // A seat whose number holds such a character is still found by its own login.
    QVERIFY(hall.exec(QStringLiteral("UPDATE mesto SET nomer = '0_' WHERE nomer = '05'")));
    Workstation &ws = hall.start(QStringLiteral("0_"));
    QVERIFY(ws.started());
    QCOMPARE(ws->IdDeputata(), hall.deputyAt(QStringLiteral("0_")));
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM mesto WHERE connected = 1")), 1);
}

void TestStartup::chairmanPresenceWithoutPeriod()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    const int meeting = hall.demoMeeting();
    const int chairman = hall.deputyAt("02");
    Workstation &ws = hall.start("02");
    QVERIFY(ws.started());
    QCOMPARE(ws->IdSessii(), -1);
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia = -1 AND id_deputat = %1 "
                                           "AND id_zasedanie = %2")
                                .arg(chairman)
                                .arg(meeting)),
             1);
    // Starting again replaces the record instead of adding a second one.
    Workstation &again = hall.start("02");
    QVERIFY(again.started());
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT count(*) FROM sessia")), 1);
}

void TestStartup::chairmanPresenceInOpenPeriod()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    const int meeting = hall.demoMeeting();
    const int closed = hall.openPeriod(meeting);
    const int open = hall.openPeriod(meeting);
    QVERIFY(hall.exec(QStringLiteral("UPDATE sessia_start SET stop = GETDATE() WHERE id = %1").arg(closed)));
    QVERIFY(hall.exec(QStringLiteral("INSERT INTO sessia_start (id_zasedanie, stop) VALUES (%1, GETDATE())").arg(meeting)));

    Workstation &ws = hall.start("02");
    QVERIFY(ws.started());
    QCOMPARE(ws->IdSessii(), open);  // the highest period that is still open
    QCOMPARE(hall.scalarInt(QStringLiteral("SELECT id_sessia FROM sessia WHERE id_deputat = %1").arg(hall.deputyAt("02"))),
             open);
}

void TestStartup::deputyRegisteredAtStart()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    const int meeting = hall.demoMeeting();
    const int period = hall.openPeriod(meeting);
    QVERIFY(hall.registerDeputy(hall.deputyAt("07"), period, meeting));

    Workstation &registered = hall.start("07");
    Workstation &other = hall.start("08");
    QVERIFY(registered.started() && other.started());
    QVERIFY(registered->Dopusk());
    QVERIFY(registered->ob().PanelStart->isHidden());
    QVERIFY(registered->ob().GerbStart->isHidden());
    QVERIFY(!other->Dopusk());
    QVERIFY(!other->ob().PanelStart->isHidden());
    QCOMPARE(other->ob().PanelStart->parentWidget(), static_cast<QWidget *>(other.glav()));
    // The start screen covers the whole window while the right-hand column is hidden.
    QCOMPARE(other->ob().PanelStart->geometry(), QRect(0, 0, 1280, 1024));
}

void TestStartup::autoWithoutFurtherArguments()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &ws = hall.addWithArguments({QStringLiteral("auto")});
    QVERIFY(iniWrite(ws.settingsPath(), "Podkluchenie", "Server", "embedded"));
    QVERIFY(iniWrite(ws.settingsPath(), "Podkluchenie", "Basa", hall.dbPath()));
    QVERIFY(iniWrite(ws.settingsPath(), "Podkluchenie", "Login", "07"));
    QVERIFY(ws.start());
    QVERIFY(ws.modalWindows().isEmpty());
    QCOMPARE(ws->LoginMesta(), QStringLiteral("07"));
    QCOMPARE(ws->windowTitle(), kDeputy);
}

void TestStartup::noArgumentsShowsDialogWithDefaults()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &ws = hall.addWithArguments({});
    QVERIFY(!QFile::exists(ws.settingsPath()));

    QStringList seen;
    bool passwordFocused = false;
    QString caption;
    const QString db = hall.dbPath();
    ws.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *dlg = qobject_cast<TPodklForma *>(d);
        if (!dlg)
            return int(QDialog::Rejected);
        caption = dlg->windowTitle();
        seen << dlg->Server->text() << dlg->Basa->text() << dlg->Login->text() << dlg->Parol->text();
        passwordFocused = dlg->focusWidget() == dlg->Parol;
        dlg->Basa->setText(db);
        dlg->Login->setText("07");
        dlg->Parol->setText("07");
        return int(QDialog::Accepted);
    });
    QVERIFY(ws.start());
    QCOMPARE(ws.modalWindows(), QStringList{QStringLiteral("TPodklForma")});
    QCOMPARE(caption, QStringLiteral("Подключение к БД (v. 1.1.6)"));
    QCOMPARE(seen, (QStringList{"embedded", "voter", "ZAL-PC\\operator", "ZAL-PC\\operator"}));
    QVERIFY(passwordFocused);
    // What was typed is what the file now holds.
    QCOMPARE(ws.setting("Podkluchenie", "Basa"), db);
    QCOMPARE(ws.setting("Podkluchenie", "Login"), QStringLiteral("07"));
    QCOMPARE(ws.setting("Podkluchenie", "Server"), QStringLiteral("embedded"));
}

void TestStartup::adminLoginGetsEmptyPassword()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &ws = hall.addWithArguments({QStringLiteral("auto")});
    QVERIFY(iniWrite(ws.settingsPath(), "Podkluchenie", "Server", "embedded"));
    QVERIFY(iniWrite(ws.settingsPath(), "Podkluchenie", "Basa", hall.dbPath()));
    QVERIFY(iniWrite(ws.settingsPath(), "Podkluchenie", "Login", "admin2"));

    // Started by the service ("auto" with the saved connection), the console still asks for
    // the operator's password, the login filled in; a seat's login is its own password.
    QString login, password = QStringLiteral("not read");
    ws.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *dlg = qobject_cast<TPodklForma *>(d);
        if (!dlg)
            return int(QDialog::Rejected);
        login = dlg->Login->text();
        password = dlg->Parol->text();
        dlg->Parol->setText("admin2");
        return int(QDialog::Accepted);
    });
    QVERIFY(ws.start());
    QCOMPARE(ws.modalWindows(), QStringList{QStringLiteral("TPodklForma")});
    QCOMPARE(login, QStringLiteral("admin2"));
    QCOMPARE(password, QString());
    QVERIFY(ws->RezhimAdmin());
    QVERIFY(ws.messages().isEmpty());

    // A seat under the service connects at once.
    Workstation &seat = hall.addWithArguments({QStringLiteral("auto")});
    QVERIFY(iniWrite(seat.settingsPath(), "Podkluchenie", "Server", "embedded"));
    QVERIFY(iniWrite(seat.settingsPath(), "Podkluchenie", "Basa", hall.dbPath()));
    QVERIFY(iniWrite(seat.settingsPath(), "Podkluchenie", "Login", "07"));
    seat.start();
    QVERIFY(!seat.modalWindows().contains(QStringLiteral("TPodklForma")));
    QVERIFY(seat->GlavBasa().isOpen());

    // Without "auto" the dialog waits with the password field empty.
    Workstation &shown2 = hall.addWithArguments({}, ws.platform.dir);
    password = QStringLiteral("not read");
    shown2.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *dlg = qobject_cast<TPodklForma *>(d);
        password = dlg ? dlg->Parol->text() : QString();
        if (dlg)
            dlg->Parol->setText("admin2");
        return int(QDialog::Accepted);
    });
    QVERIFY(shown2.start());
    QCOMPARE(password, QString());
    QVERIFY(shown2->RezhimAdmin());
}

void TestStartup::adminLoginOnCommandLineIsItsOwnPassword()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &ws = hall.start("admin2");
    QVERIFY(ws.started());
    QVERIFY(ws->RezhimAdmin());
    QCOMPARE(ws->windowTitle(), kChairman);
}

void TestStartup::dialogCancelled()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &ws = hall.addWithArguments({QStringLiteral("manual"), QStringLiteral("embedded"), hall.dbPath(), "07"});
    QString login;
    ws.dialogs.modalHandlers.enqueue([&](QDialog *d) {
        auto *dlg = qobject_cast<TPodklForma *>(d);
        login = dlg ? dlg->Login->text() + "/" + dlg->Parol->text() : QString();
        return int(QDialog::Rejected);
    });
    QVERIFY(!ws.start());
    QCOMPARE(login, QStringLiteral("07/07"));  // arguments fill the dialog when not "auto"
    QCOMPARE(ws.messages(), QStringList{kFatal});  // no connection-failure message
    QVERIFY(ws.ended());
    QVERIFY(!ws->ZapuskUspeshen());
    QVERIFY(!ws->GlavBasa().isOpen());
    QVERIFY(!QFile::exists(ws.settingsPath()));
}

void TestStartup::failedConnectionKeepsSettings()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(2));
    Workstation &good = hall.start("07");
    QVERIFY(good.started());
    const QString before = fileText(good.settingsPath());
    QVERIFY(before.contains("07"));

    // Same folder, a database that does not exist.
    Workstation &bad = hall.addWithArguments(
        {QStringLiteral("auto"), QStringLiteral("embedded"), hall.dir() + "/missing.db", QStringLiteral("08")},
        good.platform.dir);
    QVERIFY(!bad.start());
    QCOMPARE(bad.messages().size(), 2);
    QVERIFY(bad.messages()[0].startsWith(QStringLiteral("Ошибка подключения к базе данных! \n\r\n\r")));
    QCOMPARE(bad.messages()[1], kFatal);
    QCOMPARE(fileText(good.settingsPath()), before);
}

void TestStartup::connectionDialogLayout()
{
    TPodklForma dlg;
    QCOMPARE(dlg.size(), QSize(285, 348));
    QCOMPARE(dlg.Parol->echoMode(), QLineEdit::Password);
    QVERIFY(dlg.Knopka_Ok->isDefault());
    QCOMPARE(dlg.Knopka_Ok->text(), QStringLiteral("OK"));
    QCOMPARE(dlg.Knopka_Otmena->text(), QStringLiteral("Отмена"));
    // Fields and buttons inside the client area, none overlapping another.
    const QList<QWidget *> parts{dlg.Server, dlg.Basa, dlg.Login, dlg.Parol, dlg.Knopka_Ok, dlg.Knopka_Otmena};
    for (int i = 0; i < parts.size(); ++i) {
        QVERIFY(dlg.rect().contains(parts[i]->geometry()));
        for (int j = i + 1; j < parts.size(); ++j)
            QVERIFY(!parts[i]->geometry().intersects(parts[j]->geometry()));
    }
    dlg.Knopka_Otmena->click();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
}

void TestStartup::settingsFileBesideProgram()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &ws = hall.add("07");
    ws.platform.exeName = QStringLiteral("voter");
    QCOMPARE(ws->FailNastroek(), ws.platform.dir + "/voter.ini");
    ws.platform.exeName = QStringLiteral("voter.exe");
    QCOMPARE(ws->FailNastroek(), ws.platform.dir + "/voter.ini");
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
