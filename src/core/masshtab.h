#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// How the screens fit a terminal. Every screen is laid out in pixels for a 1280 x 1024 screen
// at 96 dpi. Two rules make that layout hold on any terminal:
//  - fonts are sized in pixels, never in points, so the font dpi of the machine cannot make a
//    text outgrow the box it was laid out in (a point size given for a screen is turned into
//    pixels at 96 dpi by pikseli());
//  - the whole window, geometry and fonts together, is drawn at one factor taken from the
//    screen's size (koefficient()). The factor is handed to Qt before the application object
//    exists, so the screens keep their pixel numbers and Qt draws them larger or smaller; the
//    screen size they see (Platform::screenSize) is then the design's height and a width that
//    keeps the terminal's proportions.
namespace masshtab {

constexpr int MaketShirina = 1280;
constexpr int MaketVysota = 1024;
constexpr int MaketDpi = 96;

// Pixel height of a font given in points, at the design's 96 dpi (whole pixels, rounded down).
int pikseli(qreal punkty);

// A font of the family at a pixel size (the one way screens make a font).
QFont shrift(const QString &semeystvo, int pikseley, bool zhirny = false);

// The factor of a screen of this size in device pixels: the whole design fits, proportions
// kept (the smaller of the two ratios). An empty size reads as the design's own.
qreal koefficient(const QSize &ekran);

// The screen size the windows lay themselves out in at that factor.
QSize logicheskiy(const QSize &ekran, qreal k);

// Sets the factor for the application object about to be made: the machine's dpi scaling is
// switched off and the factor set instead. Call before QApplication; does nothing when the
// environment already fixes a factor (QT_SCALE_FACTOR), so a trial can choose its own.
void zadat(qreal k);

// Reads the primary screen's size in device pixels with a short-lived application object
// (the real one must not exist yet), for zadat(koefficient(...)). argv is not changed.
QSize fizicheskiyEkran(int argc, char **argv);

// The application's default font (dialogs, grids, message boxes): the platform's default
// family at the pixel size its point size has at 96 dpi.
QFont shriftPoUmolchaniyu(const QFont &osnova);

// Where a window of this size goes to stand in the middle of the available area.
QPoint poCentru(const QSize &okno, const QRect &dostupno);

// Puts a top-level window in the middle of the available area of its screen, explicitly, so
// it is centred with or without a window manager. The window's frame is counted when it has
// one already.
void vCentr(QWidget *okno);

// The same every time the window is shown, once it has taken its size (message boxes size
// themselves on showing) and before it appears.
void vCentrPriPokaze(QWidget *okno);

}  // namespace masshtab
