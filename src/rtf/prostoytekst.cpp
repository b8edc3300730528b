#include "rtf/rtf.h"

// The lines come from rtf::lines(), which counts them the way a rich-text
// box does: "" and an RTF value without text have no lines and give "";
// "{\rtf1 \par}" (one paragraph end) or a plain "\r\n" is one empty line and
// gives two double quotes; "{\rtf1 a\par}" is the single line "a" because
// the empty text after the last paragraph end is not a line.
QString ProstoyTekst(const QString &text, bool spaces)
{
    const QStringList lines = rtf::lines(text);
    if (lines.isEmpty())
        return QString();
    if (lines.size() == 1 && lines.first().isEmpty())
        return QStringLiteral("\"\"");

    QStringList out;
    out.reserve(lines.size());
    for (const QString &line : lines) {
        if (line.contains(QLatin1Char('"'))) {
            QString quoted = line;
            quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
            out.append(QLatin1Char('"') + quoted + QLatin1Char('"'));
        } else {
            out.append(line);
        }
    }
    return out.join(spaces ? QChar(QLatin1Char(' ')) : QChar(13));
}
