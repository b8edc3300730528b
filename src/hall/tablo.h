#pragma once

// The results board's arithmetic, apart from its labels.

#include "db/connection.h"

#include <QString>


namespace tablo {

// A vote's result as the board shows it.
struct Itog {
    int za = 0;
    int protiv = 0;
    int vosd = 0;
    int nuzno = 0;
    // False when the vote's row has no number needed at all (NULL): nothing can be decided,
    // and the board must not call such a vote adopted or rejected.
    bool nuznoIzvestno = true;
    int golosovalo() const { return za + protiv + vosd; }
    // Adopted when the "for" ballots reach the votes needed; a vote stored without a need
    // (0 or NULL) or without ballots is not adopted.
    bool prinyato() const { return nuznoIzvestno && nuzno != 0 && za >= nuzno; }
    // The board's decision line.
    QString reshenie() const;
};

// From the rows of the result statement: one row per ballot code present, with the count
// (result), the code (kak) and the vote's need (nuzno).
Itog itogGolosovania(const ResultSet &rs);

// The absent count of the registration summary: elected less present, or an empty text when
// the stored number of elected deputies is not a whole number.
QString otsutstvuet(const QString &izbrano, int prisutstvuet);


}  // namespace tablo

#include "core/kontekst.h"

#include <QObject>

class QLabel;
class TProshuSlova;

// The results board's displays: the vote's start, progress and result with the decision, and
// the registration summary. The board's frame and its idle display are the window's.
class TTablo : public QObject, public KontekstEkrana {
    Q_OBJECT
public:
    TTablo(const KontekstEkrana &k, TProshuSlova *spisok);

    void SkrytStrokiRezultatov();
    bool StrokiRezultatovVidny() const;  // the rows of a result or a summary are up
    void NachatTabloGolosovania();       // vote display start
    void OtschetGolosovania();           // vote progress
    void TabloRezultataGolosovania();    // vote result
    void TabloRezultataRegistracii();    // registration summary

    // The four result rows (caption and number) and the decision line.
    QLabel *ZaLeibl = nullptr;
    QLabel *Za = nullptr;
    QLabel *ProtivLeibl = nullptr;
    QLabel *Protiv = nullptr;
    QLabel *VosdLeibl = nullptr;
    QLabel *Vosd = nullptr;
    QLabel *GolosovLeibl = nullptr;
    QLabel *Golosov = nullptr;
    QLabel *LeiblReshenie = nullptr;
    QLabel *LeiblKvorum = nullptr;  // quorum verdict under the rows (vote result, registration summary)

private:
    TProshuSlova *m_spisok;  // the chairman's list goes while a vote runs
};
