#pragma once

#include <QColor>

// Colours the hall screens compare against: the seat map's legend colours (reused by the voting
// panel, the speaker-request button and the results board) and the panels' fixed colours.
namespace cvet {

// Legend of the seat map, items 1..7.
inline QColor NeZaregistrirovan() { return QColor(255, 255, 255); }   // 1
inline QColor Zaregistrirovan() { return QColor(166, 202, 240); }     // 2, also the sky blue of panels
inline QColor Za() { return QColor(0, 255, 64); }                     // 3
inline QColor Protiv() { return QColor(255, 94, 98); }                // 4
inline QColor Vozderzhalsya() { return QColor(128, 128, 255); }       // 5
inline QColor ProshuSlova() { return QColor(255, 255, 0); }           // 6
inline QColor SlovoPredostavleno() { return QColor(182, 107, 107); }  // 7 (never shown on the map)

// A seat that has voted in a secret vote: one colour whatever the choice, so that the map
// never tells how a seat voted.
inline QColor Progolosoval() { return QColor(150, 150, 150); }

// Colour of a seat whose terminal has gone quiet (operator console only).
inline QColor Molchanie() { return QColor(255, 128, 64); }

inline QColor Serebro() { return QColor(192, 192, 192); }           // silver
inline QColor ZelenayaPovestka() { return QColor(26, 206, 39); }    // console agenda panel, bound
inline QColor Lime() { return QColor(0, 255, 0); }
inline QColor SvetloSeryi() { return QColor(218, 218, 218); }
inline QColor TemnoFioletovyi() { return QColor(64, 0, 64); }
inline QColor KnopkaRegistracii() { return QColor(0, 128, 192); }

}  // namespace cvet
