// A fresh embedded database with a meeting, shared by the agenda editor tests.
#pragma once

#include "db/connection.h"
#include "db/schema.h"
#include "support/fakes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

struct PovestkaDb {
    QTemporaryDir dir;
    std::unique_ptr<DbConnection> db;
    FakeDialogs dialogs;
    std::unique_ptr<FakePlatform> platform;
    int files = 0;

    // A new database file per test function, so no test sees another's rows.
    bool open()
    {
        db.reset();
        const QString path = dir.filePath(QStringLiteral("hall%1.db").arg(++files));
        QString err;
        if (!schema::createEmbedded(path, &err)) {
            qWarning("createEmbedded: %s", qPrintable(err));
            return false;
        }
        db = std::make_unique<DbConnection>();
        if (!db->open({QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")})) {
            qWarning("open: %s", qPrintable(db->firstErrorText()));
            return false;
        }
        const QString program = dir.filePath(QStringLiteral("prog%1").arg(files));
        QDir().mkpath(program);
        platform = std::make_unique<FakePlatform>(program);
        dialogs.clear();
        return true;
    }

    int exec(const QString &sql)
    {
        if (!db->exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(db->firstErrorText()));
        return db->scalar(QStringLiteral("SELECT @@identity as id;")).toInt();
    }

    // date as yyyymmdd
    int addMeeting(const QString &date, const QString &opisanie = QStringLiteral("Заседание № 1"))
    {
        return exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya) VALUES (") + sql::quote(date)
                    + QLatin1Char(',') + sql::quote(opisanie) + QStringLiteral(",'00:00:00')"));
    }

    int addItem(int meeting, int tip, int nomer, int ord)
    {
        return exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info) VALUES (%1,%2,%3,%4,%5,'')")
                        .arg(meeting)
                        .arg(tip)
                        .arg(nomer)
                        .arg(ord)
                        .arg(sql::quote((tip == 0 ? QStringLiteral("Вопрос ") : QStringLiteral("Доп. вопрос "))
                                        + QString::number(nomer))));
    }

    QVariant scalar(const QString &sql) { return db->scalar(sql); }
};
