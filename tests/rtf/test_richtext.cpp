#include "core/richtext.h"
#include "protocol/text/protocol_text.h"
#include "rtf/rtf.h"

#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

namespace {

const char *kItem = R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fcharset204 Arial;}})"
                    R"(\pard\qc\b\fs28 \'cf\'f0\'ee\'e5\'ea\'f2\par)"
                    R"(\pard\li720\b0\fs20 \'d2\'e5\'ea\'f1\'f2 {\fs40 \'ea\'f0\'f3\'ef\'ed\'ee}\par)"
                    R"(\par)"
                    R"(\'ca\'f2\'ee \'e2\'ed\'ee\'f1\'e8\'f2: \'c3\'f3\'e1\'e5\'f0\'ed\'e0\'f2\'ee\'f0})";

} // namespace

class TestRichText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadKeepsFormatting();
    void wholeTextPointSize_data();
    void wholeTextPointSize();
    void editorLoadIsNotAnEdit();
    void rtfOfEdit();
    void singleParagraphShowsEverywhere_data();
    void singleParagraphShowsEverywhere();
};

void TestRichText::loadKeepsFormatting()
{
    QTextEdit edit;
    edit.setReadOnly(true);
    edit.setPlainText(QStringLiteral("old text"));
    richtext::loadRtf(&edit, QString::fromLatin1(kItem));
    QCOMPARE(edit.toPlainText(), QStringLiteral("Проект\nТекст крупно\n\nКто вносит: Губернатор"));
    QCOMPARE(edit.toPlainText(), rtf::plainText(QString::fromLatin1(kItem)));
    QTextBlock first = edit.document()->begin();
    QCOMPARE(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(first.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    QCOMPARE(first.next().blockFormat().leftMargin(), 48.0);

    // Plain text stored in the column shows as it is.
    richtext::loadRtf(&edit, QStringLiteral("Просто текст\r\nв две строки"));
    QCOMPARE(edit.toPlainText(), QStringLiteral("Просто текст\nв две строки"));
}

void TestRichText::wholeTextPointSize_data()
{
    QTest::addColumn<qreal>("size");
    for (qreal s : {8.0, 12.0, 14.0, 18.0})
        QTest::newRow(qPrintable(QString::number(s))) << s;
}

void TestRichText::wholeTextPointSize()
{
    QFETCH(qreal, size);
    QTextEdit edit;
    richtext::loadRtf(&edit, QString::fromLatin1(kItem));
    QTextCursor selecting = edit.textCursor();
    selecting.select(QTextCursor::Document);
    edit.setTextCursor(selecting);

    richtext::setWholeTextPointSize(&edit, size);

    QVERIFY(!edit.textCursor().hasSelection());
    QCOMPARE(edit.textCursor().position(), 0);
    int fragments = 0;
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
        QCOMPARE(b.charFormat().fontPointSize(), size);   // empty lines too
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it, ++fragments)
            QCOMPARE(it.fragment().charFormat().fontPointSize(), size);
    }
    QVERIFY(fragments >= 3);
    // Other formatting stays.
    QCOMPARE(edit.document()->begin().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    // Text typed afterwards has the size too.
    QCOMPARE(edit.currentCharFormat().fontPointSize(), size);
}

void TestRichText::editorLoadIsNotAnEdit()
{
    QTextEdit edit;
    edit.setPlainText(QStringLiteral("typed before"));
    richtext::loadRtf(&edit, QString::fromLatin1(kItem), 14);
    QVERIFY(!edit.document()->isUndoAvailable());
    QVERIFY(!edit.document()->isModified());
    edit.textCursor().insertText(QStringLiteral("x"));
    QVERIFY(edit.document()->isUndoAvailable());
    QVERIFY(edit.document()->isModified());
}

// Stored texts of one paragraph have no \\par at all: the text ends with the document.
void TestRichText::singleParagraphShowsEverywhere_data()
{
    QTest::addColumn<QString>("value");
    const QString wordpad = QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}"
                                           "\\viewkind4\\uc1\\pard\\f0\\fs20 \\'cf\\'f0\\'ee\\'e5\\'ea\\'f2 "
                                           "\\'e7\\'e0\\'ea\\'ee\\'ed\\'e0");
    QTest::newRow("wordpad") << wordpad + QStringLiteral("}");
    QTest::newRow("line end after") << wordpad + QStringLiteral("}\r\n");
    QTest::newRow("line end before brace") << wordpad + QStringLiteral("\r\n}");
    QTest::newRow("in a group") << QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b\\f0 \\u1055?\\u1088?\\u1086?"
                                                  "\\u1077?\\u1082?\\u1090? \\u1079?\\u1072?\\u1082?\\u1086?\\u1085?\\u1072?}}");
    QTest::newRow("unicode, no table") << QStringLiteral("{\\rtf1 Проект закона}");
    QTest::newRow("no closing brace") << wordpad;
}

void TestRichText::singleParagraphShowsEverywhere()
{
    QFETCH(QString, value);
    const QString text = QStringLiteral("Проект закона");
    QTextEdit plain, sized;
    richtext::loadRtf(&plain, value);
    richtext::loadRtf(&sized, value, 14);
    QCOMPARE(plain.toPlainText(), text);
    QCOMPARE(sized.toPlainText(), text);
    QCOMPARE(rtf::plainText(value), text);
    QCOMPARE(rtf::lines(value), QStringList{text});
    QCOMPARE(ProstoyTekst(value, true), text);
    QCOMPARE(protocol::itemContent(value), text);
    // And it is drawn: a shown box has dark pixels of text in it.
    sized.resize(400, 120);
    sized.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sized));
    const QImage shot = sized.viewport()->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            dark += qGray(shot.pixel(x, y)) < 128;
    QVERIFY2(dark > 50, qPrintable(QString::number(dark)));
}

void TestRichText::rtfOfEdit()
{
    QTextEdit edit;
    richtext::loadRtf(&edit, QString::fromLatin1(kItem));
    QTextCursor c(edit.document());
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral(" и \"соавторы\""));
    const QString stored = richtext::rtfOf(&edit);
    QVERIFY(rtf::isRtf(stored));

    QTextEdit other;
    richtext::loadRtf(&other, stored);
    QCOMPARE(other.toPlainText(), edit.toPlainText());
    QCOMPARE(other.document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QCOMPARE(ProstoyTekst(stored, true),
             QStringLiteral("Проект Текст крупно  \"Кто вносит: Губернатор и \"\"соавторы\"\"\""));
}

QTEST_MAIN(TestRichText)
#include "test_richtext.moc"
