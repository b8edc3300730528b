#include "db/connection.h"

#include "db/tsql.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

namespace {

QAtomicInt g_connectionCounter;

// SQLite's extended result code for a violated foreign key.
constexpr int kSqliteConstraintForeignKey = 787;

QVariant normalise(const QVariant &v)
{
    if (v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
    case QMetaType::ULongLong:
        return QVariant(v.toLongLong());
    case QMetaType::Bool:
        return QVariant(qlonglong(v.toBool() ? 1 : 0));
    default:
        return v;
    }
}

// Returns false when fetching a row failed: the driver then ends the rows early, and that
// must not pass for the end of the result.
bool readRows(QSqlQuery &q, ResultSet *out)
{
    out->columns.clear();
    out->rows.clear();
    const QSqlRecord rec = q.record();
    const int n = rec.count();
    for (int i = 0; i < n; ++i)
        out->columns << rec.fieldName(i);
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = normalise(q.value(i));
        out->rows.push_back(std::move(row));
    }
    return !q.lastError().isValid();
}

}  // namespace

int ResultSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant ResultSet::value(int row, int column) const
{
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return QVariant();
    return rows[row][column];
}

QVariant ResultSet::value(int row, const QString &column) const
{
    return value(row, columnIndex(column));
}

QVariant ResultSet::scalar() const
{
    return value(0, 0);
}

DbConnection::DbConnection()
    : m_name(QStringLiteral("voter-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1)))
{
}

DbConnection::~DbConnection()
{
    close();
}

DbEngine DbConnection::engineFor(const QString &server)
{
    const QString s = server.trimmed().toLower();
    if (s.isEmpty() || s == QLatin1String("embedded") || s == QLatin1String("local")
        || s.startsWith(QLatin1String("sqlite:")))
        return DbEngine::Embedded;
    return DbEngine::SqlServer;
}

QString DbConnection::embeddedFilePath(const ConnectionParams &params)
{
    QString name = params.database.trimmed();
    const QString server = params.server.trimmed();
    if (server.toLower().startsWith(QLatin1String("sqlite:")) && server.size() > 7)
        name = server.mid(7);  // "sqlite:/path/file.db" names the file directly
    if (name.isEmpty())
        name = QStringLiteral("voter");
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".db");
    if (QDir::isAbsolutePath(name))
        return name;
    const QString base = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                      : QDir::currentPath();
    return QDir(base).filePath(name);
}

static QString odbcValue(const QString &v)
{
    // ODBC: a value containing ; { } or leading/trailing blanks goes in braces, '}' doubled.
    if (v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('{')) || v.contains(QLatin1Char('}'))
        || v.trimmed() != v) {
        QString e = v;
        e.replace(QLatin1String("}"), QLatin1String("}}"));
        return QLatin1Char('{') + e + QLatin1Char('}');
    }
    return v;
}

QString DbConnection::odbcConnectionString(const ConnectionParams &p)
{
    // "host\instance" names an instance; "host,port" a port; FreeTDS takes both forms.
    QString server = p.server.trimmed();
    QString host = server;
    QString port;
    QString instance;
    const int comma = server.indexOf(QLatin1Char(','));
    const int slash = server.indexOf(QLatin1Char('\\'));
    if (comma >= 0) {
        host = server.left(comma).trimmed();
        port = server.mid(comma + 1).trimmed();
    } else if (slash >= 0) {
        host = server.left(slash).trimmed();
        instance = server.mid(slash + 1).trimmed();
    }
    QStringList parts;
    parts << QStringLiteral("DRIVER={FreeTDS}");
    parts << QStringLiteral("SERVER=") + odbcValue(host);
    if (!port.isEmpty())
        parts << QStringLiteral("PORT=") + odbcValue(port);
    if (!instance.isEmpty())
        parts << QStringLiteral("INSTANCE=") + odbcValue(instance);
    parts << QStringLiteral("DATABASE=") + odbcValue(p.database);
    parts << QStringLiteral("UID=") + odbcValue(p.login);
    parts << QStringLiteral("PWD=") + odbcValue(p.password);
    parts << QStringLiteral("TDS_Version=7.4") << QStringLiteral("ClientCharset=UTF-8");
    return parts.join(QLatin1Char(';')) + QLatin1Char(';');
}

bool DbConnection::open(const ConnectionParams &params)
{
    close();
    m_params = params;
    m_engine = engineFor(params.server);
    const bool ok = m_engine == DbEngine::Embedded ? openEmbedded() : openServer();
    if (!ok) {
        const QList<DbError> keep = m_errors;
        close();
        m_errors = keep;
    }
    return ok;
}

QSqlDatabase DbConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool DbConnection::openEmbedded()
{
    const QString path = embeddedFilePath(m_params);
    if (!QFileInfo::exists(path)) {
        setError(QStringLiteral("Cannot open database \"%1\": the file does not exist.").arg(path), 4060);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        takeError(db.lastError());
        return false;
    }
    QString err;
    if (!tsql::installFunctions(db, &err)) {
        setError(err, 0);
        return false;
    }
    QSqlQuery q(db);
    for (const char *pragma : {"PRAGMA busy_timeout=5000", "PRAGMA journal_mode=WAL", "PRAGMA foreign_keys=ON"}) {
        if (!q.exec(QString::fromLatin1(pragma))) {
            takeError(q.lastError());
            return false;
        }
    }
    // Logins and passwords live in a table of the embedded database, as on a server.
    q.prepare(QStringLiteral("SELECT password FROM logins WHERE login = ?"));
    q.addBindValue(m_params.login);
    if (!q.exec()) {
        takeError(q.lastError());
        return false;
    }
    if (!q.next() || q.value(0).toString() != m_params.password) {
        setError(QStringLiteral("Login failed for user '%1'.").arg(m_params.login), 18456);
        return false;
    }
    return true;
}

bool DbConnection::openServer()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC"))) {
        setError(QStringLiteral("The ODBC driver for SQL Server is not installed."), 0);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    db.setDatabaseName(odbcConnectionString(m_params));
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=5;SQL_ATTR_CONNECTION_TIMEOUT=5"));
    if (!db.open()) {
        takeError(db.lastError());
        return false;
    }
    return true;
}

void DbConnection::close()
{
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_engine = DbEngine::None;
}

bool DbConnection::isOpen() const
{
    return m_engine != DbEngine::None && database().isOpen();
}

void DbConnection::setError(const QString &description, int nativeError)
{
    m_errors.clear();
    m_errors.append(DbError{description, nativeError});
}

QString DbConnection::firstErrorText() const
{
    return m_errors.isEmpty() ? QString() : m_errors.first().description;
}

void DbConnection::takeError(const QSqlError &error)
{
    int native = error.nativeErrorCode().toInt();
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    if (m_engine == DbEngine::Embedded && native == kSqliteConstraintForeignKey) {
        native = DbError::ReferenceViolation;
        text = QStringLiteral("The statement conflicted with a REFERENCE constraint: "
                              "rows of another table refer to this row. The statement has been terminated.");
    }
    setError(text, native);
}

bool DbConnection::exec(const QString &sql)
{
    ResultSet ignored;
    return query(sql, &ignored);
}

bool DbConnection::query(const QString &sql, ResultSet *out)
{
    ResultSet local;
    if (!out)
        out = &local;
    out->columns.clear();
    out->rows.clear();
    ++m_statements;
    if (m_engine == DbEngine::None || !database().isOpen()) {
        setError(QStringLiteral("The connection is not open."), 0);
        return false;
    }
    return m_engine == DbEngine::Embedded ? runEmbedded(sql, out) : runServer(sql, out);
}

bool DbConnection::runEmbedded(const QString &sql, ResultSet *out)
{
    const tsql::Translation &t = tsql::translate(sql);
    if (!t.ok()) {
        setError(t.error, 102);  // SQL Server's "incorrect syntax" number
        return false;
    }
    QSqlDatabase db = database();
    for (const QString &stmt : t.statements) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(stmt)) {
            takeError(q.lastError());
            return false;
        }
        if (q.isSelect() && !readRows(q, out)) {
            takeError(q.lastError());
            out->rows.clear();
            return false;
        }
    }
    return true;
}

bool DbConnection::runServer(const QString &sql, ResultSet *out)
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        takeError(q.lastError());
        return false;
    }
    // A batch may carry several result sets; the last one with columns counts.
    do {
        if (q.isSelect() && !readRows(q, out)) {
            takeError(q.lastError());
            out->rows.clear();
            return false;
        }
    } while (q.nextResult());
    return true;
}

QVariant DbConnection::scalar(const QString &sql, bool *ok)
{
    ResultSet rs;
    const bool r = query(sql, &rs);
    if (ok)
        *ok = r;
    return r ? rs.scalar() : QVariant();
}

bool DbConnection::beginTransaction()
{
    // IMMEDIATE takes the write lock at once, so a busy database waits the 5 s time-out
    // here instead of failing halfway through the steps.
    return exec(m_engine == DbEngine::Embedded ? QStringLiteral("BEGIN IMMEDIATE")
                                               : QStringLiteral("BEGIN TRANSACTION"));
}

bool DbConnection::commit()
{
    return exec(m_engine == DbEngine::Embedded ? QStringLiteral("COMMIT")
                                               : QStringLiteral("COMMIT TRANSACTION"));
}

bool DbConnection::rollback()
{
    return exec(m_engine == DbEngine::Embedded ? QStringLiteral("ROLLBACK")
                                               : QStringLiteral("ROLLBACK TRANSACTION"));
}

bool DbConnection::inTransaction(const std::function<bool()> &steps)
{
    if (!beginTransaction())
        return false;
    if (steps() && commit())
        return true;
    const QList<DbError> prichina = m_errors;
    rollback();
    if (!prichina.isEmpty())
        m_errors = prichina;
    return false;
}

namespace sql {

QString escape(const QString &text)
{
    QString e = text;
    e.replace(QLatin1Char('\''), QLatin1String("''"));
    return e;
}

QString quote(const QString &text)
{
    return QLatin1Char('\'') + escape(text) + QLatin1Char('\'');
}

static QString likeLiteral(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('['))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return escape(out);
}

QString quoteLike(const QString &text)
{
    return QLatin1Char('\'') + likeLiteral(text) + QLatin1Char('\'');
}

QString quoteLikePrefix(const QString &prefix)
{
    return QLatin1Char('\'') + likeLiteral(prefix) + QLatin1String("%'");
}

QString lines(const QStringList &pieces)
{
    return pieces.join(QLatin1Char('\n'));
}

}  // namespace sql
