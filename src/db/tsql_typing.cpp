#include "db/tsql_typing.h"

#include <QSet>

namespace tsql {

using namespace ast;

namespace {

const QHash<QString, ColumnTypes> &schemaTypes()
{
    using T = ValueType;
    static const QHash<QString, ColumnTypes> tables = {
        {QStringLiteral("zasedanie"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("data"), T::Date}, {QStringLiteral("opisanie"), T::Text},
          {QStringLiteral("vremya"), T::Time}, {QStringLiteral("start"), T::DateTime},
          {QStringLiteral("stop"), T::DateTime}}},
        {QStringLiteral("povestka"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_zasedanie"), T::Int}, {QStringLiteral("tip"), T::Int},
          {QStringLiteral("nomer"), T::Int}, {QStringLiteral("ord"), T::Int}, {QStringLiteral("opisanie"), T::Text},
          {QStringLiteral("info"), T::Text}, {QStringLiteral("aktiv"), T::Int},
          {QStringLiteral("aktiv_data"), T::DateTime}}},
        {QStringLiteral("faili"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_povestka"), T::Int}, {QStringLiteral("fail"), T::Text},
          {QStringLiteral("opisanie"), T::Text}, {QStringLiteral("put"), T::Text}}},
        {QStringLiteral("regim_golos"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("opisanie"), T::Text}, {QStringLiteral("regim"), T::Text},
          {QStringLiteral("ord"), T::Int}}},
        {QStringLiteral("povestka_regim"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_povestka"), T::Int},
          {QStringLiteral("id_regim"), T::Int}, {QStringLiteral("ord"), T::Int}}},
        {QStringLiteral("golosovanie"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("data"), T::DateTime}, {QStringLiteral("regim"), T::Text},
          {QStringLiteral("tip"), T::Int}, {QStringLiteral("vid"), T::Int}, {QStringLiteral("isbrano"), T::Int},
          {QStringLiteral("prisutstvuet"), T::Int}, {QStringLiteral("regim_polsov"), T::Text},
          {QStringLiteral("nuzno"), T::Int}, {QStringLiteral("zak"), T::Int}, {QStringLiteral("id_povestka"), T::Int},
          {QStringLiteral("id_sessia"), T::Int}}},
        {QStringLiteral("otvet"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_deputat"), T::Int}, {QStringLiteral("id_povestka"), T::Int},
          {QStringLiteral("result"), T::Int}, {QStringLiteral("id_golosovanie"), T::Int}}},
        {QStringLiteral("sessia_start"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_zasedanie"), T::Int},
          {QStringLiteral("start"), T::DateTime}, {QStringLiteral("stop"), T::DateTime}}},
        {QStringLiteral("sessia"),
         {{QStringLiteral("id_deputat"), T::Int}, {QStringLiteral("id_sessia"), T::Int},
          {QStringLiteral("id_zasedanie"), T::Int}}},
        {QStringLiteral("proshu_slovo"), {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_mesto"), T::Int}}},
        {QStringLiteral("deputat"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("familia"), T::Text}, {QStringLiteral("imya"), T::Text},
          {QStringLiteral("otchestvo"), T::Text}}},
        {QStringLiteral("mesto"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("nomer"), T::Text}, {QStringLiteral("connected"), T::Int},
          {QStringLiteral("podkl"), T::DateTime}}},
        {QStringLiteral("sostav"),
         {{QStringLiteral("id"), T::Int}, {QStringLiteral("id_deputat"), T::Int}, {QStringLiteral("id_mesto"), T::Int},
          {QStringLiteral("chairman"), T::Int}}},
        {QStringLiteral("konstanti"), {{QStringLiteral("opisanie"), T::Text}, {QStringLiteral("znachenie"), T::Text}}},
        {QStringLiteral("regim"),
         {{QStringLiteral("nomer"), T::Int}, {QStringLiteral("param1"), T::Int}, {QStringLiteral("param2"), T::Int}}},
        {QStringLiteral("logins"), {{QStringLiteral("login"), T::Text}, {QStringLiteral("password"), T::Text}}},
    };
    return tables;
}

}  // namespace

ValueType schemaColumnType(const QString &table, const QString &column)
{
    const auto t = schemaTypes().constFind(table.toLower());
    if (t == schemaTypes().constEnd())
        return ValueType::Unknown;
    return t->value(column.toLower(), ValueType::Unknown);
}

bool isNumeric(ValueType t)
{
    return t == ValueType::Int || t == ValueType::Real;
}

bool isTemporal(ValueType t)
{
    return t == ValueType::Date || t == ValueType::Time || t == ValueType::DateTime;
}

QString temporalName(ValueType t)
{
    switch (t) {
    case ValueType::Date:
        return QStringLiteral("date");
    case ValueType::Time:
        return QStringLiteral("time");
    case ValueType::DateTime:
        return QStringLiteral("datetime");
    default:
        return QString();
    }
}

bool Scope::lookup(const Source &src, const QString &column, ValueType *type) const
{
    if (!src.table.isEmpty()) {
        const auto t = schemaTypes().constFind(src.table);
        if (t == schemaTypes().constEnd())
            return false;
        const auto c = t->constFind(column);
        if (c == t->constEnd())
            return false;
        *type = *c;
        return true;
    }
    const auto c = src.derived.constFind(column);
    if (c == src.derived.constEnd())
        return false;
    *type = *c;
    return true;
}

ValueType Scope::resolve(const QStringList &qualifier, const QString &name) const
{
    const QString column = name.toLower();
    if (qualifier.isEmpty() && aliases) {
        const auto a = aliases->constFind(column);
        if (a != aliases->constEnd())
            return *a;
    }
    for (const Scope *s = this; s; s = s->outer) {
        if (!qualifier.isEmpty()) {
            const QString q = qualifier.last().toLower();
            for (const Source &src : s->sources) {
                if (src.key == q) {
                    ValueType t = ValueType::Unknown;
                    return s->lookup(src, column, &t) ? t : ValueType::Unknown;
                }
            }
            continue;
        }
        int matches = 0;
        ValueType found = ValueType::Unknown;
        bool conflict = false;
        for (const Source &src : s->sources) {
            ValueType t = ValueType::Unknown;
            if (s->lookup(src, column, &t)) {
                if (matches && t != found)
                    conflict = true;
                found = t;
                ++matches;
            }
        }
        if (matches)
            return conflict ? ValueType::Unknown : found;
    }
    return ValueType::Unknown;
}

bool containsAggregate(const Expr &e)
{
    if (e.kind == ExprKind::Func) {
        static const QSet<QString> aggregates = {QStringLiteral("COUNT"), QStringLiteral("SUM"),
                                                 QStringLiteral("MIN"), QStringLiteral("MAX"),
                                                 QStringLiteral("AVG"), QStringLiteral("COUNT_BIG")};
        if (aggregates.contains(e.name))
            return true;
    }
    for (const ExprPtr &a : e.args)
        if (a && containsAggregate(*a))
            return true;
    return false;
}

ValueType numberType(const QString &literal)
{
    return literal.contains(QLatin1Char('.')) || literal.contains(QLatin1Char('e'), Qt::CaseInsensitive)
               ? ValueType::Real
               : ValueType::Int;
}

ValueType arithmeticType(ValueType l, ValueType r)
{
    return l == ValueType::Real || r == ValueType::Real ? ValueType::Real
           : isNumeric(l) || isNumeric(r)               ? ValueType::Int
                                                        : ValueType::Unknown;
}

ValueType numericResultType(ValueType l, ValueType r)
{
    return l == ValueType::Real || r == ValueType::Real ? ValueType::Real : ValueType::Int;
}

ValueType caseType(const std::vector<ValueType> &branches)
{
    ValueType result = ValueType::Unknown;
    for (ValueType t : branches)
        if (result == ValueType::Unknown || result == ValueType::Null)
            result = t;
    return result == ValueType::Null ? ValueType::Unknown : result;
}

ValueType functionType(const QString &n, bool starArg, const std::vector<ValueType> &t)
{
    if (starArg)
        return ValueType::Int;
    static const QSet<QString> dateTimes = {QStringLiteral("GETDATE"), QStringLiteral("SYSDATETIME"),
                                            QStringLiteral("CURRENT_TIMESTAMP"), QStringLiteral("GETUTCDATE")};
    static const QSet<QString> ints = {QStringLiteral("SCOPE_IDENTITY"), QStringLiteral("LEN"),
                                       QStringLiteral("CHARINDEX"),      QStringLiteral("YEAR"),
                                       QStringLiteral("MONTH"),          QStringLiteral("DAY"),
                                       QStringLiteral("COUNT"),          QStringLiteral("COUNT_BIG")};
    static const QSet<QString> texts = {QStringLiteral("SUBSTRING"), QStringLiteral("LEFT"),    QStringLiteral("RIGHT"),
                                        QStringLiteral("UPPER"),     QStringLiteral("LOWER"),   QStringLiteral("LTRIM"),
                                        QStringLiteral("RTRIM"),     QStringLiteral("TRIM"),    QStringLiteral("REPLACE"),
                                        QStringLiteral("MNOGOIMEN"), QStringLiteral("MNOGOIMEN2")};
    // Aggregates and ABS keep their argument's type (the average of integers is an integer).
    static const QSet<QString> firstArgument = {QStringLiteral("SUM"), QStringLiteral("MIN"), QStringLiteral("MAX"),
                                                QStringLiteral("AVG"), QStringLiteral("ABS")};
    if (dateTimes.contains(n))
        return ValueType::DateTime;
    if (ints.contains(n))
        return ValueType::Int;
    if (texts.contains(n))
        return ValueType::Text;
    if (firstArgument.contains(n))
        return t[0];
    if (n == QLatin1String("ISNULL"))
        return t[0] != ValueType::Unknown && t[0] != ValueType::Null ? t[0] : t[1];
    if (n == QLatin1String("COALESCE") || n == QLatin1String("NULLIF")) {
        for (ValueType v : t)
            if (v != ValueType::Unknown && v != ValueType::Null)
                return v;
    }
    return ValueType::Unknown;
}

ValueType datePartFunctionType(const QString &name, const std::vector<ValueType> &t)
{
    if (name == QLatin1String("DATEPART") || name == QLatin1String("DATEDIFF"))
        return ValueType::Int;
    if (name == QLatin1String("DATENAME"))
        return ValueType::Text;
    return isTemporal(t[1]) ? t[1] : ValueType::DateTime;  // DATEADD keeps the date's type
}

bool castType(const QString &target, ValueType *type)
{
    static const QSet<QString> textTypes = {QStringLiteral("CHAR"),  QStringLiteral("VARCHAR"),
                                            QStringLiteral("NCHAR"), QStringLiteral("NVARCHAR"),
                                            QStringLiteral("TEXT"),  QStringLiteral("NTEXT"),
                                            QStringLiteral("SYSNAME")};
    static const QSet<QString> intTypes = {QStringLiteral("INT"),      QStringLiteral("INTEGER"),
                                           QStringLiteral("BIGINT"),   QStringLiteral("SMALLINT"),
                                           QStringLiteral("TINYINT"),  QStringLiteral("BIT")};
    static const QSet<QString> realTypes = {QStringLiteral("FLOAT"),   QStringLiteral("REAL"),
                                            QStringLiteral("DECIMAL"), QStringLiteral("NUMERIC"),
                                            QStringLiteral("MONEY"),   QStringLiteral("SMALLMONEY")};
    if (textTypes.contains(target))
        *type = ValueType::Text;
    else if (intTypes.contains(target))
        *type = ValueType::Int;
    else if (realTypes.contains(target))
        *type = ValueType::Real;
    else if (target == QLatin1String("DATETIME") || target == QLatin1String("DATETIME2")
             || target == QLatin1String("SMALLDATETIME"))
        *type = ValueType::DateTime;
    else if (target == QLatin1String("DATE"))
        *type = ValueType::Date;
    else if (target == QLatin1String("TIME"))
        *type = ValueType::Time;
    else
        return false;
    return true;
}

}  // namespace tsql
