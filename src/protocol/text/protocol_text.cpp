#include "protocol/text/protocol_text.h"

#include "db/connection.h"
#include "db/kvorum.h"
#include "db/zaprosy/protokol.h"
#include "rtf/rtf.h"

#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextLayout>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace protocol {

QString otchet1Sql()
{
    return zaprosy::protokol::golosovania();
}

QString otchet2Sql()
{
    return zaprosy::protokol::zasedanie();
}

namespace {

// Initials stay with their surname where a line breaks: a space before an initial ("Иванов И.",
// "И. И.") or after the last one ("П.П. Петров") is a no-break space.
QString bezRazryva(QString imena)
{
    static const QRegularExpression pered(QStringLiteral("(?<=\\S) (?=\\p{Lu}\\.)"), QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression posle(QStringLiteral("(?<=\\b\\p{Lu}\\.) (?=\\p{L})"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    const QString nbsp(QChar(0x00A0));
    imena.replace(pered, nbsp);
    imena.replace(posle, nbsp);
    return imena;
}

QString text(const ResultSet &rs, int row, const char *column)
{
    const QVariant v = rs.value(row, QString::fromLatin1(column));
    return v.isNull() ? QString() : v.toString();
}

QVariant val(const ResultSet &rs, int row, const char *column)
{
    return rs.value(row, QString::fromLatin1(column));
}

// An integer column as printed: NULL prints as nothing.
QString num(const QVariant &v)
{
    return v.isNull() ? QString() : QString::number(v.toLongLong());
}

const QString kEight = QString(8, QLatin1Char(' '));

// Parses a date-time as the connection returns it; false when there is none.
bool parseDateTime(const QVariant &v, QDate *date, int *hour, int *minute)
{
    if (v.isNull() || !v.isValid())
        return false;
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        *date = dt.date();
        *hour = dt.time().hour();
        *minute = dt.time().minute();
        return dt.isValid();
    }
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{1,2}))?"));
    const QRegularExpressionMatch m = re.match(v.toString());
    if (!m.hasMatch())
        return false;
    *date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    *hour = m.captured(4).isEmpty() ? 0 : m.captured(4).toInt();
    *minute = m.captured(5).isEmpty() ? 0 : m.captured(5).toInt();
    return date->isValid();
}

// Collects paragraphs in the current format; a text with line breaks becomes several
// paragraphs in that format, as appending it to the text box does.
class Writer {
public:
    Paragraph format;

    void add(const QString &line)
    {
        static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
        for (const QString &part : line.split(breaks)) {
            Paragraph p = format;
            p.text = part;
            out.append(p);
        }
    }
    void separator() { add(protocol::separator()); }

    Paragraphs out;
};

// " dd.mm.yyyy  hh:nn" of a date-time; nothing of it when the value is null.
QString dateAndTime(const QVariant &v)
{
    const QString d = formatDate(v);
    if (d.isEmpty())
        return QString();
    return d + QStringLiteral("  ") + formatTime(v);
}

// The stored quorum beside the number present, with the verdict when it is a number.
void addQuorum(Writer &w, const VoteRow &v)
{
    if (v.kvorum.trimmed().isEmpty())
        return;
    const QString verdict = kvorum::verdikt(v.kvorum, v.prisutstvuet.toInt());
    w.add(QStringLiteral("          КВОРУМ - ") + v.kvorum + (verdict.isEmpty() ? QString() : QStringLiteral(" - ") + verdict));
}

void addCounts(Writer &w, const VoteRow &v)
{
    w.add(QStringLiteral("          ВСЕГО - ") + num(v.vsego));
    w.add(QStringLiteral("          ПРИСУТСТВУЕТ - ") + num(v.prisutstvuet));
    addQuorum(w, v);
    w.add(QStringLiteral("          ГОЛОСОВАЛО - ") + num(v.golosov));
    w.add(kEight);
    w.add(QStringLiteral("        ЗА - ") + num(v.za) + QStringLiteral("  ПРОТИВ - ") + num(v.protiv)
          + QStringLiteral("  ВОЗД - ") + num(v.vosd));
    // A vote stored without the number needed decides nothing: it must not read as adopted.
    if (v.nuzno.isNull())
        w.add(QStringLiteral("        Решение не определено"));
    else if (v.za.toLongLong() >= v.nuzno.toLongLong())
        w.add(QStringLiteral("        Решение принято"));
    else
        w.add(QStringLiteral("        Решение не принято"));
    // The hash a printed minute can be checked against ("voter-sql --verify" prints it too).
    if (!v.zhurnal.isEmpty())
        w.add(QStringLiteral("        Журнал: ") + v.zhurnal);
}


void addVoteHead(Writer &w, const VoteRow &v)
{
    w.add(QStringLiteral(" ") + formatTime(v.gData) + QStringLiteral("  ") + v.vid);
    w.add(kEight + v.regimPolsov);
    w.add(kEight + v.regim);
}

}  // namespace

MeetingRow meetingFrom(const ResultSet &rs)
{
    MeetingRow m;
    if (rs.isEmpty())
        return m;
    m.opisanie = text(rs, 0, "opisanie");
    m.opisanie2 = text(rs, 0, "opisanie2");
    m.fio = text(rs, 0, "fio");
    m.fio2 = text(rs, 0, "fio2");
    m.stop = val(rs, 0, "stop");
    m.zasStart = val(rs, 0, "zas_start");
    return m;
}

QVector<VoteRow> votesFrom(const ResultSet &rs)
{
    QVector<VoteRow> votes;
    votes.reserve(rs.rowCount());
    for (int r = 0; r < rs.rowCount(); ++r) {
        VoteRow v;
        v.gData = val(rs, r, "g_data");
        v.aktivData = val(rs, r, "aktiv_data");
        v.vid = text(rs, r, "vid");
        v.povestka = text(rs, r, "povestka");
        v.regimPolsov = text(rs, r, "regim_polsov");
        v.regim = text(rs, r, "regim");
        v.vsego = val(rs, r, "vsego");
        v.prisutstvuet = val(rs, r, "prisutstvuet");
        v.golosov = val(rs, r, "golosov");
        v.za = val(rs, r, "za");
        v.protiv = val(rs, r, "protiv");
        v.vosd = val(rs, r, "vosd");
        v.nuzno = val(rs, r, "nuzno");
        v.info = text(rs, r, "info");
        v.fioZa = text(rs, r, "fio_za");
        v.fioProtiv = text(rs, r, "fio_protiv");
        v.fioVosd = text(rs, r, "fio_vosd");
        v.fioNeGolos = text(rs, r, "fio_ne_golos");
        v.vidKod = val(rs, r, "vid_kod");
        v.kvorum = text(rs, r, "kvorum");
        v.zhurnal = text(rs, r, "zhurnal");
        v.nomer = val(rs, r, "nomer");
        v.tip = val(rs, r, "tip");
        votes.append(v);
    }
    return votes;
}

QString separator()
{
    return QString(80, QLatin1Char('-'));
}

QByteArray toRtf(const QTextDocument *doc)
{
    // Word processors open an RTF without page settings with wide default margins, which
    // wraps every separator line (80 characters of 6 pt = 480 pt).
    const QPageLayout layout = stranica();
    const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
    const QMarginsF m = layout.margins(QPageLayout::Millimeter);
    auto twips = [](qreal mm) { return QByteArray::number(qRound(mm * 1440.0 / 25.4)); };
    const QByteArray page = "\\paperw" + twips(paper.width()) + "\\paperh" + twips(paper.height()) + "\\margl"
                            + twips(m.left()) + "\\margr" + twips(m.right()) + "\\margt" + twips(m.top()) + "\\margb"
                            + twips(m.bottom()) + "\n";
    QByteArray rtf = rtf::writeBytes(doc);
    // Document settings go before the first paragraph.
    int at = rtf.indexOf("\\pard");
    if (at < 0)
        at = rtf.lastIndexOf('}');
    if (at >= 0)
        rtf.insert(at, page);
    return rtf;
}

QPageLayout stranica()
{
    // A4 with 2 cm on the left and 1 cm on the right leaves 510 pt for the 480-pt lines.
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 10, 20),
                       QPageLayout::Millimeter);
}

bool napechatat(const QByteArray &rtfData, QPagedPaintDevice *device)
{
    QTextDocument doc;
    rtf::read(rtfData, &doc);
    if (!device->setPageLayout(stranica()))
        return false;
    QPainter painter;
    if (!painter.begin(device))
        return false;
    // The document's pixels are 96-dpi pixels (its indents were converted at that rate and the
    // RTF reader reads twips back the same way); the painter is scaled from them to the device.
    const qreal scale = device->logicalDpiX() / 96.0;
    const QRectF area = device->pageLayout().paintRect(QPageLayout::Inch);
    const qreal width = area.width() * 96.0;
    const qreal height = area.height() * 96.0;
    doc.setDocumentMargin(0);
    doc.setTextWidth(width);
    // Laid out to the end: the layout otherwise works lazily, as far as a view has shown.
    doc.documentLayout()->blockBoundingRect(doc.lastBlock());
    painter.scale(scale, scale);
    // Line by line: a page ends before the first line that does not fit whole, so no line is
    // cut in two or printed on two pages.
    qreal pageTop = 0;
    bool pageUsed = false;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout)
            continue;
        const QPointF origin = layout->position();
        for (int n = 0; n < layout->lineCount(); ++n) {
            const QTextLine line = layout->lineAt(n);
            const qreal top = origin.y() + line.y();
            if (pageUsed && top + line.height() - pageTop > height) {
                if (!device->newPage())
                    return false;
                pageTop = top;
            }
            line.draw(&painter, QPointF(origin.x(), origin.y() - pageTop));
            pageUsed = true;
        }
    }
    return painter.end();
}

QString formatDate(const QVariant &dateTime)
{
    QDate d;
    int h = 0, m = 0;
    if (!parseDateTime(dateTime, &d, &h, &m))
        return QString();
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString formatTime(const QVariant &dateTime)
{
    QDate d;
    int h = 0, m = 0;
    if (!parseDateTime(dateTime, &d, &h, &m))
        return QString();
    return QStringLiteral("%1:%2").arg(h, 2, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'));
}

QString itemContent(const QString &info)
{
    QString plain = rtf::plainText(info);
    const int cut = plain.indexOf(QStringLiteral("Кто вносит:"));
    if (cut >= 0)
        plain.truncate(cut);
    // A trailing paragraph end carries no text; printed it would only add an empty line.
    while (plain.endsWith(QLatin1Char('\n')) || plain.endsWith(QLatin1Char('\r')))
        plain.chop(1);
    return plain;
}

Paragraphs buildElectronic(const MeetingRow &meeting, const QVector<VoteRow> &votes, const IndentWidths &iw)
{
    Writer w;
    w.separator();
    w.add(QStringLiteral(" ") + dateAndTime(meeting.zasStart) + QStringLiteral("    ") + meeting.opisanie);
    w.add(QString(22, QLatin1Char(' ')) + QStringLiteral("Председатель: ") + meeting.fio);
    w.separator();

    for (int i = 0; i < votes.size(); ++i) {
        const VoteRow &v = votes[i];
        if (i == 0 || v.povestka != votes[i - 1].povestka) {
            w.add(QStringLiteral(" ") + formatTime(v.aktivData) + QStringLiteral("  ") + v.povestka);
            w.separator();
        }
        addVoteHead(w, v);
        addCounts(w, v);
        if (v.secret()) {
            w.separator();
            continue;
        }

        w.format.hangingIndent = iw.sixSpaces;
        w.format.rightIndent = iw.sixSpaces;
        const struct {
            const char *label;
            const QString &names;
        } lists[] = {{"        За:", v.fioZa},
                     {"        Против:", v.fioProtiv},
                     {"        Воздержались:", v.fioVosd},
                     {"        Не голосовали:", v.fioNeGolos}};
        for (int k = 0; k < 4; ++k) {
            if (k > 0)
                w.add(kEight);
            w.add(QString::fromUtf8(lists[k].label));
            w.add(kEight);
            w.add(kEight + bezRazryva(lists[k].names));
        }
        w.format.hangingIndent = 0;
        w.format.rightIndent = 0;
        w.separator();
    }

    w.add(QStringLiteral(" ") + dateAndTime(meeting.stop) + QStringLiteral("    ") + meeting.opisanie2);
    w.separator();
    return w.out;
}

Paragraphs buildEdited(const MeetingRow &meeting, const QVector<VoteRow> &votes, const IndentWidths &iw)
{
    Writer w;
    w.format.centred = true;
    w.format.bold = true;
    w.add(formatDate(meeting.zasStart));
    w.add(formatTime(meeting.zasStart));
    // The description without the appended " объявляется открытым".
    QString title = meeting.opisanie;
    const int marker = title.lastIndexOf(QStringLiteral("объявляется открытым"));
    if (marker >= 0)
        title.truncate(qMax(0, marker - 1));
    w.add(title);
    w.add(QString());
    w.add(QStringLiteral("Председатель: ") + meeting.fio);
    w.format.bold = false;
    w.add(QString());
    w.format.centred = false;
    w.separator();

    for (int i = 0; i < votes.size(); ++i) {
        const VoteRow &v = votes[i];
        if (i == 0 || v.povestka != votes[i - 1].povestka) {
            QString heading = v.povestka;
            if (v.nomer.toLongLong() != 0) {
                heading.replace(QStringLiteral("Обсуждается"),
                                v.tip.toLongLong() == 0 ? QStringLiteral("Обсуждается Основные вопросы,")
                                                        : QStringLiteral("Обсуждается Дополнительные вопросы,"));
            }
            w.add(QStringLiteral(" ") + formatTime(v.aktivData) + QStringLiteral("  ") + heading);
            w.format.hangingIndent = iw.twoSpaces;
            w.format.rightIndent = iw.sixSpaces;
            w.add(kEight + itemContent(v.info));
            w.format.hangingIndent = 0;
            w.format.rightIndent = 0;
            w.separator();
        }
        addVoteHead(w, v);
        addCounts(w, v);
        w.separator();
    }

    QString closing = meeting.opisanie2;
    closing.replace(QStringLiteral("объявляется закрытым"), QStringLiteral("закрыто"));
    w.add(QStringLiteral(" ") + dateAndTime(meeting.stop) + QStringLiteral("  ") + closing);
    for (int i = 0; i < 6; ++i)
        w.add(QString());
    w.format.bold = true;
    w.add(QStringLiteral("Председатель"));
    w.add(QStringLiteral("Тальминской областной Думы") + QString(32, QLatin1Char(' ')) + bezRazryva(meeting.fio2));
    return w.out;
}

QString plainText(const Paragraphs &paragraphs)
{
    QStringList lines;
    lines.reserve(paragraphs.size());
    for (const Paragraph &p : paragraphs)
        lines << p.text;
    return lines.join(QLatin1Char('\n'));
}

void fillDocument(QTextDocument *doc, const Paragraphs &paragraphs, const QFont &font, double pixelsPerPoint)
{
    doc->clear();
    doc->setDefaultFont(font);
    QTextCursor cursor(doc);
    for (int i = 0; i < paragraphs.size(); ++i) {
        const Paragraph &p = paragraphs[i];
        QTextBlockFormat block;
        block.setAlignment(p.centred ? Qt::AlignHCenter : Qt::AlignLeft);
        block.setLeftMargin(p.hangingIndent * pixelsPerPoint);
        block.setTextIndent(-p.hangingIndent * pixelsPerPoint);
        block.setRightMargin(p.rightIndent * pixelsPerPoint);
        QTextCharFormat chars;
        chars.setFont(font);
        chars.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        if (i == 0) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(chars);
        } else {
            cursor.insertBlock(block, chars);
        }
        cursor.insertText(p.text, chars);
    }
}

}  // namespace protocol
