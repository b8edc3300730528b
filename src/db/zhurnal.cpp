#include "db/zhurnal.h"

#include "db/connection.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>

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

struct Tablica {
    const char *imya;
    QStringList kolonki;
    QString klyuch;  // empty: rows are compared as a multiset of whole rows
};

const Tablica kOtvet{"otvet", {"id", "id_deputat", "id_povestka", "result", "id_golosovanie"}, "id"};
const Tablica kGolosovanie{"golosovanie",
                           {"id", "data", "regim", "tip", "vid", "isbrano", "prisutstvuet", "regim_polsov", "nuzno",
                            "zak", "id_povestka", "id_sessia"},
                           "id"};
const Tablica kPeriod{"sessia_start", {"id", "id_zasedanie", "start"}, "id"};
const Tablica kSessia{"sessia", {"id_deputat", "id_sessia", "id_zasedanie"}, QString()};

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
                if (deistvie == QLatin1String("I")) {
                    if (zakryto)
                        nahodka(z, byulleten(o) + QStringLiteral(": inserted after the vote was closed") + zapisNomer);
                    m_zhOtvet.insert(id, o);
                } else if (deistvie == QLatin1String("U")) {
                    const Stroka bylo = m_zhOtvet.value(id);
                    nahodka(z, byulleten(o) + QStringLiteral(": changed")
                                   + (zakryto ? QStringLiteral(" after the vote was closed") : QString())
                                   + (bylo.isEmpty() ? QString() : QStringLiteral(": ") + razlichiya(kOtvet, bylo, o))
                                   + zapisNomer);
                    m_zhOtvet.insert(id, o);
                } else if (deistvie == QLatin1String("D")) {
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
                if (m_zakryty.contains(id) && deistvie != QLatin1String("I"))
                    nahodka(zasedanieGolosovania(id),
                            QStringLiteral("vote %1: %2 after it was closed")
                                    .arg(id)
                                    .arg(deistvie == QLatin1String("D") ? QStringLiteral("deleted")
                                                                        : QStringLiteral("changed: ")
                                                                              + razlichiya(kGolosovanie, m_zhGolos.value(id), g))
                                + zapisNomer);
                if (deistvie == QLatin1String("D")) {
                    m_udalenGolos.insert(id, g);
                    m_zhGolos.remove(id);
                } else {
                    m_zhGolos.insert(id, g);
                }
            } else if (tablica == QLatin1String("sessia_start")) {
                if (!klyuchVeren(2))
                    continue;
                const qint64 id = f.value(2).toLongLong();
                if (deistvie == QLatin1String("I") || deistvie == QLatin1String("U")) {
                    m_zhPeriod.insert(id, kanon(f, 2, kPeriod.kolonki.size()));
                } else if (deistvie == QLatin1String("D")) {
                    m_zhPeriod.remove(id);
                    m_zhZakryt.remove(id);
                } else if (deistvie == QLatin1String("C")) {
                    m_zhZakryt.insert(id);
                } else if (deistvie == QLatin1String("O")) {
                    m_zhZakryt.remove(id);
                }
            } else if (tablica == QLatin1String("sessia")) {
                const Stroka s = kanon(f, 2, kSessia.kolonki.size());
                if (deistvie == QLatin1String("I"))
                    m_zhSessia[s] += 1;
                else if (deistvie == QLatin1String("D") && --m_zhSessia[s] <= 0)
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

}  // namespace zhurnal
