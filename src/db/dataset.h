#pragma once

#include "db/connection.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QObject>
#include <QVariant>
#include <functional>

// A result set the way the forms work on it: a statement with named parameters (:a, :b),
// a current row, open/close/requery, locate by a field, a client-side filter, and the
// "after open" / "after scroll" events. Grids show it through DataSetModel.
class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(DbConnection *db = nullptr, QObject *parent = nullptr);
    // A named set (tests and the logs find it by its object name) with its statement.
    DataSet(DbConnection *db, QObject *parent, const QString &name, const QString &sql = QString());

    void setConnection(DbConnection *db) { m_db = db; }
    DbConnection *connection() const { return m_db; }

    // The statement; ":name" placeholders are replaced at open time by the parameter values
    // (integers in decimal, texts quoted with every single quote doubled, NULL for unset).
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const { return m_params.value(name); }
    // The statement text as it is sent, with the parameters substituted.
    QString boundSql() const;

    // Runs the statement. On failure the set is left closed and empty, the error stays in
    // the connection's pending-error list, and false is returned.
    bool open();
    void close();
    // Re-runs the statement and puts the cursor back on the row with the same key when the
    // set has a column "id" (or the given key field), else on the same position.
    bool requery(const QString &keyField = QStringLiteral("id"));
    bool isOpen() const { return m_open; }

    // Rows visible through the filter.
    int rowCount() const { return m_visible.size(); }
    bool isEmpty() const { return m_visible.isEmpty(); }
    int columnCount() const { return m_rs.columns.size(); }
    QStringList columns() const { return m_rs.columns; }

    // Cursor over the visible rows; -1 when empty.
    int currentRow() const { return m_cur; }
    bool setCurrentRow(int row);
    bool first() { return setCurrentRow(0); }
    bool last() { return setCurrentRow(rowCount() - 1); }
    bool next();
    bool prior();
    bool eof() const { return m_cur < 0 || m_cur >= rowCount(); }

    // Value of a field in the current row (null QVariant when no row or no such field).
    QVariant field(const QString &name) const;
    QVariant value(int row, const QString &name) const;
    QVariant value(int row, int column) const;

    // Moves to the first visible row whose field equals value (compared as text,
    // case-sensitive); returns false and keeps the cursor when there is none.
    bool locate(const QString &fieldName, const QVariant &value);

    // Client-side filter over the rows read; nullptr shows all.
    using Filter = std::function<bool(const DataSet &set, int sourceRow)>;
    void setFilter(Filter filter);
    QVariant sourceValue(int sourceRow, const QString &name) const;

    const ResultSet &resultSet() const { return m_rs; }

Q_SIGNALS:
    void afterOpen();
    void afterScroll();
    // Emitted whenever rows change (open, close, requery, filter) so models can reset.
    void rowsChanged();

private:
    void rebuildVisible();

    DbConnection *m_db = nullptr;
    QString m_sql;
    QHash<QString, QVariant> m_params;
    ResultSet m_rs;
    QVector<int> m_visible;
    Filter m_filter;
    int m_cur = -1;
    bool m_open = false;
};

// Table model over a DataSet for the grids: chosen columns with titles, and optional
// callbacks for the background and text colours of a row.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
        int width = 0;  // pixels; 0 leaves the view's default
    };

    explicit DataSetModel(DataSet *set, QObject *parent = nullptr);
    void setColumns(const QVector<Column> &columns);
    const QVector<Column> &columnSpecs() const { return m_columns; }

    using ColourFn = std::function<QVariant(int row)>;  // QColor or null
    void setBackground(ColourFn fn) { m_background = std::move(fn); }
    void setForeground(ColourFn fn) { m_foreground = std::move(fn); }
    using TextFn = std::function<QVariant(int row, const QString &field, const QVariant &value)>;
    void setDisplay(TextFn fn) { m_display = std::move(fn); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    DataSet *dataSet() const { return m_set; }

private:
    DataSet *m_set;
    QVector<Column> m_columns;
    ColourFn m_background;
    ColourFn m_foreground;
    TextFn m_display;
};
