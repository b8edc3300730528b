#include "db/schema.h"

#include "db/parol.h"
#include "db/zhurnal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextDocument>

#include <sqlite3.h>

// Resources of a static library are registered by hand; this must sit outside any namespace.
static void initSchemaResources()
{
    Q_INIT_RESOURCE(schema);
}

namespace schema {

namespace {

// Scanner states shared by the batch and statement splitters.
enum class Scan { Code, Quote, Bracket, DoubleQuote, LineComment, BlockComment };

bool isGoLine(const QString &line, int *repeat)
{
    static const QRegularExpression re(QStringLiteral("^\\s*go(?:\\s+(\\d+))?\\s*(?:--.*)?$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(line);
    if (!m.hasMatch())
        return false;
    *repeat = m.captured(1).isEmpty() ? 1 : qMax(1, m.captured(1).toInt());
    return true;
}

// Walks `text` once, dropping comments and calling `cut` at each point where the caller may
// split (line starts in code for GO, semicolons in code). Quoted texts are copied whole.
template <typename AtLineStart, typename AtSemicolon>
QString scan(const QString &text, AtLineStart atLineStart, AtSemicolon atSemicolon)
{
    QString out;
    out.reserve(text.size());
    Scan state = Scan::Code;
    int depth = 0;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        if (state == Scan::Code && (i == 0 || text[i - 1] == QLatin1Char('\n'))) {
            const int eol = text.indexOf(QLatin1Char('\n'), i);
            const int len = (eol < 0 ? n : eol) - i;
            if (atLineStart(QStringView(text).mid(i, len).toString(), out)) {
                i = eol < 0 ? n : eol;  // skip the whole line, its break included
                continue;
            }
        }
        const QChar c = text[i];
        const QChar next = i + 1 < n ? text[i + 1] : QChar();
        switch (state) {
        case Scan::Code:
            if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
                state = Scan::LineComment;
                ++i;
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                state = Scan::BlockComment;
                depth = 1;
                ++i;
                out += QLatin1Char(' ');
            } else if (c == QLatin1Char(';')) {
                atSemicolon(out);
            } else {
                if (c == QLatin1Char('\''))
                    state = Scan::Quote;
                else if (c == QLatin1Char('['))
                    state = Scan::Bracket;
                else if (c == QLatin1Char('"'))
                    state = Scan::DoubleQuote;
                out += c;
            }
            break;
        case Scan::Quote:
        case Scan::Bracket:
        case Scan::DoubleQuote: {
            const QChar close = state == Scan::Quote     ? QLatin1Char('\'')
                                : state == Scan::Bracket ? QLatin1Char(']')
                                                         : QLatin1Char('"');
            out += c;
            if (c == close) {
                if (next == close) {  // doubled closing character stands for itself
                    out += next;
                    ++i;
                } else {
                    state = Scan::Code;
                }
            }
            break;
        }
        case Scan::LineComment:
            if (c == QLatin1Char('\n')) {
                state = Scan::Code;
                out += c;
            }
            break;
        case Scan::BlockComment:
            if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                ++depth;
                ++i;
            } else if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                ++i;
                if (--depth == 0)
                    state = Scan::Code;
            } else if (c == QLatin1Char('\n')) {
                out += c;  // keeps line numbers of what follows
            }
            break;
        }
    }
    return out;
}

void appendPiece(QStringList *list, const QString &piece, int times = 1)
{
    const QString t = piece.trimmed();
    if (t.isEmpty())
        return;
    for (int k = 0; k < times; ++k)
        list->append(t);
}

QString docsPath(const QString &programDir, const QString &put, const QString &fail)
{
    // Stored folders use backslashes whatever the platform.
    QString rel = put;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir(programDir).filePath(QStringLiteral("docs/") + rel + fail);
}

}  // namespace

QString script(const QString &name)
{
    initSchemaResources();
    QFile f(QStringLiteral(":/schema/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

QStringList splitBatches(const QString &text)
{
    QStringList batches;
    const QString rest = scan(
        text,
        [&](const QString &line, QString &out) {
            int repeat = 1;
            if (!isGoLine(line, &repeat))
                return false;
            appendPiece(&batches, out, repeat);
            out.clear();
            return true;
        },
        [](QString &out) { out += QLatin1Char(';'); });
    appendPiece(&batches, rest);
    return batches;
}

QStringList splitStatements(const QString &batch)
{
    QStringList statements;
    const QString rest = scan(
        batch, [](const QString &, QString &) { return false; },
        [&](QString &out) {
            appendPiece(&statements, out);
            out.clear();
        });
    appendPiece(&statements, rest);
    return statements;
}

bool runScript(DbConnection &db, const QString &text, QString *error, const ResultHandler &onResult,
               QString *failedStatement)
{
    // PostgreSQL gets its statements one by one too: each is rewritten on its own.
    const bool embedded = db.engine() == DbEngine::Embedded || db.engine() == DbEngine::Postgres;
    for (const QString &batch : splitBatches(text)) {
        // SQL Server takes a batch as it stands (function bodies hold semicolons); the
        // embedded engine is fed one statement at a time so an error names its statement.
        const QStringList statements = embedded ? splitStatements(batch) : QStringList{batch};
        for (const QString &statement : statements) {
            ResultSet rs;
            if (!db.query(statement, &rs)) {
                if (error)
                    *error = db.firstErrorText();
                if (failedStatement)
                    *failedStatement = statement;
                return false;
            }
            if (onResult && !rs.columns.isEmpty())
                onResult(rs);
        }
    }
    return true;
}

bool createPostgres(DbConnection &db, QString *error)
{
    // The tables, then the vote journal that chains their records.
    const QString tables = script(QStringLiteral("postgres.sql"));
    const QString journal = script(QStringLiteral("zhurnal-postgresql.sql"));
    const QString sql = tables.isEmpty() || journal.isEmpty() ? QString() : tables + QStringLiteral("\n") + journal;
    if (sql.isEmpty()) {
        if (error)
            *error = QStringLiteral("The schema script is missing from the program.");
        return false;
    }
    // The script is PostgreSQL's own dialect (function bodies): it goes past the rewriting.
    QSqlDatabase handle = db.database();
    QSqlQuery q(handle);
    const bool ok = q.exec(QStringLiteral("BEGIN;\n") + sql + QStringLiteral("\nCOMMIT;"));
    if (!ok) {
        if (error)
            *error = q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
        QSqlQuery(handle).exec(QStringLiteral("ROLLBACK"));
    }
    return ok;
}

bool dobavitZhurnalPostgres(QSqlDatabase &handle, QString *error)
{
    QSqlQuery q(handle);
    auto fail = [&](bool otkat) {
        if (error)
            *error = QStringLiteral("The vote journal cannot be added to the database: %1")
                         .arg(q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText());
        if (otkat)
            QSqlQuery(handle).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    // Only a hall's database (the journalled tables are there) that has no journal.
    const QString nuzhen = QStringLiteral("SELECT to_regclass('otvet') IS NOT NULL AND to_regclass('golosovanie') IS NOT NULL "
                                          "AND to_regclass('sessia_start') IS NOT NULL AND to_regclass('sessia') IS NOT NULL "
                                          "AND to_regclass('regim') IS NOT NULL AND to_regclass('zhurnal') IS NULL");
    // A cheap look first: almost always the journal is there.
    if (!q.exec(nuzhen) || !q.next())
        return fail(false);
    if (!q.value(0).toBool())
        return true;
    const QString journal = script(QStringLiteral("zhurnal-postgresql.sql"));
    if (journal.isEmpty()) {
        if (error)
            *error = QStringLiteral("The schema script is missing from the program.");
        return false;
    }
    if (!q.exec(QStringLiteral("BEGIN")))
        return fail(false);
    // The lock the journal's appenders take; then look again, another workstation may have done it.
    if (!q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7202601)")) || !q.exec(nuzhen) || !q.next())
        return fail(true);
    if (q.value(0).toBool()) {
        const QString moment = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        if (!q.exec(journal) || !q.exec(QStringLiteral("SELECT zhurnal_nachat(%1)").arg(sql::quote(moment))))
            return fail(true);
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail(true);
    return true;
}

bool createPostgresDatabase(const ConnectionParams &params, QString *error, bool replace)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    const QString name = params.database.trimmed().isEmpty() ? QStringLiteral("voter") : params.database.trimmed();
    QString ident = name;
    ident.replace(QLatin1Char('"'), QLatin1String("\"\""));
    ident = QLatin1Char('"') + ident + QLatin1Char('"');
    {
        ConnectionParams admin = params;
        admin.database = QStringLiteral("postgres");
        DbConnection server;
        if (!server.open(admin))
            return fail(server.firstErrorText());
        QSqlQuery q(server.database());
        // The name is checked as a value (through the quoting helper), then used as a name.
        if (!q.exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ") + sql::quote(name)))
            return fail(q.lastError().databaseText());
        if (q.next()) {
            if (!replace)
                return fail(QStringLiteral("The database \"%1\" already exists.").arg(name));
            if (!q.exec(QStringLiteral("DROP DATABASE ") + ident + QStringLiteral(" WITH (FORCE)")))
                return fail(q.lastError().databaseText());
        }
        if (!q.exec(QStringLiteral("CREATE DATABASE ") + ident + QStringLiteral(" ENCODING 'UTF8' TEMPLATE template0")))
            return fail(q.lastError().databaseText());
    }
    DbConnection db;
    ConnectionParams target = params;
    target.database = name;
    if (!db.open(target))
        return fail(db.firstErrorText());
    return createPostgres(db, error);
}

bool createEmbedded(const QString &path, QString *error, bool replace)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    const QFileInfo target(path);
    if (target.exists() && !replace)
        return fail(QStringLiteral("The database file \"%1\" already exists.").arg(path));
    if (!QDir().mkpath(target.absolutePath()))
        return fail(QStringLiteral("Cannot create the folder \"%1\".").arg(target.absolutePath()));
    const QString sql = script(QStringLiteral("sqlite.sql"));
    if (sql.isEmpty())
        return fail(QStringLiteral("The schema script is missing from the program."));

    const QString temp = target.absoluteFilePath() + QStringLiteral(".new");
    auto removeWithSidecars = [](const QString &file) {
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(file + QLatin1String(suffix));
    };
    removeWithSidecars(temp);

    sqlite3 *handle = nullptr;
    int rc = sqlite3_open_v2(temp.toUtf8().constData(), &handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString problem;
    if (rc != SQLITE_OK) {
        problem = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    } else {
        char *message = nullptr;
        // One transaction: fast, and all or nothing.
        const QByteArray body =
            "BEGIN;\n" + sql.toUtf8() + "\n" + zhurnal::sxemaSqlite().toUtf8() + "\nCOMMIT;\nPRAGMA journal_mode=WAL;";
        rc = sqlite3_exec(handle, body.constData(), nullptr, nullptr, &message);
        if (rc != SQLITE_OK) {
            problem = QString::fromUtf8(message ? message : sqlite3_errmsg(handle));
            sqlite3_free(message);
        } else {
            // The script names the default passwords; the file never holds them in the clear.
            parol::heshirovatOtkrytye(handle, &problem);
        }
    }
    if (sqlite3_close(handle) != SQLITE_OK && problem.isEmpty())
        problem = QStringLiteral("The new database could not be closed.");
    if (!problem.isEmpty()) {
        removeWithSidecars(temp);
        return fail(QStringLiteral("Cannot create the database \"%1\": %2").arg(path, problem));
    }
    if (target.exists() || QFileInfo::exists(path + QStringLiteral("-wal")))
        removeWithSidecars(path);
    if (QFileInfo::exists(path) || !QFile::rename(temp, path)) {
        removeWithSidecars(temp);
        return fail(QStringLiteral("Cannot replace the database file \"%1\".").arg(path));
    }
    return true;
}

QString dateFolder(const QDate &date)
{
    return date.toString(QStringLiteral("d.MM.yyyy"));
}

QString demoScript(const QDate &today)
{
    QString text = script(QStringLiteral("demo.sql"));
    text.replace(QLatin1String("$(TODAY)"), today.toString(QStringLiteral("yyyyMMdd")));
    text.replace(QLatin1String("$(DATEFOLDER)"), dateFolder(today));
    return text;
}

bool loadDemo(DbConnection &db, const QString &programDir, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!db.isOpen())
        return fail(QStringLiteral("The connection is not open."));
    bool ok = false;
    const qlonglong deputies = db.scalar(QStringLiteral("SELECT count(*) FROM deputat"), &ok).toLongLong();
    if (!ok)
        return fail(db.firstErrorText());
    const qlonglong meetings = db.scalar(QStringLiteral("SELECT count(*) FROM zasedanie"), &ok).toLongLong();
    if (!ok)
        return fail(db.firstErrorText());
    if (deputies > 0 || meetings > 0)
        return fail(QStringLiteral("The database already holds deputies or meetings; "
                                   "the demo data is loaded only into a new database."));

    if (!db.beginTransaction())
        return fail(db.firstErrorText());
    QString problem, statement;
    if (!runScript(db, demoScript(QDate::currentDate()), &problem, {}, &statement)) {
        db.rollback();
        return fail(problem + QStringLiteral("\nStatement: ") + statement);
    }
    if (!db.commit())
        return fail(db.firstErrorText());

    ResultSet docs;
    if (!db.query(QStringLiteral("SELECT fail, put FROM faili"), &docs))
        return fail(db.firstErrorText());
    for (int r = 0; r < docs.rowCount(); ++r) {
        const QString file = docsPath(programDir, docs.value(r, 1).toString(), docs.value(r, 0).toString());
        if (QFileInfo::exists(file))
            continue;  // never overwrite a document already in the store
        if (!QDir().mkpath(QFileInfo(file).absolutePath()))
            return fail(QStringLiteral("Cannot create the folder \"%1\".").arg(QFileInfo(file).absolutePath()));
        if (!writeDemoPdf(file, &problem))
            return fail(problem);
    }
    return true;
}

bool writeDemoPdf(const QString &path, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return fail(QStringLiteral("Writing a PDF needs a QGuiApplication."));

    const QString html = QStringLiteral(
        "<h2 align=center>ПРОЕКТ ЗАКОНА ОБЛАСТИ</h2>"
        "<h3 align=center>Об областном бюджете на очередной финансовый год</h3>"
        "<p align=right><i>Вносится Губернатором области</i></p>"
        "<h4>Статья 1. Основные характеристики областного бюджета</h4>"
        "<p>1. Утвердить основные характеристики областного бюджета на очередной финансовый год:</p>"
        "<p>1) прогнозируемый общий объём доходов областного бюджета в сумме, определённой "
        "приложением 1 к настоящему Закону;</p>"
        "<p>2) общий объём расходов областного бюджета в сумме, определённой приложением 2 к "
        "настоящему Закону;</p>"
        "<p>3) дефицит областного бюджета в размере, не превышающем предельного значения, "
        "установленного бюджетным законодательством.</p>"
        "<p>2. Утвердить верхний предел государственного внутреннего долга области на первое "
        "января года, следующего за очередным финансовым годом.</p>"
        "<h4>Статья 2. Доходы областного бюджета</h4>"
        "<p>Доходы областного бюджета формируются за счёт налоговых и неналоговых доходов, а "
        "также безвозмездных поступлений в соответствии с нормативами, установленными "
        "бюджетным законодательством и законами области.</p>"
        "<h4 style=\"page-break-before: always\">Статья 3. Расходы областного бюджета</h4>"
        "<p>1. Утвердить распределение бюджетных ассигнований по разделам, подразделам, "
        "целевым статьям и группам видов расходов согласно приложению 3 к настоящему Закону.</p>"
        "<p>2. Утвердить ведомственную структуру расходов областного бюджета согласно "
        "приложению 4 к настоящему Закону.</p>"
        "<p>3. Утвердить общий объём бюджетных ассигнований на исполнение публичных "
        "нормативных обязательств.</p>"
        "<h4>Статья 4. Межбюджетные трансферты</h4>"
        "<p>Утвердить распределение дотаций на выравнивание бюджетной обеспеченности "
        "муниципальных районов и городских округов согласно приложению 5 к настоящему Закону.</p>"
        "<h4 style=\"page-break-before: always\">Статья 5. Вступление в силу настоящего Закона</h4>"
        "<p>Настоящий Закон вступает в силу с первого января года, следующего за годом его "
        "принятия.</p>"
        "<p>&nbsp;</p>"
        "<p>Губернатор области</p>"
        "<p align=center><b>ПОЯСНИТЕЛЬНАЯ ЗАПИСКА</b></p>"
        "<p>Проект закона подготовлен в соответствии с Бюджетным кодексом и законом области "
        "о бюджетном процессе. Прогноз доходов основан на показателях социально-экономического "
        "развития области; расходы распределены по государственным программам области.</p>");

    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Проект закона об областном бюджете"));
    writer.setCreator(QStringLiteral("voter-sql"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 15, 20), QPageLayout::Millimeter);
    writer.setResolution(300);

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Liberation Serif"), 12));
    doc.setHtml(html);
    doc.print(&writer);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return fail(QStringLiteral("Cannot write the document \"%1\".").arg(path));
    return true;
}

}  // namespace schema
