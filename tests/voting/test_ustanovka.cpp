// The vote set-up dialog on the operator console: counts, decision rules with their numbers,
// the voting rules of the item, the matching and the hand choice, the duration from the
// settings file, and the start with its failures.
#include "golosovanie_fixture.h"

#include "console/nuzhno_golosov.h"
#include "db/inifile.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTextEdit>

using namespace golostest;

namespace {

// A hall with "Вопрос 1" active (its own rules: "Принятие закона", then "Процедурные
// вопросы"), a registration period with `present` deputies and the operator console.
struct Zal {
    TestHall hall;
    int item = 0;
    int period = -1;
    Workstation *console = nullptr;

    explicit Zal(int present = 3)
    {
        item = itemId(hall, QStringLiteral("Вопрос 1"));
        hall.activateItem(item);
        period = hall.openPeriod(hall.demoMeeting());
        for (int i = 0; i < present; ++i)
            hall.registerDeputy(hall.deputyAt(QStringLiteral("%1").arg(i + 3, 2, 10, QLatin1Char('0'))), period,
                                hall.demoMeeting());
        // A quorum the small hall reaches (the question asked without one is tested apart).
        hall.exec(QStringLiteral("UPDATE konstanti SET znachenie = '1' WHERE opisanie LIKE 'Кворум'"));
        console = &hall.start(QStringLiteral("admin1"));
    }
};

QStringList podpisi(const TGolosovanieForma *f)
{
    QStringList out;
    for (QRadioButton *r : f->Regim)
        out << r->text();
    return out;
}

}  // namespace

class TestUstanovka : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutAndCounts();
    void rulesOfTheItemFirstAndColoured();
    void scrollingAndHandChoice();
    void ruleMatchingNoDecisionKeepsPrevious();
    void constantsMissingOrNotNumbers();
    void durationFromSettings_data();
    void durationFromSettings();
    void durationNotANumber();
    void noActiveItem();
    void startWritesVoteAndMode();
    void textsWithApostrophes();
    void startFailureLeavesDialogForAnotherTry();
    void modeWriteFailureAtStart();
    void noVotingRules();
    void pokazatVopros();
};

void TestUstanovka::layoutAndCounts()
{
    Zal z(3);
    QVERIFY2(z.hall.ok(), qPrintable(z.hall.error()));
    QVERIFY(z.console->started());
    bool seen = false;
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        seen = true;
        QCOMPARE(f->windowTitle(), QStringLiteral("Голосование"));
        QCOMPARE(f->size(), QSize(640, 681));
        QCOMPARE(f->pos(), QPoint(1280 - 640, 0));
        QCOMPARE(f->Prisutstvuet->text(), QStringLiteral("3"));
        QCOMPARE(f->KolDeputatov->text(), QStringLiteral("27"));
        QCOMPARE(f->Zak->text(), QStringLiteral("27"));
        // P = 3, E = Z = 27.
        QCOMPARE(podpisi(f), (QStringList{QStringLiteral("Большинство от присутствующих (2)"),
                                          QStringLiteral("Большинство от установленного числа (14)"),
                                          QStringLiteral("2/3 от установленного числа (18)"),
                                          QStringLiteral("Большинство от числа избранных (14)"),
                                          QStringLiteral("1/3 от установленного числа депутатов (9)"),
                                          QStringLiteral("1/3 от присутствующих депутатов (1)"),
                                          QStringLiteral("1/3 от избранных депутатов (9)")}));
        QCOMPARE(f->PovestkaInfoBoks->title(), QStringLiteral(" Вопрос 1 "));
        QVERIFY(f->PovestkaInfo->toPlainText().contains(QStringLiteral("Об областном бюджете")));
        QVERIFY(f->PovestkaInfo->isReadOnly());
        QCOMPARE(f->RegimiBoks->title(), QStringLiteral(" Режимы голосования "));
        QCOMPARE(f->ReshenieBoks->title(), QStringLiteral(" Принятие решения "));
        QCOMPARE(f->PovestkaInfoBoks->size(), QSize(610, 129));
        QCOMPARE(f->RegimiBoks->size(), QSize(266, 315));
        QCOMPARE(f->ReshenieBoks->size(), QSize(338, 315));
        // Grid column: grid width less a scroll bar (17) less 5.
        QCOMPARE(f->RegimTabl->columnWidth(0), f->RegimTabl->width() - 17 - 5);
        // Radio buttons 41 to 42 px apart.
        for (int i = 1; i < 7; ++i) {
            const int d = f->Regim[i]->y() - f->Regim[i - 1]->y();
            QVERIFY2(d == 41 || d == 42, qPrintable(QString::number(d)));
        }
        QCOMPARE(f->Vremya->minimum(), 10);
        QCOMPARE(f->Vremya->maximum(), 200);
        QCOMPARE(f->Vremya->singleStep(), 5);
        QCOMPARE(f->Vremya->value(), 15);  // no settings yet
        QCOMPARE(f->IndeksTipa(), 0);
        QCOMPARE(f->IndeksVida(), 0);
        QCOMPARE(f->KnopkaZakrit->text(), QStringLiteral("ЗАКРЫТЬ ОКНО"));
        QCOMPARE(f->KnopkaPokazVopr->text(), QStringLiteral("ПОКАЗАТЬ ВОПРОС"));
        QCOMPARE(f->KnopkaGolosovanie->text(), QStringLiteral("НАЧАТЬ ГОЛОСОВАНИЕ"));
        QCOMPARE(f->IdGolosovania(), -1);
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(seen);
    // Closing the dialog writes nothing.
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM golosovanie")), 0);
    QCOMPARE(mode(z.hall).section(QLatin1Char('/'), 0, 0), QStringLiteral("-1"));
}

void TestUstanovka::rulesOfTheItemFirstAndColoured()
{
    Zal z;
    QVERIFY(z.console->started());
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        DataSet *r = f->RegimZapros;
        QCOMPARE(r->rowCount(), 7);
        // The item's own rules in the item's order, then the others by their general order.
        QStringList imena;
        for (int i = 0; i < r->rowCount(); ++i)
            imena << r->value(i, QStringLiteral("opisanie")).toString();
        QCOMPARE(imena, (QStringList{QStringLiteral("Принятие закона"), QStringLiteral("Процедурные вопросы"),
                                     QStringLiteral("Преодоление отклонения закона"),
                                     QStringLiteral("Принятие постановления"), QStringLiteral("Поименное голосование"),
                                     QStringLiteral("Тайное голосование"), QStringLiteral("Внеочередное заседание")}));
        QCOMPARE(r->currentRow(), 0);
        QCOMPARE(f->RegimTabl->currentIndex().row(), 0);
        // Linked rows green, the highlighted one yellow; the others keep the grid's colour.
        QCOMPARE(f->CvetRegima(0), QColor(255, 255, 0));
        QCOMPARE(f->CvetRegima(1), QColor(0, 128, 0));
        QVERIFY(!f->CvetRegima(2).isValid());
        r->setCurrentRow(1);
        QCOMPARE(f->CvetRegima(0), QColor(0, 128, 0));
        QCOMPARE(f->CvetRegima(1), QColor(255, 255, 0));
        r->setCurrentRow(4);
        QCOMPARE(f->CvetRegima(0), QColor(0, 128, 0));
        QCOMPARE(f->CvetRegima(1), QColor(0, 128, 0));
        QVERIFY(!f->CvetRegima(4).isValid());
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(shownCount(*z.console, "TGolosovanieForma"), 1);
}

void TestUstanovka::scrollingAndHandChoice()
{
    Zal z(3);
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        // First row "Принятие закона" stands for the majority of the established number.
        QCOMPARE(f->VybrannoePravilo(), 1);
        QCOMPARE(f->Regim[1]->width(), 12);
        QCOMPARE(f->KrasnyTekst->text(), QStringLiteral("Большинство от установленного числа (14)"));
        QCOMPARE(f->KrasnyTekst->pos(), f->Regim[1]->pos() + QPoint(17, 2));
        QCOMPARE(f->NuznoGolosov(), 14);
        for (int i : {0, 2, 3, 4, 5, 6})
            QCOMPARE(f->Regim[i]->width(), 323);

        // Scrolling to "Процедурные вопросы" moves the decision to the majority of those present.
        f->RegimZapros->setCurrentRow(1);
        QCOMPARE(f->VybrannoePravilo(), 0);
        QCOMPARE(f->NuznoGolosov(), 2);
        QCOMPARE(f->Regim[0]->width(), 12);
        QCOMPARE(f->Regim[1]->width(), 323);
        QCOMPARE(f->KrasnyTekst->pos(), f->Regim[0]->pos() + QPoint(17, 2));

        // A hand-picked rule: the look changes, the number is taken at the start.
        f->Regim[4]->click();
        QCOMPARE(f->VybrannoePravilo(), 4);
        QCOMPARE(f->Regim[4]->width(), 12);
        QCOMPARE(f->Regim[0]->width(), 323);
        QCOMPARE(f->KrasnyTekst->text(), QStringLiteral("1/3 от установленного числа депутатов (9)"));
        QCOMPARE(f->NuznoGolosov(), 2);

        f->KnopkaGolosovanieClick();
        QCOMPARE(f->NuznoGolosov(), 9);
    });
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();

    ResultSet rs;
    QVERIFY(z.hall.db().query(QStringLiteral("SELECT regim,regim_polsov,nuzno FROM golosovanie"), &rs));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("1/3 от установленного числа депутатов"));
    QCOMPARE(rs.value(0, 1).toString(), QStringLiteral("Процедурные вопросы"));
    QCOMPARE(rs.value(0, 2).toInt(), 9);
}

void TestUstanovka::ruleMatchingNoDecisionKeepsPrevious()
{
    Zal z;
    // A rule whose decision caption is none of the seven, and one stored with its number.
    QVERIFY(z.hall.exec(QStringLiteral("INSERT INTO regim_golos (opisanie,regim,ord) VALUES ('Особый порядок','Консенсус',8)")));
    QVERIFY(z.hall.exec(QStringLiteral("INSERT INTO regim_golos (opisanie,regim,ord) VALUES "
                                       "('С числом','2/3 от установленного числа (18)',9)")));
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        QCOMPARE(f->VybrannoePravilo(), 1);
        const QPoint krasny = f->KrasnyTekst->pos();
        QVERIFY(f->RegimZapros->locate(QStringLiteral("opisanie"), QStringLiteral("Особый порядок")));
        QCOMPARE(f->VybrannoePravilo(), 1);
        QCOMPARE(f->NuznoGolosov(), 14);
        QCOMPARE(f->KrasnyTekst->pos(), krasny);
        QCOMPARE(f->KrasnyTekst->text(), f->Regim[1]->text());
        QCOMPARE(f->Regim[1]->width(), 12);

        QVERIFY(f->RegimZapros->locate(QStringLiteral("opisanie"), QStringLiteral("С числом")));
        QCOMPARE(f->VybrannoePravilo(), 2);
        QCOMPARE(f->NuznoGolosov(), 18);
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(shownCount(*z.console, "TGolosovanieForma"), 1);
}

void TestUstanovka::constantsMissingOrNotNumbers()
{
    {
        // No "Избрано" row: E = 0, the majority of the elected needs 1 and a third of them 0.
        Zal z(0);
        QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM konstanti WHERE opisanie = 'Избрано'")));
        QVERIFY(z.hall.exec(QStringLiteral("UPDATE konstanti SET znachenie = '50' WHERE opisanie = 'Установлено законом'")));
        onSetup(*z.console, [&](TGolosovanieForma *f) {
            QCOMPARE(f->KolDeputatov->text(), QStringLiteral("0"));
            QCOMPARE(f->Prisutstvuet->text(), QStringLiteral("0"));
            QCOMPARE(f->NuznoPravila(0), 1);  // P = 0
            QCOMPARE(f->NuznoPravila(5), 0);
            QCOMPARE(f->NuznoPravila(3), 1);  // E = 0
            QCOMPARE(f->NuznoPravila(6), 0);
            QCOMPARE(f->NuznoPravila(1), 26);  // Z = 50
            QCOMPARE(f->NuznoPravila(2), 34);
            QCOMPARE(f->NuznoPravila(4), 17);
        });
        z.console->window()->ekrany().OtkrytNastroikuGolosovania();
        QCOMPARE(shownCount(*z.console, "TGolosovanieForma"), 1);
    }
    {
        // A constant that is not a number is reported and no dialog opens.
        Zal z;
        QVERIFY(z.hall.exec(QStringLiteral("UPDATE konstanti SET znachenie = 'двадцать' WHERE opisanie = 'Избрано'")));
        z.console->window()->ekrany().OtkrytNastroikuGolosovania();
        QCOMPARE(shownCount(*z.console, "TGolosovanieForma"), 0);
        QVERIFY(z.console->dialogs.lastText().contains(QStringLiteral("двадцать")));
        QCOMPARE(z.console->dialogs.shown.last().icon, Dialogs::Error);
    }
}

void TestUstanovka::durationFromSettings_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("below minimum") << QStringLiteral("5") << 10;
    QTest::newRow("as saved") << QStringLiteral("35") << 35;
    QTest::newRow("above maximum") << QStringLiteral("500") << 200;
    QTest::newRow("blanks around") << QStringLiteral(" 40 ") << 40;
}

void TestUstanovka::durationFromSettings()
{
    QFETCH(QString, stored);
    QFETCH(int, shown);
    Zal z;
    QVERIFY(iniWrite(z.console->settingsPath(), QStringLiteral("Golosovanie"), QStringLiteral("Vremya"), stored));
    int value = -1;
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        value = f->Vremya->value();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(value, shown);
}

void TestUstanovka::durationNotANumber()
{
    Zal z;
    QVERIFY(iniWrite(z.console->settingsPath(), QStringLiteral("Golosovanie"), QStringLiteral("Vremya"), QStringLiteral("1O")));
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(shownCount(*z.console, "TGolosovanieForma"), 0);
    QVERIFY(z.console->dialogs.lastText().contains(QStringLiteral("1O")));
}

void TestUstanovka::noActiveItem()
{
    Zal z;
    QVERIFY(z.hall.deactivateItems());
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(shownCount(*z.console, "TGolosovanieForma"), 0);
    QCOMPARE(z.console->dialogs.lastText(),
             QStringLiteral("Голосование невозможно, так как не выбран вопрос повестки дня!"));
    QCOMPARE(z.console->dialogs.shown.last().caption, QStringLiteral("Ошибка"));
    QCOMPARE(z.console->dialogs.shown.last().icon, Dialogs::Error);
}

void TestUstanovka::startWritesVoteAndMode()
{
    Zal z(4);
    int id = -1;
    QString rezhimPriStarte;
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        f->TipKnopki[1]->setChecked(true);
        f->VidKnopki[2]->setChecked(true);
        f->Vremya->setValue(45);
        f->KnopkaGolosovanieClick();
        id = f->IdGolosovania();
        rezhimPriStarte = mode(z.hall);
        QVERIFY(f->Timer1->isActive());
        QCOMPARE(f->OstalosSekund(), 45);
    });
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();

    QCOMPARE(id, z.hall.scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie")));
    QCOMPARE(rezhimPriStarte, QStringLiteral("2/%1/45").arg(id));
    ResultSet rs;
    QVERIFY(z.hall.db().query(QStringLiteral("SELECT regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                                             "id_povestka,id_sessia,DATEDIFF(ss,data,GETDATE()) FROM golosovanie "
                                             "WHERE id = %1").arg(id),
                              &rs));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("Большинство от установленного числа"));
    QCOMPARE(rs.value(0, 1).toInt(), 1);
    QCOMPARE(rs.value(0, 2).toInt(), 2);
    QCOMPARE(rs.value(0, 3).toInt(), 27);
    QCOMPARE(rs.value(0, 4).toInt(), 4);
    QCOMPARE(rs.value(0, 5).toString(), QStringLiteral("Принятие закона"));
    QCOMPARE(rs.value(0, 6).toInt(), 14);
    QCOMPARE(rs.value(0, 7).toInt(), 27);
    QCOMPARE(rs.value(0, 8).toInt(), z.item);
    QCOMPARE(rs.value(0, 9).toInt(), z.period);
    QVERIFY(rs.value(0, 10).toInt() <= 1);
}

void TestUstanovka::textsWithApostrophes()
{
    Zal z;
    // Both quoted texts of the insert come from the database and may hold apostrophes.
    QVERIFY(z.hall.exec(QStringLiteral("UPDATE regim_golos SET opisanie = 'Принятие закона ''в целом''', "
                                       "regim = 'Консенсус ''всех''' WHERE opisanie = 'Принятие закона'")));
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        QCOMPARE(f->RegimZapros->field(QStringLiteral("opisanie")).toString(), QStringLiteral("Принятие закона 'в целом'"));
        // No decision rule matches the odd caption; the operator picks one by hand.
        QCOMPARE(f->VybrannoePravilo(), -1);
        f->Regim[0]->click();
        f->KnopkaGolosovanieClick();
        QVERIFY(f->IdGolosovania() > 0);
    });
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        QCOMPARE(p->RegimLeibl->text(), QStringLiteral("Режим: Принятие закона 'в целом'"));
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(z.hall.scalar(QStringLiteral("SELECT regim_polsov FROM golosovanie")).toString(),
             QStringLiteral("Принятие закона 'в целом'"));
    QCOMPARE(z.hall.scalar(QStringLiteral("SELECT regim FROM golosovanie")).toString(),
             QStringLiteral("Большинство от присутствующих"));
    QVERIFY(z.console->dialogs.shown.isEmpty());
}

void TestUstanovka::startFailureLeavesDialogForAnotherTry()
{
    Zal z;
    QVERIFY(failWhen(z.hall, QStringLiteral("golosovanie"), QStringLiteral("INSERT"), QStringLiteral("1")));
    bool secondTry = false;
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        f->KnopkaGolosovanieClick();
        QCOMPARE(f->IdGolosovania(), -1);
        QVERIFY(!f->Timer1->isActive());
        QCOMPARE(z.console->dialogs.shown.size(), 1);
        const FakeDialogs::Shown &s = z.console->dialogs.shown.first();
        QVERIFY2(s.text.startsWith(QStringLiteral("Ошибка при запуске голосования!\n\r\n\r")), qPrintable(s.text));
        QVERIFY(s.text.contains(QStringLiteral("injected failure")));
        QCOMPARE(s.caption, QStringLiteral("Ошибка"));
        QCOMPARE(s.icon, Dialogs::Error);
        QVERIFY(!z.console->window()->GlavBasa().hasErrors());
        QCOMPARE(mode(z.hall).section(QLatin1Char('/'), 0, 0), QStringLiteral("-1"));
        // The console keeps running.
        z.console->second();
        QVERIFY(!z.console->ended());

        stopFailing(z.hall);
        f->KnopkaGolosovanieClick();
        secondTry = f->IdGolosovania() > 0;
    });
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QVERIFY(secondTry);
    QCOMPARE(z.hall.scalarInt(QStringLiteral("SELECT count(*) FROM golosovanie")), 1);
    QCOMPARE(mode(z.hall).section(QLatin1Char('/'), 0, 0), QStringLiteral("4"));
}

void TestUstanovka::modeWriteFailureAtStart()
{
    Zal z;
    QVERIFY(failWhen(z.hall, QStringLiteral("regim"), QStringLiteral("UPDATE"), QStringLiteral("NEW.nomer = 2")));
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        f->KnopkaGolosovanieClick();
        QCOMPARE(f->IdGolosovania(), -1);
        QVERIFY(!f->Timer1->isActive());
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(shownCount(*z.console, "TProcessGolos2Forma"), 0);
    QVERIFY(z.console->dialogs.lastText().startsWith(QStringLiteral("Ошибка при запуске голосования!")));
    QCOMPARE(mode(z.hall).section(QLatin1Char('/'), 0, 0), QStringLiteral("-1"));
    z.console->second();
    QVERIFY(!z.console->ended());
}

void TestUstanovka::noVotingRules()
{
    Zal z;
    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM povestka_regim")));
    QVERIFY(z.hall.exec(QStringLiteral("DELETE FROM regim_golos")));
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        QCOMPARE(f->RegimZapros->rowCount(), 0);
        QCOMPARE(f->VybrannoePravilo(), -1);
        QCOMPARE(f->KrasnyTekst->text(), QString());
        f->Regim[6]->click();
        QCOMPARE(f->KrasnyTekst->text(), QStringLiteral("1/3 от избранных депутатов (9)"));
        f->KnopkaGolosovanieClick();
        QVERIFY(f->IdGolosovania() > 0);
    });
    onProgress(*z.console, [&](TProcessGolos2Forma *p) {
        QCOMPARE(p->RegimLeibl->text(), QStringLiteral("Режим: "));
        p->KnopkaStopGolosClick();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    ResultSet rs;
    QVERIFY(z.hall.db().query(QStringLiteral("SELECT regim,regim_polsov,nuzno FROM golosovanie"), &rs));
    QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("1/3 от избранных депутатов"));
    QVERIFY(!rs.value(0, 1).isNull());
    QCOMPARE(rs.value(0, 1).toString(), QString());
    QCOMPARE(rs.value(0, 2).toInt(), 9);
}

void TestUstanovka::pokazatVopros()
{
    Zal z;
    QVERIFY(z.hall.setMode(4, 12, 15));
    onSetup(*z.console, [&](TGolosovanieForma *f) {
        f->KnopkaPokazVopr->click();
    });
    z.console->window()->ekrany().OtkrytNastroikuGolosovania();
    QCOMPARE(mode(z.hall), QStringLiteral("-1/12/15"));
}

QTEST_MAIN(TestUstanovka)
#include "test_ustanovka.moc"
