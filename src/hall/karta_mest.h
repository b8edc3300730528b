#pragma once

// Geometry and vacated seats of the seat map: the picture of the hall on the chairman
// terminal and the operator console.

#include <QColor>
#include <QRect>
#include <QSet>
#include <QString>

namespace kartamest {

constexpr int ChisloMest = 27;

// The four controls of one seat.
struct Mesto {
    QRect nomerLeibl;    // the seat number
    QRect nomerGranica;  // its frame, one pixel larger each side
    QRect mestoGranica;  // frame of the name field
    QRect mestoLeibl;    // the deputy's name
    bool perenos = false;  // long names wrap (front row) or stay on one line (side columns)
};

struct Raskladka {
    Mesto mesta[ChisloMest + 1];  // by seat index 1..27
    QRect legenda[7];             // legend items 1..6 at index 0..5 and their labels below
    QRect legendaLeibl[7];
};

// Places for a screen of w x h pixels with a right-hand column p pixels wide. Front row 1..3
// along the bottom edge, left column 4..15 and right column 16..27 top to bottom, the legend
// along the top.
Raskladka raskladka(int w, int h, int p);

// Seat indices listed in the "Освобожденные места" value: numbers separated by commas or
// blanks. Entries that are not seat indices 1..27 are left out.
QSet<int> osvobozhdennye(const QString &znachenie);

// Seat number text of a seat index: two digits.
QString nomerMesta(int mesto);

// Colour of legend item 1..7 (not registered, registered, for, against, abstains, asks for
// the floor, has the floor).
QColor cvetLegendy(int punkt);

}  // namespace kartamest
