#pragma once

// The hall the privilege tests run on, and one login's session on it, for each engine the
// test body is run against.
#include "db/connection.h"
#include "db/schema.h"
#include "db/tsql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

#include <memory>

namespace pravatest {

// A statement's outcome as the test judges it.
struct Ishod {
    bool ok = false;
    int rows = -1;        // rows the statement changed, when the engine says
    int native = 0;       // native error number when it failed
    QString text;
};

class Sessiya {
public:
    virtual ~Sessiya() = default;
    virtual Ishod exec(const QString &sql) = 0;
    // Rows of a query as text, one line a row (for comparing states); empty on failure.
    virtual QStringList rows(const QString &sql) = 0;
};

// Through the program's own connection class: statements pass the T-SQL layer.
class SessiyaVstroennaya : public Sessiya {
public:
    DbConnection db;
    Ishod exec(const QString &sql) override
    {
        db.clearErrors();
        Ishod r;
        r.ok = db.exec(sql);
        if (!r.ok) {
            r.native = db.errors().isEmpty() ? 0 : db.errors().first().nativeError;
            r.text = db.firstErrorText();
        } else {
            r.rows = db.scalar(QStringLiteral("SELECT changes()")).toInt();
        }
        return r;
    }
    QStringList rows(const QString &sql) override
    {
        ResultSet rs;
        QStringList out;
        if (!db.query(sql, &rs))
            return out;
        for (const auto &row : rs.rows) {
            QStringList f;
            for (const QVariant &v : row)
                f << (v.isNull() ? QStringLiteral("NULL") : v.toString());
            out << f.join(QLatin1Char('|'));
        }
        return out;
    }
};

// Through Qt's PostgreSQL driver after the program's own rewriting for the server (the hall's
// text columns compare ignoring case, which plain LIKE refuses), so the rows changed come
// from the driver.
class SessiyaPostgres : public Sessiya {
public:
    explicit SessiyaPostgres(const QString &name) : m_name(name) {}
    ~SessiyaPostgres() override
    {
        {
            QSqlDatabase d = QSqlDatabase::database(m_name, false);
            d.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool open(int port, const QString &database, const QString &login, const QString &password, QString *error)
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        d.setHostName(QStringLiteral("127.0.0.1"));
        d.setPort(port);
        d.setDatabaseName(database);
        d.setUserName(login);
        d.setPassword(password);
        if (!d.open()) {
            *error = d.lastError().text();
            return false;
        }
        return true;
    }
    Ishod exec(const QString &sql) override
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        Ishod r;
        const tsql::Translation &t = tsql::translate(sql, tsql::Dialect::Postgres);
        if (!t.ok()) {
            r.text = t.error;
            return r;
        }
        for (const QString &st : t.statements)
            if (!(r.ok = q.exec(st)))
                break;
        if (!r.ok) {
            // SQLSTATE 42501 (insufficient privilege) is SQL Server's 229.
            r.native = q.lastError().nativeErrorCode() == QLatin1String("42501") ? 229 : -1;
            r.text = q.lastError().databaseText();
        } else {
            r.rows = q.numRowsAffected();
        }
        return r;
    }
    QStringList rows(const QString &sql) override
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        QStringList out;
        const tsql::Translation &t = tsql::translate(sql, tsql::Dialect::Postgres);
        if (!t.ok() || t.statements.size() != 1 || !q.exec(t.statements.first()))
            return out;
        while (q.next()) {
            QStringList f;
            for (int i = 0; i < q.record().count(); ++i)
                f << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            out << f.join(QLatin1Char('|'));
        }
        return out;
    }

private:
    QString m_name;
};

// The hall state every privilege test starts from: deputies on seats 01 (1), 02 (2,
// chairman), 05 (5) and 07 (6); meeting 1 open with item 1 active, registration period 1,
// vote 1 running; seat 05 has voted and asked for the floor. Plain SQL both engines take.
inline QStringList nachalnoeSostoyanie()
{
    return {
        QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Первый','Иван','Иванович')"),
        QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Второй','Пётр','Петрович')"),
        QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Третий','Анна','Сергеевна')"),
        QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Четвёртый','Олег','Олегович')"),
        QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Пятый','Алексей','Викторович')"),
        QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Шестой','Семён','Семёнович')"),
        QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (1,1,0)"),
        QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (2,2,1)"),
        QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (5,5,0)"),
        QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto,chairman) VALUES (6,7,0)"),
        QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya,start) VALUES ('20140320','Заседание № 1','00:00:00','20140320 09:30')"),
        QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) VALUES (1,0,1,1,'Вопрос 1','О законе',1)"),
        QStringLiteral("INSERT INTO sessia_start (id_zasedanie) VALUES (1)"),
        QStringLiteral("INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) "
                       "VALUES ('20140320 10:00','Большинство от присутствующих',0,0,27,4,'Процедурные вопросы',3,27,1,1)"),
        QStringLiteral("INSERT INTO sessia (id_zasedanie,id_deputat,id_sessia) VALUES (1,5,1)"),
        QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (5,1,1,1)"),
        QStringLiteral("INSERT INTO proshu_slovo (id_mesto) VALUES (5)"),
        QStringLiteral("UPDATE regim SET nomer=2,param1=1,param2=25"),
    };
}

// Everything but the logins, as the operator reads it: equal before and after means a
// refused statement changed nothing anywhere.
inline QStringList snimok(Sessiya &s)
{
    QStringList out;
    for (const char *q : {"SELECT nomer,param1,param2 FROM regim",
                          "SELECT id,opisanie,start,stop FROM zasedanie ORDER BY id",
                          "SELECT id,aktiv FROM povestka ORDER BY id",
                          "SELECT id_deputat,id_sessia,id_zasedanie FROM sessia ORDER BY id_deputat,id_sessia",
                          "SELECT id,id_deputat,result,id_golosovanie FROM otvet ORDER BY id",
                          "SELECT id,id_mesto FROM proshu_slovo ORDER BY id",
                          "SELECT id,id_deputat,id_mesto,chairman FROM sostav ORDER BY id",
                          "SELECT id,nomer,connected,podkl FROM mesto ORDER BY id",
                          "SELECT id,familia FROM deputat ORDER BY id",
                          "SELECT id,nuzno FROM golosovanie ORDER BY id",
                          "SELECT id,stop FROM sessia_start ORDER BY id"}) {
        out << QString::fromLatin1(q);
        out << s.rows(QString::fromLatin1(q));
    }
    return out;
}

}  // namespace pravatest
