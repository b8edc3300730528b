#include "rtf/rtf.h"

#include <QtTest>

class TestProstoyTekst : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cases_data();
    void cases();
};

void TestProstoyTekst::cases_data()
{
    const QString cr(QChar(13));
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("spaces");
    QTest::addColumn<QString>("expected");

    // No lines at all: the empty text.
    QTest::newRow("empty value") << QString() << false << QString();
    QTest::newRow("RTF without text") << R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\pard\f0\fs20 })" << true
                                      << QString();
    QTest::newRow("RTF with hidden text only") << R"({\rtf1{\v secret}})" << false << QString();

    // One empty line: two double quotes.
    QTest::newRow("paragraph end alone") << R"({\rtf1 \par})" << false << QStringLiteral("\"\"");
    QTest::newRow("plain line end alone") << QStringLiteral("\r\n") << true << QStringLiteral("\"\"");

    // The empty text after the last line end is not a line.
    QTest::newRow("one paragraph") << R"({\rtf1\ansi\ansicpg1251 \'c7\'e0\'ea\'ee\'ed\par})" << false
                                   << QStringLiteral("Закон");
    QTest::newRow("two paragraphs, CR")
        << R"({\rtf1 \b First\b0\par Second\par})" << false << QStringLiteral("First") + cr + "Second";
    QTest::newRow("two paragraphs, spaces") << R"({\rtf1 First\par Second})" << true
                                            << QStringLiteral("First Second");
    QTest::newRow("empty line inside") << R"({\rtf1 a\par\par b\par})" << true << QStringLiteral("a  b");
    QTest::newRow("empty last line kept") << R"({\rtf1 a\par\par})" << false << QStringLiteral("a") + cr;
    QTest::newRow("line break is a line end") << R"({\rtf1 a\line b})" << true << QStringLiteral("a b");
    QTest::newRow("spaces stay inside a line") << R"({\rtf1 one two\par three})" << true
                                               << QStringLiteral("one two three");
    QTest::newRow("plain text passes unchanged") << QStringLiteral("Заседание  Думы\r\nвторое") << false
                                                 << QStringLiteral("Заседание  Думы") + cr + "второе";
    QTest::newRow("plain single line") << QStringLiteral("  отступ ") << true << QStringLiteral("  отступ ");

    // Double quotes: the line is wrapped and inner quotes doubled.
    QTest::newRow("quoted line") << R"({\rtf1 Закон "О бюджете"\par Второй})" << true
                                 << QStringLiteral("\"Закон \"\"О бюджете\"\"\" Второй");
    QTest::newRow("quote only") << QStringLiteral("\"") << false << QStringLiteral("\"\"\"\"");
    QTest::newRow("quotes on two lines") << QStringLiteral("\"a\"\n\"b") << false
                                         << QStringLiteral("\"\"\"a\"\"\"") + cr + "\"\"\"b\"";
    QTest::newRow("typographic quotes untouched") << QStringLiteral("«Закон»") << true
                                                  << QStringLiteral("«Закон»");
}

void TestProstoyTekst::cases()
{
    QFETCH(QString, value);
    QFETCH(bool, spaces);
    QFETCH(QString, expected);
    QCOMPARE(ProstoyTekst(value, spaces), expected);
}

QTEST_GUILESS_MAIN(TestProstoyTekst)
#include "test_prostoytekst.moc"
