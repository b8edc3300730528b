#pragma once

// Faults made on demand under running workstations on the embedded engine: a class of
// statement that fails (a trigger raising an error, per table and statement kind, optionally
// for one seat's rows only), reads that fail (a table moved away under another name), a write
// lock held by another client, a database file that cannot be written, and a disk that is full.
// Everything made here is taken back by snyatVse() or the destructor.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace hallsim {

class Sboi {
public:
    // `db` is an open connection to the hall database (the driver's own); `fail` its file.
    Sboi(QSqlDatabase db, const QString &fail);
    ~Sboi();

    // Every statement of kind `vid` ("INSERT", "UPDATE", "DELETE") on `tablica` fails with
    // `tekst`; with `uslovie` only rows for which it holds (an SQL expression on NEW/OLD).
    bool zapretit(const QString &tablica, const QString &vid, const QString &uslovie = QString(),
                  const QString &tekst = QStringLiteral("injected fault"));
    // Every statement that reads or writes `tablica` fails: the table goes by another name.
    bool spryatat(const QString &tablica);
    // Drops every trigger made here and brings back every table moved away.
    bool snyatVse();

    // Another client takes the database's write lock (BEGIN EXCLUSIVE) and holds it until
    // otpustit(); in WAL mode readers go on, writers wait out their busy time-out and fail.
    bool zaperet();
    bool otpustit();

    // The database file made read-only or writable again (for root, whom permissions do not
    // stop, by a read-only bind mount of the file on itself). Connections already open keep
    // writing; new ones cannot.
    bool tolkoChtenie(bool da);

    QString oshibka() const { return m_oshibka; }

private:
    bool vyp(const QString &sql);

    QSqlDatabase m_db;
    QString m_fail;
    QStringList m_triggery;
    QStringList m_spryatany;
    QString m_zamok;  // connection name while the lock is held
    QString m_oshibka;
    int m_n = 0;
    bool m_tolkoChtenie = false;
};

// A small tmpfs mounted on a folder, to run a hall on a disk that can be filled. Needs the
// right to mount (root or CAP_SYS_ADMIN); smontirovat() says why when it cannot.
class MalyiDisk {
public:
    ~MalyiDisk();
    bool smontirovat(const QString &papka, int megabait, QString *prichina);
    // Fills what is left of the disk with a file; osvobodit() removes it.
    bool zapolnit();
    void osvobodit();
    void razmontirovat();
    bool smontirovan() const { return !m_papka.isEmpty(); }

private:
    QString m_papka;
};

}  // namespace hallsim
