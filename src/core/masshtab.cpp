#include "core/masshtab.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

namespace masshtab {

int pikseli(qreal punkty)
{
    // Whole pixels, never above the size the point value had at 96 dpi (11 pt is 14.67 px):
    // a box laid out around the point size then still holds the text.
    return int(std::floor(punkty * MaketDpi / 72.0 + 1e-6));
}

QFont shrift(const QString &semeystvo, int pikseley, bool zhirny)
{
    QFont f(semeystvo);
    f.setPixelSize(std::max(1, pikseley));
    f.setBold(zhirny);
    return f;
}

qreal koefficient(const QSize &ekran)
{
    if (ekran.width() <= 0 || ekran.height() <= 0)
        return 1.0;
    const qreal k = std::min(qreal(ekran.width()) / MaketShirina, qreal(ekran.height()) / MaketVysota);
    // Two decimals: Qt rounds window edges anyway, and a factor within a hair of 1 is 1.
    return std::round(k * 100.0) / 100.0;
}

QSize logicheskiy(const QSize &ekran, qreal k)
{
    if (k <= 0)
        return ekran;
    // Rounded as Qt rounds the screen's geometry at that factor.
    return QSize(qRound(ekran.width() / k), qRound(ekran.height() / k));
}

void zadat(qreal k)
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return;
    // Without this Qt multiplies in a factor of its own from the font dpi.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_SCALE_FACTOR", QByteArray::number(k, 'f', 2));
}

QSize fizicheskiyEkran(int argc, char **argv)
{
    // The probe takes Qt's own options (-platform ...) out of what it is given: hand it a copy.
    std::vector<char *> kopiya(argv, argv + argc);
    kopiya.push_back(nullptr);
    int n = argc;
    const QByteArray bylo = qgetenv("QT_ENABLE_HIGHDPI_SCALING");
    const bool bylUstanovlen = qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QSize razmer;
    {
        QGuiApplication proba(n, kopiya.data());
        if (QScreen *s = QGuiApplication::primaryScreen())
            razmer = s->geometry().size();
    }
    if (bylUstanovlen)
        qputenv("QT_ENABLE_HIGHDPI_SCALING", bylo);
    else
        qunsetenv("QT_ENABLE_HIGHDPI_SCALING");
    return razmer;
}

QFont shriftPoUmolchaniyu(const QFont &osnova)
{
    QFont f = osnova;
    if (f.pixelSize() <= 0)
        f.setPixelSize(pikseli(f.pointSizeF() > 0 ? f.pointSizeF() : 9));
    return f;
}

QPoint poCentru(const QSize &okno, const QRect &dostupno)
{
    return QPoint(dostupno.x() + (dostupno.width() - okno.width()) / 2,
                  dostupno.y() + (dostupno.height() - okno.height()) / 2);
}

void vCentr(QWidget *okno)
{
    if (!okno)
        return;
    QScreen *ekran = okno->screen();
    if (!ekran)
        ekran = QGuiApplication::primaryScreen();
    if (!ekran)
        return;
    // The frame is known only once a window manager has decorated the window.
    const QSize ramka = okno->frameGeometry().size() - okno->geometry().size();
    const QSize razmer = okno->size() + (ramka.isValid() ? ramka : QSize());
    okno->move(poCentru(razmer, ekran->availableGeometry()));
}

namespace {

class Centrovshik : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *obj, QEvent *event) override
    {
        if (event->type() != QEvent::Show || m_vnutri || !obj->isWidgetType())
            return false;
        // The window's own show handling runs first (it may resize the window), then it is
        // moved; the native window is mapped only after this event, so it appears in place.
        auto *okno = static_cast<QWidget *>(obj);
        m_vnutri = true;
        QCoreApplication::sendEvent(okno, event);
        m_vnutri = false;
        vCentr(okno);
        return true;
    }

private:
    bool m_vnutri = false;
};

}  // namespace

void vCentrPriPokaze(QWidget *okno)
{
    static const char metka[] = "masshtab_vCentr";
    if (!okno || okno->property(metka).toBool())
        return;
    okno->setProperty(metka, true);
    okno->installEventFilter(new Centrovshik(okno));
}

}  // namespace masshtab
