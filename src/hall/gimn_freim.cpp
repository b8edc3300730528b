#include "hall/gimn_freim.h"

#include "core/cveta.h"
#include "core/gerb.h"
#include "core/tglavforma.h"
#include "core/vidzhety.h"

#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

constexpr int Shirina = 1366;
constexpr int Vysota = 768;

const QColor Zoloto(212, 175, 55);
const QColor TemnoeZoloto(150, 115, 25);

// A flag waving from its pole: bands top to bottom; `vlevo` when it flies to the left.
void risovatFlag(QPainter &p, double drevko, double verh, double dlina, double vysota, const QVector<QColor> &polosy,
                 bool vlevo)
{
    const int shagov = 80;
    auto tochka = [&](double t, double doliaVysoty) {
        // The wave grows away from the pole.
        const double amplituda = 4 + 14 * t;
        const double volna = amplituda * std::sin(t * 2.6 * M_PI - 0.6);
        const double x = drevko + (vlevo ? -1 : 1) * t * dlina;
        const double y = verh + doliaVysoty * vysota + volna + 10 * t;
        return QPointF(x, y);
    };

    QPainterPath ves;
    for (int k = 0; k < polosy.size(); ++k) {
        const double d0 = double(k) / polosy.size();
        const double d1 = double(k + 1) / polosy.size();
        QPainterPath polosa;
        polosa.moveTo(tochka(0, d0));
        for (int i = 1; i <= shagov; ++i)
            polosa.lineTo(tochka(double(i) / shagov, d0));
        for (int i = shagov; i >= 0; --i)
            polosa.lineTo(tochka(double(i) / shagov, d1));
        polosa.closeSubpath();
        p.fillPath(polosa, polosy[k]);
        ves = ves.united(polosa);
    }

    // Light and shade along the folds.
    QLinearGradient ten(tochka(0, 0), tochka(1, 0));
    for (int i = 0; i <= 20; ++i) {
        const double t = i / 20.0;
        const double s = std::cos(t * 2.6 * M_PI - 0.6);
        ten.setColorAt(t, s > 0 ? QColor(255, 255, 255, int(55 * s)) : QColor(0, 0, 40, int(-70 * s)));
    }
    p.fillPath(ves, ten);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ves);
}

void risovatDrevko(QPainter &p, double x, double verh, double niz)
{
    QLinearGradient g(x - 6, 0, x + 6, 0);
    g.setColorAt(0, TemnoeZoloto);
    g.setColorAt(0.45, QColor(245, 222, 140));
    g.setColorAt(1, TemnoeZoloto);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(x - 6, verh, 12, niz - verh), 4, 4);
    QRadialGradient shar(QPointF(x - 4, verh - 16), 18);
    shar.setColorAt(0, QColor(255, 240, 180));
    shar.setColorAt(1, TemnoeZoloto);
    p.setBrush(shar);
    p.drawEllipse(QPointF(x, verh - 12), 14, 14);
}

// One branch of the wreath: leaves along an arc, mirrored for the right side.
void risovatVetv(QPainter &p, const QPointF &centr, double radius, bool pravaya)
{
    p.save();
    p.translate(centr);
    if (pravaya)
        p.scale(-1, 1);
    QPainterPath stebel;
    const double a0 = 100 * M_PI / 180, a1 = 215 * M_PI / 180;
    for (int i = 0; i <= 40; ++i) {
        const double a = a0 + (a1 - a0) * i / 40;
        const QPointF pt(radius * std::cos(a), radius * std::sin(a));
        if (i == 0)
            stebel.moveTo(pt);
        else
            stebel.lineTo(pt);
    }
    p.setPen(QPen(TemnoeZoloto, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stebel);

    p.setPen(QPen(TemnoeZoloto, 1.2));
    for (int i = 1; i < 14; ++i) {
        const double a = a0 + (a1 - a0) * i / 14.0;
        const QPointF pt(radius * std::cos(a), radius * std::sin(a));
        const double ugol = a * 180 / M_PI + 90;
        for (int storona : {-1, 1}) {
            p.save();
            p.translate(pt);
            p.rotate(ugol + storona * 38);
            QLinearGradient g(0, -9, 0, 9);
            g.setColorAt(0, QColor(245, 215, 110));
            g.setColorAt(1, Zoloto);
            p.setBrush(g);
            p.drawEllipse(QPointF(0, -17), 8, 18);
            p.restore();
        }
    }
    p.restore();
}

}  // namespace

QImage kartinkaGimna()
{
    static const QImage gotovaya = [] {
        QImage img(Shirina, Vysota, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);

        QLinearGradient nebo(0, 0, 0, Vysota);
        nebo.setColorAt(0, QColor(10, 24, 64));
        nebo.setColorAt(0.6, QColor(26, 58, 124));
        nebo.setColorAt(1, QColor(14, 30, 70));
        p.fillRect(img.rect(), nebo);

        const QPointF centr(Shirina / 2.0, 320);
        // Rays behind the arms.
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 36; ++i) {
            const double a = i * 2 * M_PI / 36;
            const double b = a + M_PI / 72;
            QPainterPath luch;
            luch.moveTo(centr);
            luch.lineTo(centr + QPointF(1200 * std::cos(a), 1200 * std::sin(a)));
            luch.lineTo(centr + QPointF(1200 * std::cos(b), 1200 * std::sin(b)));
            luch.closeSubpath();
            p.fillPath(luch, QColor(255, 225, 140, i % 2 ? 10 : 22));
        }
        QRadialGradient siyanie(centr, 380);
        siyanie.setColorAt(0, QColor(255, 236, 170, 150));
        siyanie.setColorAt(0.5, QColor(255, 220, 130, 45));
        siyanie.setColorAt(1, QColor(255, 220, 130, 0));
        p.setBrush(siyanie);
        p.drawEllipse(centr, 380, 380);

        // The national flag on the left, the region's on the right, both towards the arms.
        risovatDrevko(p, 170, 110, 720);
        risovatFlag(p, 176, 128, 265, 200, {QColor(248, 248, 248), QColor(0, 57, 166), QColor(213, 43, 30)}, false);
        risovatDrevko(p, Shirina - 170, 110, 720);
        risovatFlag(p, Shirina - 176, 128, 265, 200, {QColor(30, 70, 150), QColor(245, 245, 245), QColor(200, 40, 40)},
                    true);

        // The wreath and the arms.
        risovatVetv(p, centr + QPointF(0, 10), 205, false);
        risovatVetv(p, centr + QPointF(0, 10), 205, true);
        const QSize gerb(280, 336);
        p.drawPixmap(QPointF(centr.x() - gerb.width() / 2.0, centr.y() - gerb.height() / 2.0), risovatGerb(gerb));

        // The ribbon with the assembly's name.
        const QRectF lenta(283, 590, 800, 70);
        QLinearGradient krasnaya(0, lenta.top(), 0, lenta.bottom());
        krasnaya.setColorAt(0, QColor(170, 25, 30));
        krasnaya.setColorAt(1, QColor(110, 10, 20));
        QPainterPath lentaPut;
        lentaPut.moveTo(lenta.topLeft() + QPointF(-40, 10));
        lentaPut.lineTo(lenta.topLeft());
        lentaPut.lineTo(lenta.topRight());
        lentaPut.lineTo(lenta.topRight() + QPointF(40, 10));
        lentaPut.lineTo(lenta.bottomRight() + QPointF(20, -25));
        lentaPut.lineTo(lenta.bottomRight() + QPointF(40, 10));
        lentaPut.lineTo(lenta.bottomRight());
        lentaPut.lineTo(lenta.bottomLeft());
        lentaPut.lineTo(lenta.bottomLeft() + QPointF(-40, 10));
        lentaPut.lineTo(lenta.bottomLeft() + QPointF(-20, -25));
        lentaPut.closeSubpath();
        p.setPen(QPen(Zoloto, 3));
        p.setBrush(krasnaya);
        p.drawPath(lentaPut);
        QFont shrift(QStringLiteral("Times New Roman"));
        shrift.setPixelSize(38);
        shrift.setBold(true);
        shrift.setLetterSpacing(QFont::AbsoluteSpacing, 3);
        p.setFont(shrift);
        p.setPen(QColor(245, 215, 110));
        p.drawText(lenta, Qt::AlignCenter, QStringLiteral("ТАЛЬМИНСКАЯ ОБЛАСТНАЯ ДУМА"));
        return img;
    }();
    return gotovaya;
}

TGimnKartinka::TGimnKartinka(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("GimnKartinka"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGimnKartinka::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), kartinkaGimna());
}

// The anthem screen: a sky blue panel with its caption, covered by the picture.
void sozdatGimnFreim(QWidget *GimnFreim)
{
    auto *panel = new QLabel(QStringLiteral("ЗДЕСЬ БУДЕТ ГИМН"), GimnFreim);
    panel->setObjectName(QStringLiteral("GimnPanel"));
    panel->setAlignment(Qt::AlignCenter);
    panel->setFont(arialPx(21, true));
    ustanovitCvet(panel, cvet::Zaregistrirovan());

    auto *kartinka = new TGimnKartinka(GimnFreim);
    auto *razmetka = new QGridLayout(GimnFreim);
    razmetka->setContentsMargins(0, 0, 0, 0);
    razmetka->addWidget(panel, 0, 0);
    razmetka->addWidget(kartinka, 0, 0);
    kartinka->raise();
}
