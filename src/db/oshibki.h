#pragma once

#include <QString>

// What the user reads when the database refuses: a Russian sentence that says what happened
// and what to do, followed by the engine's own text and number for the administrator.
namespace oshibki {

enum class Klass {
    Neizvestno,        // nothing more specific is known
    Ssylka,            // rows of another table refer to the row (547)
    Povtor,            // duplicate key
    PustoeZnachenie,   // NULL into a required column
    Ogranichenie,      // a check or trigger of the database refused the change
    Zanyata,           // busy / locked by another workstation
    TolkoChtenie,      // the database cannot be written
    DiskPoln,          // no room left
    NeBaza,            // the file is not a database
    Povrezhdena,       // the database file is damaged
    VvodVyvod,         // the disk failed to read or write
    NetFaila,          // the database file cannot be opened / does not exist
    NetTablicy,
    NetStolbca,
    NetFunkcii,
    Sintaksis,
    Preobrazovanie,    // a value could not be converted (dates, numbers)
    NeskolkoZnacheniy, // a sub-select returned several rows
    Otkaz,             // no right to do this
    Vhod,              // login or password wrong
    NetBazy,           // no such database on the server
    Otkazano,          // connection refused
    Taimaut,           // the server did not answer in time
    Razryv,            // the server closed the connection
    NetServera,        // the host name is unknown
    ServerNeGotov,     // starting up or shutting down
    NeOtkryto,         // no connection
    FailZamenen,       // the database file was removed or replaced under the connection
    Vzaimoblokirovka,  // chosen as a deadlock victim
    NetDrivera,
    NevernyAdres,
};

// Classifies an error. `embedded`: the number is the embedded engine's own result code unless
// it is one of the server numbers the connection reports for every engine (547, 229, ...).
Klass razobrat(const QString &engineText, int native, bool embedded);

// The Russian sentence and advice of a class (without the engine's part).
QString opisanie(Klass klass);

// The text shown to users: opisanie + " (" + engine text + ", " + number + ")"; the number is
// left out when it is 0. A text that is already Russian (the program's own) is kept as it is.
QString soobshenie(const QString &engineText, int native, bool embedded);

}  // namespace oshibki
