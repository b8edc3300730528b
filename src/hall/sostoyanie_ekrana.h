#pragma once

#include "core/kontekst.h"

#include <QString>

class TKartaMest;
class TTablo;

// What a workstation's screen shows, as "key=value" lines for its status file: plain facts
// read off the widgets, so an observer can check the screen against the database without
// seeing it.
QString opisanieEkrana(const KontekstEkrana &k, const TTablo &tablo, const TKartaMest &karta);
