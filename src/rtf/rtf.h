#pragma once

// Rich text as the database stores it (RTF) and as the windows show it
// (QTextDocument).
//
// Reading follows what a rich-text box does with a stored value: a value that
// begins with "{\rtf" is interpreted as RTF, anything else is plain text and
// is taken unchanged. A damaged value never fails: whatever could be read is
// returned.
//
// Paragraph indents live in QTextBlockFormat margins, which QTextDocument
// lays out in pixels; we take those as 96-dpi pixels (15 twips each) both
// ways, so a value written and read back keeps its indents exactly.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextDocument;

namespace rtf {

constexpr int kTwipsPerPixel = 15;

// True when the value is RTF (optionally after a byte-order mark and blanks).
bool isRtf(const QString &text);
bool isRtf(const QByteArray &data);

// Replaces the content of `doc` with the value. The string form is the
// database column: ASCII with escapes, or raw Unicode characters. The byte
// form is a file: raw bytes above 127 are decoded with the document's code
// page; a file that is not RTF is taken as UTF-8 when it is valid UTF-8 and
// as Windows-1251 otherwise.
void read(const QString &text, QTextDocument *doc);
void read(const QByteArray &data, QTextDocument *doc);

// The plain text the value shows: paragraphs joined by '\n', a line break
// inside a paragraph is '\n' too, a no-break space reads as a space. Equal to
// QTextDocument::toPlainText() after read(), without building a document.
QString plainText(const QString &text);
QString plainText(const QByteArray &data);

// The lines of the value as a rich-text box lists them: the text is split at
// every paragraph end and line break, and a last line that is empty (the
// text after the final line end) is not a line. So an empty value has no
// lines, a value that is only one paragraph end has one empty line.
QStringList lines(const QString &text);

// RTF of a document: ASCII only, every other character as \uN? so the file
// opens the same anywhere; fonts, sizes, bold, italic, underline, colours,
// alignment, indents and paragraph spacing are kept.
QString write(const QTextDocument *doc);
QByteArray writeBytes(const QTextDocument *doc);

} // namespace rtf

// A stored rich-text value (agenda item text, meeting description) reduced to
// one plain line: its lines joined by a space (`spaces`) or by a carriage
// return; a line holding a double quote is quoted with inner quotes doubled;
// a single empty line gives "\"\"", no lines give an empty text.
QString ProstoyTekst(const QString &text, bool spaces);
