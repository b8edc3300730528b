#pragma once

// Internals of the RTF reader, shared by its sinks.

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <QVector>

namespace rtf {
namespace detail {

enum class Align { Left, Center, Right, Justify };

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int halfPoints = 24;
    int font = -1;   // -1: the document's default font
    int fg = 0;      // colour table index, 0: automatic
    int bg = 0;

    bool operator==(const CharProps &o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline
            && strike == o.strike && hidden == o.hidden && halfPoints == o.halfPoints
            && font == o.font && fg == o.fg && bg == o.bg;
    }
};

// Indents and spacing in twips.
struct ParaProps {
    Align align = Align::Left;
    int li = 0;
    int ri = 0;
    int fi = 0;
    int sb = 0;
    int sa = 0;
};

enum class Dest { Text, FontTable, ColorTable, Skip };

// Everything RTF saves on '{' and restores on '}'.
struct State {
    Dest dest = Dest::Text;
    CharProps ch;
    ParaProps para;
    int uc = 1;
};

struct FontEntry {
    QString name;
    int charset = -1;
    int codePage = 0;
};

struct Tables {
    QHash<int, FontEntry> fonts;
    QVector<QColor> colors;
    int defaultFont = 0;
    int docCodePage = 1252;
};

class Sink {
public:
    virtual ~Sink() = default;
    virtual void text(const QString &s, const CharProps &ch) = 0;
    virtual void paragraphEnd(const ParaProps &pp, const CharProps &ch) = 0;
    virtual void finish(const ParaProps &pp, const CharProps &ch) = 0;
};

// One pass over the source; never fails and always ends (every step
// consumes input).
class Parser {
public:
    Parser(const QString &src, bool bytesInput, Sink &sink, Tables &tables);
    void run();

private:
    State &cur();
    int codePageForFont(int fontIndex) const;
    bool consumeSkip();
    void closeGroup();
    void controlWord();
    void controlSymbol(QChar c);
    void hexByte();
    void byte(char b);
    void flushBytes();
    void unicodeChar(int value);
    void textChar(char16_t u);
    void emitCodePoint(char32_t cp);
    void flushRun();
    void paragraphEnd();
    void commitFont();

    const QString &m_src;
    const bool m_bytesInput;
    Sink &m_sink;
    Tables &m_tables;

    int m_pos = 0;
    QVector<State> m_stack;
    int m_overflow = 0;        // groups opened beyond the depth limit
    bool m_groupStart = false; // the last token was '{'
    int m_skip = 0;            // fallback characters still to skip after \uN

    QByteArray m_bytes;        // \'hh bytes waiting to be decoded together
    char16_t m_highSurrogate = 0;

    QString m_run;             // text with one formatting, not yet given to the sink
    CharProps m_runProps;
    bool m_charChanged = true;
    int m_pendingCells = 0;

    // Font table entry being read.
    int m_fontNumber = -1;
    int m_fontCharset = -1;
    int m_fontCodePage = 0;
    QString m_fontName;

    // Colour table entry being read.
    bool m_colorSet = false;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
};

} // namespace detail
} // namespace rtf
