#include "rtf/rtf.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace rtf {

namespace {

struct RunProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = 24;
    int font = 0;
    int fg = 0;
    int bg = 0;
};

class Writer {
public:
    explicit Writer(const QTextDocument *doc) : m_doc(doc), m_default(doc->defaultFont())
    {
        // Font 0 is the document's default font (\deff0).
        fontIndex(familyOf(m_default));
        m_colors.append(QColor());   // entry 0: automatic colour
    }

    QString run()
    {
        for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next()) {
            writeBlock(block);
            if (block.next().isValid()) {
                word(QStringLiteral("par"));
                m_body.append(QLatin1Char('\n'));   // ends the control word too
                m_needDelimiter = false;
            }
        }
        return header() + m_body + QLatin1Char('}');
    }

private:
    static QString familyOf(const QFont &font)
    {
        const QStringList families = font.families();
        if (!families.isEmpty() && !families.first().isEmpty())
            return families.first();
        return font.family();
    }

    int fontIndex(const QString &family)
    {
        int i = m_fonts.indexOf(family);
        if (i < 0) {
            m_fonts.append(family);
            i = m_fonts.size() - 1;
        }
        return i;
    }

    int colorIndex(const QColor &c)
    {
        const QColor rgb = c.toRgb();
        for (int i = 1; i < m_colors.size(); ++i)
            if (m_colors.at(i).rgb() == rgb.rgb())
                return i;
        m_colors.append(rgb);
        return m_colors.size() - 1;
    }

    RunProps propsOf(const QTextCharFormat &f)
    {
        RunProps p;
        p.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                         : m_default.weight() >= QFont::DemiBold;
        p.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : m_default.italic();
        p.underline = (f.hasProperty(QTextFormat::FontUnderline)
                       || f.hasProperty(QTextFormat::TextUnderlineStyle))
            ? f.fontUnderline()
            : m_default.underline();
        p.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut()
                                                              : m_default.strikeOut();

        double pt = 0;
        if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
            pt = f.fontPointSize();
        else if (f.hasProperty(QTextFormat::FontPixelSize) && f.intProperty(QTextFormat::FontPixelSize) > 0)
            pt = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
        else if (m_default.pointSizeF() > 0)
            pt = m_default.pointSizeF();
        else if (m_default.pixelSize() > 0)
            pt = m_default.pixelSize() * 0.75;
        else
            pt = 12;
        p.halfPoints = qBound(2, qRound(pt * 2), 3276);

        QString family;
        const QStringList families = f.fontFamilies().toStringList();
        if (!families.isEmpty())
            family = families.first();
        p.font = family.isEmpty() ? 0 : fontIndex(family);

        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
            p.fg = colorIndex(f.foreground().color());
        if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
            p.bg = colorIndex(f.background().color());
        return p;
    }

    void word(const QString &name, int param = 0, bool withParam = false)
    {
        m_body.append(QLatin1Char('\\')).append(name);
        if (withParam)
            m_body.append(QString::number(param));
        m_needDelimiter = true;
    }

    void flag(const char *on, const char *off, bool was, bool now)
    {
        if (was != now)
            word(QLatin1String(now ? on : off));
    }

    void switchTo(const RunProps &p)
    {
        flag("b", "b0", m_written.bold, p.bold);
        flag("i", "i0", m_written.italic, p.italic);
        flag("ul", "ulnone", m_written.underline, p.underline);
        flag("strike", "strike0", m_written.strike, p.strike);
        if (m_written.font != p.font)
            word(QStringLiteral("f"), p.font, true);
        if (m_written.halfPoints != p.halfPoints)
            word(QStringLiteral("fs"), p.halfPoints, true);
        if (m_written.fg != p.fg)
            word(QStringLiteral("cf"), p.fg, true);
        if (m_written.bg != p.bg)
            word(QStringLiteral("highlight"), p.bg, true);
        m_written = p;
    }

    static int twips(qreal px) { return qRound(px * kTwipsPerPixel); }

    void writeBlock(const QTextBlock &block)
    {
        const QTextBlockFormat bf = block.blockFormat();
        word(QStringLiteral("pard"));
        const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignJustify)
            word(QStringLiteral("qj"));
        else if (align & Qt::AlignHCenter)
            word(QStringLiteral("qc"));
        else if (align & (Qt::AlignRight | Qt::AlignTrailing))
            word(QStringLiteral("qr"));
        else
            word(QStringLiteral("ql"));
        const qreal indentWidth = m_doc->indentWidth() * bf.indent();
        if (const int li = twips(bf.leftMargin() + indentWidth))
            word(QStringLiteral("li"), li, true);
        if (const int ri = twips(bf.rightMargin()))
            word(QStringLiteral("ri"), ri, true);
        if (const int fi = twips(bf.textIndent()))
            word(QStringLiteral("fi"), fi, true);
        if (const int sb = twips(bf.topMargin()))
            word(QStringLiteral("sb"), sb, true);
        if (const int sa = twips(bf.bottomMargin()))
            word(QStringLiteral("sa"), sa, true);

        bool any = false;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.text().isEmpty())
                continue;
            switchTo(propsOf(fragment.charFormat()));
            text(fragment.text());
            any = true;
        }
        // An empty paragraph keeps its size, so empty lines keep their height.
        if (!any)
            switchTo(propsOf(block.charFormat()));
    }

    void literal(QChar c)
    {
        if (m_needDelimiter)
            m_body.append(QLatin1Char(' '));
        m_body.append(c);
        m_needDelimiter = false;
    }

    void text(const QString &s)
    {
        for (QChar c : s) {
            const char16_t u = c.unicode();
            switch (u) {
            case '\\':
            case '{':
            case '}':
                m_body.append(QLatin1Char('\\')).append(c);
                m_needDelimiter = false;
                continue;
            case '\t':
                word(QStringLiteral("tab"));
                continue;
            case QChar::LineSeparator:
                word(QStringLiteral("line"));
                continue;
            case QChar::Nbsp:
                m_body.append(QLatin1String("\\~"));
                m_needDelimiter = false;
                continue;
            case QChar::ObjectReplacementCharacter:
                continue;   // images and other objects are not written
            default:
                break;
            }
            if (u < 0x20)
                continue;
            if (u < 0x80) {
                literal(c);
                continue;
            }
            // \uN takes a signed 16-bit number; '?' is the fallback for
            // readers that do not know \u.
            m_body.append(QLatin1String("\\u"))
                .append(QString::number(static_cast<qint16>(u)))
                .append(QLatin1Char('?'));
            m_needDelimiter = false;
        }
    }

    static QString escapedName(const QString &name)
    {
        QString out;
        for (QChar c : name) {
            const char16_t u = c.unicode();
            if (u == ';' || u < 0x20)
                continue;
            if (u == '\\' || u == '{' || u == '}')
                out.append(QLatin1Char('\\')).append(c);
            else if (u < 0x80)
                out.append(c);
            else
                out.append(QLatin1String("\\u"))
                    .append(QString::number(static_cast<qint16>(u)))
                    .append(QLatin1Char('?'));
        }
        return out;
    }

    QString header() const
    {
        QString h = QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl");
        for (int i = 0; i < m_fonts.size(); ++i)
            h += QStringLiteral("{\\f%1\\fnil\\fcharset204 %2;}").arg(i).arg(escapedName(m_fonts.at(i)));
        h += QStringLiteral("}\n{\\colortbl ;");
        for (int i = 1; i < m_colors.size(); ++i) {
            const QColor &c = m_colors.at(i);
            h += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(c.red()).arg(c.green()).arg(c.blue());
        }
        // A4 with 2 cm margins (1.5 cm on the right): an 80-character line
        // of 10-point Courier New fits, so printed lines break as on screen.
        h += QStringLiteral("}\n\\paperw11906\\paperh16838\\margl1134\\margr850\\margt1134\\margb1134"
                            "\n\\viewkind4\\uc1\n");
        return h;
    }

    const QTextDocument *m_doc;
    const QFont m_default;
    QStringList m_fonts;
    QVector<QColor> m_colors;
    RunProps m_written;
    QString m_body;
    bool m_needDelimiter = false;
};

} // namespace

QString write(const QTextDocument *doc)
{
    if (!doc)
        return QString();
    return Writer(doc).run();
}

QByteArray writeBytes(const QTextDocument *doc)
{
    return write(doc).toLatin1();
}

} // namespace rtf
