#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

namespace prava {
struct Kontekst;
}
#include <functional>

// One database error as the workstation shows it: the driver's description and the
// server's native error number (547 for a reference violation on both engines).
struct DbError {
    // A row still referred to by rows of another table (SQL Server's number, used for both).
    static constexpr int ReferenceViolation = 547;

    QString description;  // what the user reads: Russian, with the engine's text and number after it
    int nativeError = 0;
    QString engineText;   // the engine's own text, as it came
};

// The four connection parameters of the connection dialog.
struct ConnectionParams {
    QString server;
    QString database;
    QString login;
    QString password;
};

// Rows of one result set. Values are normalised so both engines return the same thing:
// integers as qlonglong, text as QString, NULL as a null QVariant, dates as text in
// SQL Server's canonical forms ("yyyy-MM-dd", "hh:mm:ss", "yyyy-MM-dd hh:mm:ss.zzz").
struct ResultSet {
    QStringList columns;
    QVector<QVector<QVariant>> rows;

    int rowCount() const { return rows.size(); }
    bool isEmpty() const { return rows.isEmpty(); }
    int columnIndex(const QString &name) const;  // case-insensitive, -1 when absent
    QVariant value(int row, int column) const;
    QVariant value(int row, const QString &column) const;
    // First row's first column, or a null QVariant when there is no row.
    QVariant scalar() const;
};

enum class DbEngine { None, Embedded, SqlServer, Postgres };

// The workstation's single connection (the main window's GlavBasa). Statements are T-SQL
// text; on the embedded engine they are translated to SQLite first.
//
// Error list: a failing statement replaces the pending errors with its own; a successful
// one leaves them as they are; handlers clear them with clearErrors().
class DbConnection {
public:
    DbConnection();
    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Chooses the engine from the server parameter (see engineFor) and opens with 5 s
    // time-outs. On failure returns false and leaves the reason in errors(). `programDir` is
    // the folder a relative embedded database name is found from (empty: the program's).
    bool open(const ConnectionParams &params, const QString &programDir = QString());
    void close();
    bool isOpen() const;
    DbEngine engine() const { return m_engine; }
    const ConnectionParams &params() const { return m_params; }

    // Embedded when the server is empty, "embedded", "local" or begins with "sqlite:";
    // PostgreSQL when it begins with "pg:" ("pg:host", "pg:host:port", "pg:[::1]:port");
    // otherwise SQL Server (case-insensitive).
    static DbEngine engineFor(const QString &server);
    // Host and port of a "pg:" server parameter; the port is 5432 when none is given.
    static bool postgresAddress(const QString &server, QString *host, int *port);
    // The SQLite file for the embedded engine: an absolute path, or the path after "sqlite:",
    // is used as it is (a relative one from the program folder); otherwise the database name
    // (".db" appended when it has no suffix) in the program folder's data folder, or an older
    // installation's file beside the program while it is still there.
    static QString embeddedFilePath(const ConnectionParams &params, const QString &programDir = QString());
    // ODBC connection string for SQL Server via FreeTDS; values are braced when needed.
    static QString odbcConnectionString(const ConnectionParams &params);

    // Runs one statement (or a batch) and discards any rows.
    bool exec(const QString &sql);
    // Runs a statement and returns the rows of its (last) result set.
    bool query(const QString &sql, ResultSet *out);
    // Convenience: first row's first column; null QVariant on no row or on failure.
    QVariant scalar(const QString &sql, bool *ok = nullptr);

    // Transactions where the engine allows them (used to mend the few multi-step writes).
    bool beginTransaction();
    bool commit();
    bool rollback();
    // Runs the steps as one transaction: true when they and the commit succeeded. Otherwise
    // it is rolled back and the errors of the failing step stay pending (a rollback that
    // fails too, the engine having ended the transaction itself, does not replace them).
    bool inTransaction(const std::function<bool()> &steps);

    const QList<DbError> &errors() const { return m_errors; }
    bool hasErrors() const { return !m_errors.isEmpty(); }
    void clearErrors() { m_errors.clear(); }
    // The description of the first pending error, or an empty text.
    QString firstErrorText() const;
    // Replaces the pending errors (used by the engine and by tests). The description is given
    // as the engine or the driver words it; the list holds it in Russian (db/oshibki.h).
    void setError(const QString &description, int nativeError);

    // Number of statements sent since open (benchmarks and soak figures).
    qint64 statementCount() const { return m_statements; }

    // PostgreSQL: `onChange` runs on this thread, from the event loop, each time the server
    // announces `channel` (a trigger's NOTIFY). The subscription is kept for the connection's
    // life and renewed on every open and reconnect. True when it is active now; the other
    // engines have no announcements and always give false (their readers poll).
    bool listen(const QString &channel, std::function<void()> onChange);
    // Announcements delivered, and sessions re-established after a lost link, since creation.
    qint64 notificationCount() const { return m_notifications; }
    qint64 reconnectCount() const { return m_reconnects; }
    QSqlDatabase database() const;

private:
    bool openEmbedded();
    bool openServer();
    bool openPostgres();
    bool runPostgres(const QString &sql, ResultSet *out);
    bool runEmbedded(const QString &sql, ResultSet *out);
    bool runServer(const QString &sql, ResultSet *out);
    void takeError(const class QSqlError &error);
    bool subscribe();  // (re)subscribes every listened channel on the open PostgreSQL session

    QString m_name;  // unique Qt connection name, several workstations per process
    ConnectionParams m_params;
    QString m_programDir;
    QString m_file;  // the embedded database file while open
    quint64 m_fileId = 0;  // its identity when opened: a file deleted or put in its place is a lost connection
    DbEngine m_engine = DbEngine::None;
    QList<DbError> m_errors;
    qint64 m_statements = 0;
    bool m_inTransaction = false;  // PostgreSQL: a transaction is open on the session
    bool m_linkLost = false;     // the server went away: reconnect before the next statement
    qint64 m_reconnectAt = 0;    // no new attempt before this time (ms since epoch)
    QHash<QString, std::function<void()>> m_listeners;
    std::unique_ptr<QObject> m_notifyContext;  // owns the driver signal's connection
    QObject *m_notifyDriver = nullptr;         // the driver that connection is on
    qint64 m_notifications = 0;
    qint64 m_reconnects = 0;
    // The embedded engine's rights of this login (read by the authorizer while open).
    std::unique_ptr<prava::Kontekst> m_prava;
};

// Statement-building helpers: every text value that goes into SQL passes through these.
namespace sql {
// 'text' with every single quote doubled.
QString quote(const QString &text);
// The inner text of a quoted literal: single quotes doubled, nothing added around it.
QString escape(const QString &text);
// A LIKE pattern that matches exactly `text`: wildcards % _ [ taken literally, quotes doubled,
// returned with the surrounding quotes.
QString quoteLike(const QString &text);
// A LIKE pattern matching texts that begin with `prefix` (literal), with quotes.
QString quoteLikePrefix(const QString &prefix);
// Joins statement pieces by line breaks, as a statement written as several pieces is sent.
QString lines(const QStringList &pieces);
}  // namespace sql
