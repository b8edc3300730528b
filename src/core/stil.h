#pragma once

#include <QProxyStyle>

// The program's style. The system's texts break lines with a line feed followed by a carriage
// return ("\n\r"); this style draws such a pair, and a lone carriage return, as one line
// break, so the carriage return does not show up as a blank at the start of the next line.
// The texts themselves stay as they are.
class StilZala : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal, bool enabled,
                      const QString &text, QPalette::ColorRole textRole = QPalette::NoRole) const override;
    QRect itemTextRect(const QFontMetrics &fm, const QRect &r, int flags, bool enabled,
                       const QString &text) const override;

    // The text with every "\n\r", "\r\n" and lone "\r" turned into one "\n".
    static QString perenosy(const QString &text);
};
