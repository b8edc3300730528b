#include "rtf/rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

struct Run {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double pointSize = 12;
    QString family = QStringLiteral("Arial");
    QColor fg;
};

struct Para {
    QList<Run> runs;
    Qt::Alignment align = Qt::AlignLeft;
    double left = 0, right = 0, indent = 0;
};

Run makeRun(const QString &text, bool bold = false, bool italic = false, bool underline = false)
{
    Run r;
    r.text = text;
    r.bold = bold;
    r.italic = italic;
    r.underline = underline;
    return r;
}

QTextCharFormat charFormat(const Run &r)
{
    QTextCharFormat f;
    f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(r.italic);
    f.setFontUnderline(r.underline);
    f.setFontPointSize(r.pointSize);
    f.setFontFamilies(QStringList{r.family});
    if (r.fg.isValid())
        f.setForeground(r.fg);
    return f;
}

void build(QTextDocument &doc, const QList<Para> &paras)
{
    QTextCursor c(&doc);
    for (int i = 0; i < paras.size(); ++i) {
        const Para &p = paras.at(i);
        QTextBlockFormat b;
        b.setAlignment(p.align);
        b.setLeftMargin(p.left);
        b.setRightMargin(p.right);
        b.setTextIndent(p.indent);
        if (i == 0)
            c.setBlockFormat(b);
        else
            c.insertBlock(b);
        for (const Run &r : p.runs)
            c.insertText(r.text, charFormat(r));
    }
}

// The text of each run with its formatting, as "text|b|i|u|size|family|colour".
QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        out << QStringLiteral("para align=%1 left=%2 right=%3 indent=%4")
                   .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(bf.leftMargin())
                   .arg(bf.rightMargin())
                   .arg(bf.textIndent());
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            out << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                       .arg(it.fragment().text())
                       .arg(f.fontWeight() >= QFont::DemiBold)
                       .arg(f.fontItalic())
                       .arg(f.fontUnderline())
                       .arg(f.fontPointSize())
                       .arg(f.fontFamilies().toStringList().value(0))
                       .arg(f.foreground().style() == Qt::NoBrush ? QString()
                                                                  : f.foreground().color().name());
        }
    }
    return out;
}

} // namespace

class TestRtfWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void outputIsPortable();
    void emptyAndEditorDocuments();
    void specialCharacters();
};

void TestRtfWriter::roundTrip()
{
    Run title = makeRun(QStringLiteral("ПРОТОКОЛ заседания № 5"), true);
    title.pointSize = 14;
    const Run plain = makeRun(QStringLiteral("Обсуждается вопрос: «О бюджете» и \"прочее\" "));
    const Run italic = makeRun(QStringLiteral("курсив"), false, true);
    Run mono = makeRun(QStringLiteral("        ЗА - 15  ПРОТИВ - 2"), false, false, true);
    mono.family = QStringLiteral("Courier New");
    mono.pointSize = 10;
    Run red = makeRun(QStringLiteral("Решение не принято"));
    red.fg = QColor(200, 0, 0);
    const Run empty = makeRun(QString());

    const QList<Para> paras = {
        {{title}, Qt::AlignHCenter},
        {{plain, italic}, Qt::AlignLeft, 48, 24, -24},   // hanging indent
        {{mono}, Qt::AlignRight, 0, 10.2, 0},
        {{empty}, Qt::AlignLeft},
        {{red}, Qt::AlignJustify, 0, 0, 30},
    };
    QTextDocument doc;
    build(doc, paras);

    const QString written = rtf::write(&doc);
    QTextDocument back;
    rtf::read(written, &back);

    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(back.blockCount(), 5);
    QCOMPARE(describe(back), describe(doc));

    // A second round gives the same RTF: nothing drifts.
    QCOMPARE(rtf::write(&back), written);
    // The file form reads the same as the column form.
    QTextDocument fromFile;
    rtf::read(rtf::writeBytes(&doc), &fromFile);
    QCOMPARE(describe(fromFile), describe(doc));
}

void TestRtfWriter::outputIsPortable()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("Пё") + QChar(0xFF01) + QString::fromUcs4(U"\U0001F600"));
    const QString written = rtf::write(&doc);

    for (QChar ch : written)
        QVERIFY2((ch.unicode() >= 0x20 && ch.unicode() < 0x7F) || ch == QLatin1Char('\n'),
                 qPrintable(QStringLiteral("non-ASCII character %1").arg(int(ch.unicode()))));
    QVERIFY(written.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0")));
    QVERIFY(written.contains(QStringLiteral("{\\fonttbl{\\f0")));
    QVERIFY(written.contains(QStringLiteral("{\\colortbl ;")));
    QVERIFY(written.trimmed().endsWith(QLatin1Char('}')));
    // Each character as a signed 16-bit \u with a fallback.
    QVERIFY(written.contains(QStringLiteral("\\u1055?\\u1105?\\u-255?\\u-10179?\\u-8704?")));
    QCOMPARE(written.count(QLatin1Char('{')), written.count(QLatin1Char('}')));
    QCOMPARE(rtf::plainText(written), doc.toPlainText());
}

void TestRtfWriter::emptyAndEditorDocuments()
{
    QTextDocument empty;
    const QString written = rtf::write(&empty);
    QVERIFY(rtf::isRtf(written));
    QVERIFY(rtf::lines(written).isEmpty());
    QCOMPARE(ProstoyTekst(written, true), QString());
    QCOMPARE(rtf::write(nullptr), QString());

    // Text typed into a box has no explicit font: the box's font is written.
    QTextDocument typed;
    typed.setDefaultFont(QFont(QStringLiteral("Courier New"), 10));
    typed.setPlainText(QStringLiteral("строка 1\nстрока 2"));
    QTextDocument back;
    rtf::read(rtf::write(&typed), &back);
    QCOMPARE(back.toPlainText(), typed.toPlainText());
    for (QTextBlock b = back.begin(); b.isValid(); b = b.next()) {
        const QTextCharFormat f = b.begin().fragment().charFormat();
        QCOMPARE(f.fontFamilies().toStringList().value(0), QStringLiteral("Courier New"));
        QCOMPARE(f.fontPointSize(), 10.0);
    }
}

void TestRtfWriter::specialCharacters()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    const QString text = QStringLiteral("a\\b{c}d\te") + QChar(QChar::LineSeparator) + QStringLiteral("f")
        + QChar(QChar::Nbsp) + QStringLiteral("g 1;2");
    c.insertText(text);
    c.insertBlock();
    c.insertText(QStringLiteral("{\\rtf1 not markup}"));
    QTextDocument back;
    rtf::read(rtf::write(&doc), &back);
    QCOMPARE(back.begin().text(), text);
    QCOMPARE(back.lastBlock().text(), QStringLiteral("{\\rtf1 not markup}"));
}

QTEST_MAIN(TestRtfWriter)
#include "test_rtfwriter.moc"
