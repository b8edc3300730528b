#pragma once

#include "db/dataset.h"

#include <QString>

// The mode row (table regim): one row that the operator console writes and every workstation
// polls. This module holds the codes, every statement that writes the row, and the reader.
namespace rezhim {

// Mode codes in regim.nomer. A code not listed is never written; readers treat it as idle
// unless a screen says otherwise.
enum Kod : int {
    Prostoy = -1,              // idle: the agenda is shown
    Registracia = 1,           // registration running: param1 period, param2 seconds left
    Golosovanie = 2,           // vote running: param1 vote, param2 seconds left
    RezultatGolosovania = 4,   // vote results: param1 vote
    RezultatRegistracii = 5,   // registration results: param1 period
    Gimn = 10,                 // anthem
    GimnSnyat = 11,            // results or anthem taken down
    ZakrytVse = -5,            // close all terminals: param1 seconds of the command window
    VyklyuchitVse = -6,        // power off all computers: param1 as above
    PerezapustitVse = -7,      // restart all terminals: param1 as above
};

// Length of the command window of -5/-6/-7, in operator-console clock ticks.
constexpr int OknoKomandy = 10;

// True for the three remote commands (-5, -6, -7).
bool udalennayaKomanda(int kod);

// The channel a PostgreSQL server announces every write of the mode row on (the schema's
// trigger); workstations listen on it so they need not wait for the next poll.
QString kanal();  // "regim"

// The reader's statement.
QString zapros();  // "SELECT nomer,param1,param2 FROM regim"

// Writers, each returning the exact statement text. Integers are written in decimal.
QString nachatRegistraciyu(int idSessii, int sekund);   // nomer=1,param1=,param2=
QString ostalosSekund(int sekund);                       // param2= (registration and vote countdowns)
QString prostoy();                                       // nomer=-1 (registration/vote end, meeting closed, anthem)
QString prostoyAktivacia();                              // "nomer = -1" as written by item activation
QString rezultatRegistracii(int idSessii);               // nomer=5,param2=15,param1=
QString nachatGolosovanie(int idGolosovania, int sekund);  // nomer=2,param1=,param2=
QString rezultatGolosovania(int idGolosovania);          // nomer=4,param1=,param2=15
QString gimn();                                          // nomer=10
QString gimnSnyat();                                     // nomer=11
// "UPDATE regim SET nomer = <kod>, param1 = 10" for -5, -6 or -7.
QString udalennayaKomanda(Kod kod);
QString schetKomandy(int ostalos);                       // "param1 = " n: the console's countdown
QString konecKomandy();                                  // "nomer = -1": end of the command window

// The mode row query (the main window's ZaprosRegima): fields RegimNomer, RegimParam1 and
// RegimParam2 of the first row as last read. A closed or empty set reads as 0, 0, 0.
class ZaprosRegimaNabor : public DataSet {
    Q_OBJECT
public:
    explicit ZaprosRegimaNabor(DbConnection *db, QObject *parent = nullptr);

    // Closes the set when open and opens it again (the poller's way).
    bool perechitat();
    // Re-runs the statement when open, opens it otherwise (the clock's and the gate's way).
    bool obnovit();

    bool estStroka() const { return isOpen() && rowCount() > 0; }
    int RegimNomer() const;
    int RegimParam1() const;
    int RegimParam2() const;

private:
    int pole(int column) const;
};

}  // namespace rezhim
