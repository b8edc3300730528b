#include "core/gerb.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Draws the shield in a 100 x 120 box; the caller scales.
void risovatShchit(QPainter &p)
{
    QPainterPath shield;
    shield.moveTo(5, 5);
    shield.lineTo(95, 5);
    shield.lineTo(95, 60);
    shield.cubicTo(95, 92, 70, 108, 50, 116);
    shield.cubicTo(30, 108, 5, 92, 5, 60);
    shield.closeSubpath();

    p.setPen(QPen(QColor(176, 141, 38), 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(30, 70, 150));
    p.drawPath(shield);

    // A white band across the shield and a golden star above it.
    p.save();
    p.setClipPath(shield);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 245));
    p.drawRect(QRectF(5, 62, 90, 18));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(5, 80, 90, 40));
    p.restore();

    QPainterPath star;
    const QPointF c(50, 34);
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? 20.0 : 8.0;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 60));
    p.drawPath(star);
    p.setPen(QPen(QColor(176, 141, 38), 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shield);
}

void risovatV(QPainter &p, const QRect &area)
{
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const double scale = std::min(area.width() / 100.0, area.height() / 120.0);
    const double w = 100 * scale;
    const double h = 120 * scale;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2);
    p.scale(scale, scale);
    risovatShchit(p);
    p.restore();
}

}  // namespace

QPixmap risovatGerb(const QSize &size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    risovatV(p, QRect(QPoint(0, 0), size));
    return pm;
}

GerbLeibl::GerbLeibl(QWidget *parent) : QLabel(parent) {}

void GerbLeibl::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter p(this);
    risovatV(p, rect());
}
