#include "core/stil.h"

QString StilZala::perenosy(const QString &text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if ((c == QLatin1Char('\n') && next == QLatin1Char('\r')) || (c == QLatin1Char('\r') && next == QLatin1Char('\n'))) {
            out += QLatin1Char('\n');
            ++i;
        } else if (c == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
        } else {
            out += c;
        }
    }
    return out;
}

void StilZala::drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal, bool enabled,
                            const QString &text, QPalette::ColorRole textRole) const
{
    QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, perenosy(text), textRole);
}

QRect StilZala::itemTextRect(const QFontMetrics &fm, const QRect &r, int flags, bool enabled, const QString &text) const
{
    return QProxyStyle::itemTextRect(fm, r, flags, enabled, perenosy(text));
}
