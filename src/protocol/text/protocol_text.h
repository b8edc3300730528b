#pragma once

// The protocol (minutes) of a closed meeting as formatted paragraphs, built from the rows of
// the two protocol queries. Pure functions: no window, no database, so the layouts can be
// checked line by line; the window only runs the queries and shows the paragraphs.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

class QFont;
class QPageLayout;
class QPagedPaintDevice;
class QTextDocument;
struct ResultSet;

namespace protocol {

// The vote list of a meeting (parameter :a = meeting id), oldest vote first: the statement
// module's zaprosy::protokol::golosovania, under the name the print helpers use.
QString otchet1Sql();
// The meeting itself with its chairman and opening time (parameter :a = meeting id):
// zaprosy::protokol::zasedanie.
QString otchet2Sql();

// One row of the meeting query. Date-times are kept as the connection returns them
// (text "yyyy-MM-dd hh:mm:ss.zzz", or null).
struct MeetingRow {
    QString opisanie;   // "<description> объявляется открытым"
    QString opisanie2;  // "<description> объявляется закрытым"
    QString fio;        // chairman, full name
    QString fio2;       // chairman, initials and surname
    QVariant stop;
    QVariant zasStart;  // start of the meeting's first registration period
};

// One row of the vote list query.
struct VoteRow {
    QVariant gData;      // time of the vote
    QVariant aktivData;  // when the item was last made active
    QString vid;         // kind of vote + item description
    QString povestka;    // "Обсуждается " + item description
    QString regimPolsov;
    QString regim;
    QVariant vsego, prisutstvuet, golosov, za, protiv, vosd, nuzno;
    QString info;        // item content, stored rich text
    QString fioZa, fioProtiv, fioVosd, fioNeGolos;
    QVariant nomer, tip;
    QVariant vidKod;     // kind of vote: 0 open, 1 secret, 2 roll-call
    QString kvorum;      // the "Кворум" constant as stored
    QString zhurnal;     // head hash of the vote in the journal

    // A secret vote prints no names in either layout.
    bool secret() const { return vidKod.toLongLong() == 1; }
};

// Reads the rows of the two queries by column name; a missing row or a NULL value becomes
// an empty text (NULL dates stay null and print as nothing).
MeetingRow meetingFrom(const ResultSet &rs);
QVector<VoteRow> votesFrom(const ResultSet &rs);

// One paragraph of the protocol. Indents are in points: with a hanging indent the first
// line starts at the margin and the following lines this far in.
struct Paragraph {
    QString text;
    bool bold = false;
    bool centred = false;
    double hangingIndent = 0;
    double rightIndent = 0;

    bool operator==(const Paragraph &o) const
    {
        return text == o.text && bold == o.bold && centred == o.centred && hangingIndent == o.hangingIndent
               && rightIndent == o.rightIndent;
    }
};
using Paragraphs = QVector<Paragraph>;

// Indent widths: the width of two and of six spaces of the protocol's monospaced font,
// measured in pixels on the window and applied as points (the layout has always been set
// that way; the saved files depend on it).
struct IndentWidths {
    double twoSpaces = 0;
    double sixSpaces = 0;
};

// The electronic layout: every vote with its counts and the names by answer.
Paragraphs buildElectronic(const MeetingRow &meeting, const QVector<VoteRow> &votes, const IndentWidths &w);
// The edited layout: centred bold header, item contents, no names, signature lines.
Paragraphs buildEdited(const MeetingRow &meeting, const QVector<VoteRow> &votes, const IndentWidths &w);

// The lines of the paragraphs joined by '\n' (what the text box holds as plain text).
QString plainText(const Paragraphs &paragraphs);

// Replaces the content of `doc` with the paragraphs in `font` (bold where asked), with the
// indents converted from points to the document's pixels at `pixelsPerPoint`.
void fillDocument(QTextDocument *doc, const Paragraphs &paragraphs, const QFont &font, double pixelsPerPoint);

// The RTF file of the protocol: the document as the RTF writer gives it, on A4 with narrow
// side margins so that the 80-character lines fit a printed line.
QByteArray toRtf(const QTextDocument *doc);

// The page of the protocol: A4 portrait, margins of 2 cm (1 cm on the right), as in its RTF.
QPageLayout stranica();

// Prints (or writes as PDF) the protocol's RTF on `device` with that page: the document the
// file opens as, read back by the RTF reader, so paper, PDF and file show the same text.
// False when the device could not be painted on.
bool napechatat(const QByteArray &rtfData, QPagedPaintDevice *device);

// Formats used in the text: "dd.mm.yyyy" and "hh:nn"; a null or unreadable value gives "".
QString formatDate(const QVariant &dateTime);
QString formatTime(const QVariant &dateTime);

// The content of an agenda item as the edited layout prints it: the stored rich text read as
// plain text, cut before the first "Кто вносит:", without trailing line breaks.
QString itemContent(const QString &info);

// The separator line: 80 hyphens.
QString separator();

}  // namespace protocol
