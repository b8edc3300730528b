#include "rtf/rtf.h"

#include "rtf/codepage.h"
#include "rtf/rtfparser_p.h"

#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>

namespace rtf {
namespace detail {

namespace {

// Deeper nesting than this is malformed; further groups share their parent's
// state instead of growing the stack without bound.
constexpr int kMaxDepth = 2048;

// Limits a number to the range the property can sensibly have.
int clampInt(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// Indents and spacing beyond 22 inches are not a real layout.
constexpr int kMaxTwips = 31680;

enum class Word {
    Unknown,
    // destinations
    FontTable, ColorTable, SkipDest,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
    // font and colour tables
    F, FCharset, Cpg, Red, Green, Blue,
    // character formatting
    B, I, Ul, UlNone, Strike, Hidden, Fs, Cf, Cb, Highlight, Plain,
    // paragraph formatting
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa,
    // breaks and special characters
    Par, Line, Tab, Cell, Row, Char
};

struct WordInfo {
    Word word = Word::Unknown;
    char16_t ch = 0;   // for Word::Char
};

const QHash<QString, WordInfo> &wordTable()
{
    static const QHash<QString, WordInfo> table = [] {
        QHash<QString, WordInfo> t;
        auto add = [&t](const char *name, Word w, char16_t ch = 0) {
            t.insert(QString::fromLatin1(name), WordInfo{w, ch});
        };
        add("fonttbl", Word::FontTable);
        add("colortbl", Word::ColorTable);
        // Groups whose content is never text of the body.
        for (const char *name :
             {"info", "pict", "stylesheet", "header", "headerl", "headerr", "headerf",
              "footer", "footerl", "footerr", "footerf", "footnote", "fldinst", "xe", "tc",
              "tcn", "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl",
              "pgdsctbl", "themedata", "colorschememapping", "latentstyles", "datastore",
              "xmlnstbl", "generator", "objdata", "objclass", "objalias", "objsect",
              "annotation", "atnid", "atnauthor", "atrfstart", "atrfend", "bkmkstart",
              "bkmkend", "pn", "pntxta", "pntxtb", "ftnsep", "ftnsepc", "ftncn", "aftnsep",
              "aftnsepc", "aftncn", "background", "private", "template", "userprops",
              "docvar", "mmathPr", "nonshppict", "shpinst", "fchars", "lchars", "author",
              "operator", "title", "subject", "keywords", "comment", "doccomm", "company",
              "category", "manager", "hlinkbase", "creatim", "revtim", "printim", "buptim",
              "falt", "panose", "fname", "wgrffmtfilter", "passwordhash"})
            add(name, Word::SkipDest);
        add("ansi", Word::Ansi);
        add("mac", Word::Mac);
        add("pc", Word::Pc);
        add("pca", Word::Pca);
        add("ansicpg", Word::AnsiCpg);
        add("deff", Word::Deff);
        add("uc", Word::Uc);
        add("u", Word::U);
        add("bin", Word::Bin);
        add("f", Word::F);
        add("fcharset", Word::FCharset);
        add("cpg", Word::Cpg);
        add("red", Word::Red);
        add("green", Word::Green);
        add("blue", Word::Blue);
        add("b", Word::B);
        add("i", Word::I);
        for (const char *name :
             {"ul", "uld", "uldb", "ulw", "ulwave", "uldash", "uldashd", "uldashdd", "ulth",
              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulhwave", "ululdbwave",
              "ulldash", "ulthldash"})
            add(name, Word::Ul);
        add("ulnone", Word::UlNone);
        add("strike", Word::Strike);
        add("striked", Word::Strike);
        add("v", Word::Hidden);
        add("fs", Word::Fs);
        add("cf", Word::Cf);
        add("cb", Word::Cb);
        add("chcbpat", Word::Cb);
        add("highlight", Word::Highlight);
        add("plain", Word::Plain);
        add("pard", Word::Pard);
        add("ql", Word::Ql);
        add("qc", Word::Qc);
        add("qr", Word::Qr);
        add("qj", Word::Qj);
        add("qd", Word::Qj);
        add("li", Word::Li);
        add("lin", Word::Li);
        add("ri", Word::Ri);
        add("rin", Word::Ri);
        add("fi", Word::Fi);
        add("sb", Word::Sb);
        add("sa", Word::Sa);
        add("par", Word::Par);
        add("sect", Word::Par);
        add("line", Word::Line);
        add("tab", Word::Tab);
        add("cell", Word::Cell);
        add("nestcell", Word::Cell);
        add("row", Word::Row);
        add("nestrow", Word::Row);
        add("emdash", Word::Char, 0x2014);
        add("endash", Word::Char, 0x2013);
        add("emspace", Word::Char, 0x2003);
        add("enspace", Word::Char, 0x2002);
        add("qmspace", Word::Char, 0x2005);
        add("bullet", Word::Char, 0x2022);
        add("lquote", Word::Char, 0x2018);
        add("rquote", Word::Char, 0x2019);
        add("ldblquote", Word::Char, 0x201C);
        add("rdblquote", Word::Char, 0x201D);
        add("zwj", Word::Char, 0x200D);
        add("zwnj", Word::Char, 0x200C);
        add("ltrmark", Word::Char, 0x200E);
        add("rtlmark", Word::Char, 0x200F);
        return t;
    }();
    return table;
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isAsciiDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= '0' && u <= '9';
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

Parser::Parser(const QString &src, bool bytesInput, Sink &sink, Tables &tables)
    : m_src(src), m_bytesInput(bytesInput), m_sink(sink), m_tables(tables)
{
}

State &Parser::cur()
{
    return m_stack.last();
}

int Parser::codePageForFont(int fontIndex) const
{
    const auto it = m_tables.fonts.constFind(fontIndex);
    if (it != m_tables.fonts.constEnd()) {
        if (it->codePage > 0)
            return it->codePage;
        if (const int cp = codePageForCharset(it->charset))
            return cp;
    }
    return m_tables.docCodePage;
}

void Parser::run()
{
    m_stack.clear();
    m_stack.append(State());   // the state outside the document's outer group
    const int n = m_src.size();
    bool started = false;
    // Blanks and a byte-order mark may stand before the document.
    m_pos = m_src.indexOf(QLatin1Char('{'));
    if (m_pos < 0)
        m_pos = n;

    while (m_pos < n) {
        const QChar c = m_src.at(m_pos);
        const char16_t u = c.unicode();

        if (u == '{') {
            flushBytes();
            ++m_pos;
            m_skip = 0;
            if (m_stack.size() > kMaxDepth) {
                ++m_overflow;
            } else {
                m_stack.append(m_stack.last());
            }
            m_groupStart = true;
            started = true;
            continue;
        }
        if (u == '}') {
            flushBytes();
            ++m_pos;
            m_skip = 0;
            m_groupStart = false;
            if (m_overflow > 0) {
                --m_overflow;
                continue;
            }
            // The document's outer group ends the document; its state stays
            // for the last paragraph, which has no \par of its own.
            if (started && m_stack.size() == 2)
                break;
            closeGroup();
            continue;
        }
        if (u == '\\') {
            ++m_pos;
            if (m_pos >= n)
                break;   // a lone backslash at the end: nothing more to read
            const QChar d = m_src.at(m_pos);
            if (isAsciiLetter(d)) {
                flushBytes();
                controlWord();
            } else if (d == QLatin1Char('\'')) {
                ++m_pos;
                hexByte();
            } else {
                flushBytes();
                ++m_pos;
                controlSymbol(d);
            }
            m_groupStart = false;
            continue;
        }

        ++m_pos;
        if (u == '\r' || u == '\n' || u == 0)
            continue;   // line ends in RTF source are not text
        m_groupStart = false;
        if (m_bytesInput && u >= 0x80) {
            byte(static_cast<char>(u));
            continue;
        }
        flushBytes();
        if (consumeSkip())
            continue;
        textChar(u);
    }

    flushBytes();
    flushRun();
    m_sink.finish(cur().para, cur().ch);
}

bool Parser::consumeSkip()
{
    if (m_skip > 0) {
        --m_skip;
        return true;
    }
    return false;
}

void Parser::closeGroup()
{
    if (m_stack.size() <= 1)
        return;   // a stray closing brace
    if (cur().dest == Dest::FontTable)
        commitFont();
    const CharProps before = cur().ch;
    m_stack.removeLast();
    if (!(before == cur().ch))
        m_charChanged = true;
}

void Parser::controlWord()
{
    const int n = m_src.size();
    const int start = m_pos;
    while (m_pos < n && isAsciiLetter(m_src.at(m_pos)))
        ++m_pos;
    const int nameLen = m_pos - start;

    bool hasParam = false;
    qint64 value = 0;
    bool negative = false;
    if (m_pos < n && m_src.at(m_pos) == QLatin1Char('-') && m_pos + 1 < n
        && isAsciiDigit(m_src.at(m_pos + 1))) {
        negative = true;
        ++m_pos;
    }
    // All digits are consumed so that none of them turns into text; the
    // value saturates instead of overflowing.
    while (m_pos < n && isAsciiDigit(m_src.at(m_pos))) {
        hasParam = true;
        if (value <= std::numeric_limits<int>::max())
            value = value * 10 + (m_src.at(m_pos).unicode() - '0');
        ++m_pos;
    }
    if (value > std::numeric_limits<int>::max())
        value = std::numeric_limits<int>::max();
    const int param = static_cast<int>(negative ? -value : value);
    if (m_pos < n && m_src.at(m_pos) == QLatin1Char(' '))
        ++m_pos;   // the delimiting space belongs to the control word

    WordInfo info;
    if (nameLen <= 32)
        info = wordTable().value(m_src.mid(start, nameLen));

    if (info.word == Word::Bin) {
        // Binary data is skipped whatever the destination.
        const int len = hasParam && param > 0 ? param : 0;
        m_pos += qMin(len, n - m_pos);
        return;
    }
    if (consumeSkip())
        return;

    State &st = cur();
    if (st.dest == Dest::Skip)
        return;
    if (info.word == Word::Unknown)
        return;
    if (info.word == Word::SkipDest) {
        st.dest = Dest::Skip;
        return;
    }

    if (st.dest == Dest::FontTable) {
        switch (info.word) {
        case Word::F:
            commitFont();
            m_fontNumber = param;
            break;
        case Word::FCharset:
            m_fontCharset = param;
            break;
        case Word::Cpg:
            m_fontCodePage = param;
            break;
        case Word::U:
            unicodeChar(param);
            break;
        case Word::Uc:
            st.uc = clampInt(param, 0, 16);
            break;
        default:
            break;
        }
        return;
    }
    if (st.dest == Dest::ColorTable) {
        switch (info.word) {
        case Word::Red:
            m_red = clampInt(param, 0, 255);
            m_colorSet = true;
            break;
        case Word::Green:
            m_green = clampInt(param, 0, 255);
            m_colorSet = true;
            break;
        case Word::Blue:
            m_blue = clampInt(param, 0, 255);
            m_colorSet = true;
            break;
        default:
            break;
        }
        return;
    }

    // Text destination.
    CharProps &ch = st.ch;
    ParaProps &pp = st.para;
    const bool on = !hasParam || param != 0;
    switch (info.word) {
    case Word::FontTable:
        st.dest = Dest::FontTable;
        m_fontNumber = -1;
        m_fontName.clear();
        break;
    case Word::ColorTable:
        st.dest = Dest::ColorTable;
        m_colorSet = false;
        m_red = m_green = m_blue = 0;
        m_tables.colors.clear();
        break;
    case Word::Ansi:
        m_tables.docCodePage = 1252;
        break;
    case Word::Mac:
        m_tables.docCodePage = 10000;
        break;
    case Word::Pc:
        m_tables.docCodePage = 437;
        break;
    case Word::Pca:
        m_tables.docCodePage = 850;
        break;
    case Word::AnsiCpg:
        if (param > 0)
            m_tables.docCodePage = param;
        break;
    case Word::Deff:
        m_tables.defaultFont = param;
        m_charChanged = true;
        break;
    case Word::Uc:
        st.uc = clampInt(param, 0, 16);
        break;
    case Word::U:
        unicodeChar(param);
        break;
    case Word::F:
        ch.font = param < 0 ? -1 : param;
        m_charChanged = true;
        break;
    case Word::B:
        ch.bold = on;
        m_charChanged = true;
        break;
    case Word::I:
        ch.italic = on;
        m_charChanged = true;
        break;
    case Word::Ul:
        ch.underline = on;
        m_charChanged = true;
        break;
    case Word::UlNone:
        ch.underline = false;
        m_charChanged = true;
        break;
    case Word::Strike:
        ch.strike = on;
        m_charChanged = true;
        break;
    case Word::Hidden:
        ch.hidden = on;
        m_charChanged = true;
        break;
    case Word::Fs:
        // Sizes are in half points; 1638 pt is the largest any editor offers.
        ch.halfPoints = (hasParam && param > 0) ? clampInt(param, 2, 3276) : 24;
        m_charChanged = true;
        break;
    case Word::Cf:
        ch.fg = param > 0 ? param : 0;
        m_charChanged = true;
        break;
    case Word::Cb:
    case Word::Highlight:
        ch.bg = param > 0 ? param : 0;
        m_charChanged = true;
        break;
    case Word::Plain:
        ch = CharProps();
        m_charChanged = true;
        break;
    case Word::Pard:
        pp = ParaProps();
        break;
    case Word::Ql:
        pp.align = Align::Left;
        break;
    case Word::Qc:
        pp.align = Align::Center;
        break;
    case Word::Qr:
        pp.align = Align::Right;
        break;
    case Word::Qj:
        pp.align = Align::Justify;
        break;
    case Word::Li:
        pp.li = clampInt(param, -kMaxTwips, kMaxTwips);
        break;
    case Word::Ri:
        pp.ri = clampInt(param, -kMaxTwips, kMaxTwips);
        break;
    case Word::Fi:
        pp.fi = clampInt(param, -kMaxTwips, kMaxTwips);
        break;
    case Word::Sb:
        pp.sb = clampInt(param, 0, kMaxTwips);
        break;
    case Word::Sa:
        pp.sa = clampInt(param, 0, kMaxTwips);
        break;
    case Word::Par:
        paragraphEnd();
        break;
    case Word::Line:
        emitCodePoint(0x2028);
        break;
    case Word::Tab:
        emitCodePoint('\t');
        break;
    case Word::Cell:
        ++m_pendingCells;
        break;
    case Word::Row:
        m_pendingCells = 0;
        paragraphEnd();
        break;
    case Word::Char:
        emitCodePoint(info.ch);
        break;
    default:
        break;
    }
}

void Parser::controlSymbol(QChar c)
{
    if (consumeSkip())
        return;
    switch (c.unicode()) {
    case '*':
        // Marks a destination that a reader may ignore; we ignore them all.
        if (m_groupStart)
            cur().dest = Dest::Skip;
        break;
    case '\\':
    case '{':
    case '}':
        textChar(c.unicode());
        break;
    case '~':
        textChar(0x00A0);
        break;
    case '_':
        textChar(0x2011);
        break;
    case '\t':
        textChar('\t');
        break;
    case '\r':
    case '\n':
        if (cur().dest == Dest::Text)
            paragraphEnd();
        break;
    default:
        break;   // \- optional hyphen, \| \: and unknown symbols show nothing
    }
}

void Parser::hexByte()
{
    const int n = m_src.size();
    int v = -1;
    if (m_pos + 1 < n) {
        const int hi = hexValue(m_src.at(m_pos));
        const int lo = hexValue(m_src.at(m_pos + 1));
        if (hi >= 0 && lo >= 0) {
            v = hi * 16 + lo;
            m_pos += 2;
        }
    }
    if (v < 0) {
        // A broken \'hh: drop it, the characters after it are read normally.
        flushBytes();
        return;
    }
    byte(static_cast<char>(v));
}

void Parser::byte(char b)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    m_bytes.append(b);
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QByteArray bytes = m_bytes;
    m_bytes.clear();
    const State &st = cur();
    int cp = m_tables.docCodePage;
    if (st.dest == Dest::FontTable) {
        if (m_fontCodePage > 0)
            cp = m_fontCodePage;
        else if (const int c = codePageForCharset(m_fontCharset))
            cp = c;
    } else if (st.dest == Dest::Text) {
        cp = codePageForFont(st.ch.font >= 0 ? st.ch.font : m_tables.defaultFont);
    } else {
        return;
    }
    const QString text = decodeCodePage(bytes, cp);
    for (QChar c : text)
        textChar(c.unicode());
}

void Parser::unicodeChar(int value)
{
    m_skip = cur().uc;
    qint64 v = value;
    if (v < 0)
        v += 65536;   // writers put code units above 32767 as negative numbers
    if (v < 0 || v > 0x10FFFF) {
        textChar(0xFFFD);
    } else if (v > 0xFFFF) {
        const char32_t cp = static_cast<char32_t>(v);
        textChar(QChar::highSurrogate(cp));
        textChar(QChar::lowSurrogate(cp));
    } else {
        textChar(static_cast<char16_t>(v));
    }
}

void Parser::textChar(char16_t u)
{
    State &st = cur();
    switch (st.dest) {
    case Dest::Skip:
        return;
    case Dest::FontTable:
        if (u == ';')
            commitFont();
        else
            m_fontName.append(QChar(u));
        return;
    case Dest::ColorTable:
        if (u == ';') {
            m_tables.colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
            m_colorSet = false;
            m_red = m_green = m_blue = 0;
        }
        return;
    case Dest::Text:
        break;
    }
    if (QChar::isHighSurrogate(u)) {
        if (m_highSurrogate)
            emitCodePoint(0xFFFD);
        m_highSurrogate = u;
        return;
    }
    if (QChar::isLowSurrogate(u)) {
        if (m_highSurrogate) {
            const char32_t cp = QChar::surrogateToUcs4(m_highSurrogate, u);
            m_highSurrogate = 0;
            emitCodePoint(cp);
        } else {
            emitCodePoint(0xFFFD);
        }
        return;
    }
    emitCodePoint(u);
}

void Parser::emitCodePoint(char32_t cp)
{
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        emitCodePoint(0xFFFD);
    }
    const State &st = cur();
    if (st.dest != Dest::Text)
        return;
    if (cp == 0x2029) {
        paragraphEnd();
        return;
    }
    // Control characters, document-structure markers and byte-order marks
    // are never text in a rich-text box.
    if ((cp < 0x20 && cp != '\t') || cp == 0x7F || cp == 0xFDD0 || cp == 0xFDD1
        || cp == 0xFFFC || cp == 0xFEFF)
        return;
    if (st.ch.hidden)
        return;
    if (m_charChanged || m_run.isEmpty()) {
        if (!m_run.isEmpty() && !(m_runProps == st.ch))
            flushRun();
        m_runProps = st.ch;
        m_charChanged = false;
    }
    // Cells of a table row read as tab-separated text.
    for (; m_pendingCells > 0; --m_pendingCells)
        m_run.append(QLatin1Char('\t'));
    if (cp > 0xFFFF) {
        m_run.append(QChar::highSurrogate(cp));
        m_run.append(QChar::lowSurrogate(cp));
    } else {
        m_run.append(QChar(static_cast<char16_t>(cp)));
    }
}

void Parser::flushRun()
{
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        emitCodePoint(0xFFFD);
    }
    if (m_run.isEmpty())
        return;
    m_sink.text(m_run, m_runProps);
    m_run.clear();
}

void Parser::paragraphEnd()
{
    flushRun();
    m_pendingCells = 0;
    m_sink.paragraphEnd(cur().para, cur().ch);
}

void Parser::commitFont()
{
    const QString name = m_fontName.trimmed();
    if (m_fontNumber >= 0 && (!name.isEmpty() || m_fontCharset >= 0 || m_fontCodePage > 0)) {
        FontEntry e;
        e.name = name;
        e.charset = m_fontCharset;
        e.codePage = m_fontCodePage;
        m_tables.fonts.insert(m_fontNumber, e);
        m_charChanged = true;
    }
    m_fontName.clear();
    m_fontNumber = -1;
    m_fontCharset = -1;
    m_fontCodePage = 0;
}

} // namespace detail

namespace {

using detail::Align;
using detail::CharProps;
using detail::ParaProps;
using detail::Tables;

// Builds the document a rich-text box would show.
class DocumentSink : public detail::Sink {
public:
    DocumentSink(QTextDocument *doc, const Tables &tables) : m_cursor(doc), m_tables(tables) {}

    void text(const QString &s, const CharProps &ch) override
    {
        m_cursor.insertText(s, format(ch));
    }

    void paragraphEnd(const ParaProps &pp, const CharProps &ch) override
    {
        m_cursor.setBlockFormat(blockFormat(pp));
        m_cursor.setBlockCharFormat(format(ch));
        m_cursor.insertBlock();
    }

    void finish(const ParaProps &pp, const CharProps &ch) override
    {
        m_cursor.setBlockFormat(blockFormat(pp));
        m_cursor.setBlockCharFormat(format(ch));
    }

private:
    QTextCharFormat format(const CharProps &ch)
    {
        if (m_haveLast && ch == m_lastProps && m_lastFontCount == m_tables.fonts.size()
            && m_lastColorCount == m_tables.colors.size())
            return m_lastFormat;
        QTextCharFormat f;
        f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(ch.italic);
        f.setFontUnderline(ch.underline);
        f.setFontStrikeOut(ch.strike);
        f.setFontPointSize(ch.halfPoints / 2.0);
        const int fontIndex = ch.font >= 0 ? ch.font : m_tables.defaultFont;
        const auto font = m_tables.fonts.constFind(fontIndex);
        if (font != m_tables.fonts.constEnd() && !font->name.isEmpty())
            f.setFontFamilies(QStringList{font->name});
        if (ch.fg > 0 && ch.fg < m_tables.colors.size() && m_tables.colors.at(ch.fg).isValid())
            f.setForeground(m_tables.colors.at(ch.fg));
        if (ch.bg > 0 && ch.bg < m_tables.colors.size() && m_tables.colors.at(ch.bg).isValid())
            f.setBackground(m_tables.colors.at(ch.bg));
        m_lastProps = ch;
        m_lastFormat = f;
        m_lastFontCount = m_tables.fonts.size();
        m_lastColorCount = m_tables.colors.size();
        m_haveLast = true;
        return f;
    }

    static QTextBlockFormat blockFormat(const ParaProps &pp)
    {
        QTextBlockFormat b;
        switch (pp.align) {
        case Align::Left: b.setAlignment(Qt::AlignLeft); break;
        case Align::Center: b.setAlignment(Qt::AlignHCenter); break;
        case Align::Right: b.setAlignment(Qt::AlignRight); break;
        case Align::Justify: b.setAlignment(Qt::AlignJustify); break;
        }
        b.setLeftMargin(pp.li / double(kTwipsPerPixel));
        b.setRightMargin(pp.ri / double(kTwipsPerPixel));
        b.setTextIndent(pp.fi / double(kTwipsPerPixel));
        b.setTopMargin(pp.sb / double(kTwipsPerPixel));
        b.setBottomMargin(pp.sa / double(kTwipsPerPixel));
        return b;
    }

    QTextCursor m_cursor;
    const Tables &m_tables;
    bool m_haveLast = false;
    CharProps m_lastProps;
    QTextCharFormat m_lastFormat;
    qsizetype m_lastFontCount = 0;
    qsizetype m_lastColorCount = 0;
};

// Collects paragraphs only, for plain text and lines.
class PlainSink : public detail::Sink {
public:
    void text(const QString &s, const CharProps &) override { m_current.append(s); }
    void paragraphEnd(const ParaProps &, const CharProps &) override
    {
        m_paragraphs.append(m_current);
        m_current.clear();
    }
    void finish(const ParaProps &, const CharProps &) override
    {
        m_paragraphs.append(m_current);
        m_current.clear();
    }
    QStringList paragraphs() const { return m_paragraphs; }

private:
    QStringList m_paragraphs;
    QString m_current;
};

bool startsAsRtf(QStringView s)
{
    int i = 0;
    if (i < s.size() && s.at(i) == QChar(0xFEFF))
        ++i;
    while (i < s.size() && (s.at(i) == QLatin1Char(' ') || s.at(i) == QLatin1Char('\t')
                            || s.at(i) == QLatin1Char('\r') || s.at(i) == QLatin1Char('\n')))
        ++i;
    const QStringView rest = s.mid(i);
    return rest.startsWith(QLatin1String("{\\rtf")) || rest.startsWith(QLatin1String("{\\urtf"));
}

QByteArray withoutUtf8Bom(const QByteArray &data)
{
    return data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data;
}

// A file that is not RTF: UTF-8 when it is valid, else the hall's Windows code page.
QString decodePlainFile(const QByteArray &data)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    return decodeCodePage(data, 1251);
}

// Paragraphs of plain text the way a rich-text box splits it: at CR LF, CR,
// LF and the paragraph separator.
QStringList plainParagraphs(const QString &text)
{
    QStringList out;
    QString current;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::ParagraphSeparator) {
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    out.append(current);
    return out;
}

QStringList rtfParagraphs(const QString &src, bool bytesInput)
{
    Tables tables;
    PlainSink sink;
    detail::Parser parser(src, bytesInput, sink, tables);
    parser.run();
    return sink.paragraphs();
}

QStringList paragraphsOf(const QString &text)
{
    return isRtf(text) ? rtfParagraphs(text, false) : plainParagraphs(text);
}

QStringList paragraphsOf(const QByteArray &data)
{
    const QByteArray body = withoutUtf8Bom(data);
    return isRtf(body) ? rtfParagraphs(QString::fromLatin1(body), true)
                       : plainParagraphs(decodePlainFile(body));
}

QString joinPlain(const QStringList &paragraphs)
{
    QString out = paragraphs.join(QLatin1Char('\n'));
    out.replace(QChar::LineSeparator, QLatin1Char('\n'));
    out.replace(QChar::Nbsp, QLatin1Char(' '));
    return out;
}

void readRtf(const QString &src, bool bytesInput, QTextDocument *doc)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    Tables tables;
    DocumentSink sink(doc, tables);
    detail::Parser parser(src, bytesInput, sink, tables);
    parser.run();
    doc->setUndoRedoEnabled(undo);
}

void readPlain(const QString &text, QTextDocument *doc)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->setPlainText(text);
    doc->setUndoRedoEnabled(undo);
}

} // namespace

bool isRtf(const QString &text)
{
    return startsAsRtf(text);
}

bool isRtf(const QByteArray &data)
{
    return startsAsRtf(QString::fromLatin1(withoutUtf8Bom(data.left(64))));
}

void read(const QString &text, QTextDocument *doc)
{
    if (!doc)
        return;
    if (isRtf(text))
        readRtf(text, false, doc);
    else
        readPlain(text, doc);
}

void read(const QByteArray &data, QTextDocument *doc)
{
    if (!doc)
        return;
    const QByteArray body = withoutUtf8Bom(data);
    if (isRtf(body))
        readRtf(QString::fromLatin1(body), true, doc);
    else
        readPlain(decodePlainFile(body), doc);
}

QString plainText(const QString &text)
{
    return joinPlain(paragraphsOf(text));
}

QString plainText(const QByteArray &data)
{
    return joinPlain(paragraphsOf(data));
}

QStringList lines(const QString &text)
{
    QStringList out;
    for (const QString &paragraph : paragraphsOf(text))
        out += paragraph.split(QChar::LineSeparator);
    // The text after the last line end is a line only when it is not empty.
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace rtf
