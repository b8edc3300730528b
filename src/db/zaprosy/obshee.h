#pragma once

// Every statement the program sends is built by one function in src/db/zaprosy/: one module
// per table or concern, each function returning the exact text that goes to the server.
// Integers are written in decimal, every text passes through sql::quote / sql::quoteLike.
// Statements of a data set keep their ":a" placeholders; the set fills them in when it opens.

#include <QString>

namespace zaprosy {

// An integer as every statement writes it: in decimal.
inline QString chislo(int v)
{
    return QString::number(v);
}

// The key of the row just inserted (meetings, agenda items and documents are read back so).
QString noviyKlyuch();  // "SELECT @@identity as id;"

// Rows kept in order by their "ord" column under a parent row (agenda items under a meeting,
// an item's voting rules): the neighbour above or below a place, and a row's new place.
QString sosedPoPoryadku(const QString &tablica, const QString &roditel, int idRoditelya, int ord, bool vyshe);
QString zadatPoryadok(const QString &tablica, int id, int ord);

}  // namespace zaprosy
