#include "viewer/strelka.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// One arrow pointing up in a box of width w and height h, at (x, y).
QPainterPath strelkaVverh(qreal x, qreal y, qreal w, qreal h)
{
    const qreal golova = h * 0.55;       // height of the head
    const qreal stvol = w * 0.36;        // width of the shaft
    QPainterPath path;
    path.moveTo(x + w / 2, y);
    path.lineTo(x + w, y + golova);
    path.lineTo(x + (w + stvol) / 2, y + golova);
    path.lineTo(x + (w + stvol) / 2, y + h);
    path.lineTo(x + (w - stvol) / 2, y + h);
    path.lineTo(x + (w - stvol) / 2, y + golova);
    path.lineTo(x, y + golova);
    path.closeSubpath();
    return path;
}

// Two chevrons pointing up, one above the other, with a bar on top: "to the previous page".
QPainterPath dvoinayaVverh(qreal x, qreal y, qreal w, qreal h)
{
    const qreal planka = h * 0.12;
    const qreal zazor = h * 0.06;
    const qreal shevron = (h - planka - 2 * zazor) / 2;
    QPainterPath path;
    path.addRect(x, y, w, planka);
    for (int i = 0; i < 2; ++i) {
        const qreal top = y + planka + zazor + i * (shevron + zazor / 2);
        const qreal t = shevron * 0.45;  // thickness of the chevron
        QPainterPath s;
        s.moveTo(x + w / 2, top);
        s.lineTo(x + w, top + shevron - t);
        s.lineTo(x + w, top + shevron);
        s.lineTo(x + w / 2, top + t);
        s.lineTo(x, top + shevron);
        s.lineTo(x, top + shevron - t);
        s.closeSubpath();
        path.addPath(s);
    }
    return path;
}

}  // namespace

void risovatStrelku(QPainter *p, const QRectF &oblast, VidStrelki vid, const QColor &cvet)
{
    if (oblast.width() <= 0 || oblast.height() <= 0)
        return;
    // A 4 : 5 box (width : height) as large as fits in 70 % of the area.
    const qreal mesto = 0.7;
    qreal h = oblast.height() * mesto;
    qreal w = h * 0.8;
    if (w > oblast.width() * mesto) {
        w = oblast.width() * mesto;
        h = w / 0.8;
    }
    const qreal x = oblast.center().x() - w / 2;
    const qreal y = oblast.center().y() - h / 2;

    const bool vverh = vid == VidStrelki::Verh || vid == VidStrelki::StranicaVerh;
    QPainterPath path = (vid == VidStrelki::Verh || vid == VidStrelki::Vnis) ? strelkaVverh(x, y, w, h)
                                                                               : dvoinayaVverh(x, y, w, h);
    if (!vverh) {
        // Mirror about the box's horizontal middle.
        QTransform t;
        t.translate(0, 2 * (y + h / 2));
        t.scale(1, -1);
        path = t.map(path);
    }
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(Qt::NoPen);
    p->setBrush(cvet);
    p->drawPath(path.simplified());
    p->restore();
}

QIcon ikonkaStrelki(VidStrelki vid, int razmer, const QColor &cvet)
{
    QPixmap pm(razmer, razmer);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    risovatStrelku(&p, QRectF(0, 0, razmer, razmer), vid, cvet);
    p.end();
    QIcon icon(pm);
    QPixmap seraya(razmer, razmer);
    seraya.fill(Qt::transparent);
    QPainter g(&seraya);
    risovatStrelku(&g, QRectF(0, 0, razmer, razmer), vid, QColor(150, 150, 150));
    g.end();
    icon.addPixmap(seraya, QIcon::Disabled);
    return icon;
}

TStrelka::TStrelka(VidStrelki vid, QWidget *parent) : QWidget(parent), m_vid(vid)
{
    connect(new Nazhatie(this), &Nazhatie::clicked, this, &TStrelka::clicked);
}

void TStrelka::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    risovatStrelku(&p, QRectF(rect()), m_vid, isEnabled() ? QColor(0, 64, 0) : QColor(96, 140, 96));
}
