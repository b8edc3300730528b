// The two protocol layouts built from hand-made query rows, and their transfer into a
// document and through RTF.

#include "protocol/text/protocol_text.h"
#include "rtf/rtf.h"

#include <QFont>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace protocol;

namespace {

const QString kSep = QString(80, QLatin1Char('-'));
const QString k8 = QString(8, QLatin1Char(' '));
const IndentWidths kWidths{16, 48};

MeetingRow meeting()
{
    MeetingRow m;
    m.opisanie = QStringLiteral("Заседание № 12 объявляется открытым");
    m.opisanie2 = QStringLiteral("Заседание № 12 объявляется закрытым");
    m.fio = QStringLiteral("Петров Пётр Петрович");
    m.fio2 = QStringLiteral("П.П. Петров");
    m.zasStart = QStringLiteral("2024-03-05 09:07:31.250");
    m.stop = QStringLiteral("2024-03-05 17:40:00.000");
    return m;
}

VoteRow vote(const QString &item, int nomer, int tip, const QString &time, int za, int nuzno)
{
    VoteRow v;
    v.gData = QStringLiteral("2024-03-05 ") + time + QStringLiteral(":12.000");
    v.aktivData = QStringLiteral("2024-03-05 09:30:00.000");
    v.vid = QStringLiteral("Открытое голосование: ") + item;
    v.povestka = QStringLiteral("Обсуждается ") + item;
    v.regimPolsov = QStringLiteral("Принятие постановления");
    v.regim = QStringLiteral("Большинство от числа избранных");
    v.vsego = qlonglong(27);
    v.prisutstvuet = qlonglong(20);
    v.golosov = qlonglong(za + 3);
    v.za = qlonglong(za);
    v.protiv = qlonglong(2);
    v.vosd = qlonglong(1);
    v.nuzno = qlonglong(nuzno);
    v.fioZa = QStringLiteral("Иванов И.И., Сидоров С.С.");
    v.fioProtiv = QStringLiteral("Козлов К.К.");
    v.fioVosd = QString();
    v.fioNeGolos = QStringLiteral("Орлов О.О.");
    v.nomer = qlonglong(nomer);
    v.tip = qlonglong(tip);
    return v;
}

QStringList linesOf(const Paragraphs &ps)
{
    QStringList out;
    for (const Paragraph &p : ps)
        out << p.text;
    return out;
}

// Compares line by line so a failure names the first differing line.
void compareLines(const QStringList &actual, const QStringList &expected)
{
    for (int i = 0; i < qMin(actual.size(), expected.size()); ++i) {
        if (actual[i] != expected[i])
            QFAIL(qPrintable(QStringLiteral("line %1:\n  got  [%2]\n  want [%3]").arg(i).arg(actual[i], expected[i])));
    }
    QCOMPARE(actual.size(), expected.size());
}

}  // namespace

class TestProtocolText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oneVoteEdited();
    void itemContentCutBeforeProposer();
    void nullValuesPrintAsNothing();
    void formats();
    void documentAndRtfKeepTheFormatting();
    void initialsStayWithSurname();
};

void TestProtocolText::oneVoteEdited()
{
    VoteRow v = vote(QStringLiteral("Вопрос 3"), 3, 0, QStringLiteral("10:15"), 13, 14);
    v.info = QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 Arial;}}"
                            "\\f0\\fs20 \\'ce \\'e1\\'fe\\'e4\\'e6\\'e5\\'f2\\'e5\\par "
                            "\\u1085?\\u1072? 2025 \\u1075?\\u1086?\\u1076?\\par "
                            "\\b \\'ca\\'f2\\'ee \\'e2\\'ed\\'ee\\'f1\\'e8\\'f2:\\b0  \\'c3\\'f3\\'e1\\'e5\\'f0\\'ed\\'e0\\'f2\\'ee\\'f0\\par }");
    const Paragraphs ed = buildEdited(meeting(), {v}, kWidths);
    const QStringList expected = {
        QStringLiteral("05.03.2024"),
        QStringLiteral("09:07"),
        QStringLiteral("Заседание № 12"),
        QString(),
        QStringLiteral("Председатель: Петров Пётр Петрович"),
        QString(),
        kSep,
        QStringLiteral(" 09:30  Обсуждается Основные вопросы, Вопрос 3"),
        k8 + QStringLiteral("О бюджете"),
        QStringLiteral("на 2025 год"),
        kSep,
        QStringLiteral(" 10:15  Открытое голосование: Вопрос 3"),
        k8 + QStringLiteral("Принятие постановления"),
        k8 + QStringLiteral("Большинство от числа избранных"),
        QStringLiteral("          ВСЕГО - 27"),
        QStringLiteral("          ПРИСУТСТВУЕТ - 20"),
        QStringLiteral("          ГОЛОСОВАЛО - 16"),
        k8,
        QStringLiteral("        ЗА - 13  ПРОТИВ - 2  ВОЗД - 1"),
        QStringLiteral("        Решение не принято"),
        kSep,
        QStringLiteral(" 05.03.2024  17:40  Заседание № 12 закрыто"),
        QString(), QString(), QString(), QString(), QString(), QString(),
        QStringLiteral("Председатель"),
        QStringLiteral("Тальминской областной Думы") + QString(32, QLatin1Char(' ')) + QStringLiteral("П.П.\u00A0Петров"),
    };
    compareLines(linesOf(ed), expected);
    // Only the item content hangs: by two spaces, and six on the right. The header is
    // centred and bold, the empty line after it regular, the signature bold.
    for (int i = 0; i < ed.size(); ++i) {
        const bool content = i == 8 || i == 9;
        QCOMPARE(ed[i].hangingIndent, content ? 16.0 : 0.0);
        QCOMPARE(ed[i].rightIndent, content ? 48.0 : 0.0);
        QCOMPARE(ed[i].centred, i < 6);
        QCOMPARE(ed[i].bold, i < 5 || i >= ed.size() - 2);
    }
}

void TestProtocolText::itemContentCutBeforeProposer()
{
    QCOMPARE(itemContent(QStringLiteral("Текст без вносителя")), QStringLiteral("Текст без вносителя"));
    QCOMPARE(itemContent(QStringLiteral("О бюджете. Кто вносит: Губернатор. Кто вносит: Дума")),
             QStringLiteral("О бюджете. "));
    QCOMPARE(itemContent(QStringLiteral("{\\rtf1\\ansi Line one\\par Line two\\par}")),
             QStringLiteral("Line one\nLine two"));
    QCOMPARE(itemContent(QString()), QString());

    // A content that is all proposer prints just the eight spaces.
    VoteRow v = vote(QStringLiteral("Вопрос 2"), 2, 0, QStringLiteral("10:00"), 15, 14);
    v.info = QStringLiteral("Кто вносит: Комитет");
    const QStringList lines = linesOf(buildEdited(meeting(), {v}, kWidths));
    const int h = lines.indexOf(QStringLiteral(" 09:30  Обсуждается Основные вопросы, Вопрос 2"));
    QVERIFY(h > 0);
    QCOMPARE(lines[h + 1], k8);
    QCOMPARE(lines[h + 2], kSep);
}

void TestProtocolText::nullValuesPrintAsNothing()
{
    MeetingRow m;  // a meeting row with every value NULL
    const QStringList el = linesOf(buildElectronic(m, {}, kWidths));
    QCOMPARE(el[1], QStringLiteral("     "));
    QCOMPARE(el[2], QStringLiteral("                      Председатель: "));

    VoteRow v;  // kind outside 0..2, NULL counts and lists
    v.za = qlonglong(0);
    v.nuzno = qlonglong(1);
    const QStringList lines = linesOf(buildElectronic(meeting(), {v}, kWidths));
    QVERIFY(lines.contains(QStringLiteral("          ВСЕГО - ")));
    QVERIFY(lines.contains(QStringLiteral("        ЗА - 0  ПРОТИВ -   ВОЗД - ")));
    QVERIFY(lines.contains(QStringLiteral("        Решение не принято")));
    QCOMPARE(lines.count(k8), 3 + 11);
    // The name block, from "За:" to the last list, hangs by six spaces on both sides.
    const int from = lines.indexOf(QStringLiteral("        За:"));
    const int to = lines.indexOf(QStringLiteral("        Не голосовали:")) + 2;
    const Paragraphs ps = buildElectronic(meeting(), {v}, kWidths);
    for (int i = 0; i < ps.size(); ++i) {
        const bool block = i >= from && i <= to;
        QCOMPARE(ps[i].hangingIndent, block ? 48.0 : 0.0);
        QCOMPARE(ps[i].rightIndent, block ? 48.0 : 0.0);
        QVERIFY(!ps[i].bold && !ps[i].centred);
    }
    QCOMPARE(ps[to + 1].text, kSep);

    // No number needed at all: neither layout calls the vote adopted, whatever the count.
    VoteRow bez = vote(QStringLiteral("Вопрос 1"), 1, 0, QStringLiteral("10:00"), 30, 0);
    bez.nuzno = QVariant();
    for (const QStringList &layout : {linesOf(buildElectronic(meeting(), {bez}, kWidths)),
                                      linesOf(buildEdited(meeting(), {bez}, kWidths))}) {
        QVERIFY(layout.contains(QStringLiteral("        Решение не определено")));
        QVERIFY(!layout.contains(QStringLiteral("        Решение принято")));
    }
}

void TestProtocolText::formats()
{
    QCOMPARE(formatDate(QStringLiteral("2024-01-02 03:04:05.000")), QStringLiteral("02.01.2024"));
    QCOMPARE(formatTime(QStringLiteral("2024-01-02 03:04:05.000")), QStringLiteral("03:04"));
    QCOMPARE(formatTime(QStringLiteral("2024-01-02 23:59:59")), QStringLiteral("23:59"));
    QCOMPARE(formatTime(QDateTime(QDate(2024, 12, 31), QTime(7, 5))), QStringLiteral("07:05"));
    QCOMPARE(formatDate(QStringLiteral("2024-12-31")), QStringLiteral("31.12.2024"));
    QCOMPARE(formatDate(QVariant()), QString());
    QCOMPARE(formatTime(QStringLiteral("вчера")), QString());
    QCOMPARE(separator().size(), 80);
    QVERIFY(!separator().contains(QLatin1Char(' ')));
}

void TestProtocolText::documentAndRtfKeepTheFormatting()
{
    VoteRow v = vote(QStringLiteral("Вопрос 3"), 3, 0, QStringLiteral("10:15"), 13, 14);
    v.info = QStringLiteral("Первая строка\nвторая строка, достаточно длинная, чтобы перенестись");
    for (bool edited : {false, true}) {
        const Paragraphs ps = edited ? buildEdited(meeting(), {v}, kWidths) : buildElectronic(meeting(), {v}, kWidths);
        QFont font(QStringLiteral("Courier New"));
        font.setPointSize(10);
        QTextDocument doc;
        fillDocument(&doc, ps, font, 96.0 / 72.0);
        // Plain text shows no-break spaces as spaces; the blocks keep them.
        const QString nbsp(QChar(0x00A0));
        QCOMPARE(doc.toPlainText(), plainText(ps).replace(nbsp, QStringLiteral(" ")));

        // Written as RTF and read back, every paragraph keeps its text, weight, alignment
        // and indents (points -> 96-dpi pixels -> twips and back).
        const QByteArray file = toRtf(&doc);
        QVERIFY(file.contains("\\margl1134\\margr567"));
        QVERIFY(file.indexOf("\\margl") < file.indexOf("\\pard"));
        QTextDocument back;
        rtf::read(file, &back);
        QCOMPARE(back.toPlainText(), plainText(ps).replace(nbsp, QStringLiteral(" ")));
        if (edited)  // the signature's initials stay with the surname in the file too
            QVERIFY(back.lastBlock().text().endsWith(QStringLiteral("П.П.") + nbsp + QStringLiteral("Петров")));
        QCOMPARE(back.blockCount(), ps.size());
        int i = 0;
        for (QTextBlock b = back.begin(); b.isValid(); b = b.next(), ++i) {
            const Paragraph &p = ps[i];
            const QString where = QStringLiteral("paragraph %1 [%2]").arg(i).arg(p.text);
            QVERIFY2(bool(b.blockFormat().alignment() & Qt::AlignHCenter) == p.centred, qPrintable(where));
            QVERIFY2(qAbs(b.blockFormat().leftMargin() - p.hangingIndent * 96 / 72) < 0.01, qPrintable(where));
            QVERIFY2(qAbs(b.blockFormat().textIndent() + p.hangingIndent * 96 / 72) < 0.01, qPrintable(where));
            QVERIFY2(qAbs(b.blockFormat().rightMargin() - p.rightIndent * 96 / 72) < 0.01, qPrintable(where));
            if (!p.text.isEmpty()) {
                const QTextCharFormat cf = b.begin().fragment().charFormat();
                QVERIFY2((cf.fontWeight() >= QFont::Bold) == p.bold, qPrintable(where));
                QVERIFY2(cf.fontFamilies().toStringList().value(0) == QStringLiteral("Courier New"), qPrintable(where));
                QVERIFY2(qAbs(cf.fontPointSize() - 10) < 0.01, qPrintable(where));
            }
        }
    }

    // An empty text box still gives a valid file.
    QTextDocument empty;
    const QByteArray file = toRtf(&empty);
    QVERIFY(file.startsWith("{\\rtf1"));
    QVERIFY(file.trimmed().endsWith("}"));
    QVERIFY(file.contains("\\paperw11906"));
    QCOMPARE(rtf::plainText(file), QString());
}

void TestProtocolText::initialsStayWithSurname()
{
    // Name lists as the engines write them, and initials before a surname: a line may break
    // between two names, never inside one.
    VoteRow v = vote(QStringLiteral("Вопрос 3"), 3, 0, QStringLiteral("10:15"), 13, 14);
    v.fioZa = QStringLiteral("Иванов И. И., Сидорова А. С.");
    v.fioProtiv = QStringLiteral("Козлов К.К.");
    v.fioNeGolos = QStringLiteral("Орлов О., Ли");
    const QStringList lines = linesOf(buildElectronic(meeting(), {v}, kWidths));
    const QChar nb(0x00A0);
    QVERIFY(lines.contains(k8 + QStringLiteral("Иванов%1И.%1И., Сидорова%1А.%1С.").arg(nb)));
    QVERIFY(lines.contains(k8 + QStringLiteral("Козлов%1К.К.").arg(nb)));
    QVERIFY(lines.contains(k8 + QStringLiteral("Орлов%1О., Ли").arg(nb)));
    const QStringList edited = linesOf(buildEdited(meeting(), {v}, kWidths));
    QVERIFY(edited.last().endsWith(QStringLiteral("П.П.%1Петров").arg(nb)));
}

QTEST_MAIN(TestProtocolText)
#include "test_text.moc"
