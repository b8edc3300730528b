// voter-sql end to end: the built program run as operators and scripts run it.
#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

QString builtProgram()
{
    return QStringLiteral(VOTER_BINARY_DIR "/voter-sql");
}

Run runProgram(const QString &program, const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.setWorkingDirectory(QFileInfo(program).absolutePath());
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000))
        return r;
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}  // namespace

class TestVoterSql : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;  // a database made once by --init for the read-only cases

    Run sql(const QStringList &args, const QByteArray &input = QByteArray())
    {
        return runProgram(builtProgram(), QStringList{"-S", "embedded", "-d", m_db} + args, input);
    }

    // A copy of the program in its own folder, so its settings file and document store are
    // the test's own.
    QString programCopy(const QString &folder)
    {
        const QString dir = m_dir.filePath(folder);
        QDir().mkpath(dir);
        const QString copy = dir + QStringLiteral("/voter-sql");
        QFile::remove(copy);
        if (!QFile::copy(builtProgram(), copy))
            return QString();
        QFile::setPermissions(copy, QFile::permissions(builtProgram()));
        return copy;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(builtProgram()), qPrintable(builtProgram()));
        m_db = m_dir.filePath(QStringLiteral("hall.db"));
        const Run r = runProgram(builtProgram(), {"--init", "-d", m_db});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("created")));
        QVERIFY(QFile::exists(m_db));
    }

    void selectPrintsRows()
    {
        Run r = sql({"--tsv", "SELECT count(*) FROM mesto"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("27\n"));

        r = sql({"SELECT nomer, connected, podkl FROM mesto WHERE nomer = '02' OR nomer = '10' ORDER BY nomer"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("nomer connected podkl\n"
                                       "----- --------- -----\n"
                                       "02    0         NULL\n"
                                       "10    0         NULL\n"
                                       "(2 rows)\n"));

        r = sql({"--tsv", "--header", "SELECT opisanie, znachenie FROM konstanti WHERE opisanie = 'Кворум'"});
        QCOMPARE(r.out, QStringLiteral("opisanie\tznachenie\nКворум\t14\n"));
    }

    void failuresGiveTheServerTextAndAnExitCode()
    {
        Run r = sql({"SELECT * FROM nosuch"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("nosuch")), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());

        r = runProgram(builtProgram(), {"-d", m_db, "-U", "07", "-P", "08", "SELECT 1"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Login failed")), qPrintable(r.err));

        r = runProgram(builtProgram(), {"-d", m_dir.filePath(QStringLiteral("none.db")), "SELECT 1"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none.db"))));

        QCOMPARE(runProgram(builtProgram(), {"--bogus"}).exitCode, 2);
        QCOMPARE(runProgram(builtProgram(), {"--force", "SELECT 1"}).exitCode, 2);
        QCOMPARE(runProgram(builtProgram(), {"-d"}).exitCode, 2);
        QCOMPARE(runProgram(builtProgram(), {"--init", "-S", "zal-srv\\sql", "-d", "voter"}).exitCode, 1);
    }

    void initKeepsAnExistingDatabaseUnlessForced()
    {
        const QString path = m_dir.filePath(QStringLiteral("again.db"));
        QCOMPARE(runProgram(builtProgram(), {"--init", "-d", path}).exitCode, 0);
        QCOMPARE(runProgram(builtProgram(), {"-d", path, "INSERT INTO deputat (familia) VALUES ('Тест')"}).exitCode, 0);

        Run r = runProgram(builtProgram(), {"--init", "-d", path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QStringLiteral("already exists")));
        QCOMPARE(runProgram(builtProgram(), {"-d", path, "--tsv", "SELECT count(*) FROM deputat"}).out, QStringLiteral("1\n"));

        QCOMPARE(runProgram(builtProgram(), {"--init", "--force", "-d", path}).exitCode, 0);
        QCOMPARE(runProgram(builtProgram(), {"-d", path, "--tsv", "SELECT count(*) FROM deputat"}).out, QStringLiteral("0\n"));
    }

    void scriptsFromFileAndStandardInput()
    {
        const QString path = m_dir.filePath(QStringLiteral("scripts.db"));
        QCOMPARE(runProgram(builtProgram(), {"--init", "-d", path}).exitCode, 0);
        const QString script = m_dir.filePath(QStringLiteral("s.sql"));
        writeFile(script,
                  "-- two deputies; the second name has an apostrophe\n"
                  "INSERT INTO deputat (familia,imya,otchestvo) VALUES ('Иванов','Иван','Иванович');\n"
                  "INSERT INTO deputat (familia,imya,otchestvo) VALUES ('О''Нил', 'Шон', NULL)\n"
                  "GO\n"
                  "SELECT familia, otchestvo FROM deputat ORDER BY id;\n"
                  "SELECT 'a\tb' AS t, 'c\\d' AS u\n");
        Run r = runProgram(builtProgram(), {"-d", path, "--tsv", "-i", script});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("Иванов\tИванович\nО'Нил\t\\N\na\\tb\tc\\\\d\n"));

        r = runProgram(builtProgram(), {"-d", path, "--tsv"}, "SELECT count(*) FROM deputat;\n");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("2\n"));

        // A failing statement stops the script; the ones before it stay done.
        writeFile(script,
                  "INSERT INTO deputat (familia) VALUES ('Третий');\n"
                  "INSERT INTO nowhere (x) VALUES (1);\n"
                  "INSERT INTO deputat (familia) VALUES ('Четвёртый');\n");
        r = runProgram(builtProgram(), {"-d", path, "-i", script});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QStringLiteral("nowhere")));
        QVERIFY(r.err.contains(QStringLiteral("INSERT INTO nowhere (x) VALUES (1)")));
        QCOMPARE(runProgram(builtProgram(), {"-d", path, "--tsv", "SELECT count(*) FROM deputat"}).out, QStringLiteral("3\n"));

        QCOMPARE(runProgram(builtProgram(), {"-d", path, "-i", m_dir.filePath(QStringLiteral("missing.sql"))}).exitCode, 1);
    }

    void connectsWithTheWorkstationSettings()
    {
        const QString program = programCopy(QStringLiteral("prog"));
        QVERIFY(!program.isEmpty());
        const QString dir = QFileInfo(program).absolutePath();

        // No settings file: database "voter" in the program's data folder, operator login.
        QCOMPARE(runProgram(program, {"--init"}).exitCode, 0);
        QVERIFY(QFile::exists(dir + QStringLiteral("/data/voter.db")));
        QCOMPARE(runProgram(program, {"--tsv", "SELECT count(*) FROM regim"}).out, QStringLiteral("1\n"));

        // The workstation's settings file names another database and a seat login.
        QCOMPARE(runProgram(program, {"--init", "-d", "zal2"}).exitCode, 0);
        QCOMPARE(runProgram(program, {"-d", "zal2", "UPDATE regim SET nomer=5"}).exitCode, 0);
        writeFile(dir + QStringLiteral("/voter.ini"), "[Podkluchenie]\nServer=embedded\nBasa=zal2\nLogin=07\n");
        Run r = runProgram(program, {"--tsv", "SELECT nomer FROM regim"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("5\n"));
        QCOMPARE(runProgram(program, {"-P", "08", "SELECT 1"}).exitCode, 1);  // password of another seat
        QCOMPARE(runProgram(program, {"-d", "voter", "--tsv", "SELECT nomer FROM regim"}).out, QStringLiteral("-1\n"));
    }

    void demoLoadsOnceAndWritesTheDocument()
    {
        const QString program = programCopy(QStringLiteral("demo"));
        QVERIFY(!program.isEmpty());
        const QString dir = QFileInfo(program).absolutePath();
        Run r = runProgram(program, {"--init", "--demo"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));

        r = runProgram(program, {"--tsv", "SELECT put, fail FROM faili"});
        QCOMPARE(r.exitCode, 0);
        const QStringList row = r.out.trimmed().split(QLatin1Char('\t'));
        QCOMPARE(row.size(), 2);
        QString put = row[0];
        put.replace(QStringLiteral("\\\\"), QStringLiteral("/"));  // TSV doubles the backslashes
        QFile pdf(dir + QStringLiteral("/docs/") + put + row[1]);
        QVERIFY2(pdf.open(QIODevice::ReadOnly), qPrintable(pdf.fileName()));
        QVERIFY(pdf.read(5) == "%PDF-");

        r = runProgram(program, {"--demo"});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(runProgram(program, {"--tsv", "SELECT count(*) FROM deputat"}).out, QStringLiteral("27\n"));
    }

    // Two operators' scripts writing ballots into one embedded database at once: every row
    // arrives, and the only acceptable error is the busy time-out.
    void twoWritersLoseNoRow()
    {
        const QString path = m_dir.filePath(QStringLiteral("busy.db"));
        QCOMPARE(runProgram(builtProgram(), {"--init", "-d", path}).exitCode, 0);
        constexpr int kRuns = 10, kInserts = 20;

        struct Writer {
            QProcess process;
            int run = 0;
            int failures = 0;
            QString errors;
            bool done = false;
        } writers[2];

        auto start = [&](int w) {
            const QString script = m_dir.filePath(QStringLiteral("w%1_%2.sql").arg(w).arg(writers[w].run));
            QByteArray text;
            for (int k = 0; k < kInserts; ++k)
                text += QStringLiteral("INSERT INTO otvet (id_deputat,id_povestka,result,id_golosovanie) VALUES (%1,%2,%3,%4);\n")
                            .arg(k + 1).arg(writers[w].run).arg(k % 3 + 1).arg(w + 1).toUtf8();
            writeFile(script, text);
            writers[w].process.start(builtProgram(), {"-d", path, "-i", script});
        };
        for (int w = 0; w < 2; ++w) {
            connect(&writers[w].process, &QProcess::finished, this, [&, w](int code) {
                Writer &wr = writers[w];
                if (code != 0) {
                    ++wr.failures;
                    wr.errors += QString::fromUtf8(wr.process.readAllStandardError());
                }
                if (++wr.run < kRuns)
                    start(w);
                else
                    wr.done = true;
            });
            start(w);
        }
        QTRY_VERIFY_WITH_TIMEOUT(writers[0].done && writers[1].done, 300000);

        for (int w = 0; w < 2; ++w) {
            const Run r = runProgram(builtProgram(), {"-d", path, "--tsv",
                QStringLiteral("SELECT count(*), count(DISTINCT id_povestka * 100 + id_deputat) FROM otvet WHERE id_golosovanie = %1").arg(w + 1)});
            const QStringList counts = r.out.trimmed().split(QLatin1Char('\t'));
            if (writers[w].failures == 0) {
                QCOMPARE(counts, (QStringList{QString::number(kRuns * kInserts), QString::number(kRuns * kInserts)}));
            } else {
                QVERIFY2(writers[w].errors.contains(QStringLiteral("locked")) || writers[w].errors.contains(QStringLiteral("busy")),
                         qPrintable(writers[w].errors));
                QCOMPARE(counts.value(0), counts.value(1));  // nothing doubled
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestVoterSql)
#include "test_voter_sql.moc"
