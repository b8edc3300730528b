#include "db/zhurnal.h"

#include "db/connection.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <functional>

namespace zhurnal {

QString pole(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("\\N");
    QString s = value.toString();
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('|'), QLatin1String("\\|"));
    return s;
}

QVector<QVariant> polya(const QString &zapis)
{
    QVector<QVariant> out;
    QString cur;
    bool escaped = false, nul = false;
    auto finish = [&] {
        out.append(nul ? QVariant() : QVariant(cur));
        cur.clear();
        nul = false;
    };
    for (int i = 0; i < zapis.size(); ++i) {
        const QChar c = zapis[i];
        if (escaped) {
            if (c == QLatin1Char('N') && cur.isEmpty() && (i + 1 == zapis.size() || zapis[i + 1] == QLatin1Char('|')))
                nul = true;
            else
                cur += c;
            escaped = false;
        } else if (c == QLatin1Char('\\')) {
            escaped = true;
        } else if (c == QLatin1Char('|')) {
            finish();
        } else {
            cur += c;
        }
    }
    finish();
    return out;
}

QString hash(const QString &predydushii, const QString &zapis)
{
    return QString::fromLatin1(
        QCryptographicHash::hash((predydushii + zapis).toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString golovaSql(const QString &golosovanie)
{
    return QStringLiteral("(SELECT hash FROM zhurnal WHERE id = (SELECT MAX(id) FROM zhurnal WHERE id_golosovanie = %1))")
        .arg(golosovanie);
}

namespace {

using Stroka = QVector<QString>;  // a row as its canonical fields

// A journalled table: the columns of its canonical text, in order.
struct Tablica {
    const char *imya;
    QStringList kolonki;
    QString klyuch;  // empty: rows are compared as a multiset of whole rows
    QString golos;   // the column naming the row's vote; empty when it has none
};

const Tablica kOtvet{"otvet", {"id", "id_deputat", "id_povestka", "result", "id_golosovanie"}, "id", "id_golosovanie"};
const Tablica kGolosovanie{"golosovanie",
                           {"id", "data", "regim", "tip", "vid", "isbrano", "prisutstvuet", "regim_polsov", "nuzno",
                            "zak", "id_povestka", "id_sessia"},
                           "id",
                           "id"};
const Tablica kPeriod{"sessia_start", {"id", "id_zasedanie", "start"}, "id", QString()};
const Tablica kSessia{"sessia", {"id_deputat", "id_sessia", "id_zasedanie"}, QString(), QString()};

// ---- The embedded engine's journal, written out from the tables above ----
//
// Vote journal: every ballot, vote (its start and its result), registration period and
// presence record is appended here by the triggers written below, in the statement (and so the
// transaction) that wrote the row, without a round trip of its own. The rows form a chain:
//   hash = sha256(hash of the previous row, '' for the first || zapis)
// as lower-case hex of SHA-256 over UTF-8. zapis is the canonical text of the event:
//   <table>|<event>|<field>|<field>...
// with each field as zhurnal_pole gives it (NULL as \N, otherwise the value as text with
// \ written \\ and | written \|). Events: I inserted, U changed (the new row), D deleted (the
// old row), R a vote's result when the hall is switched to it (for, against, abstained,
// ballots), C a registration period closed (id, stop), O a closed period opened again (id).
// Fields of the rows: otvet id, id_deputat, id_povestka, result, id_golosovanie;
// golosovanie id, data, regim, tip, vid, isbrano, prisutstvuet, regim_polsov, nuzno, zak,
// id_povestka, id_sessia; sessia_start id, id_zasedanie, start (stop is overwritten for every
// period at each new registration, so only its closing is journalled); sessia id_deputat,
// id_sessia, id_zasedanie (no key: a change is journalled as D of the old row, I of the new).
// "voter-sql --verify" walks the chain and compares it with the live tables. S is a row
// recorded as it stood when the journal was added to a database that had none.

// "'<table>|<event>' || '|' || zhurnal_pole(<row>.<column>) ..." for the given columns.
QString tekstSql(const QString &nachalo, const QString &ryad, const QStringList &kolonki)
{
    QString out = QLatin1Char('\'') + nachalo + QLatin1Char('\'');
    for (const QString &k : kolonki)
        out += QStringLiteral(" || '|' || zhurnal_pole(%1.%2)").arg(ryad, k);
    return out;
}

QString zapisSql(const Tablica &t, const QString &deistvie, const QString &ryad)
{
    return tekstSql(QLatin1String(t.imya) + QLatin1Char('|') + deistvie, ryad, t.kolonki);
}

// A vote's result as the hall showed it: for, against, abstained, ballots.
QString itogSql(const QString &golos)
{
    QString out = QStringLiteral("'golosovanie|R|' || zhurnal_pole(%1)").arg(golos);
    for (const char *uslovie : {" AND result = 1", " AND result = 2", " AND result = 3", ""})
        out += QStringLiteral(" || '|' || (SELECT count(*) FROM otvet WHERE id_golosovanie = %1%2)")
                   .arg(golos, QLatin1String(uslovie));
    return out;
}

// Appends one event; the chain's previous hash is read in the same statement, so the event
// is written in the transaction of the change without a round trip. `otkuda` is the FROM
// part when the row is read from a table rather than a trigger's NEW/OLD.
QString vstavkaSql(const QString &tablica, const QString &deistvie, const QString &klyuch, const QString &golos,
                   const QString &zapis, const QString &otkuda = QString())
{
    return QStringLiteral("INSERT INTO zhurnal (tablica, deistvie, id_zapisi, id_golosovanie, zapis, hash)\n"
                          "SELECT '%1', '%2', t.k, t.g, t.zapis, "
                          "sha256(ifnull((SELECT hash FROM zhurnal ORDER BY id DESC LIMIT 1), '') || t.zapis)\n"
                          "FROM (SELECT %3 AS k, %4 AS g, %5 AS zapis%6) t;\n")
        .arg(tablica, deistvie, klyuch, golos, zapis, otkuda.isEmpty() ? QString() : QLatin1Char(' ') + otkuda);
}

QString vstavkaSql(const Tablica &t, const QString &deistvie, const QString &ryad, const QString &otkuda = QString())
{
    auto kolonka = [&](const QString &k) { return k.isEmpty() ? QStringLiteral("NULL") : ryad + QLatin1Char('.') + k; };
    return vstavkaSql(QLatin1String(t.imya), deistvie, kolonka(t.klyuch), kolonka(t.golos), zapisSql(t, deistvie, ryad),
                      otkuda);
}

QString triggerSql(const QString &imya, const QString &sobytie, const char *tablica, const QString &kogda,
                   const QString &telo)
{
    return QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3\n%4BEGIN\n%5END;\n\n")
        .arg(imya, sobytie, QLatin1String(tablica), kogda.isEmpty() ? QString() : QStringLiteral("WHEN ") + kogda + QLatin1Char('\n'),
             telo);
}

const char kTablicaSqlite[] =
    "CREATE TABLE zhurnal (\n"
    "    id              INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "    tablica         TEXT NOT NULL,\n"
    "    deistvie        TEXT NOT NULL,\n"
    "    id_zapisi       INTEGER,\n"
    "    id_golosovanie  INTEGER,\n"
    "    zapis           TEXT NOT NULL,\n"
    "    hash            TEXT NOT NULL\n"
    ");\n"
    "CREATE INDEX zhurnal_golosovanie ON zhurnal (id_golosovanie, id);\n\n";

Stroka kanon(const QVector<QVariant> &v, int from, int n)
{
    Stroka s;
    for (int i = from; i < from + n; ++i)
        s.append(pole(v.value(i)));
    return s;
}

QString pokaz(const QString &kanonicheskoe)
{
    const QVariant v = polya(kanonicheskoe).value(0);
    return v.isNull() ? QStringLiteral("NULL") : v.toString();
}

QString razlichiya(const Tablica &t, const Stroka &bylo, const Stroka &stalo)
{
    QStringList out;
    for (int i = 0; i < t.kolonki.size(); ++i)
        if (bylo.value(i) != stalo.value(i))
            out << QStringLiteral("%1 %2 -> %3").arg(t.kolonki[i], pokaz(bylo.value(i)), pokaz(stalo.value(i)));
    return out.join(QStringLiteral(", "));
}

struct Nahodka {
    int zasedanie;  // -1 when it cannot be placed in a meeting
    QString tekst;
};

class Proverschik {
public:
    Proverschik(DbConnection &db, Proverka *out) : m_db(db), m_out(out) {}

    bool run(int zasedanie, QString *oshibka)
    {
        ResultSet j;
        if (!m_db.query(QStringLiteral("SELECT id,tablica,deistvie,id_zapisi,id_golosovanie,zapis,hash FROM zhurnal "
                                       "ORDER BY id"),
                        &j)) {
            *oshibka = QStringLiteral("The vote journal cannot be read: %1").arg(m_db.firstErrorText());
            return false;
        }
        QHash<QString, ResultSet> live;
        for (const Tablica *t : {&kOtvet, &kGolosovanie, &kPeriod, &kSessia}) {
            ResultSet rs;
            const QString cols = t == &kPeriod ? t->kolonki.join(QLatin1Char(',')) + QStringLiteral(",stop")
                                               : t->kolonki.join(QLatin1Char(','));
            if (!m_db.query(QStringLiteral("SELECT %1 FROM %2").arg(cols, QLatin1String(t->imya)), &rs)) {
                *oshibka = QStringLiteral("The table %1 cannot be read: %2")
                               .arg(QLatin1String(t->imya), m_db.firstErrorText());
                return false;
            }
            live.insert(QLatin1String(t->imya), rs);
        }
        m_out->zapisei = j.rowCount();
        replay(j);
        sravnit(live);

        for (const Nahodka &n : m_nahodki)
            if (zasedanie <= 0 || n.zasedanie < 0 || n.zasedanie == zasedanie)
                m_out->nahodki << n.tekst;
        for (auto it = m_golovy.cbegin(); it != m_golovy.cend(); ++it) {
            const int z = zasedanieGolosovania(it.key());
            if (zasedanie <= 0 || z == zasedanie) {
                m_out->golovy.insert(it.key(), it.value());
                m_out->zasedanieGolosovania.insert(it.key(), z);
            }
        }
        return true;
    }

private:
    void nahodka(int zasedanie, const QString &tekst) { m_nahodki.append({zasedanie, tekst}); }

    int zasedaniePerioda(qint64 period) const
    {
        auto it = m_zhPeriod.constFind(period);
        if (it != m_zhPeriod.constEnd())
            return it->value(1).toInt();
        auto l = m_livePeriod.constFind(period);
        return l != m_livePeriod.constEnd() ? l->value(1).toInt() : -1;
    }
    int zasedanieGolosovania(qint64 golos) const
    {
        Stroka g = m_zhGolos.value(golos);
        if (g.isEmpty())
            g = m_liveGolos.value(golos);
        if (g.isEmpty())
            g = m_udalenGolos.value(golos);
        return g.isEmpty() ? -1 : zasedaniePerioda(g.value(11).toLongLong());
    }
    QString byulleten(const Stroka &o) const
    {
        return QStringLiteral("ballot %1 (vote %2, deputy %3)").arg(pokaz(o.value(0)), pokaz(o.value(4)), pokaz(o.value(1)));
    }

    void replay(const ResultSet &j)
    {
        QString pred;
        for (int r = 0; r < j.rowCount(); ++r) {
            const int nomer = j.value(r, 0).toInt();
            const QString tablica = j.value(r, 1).toString();
            const QString deistvie = j.value(r, 2).toString();
            const QVariant idZapisi = j.value(r, 3);
            const QVariant idGolos = j.value(r, 4);
            const QString zapis = j.value(r, 5).toString();
            const QString stored = j.value(r, 6).toString();
            if (hash(pred, zapis) != stored)
                nahodka(-1, QStringLiteral("journal entry %1: the chain is broken there (the entry, or one before it, "
                                           "was altered or removed)")
                                .arg(nomer));
            pred = stored;
            if (!idGolos.isNull())
                m_golovy.insert(idGolos.toInt(), stored);

            const QVector<QVariant> f = polya(zapis);
            if (f.size() < 2 || f[0].toString() != tablica || f[1].toString() != deistvie) {
                nahodka(-1, QStringLiteral("journal entry %1: its columns do not match its hashed text").arg(nomer));
                continue;
            }
            if (tablica == QLatin1String("zhurnal")) {
                if (deistvie == QLatin1String("S") && m_out->nachalo.isEmpty())
                    m_out->nachalo = f.value(2).toString();
                continue;
            }
            // A row recorded as it stood when the journal was added counts as inserted then.
            if (deistvie == QLatin1String("S"))
                ++m_out->nachalnyh;
            const QString deistvieStroki = deistvie == QLatin1String("S") ? QStringLiteral("I") : deistvie;
            const QString kak = tablica + QLatin1Char('|') + deistvie;
            const QString zapisNomer = QStringLiteral(" (journal entry %1)").arg(nomer);
            auto klyuchVeren = [&](int pos) {
                if (idZapisi.isNull() || pole(idZapisi) != pole(f.value(pos))) {
                    nahodka(-1, QStringLiteral("journal entry %1: its columns do not match its hashed text").arg(nomer));
                    return false;
                }
                return true;
            };

            if (tablica == QLatin1String("otvet")) {
                const Stroka o = kanon(f, 2, kOtvet.kolonki.size());
                if (!klyuchVeren(2))
                    continue;
                const qint64 id = f.value(2).toLongLong();
                const bool zakryto = m_zakryty.contains(f.value(6).toLongLong());
                const int z = zasedanieGolosovania(f.value(6).toLongLong());
                if (deistvieStroki == QLatin1String("I")) {
                    if (zakryto)
                        nahodka(z, byulleten(o) + QStringLiteral(": inserted after the vote was closed") + zapisNomer);
                    m_zhOtvet.insert(id, o);
                } else if (deistvieStroki == QLatin1String("U")) {
                    const Stroka bylo = m_zhOtvet.value(id);
                    nahodka(z, byulleten(o) + QStringLiteral(": changed")
                                   + (zakryto ? QStringLiteral(" after the vote was closed") : QString())
                                   + (bylo.isEmpty() ? QString() : QStringLiteral(": ") + razlichiya(kOtvet, bylo, o))
                                   + zapisNomer);
                    m_zhOtvet.insert(id, o);
                } else if (deistvieStroki == QLatin1String("D")) {
                    if (zakryto)
                        nahodka(z, byulleten(o) + QStringLiteral(": deleted after the vote was closed") + zapisNomer);
                    m_zhOtvet.remove(id);
                }
            } else if (kak == QLatin1String("golosovanie|R")) {
                if (klyuchVeren(2))
                    m_zakryty.insert(f.value(2).toLongLong());
            } else if (tablica == QLatin1String("golosovanie")) {
                const Stroka g = kanon(f, 2, kGolosovanie.kolonki.size());
                if (!klyuchVeren(2))
                    continue;
                const qint64 id = f.value(2).toLongLong();
                if (m_zakryty.contains(id) && deistvieStroki != QLatin1String("I"))
                    nahodka(zasedanieGolosovania(id),
                            QStringLiteral("vote %1: %2 after it was closed")
                                    .arg(id)
                                    .arg(deistvieStroki == QLatin1String("D") ? QStringLiteral("deleted")
                                                                        : QStringLiteral("changed: ")
                                                                              + razlichiya(kGolosovanie, m_zhGolos.value(id), g))
                                + zapisNomer);
                if (deistvieStroki == QLatin1String("D")) {
                    m_udalenGolos.insert(id, g);
                    m_zhGolos.remove(id);
                } else {
                    m_zhGolos.insert(id, g);
                }
            } else if (tablica == QLatin1String("sessia_start")) {
                if (!klyuchVeren(2))
                    continue;
                const qint64 id = f.value(2).toLongLong();
                if (deistvieStroki == QLatin1String("I") || deistvieStroki == QLatin1String("U")) {
                    m_zhPeriod.insert(id, kanon(f, 2, kPeriod.kolonki.size()));
                } else if (deistvieStroki == QLatin1String("D")) {
                    m_zhPeriod.remove(id);
                    m_zhZakryt.remove(id);
                } else if (deistvieStroki == QLatin1String("C")) {
                    m_zhZakryt.insert(id);
                } else if (deistvieStroki == QLatin1String("O")) {
                    m_zhZakryt.remove(id);
                }
            } else if (tablica == QLatin1String("sessia")) {
                const Stroka s = kanon(f, 2, kSessia.kolonki.size());
                if (deistvieStroki == QLatin1String("I"))
                    m_zhSessia[s] += 1;
                else if (deistvieStroki == QLatin1String("D") && --m_zhSessia[s] <= 0)
                    m_zhSessia.remove(s);
            }
        }
    }

    template <typename Imya>
    void sravnitPoKlyuchu(const Tablica &t, const QMap<qint64, Stroka> &zh, const QMap<qint64, Stroka> &zhivye,
                          Imya imya, std::function<int(const Stroka &)> zasedanie)
    {
        for (auto it = zhivye.cbegin(); it != zhivye.cend(); ++it) {
            auto z = zh.constFind(it.key());
            if (z == zh.constEnd())
                nahodka(zasedanie(*it), imya(*it) + QStringLiteral(": inserted outside the journal"));
            else if (*z != *it)
                nahodka(zasedanie(*it), imya(*it) + QStringLiteral(": changed outside the journal: ")
                                            + razlichiya(t, *z, *it));
        }
        for (auto it = zh.cbegin(); it != zh.cend(); ++it)
            if (!zhivye.contains(it.key()))
                nahodka(zasedanie(*it), imya(*it) + QStringLiteral(": deleted outside the journal"));
    }

    static QMap<qint64, Stroka> poKlyuchu(const ResultSet &rs, int n)
    {
        QMap<qint64, Stroka> out;
        for (const auto &row : rs.rows)
            out.insert(row.value(0).toLongLong(), kanon(row, 0, n));
        return out;
    }

    void sravnit(const QHash<QString, ResultSet> &live)
    {
        const ResultSet &periody = live.value(QStringLiteral("sessia_start"));
        m_livePeriod = poKlyuchu(periody, kPeriod.kolonki.size());
        m_liveGolos = poKlyuchu(live.value(QStringLiteral("golosovanie")), kGolosovanie.kolonki.size());
        const QMap<qint64, Stroka> otvety = poKlyuchu(live.value(QStringLiteral("otvet")), kOtvet.kolonki.size());

        sravnitPoKlyuchu(
            kOtvet, m_zhOtvet, otvety, [this](const Stroka &o) { return byulleten(o); },
            [this](const Stroka &o) { return zasedanieGolosovania(o.value(4).toLongLong()); });
        sravnitPoKlyuchu(
            kGolosovanie, m_zhGolos, m_liveGolos, [](const Stroka &g) { return QStringLiteral("vote ") + pokaz(g.value(0)); },
            [this](const Stroka &g) { return zasedaniePerioda(g.value(11).toLongLong()); });
        sravnitPoKlyuchu(
            kPeriod, m_zhPeriod, m_livePeriod,
            [](const Stroka &p) { return QStringLiteral("registration period ") + pokaz(p.value(0)); },
            [](const Stroka &p) { return p.value(1).toInt(); });
        // Closing: the stop time itself is rewritten by every registration, whether it is set is not.
        for (const auto &row : periody.rows) {
            const qint64 id = row.value(0).toLongLong();
            if (!m_zhPeriod.contains(id))
                continue;
            const bool zakryt = !row.value(3).isNull();
            if (zakryt != m_zhZakryt.contains(id))
                nahodka(row.value(1).toInt(),
                        QStringLiteral("registration period %1: %2 outside the journal")
                            .arg(id)
                            .arg(zakryt ? QStringLiteral("closed") : QStringLiteral("opened again")));
        }

        QMap<Stroka, int> sessia;
        for (const auto &row : live.value(QStringLiteral("sessia")).rows)
            sessia[kanon(row, 0, kSessia.kolonki.size())] += 1;
        auto opisat = [](const Stroka &s) {
            return QStringLiteral("presence record (deputy %1, period %2, meeting %3)")
                .arg(pokaz(s.value(0)), pokaz(s.value(1)), pokaz(s.value(2)));
        };
        for (auto it = sessia.cbegin(); it != sessia.cend(); ++it) {
            const int bylo = m_zhSessia.value(it.key());
            if (it.value() > bylo)
                nahodka(it.key().value(2).toInt(), opisat(it.key()) + QStringLiteral(": inserted outside the journal"));
        }
        for (auto it = m_zhSessia.cbegin(); it != m_zhSessia.cend(); ++it)
            if (sessia.value(it.key()) < it.value())
                nahodka(it.key().value(2).toInt(), opisat(it.key()) + QStringLiteral(": deleted outside the journal"));
    }

    DbConnection &m_db;
    Proverka *m_out;
    QVector<Nahodka> m_nahodki;
    QMap<int, QString> m_golovy;
    QSet<qint64> m_zakryty;
    QMap<qint64, Stroka> m_zhOtvet, m_zhGolos, m_udalenGolos, m_zhPeriod, m_livePeriod, m_liveGolos;
    QSet<qint64> m_zhZakryt;
    QMap<Stroka, int> m_zhSessia;
};

}  // namespace

bool proverit(DbConnection &db, int zasedanie, Proverka *out, QString *oshibka)
{
    *out = Proverka();
    return Proverschik(db, out).run(zasedanie, oshibka);
}

QString sxemaSqlite()
{
    QString out = QLatin1String(kTablicaSqlite);
    // Ballots and votes: every insert, change (the new row) and delete (the old row).
    for (const Tablica *t : {&kOtvet, &kGolosovanie}) {
        const QString imya = QLatin1String(t->imya) + QStringLiteral("_zhurnal_");
        out += triggerSql(imya + QLatin1Char('i'), QStringLiteral("INSERT"), t->imya, QString(),
                          vstavkaSql(*t, QStringLiteral("I"), QStringLiteral("NEW")));
        out += triggerSql(imya + QLatin1Char('u'), QStringLiteral("UPDATE"), t->imya, QString(),
                          vstavkaSql(*t, QStringLiteral("U"), QStringLiteral("NEW")));
        out += triggerSql(imya + QLatin1Char('d'), QStringLiteral("DELETE"), t->imya, QString(),
                          vstavkaSql(*t, QStringLiteral("D"), QStringLiteral("OLD")));
    }
    // A vote's result: when the mode row switches the hall to it.
    out += triggerSql(QStringLiteral("regim_zhurnal_itog"), QStringLiteral("UPDATE OF nomer, param1"), "regim",
                      QStringLiteral("NEW.nomer = 4 AND (OLD.nomer IS NOT 4 OR OLD.param1 IS NOT NEW.param1)\n"
                                     "     AND EXISTS (SELECT 1 FROM golosovanie WHERE id = NEW.param1)"),
                      vstavkaSql(QStringLiteral("golosovanie"), QStringLiteral("R"), QStringLiteral("NEW.param1"),
                                 QStringLiteral("NEW.param1"), itogSql(QStringLiteral("NEW.param1"))));
    // Registration periods: the stop time every registration rewrites is not journalled,
    // only a period's closing (C) and opening again (O).
    const QString period = QStringLiteral("sessia_start_zhurnal_");
    out += triggerSql(period + QLatin1Char('i'), QStringLiteral("INSERT"), kPeriod.imya, QString(),
                      vstavkaSql(kPeriod, QStringLiteral("I"), QStringLiteral("NEW")));
    out += triggerSql(period + QLatin1Char('u'), QStringLiteral("UPDATE OF id, id_zasedanie, start"), kPeriod.imya,
                      QStringLiteral("OLD.id IS NOT NEW.id OR OLD.id_zasedanie IS NOT NEW.id_zasedanie OR OLD.start "
                                     "IS NOT NEW.start"),
                      vstavkaSql(kPeriod, QStringLiteral("U"), QStringLiteral("NEW")));
    out += triggerSql(period + QLatin1Char('c'), QStringLiteral("UPDATE OF stop"), kPeriod.imya,
                      QStringLiteral("OLD.stop IS NULL AND NEW.stop IS NOT NULL"),
                      vstavkaSql(QLatin1String(kPeriod.imya), QStringLiteral("C"), QStringLiteral("NEW.id"),
                                 QStringLiteral("NULL"),
                                 tekstSql(QStringLiteral("sessia_start|C"), QStringLiteral("NEW"), {"id", "stop"})));
    out += triggerSql(period + QLatin1Char('o'), QStringLiteral("UPDATE OF stop"), kPeriod.imya,
                      QStringLiteral("OLD.stop IS NOT NULL AND NEW.stop IS NULL"),
                      vstavkaSql(QLatin1String(kPeriod.imya), QStringLiteral("O"), QStringLiteral("NEW.id"),
                                 QStringLiteral("NULL"),
                                 tekstSql(QStringLiteral("sessia_start|O"), QStringLiteral("NEW"), {"id"})));
    out += triggerSql(period + QLatin1Char('d'), QStringLiteral("DELETE"), kPeriod.imya, QString(),
                      vstavkaSql(kPeriod, QStringLiteral("D"), QStringLiteral("OLD")));
    // Presence records have no key: a change is the old row deleted and the new one inserted.
    const QString udaleno = vstavkaSql(kSessia, QStringLiteral("D"), QStringLiteral("OLD"));
    const QString vstavleno = vstavkaSql(kSessia, QStringLiteral("I"), QStringLiteral("NEW"));
    out += triggerSql(QStringLiteral("sessia_zhurnal_i"), QStringLiteral("INSERT"), kSessia.imya, QString(), vstavleno);
    out += triggerSql(QStringLiteral("sessia_zhurnal_d"), QStringLiteral("DELETE"), kSessia.imya, QString(), udaleno);
    out += triggerSql(QStringLiteral("sessia_zhurnal_u"), QStringLiteral("UPDATE"), kSessia.imya, QString(),
                      udaleno + vstavleno);
    return out;
}

namespace {

// Runs one statement for every row `vybor` returns (its first column bound as ?1).
bool dlyaKazhdogo(sqlite3 *h, const QString &vybor, const QString &vstavka)
{
    sqlite3_stmt *v = nullptr, *w = nullptr;
    bool ok = sqlite3_prepare_v2(h, vybor.toUtf8().constData(), -1, &v, nullptr) == SQLITE_OK
              && sqlite3_prepare_v2(h, vstavka.toUtf8().constData(), -1, &w, nullptr) == SQLITE_OK;
    int rc = SQLITE_ROW;
    while (ok && (rc = sqlite3_step(v)) == SQLITE_ROW) {
        sqlite3_bind_int64(w, 1, sqlite3_column_int64(v, 0));
        ok = sqlite3_step(w) == SQLITE_DONE;
        sqlite3_reset(w);
    }
    ok = ok && rc == SQLITE_DONE;
    sqlite3_finalize(v);
    sqlite3_finalize(w);
    return ok;
}

// Whether the journal is to be added: the tables it journals are there and it is not. (A
// database without them is not a hall's and has nothing to journal.)
bool nuzhenZhurnal(sqlite3 *h, bool *nuzhen)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h,
                           "SELECT (SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('otvet', "
                           "'golosovanie', 'sessia_start', 'sessia', 'regim')) = 5 AND NOT EXISTS (SELECT 1 FROM "
                           "sqlite_master WHERE type = 'table' AND name = 'zhurnal')",
                           -1, &st, nullptr)
        != SQLITE_OK)
        return false;
    const int rc = sqlite3_step(st);
    *nuzhen = rc == SQLITE_ROW && sqlite3_column_int(st, 0) != 0;
    sqlite3_finalize(st);
    return rc == SQLITE_ROW;
}

}  // namespace

bool dobavitSqlite(sqlite3 *h, QString *error)
{
    auto oshibka = [&](bool otkat) {
        if (error)
            *error = QStringLiteral("The vote journal cannot be added to the database: %1")
                         .arg(QString::fromUtf8(sqlite3_errmsg(h)));
        if (otkat)
            sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };
    bool nuzhen = false;
    if (!nuzhenZhurnal(h, &nuzhen))
        return oshibka(false);
    if (!nuzhen)
        return true;
    if (sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return oshibka(false);
    // Another workstation may have added it while this one waited for the lock.
    if (!nuzhenZhurnal(h, &nuzhen))
        return oshibka(true);
    if (!nuzhen)
        return sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK || oshibka(true);

    const QString nachalo = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    QString sql = sxemaSqlite()
                  + vstavkaSql(QStringLiteral("zhurnal"), QStringLiteral("S"), QStringLiteral("NULL"),
                               QStringLiteral("NULL"), QStringLiteral("'zhurnal|S|' || zhurnal_pole(%1)").arg(sql::quote(nachalo)));
    if (sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return oshibka(true);
    // Registration periods (closed ones closed again), presence records, votes, ballots,
    // then the votes that are over: later changes to them read as changes after closing.
    const QString ryad = QStringLiteral("r");
    struct Shag {
        QString vybor, vstavka;
    };
    const Shag shagi[] = {
        {QStringLiteral("SELECT rowid FROM sessia_start ORDER BY rowid"),
         vstavkaSql(kPeriod, QStringLiteral("S"), ryad, QStringLiteral("FROM sessia_start r WHERE r.rowid = ?1"))},
        {QStringLiteral("SELECT rowid FROM sessia_start WHERE stop IS NOT NULL ORDER BY rowid"),
         vstavkaSql(QLatin1String(kPeriod.imya), QStringLiteral("C"), QStringLiteral("r.id"), QStringLiteral("NULL"),
                    tekstSql(QStringLiteral("sessia_start|C"), ryad, {"id", "stop"}),
                    QStringLiteral("FROM sessia_start r WHERE r.rowid = ?1"))},
        {QStringLiteral("SELECT rowid FROM sessia ORDER BY rowid"),
         vstavkaSql(kSessia, QStringLiteral("S"), ryad, QStringLiteral("FROM sessia r WHERE r.rowid = ?1"))},
        {QStringLiteral("SELECT rowid FROM golosovanie ORDER BY rowid"),
         vstavkaSql(kGolosovanie, QStringLiteral("S"), ryad, QStringLiteral("FROM golosovanie r WHERE r.rowid = ?1"))},
        {QStringLiteral("SELECT rowid FROM otvet ORDER BY rowid"),
         vstavkaSql(kOtvet, QStringLiteral("S"), ryad, QStringLiteral("FROM otvet r WHERE r.rowid = ?1"))},
        {QStringLiteral("SELECT id FROM golosovanie g WHERE NOT EXISTS (SELECT 1 FROM regim WHERE nomer = 2 AND "
                        "param1 = g.id) ORDER BY id"),
         vstavkaSql(QStringLiteral("golosovanie"), QStringLiteral("R"), QStringLiteral("?1"), QStringLiteral("?1"),
                    itogSql(QStringLiteral("?1")))},
    };
    for (const Shag &s : shagi)
        if (!dlyaKazhdogo(h, s.vybor, s.vstavka))
            return oshibka(true);
    if (sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return oshibka(true);
    return true;
}

}  // namespace zhurnal
