// The protocol window over a real embedded database: a meeting is prepared, opened, run and
// closed with the statements the console and the seat terminals send, then its protocol is
// built, switched between layouts and saved as RTF.

#include "db/zhurnal.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/inifile.h"
#include "db/schema.h"
#include "protocol/protokol_forma.h"
#include "rtf/rtf.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

const QString kSep = QString(80, QLatin1Char('-'));
const QString k8 = QString(8, QLatin1Char(' '));

}  // namespace

class TestProtocolWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void closedMeetingWithoutVotes();
    void meetingRunByTheHall();
    void switchingLayoutsRebuildsWithoutQuerying();
    void savesWhatTheWindowShows();
    void printsAndWritesPdfOfTheRtf();
    void failingQueryIsReportedAndBuildsNothing();
    void windowLayout();
    void screenshots();

private:
    // Runs one statement the way a workstation sends it; fails the test on an error.
    void run(const QString &statement);
    int scalar(const QString &statement);
    int addDeputy(const QString &surname, const QString &name, const QString &patronymic, const QString &seat,
                  bool chairman = false);
    int addMeeting(const QString &description);
    int addItem(int meeting, int tip, int nomer, int ord, const QString &info);
    void openMeeting(int meeting, int firstItem);
    void activate(int item);
    int startRegistration(int meeting, const QList<int> &present);
    int startVote(int item, int period, int present, int needed, int vid = 0);
    void cast(int deputy, int item, int vote, int result);
    void closeMeeting(int meeting);
    // Fixed times so that the expected lines do not depend on the clock.
    void setTime(const QString &table, const QString &column, int id, const QString &ymdhms);
    // A closed meeting with one item and one vote in which one deputy cast `result`.
    struct Small {
        int meeting, deputy, item, vote;
    };
    Small smallMeeting(const QString &info, int result);
    // A window for the meeting, shown (which builds the electronic layout).
    TProtokolForma *window(int meeting);

    QTemporaryDir *m_dir = nullptr;
    DbConnection *m_db = nullptr;
    FakeDialogs m_dialogs;
    FakePlatform m_platform;
    int m_chairman = 0;
    QList<TProtokolForma *> m_windows;
};

void TestProtocolWindow::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    const QString path = m_dir->filePath(QStringLiteral("hall.db"));
    QString err;
    QVERIFY2(schema::createEmbedded(path, &err), qPrintable(err));
    m_db = new DbConnection;
    QVERIFY2(m_db->open({QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")}),
             qPrintable(m_db->firstErrorText()));
    m_dialogs.clear();
    m_platform.dir = m_dir->path();
    m_chairman = 0;
}

void TestProtocolWindow::cleanup()
{
    qDeleteAll(m_windows);
    m_windows.clear();
    delete m_db;
    m_db = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

void TestProtocolWindow::run(const QString &statement)
{
    if (!m_db->exec(statement))
        QFAIL(qPrintable(statement + QStringLiteral("\n") + m_db->firstErrorText()));
}

int TestProtocolWindow::scalar(const QString &statement)
{
    bool ok = false;
    const QVariant v = m_db->scalar(statement, &ok);
    if (!ok)
        qWarning("%s: %s", qPrintable(statement), qPrintable(m_db->firstErrorText()));
    return v.toInt();
}

int TestProtocolWindow::addDeputy(const QString &surname, const QString &name, const QString &patronymic,
                                  const QString &seat, bool chairman)
{
    run(QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES (") + sql::quote(surname) + QStringLiteral(",")
        + sql::quote(name) + QStringLiteral(",") + sql::quote(patronymic) + QStringLiteral(")"));
    const int id = scalar(QStringLiteral("SELECT MAX(id) FROM deputat"));
    const int seatId = scalar(QStringLiteral("SELECT id FROM mesto WHERE nomer LIKE ") + sql::quoteLike(seat));
    if (chairman) {
        run(QStringLiteral("INSERT INTO sostav (chairman,id_deputat,id_mesto) VALUES (1,%1,%2)").arg(id).arg(seatId));
        m_chairman = id;
    } else {
        run(QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto) VALUES (%1,%2)").arg(id).arg(seatId));
    }
    return id;
}

int TestProtocolWindow::addMeeting(const QString &description)
{
    run(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES ('20240305',") + sql::quote(description)
        + QStringLiteral(",'00:00:00')"));
    return scalar(QStringLiteral("SELECT @@identity as id;"));
}

int TestProtocolWindow::addItem(int meeting, int tip, int nomer, int ord, const QString &info)
{
    const QString opisanie = (tip == 0 ? QStringLiteral("Вопрос ") : QStringLiteral("Доп. вопрос ")) + QString::number(nomer);
    run(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) VALUES (%1,%2,%3,%4,")
            .arg(meeting)
            .arg(tip)
            .arg(nomer)
            .arg(ord)
        + sql::quote(opisanie) + QStringLiteral(",") + sql::quote(info) + QStringLiteral(",0)"));
    return scalar(QStringLiteral("SELECT @@identity as id;"));
}

void TestProtocolWindow::openMeeting(int meeting, int firstItem)
{
    run(QStringLiteral("UPDATE zasedanie SET start = GETDATE() WHERE id=%1").arg(meeting));
    run(QStringLiteral("UPDATE povestka SET aktiv = 0"));
    run(QStringLiteral("UPDATE povestka SET aktiv = 1 WHERE id=%1").arg(firstItem));
    run(QStringLiteral("UPDATE povestka SET aktiv_data = GETDATE() WHERE id=%1").arg(firstItem));
    run(QStringLiteral("DELETE FROM proshu_slovo;"));
}

void TestProtocolWindow::activate(int item)
{
    run(QStringLiteral("UPDATE povestka SET aktiv = 0"));
    run(QStringLiteral("UPDATE povestka SET aktiv = 1, aktiv_data=GETDATE() WHERE id=%1").arg(item));
}

int TestProtocolWindow::startRegistration(int meeting, const QList<int> &present)
{
    run(QStringLiteral("UPDATE sessia_start SET stop = GETDATE()"));
    run(QStringLiteral("DELETE FROM sessia WHERE id_sessia = -1"));
    run(QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (%1)").arg(meeting));
    const int period = scalar(QStringLiteral("SELECT max(id) FROM sessia_start;"));
    run(QStringLiteral("INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (%1,%2,%3)")
            .arg(m_chairman)
            .arg(period)
            .arg(meeting));
    for (int deputy : present) {
        run(QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (%1,%2,%3)")
                .arg(meeting)
                .arg(deputy)
                .arg(period));
    }
    return period;
}

int TestProtocolWindow::startVote(int item, int period, int present, int needed, int vid)
{
    run(QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                       "id_povestka,id_sessia) VALUES (getdate(),'Большинство от присутствующих',0,%1,27,%2,"
                       "'Процедурные вопросы',%3,27,%4,%5)")
            .arg(vid)
            .arg(present)
            .arg(needed)
            .arg(item)
            .arg(period));
    return scalar(QStringLiteral("SELECT MAX(id) FROM golosovanie;"));
}

void TestProtocolWindow::cast(int deputy, int item, int vote, int result)
{
    run(QStringLiteral("DELETE FROM otvet WHERE (id_deputat=%1) AND (id_golosovanie=%2)").arg(deputy).arg(vote));
    run(QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (%1,%2,%3,%4)")
            .arg(deputy)
            .arg(item)
            .arg(result)
            .arg(vote));
}

void TestProtocolWindow::closeMeeting(int meeting)
{
    run(QStringLiteral("UPDATE zasedanie SET stop = GETDATE() WHERE id=%1").arg(meeting));
    run(QStringLiteral("UPDATE povestka SET aktiv=0"));
    run(QStringLiteral("DELETE FROM proshu_slovo;"));
    run(QStringLiteral("UPDATE regim SET nomer=-1"));
    run(QStringLiteral("UPDATE sessia_start SET stop = GETDATE()"));
    run(QStringLiteral("INSERT INTO sessia_start (id_zasedanie,stop) VALUES (%1,GETDATE())").arg(meeting));
    const int chairman = scalar(QStringLiteral("SELECT id_deputat FROM sostav WHERE chairman=1;"));
    const int period = scalar(QStringLiteral("SELECT max(id) FROM sessia_start;"));
    run(QStringLiteral("INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (%1,%2,%3)")
            .arg(chairman)
            .arg(period)
            .arg(meeting));
}

void TestProtocolWindow::setTime(const QString &table, const QString &column, int id, const QString &ymdhms)
{
    run(QStringLiteral("UPDATE %1 SET %2=%3 WHERE id=%4").arg(table, column, sql::quote(ymdhms)).arg(id));
}

TestProtocolWindow::Small TestProtocolWindow::smallMeeting(const QString &info, int result)
{
    Small s;
    addDeputy(QStringLiteral("Петров"), QStringLiteral("Пётр"), QStringLiteral("Петрович"), QStringLiteral("02"), true);
    s.deputy = addDeputy(QStringLiteral("Иванов"), QStringLiteral("Иван"), QStringLiteral("Иванович"), QStringLiteral("05"));
    s.meeting = addMeeting(QStringLiteral("Заседание № 3"));
    s.item = addItem(s.meeting, 0, 1, 1, info);
    openMeeting(s.meeting, s.item);
    const int period = startRegistration(s.meeting, {s.deputy});
    s.vote = startVote(s.item, period, 2, 2);
    cast(s.deputy, s.item, s.vote, result);
    closeMeeting(s.meeting);
    return s;
}

TProtokolForma *TestProtocolWindow::window(int meeting)
{
    auto *w = new TProtokolForma(m_db, &m_dialogs, &m_platform);
    m_windows << w;
    w->setMeeting(meeting);
    w->show();  // the first show builds the electronic layout
    return w;
}

void TestProtocolWindow::closedMeetingWithoutVotes()
{
    addDeputy(QStringLiteral("Петров"), QStringLiteral("Пётр"), QStringLiteral("Петрович"), QStringLiteral("02"), true);
    const int m = addMeeting(QStringLiteral("Заседание № 7"));
    const int item = addItem(m, 0, 0, 1, QStringLiteral("Повестка в целом"));
    openMeeting(m, item);
    const int period = startRegistration(m, {});
    closeMeeting(m);
    setTime(QStringLiteral("sessia_start"), QStringLiteral("start"), period, QStringLiteral("20240305 09:05:59"));
    setTime(QStringLiteral("zasedanie"), QStringLiteral("stop"), m, QStringLiteral("20240305 18:00:00"));

    TProtokolForma *w = window(m);
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.lastText()));
    QVERIFY(w->Electronniy->isChecked());
    QCOMPARE(w->OtchetText->toPlainText(),
             QStringList({kSep, QStringLiteral(" 05.03.2024  09:05    Заседание № 7 объявляется открытым"),
                          QStringLiteral("                      Председатель: Петров Пётр Петрович"), kSep,
                          QStringLiteral(" 05.03.2024  18:00    Заседание № 7 объявляется закрытым"), kSep})
                 .join(QLatin1Char('\n')));
    QCOMPARE(w->OtchetText->textCursor().position(), 0);

    w->Redakt->click();
    QCOMPARE(w->OtchetText->toPlainText(),
             QStringList({QStringLiteral("05.03.2024"), QStringLiteral("09:05"), QStringLiteral("Заседание № 7"), QString(),
                          QStringLiteral("Председатель: Петров Пётр Петрович"), QString(), kSep,
                          QStringLiteral(" 05.03.2024  18:00  Заседание № 7 закрыто"), QString(), QString(), QString(),
                          QString(), QString(), QString(), QStringLiteral("Председатель"),
                          QStringLiteral("Тальминской областной Думы") + QString(32, QLatin1Char(' '))
                              + QStringLiteral("П.П. Петров")})
                 .join(QLatin1Char('\n')));
    // The header is centred and bold in the text box itself.
    const QTextBlock first = w->OtchetText->document()->begin();
    QVERIFY(first.blockFormat().alignment() & Qt::AlignHCenter);
    QVERIFY(first.begin().fragment().charFormat().fontWeight() >= QFont::Bold);
    QCOMPARE(w->OtchetText->textCursor().position(), 0);
}

void TestProtocolWindow::meetingRunByTheHall()
{
    addDeputy(QStringLiteral("Петров"), QStringLiteral("Пётр"), QStringLiteral("Петрович"), QStringLiteral("02"), true);
    const int ivanov = addDeputy(QStringLiteral("Иванов"), QStringLiteral("Иван"), QStringLiteral("Иванович"), QStringLiteral("05"));
    const int sidorov = addDeputy(QStringLiteral("Сидоров"), QStringLiteral("Семён"), QStringLiteral("Ильич"), QStringLiteral("06"));
    const int kozlov = addDeputy(QStringLiteral("Козлов"), QStringLiteral("Кирилл"), QStringLiteral("Юрьевич"), QStringLiteral("07"));
    const int orlov = addDeputy(QStringLiteral("О'Рлов"), QStringLiteral("Олег"), QStringLiteral("Олегович"), QStringLiteral("08"));
    const int absent = addDeputy(QStringLiteral("Зайцев"), QStringLiteral("Захар"), QStringLiteral("Захарович"), QStringLiteral("09"));
    Q_UNUSED(absent);
    // Long names so that the name lists wrap under their hanging indent.
    QList<int> more;
    for (const char *surname : {"Константинопольский", "Преображенская", "Верхнеднепровский"})
        more << addDeputy(QString::fromUtf8(surname), QStringLiteral("Александр"), QStringLiteral("Владимирович"),
                          QStringLiteral("1%1").arg(more.size()));

    const int m = addMeeting(QStringLiteral("Заседание № 12"));
    const int whole = addItem(m, 0, 0, 1, QStringLiteral("Повестка дня в целом"));
    const int a = addItem(m, 0, 1, 2,
                          QStringLiteral("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 "
                                         "\\u1054?\\u32?\\'e1\\'fe\\'e4\\'e6\\'e5\\'f2\\'e5\\par "
                                         "\\'ce\\'e1\\'eb\\'e0\\'f1\\'f2\\'e8\\par "
                                         "\\b \\'ca\\'f2\\'ee \\'e2\\'ed\\'ee\\'f1\\'e8\\'f2:\\b0  "
                                         "\\'c3\\'f3\\'e1\\'e5\\'f0\\'ed\\'e0\\'f2\\'ee\\'f0\\par }"));
    const int b = addItem(m, 1, 1, 3, QStringLiteral("Об информации"));

    openMeeting(m, whole);
    // 8 present with the chairman.
    const int period = startRegistration(m, QList<int>({ivanov, sidorov, kozlov, orlov}) + more);

    // Vote 1 on the whole agenda: everyone for.
    const int v1 = startVote(whole, period, 8, 3);
    for (int d : QList<int>({m_chairman, ivanov, sidorov, kozlov, orlov}) + more)
        cast(d, whole, v1, 1);
    // Votes 2 and 3 on item A: 3 for of 3 needed, then 2 for of 3 (Иванов changes his mind).
    activate(a);
    const int v2 = startVote(a, period, 8, 3);
    cast(ivanov, a, v2, 1);
    cast(sidorov, a, v2, 1);
    cast(kozlov, a, v2, 1);
    cast(orlov, a, v2, 2);
    const int v3 = startVote(a, period, 8, 3, 1);
    cast(ivanov, a, v3, 1);
    cast(sidorov, a, v3, 1);
    cast(kozlov, a, v3, 3);
    cast(ivanov, a, v3, 2);  // re-vote replaces the first ballot
    cast(m_chairman, a, v3, 1);
    // Vote 4 on item B, vote 5 back on A.
    activate(b);
    const int v4 = startVote(b, period, 8, 3, 2);
    cast(orlov, b, v4, 1);
    activate(a);
    const int v5 = startVote(a, period, 8, 3);
    for (int d : {m_chairman, ivanov, sidorov, kozlov})
        cast(d, a, v5, 1);
    closeMeeting(m);

    setTime(QStringLiteral("sessia_start"), QStringLiteral("start"), period, QStringLiteral("20240305 09:07:31"));
    setTime(QStringLiteral("zasedanie"), QStringLiteral("stop"), m, QStringLiteral("20240305 17:40:00"));
    const QStringList times = {QStringLiteral("10:01"), QStringLiteral("10:15"), QStringLiteral("10:20"),
                               QStringLiteral("11:00"), QStringLiteral("11:30")};
    const QList<int> votes = {v1, v2, v3, v4, v5};
    for (int i = 0; i < votes.size(); ++i)
        setTime(QStringLiteral("golosovanie"), QStringLiteral("data"), votes[i], QStringLiteral("20240305 ") + times[i] + QStringLiteral(":00"));
    setTime(QStringLiteral("povestka"), QStringLiteral("aktiv_data"), whole, QStringLiteral("20240305 09:30:00"));
    setTime(QStringLiteral("povestka"), QStringLiteral("aktiv_data"), a, QStringLiteral("20240305 11:25:00"));
    setTime(QStringLiteral("povestka"), QStringLiteral("aktiv_data"), b, QStringLiteral("20240305 10:55:00"));

    TProtokolForma *w = window(m);
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.lastText()));
    const QStringList el = w->OtchetText->toPlainText().split(QLatin1Char('\n'));

    // Headings: whole agenda, A (two votes, one heading), B, A again.
    QStringList headings;
    for (const QString &l : el)
        if (l.contains(QStringLiteral("Обсуждается")))
            headings << l;
    QCOMPARE(headings, QStringList({QStringLiteral(" 09:30  Обсуждается Вопрос 0"), QStringLiteral(" 11:25  Обсуждается Вопрос 1"),
                                    QStringLiteral(" 10:55  Обсуждается Доп. вопрос 1"),
                                    QStringLiteral(" 11:25  Обсуждается Вопрос 1")}));

    // The second vote in full, names included; the lists come from the database functions.
    auto names = [this](const QString &call) {
        bool ok = false;
        const QVariant v = m_db->scalar(QStringLiteral("SELECT ") + call, &ok);
        return v.toString();
    };
    const QString za2 = names(QStringLiteral("dbo.mnogoimen(%1,1)").arg(v2));
    const QString protiv2 = names(QStringLiteral("dbo.mnogoimen(%1,2)").arg(v2));
    const QString vosd2 = names(QStringLiteral("dbo.mnogoimen(%1,3)").arg(v2));
    const QString ne2 = names(QStringLiteral("dbo.mnogoimen2(%1,%2)").arg(v2).arg(period));
    for (const char *surname : {"Иванов", "Сидоров", "Козлов"})
        QVERIFY2(za2.contains(QString::fromUtf8(surname)), qPrintable(za2));
    QVERIFY2(!za2.contains(QStringLiteral("О'Рлов")), qPrintable(za2));
    QVERIFY2(protiv2.contains(QStringLiteral("О'Рлов")) && !protiv2.contains(QStringLiteral("Иванов")), qPrintable(protiv2));
    QVERIFY2(vosd2.trimmed().isEmpty(), qPrintable(vosd2));
    // Present but silent: the chairman and the three who only voted on the agenda; the
    // absent deputy is not listed at all.
    QVERIFY2(ne2.contains(QStringLiteral("Петров")) && ne2.contains(QStringLiteral("Преображенская"))
                 && !ne2.contains(QStringLiteral("Зайцев")) && !ne2.contains(QStringLiteral("Иванов")),
             qPrintable(ne2));

    const QStringList vote2 = {
        QStringLiteral(" 11:25  Обсуждается Вопрос 1"),
        kSep,
        QStringLiteral(" 10:15  Открытое голосование: Вопрос 1"),
        k8 + QStringLiteral("Процедурные вопросы"),
        k8 + QStringLiteral("Большинство от присутствующих"),
        QStringLiteral("          ВСЕГО - 27"),
        QStringLiteral("          ПРИСУТСТВУЕТ - 8"),
        QStringLiteral("          КВОРУМ - 14 - Кворума нет"),
        QStringLiteral("          ГОЛОСОВАЛО - 4"),
        k8,
        QStringLiteral("        ЗА - 3  ПРОТИВ - 1  ВОЗД - 0"),
        QStringLiteral("        Решение принято"),
        QStringLiteral("        Журнал: ") + names(zhurnal::golovaSql(QString::number(v2))),
        QStringLiteral("        За:"), k8, k8 + za2, k8,
        QStringLiteral("        Против:"), k8, k8 + protiv2, k8,
        QStringLiteral("        Воздержались:"), k8, k8 + vosd2, k8,
        QStringLiteral("        Не голосовали:"), k8, k8 + ne2,
        kSep,
        QStringLiteral(" 10:20  Тайное голосование: Вопрос 1"),
    };
    const int at = el.indexOf(vote2.first());
    QVERIFY(at > 0);
    QCOMPARE(el.mid(at, vote2.size()), vote2);

    // Third vote: 2 for (the chairman and Сидоров) of 3 needed, Иванов's changed ballot counted once.
    const int v3at = el.indexOf(QStringLiteral(" 10:20  Тайное голосование: Вопрос 1"));
    // It is secret: totals, no names.
    QCOMPARE(el.mid(v3at + 6, 6), QStringList({QStringLiteral("          ГОЛОСОВАЛО - 4"), k8,
                                               QStringLiteral("        ЗА - 2  ПРОТИВ - 1  ВОЗД - 1"),
                                               QStringLiteral("        Решение не принято"),
                                               QStringLiteral("        Журнал: ") + names(zhurnal::golovaSql(QString::number(v3))),
                                               kSep}));
    QVERIFY(el.contains(QStringLiteral(" 11:00  Поименное голосование: Доп. вопрос 1")));
    QCOMPARE(el.first(), kSep);
    QCOMPARE(el.mid(el.size() - 2), QStringList({QStringLiteral(" 05.03.2024  17:40    Заседание № 12 объявляется закрытым"), kSep}));
    QCOMPARE(el[1], QStringLiteral(" 05.03.2024  09:07    Заседание № 12 объявляется открытым"));

    // The name block hangs by six spaces of the text box's font, on both sides.
    const double six = w->spaceWidth(6);
    QVERIFY(six > 0);
    QVERIFY(qAbs(w->spaceWidth(2) * 3 - w->spaceWidth(6)) <= 1);
    const QTextDocument *doc = w->OtchetText->document();
    const QTextBlock za = doc->findBlockByNumber(at + 13);
    QCOMPARE(za.text(), QStringLiteral("        За:"));
    QCOMPARE(za.blockFormat().leftMargin(), six * 96 / 72);
    QCOMPARE(za.blockFormat().textIndent(), -six * 96 / 72);
    QCOMPARE(za.blockFormat().rightMargin(), six * 96 / 72);
    QCOMPARE(doc->findBlockByNumber(at + 28).blockFormat().leftMargin(), 0.0);  // the separator after

    // Edited layout: headings with the question kind, content cut before "Кто вносит:".
    w->Redakt->click();
    const QStringList ed = w->OtchetText->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(ed.mid(0, 3), QStringList({QStringLiteral("05.03.2024"), QStringLiteral("09:07"), QStringLiteral("Заседание № 12")}));
    const QStringList itemA = {QStringLiteral(" 11:25  Обсуждается Основные вопросы, Вопрос 1"), k8 + QStringLiteral("О бюджете"),
                               QStringLiteral("Области"), kSep, QStringLiteral(" 10:15  Открытое голосование: Вопрос 1")};
    const int edA = ed.indexOf(itemA.first());
    QVERIFY(edA > 0);
    QCOMPARE(ed.mid(edA, itemA.size()), itemA);
    const int edB = ed.indexOf(QStringLiteral(" 10:55  Обсуждается Дополнительные вопросы, Доп. вопрос 1"));
    QVERIFY(edB > edA);
    QCOMPARE(ed[edB + 1], k8 + QStringLiteral("Об информации"));
    QCOMPARE(ed.count(itemA.first()), 2);
    const int edWhole = ed.indexOf(QStringLiteral(" 09:30  Обсуждается Вопрос 0"));
    QVERIFY(edWhole > 0 && edWhole < edA);
    QVERIFY(!ed.contains(QStringLiteral("        За:")));
    QCOMPARE(ed.count(QStringLiteral("        Решение принято")), 3);
    QCOMPARE(ed.count(QStringLiteral("        Решение не принято")), 2);
    QCOMPARE(ed.mid(ed.size() - 9, 2), QStringList({QStringLiteral(" 05.03.2024  17:40  Заседание № 12 закрыто"), QString()}));
}

void TestProtocolWindow::switchingLayoutsRebuildsWithoutQuerying()
{
    const Small x = smallMeeting(QStringLiteral("Текст\nКто вносит: комитет"), 1);
    TProtokolForma *w = window(x.meeting);
    const QString electronic = w->OtchetText->toPlainText();
    const QString html = w->OtchetText->toHtml();
    const qint64 sent = m_db->statementCount();

    w->Redakt->click();
    const QString edited = w->OtchetText->toPlainText();
    QVERIFY(edited != electronic);
    w->OtchetText->insertPlainText(QStringLiteral("правка оператора"));  // lost on the next switch
    w->Electronniy->click();
    QCOMPARE(w->OtchetText->toPlainText(), electronic);
    QCOMPARE(w->OtchetText->toHtml(), html);
    w->Redakt->click();
    QCOMPARE(w->OtchetText->toPlainText(), edited);
    QCOMPARE(m_db->statementCount(), sent);

    // Rows written after the window opened show only when the window re-reads on activation.
    cast(x.deputy, x.item, x.vote, 2);
    w->ElectronniyClick();
    QCOMPARE(w->OtchetText->toPlainText(), electronic);
    w->FormActivate();
    QVERIFY(w->Electronniy->isChecked());
    QVERIFY(w->OtchetText->toPlainText().contains(QStringLiteral("        ЗА - 0  ПРОТИВ - 1  ВОЗД - 0")));
}

void TestProtocolWindow::savesWhatTheWindowShows()
{
    const Small x = smallMeeting(QStringLiteral("Длинное содержание вопроса, которое не помещается в одну строку "
                                                "протокола и переносится с висячим отступом."),
                                 3);
    TProtokolForma *w = window(x.meeting);
    for (QRadioButton *layout : {w->Electronniy, w->Redakt}) {
        layout->click();
        QTextCursor c(w->OtchetText->document());
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("\nДописано вручную: «кавычки» и \\{скобки}"));

        const QString base = m_dir->filePath(layout == w->Redakt ? QStringLiteral("redakt") : QStringLiteral("electron"));
        m_dialogs.fileNames.enqueue(base);  // no extension typed: ".rtf" is added
        w->KnopkaVFailClick();
        QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.lastText()));
        QFile f(base + QStringLiteral(".rtf"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        QVERIFY(data.startsWith("{\\rtf1"));
        QCOMPARE(rtf::plainText(data), w->OtchetText->toPlainText());
        QVERIFY(w->OtchetText->toPlainText().endsWith(QStringLiteral("«кавычки» и \\{скобки}")));

        // Formatting survives: the edited header is bold and centred in the file.
        QTextDocument back;
        rtf::read(data, &back);
        const QTextBlock first = back.begin();
        const bool edited = layout == w->Redakt;
        QCOMPARE(bool(first.blockFormat().alignment() & Qt::AlignHCenter), edited);
        QCOMPARE(first.begin().fragment().charFormat().fontWeight() >= QFont::Bold, edited);
    }

    // Cancelling the save dialog writes nothing.
    const int files = QDir(m_dir->path()).entryList(QDir::Files).size();
    w->KnopkaVFailClick();
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), files);

    // A name typed without extension whose ".rtf" file exists is replaced only on Yes.
    const QString existing = m_dir->filePath(QStringLiteral("electron"));
    const QByteArray before = [&] {
        QFile f(existing + QStringLiteral(".rtf"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    w->Electronniy->click();
    m_dialogs.fileNames.enqueue(existing);
    m_dialogs.answers.enqueue(Dialogs::No);
    w->KnopkaVFailClick();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Question);
    QCOMPARE(m_dialogs.shown[0].defaultButton, Dialogs::No);
    QFile kept(existing + QStringLiteral(".rtf"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), before);
    kept.close();
    m_dialogs.fileNames.enqueue(existing);
    m_dialogs.answers.enqueue(Dialogs::Yes);
    w->KnopkaVFailClick();
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(rtf::plainText(kept.readAll()), w->OtchetText->toPlainText());

    // A file that cannot be written is reported; the text stays in the window.
    m_dialogs.clear();
    const QString text = w->OtchetText->toPlainText();
    const QString bad = m_dir->filePath(QStringLiteral("no/such/folder/p.rtf"));
    m_dialogs.fileNames.enqueue(bad);
    w->KnopkaVFailClick();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Ошибка"));
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Error);
    QVERIFY(m_dialogs.shown[0].text.contains(QDir::toNativeSeparators(bad)));
    QVERIFY(!QFile::exists(bad));
    QCOMPARE(w->OtchetText->toPlainText(), text);
    QVERIFY(w->isVisible());
}

namespace {

QString words(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).join(QString());
}

// The characters of a PDF file as Qt PDF reads them back, blanks left out: its extraction
// breaks lines and words its own way (empty when the file cannot be read).
QString pdfWords(const QString &path, int *pages = nullptr)
{
    QPdfDocument pdf;
    if (pdf.load(path) != QPdfDocument::Error::None)
        return {};
    QString all;
    for (int i = 0; i < pdf.pageCount(); ++i)
        all += pdf.getAllText(i).text() + QLatin1Char(' ');
    if (pages)
        *pages = pdf.pageCount();
    return words(all);
}

}  // namespace

void TestProtocolWindow::printsAndWritesPdfOfTheRtf()
{
    const Small x = smallMeeting(QStringLiteral("Содержание вопроса"), 1);
    TProtokolForma *w = window(x.meeting);
    QCOMPARE(w->KnopkaPechat->text(), QStringLiteral("Печать"));
    QCOMPARE(w->KnopkaPdf->text(), QStringLiteral("Сохранить в PDF"));
    // Enough votes' worth of text for several pages.
    QTextCursor c(w->OtchetText->document());
    c.movePosition(QTextCursor::End);
    for (int i = 0; i < 120; ++i)
        c.insertText(QStringLiteral("\nСтрока %1 дописана вручную").arg(i));
    const QString expected = words(rtf::plainText(protocol::toRtf(w->OtchetText->document())));
    QVERIFY(expected.contains(QStringLiteral("Заседание№3")));
    QVERIFY(expected.endsWith(QStringLiteral("Строка119дописанавручную")));

    // The PDF: proposed name of the meeting, the extension added, the text as in the RTF.
    const QString settings = settingsPathFor(m_platform.programPath());
    const QString pdfPath = m_dir->filePath(QStringLiteral("protokol"));
    m_dialogs.fileNames.enqueue(pdfPath);
    w->KnopkaPdfClick();
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.lastText()));
    const QString proposed = QFileInfo(m_dialogs.fileDirs.last()).fileName();
    QVERIFY2(proposed.startsWith(QStringLiteral("Протокол ")) && proposed.endsWith(QStringLiteral(" Заседание № 3")),
             qPrintable(proposed));
    int pages = 0;
    QCOMPARE(pdfWords(pdfPath + QStringLiteral(".pdf"), &pages), expected);
    QVERIFY(pages >= 2);
    {
        // A4 portrait.
        QPdfDocument pdf;
        QCOMPARE(pdf.load(pdfPath + QStringLiteral(".pdf")), QPdfDocument::Error::None);
        QCOMPARE(pdf.pagePointSize(0).toSize(), QSize(595, 842));
    }
    // The folder is remembered and proposed next time.
    QCOMPARE(iniRead(settings, QStringLiteral("Faily"), QStringLiteral("Papka")), QDir(m_dir->path()).absolutePath());

    // An existing PDF is replaced only on Yes.
    const QByteArray before = [&] {
        QFile f(pdfPath + QStringLiteral(".pdf"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    c.insertText(QStringLiteral("\nЕщё строка"));
    m_dialogs.fileNames.enqueue(pdfPath + QStringLiteral(".pdf"));
    m_dialogs.answers.enqueue(Dialogs::No);
    w->KnopkaPdfClick();
    QVERIFY(QFileInfo(m_dialogs.fileDirs.last()).absolutePath() == QDir(m_dir->path()).absolutePath());
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Question);
    {
        QFile f(pdfPath + QStringLiteral(".pdf"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // A folder that does not exist is refused with a message; nothing is written.
    m_dialogs.clear();
    const QString missing = m_dir->filePath(QStringLiteral("net/takoi/p.pdf"));
    m_dialogs.fileNames.enqueue(missing);
    w->KnopkaPdfClick();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Error);
    QVERIFY2(m_dialogs.shown[0].text.contains(QStringLiteral("не существует")), qPrintable(m_dialogs.shown[0].text));
    QVERIFY(!QFile::exists(missing));

    // Printing: through the print dialog, here a printer that writes a PDF file.
    m_dialogs.clear();
    const QString nowExpected = words(rtf::plainText(protocol::toRtf(w->OtchetText->document())));
    const QString printed = m_dir->filePath(QStringLiteral("printed.pdf"));
    m_dialogs.printFiles.enqueue(printed);
    w->KnopkaPechatClick();
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.lastText()));
    QCOMPARE(pdfWords(printed), nowExpected);
    // A cancelled print dialog prints nothing and says nothing.
    w->KnopkaPechatClick();
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestProtocolWindow::failingQueryIsReportedAndBuildsNothing()
{
    const int m = smallMeeting(QString(), 1).meeting;

    // Two chairman seats make the chairman sub-select return two rows: the meeting query fails.
    const int first = m_chairman;
    addDeputy(QStringLiteral("Второй"), QStringLiteral("Председатель"), QStringLiteral("Лишний"), QStringLiteral("03"), true);
    TProtokolForma *w = window(m);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Ошибка"));
    QVERIFY(w->OtchetText->toPlainText().isEmpty());
    QVERIFY(!m_db->hasErrors());
    run(QStringLiteral("UPDATE sostav SET chairman=0 WHERE id_deputat=%1").arg(first));
    m_dialogs.clear();
    w->FormActivate();
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.lastText()));
    QVERIFY(w->OtchetText->toPlainText().contains(QStringLiteral("Председатель: Второй Председатель Лишний")));

    // A lost connection: the vote list query fails.
    m_db->close();
    w->FormActivate();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Ошибка"));
    QCOMPARE(m_dialogs.shown[0].icon, Dialogs::Error);
    QVERIFY(!m_dialogs.shown[0].text.isEmpty());
    QVERIFY(!m_db->hasErrors());  // handled: the main window's timers must not see it
    QVERIFY(w->OtchetText->toPlainText().isEmpty());
    // Without open results the layout buttons build nothing either.
    w->Redakt->click();
    QVERIFY(w->OtchetText->toPlainText().isEmpty());
}

void TestProtocolWindow::windowLayout()
{
    TProtokolForma w(m_db, &m_dialogs, &m_platform);
    QCOMPARE(w.windowTitle(), QStringLiteral("Протокол"));
    QCOMPARE(w.size(), QSize(784, 678));
    QCOMPARE(w.pos(), QPoint((1280 - 784) / 2, (1024 - 678) / 2));
    QCOMPARE(w.PanelNis->height(), 37);
    QCOMPARE(w.PanelNis->geometry().bottom(), 677);
    QCOMPARE(w.OtchetText->geometry().bottom(), w.PanelNis->geometry().top() - 1);
    QCOMPARE(w.OtchetText->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(w.OtchetText->font().pixelSize(), 13);  // 10 points at 96 dpi
    QCOMPARE(w.OtchetText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!w.OtchetText->isReadOnly());
    QCOMPARE(w.Electronniy->text(), QStringLiteral("Электронный"));
    QCOMPARE(w.Redakt->text(), QStringLiteral("Редактированный"));
    QVERIFY(w.Electronniy->isChecked() && !w.Redakt->isChecked());
    QVERIFY(w.Electronniy->font().bold() && w.Electronniy->font().pixelSize() == 13);
    QCOMPARE(w.KnopkaVFail->text(), QStringLiteral("Сохранить в файл"));
    QCOMPARE(w.KnopkaZakr->text(), QStringLiteral("Закрыть"));
    for (QWidget *c : {static_cast<QWidget *>(w.Electronniy), static_cast<QWidget *>(w.Redakt),
                       static_cast<QWidget *>(w.KnopkaVFail), static_cast<QWidget *>(w.KnopkaZakr)})
        QVERIFY(w.PanelNis->geometry().contains(c->mapTo(&w, c->rect().bottomRight())));

    w.setMeeting(42);
    QCOMPARE(w.meeting(), 42);
    w.show();
    QCOMPARE(w.Otchet2->param(QStringLiteral("a")).toInt(), 42);
    w.KnopkaZakr->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));

    // The meetings window's callback: a modal protocol window for the chosen meeting.
    int seen = 0;
    m_dialogs.modalHandlers.enqueue([&seen](QDialog *d) {
        seen = qobject_cast<TProtokolForma *>(d)->meeting();
        return int(QDialog::Rejected);
    });
    QCOMPARE(TProtokolForma::showFor(7, m_db, &m_dialogs, &m_platform, nullptr), int(QDialog::Rejected));
    QCOMPARE(m_dialogs.modalClasses, QStringList({QStringLiteral("TProtokolForma")}));
    QCOMPARE(seen, 7);
}

void TestProtocolWindow::screenshots()
{
    if (!qEnvironmentVariableIsSet("VOTER_SCREENS_DIR"))
        QSKIP("set VOTER_SCREENS_DIR to write the screenshots");
    meetingRunByTheHall();
    TProtokolForma *w = m_windows.last();
    const QDir out(qEnvironmentVariable("VOTER_SCREENS_DIR"));
    for (const QString &name : {QStringLiteral("protocol_electron"), QStringLiteral("protocol_redakt")}) {
        if (name.endsWith(QStringLiteral("redakt")))
            w->Redakt->click();
        else
            w->Electronniy->click();
        QVERIFY(w->grab().save(out.filePath(name + QStringLiteral(".png"))));
        QFile::remove(out.filePath(name + QStringLiteral(".rtf")));
        m_dialogs.fileNames.enqueue(out.filePath(name + QStringLiteral(".rtf")));
        w->KnopkaVFailClick();
        QVERIFY(QFile::exists(out.filePath(name + QStringLiteral(".rtf"))));
    }
}

QTEST_MAIN(TestProtocolWindow)
#include "test_window.moc"
