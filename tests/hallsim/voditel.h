#pragma once

// The hall driver: plays the operator console and the deputies' presses on a real hall
// database with the statements the console and the terminals send, so that real workstation
// processes can be run through a meeting without anybody touching their screens.

#include "db/connection.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace hallsim {

struct Mesto {
    QString nomer;  // "01".."27"
    int idMesto = 0;
    int idDeputata = 0;
    bool predsedatel = false;
};

class Voditel {
public:
    // Opens its own connection (the console's login by default).
    bool otkryt(const ConnectionParams &params);
    QString oshibka() const;  // the first pending error's text
    DbConnection db;

    // ---- The console's part --------------------------------------------------------------
    // Opens the meeting: start stamped, its first item active, speaker requests cleared.
    bool otkrytZasedanie(int idZasedania);
    // Makes an item active and takes the hall back to the agenda.
    bool aktivirovatVopros(int idPovestki);
    // A new registration period with the chairman present; mode 1. The period, or -1.
    int nachatRegistraciyu(int sekund);
    bool ostalos(int sekund);                 // param2 countdown (registration and vote)
    bool zakonchitRegistraciyu(int period);   // -1, then 5
    // The golosovanie row for the active item under decision rule 1..7; mode 2. The vote, or -1.
    int nachatGolosovanie(int pravilo, int sekund);
    // Time up (-1 first) or ended by the operator; then 4 and the speaker requests cleared.
    bool zakonchitGolosovanie(int idGolosovania, bool vremyaVyshlo);
    bool pokazatVopros();                     // "ПОКАЗАТЬ ВОПРОС" / "Открыть повестку": -1
    bool gimn(bool vklyuchit);                // 10 / 11
    bool komanda(int kod);                    // -5, -6, -7 with the ten-second window
    bool zakrytZasedanie();

    // ---- The deputies' presses -------------------------------------------------------------
    bool zaregistrirovat(int idDeputata);                    // in the current period
    bool progolosovat(int idDeputata, int kod);              // 0 withdraws; 1..3 casts
    bool poprositSlova(const Mesto &m);

    // ---- What the database holds -------------------------------------------------------------
    bool prochitatMesta();            // the seated deputies, by seat
    QVector<Mesto> mesta;
    int idZasedania = 0;
    int idPovestki = 0;
    int period = -1;
    int golosovanie = -1;
    int nuzno = 0;
    // Every ballot the driver left standing: vote -> deputy -> code. The database must agree.
    QHash<int, QHash<int, int>> byulleteni;
    // Every presence record the driver wrote: period -> deputies.
    QHash<int, QVector<int>> registracii;
    qint64 statements() const { return db.statementCount(); }

    // Vote counts for / against / abstain as the console counts them.
    bool podschet(int idGolosovania, int *za, int *protiv, int *vozd);
    QVector<int> vopros(int idZasedania);  // the meeting's items in agenda order
    int rezhim(int *param1 = nullptr, int *param2 = nullptr);

    // When the driver last began a write of the mode row (ms since the epoch): a workstation
    // told by the server's announcement may act on it before the driver's call returns.
    qint64 rezhimZapisan = 0;

    // When set, every statement the driver sends as the console or a terminal is listed here.
    QStringList *zhurnal = nullptr;

private:
    bool vyp(const QString &sql);
    bool zapros(const QString &sql, ResultSet *rs);
    QVariant skalyar(const QString &sql, bool *ok = nullptr);
};

}  // namespace hallsim
