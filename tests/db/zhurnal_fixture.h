#pragma once

// The vote journal's tests on either engine: a meeting played as the hall writes it, voter-sql
// run as a separate process, and plain-SQL changes made behind the hall's back.
#include "db/connection.h"
#include "db/zhurnal.h"
#include "support/protokol.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace zhurnaltest {

struct Run {
    int exitCode = -1;
    QString out;
};

// voter-sql's connection options for an embedded database file.
inline QStringList embedded(const QString &path)
{
    return {QStringLiteral("-S"), QStringLiteral("embedded"), QStringLiteral("-d"), path};
}

// Runs the built voter-sql with the connection options and the arguments.
inline Run voterSql(const QStringList &connection, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VOTER_BINARY_DIR "/voter-sql"), connection + args);
    Run r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline bool run(DbConnection &db, const QString &sql)
{
    if (db.exec(sql))
        return true;
    qWarning("%s\n  %s", qPrintable(db.firstErrorText()), qPrintable(sql));
    return false;
}

// A meeting as the hall writes it: a registration of 6 deputies, an open vote and a secret
// one, each closed by the result mode, a withdrawn ballot, the meeting closed. Returns the
// ids of the two votes.
inline bool meeting(DbConnection &db, int *open, int *secret)
{
    QList<QString> s{
        "UPDATE zasedanie SET start=GETDATE() WHERE id=1",
        "UPDATE sessia_start SET stop = GETDATE()",
        "DELETE FROM sessia WHERE id_sessia = -1",
        "INSERT INTO sessia_start (id_zasedanie) VALUES (1)",
    };
    for (const QString &q : s)
        if (!run(db, q))
            return false;
    const int period = db.scalar(QStringLiteral("SELECT max(id) FROM sessia_start;")).toInt();
    for (int d = 1; d <= 6; ++d)
        if (!run(db, QStringLiteral("INSERT INTO sessia (id_deputat,id_sessia,id_zasedanie) VALUES (%1,%2,1)").arg(d).arg(period)))
            return false;
    int *ids[2] = {open, secret};
    for (int vid = 0; vid < 2; ++vid) {
        if (!run(db, QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,"
                                    "zak,id_povestka,id_sessia) VALUES (getdate(),'Большинство от присутствующих',0,%1,"
                                    "27,6,'Процедурные | вопросы \\ ''1''',4,27,2,%2)")
                         .arg(vid)
                         .arg(period)))
            return false;
        const int g = db.scalar(QStringLiteral("SELECT MAX(id) FROM golosovanie;")).toInt();
        *ids[vid] = g;
        if (!run(db, QStringLiteral("UPDATE regim SET nomer=2,param1=%1,param2=15").arg(g)))
            return false;
        const int choices[6] = {1, 1, 2, 3, 1, 1};
        for (int d = 1; d <= 6; ++d) {
            if (!run(db, QStringLiteral("DELETE FROM otvet WHERE (id_deputat=%1) AND (id_golosovanie=%2)").arg(d).arg(g))
                || !run(db, QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES "
                                           "(%1,2,%2,%3)")
                                .arg(d)
                                .arg(choices[d - 1])
                                .arg(g)))
                return false;
        }
        // Deputy 6 withdraws.
        if (!run(db, QStringLiteral("DELETE FROM otvet WHERE (id_deputat=6) AND (id_golosovanie=%1)").arg(g))
            || !run(db, QStringLiteral("UPDATE regim SET param2=0"))
            || !run(db, QStringLiteral("UPDATE regim SET nomer=-1"))
            || !run(db, QStringLiteral("UPDATE regim SET nomer=4,param1=%1,param2=15").arg(g)))
            return false;
    }
    return run(db, QStringLiteral("UPDATE regim SET nomer=-1")) && run(db, QStringLiteral("UPDATE sessia_start SET stop = GETDATE()"))
           && run(db, QStringLiteral("UPDATE zasedanie SET stop=GETDATE() WHERE id=1"));
}


// Checks every link of the chain with the program's hash: the number of entries, or -id of
// the first entry that does not link.
inline int cepProveryaetsya(DbConnection &db)
{
    ResultSet j;
    if (!db.query(QStringLiteral("SELECT id,zapis,hash FROM zhurnal ORDER BY id"), &j))
        return 0;
    QString pred;
    for (int r = 0; r < j.rowCount(); ++r) {
        if (j.value(r, 2).toString() != zhurnal::hash(pred, j.value(r, 1).toString()))
            return -j.value(r, 0).toInt();
        pred = j.value(r, 2).toString();
    }
    return j.rowCount();
}

// The journal's entry for the insert of vote `id` beside the canonical text the program
// makes of the live row: the two must be the same on every engine.
inline QPair<QString, QString> golosovanieVZhurnale(DbConnection &db, int id)
{
    ResultSet g;
    db.query(QStringLiteral("SELECT id,data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,"
                            "id_povestka,id_sessia FROM golosovanie WHERE id=%1")
                 .arg(id),
             &g);
    QStringList live{QStringLiteral("golosovanie"), QStringLiteral("I")};
    for (const QVariant &v : g.rows.value(0))
        live << zhurnal::pole(v);
    const QString journalled =
        db.scalar(QStringLiteral("SELECT zapis FROM zhurnal WHERE tablica='golosovanie' AND deistvie='I' AND id_zapisi=%1").arg(id))
            .toString();
    return {journalled, live.join(QLatin1Char('|'))};
}

// Alters, deletes and inserts a ballot with plain SQL through voter-sql after the meeting
// (so through the triggers, after the votes were closed). Returns the lines --verify must
// print for them; empty when a step failed.
inline QStringList byulleteniPosleZasedania(DbConnection &db, const QStringList &connection, int open, int secret)
{
    const int changed = db.scalar(QStringLiteral("SELECT MIN(id) FROM otvet WHERE id_golosovanie=%1 AND result=2").arg(open)).toInt();
    const int deleted = db.scalar(QStringLiteral("SELECT MIN(id) FROM otvet WHERE id_golosovanie=%1 AND result=1").arg(secret)).toInt();
    for (const QString &q : {QStringLiteral("UPDATE otvet SET result=1 WHERE id=%1").arg(changed),
                             QStringLiteral("DELETE FROM otvet WHERE id=%1").arg(deleted),
                             QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (6,2,1,%1)").arg(open)}) {
        const Run r = voterSql(connection, {q});
        if (r.exitCode != 0) {
            qWarning("%s: %s", qPrintable(q), qPrintable(r.out));
            return {};
        }
    }
    const int inserted = db.scalar(QStringLiteral("SELECT MAX(id) FROM otvet")).toInt();
    return {QStringLiteral("ballot %1 (vote %2, deputy 3): changed after the vote was closed: result 2 -> 1").arg(changed).arg(open),
            QStringLiteral("ballot %1 (vote %2, deputy 1): deleted after the vote was closed").arg(deleted).arg(secret),
            QStringLiteral("ballot %1 (vote %2, deputy 6): inserted after the vote was closed").arg(inserted).arg(open)};
}

// What --verify printed, held against the lines it must hold and the number of findings:
// empty when it agrees, otherwise what is missing with the whole output.
inline QString nahodkiNeTe(const Run &r, const QStringList &lines, int findings)
{
    QStringList missing;
    for (const QString &line : lines)
        if (!r.out.contains(line))
            missing << line;
    const QString total = QStringLiteral("verify: %1 %2").arg(findings).arg(findings == 1 ? "finding" : "findings");
    if (!r.out.contains(total))
        missing << total;
    if (r.exitCode != 3)
        missing << QStringLiteral("exit code 3 (not %1)").arg(r.exitCode);
    return missing.isEmpty() ? QString() : missing.join(QLatin1Char('\n')) + QStringLiteral("\n---\n") + r.out;
}

// With the journal's triggers off: changes a ballot, deletes one and inserts one in the
// secret vote, deletes a presence record and changes the open vote. Returns the lines
// --verify must print for them; empty when a step failed.
inline QStringList mimoZhurnala(DbConnection &db, int open, int secret)
{
    const int changed = db.scalar(QStringLiteral("SELECT MIN(id) FROM otvet WHERE id_golosovanie=%1").arg(secret)).toInt();
    const int deleted = db.scalar(QStringLiteral("SELECT MAX(id) FROM otvet WHERE id_golosovanie=%1").arg(secret)).toInt();
    if (!run(db, QStringLiteral("UPDATE otvet SET result=3 WHERE id=%1").arg(changed))
        || !run(db, QStringLiteral("DELETE FROM otvet WHERE id=%1").arg(deleted))
        || !run(db, QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (6,2,2,%1)").arg(secret)))
        return {};
    const int inserted = db.scalar(QStringLiteral("SELECT MAX(id) FROM otvet")).toInt();
    if (!run(db, QStringLiteral("DELETE FROM sessia WHERE id_deputat=5"))
        || !run(db, QStringLiteral("UPDATE golosovanie SET nuzno=1 WHERE id=%1").arg(open)))
        return {};
    return {QStringLiteral("ballot %1 (vote %2, deputy 1): changed outside the journal: result 1 -> 3").arg(changed).arg(secret),
            QStringLiteral("ballot %1 (vote %2, deputy 5): deleted outside the journal").arg(deleted).arg(secret),
            QStringLiteral("ballot %1 (vote %2, deputy 6): inserted outside the journal").arg(inserted).arg(secret),
            QStringLiteral("presence record (deputy 5, period 1, meeting 1): deleted outside the journal"),
            QStringLiteral("vote %1: changed outside the journal: nuzno 4 -> 1").arg(open)};
}

// Both layouts of the minutes of meeting 1 print each vote's head as the check gives it:
// empty when they do, otherwise what is wrong.
inline QString golovyVProtokole(DbConnection &db, const QList<int> &votes, const QString &minutes)
{
    zhurnal::Proverka p;
    QString problem;
    if (!zhurnal::proverit(db, 1, &p, &problem))
        return problem;
    if (p.golovy.keys() != votes)
        return QStringLiteral("heads for %1 votes").arg(p.golovy.size());
    for (const QString &head : p.golovy)
        if (minutes.count(QStringLiteral("Журнал: ") + head) != 2)
            return QStringLiteral("head %1 printed %2 times:\n%3").arg(head).arg(minutes.count(head)).arg(minutes);
    return QString();
}

// The journal just added to an older database that holds the played meeting: it starts
// with the first entry, every row of the journalled tables, each closed period and each of
// the two votes' results (the secret one's counts as they were), the chain links, and the
// minutes print the heads. Empty when all hold; *entries gets the journal's length, *rows
// the number of rows recorded.
inline QString nachaloZhurnala(DbConnection &db, int open, int secret, int *entries, int *rows)
{
    *entries = db.scalar(QStringLiteral("SELECT count(*) FROM zhurnal")).toInt();
    *rows = db.scalar(QStringLiteral("SELECT count(*) FROM zhurnal WHERE deistvie='S' AND tablica<>'zhurnal'")).toInt();
    const int expected = 1 + 2
                         + db.scalar(QStringLiteral("SELECT (SELECT count(*) FROM otvet) + (SELECT count(*) FROM golosovanie) + "
                                                    "(SELECT count(*) FROM sessia_start) + (SELECT count(*) FROM sessia) + "
                                                    "(SELECT count(*) FROM sessia_start WHERE stop IS NOT NULL)"))
                               .toInt();
    if (*entries != expected)
        return QStringLiteral("%1 journal entries instead of %2").arg(*entries).arg(expected);
    if (!db.scalar(QStringLiteral("SELECT zapis FROM zhurnal WHERE id = (SELECT MIN(id) FROM zhurnal)")).toString().startsWith(QStringLiteral("zhurnal|S|")))
        return QStringLiteral("the first entry is not the journal's start");
    if (cepProveryaetsya(db) != *entries)
        return QStringLiteral("the chain breaks at entry %1").arg(-cepProveryaetsya(db));
    const QString itog = db.scalar(QStringLiteral("SELECT zapis FROM zhurnal WHERE deistvie='R' AND id_zapisi=%1").arg(secret)).toString();
    if (itog != QStringLiteral("golosovanie|R|%1|3|1|1|5").arg(secret))
        return QStringLiteral("the secret vote's result reads %1").arg(itog);
    return golovyVProtokole(db, {open, secret}, protokolTekst(db, 1));
}

}  // namespace zhurnaltest
