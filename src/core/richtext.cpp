#include "core/richtext.h"

#include "rtf/rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace richtext {

void loadRtf(QTextEdit *edit, const QString &value)
{
    if (!edit)
        return;
    QTextDocument *doc = edit->document();
    rtf::read(value, doc);
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    QTextCursor cursor(doc);
    edit->setTextCursor(cursor);
}

void setWholeTextPointSize(QTextEdit *edit, qreal pointSize)
{
    if (!edit || pointSize <= 0)
        return;
    QTextDocument *doc = edit->document();
    QTextCharFormat size;
    size.setFontPointSize(pointSize);

    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(size);
    // Empty paragraphs have no characters; their height comes from the
    // paragraph's own character format.
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QTextCursor bc(block);
        bc.mergeBlockCharFormat(size);
    }
    cursor.endEditBlock();

    cursor.movePosition(QTextCursor::Start);
    edit->setTextCursor(cursor);
    QTextCharFormat current = edit->currentCharFormat();
    current.setFontPointSize(pointSize);
    edit->setCurrentCharFormat(current);
}

void loadRtf(QTextEdit *edit, const QString &value, qreal pointSize)
{
    loadRtf(edit, value);
    setWholeTextPointSize(edit, pointSize);
    if (edit) {
        edit->document()->clearUndoRedoStacks();
        edit->document()->setModified(false);
    }
}

QString rtfOf(const QTextEdit *edit)
{
    return edit ? rtf::write(edit->document()) : QString();
}

} // namespace richtext
