#include "db/connection.h"

#include "db/dbfiles.h"
#include "db/parol.h"
#include "db/zhurnal.h"
#include "db/prava.h"
#include "db/schema.h"
#include "db/tsql.h"
#include "db/dnevnik.h"
#include "db/oshibki.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

#include <sqlite3.h>

namespace {

QAtomicInt g_connectionCounter;

// SQLite's extended result code for a violated foreign key.
constexpr int kSqliteConstraintForeignKey = 787;
constexpr int kSqliteAuth = 23;
constexpr int kSqliteConstraintTrigger = 1811;

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
    for (int i = 0; i < n; ++i) {
        // Engines that refuse an empty column name get a generated one; it reads as blank.
        const QString name = rec.fieldName(i);
        out->columns << (name.startsWith(QLatin1String(tsql::kBlankColumnPrefix)) ? QString() : name);
    }
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
    : m_name(QStringLiteral("voter-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1))),
      m_prava(std::make_unique<prava::Kontekst>())
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
    if (s.startsWith(QLatin1String("pg:")))
        return DbEngine::Postgres;
    return DbEngine::SqlServer;
}

bool DbConnection::postgresAddress(const QString &server, QString *host, int *port)
{
    const QString s = server.trimmed();
    if (!s.startsWith(QLatin1String("pg:"), Qt::CaseInsensitive))
        return false;
    QString rest = s.mid(3);
    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {  // [IPv6]:port
        const int close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        *host = rest.mid(1, close - 1);
        rest = rest.mid(close + 1);
        if (rest.startsWith(QLatin1Char(':')))
            portText = rest.mid(1);
        else if (!rest.isEmpty())
            return false;
    } else {
        const int colon = rest.lastIndexOf(QLatin1Char(':'));
        *host = colon < 0 ? rest : rest.left(colon);
        if (colon >= 0)
            portText = rest.mid(colon + 1);
    }
    *host = host->trimmed();
    if (host->isEmpty() || host->contains(QLatin1Char(' ')) || host->contains(QLatin1Char(':')) != s.contains(QLatin1Char('[')))
        return false;
    *port = 5432;
    if (!portText.isEmpty()) {
        bool ok = false;
        *port = portText.trimmed().toInt(&ok);
        if (!ok || *port < 1 || *port > 65535)
            return false;
    }
    return true;
}

namespace {

struct EmbeddedName {
    QString base;  // the program folder
    QString name;  // file name with its suffix, relative or absolute
    bool asGiven;  // a full path or a "sqlite:" path: used as it is, never moved
};

EmbeddedName embeddedName(const ConnectionParams &params, const QString &programDir)
{
    EmbeddedName n;
    n.name = params.database.trimmed();
    const QString server = params.server.trimmed();
    n.asGiven = false;
    if (server.toLower().startsWith(QLatin1String("sqlite:")) && server.size() > 7) {
        n.name = server.mid(7);  // "sqlite:/path/file.db" names the file directly
        n.asGiven = true;
    }
    if (n.name.isEmpty())
        n.name = QStringLiteral("voter");
    if (QFileInfo(n.name).suffix().isEmpty())
        n.name += QStringLiteral(".db");
    if (QDir::isAbsolutePath(n.name))
        n.asGiven = true;
    n.base = programDir;
    if (n.base.isEmpty())
        n.base = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return n;
}

}  // namespace

QString DbConnection::embeddedFilePath(const ConnectionParams &params, const QString &programDir)
{
    const EmbeddedName n = embeddedName(params, programDir);
    if (QDir::isAbsolutePath(n.name))
        return n.name;
    if (n.asGiven)
        return QDir(n.base).filePath(n.name);
    return dbfiles::locate(n.base, n.name);
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

bool DbConnection::open(const ConnectionParams &params, const QString &programDir)
{
    close();
    m_params = params;
    m_programDir = programDir;
    m_engine = engineFor(params.server);
    const bool ok = m_engine == DbEngine::Embedded   ? openEmbedded()
                    : m_engine == DbEngine::Postgres ? openPostgres()
                                                     : openServer();
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
    const EmbeddedName n = embeddedName(m_params, m_programDir);
    // An older installation keeps its database beside the program, where the file dialogs
    // browse: it moves to the data folder as soon as nobody has it open.
    if (!n.asGiven)
        dbfiles::migrateLegacy(n.base, n.name);
    const QString path = embeddedFilePath(m_params, m_programDir);
    if (!QFileInfo::exists(path)) {
        setError(QStringLiteral("Cannot open database \"%1\": the file does not exist.").arg(path), 4060);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    m_file = path;
    m_fileId = dbfiles::identity(path);
    dbfiles::opened(path);
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
    // Logins and passwords live in a table of the embedded database, as on a server, as
    // salted hashes; rows still in the clear (an older database, a password set by hand) are
    // hashed first. A database too busy for that is still opened: the rows are hashed on a
    // later open, and the check below takes either form.
    sqlite3 *handle = tsql::sqliteHandle(db);
    QString problem;
    if (!parol::heshirovatOtkrytye(handle, &problem))
        qWarning("voter: the passwords of the logins could not be hashed yet: %s", qPrintable(problem));
    q.prepare(QStringLiteral("SELECT password FROM logins WHERE login = ?"));
    q.addBindValue(m_params.login);
    if (!q.exec()) {
        takeError(q.lastError());
        return false;
    }
    const bool known = q.next();
    const QString stored = known ? q.value(0).toString() : QString();
    q.finish();
    if (!known || !parol::proverit(m_params.password, stored)) {
        setError(QStringLiteral("Login failed for user '%1'.").arg(m_params.login), 18456);
        return false;
    }
    // A database made before the vote journal existed gets it now, with what it already
    // holds as the journal's starting record; without it the minutes could not be printed.
    if (!zhurnal::dobavitSqlite(handle, &problem)) {
        setError(problem, 0);
        return false;
    }
    if (!prava::ustanovit(handle, m_params.login, m_prava.get(), &problem)) {
        setError(problem, 0);
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

namespace {

// Connection options that keep a screen alive when the network is not: a connect attempt
// gives up after 5 s; unacknowledged data (tcp_user_timeout) or a silent peer (keepalives
// after 1 s idle, 3 probes 1 s apart) end the connection within about 4 s, so the statement
// fails instead of hanging for as long as a cable is cut.
const char kPostgresOptions[] = "connect_timeout=5;keepalives=1;keepalives_idle=1;keepalives_interval=1;"
                                "keepalives_count=3;tcp_user_timeout=4000;application_name=voter";

// Settings each session needs to read and write as SQL Server does: day-first date
// literals ('05.03.2014' is 5 March) and dates printed in ISO form.
bool setUpPostgresSession(QSqlDatabase &db, QSqlError *error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SET datestyle = 'ISO, DMY'"))) {
        *error = q.lastError();
        return false;
    }
    return true;
}

// The native numbers SQL Server gives for the failures the program and its users meet.
int nativeForSqlState(const QString &state)
{
    static const QHash<QString, int> numbers = {
        {QStringLiteral("23503"), 547},    // reference violation
        {QStringLiteral("23505"), 2627},   // duplicate key
        {QStringLiteral("23502"), 515},    // NULL into a NOT NULL column
        {QStringLiteral("22012"), 8134},   // division by zero
        {QStringLiteral("22P02"), 245},    // conversion failed
        {QStringLiteral("22007"), 241},    // conversion of a date failed
        {QStringLiteral("22008"), 242},    // date out of range
        {QStringLiteral("21000"), 512},    // sub-select returned more than one value
        {QStringLiteral("42601"), 102},    // incorrect syntax
        {QStringLiteral("42P01"), 208},    // invalid object name
        {QStringLiteral("42703"), 207},    // invalid column name
        {QStringLiteral("42883"), 195},    // not a recognised function
        {QStringLiteral("42501"), 229},    // permission denied
        {QStringLiteral("28P01"), 18456},  // login failed
        {QStringLiteral("28000"), 18456},
        {QStringLiteral("3D000"), 4060},   // cannot open database
        {QStringLiteral("40P01"), 1205},   // deadlock victim
        {QStringLiteral("57014"), -2},     // time-out / cancelled
    };
    return numbers.value(state, 0);
}

// A failure that means the server or the link is gone rather than the statement being wrong.
bool isLinkFailure(const QString &state)
{
    return state.isEmpty() || state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01")
           || state == QLatin1String("57P02") || state == QLatin1String("57P03");
}

}  // namespace

bool DbConnection::openPostgres()
{
    QString host;
    int port = 0;
    if (!postgresAddress(m_params.server, &host, &port)) {
        setError(QStringLiteral("The server \"%1\" is not of the form pg:host or pg:host:port.").arg(m_params.server), 0);
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        setError(QStringLiteral("The PostgreSQL driver is not installed (package libqt6sql6-psql)."), 0);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(m_params.database.trimmed().isEmpty() ? QStringLiteral("voter") : m_params.database.trimmed());
    db.setUserName(m_params.login);
    db.setPassword(m_params.password);
    db.setConnectOptions(QString::fromLatin1(kPostgresOptions));
    QSqlError error;
    if (!db.open() || !setUpPostgresSession(db, &error)) {
        takeError(error.isValid() ? error : db.lastError());
        return false;
    }
    // A database made before the vote journal existed gets it now (a login without the right
    // to create leaves that to the operator's console; the hall still works meanwhile).
    QString problem;
    if (!schema::dobavitZhurnalPostgres(db, &problem))
        qWarning("voter: %s", qPrintable(problem));
    m_linkLost = false;
    m_inTransaction = false;
    subscribe();
    return true;
}

bool DbConnection::listen(const QString &channel, std::function<void()> onChange)
{
    m_listeners.insert(channel, std::move(onChange));
    return m_engine == DbEngine::Postgres && !m_linkLost && database().isOpen() && subscribe();
}

bool DbConnection::subscribe()
{
    if (m_listeners.isEmpty())
        return true;
    QSqlDatabase db = database();
    QSqlDriver *driver = db.driver();
    if (!driver || !db.isOpen())
        return false;
    // The driver object outlives a close and reopen of the same connection: one signal
    // connection per driver, or each reconnect would double every announcement.
    if (m_notifyDriver != driver) {
        m_notifyContext = std::make_unique<QObject>();
        m_notifyDriver = driver;
        QObject::connect(driver, &QSqlDriver::notification, m_notifyContext.get(),
                         [this](const QString &name, QSqlDriver::NotificationSource, const QVariant &) {
                             const auto it = m_listeners.constFind(name);
                             if (it == m_listeners.constEnd())
                                 return;
                             ++m_notifications;
                             const std::function<void()> f = it.value();  // the callback may listen() again
                             if (f)
                                 f();
                         });
    }
    bool ok = true;
    // A closed session lost its LISTENs on the server; the driver forgets them on close too.
    const QStringList active = driver->subscribedToNotifications();
    for (auto it = m_listeners.constBegin(); it != m_listeners.constEnd(); ++it)
        if (!active.contains(it.key()) && !driver->subscribeToNotification(it.key()))
            ok = false;
    return ok;
}

void DbConnection::close()
{
    if (!m_file.isEmpty()) {
        dbfiles::closed(m_file);
        m_file.clear();
    }
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_engine = DbEngine::None;
    m_linkLost = false;
    m_inTransaction = false;
    m_notifyContext.reset();
    m_notifyDriver = nullptr;
}

bool DbConnection::isOpen() const
{
    return m_engine != DbEngine::None && database().isOpen();
}

void DbConnection::setError(const QString &description, int nativeError)
{
    m_errors.clear();
    const QString shown = oshibki::soobshenie(description, nativeError, m_engine == DbEngine::Embedded);
    m_errors.append(DbError{shown, nativeError, description});
    // Every failure of a statement or of opening reaches the workstation's log once, here.
    dnevnik::oshibka(shown, nativeError);
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
    if (m_engine == DbEngine::Postgres) {
        const QString state = error.nativeErrorCode();
        native = nativeForSqlState(state);
        text = text.trimmed();
        // A refused login says why only in its text (no SQLSTATE comes back from a failed
        // connect); the workstation tells a wrong password by the number, as on the server.
        if (error.type() == QSqlError::ConnectionError
            && (text.contains(QLatin1String("password authentication failed")) || text.contains(QLatin1String("role \""))
                || text.contains(QLatin1String("no pg_hba.conf entry")) || text.contains(QLatin1String("password"))))
            native = 18456;
        else if (error.type() == QSqlError::ConnectionError && text.contains(QLatin1String("database \"")))
            native = 4060;
        if (native == 18456)
            text = QStringLiteral("Login failed for user '%1'.").arg(m_params.login);
    }
    if (m_engine == DbEngine::Embedded && native == kSqliteConstraintForeignKey) {
        native = DbError::ReferenceViolation;
        text = QStringLiteral("The statement conflicted with a REFERENCE constraint: "
                              "rows of another table refer to this row. The statement has been terminated.");
    } else if (m_engine == DbEngine::Embedded && native == kSqliteAuth) {
        native = prava::kOtkazano;
        if (!m_prava->posledniiOtkaz.isEmpty())
            text = m_prava->posledniiOtkaz;
    } else if (m_engine == DbEngine::Embedded && native == kSqliteConstraintTrigger
               && text.startsWith(prava::prefiksOtkazaStroki())) {
        native = prava::kOtkazano;
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
    if (m_engine == DbEngine::Postgres && m_linkLost)
        return runPostgres(sql, out);  // reconnects first
    if (m_engine == DbEngine::None || !database().isOpen()) {
        setError(QStringLiteral("The connection is not open."), 0);
        return false;
    }
    if (m_engine == DbEngine::Postgres)
        return runPostgres(sql, out);
    return m_engine == DbEngine::Embedded ? runEmbedded(sql, out) : runServer(sql, out);
}

bool DbConnection::runPostgres(const QString &sql, ResultSet *out)
{
    QSqlDatabase db = database();
    if (m_linkLost) {
        // One new attempt a second at most, so a screen polling a dead link stays responsive.
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now < m_reconnectAt)
            return false;  // the pending error still tells why
        db.close();
        QSqlError error;
        if (!db.open() || !setUpPostgresSession(db, &error)) {
            takeError(error.isValid() ? error : db.lastError());
            m_reconnectAt = QDateTime::currentMSecsSinceEpoch() + 1000;
            return false;
        }
        m_linkLost = false;
        ++m_reconnects;
        subscribe();
    }
    const tsql::Translation &t = tsql::translate(sql, tsql::Dialect::Postgres);
    if (!t.ok()) {
        setError(t.error, 102);
        return false;
    }
    for (const QString &stmt : t.statements) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        bool ok = q.exec(stmt);
        if (ok && stmt.startsWith(QLatin1String("BEGIN"), Qt::CaseInsensitive))
            m_inTransaction = true;
        else if (ok && (stmt.startsWith(QLatin1String("COMMIT"), Qt::CaseInsensitive)
                        || stmt.startsWith(QLatin1String("ROLLBACK"), Qt::CaseInsensitive)))
            m_inTransaction = false;
        if (ok && q.isSelect() && !readRows(q, out)) {
            out->rows.clear();
            ok = false;
        }
        if (!ok) {
            const QSqlError error = q.lastError();
            takeError(error);
            if (isLinkFailure(error.nativeErrorCode())) {
                m_linkLost = true;  // a transaction dies with its session
                m_inTransaction = false;
                m_reconnectAt = 0;
            } else if (m_inTransaction) {
                // The server refuses every later statement of a transaction that had a
                // failure; SQL Server goes on. Roll back here so the next one is not refused.
                QSqlQuery rollback(db);
                rollback.exec(QStringLiteral("ROLLBACK"));
                m_inTransaction = false;
            }
            return false;
        }
    }
    return true;
}

bool DbConnection::runEmbedded(const QString &sql, ResultSet *out)
{
    const tsql::Translation &t = tsql::translate(sql);
    if (!t.ok()) {
        setError(t.error, 102);  // SQL Server's "incorrect syntax" number
        return false;
    }
    // SQLite goes on writing into a deleted file, or into the old one after another was put
    // in its place, and everything written then is lost to every other workstation.
    if (dbfiles::identity(m_file) != m_fileId) {
        setError(QStringLiteral("The database file \"%1\" was removed or replaced; the connection is lost.").arg(m_file), 10054);
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
