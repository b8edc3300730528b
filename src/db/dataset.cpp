#include "db/dataset.h"

#include <QBrush>
#include <QRegularExpression>

DataSet::DataSet(DbConnection *db, QObject *parent) : QObject(parent), m_db(db) {}

DataSet::DataSet(DbConnection *db, QObject *parent, const QString &name, const QString &sql)
    : QObject(parent), m_db(db), m_sql(sql)
{
    setObjectName(name);
}

void DataSet::setSql(const QString &sql)
{
    m_sql = sql;
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    m_params.insert(name.startsWith(QLatin1Char(':')) ? name.mid(1) : name, value);
}

static QString literal(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return QString::number(v.toLongLong());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    default:
        return sql::quote(v.toString());
    }
}

QString DataSet::boundSql() const
{
    if (m_params.isEmpty())
        return m_sql;
    // Replace :name outside quoted literals only.
    QString out;
    out.reserve(m_sql.size() + 16);
    bool inQuote = false;
    for (int i = 0; i < m_sql.size(); ++i) {
        const QChar c = m_sql[i];
        if (c == QLatin1Char('\'')) {
            inQuote = !inQuote;
            out += c;
            continue;
        }
        if (!inQuote && c == QLatin1Char(':') && i + 1 < m_sql.size()
            && (m_sql[i + 1].isLetter() || m_sql[i + 1] == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < m_sql.size() && (m_sql[j].isLetterOrNumber() || m_sql[j] == QLatin1Char('_')))
                ++j;
            const QString name = m_sql.mid(i + 1, j - i - 1);
            if (m_params.contains(name)) {
                out += literal(m_params.value(name));
                i = j - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool DataSet::open()
{
    ResultSet rs;
    if (!m_db || !m_db->query(boundSql(), &rs)) {
        close();
        return false;
    }
    m_rs = std::move(rs);
    m_open = true;
    rebuildVisible();
    m_cur = m_visible.isEmpty() ? -1 : 0;
    Q_EMIT rowsChanged();
    Q_EMIT afterOpen();
    Q_EMIT afterScroll();
    return true;
}

void DataSet::close()
{
    const bool was = m_open || !m_rs.rows.isEmpty();
    m_open = false;
    m_rs = ResultSet();
    m_visible.clear();
    m_cur = -1;
    if (was)
        Q_EMIT rowsChanged();
}

bool DataSet::requery(const QString &keyField)
{
    const QVariant key = field(keyField);
    const int pos = m_cur;
    if (!open())
        return false;
    if (key.isValid() && locate(keyField, key))
        return true;
    if (pos >= 0 && rowCount() > 0)
        setCurrentRow(qMin(pos, rowCount() - 1));
    return true;
}

bool DataSet::setCurrentRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (row != m_cur) {
        m_cur = row;
        Q_EMIT afterScroll();
    }
    return true;
}

bool DataSet::next()
{
    if (m_cur + 1 >= rowCount()) {
        m_cur = rowCount();  // past the end: eof
        return false;
    }
    return setCurrentRow(m_cur + 1);
}

bool DataSet::prior()
{
    return setCurrentRow(m_cur - 1);
}

QVariant DataSet::value(int row, int column) const
{
    if (row < 0 || row >= m_visible.size())
        return QVariant();
    return m_rs.value(m_visible[row], column);
}

QVariant DataSet::value(int row, const QString &name) const
{
    return value(row, m_rs.columnIndex(name));
}

QVariant DataSet::field(const QString &name) const
{
    return value(m_cur, name);
}

QVariant DataSet::sourceValue(int sourceRow, const QString &name) const
{
    return m_rs.value(sourceRow, name);
}

bool DataSet::locate(const QString &fieldName, const QVariant &v)
{
    const int col = m_rs.columnIndex(fieldName);
    if (col < 0)
        return false;
    const QString wanted = v.toString();
    for (int r = 0; r < m_visible.size(); ++r) {
        const QVariant cell = m_rs.value(m_visible[r], col);
        if (!cell.isNull() && cell.toString() == wanted) {
            if (r != m_cur) {
                m_cur = r;
                Q_EMIT afterScroll();
            }
            return true;
        }
    }
    return false;
}

void DataSet::setFilter(Filter filter)
{
    m_filter = std::move(filter);
    const QVariant key = field(QStringLiteral("id"));
    rebuildVisible();
    m_cur = m_visible.isEmpty() ? -1 : 0;
    Q_EMIT rowsChanged();
    if (key.isValid())
        locate(QStringLiteral("id"), key);
    Q_EMIT afterScroll();
}

void DataSet::rebuildVisible()
{
    m_visible.clear();
    m_visible.reserve(m_rs.rows.size());
    for (int r = 0; r < m_rs.rows.size(); ++r)
        if (!m_filter || m_filter(*this, r))
            m_visible.push_back(r);
}

DataSetModel::DataSetModel(DataSet *set, QObject *parent) : QAbstractTableModel(parent), m_set(set)
{
    connect(set, &DataSet::rowsChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

void DataSetModel::setColumns(const QVector<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_set->rowCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return QVariant();
    const QString &f = m_columns[index.column()].field;
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = m_set->value(index.row(), f);
        return m_display ? m_display(index.row(), f, v) : v;
    }
    case Qt::BackgroundRole:
        if (m_background) {
            const QVariant c = m_background(index.row());
            if (c.isValid())
                return QBrush(c.value<QColor>());
        }
        return QVariant();
    case Qt::ForegroundRole:
        if (m_foreground) {
            const QVariant c = m_foreground(index.row());
            if (c.isValid())
                return QBrush(c.value<QColor>());
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}
