#include "app/voter_sql_doverie.h"

#include "db/connection.h"
#include "db/eksport.h"
#include "db/zhurnal.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

int proverkaZhurnala(DbConnection &db, int zasedanie, QTextStream &out, QTextStream &err)
{
    zhurnal::Proverka p;
    QString problem;
    if (!zhurnal::proverit(db, zasedanie, &p, &problem)) {
        err << "voter-sql: " << problem << '\n';
        return 1;
    }
    out << "journal: " << p.zapisei << (p.zapisei == 1 ? " entry" : " entries") << '\n';
    if (!p.nachalo.isEmpty())
        out << "journal: added to this database at " << p.nachalo << "; the " << p.nachalnyh
            << " rows it already held were recorded as they stood then. Changes made before that "
               "moment cannot be seen; from it on, every change is checked.\n";
    for (auto it = p.golovy.cbegin(); it != p.golovy.cend(); ++it)
        out << "vote " << it.key() << " (meeting " << p.zasedanieGolosovania.value(it.key()) << "): head "
            << it.value() << '\n';
    for (const QString &n : p.nahodki)
        out << n << '\n';
    if (p.nahodki.isEmpty()) {
        out << "verify: the tables match the journal\n";
        return 0;
    }
    out << "verify: " << p.nahodki.size() << (p.nahodki.size() == 1 ? " finding" : " findings") << '\n';
    return 3;
}

int eksportGolosovanii(DbConnection &db, int zasedanie, bool csv, const QString &file, QTextStream &err)
{
    QByteArray data;
    QString problem;
    if (!eksport::golosovania(db, zasedanie, csv ? eksport::Format::Csv : eksport::Format::Json, &data, &problem)) {
        err << "voter-sql: " << problem << '\n';
        return 1;
    }
    QFile f;
    const bool opened = file.isEmpty() ? f.open(stdout, QIODevice::WriteOnly)
                                       : (f.setFileName(file), f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (!opened || f.write(data) != data.size()) {
        err << "voter-sql: cannot write " << (file.isEmpty() ? QStringLiteral("standard output") : file) << '\n';
        return 1;
    }
    return 0;
}
