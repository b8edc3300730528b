#include "rtf/rtf.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

QByteArray sample(const char *name)
{
    QFile f(QStringLiteral(VOTER_SOURCE_DIR "/tests/rtf/samples/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", name);
    return f.readAll();
}

QString docText(const QString &value)
{
    QTextDocument doc;
    rtf::read(value, &doc);
    return doc.toPlainText();
}

// Formatting of the first character of the block that holds `text`.
struct Seen {
    QTextBlockFormat block;
    QTextCharFormat chars;
    bool found = false;
};

Seen formatOf(const QTextDocument &doc, const QString &text)
{
    Seen s;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text)) {
                s.block = b.blockFormat();
                s.chars = it.fragment().charFormat();
                s.found = true;
                return s;
            }
        }
    }
    return s;
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void samples_data();
    void samples();
    void codePages_data();
    void codePages();
    void unicodeEscapes_data();
    void unicodeEscapes();
    void formatting();
    void destinationsAndSpecials_data();
    void destinationsAndSpecials();
    void plainTextValues_data();
    void plainTextValues();
    void plainFiles();
    void fontNameDecoded();
    void malformed_data();
    void malformed();
    void hugeNumbersAreClamped();
    void deepNesting();
    void fuzz();
};

void TestRtfReader::samples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("code page 1251 bytes")
        << "wordpad_cp1251.rtf"
        << QStringLiteral("Решение о бюджете области на 2024 год\n"
                          "Кто вносит: Губернатор области\n"
                          "Draft № 12 — «первое чтение»\n");
    QTest::newRow("unicode escapes and ignorable groups")
        << "word_unicode.rtf"
        << QStringLiteral("ПРОЕКТ\n"
                          "О внесении изменений в закон “Об областном бюджете”. Текст\n"
                          "\n"
                          "·\t№ 12–Ф\n");
    QTest::newRow("nested groups and tables")
        << "nested_tables.rtf"
        << QStringLiteral("Outer bold bold-italic all three bold plain\n"
                          "Ёлка и ёж, café {braces} back\\slash\n"
                          "tab\there\nnext line — end\n"
                          "red plain-in-red red again\n");
}

void TestRtfReader::samples()
{
    QFETCH(QString, file);
    QFETCH(QString, expected);
    const QByteArray bytes = sample(file.toLatin1().constData());

    QCOMPARE(rtf::plainText(bytes), expected);
    QTextDocument doc;
    rtf::read(bytes, &doc);
    QCOMPARE(doc.toPlainText(), expected);

    // The same value kept in a text column (ASCII with escapes) reads the same.
    const QString column = QString::fromLatin1(bytes);
    QCOMPARE(rtf::plainText(column), expected);
    QCOMPARE(docText(column), expected);
}

void TestRtfReader::codePages_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ansicpg1251") << R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2 \'a8\'b8})"
                                 << QStringLiteral("Привет Ёё");
    QTest::newRow("fcharset204 overrides 1252")
        << R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0 Arial;}{\f1\fcharset204 Arial;}}\f0 caf\'e9 \f1 \'e4\'e0)"
        << QStringLiteral("café да");
    QTest::newRow("ANSI charset takes the document code page")
        << R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fcharset0 Arial;}}\'e4\'e0)"
        << QStringLiteral("да");
    QTest::newRow("no ansicpg means 1252") << R"({\rtf1\ansi \'e4\'e0\'80)" << QStringLiteral("äà€");
    QTest::newRow("font cpg 866") << R"({\rtf1{\fonttbl{\f2\cpg866 Terminal;}}\f2 \'8f\'e0\'a8\'a2\'a5\'e2)"
                                  << QStringLiteral("Привет");
    QTest::newRow("ansicpg1250") << R"({\rtf1\ansi\ansicpg1250 \'9a\'e8)" << QStringLiteral("šč");
    QTest::newRow("unknown code page falls back to Latin-1")
        << R"({\rtf1\ansi\ansicpg99999 \'e9)" << QStringLiteral("é");
    QTest::newRow("raw Unicode characters in the column")
        << QStringLiteral("{\\rtf1\\ansi\\ansicpg1251 Прямой текст \\'e8 ещё}")
        << QStringLiteral("Прямой текст и ещё");
}

void TestRtfReader::codePages()
{
    QFETCH(QString, rtf);
    QFETCH(QString, expected);
    QCOMPARE(rtf::plainText(rtf), expected);
    QCOMPARE(docText(rtf), expected);
}

void TestRtfReader::unicodeEscapes_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fallback skipped") << R"({\rtf1\uc1\u1055\'cf\u1088?x)" << QStringLiteral("Прx");
    QTest::newRow("space delimiter") << R"({\rtf1\u1055 ?x)" << QStringLiteral("Пx");
    QTest::newRow("uc0") << R"({\rtf1\uc0\u1055\u1088 x)" << QStringLiteral("Прx");
    QTest::newRow("uc2") << R"({\rtf1\uc2\u8470\'b9\'b9 x)" << QStringLiteral("№ x");
    QTest::newRow("uc in a group only") << R"({\rtf1{\uc2\u1055??}\u1088??)" << QStringLiteral("Пр?");
    QTest::newRow("control word counts as one") << R"({\rtf1\u1055\tab x)" << QStringLiteral("Пx");
    QTest::newRow("group end stops skipping") << R"({\rtf1\uc3{\u1055}ab)" << QStringLiteral("Пab");
    QTest::newRow("negative above 32767") << R"({\rtf1\u-255?)" << QString(QChar(0xFF01));
    QTest::newRow("surrogate pair") << R"({\rtf1\u-10179?\u-8704?)" << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("lone surrogate") << R"({\rtf1\u-10179?x)" << QString(QChar(0xFFFD)) + "x";
    QTest::newRow("out of range") << R"({\rtf1\u99999999999?x)" << QString(QChar(0xFFFD)) + "x";
    QTest::newRow("below range") << R"({\rtf1\u-99999?x)" << QString(QChar(0xFFFD)) + "x";
    QTest::newRow("control character dropped") << R"({\rtf1 a\u7?b)" << QStringLiteral("ab");
    QTest::newRow("paragraph separator ends a paragraph") << R"({\rtf1 a\u8233?b)" << QStringLiteral("a\nb");
}

void TestRtfReader::unicodeEscapes()
{
    QFETCH(QString, rtf);
    QFETCH(QString, expected);
    QCOMPARE(rtf::plainText(rtf), expected);
    QCOMPARE(docText(rtf), expected);
}

void TestRtfReader::formatting()
{
    const QString value = QStringLiteral(
        R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fnil\fcharset204 Arial;}{\f1\fmodern\fcharset204 Courier New;}})"
        R"({\colortbl ;\red255\green0\blue0;\red0\green0\blue255;})"
        R"(\pard\qc\b\fs28 Title\par)"
        R"(\pard\li720\ri360\fi-360\sb120\sa240\b0\fs24 Indented {\i italic}{\ul under}{\f1 mono}\par)"
        R"(\pard\qr{\cf1\highlight2 coloured}\par)"
        R"(\pard\qj{\plain plain}{\b\strike struck}\par)"
        R"(\pard after pard})");
    QTextDocument doc;
    rtf::read(value, &doc);

    Seen s = formatOf(doc, QStringLiteral("Title"));
    QVERIFY(s.found);
    QCOMPARE(s.block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(s.chars.fontWeight(), int(QFont::Bold));
    QCOMPARE(s.chars.fontPointSize(), 14.0);
    QCOMPARE(s.chars.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});

    s = formatOf(doc, QStringLiteral("Indented"));
    QCOMPARE(s.block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(s.block.leftMargin(), 48.0);   // 720 twips at 15 twips a pixel
    QCOMPARE(s.block.rightMargin(), 24.0);
    QCOMPARE(s.block.textIndent(), -24.0);
    QCOMPARE(s.block.topMargin(), 8.0);
    QCOMPARE(s.block.bottomMargin(), 16.0);
    QCOMPARE(s.chars.fontWeight(), int(QFont::Normal));
    QCOMPARE(s.chars.fontPointSize(), 12.0);
    QVERIFY(formatOf(doc, QStringLiteral("italic")).chars.fontItalic());
    QVERIFY(!formatOf(doc, QStringLiteral("under")).chars.fontItalic());
    QVERIFY(formatOf(doc, QStringLiteral("under")).chars.fontUnderline());
    QCOMPARE(formatOf(doc, QStringLiteral("mono")).chars.fontFamilies().toStringList(),
             QStringList{QStringLiteral("Courier New")});

    s = formatOf(doc, QStringLiteral("coloured"));
    QCOMPARE(s.block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(s.block.leftMargin(), 0.0);   // \pard reset the indents
    QCOMPARE(s.chars.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(s.chars.background().color(), QColor(0, 0, 255));

    s = formatOf(doc, QStringLiteral("plain"));
    QCOMPARE(s.block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    QCOMPARE(s.chars.fontWeight(), int(QFont::Normal));
    s = formatOf(doc, QStringLiteral("struck"));
    QVERIFY(s.chars.fontStrikeOut());
    QCOMPARE(s.chars.fontWeight(), int(QFont::Bold));

    s = formatOf(doc, QStringLiteral("after pard"));
    QCOMPARE(s.block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(s.chars.fontWeight(), int(QFont::Normal));   // \b0 still in force
}

void TestRtfReader::destinationsAndSpecials_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("stylesheet and info") << R"({\rtf1{\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}Body)"
                                         << QStringLiteral("Body");
    QTest::newRow("unknown ignorable group") << R"({\rtf1 a{\*\whatever {x} y}b)" << QStringLiteral("ab");
    QTest::newRow("star after a line end") << "{\\rtf1 a{\r\n\\*\\x y}b}" << QStringLiteral("ab");
    QTest::newRow("star only at group start") << R"({\rtf1 {a\*b}c)" << QStringLiteral("abc");
    QTest::newRow("field result shown") << R"({\rtf1{\field{\fldinst HYPERLINK "x"}{\fldrslt link}}})"
                                        << QStringLiteral("link");
    QTest::newRow("hidden text") << R"({\rtf1 a{\v hidden}b\v c\v0 d)" << QStringLiteral("abd");
    QTest::newRow("binary data") << QStringLiteral("{\\rtf1 a{\\*\\objdata \\bin4 }{}\\}b}")
                                 << QStringLiteral("ab");
    QTest::newRow("binary outside a skipped group") << QStringLiteral("{\\rtf1 a\\bin3 x{}b}")
                                                    << QStringLiteral("ab");
    QTest::newRow("table cells") << R"({\rtf1\trowd a\cell\cell b\cell\row c)" << QStringLiteral("a\t\tb\nc");
    QTest::newRow("special characters")
        << R"({\rtf1\lquote x\rquote\ldblquote\bullet\endash\emdash\_\-y)"
        << QStringLiteral("‘x’“•–—\u2011y");
    QTest::newRow("backslash newline is a paragraph") << "{\\rtf1 a\\\nb}" << QStringLiteral("a\nb");
    QTest::newRow("source line ends ignored") << "{\\rtf1 a\r\nb\n\\par c}" << QStringLiteral("ab\nc");
    QTest::newRow("raw tab") << "{\\rtf1 a\tb}" << QStringLiteral("a\tb");
    QTest::newRow("text after the document") << R"({\rtf1 a}trailing)" << QStringLiteral("a");
    QTest::newRow("page break is no paragraph") << R"({\rtf1 a\page b)" << QStringLiteral("ab");
    QTest::newRow("leading blanks") << "  \r\n{\\rtf1 x}" << QStringLiteral("x");
    QTest::newRow("urtf") << R"({\urtf1 x})" << QStringLiteral("x");
}

void TestRtfReader::destinationsAndSpecials()
{
    QFETCH(QString, rtf);
    QFETCH(QString, expected);
    QCOMPARE(rtf::plainText(rtf), expected);
    QCOMPARE(docText(rtf), expected);
}

void TestRtfReader::plainTextValues_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("blocks");
    QTest::newRow("empty") << QString() << QString() << 1;
    QTest::newRow("one line") << QStringLiteral("Заседание №3") << QStringLiteral("Заседание №3") << 1;
    QTest::newRow("markup-like text") << QStringLiteral("a \\b b {c}") << QStringLiteral("a \\b b {c}") << 1;
    QTest::newRow("rtf not at the start") << QStringLiteral("x{\\rtf1 y}") << QStringLiteral("x{\\rtf1 y}")
                                          << 1;
    QTest::newRow("CR LF, CR, LF") << QStringLiteral("a\r\nb\rc\nd") << QStringLiteral("a\nb\nc\nd") << 4;
    QTest::newRow("LF CR is two breaks") << QStringLiteral("a\n\rb") << QStringLiteral("a\n\nb") << 3;
    QTest::newRow("trailing break") << QStringLiteral("a\r\n") << QStringLiteral("a\n") << 2;
}

void TestRtfReader::plainTextValues()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QFETCH(int, blocks);
    QVERIFY(!rtf::isRtf(value));
    QCOMPARE(rtf::plainText(value), expected);
    QTextDocument doc;
    rtf::read(value, &doc);
    QCOMPARE(doc.toPlainText(), expected);
    QCOMPARE(doc.blockCount(), blocks);

    QCOMPARE(rtf::plainText(value.toUtf8()), expected);
}

void TestRtfReader::plainFiles()
{
    // A file that is not RTF: UTF-8 when valid, the Windows code page otherwise.
    QCOMPARE(rtf::plainText(QStringLiteral("Привет").toUtf8()), QStringLiteral("Привет"));
    QCOMPARE(rtf::plainText(QByteArray("\xcf\xf0\xe8")), QStringLiteral("При"));
    QTextDocument doc;
    rtf::read(QByteArray("\xef\xbb\xbf{\\rtf1 \\'e9}"), &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("é"));
    // Raw bytes inside an RTF file are in the document's code page.
    QCOMPARE(rtf::plainText(QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0\xe8}")), QStringLiteral("При"));
}

void TestRtfReader::fontNameDecoded()
{
    QTextDocument doc;
    rtf::read(QStringLiteral(R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset204 \'c0\'f0\'e8\'e0\'eb;}{\f1 A\u1041?;}}\f0 x\f1 y})"), &doc);
    QCOMPARE(formatOf(doc, QStringLiteral("x")).chars.fontFamilies().toStringList(), QStringList{QStringLiteral("Ариал")});
    QCOMPARE(formatOf(doc, QStringLiteral("y")).chars.fontFamilies().toStringList(), QStringList{QStringLiteral("AБ")});
}

void TestRtfReader::malformed_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing closing braces") << R"({\rtf1 abc{\b def)" << QStringLiteral("abcdef");
    QTest::newRow("extra closing braces") << R"({\rtf1 a}}}b)" << QStringLiteral("a");
    QTest::newRow("document closed at once") << "{\\rtf1}a}" << QString();
    QTest::newRow("truncated control word") << R"({\rtf1 abc\pa)" << QStringLiteral("abc");
    QTest::newRow("lone backslash at the end") << "{\\rtf1 abc\\" << QStringLiteral("abc");
    QTest::newRow("truncated hex byte") << R"({\rtf1 abc\'4)" << QStringLiteral("abc4");
    QTest::newRow("bad hex byte") << R"({\rtf1 a\'zzb)" << QStringLiteral("azzb");
    QTest::newRow("truncated unicode") << R"({\rtf1 a\u)" << QStringLiteral("a");
    QTest::newRow("minus without digits") << R"({\rtf1 a\fs- b)" << QStringLiteral("a- b");
    QTest::newRow("huge bin length") << R"({\rtf1 a\bin99999999999 junk)" << QStringLiteral("a");
    QTest::newRow("negative bin length") << R"({\rtf1 a\bin-5 b)" << QStringLiteral("ab");
    QTest::newRow("huge uc") << R"({\rtf1\uc99999999999\u1055 abcdefghijklmnopqrstuvwxyz)"
                             << QStringLiteral("Пqrstuvwxyz");
    QTest::newRow("very long control word") << "{\\rtf1 a\\" + QString(5000, QLatin1Char('x')) + " b}"
                                            << QStringLiteral("ab");
    QTest::newRow("NUL and control bytes") << QStringLiteral("{\\rtf1 a") + QChar(0) + QChar(1) + "b}"
                                           << QStringLiteral("ab");
    QTest::newRow("missing font and colour") << R"({\rtf1\f7\cf9\highlight-3 text)" << QStringLiteral("text");
    QTest::newRow("unterminated font table") << R"({\rtf1{\fonttbl{\f0 Arial)" << QString();
    QTest::newRow("colour table without entries") << R"({\rtf1{\colortbl}\cf1 x)" << QStringLiteral("x");
}

void TestRtfReader::malformed()
{
    QFETCH(QString, rtf);
    QFETCH(QString, expected);
    QCOMPARE(rtf::plainText(rtf), expected);
    QCOMPARE(docText(rtf), expected);
}

void TestRtfReader::hugeNumbersAreClamped()
{
    QTextDocument doc;
    rtf::read(QStringLiteral(R"({\rtf1\fs99999999999\li99999999999\fi-99999999999 big})"), &doc);
    const Seen s = formatOf(doc, QStringLiteral("big"));
    QVERIFY(s.found);
    QCOMPARE(s.chars.fontPointSize(), 1638.0);
    QCOMPARE(s.block.leftMargin(), 31680.0 / rtf::kTwipsPerPixel);
    QCOMPARE(s.block.textIndent(), -31680.0 / rtf::kTwipsPerPixel);

    rtf::read(QStringLiteral(R"({\rtf1\fs0 zero\fs-4 neg})"), &doc);
    QCOMPARE(formatOf(doc, QStringLiteral("zero")).chars.fontPointSize(), 12.0);
    QCOMPARE(formatOf(doc, QStringLiteral("neg")).chars.fontPointSize(), 12.0);
}

void TestRtfReader::deepNesting()
{
    // Far deeper than any real document: must neither exhaust memory nor
    // lose the text in and after the deep part.
    const int depth = 200000;
    const QString value = QStringLiteral("{\\rtf1 a") + QString(depth, QLatin1Char('{')) + QStringLiteral("b")
        + QString(depth, QLatin1Char('}')) + QStringLiteral("c}");
    QCOMPARE(rtf::plainText(value), QStringLiteral("abc"));
    QCOMPARE(docText(value), QStringLiteral("abc"));
}

void TestRtfReader::fuzz()
{
    // Random and damaged inputs: the readers must end and agree with each
    // other (the plain-text path and the document path read the same text).
    QRandomGenerator rng(20240314);
    const QList<QByteArray> seeds = {sample("wordpad_cp1251.rtf"), sample("word_unicode.rtf"),
                                     sample("nested_tables.rtf")};
    static const char alphabet[] = "{}\\\\\\'*;0123456789-abcdefuvlpqrst \r\n?";
    for (int round = 0; round < 1500; ++round) {
        QByteArray input;
        switch (round % 4) {
        case 0: {   // a truncated sample
            const QByteArray &s = seeds.at(rng.bounded(seeds.size()));
            input = s.left(rng.bounded(s.size() + 1));
            break;
        }
        case 1: {   // a sample with random edits
            input = seeds.at(rng.bounded(seeds.size()));
            const int edits = 1 + rng.bounded(20);
            for (int e = 0; e < edits && !input.isEmpty(); ++e) {
                const int at = rng.bounded(input.size());
                if (rng.bounded(2))
                    input[at] = alphabet[rng.bounded(int(sizeof(alphabet) - 1))];
                else
                    input.remove(at, 1 + rng.bounded(8));
            }
            break;
        }
        case 2: {   // RTF-looking noise
            input = "{\\rtf1";
            const int len = rng.bounded(400);
            for (int i = 0; i < len; ++i)
                input.append(alphabet[rng.bounded(int(sizeof(alphabet) - 1))]);
            break;
        }
        default: {   // binary junk after the RTF signature
            input = "{\\rtf1 ";
            const int len = rng.bounded(400);
            for (int i = 0; i < len; ++i)
                input.append(char(rng.bounded(256)));
            break;
        }
        }

        QTextDocument doc;
        rtf::read(input, &doc);
        const QString fromBytes = rtf::plainText(input);
        if (doc.toPlainText() != fromBytes)
            QFAIL(qPrintable(QStringLiteral("document and plain text differ for input %1")
                                 .arg(QString::fromLatin1(input.toBase64()))));

        const QString column = QString::fromLatin1(input);
        const QString fromColumn = rtf::plainText(column);
        QCOMPARE(docText(column), fromColumn);
        // Lines are the plain text's lines, less an empty last one.
        QStringList expectedLines = fromColumn.split(QLatin1Char('\n'));
        if (expectedLines.last().isEmpty())
            expectedLines.removeLast();
        QStringList lines = rtf::lines(column);
        for (QString &line : lines)
            line.replace(QChar::Nbsp, QLatin1Char(' '));
        QCOMPARE(lines, expectedLines);
        ProstoyTekst(column, round % 2 == 0);
    }
}

QTEST_MAIN(TestRtfReader)
#include "test_rtfreader.moc"
