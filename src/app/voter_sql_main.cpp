// voter-sql: a small command-line SQL client for the hall database, in the spirit of sqlcmd
// and sqlite3. Statements go through DbConnection, so on the embedded engine they pass the
// same T-SQL layer as the workstations' own statements.
#include "app/voter_sql_doverie.h"
#include "db/connection.h"
#include "db/inifile.h"
#include "db/kopiya.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

const char kUsage[] =
    "Usage: voter-sql [options] [statement]\n"
    "Runs T-SQL statements against the hall database and prints the rows they return.\n"
    "\n"
    "  -S server     server; empty, \"embedded\", \"local\" or \"sqlite:<file>\" for the embedded\n"
    "                database, otherwise SQL Server (host\\instance or host,port)\n"
    "  -d database   database; for the embedded engine the file (\"voter\" -> data/voter.db in\n"
    "                the program folder)\n"
    "  -U login      login (default from the settings file, else admin1)\n"
    "  -P password   password (default: the login)\n"
    "  -i file       run a script file; batches end at lines holding only GO\n"
    "  --tsv         tab-separated output without header; \\t \\n \\r \\\\ escaped, NULL as \\N\n"
    "  --header      with --tsv: print the column names first\n"
    "  --init        create a new database with schema and reference data: an embedded\n"
    "                file, or a database on a pg:host:port server\n"
    "                (file from -d, default \"voter\")\n"
    "  --force       with --init: replace an existing file\n"
    "  --demo        load the demo data (deputies, a meeting, its agenda and a document)\n"
    "  --backup FILE consistent copy of the embedded database into a new FILE while the\n"
    "                hall runs (checked before it is kept); server engines: their own tools\n"
    "  --verify [N]  check the vote journal against the tables, for meeting N or all;\n"
    "                exit 3 when a row was changed, deleted or inserted outside it\n"
    "  --export [N]  a meeting's votes as JSON (--csv: as CSV; -o FILE: into FILE);\n"
    "                the newest meeting with votes without N\n"
    "  -h, --help    this text\n"
    "\n"
    "Without -S/-d/-U the values come from section [Podkluchenie] of voter.ini beside the\n"
    "program. Without a statement, -i, --init or --demo, the script is read from standard\n"
    "input. Exit code 0 on success, 1 when a statement fails, 2 on a usage error.\n";

struct Options {
    QString server, database, login, password, inputFile, statement, backup;
    bool hasServer = false, hasDatabase = false, hasLogin = false, hasPassword = false;
    bool tsv = false, header = false, init = false, force = false, demo = false, help = false;
    bool verify = false, exportVotes = false, csv = false;
    int meeting = 0;
    QString outputFile;
};

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

bool parse(const QStringList &args, Options *o, QString *problem)
{
    QStringList positional;
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args[i];
        auto value = [&](QString *target, bool *flag) {
            if (i + 1 >= args.size()) {
                *problem = QStringLiteral("option %1 needs a value").arg(a);
                return false;
            }
            *target = args[++i];
            if (flag)
                *flag = true;
            return true;
        };
        if (a == QLatin1String("-S")) {
            if (!value(&o->server, &o->hasServer))
                return false;
        } else if (a == QLatin1String("-d")) {
            if (!value(&o->database, &o->hasDatabase))
                return false;
        } else if (a == QLatin1String("-U")) {
            if (!value(&o->login, &o->hasLogin))
                return false;
        } else if (a == QLatin1String("-P")) {
            if (!value(&o->password, &o->hasPassword))
                return false;
        } else if (a == QLatin1String("-i")) {
            if (!value(&o->inputFile, nullptr))
                return false;
        } else if (a == QLatin1String("--backup")) {
            if (!value(&o->backup, nullptr))
                return false;
        } else if (a == QLatin1String("--tsv")) {
            o->tsv = true;
        } else if (a == QLatin1String("--header")) {
            o->header = true;
        } else if (a == QLatin1String("--init")) {
            o->init = true;
        } else if (a == QLatin1String("--force")) {
            o->force = true;
        } else if (a == QLatin1String("--demo")) {
            o->demo = true;
        } else if (a == QLatin1String("--verify") || a == QLatin1String("--export")) {
            (a == QLatin1String("--verify") ? o->verify : o->exportVotes) = true;
            // An optional meeting number follows.
            bool number = false;
            const int meeting = i + 1 < args.size() ? args[i + 1].toInt(&number) : 0;
            if (number && meeting > 0) {
                o->meeting = meeting;
                ++i;
            }
        } else if (a == QLatin1String("--csv")) {
            o->csv = true;
        } else if (a == QLatin1String("-o")) {
            if (!value(&o->outputFile, nullptr))
                return false;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o->help = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1 && positional.isEmpty()) {
            *problem = QStringLiteral("unknown option %1").arg(a);
            return false;
        } else {
            positional << a;
        }
    }
    if (positional.size() > 1) {
        *problem = QStringLiteral("give the statement as one argument (in quotes)");
        return false;
    }
    if (!positional.isEmpty())
        o->statement = positional.first();
    if (o->verify && o->exportVotes) {
        *problem = QStringLiteral("--verify and --export are separate runs");
        return false;
    }
    if ((o->csv || !o->outputFile.isEmpty()) && !o->exportVotes) {
        *problem = QStringLiteral("--csv and -o are used only with --export");
        return false;
    }
    if (o->force && !o->init) {
        *problem = QStringLiteral("--force is used only with --init");
        return false;
    }
    return true;
}

QString tsvField(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("\\N");
    QString s = v.toString();
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return s;
}

QString plainField(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    QString s = v.toString();
    for (QChar &c : s)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return s;
}

class Printer {
public:
    explicit Printer(const Options &o) : m_o(o) {}

    void print(const ResultSet &rs)
    {
        if (m_o.tsv)
            printTsv(rs);
        else
            printAligned(rs);
        out().flush();
    }

private:
    void printTsv(const ResultSet &rs)
    {
        if (m_o.header)
            out() << rs.columns.join(QLatin1Char('\t')) << '\n';
        for (const auto &row : rs.rows) {
            QStringList fields;
            for (const QVariant &v : row)
                fields << tsvField(v);
            out() << fields.join(QLatin1Char('\t')) << '\n';
        }
    }

    void printAligned(const ResultSet &rs)
    {
        if (m_printed++)
            out() << '\n';
        const int n = rs.columns.size();
        QVector<int> width(n);
        QVector<QStringList> cells;
        for (int c = 0; c < n; ++c)
            width[c] = rs.columns[c].size();
        for (const auto &row : rs.rows) {
            QStringList line;
            for (int c = 0; c < n; ++c) {
                line << plainField(row.value(c));
                width[c] = qMax(width[c], line.last().size());
            }
            cells << line;
        }
        auto printLine = [&](const QStringList &fields) {
            QString line;
            for (int c = 0; c < n; ++c) {
                if (c)
                    line += QLatin1Char(' ');
                line += c + 1 < n ? fields[c].leftJustified(width[c]) : fields[c];
            }
            out() << line << '\n';
        };
        printLine(rs.columns);
        QStringList rule;
        for (int c = 0; c < n; ++c)
            rule << QString(width[c], QLatin1Char('-'));
        printLine(rule);
        for (const QStringList &line : cells)
            printLine(line);
        out() << '(' << rs.rowCount() << (rs.rowCount() == 1 ? " row)" : " rows)") << '\n';
    }

    const Options &m_o;
    int m_printed = 0;
};

int failWith(const QString &text)
{
    err() << text << '\n';
    err().flush();
    return 1;
}

// --init: a new embedded file, or a new database on a PostgreSQL server ("pg:host:port";
// the login needs the right to create databases). 0 on success.
int createDatabase(const Options &o, const ConnectionParams &p)
{
    QString problem;
    switch (DbConnection::engineFor(p.server)) {
    case DbEngine::Embedded: {
        const QString file = DbConnection::embeddedFilePath(p);
        if (!schema::createEmbedded(file, &problem, o.force))
            return failWith(problem);
        err() << "voter-sql: created " << QDir::toNativeSeparators(file) << '\n';
        break;
    }
    case DbEngine::Postgres:
        if (!schema::createPostgresDatabase(p, &problem, o.force))
            return failWith(problem);
        err() << "voter-sql: created database " << p.database << " on " << p.server << '\n';
        break;
    default:
        return failWith(QStringLiteral("--init creates an embedded or a PostgreSQL database; for SQL Server "
                                       "run mssql.sql from src/db/schema with the server's tools."));
    }
    err().flush();
    return 0;
}

int run(const Options &o)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString settings = settingsPathFor(QDir(programDir).filePath(QStringLiteral("voter")));
    const QString section = QStringLiteral("Podkluchenie");

    ConnectionParams p;
    if (o.init) {
        // A new database is always an embedded file: -d names it, "voter" by default.
        p.server = o.hasServer ? o.server : QString();
        p.database = o.hasDatabase ? o.database : QStringLiteral("voter");
        p.login = o.hasLogin ? o.login : QStringLiteral("admin1");
        p.password = o.hasPassword ? o.password : p.login;
        if (const int failed = createDatabase(o, p))
            return failed;
    } else {
        p.server = o.hasServer ? o.server : iniRead(settings, section, QStringLiteral("Server"));
        p.database = o.hasDatabase ? o.database : iniRead(settings, section, QStringLiteral("Basa"), QStringLiteral("voter"));
        p.login = o.hasLogin ? o.login : iniRead(settings, section, QStringLiteral("Login"), QStringLiteral("admin1"));
    }
    p.password = o.hasPassword ? o.password : p.login;

    DbConnection db;
    if (!db.open(p))
        return failWith(db.firstErrorText());

    if (o.demo) {
        QString problem;
        if (!schema::loadDemo(db, programDir, &problem))
            return failWith(problem);
        err() << "voter-sql: demo data loaded\n";
        err().flush();
    }

    if (o.verify)
        return proverkaZhurnala(db, o.meeting, out(), err());
    if (o.exportVotes)
        return eksportGolosovanii(db, o.meeting, o.csv, o.outputFile, err());
    if (!o.backup.isEmpty()) {
        QString problem;
        if (!kopiya::sdelat(db, o.backup, &problem))
            return failWith(problem);
        err() << "voter-sql: copied to " << QDir::toNativeSeparators(o.backup) << '\n';
        err().flush();
    }

    Printer printer(o);
    auto runText = [&](const QString &text, const QString &origin) {
        QString problem, statement;
        if (schema::runScript(db, text, &problem, [&](const ResultSet &rs) { printer.print(rs); }, &statement))
            return true;
        err() << problem << '\n';
        if (!origin.isEmpty())
            err() << "voter-sql: " << origin << ": the failing statement was:\n" << statement << '\n';
        err().flush();
        return false;
    };

    bool ran = false;
    if (!o.inputFile.isEmpty()) {
        QFile f(o.inputFile);
        if (!f.open(QIODevice::ReadOnly))
            return failWith(QStringLiteral("Cannot read \"%1\".").arg(o.inputFile));
        if (!runText(QString::fromUtf8(f.readAll()), o.inputFile))
            return 1;
        ran = true;
    }
    if (!o.statement.isEmpty()) {
        if (!runText(o.statement, QString()))
            return 1;
        ran = true;
    }
    if (!ran && !o.init && !o.demo && o.backup.isEmpty()) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return failWith(QStringLiteral("Cannot read standard input."));
        if (!runText(QString::fromUtf8(in.readAll()), QStringLiteral("standard input")))
            return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    // The demo document is drawn with QtGui's PDF writer, which needs a GUI application; the
    // offscreen platform keeps voter-sql usable where there is no display.
    bool demo = false;
    for (int i = 1; i < argc; ++i)
        demo = demo || qstrcmp(argv[i], "--demo") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (demo) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    Options o;
    QString problem;
    if (!parse(QCoreApplication::arguments(), &o, &problem)) {
        err() << "voter-sql: " << problem << "\n\n" << kUsage;
        return 2;
    }
    if (o.help) {
        out() << kUsage;
        return 0;
    }
    return run(o);
}
