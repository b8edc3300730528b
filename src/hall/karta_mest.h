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

#include "core/kontekst.h"

#include <QHash>
#include <QObject>
#include <QVector>

class DataSet;
class TGranica;
class TLeibl;
class TMenuDeputat;

// The seat map: every seat's number and name, coloured by registration and by ballots during
// a vote, or by speaker requests otherwise; the legend above it; a click on a requesting
// seat's name gives the floor.
class TKartaMest : public QObject, public KontekstEkrana {
    Q_OBJECT
public:
    explicit TKartaMest(const KontekstEkrana &k);

    bool PostroitKartuMest();                 // seats, names, vacated seats, legend; false on failure
    bool ObnovitKartuMest(QString *oshibka);  // colouring; false with a text on failure
    // Whether vote `golosovanie` is secret (kind 1): read once per vote, since the kind never
    // changes; false when there is no such vote. False on failure with ok = false.
    bool TainoeGolosovanie(int golosovanie, bool *ok);
    void ClickFIOLabel(int mesto);

    // Controls by seat index (filled when the map is built).
    QVector<TGranica *> MestoGranica;
    QVector<TLeibl *> MestoLeibl;
    QVector<TGranica *> NomerGranica;
    QVector<TLeibl *> NomerLeibl;
    // The legend, items 1..7 by index (7 is never shown; its colour marks a pending request).
    QVector<TGranica *> Legenda;
    QVector<TLeibl *> LegendaLeibl;
    DataSet *ZaprosGolos = nullptr;          // ballots of the vote param1 by seat number
    DataSet *ZaprosProgolosovali = nullptr;  // seats that voted in vote param1, without the choice
    DataSet *ZaprosProshuSlova = nullptr;    // seat numbers with a speaker request
    TMenuDeputat *MenuDeputat = nullptr;     // the seat commands (operator console)

private:
    void sozdatZaprosy();

    QHash<int, int> m_vidGolosovania;  // vote -> kind, for votes that exist
    int m_netGolosovaniaNomer = 0;     // mode code and param1 last found to name no vote
    int m_netGolosovaniaParam1 = 0;
    bool m_netGolosovania = false;
};
