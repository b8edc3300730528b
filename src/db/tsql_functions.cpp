#include "db/tsql_functions.h"

#include "db/zhurnal.h"

#include <QChar>
#include <QCryptographicHash>
#include <QHash>
#include <QMutex>
#include <QStringList>

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tsql {

namespace {

const char kConversionFailed[] = "Conversion failed when converting date and/or time from character string.";

// --- calendar arithmetic ------------------------------------------------------------------

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
qint64 daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * unsigned(m + (m > 2 ? -3 : 9)) + 2) / 5 + unsigned(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

void civilFromDays(qint64 z, int *y, int *m, int *d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 yy = qint64(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = int(doy - (153 * mp + 2) / 5 + 1);
    *m = int(mp < 10 ? mp + 3 : mp - 9);
    *y = int(yy + (*m <= 2));
}

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

qint64 dayNumber(const DateTimeValue &v)
{
    return daysFromCivil(v.year, v.month, v.day);
}

qint64 msecOfDay(const DateTimeValue &v)
{
    return ((qint64(v.hour) * 60 + v.minute) * 60 + v.second) * 1000 + v.msec;
}

// 0 = Monday .. 6 = Sunday.
int mondayIndex(qint64 days)
{
    return int(((days + 3) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
}

// --- literal parsing ----------------------------------------------------------------------

struct Cursor {
    const char *p;
    const char *end;
    bool atEnd() const { return p >= end; }
    char peek(int k = 0) const { return p + k < end ? p[k] : '\0'; }
    int digits(int maxCount, int *value)
    {
        int n = 0;
        *value = 0;
        while (n < maxCount && p < end && *p >= '0' && *p <= '9') {
            *value = *value * 10 + (*p - '0');
            ++p;
            ++n;
        }
        return n;
    }
    void skipBlanks()
    {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
    }
};

bool parseTimePart(Cursor &c, DateTimeValue *v)
{
    int h = 0, mi = 0, s = 0, ms = 0;
    if (c.digits(2, &h) == 0 || c.peek() != ':')
        return false;
    ++c.p;
    if (c.digits(2, &mi) != 2)
        return false;
    if (c.peek() == ':') {
        ++c.p;
        if (c.digits(2, &s) != 2)
            return false;
        if (c.peek() == '.' || c.peek() == ',') {
            ++c.p;
            int n = 0;
            int scale = 100;
            while (!c.atEnd() && *c.p >= '0' && *c.p <= '9') {
                if (n < 3) {
                    ms += (*c.p - '0') * scale;
                    scale /= 10;
                }
                ++c.p;
                ++n;
            }
            if (n == 0)
                return false;
        }
    }
    c.skipBlanks();
    const char a = char(c.peek() | 0x20), b = char(c.peek(1) | 0x20);
    if ((a == 'a' || a == 'p') && b == 'm') {
        if (h < 1 || h > 12)
            return false;
        if (a == 'a' && h == 12)
            h = 0;
        else if (a == 'p' && h != 12)
            h += 12;
        c.p += 2;
    }
    if (h > 23 || mi > 59 || s > 59)
        return false;
    v->hour = h;
    v->minute = mi;
    v->second = s;
    v->msec = ms;
    v->hasTime = true;
    return true;
}

bool parseDatePart(Cursor &c, DateTimeValue *v)
{
    const char *start = c.p;
    int a = 0;
    const int na = c.digits(8, &a);
    int y = 0, m = 0, d = 0;
    if (na == 8 && (c.atEnd() || c.peek() == ' ' || c.peek() == 'T')) {
        y = a / 10000;
        m = a / 100 % 100;
        d = a % 100;
    } else if (na == 4 && (c.peek() == '-' || c.peek() == '/' || c.peek() == '.')) {
        const char sep = c.peek();
        ++c.p;
        y = a;
        if (c.digits(2, &m) == 0 || c.peek() != sep)
            return false;
        ++c.p;
        if (c.digits(2, &d) == 0)
            return false;
    } else if ((na == 1 || na == 2) && (c.peek() == '.' || c.peek() == '/' || c.peek() == '-')) {
        // Day first: the Russian server language reads dd.mm.yyyy.
        const char sep = c.peek();
        ++c.p;
        d = a;
        if (c.digits(2, &m) == 0 || c.peek() != sep)
            return false;
        ++c.p;
        if (c.digits(4, &y) != 4)
            return false;
    } else {
        c.p = start;
        return false;
    }
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m))
        return false;
    v->year = y;
    v->month = m;
    v->day = d;
    v->hasDate = true;
    return true;
}

void put2(QByteArray &out, int v)
{
    out += char('0' + v / 10 % 10);
    out += char('0' + v % 10);
}

void put4(QByteArray &out, int v)
{
    put2(out, v / 100);
    put2(out, v % 100);
}

void putNumber(QByteArray &out, qint64 v)
{
    out += QByteArray::number(v);
}

// --- value helpers ------------------------------------------------------------------------

QByteArray valueText(sqlite3_value *v)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return QByteArray(t ? t : "", sqlite3_value_bytes(v));
}

QString valueString(sqlite3_value *v)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return QString::fromUtf8(t ? t : "", sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QByteArray &text)
{
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

void resultString(sqlite3_context *ctx, const QString &text)
{
    resultText(ctx, text.toUtf8());
}

bool anyNull(int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

// Reads a date argument; on failure sets the conversion error.
bool dateArgument(sqlite3_context *ctx, sqlite3_value *v, DateTimeValue *out)
{
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        // A number counts days from 1900-01-01, as the server's datetime does.
        const double days = sqlite3_value_double(v);
        const qint64 whole = qint64(days >= 0 ? days : days - 1);
        const qint64 ms = qint64((days - double(whole)) * 86400000.0 + 0.5);
        int y, m, d;
        civilFromDays(daysFromCivil(1900, 1, 1) + whole, &y, &m, &d);
        *out = DateTimeValue{y, m, d, int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000), true, true};
        return true;
    }
    if (!parseDateTime(valueText(v), out)) {
        sqlite3_result_error(ctx, kConversionFailed, -1);
        return false;
    }
    return true;
}

// Canonical date part names come from the translator (see canonicalDatePart).
enum class Part { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond, Bad };

Part partOf(sqlite3_value *v)
{
    const QByteArray p = valueText(v);
    static const struct {
        const char *name;
        Part part;
    } parts[] = {{"year", Part::Year},     {"quarter", Part::Quarter}, {"month", Part::Month},
                 {"dayofyear", Part::DayOfYear}, {"day", Part::Day}, {"week", Part::Week},
                 {"weekday", Part::Weekday}, {"hour", Part::Hour},   {"minute", Part::Minute},
                 {"second", Part::Second}, {"millisecond", Part::Millisecond}};
    for (const auto &e : parts)
        if (p == e.name)
            return e.part;
    return Part::Bad;
}

qint64 datePart(Part part, const DateTimeValue &v)
{
    const qint64 days = dayNumber(v);
    switch (part) {
    case Part::Year:
        return v.year;
    case Part::Quarter:
        return (v.month - 1) / 3 + 1;
    case Part::Month:
        return v.month;
    case Part::DayOfYear:
        return days - daysFromCivil(v.year, 1, 1) + 1;
    case Part::Day:
        return v.day;
    case Part::Week: {
        // Weeks begin on Monday (DATEFIRST 1 of the Russian language); week 1 holds 1 January.
        const qint64 jan1 = daysFromCivil(v.year, 1, 1);
        return (days - jan1 + mondayIndex(jan1)) / 7 + 1;
    }
    case Part::Weekday:
        return mondayIndex(days) + 1;
    case Part::Hour:
        return v.hour;
    case Part::Minute:
        return v.minute;
    case Part::Second:
        return v.second;
    case Part::Millisecond:
        return v.msec;
    case Part::Bad:
        break;
    }
    return 0;
}

// Names as the server gives them with the Russian language.
const char *const kMonthNames[] = {"январь", "февраль", "март",     "апрель",  "май",    "июнь",
                                   "июль",   "август",  "сентябрь", "октябрь", "ноябрь", "декабрь"};
const char *const kWeekdayNames[] = {"понедельник", "вторник", "среда", "четверг", "пятница", "суббота", "воскресенье"};

// --- the functions ------------------------------------------------------------------------

void fnNormalise(sqlite3_context *ctx, int, sqlite3_value **argv, QByteArray (*format)(const DateTimeValue &))
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    DateTimeValue v;
    if (!dateArgument(ctx, argv[0], &v))
        return;
    resultText(ctx, format(v));
}

void fnDate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    fnNormalise(ctx, argc, argv, formatDate);
}

void fnTime(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    fnNormalise(ctx, argc, argv, formatTime);
}

void fnDateTime(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    fnNormalise(ctx, argc, argv, formatDateTime);
}

void fnGetDate(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QDateTime now = databaseNow().toLocalTime();
    DateTimeValue v;
    v.year = now.date().year();
    v.month = now.date().month();
    v.day = now.date().day();
    v.hour = now.time().hour();
    v.minute = now.time().minute();
    v.second = now.time().second();
    v.msec = now.time().msec();
    v.hasDate = v.hasTime = true;
    resultText(ctx, formatDateTime(v));
}

void fnDatePart(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const Part part = partOf(argv[0]);
    DateTimeValue v;
    if (part == Part::Bad) {
        sqlite3_result_error(ctx, "Invalid date part.", -1);
        return;
    }
    if (!dateArgument(ctx, argv[1], &v))
        return;
    sqlite3_result_int64(ctx, datePart(part, v));
}

void fnDateName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const Part part = partOf(argv[0]);
    DateTimeValue v;
    if (part == Part::Bad) {
        sqlite3_result_error(ctx, "Invalid date part.", -1);
        return;
    }
    if (!dateArgument(ctx, argv[1], &v))
        return;
    if (part == Part::Month) {
        resultText(ctx, QByteArray(kMonthNames[v.month - 1]));
        return;
    }
    if (part == Part::Weekday) {
        resultText(ctx, QByteArray(kWeekdayNames[mondayIndex(dayNumber(v))]));
        return;
    }
    // Every other part is its number written without leading zeros.
    QByteArray out;
    putNumber(out, datePart(part, v));
    resultText(ctx, out);
}

void fnDateDiff(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const Part part = partOf(argv[0]);
    DateTimeValue a, b;
    if (part == Part::Bad) {
        sqlite3_result_error(ctx, "Invalid date part.", -1);
        return;
    }
    if (!dateArgument(ctx, argv[1], &a) || !dateArgument(ctx, argv[2], &b))
        return;
    // The server counts the boundaries of the part crossed between the two values.
    const qint64 da = dayNumber(a), db = dayNumber(b);
    qint64 r = 0;
    switch (part) {
    case Part::Year:
        r = b.year - a.year;
        break;
    case Part::Quarter:
        r = (qint64(b.year) * 4 + (b.month - 1) / 3) - (qint64(a.year) * 4 + (a.month - 1) / 3);
        break;
    case Part::Month:
        r = (qint64(b.year) * 12 + b.month) - (qint64(a.year) * 12 + a.month);
        break;
    case Part::DayOfYear:
    case Part::Day:
    case Part::Weekday:
        r = db - da;
        break;
    case Part::Week:
        // Sunday boundaries, whatever the first day of the week.
        r = floorDiv(db + 4, 7) - floorDiv(da + 4, 7);
        break;
    case Part::Hour:
        r = (db * 24 + b.hour) - (da * 24 + a.hour);
        break;
    case Part::Minute:
        r = (db * 1440 + b.hour * 60 + b.minute) - (da * 1440 + a.hour * 60 + a.minute);
        break;
    case Part::Second:
        r = (db * 86400 + msecOfDay(b) / 1000) - (da * 86400 + msecOfDay(a) / 1000);
        break;
    case Part::Millisecond:
        r = (db * 86400000 + msecOfDay(b)) - (da * 86400000 + msecOfDay(a));
        break;
    case Part::Bad:
        break;
    }
    sqlite3_result_int64(ctx, r);
}

// tsql_dateadd(part, n, value, type): type 'date', 'time' or 'datetime' chooses the form.
void fnDateAdd(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const Part part = partOf(argv[0]);
    DateTimeValue v;
    if (part == Part::Bad) {
        sqlite3_result_error(ctx, "Invalid date part.", -1);
        return;
    }
    if (!dateArgument(ctx, argv[2], &v))
        return;
    const qint64 n = sqlite3_value_int64(argv[1]);
    qint64 days = dayNumber(v);
    qint64 ms = msecOfDay(v);
    auto addMonths = [&](qint64 months) {
        qint64 total = qint64(v.year) * 12 + (v.month - 1) + months;
        const int y = int(floorDiv(total, 12));
        const int m = int(total - qint64(y) * 12) + 1;
        if (y < 1 || y > 9999)
            return false;
        days = daysFromCivil(y, m, qMin(v.day, daysInMonth(y, m)));
        return true;
    };
    bool ok = true;
    switch (part) {
    case Part::Year:
        ok = addMonths(n * 12);
        break;
    case Part::Quarter:
        ok = addMonths(n * 3);
        break;
    case Part::Month:
        ok = addMonths(n);
        break;
    case Part::DayOfYear:
    case Part::Day:
    case Part::Weekday:
        days += n;
        break;
    case Part::Week:
        days += 7 * n;
        break;
    case Part::Hour:
    case Part::Minute:
    case Part::Second:
    case Part::Millisecond: {
        const qint64 unit = part == Part::Hour ? 3600000 : part == Part::Minute ? 60000 : part == Part::Second ? 1000 : 1;
        ms += n * unit;
        days += floorDiv(ms, 86400000);
        ms -= floorDiv(ms, 86400000) * 86400000;
        break;
    }
    case Part::Bad:
        break;
    }
    int y, m, d;
    civilFromDays(days, &y, &m, &d);
    if (!ok || y < 1 || y > 9999) {
        sqlite3_result_error(ctx, "Adding a value to a 'datetime' column caused an overflow.", -1);
        return;
    }
    DateTimeValue r{y, m, d, int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000), true, true};
    const QByteArray type = argc > 3 ? valueText(argv[3]) : QByteArray("datetime");
    resultText(ctx, type == "date" ? formatDate(r) : type == "time" ? formatTime(r) : formatDateTime(r));
}

// tsql_convert(value, style, type): CONVERT to a character type. `type` is the value's
// static type ('date', 'time', 'datetime' or '' when not known).
void fnConvert(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int vt = sqlite3_value_type(argv[0]);
    if (vt == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray type = valueText(argv[2]);
    if (vt == SQLITE_INTEGER || vt == SQLITE_FLOAT || vt == SQLITE_BLOB) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    DateTimeValue v;
    if (!parseDateTime(valueText(argv[0]), &v)) {
        if (type.isEmpty()) {  // a text converted to text: the style does not apply
            sqlite3_result_value(ctx, argv[0]);
        } else {
            sqlite3_result_error(ctx, kConversionFailed, -1);
        }
        return;
    }
    const int style = sqlite3_value_int(argv[1]);
    const int base = style >= 100 ? style - 100 : style;
    const bool century = style >= 100;
    QByteArray out;
    auto year = [&] {
        if (century)
            put4(out, v.year);
        else
            put2(out, v.year % 100);
    };
    auto hms = [&] {
        put2(out, v.hour);
        out += ':';
        put2(out, v.minute);
        out += ':';
        put2(out, v.second);
    };
    auto ms3 = [&] {
        out += '.';
        out += char('0' + v.msec / 100);
        out += char('0' + v.msec / 10 % 10);
        out += char('0' + v.msec % 10);
    };
    const bool timeOnly = type == "time" || (type.isEmpty() && !v.hasDate);
    const bool dateOnly = type == "date" || (type.isEmpty() && !v.hasTime);
    switch (style) {
    case 0:
    case 100:
        if (timeOnly) {
            out = formatTime(v);
        } else if (dateOnly) {
            out = formatDate(v);
        } else {
            static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
            out += months[v.month - 1];
            out += ' ';
            out += v.day < 10 ? QByteArray(" ") + char('0' + v.day) : QByteArray::number(v.day);
            out += ' ';
            put4(out, v.year);
            out += ' ';
            const int h12 = v.hour % 12 == 0 ? 12 : v.hour % 12;
            out += h12 < 10 ? QByteArray(" ") + char('0' + h12) : QByteArray::number(h12);
            out += ':';
            put2(out, v.minute);
            out += v.hour < 12 ? "AM" : "PM";
        }
        break;
    case 8:
    case 108:
        hms();
        break;
    case 20:
    case 120:
        out = formatDate(v) + ' ';
        hms();
        break;
    case 21:
    case 121:
    case 25:
        out = formatDate(v) + ' ';
        hms();
        ms3();
        break;
    case 23:
        out = formatDate(v);
        break;
    case 126:
        out = formatDate(v) + 'T';
        hms();
        ms3();
        break;
    default:
        switch (base) {
        case 1:  // mm/dd/yy
            put2(out, v.month), out += '/', put2(out, v.day), out += '/', year();
            break;
        case 2:  // yy.mm.dd
            year(), out += '.', put2(out, v.month), out += '.', put2(out, v.day);
            break;
        case 3:  // dd/mm/yy
            put2(out, v.day), out += '/', put2(out, v.month), out += '/', year();
            break;
        case 4:  // dd.mm.yy
            put2(out, v.day), out += '.', put2(out, v.month), out += '.', year();
            break;
        case 5:  // dd-mm-yy
            put2(out, v.day), out += '-', put2(out, v.month), out += '-', year();
            break;
        case 10:  // mm-dd-yy
            put2(out, v.month), out += '-', put2(out, v.day), out += '-', year();
            break;
        case 11:  // yy/mm/dd
            year(), out += '/', put2(out, v.month), out += '/', put2(out, v.day);
            break;
        case 12:  // yymmdd
            year(), put2(out, v.month), put2(out, v.day);
            break;
        default: {
            const QByteArray msg = QByteArray::number(style)
                                   + " is not a valid style number when converting from datetime to a character string.";
            sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
            return;
        }
        }
    }
    resultText(ctx, out);
}

bool toInteger(const QByteArray &text, qint64 *out)
{
    const QByteArray t = text.trimmed();
    bool ok = false;
    *out = t.toLongLong(&ok);
    return ok;
}

// + when the operand types are known only at run time: text + text concatenates; anything
// with a number adds, converting the text to a number as the server does (or fails).
void fnAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int ta = sqlite3_value_type(argv[0]), tb = sqlite3_value_type(argv[1]);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool textA = ta == SQLITE_TEXT || ta == SQLITE_BLOB;
    const bool textB = tb == SQLITE_TEXT || tb == SQLITE_BLOB;
    if (textA && textB) {
        resultText(ctx, valueText(argv[0]) + valueText(argv[1]));
        return;
    }
    const bool real = ta == SQLITE_FLOAT || tb == SQLITE_FLOAT;
    auto number = [&](sqlite3_value *v, bool isText, qint64 *i, double *d) {
        if (!isText) {
            *i = sqlite3_value_int64(v);
            *d = sqlite3_value_double(v);
            return true;
        }
        const QByteArray t = valueText(v);
        if (real) {
            bool ok = false;
            *d = t.trimmed().toDouble(&ok);
            return ok;
        }
        return toInteger(t, i);
    };
    qint64 ia = 0, ib = 0;
    double da = 0, db = 0;
    for (int k = 0; k < 2; ++k) {
        sqlite3_value *v = argv[k];
        const bool isText = k == 0 ? textA : textB;
        if (!number(v, isText, k == 0 ? &ia : &ib, k == 0 ? &da : &db)) {
            const QByteArray msg = "Conversion failed when converting the nvarchar value '" + valueText(v)
                                   + (real ? "' to data type float." : "' to data type int.");
            sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
            return;
        }
    }
    if (real)
        sqlite3_result_double(ctx, da + db);
    else
        sqlite3_result_int64(ctx, ia + ib);
}

// tsql_div(a, b) and tsql_mod(a, b): / and % that fail on a zero divisor as the server does
// (SQLite gives NULL). Integers divide with truncation, as on both engines.
void divide(sqlite3_context *ctx, sqlite3_value **argv, bool modulo)
{
    const int ta = sqlite3_value_numeric_type(argv[0]), tb = sqlite3_value_numeric_type(argv[1]);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (ta == SQLITE_TEXT || ta == SQLITE_BLOB || tb == SQLITE_TEXT || tb == SQLITE_BLOB) {
        sqlite3_value *bad = (ta == SQLITE_TEXT || ta == SQLITE_BLOB) ? argv[0] : argv[1];
        const QByteArray msg = "Conversion failed when converting the nvarchar value '" + valueText(bad) + "' to data type int.";
        sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
        return;
    }
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        const qint64 a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
        if (b == 0) {
            sqlite3_result_error(ctx, "Divide by zero error encountered.", -1);
            return;
        }
        if (b == -1) {  // avoids the one overflowing quotient
            sqlite3_result_int64(ctx, modulo ? 0 : -a);
            return;
        }
        sqlite3_result_int64(ctx, modulo ? a % b : a / b);
        return;
    }
    const double a = sqlite3_value_double(argv[0]), b = sqlite3_value_double(argv[1]);
    if (b == 0.0) {
        sqlite3_result_error(ctx, "Divide by zero error encountered.", -1);
        return;
    }
    sqlite3_result_double(ctx, modulo ? std::fmod(a, b) : a / b);
}

void fnDiv(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    divide(ctx, argv, false);
}

void fnMod(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    divide(ctx, argv, true);
}

// tsql_int(x): CAST(x AS int). A text must hold an integer, else the server's error.
void fnInt(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
        sqlite3_result_value(ctx, argv[0]);
        return;
    case SQLITE_FLOAT:
        sqlite3_result_int64(ctx, qint64(sqlite3_value_double(argv[0])));  // truncates, as the server
        return;
    default: {
        qint64 v = 0;
        const QByteArray text = valueText(argv[0]);
        if (!toInteger(text, &v)) {
            const QByteArray msg = "Conversion failed when converting the nvarchar value '" + text + "' to data type int.";
            sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
            return;
        }
        sqlite3_result_int64(ctx, v);
    }
    }
}

// tsql_single(count, value): a scalar sub-select that found more than one row.
void fnSingle(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_int64(argv[0]) > 1) {
        sqlite3_result_error(ctx,
                             "Subquery returned more than 1 value. This is not permitted when the subquery follows "
                             "=, !=, <, <= , >, >= or when the subquery is used as an expression.",
                             -1);
        return;
    }
    sqlite3_result_value(ctx, argv[1]);
}

void fnRight(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = valueString(argv[0]);
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        sqlite3_result_error(ctx, "Invalid length parameter passed to the right function.", -1);
        return;
    }
    resultString(ctx, s.right(int(qMin<qint64>(n, s.size()))));
}

void fnUpper(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        resultString(ctx, valueString(argv[0]).toUpper());
}

void fnLower(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        resultString(ctx, valueString(argv[0]).toLower());
}

void fnReplace(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    QString s = valueString(argv[0]);
    const QString what = valueString(argv[1]);
    if (!what.isEmpty())
        s.replace(what, valueString(argv[2]), Qt::CaseInsensitive);
    resultString(ctx, s);
}

void fnCharIndex(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString what = valueString(argv[0]);
    const QString in = valueString(argv[1]);
    const qint64 start = argc > 2 ? qMax<qint64>(sqlite3_value_int64(argv[2]), 1) : 1;
    if (what.isEmpty() || start > in.size()) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    sqlite3_result_int64(ctx, in.indexOf(what, int(start - 1), Qt::CaseInsensitive) + 1);
}

// --- case-insensitive text ----------------------------------------------------------------

// Next code point of UTF-8 text (invalid bytes read as themselves).
char32_t nextCodePoint(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
    while (extra-- > 0 && p < end && (*p & 0xC0) == 0x80)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

// Sort weight of a code point under the hall's collation: case folded; ё just after е, as
// the Cyrillic collations of the server order it.
inline quint64 weight(char32_t c)
{
    c = c < 0x80 ? char32_t(c >= 'A' && c <= 'Z' ? c + 32 : c) : QChar::toCaseFolded(c);
    if (c == 0x0451)  // ё
        return quint64(0x0435) * 2 + 1;
    return quint64(c) * 2;
}

int compareCi(void *, int n1, const void *s1, int n2, const void *s2)
{
    const auto *a = static_cast<const unsigned char *>(s1);
    const auto *b = static_cast<const unsigned char *>(s2);
    const unsigned char *ea = a + n1, *eb = b + n2;
    while (a < ea && b < eb) {
        const quint64 wa = weight(nextCodePoint(a, ea));
        const quint64 wb = weight(nextCodePoint(b, eb));
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    // Trailing blanks do not count, as the server pads the shorter text with blanks.
    while (a < ea && *a == ' ')
        ++a;
    while (b < eb && *b == ' ')
        ++b;
    if (a < ea)
        return 1;
    if (b < eb)
        return -1;
    return 0;
}

// A LIKE pattern with the server's syntax: % _ [abc] [a-z] [^...] and an optional escape.
struct Pattern {
    enum Kind { Literal, One, Any, Class };
    struct Token {
        Kind kind = Literal;
        quint64 w = 0;
        bool negate = false;
        std::vector<std::pair<quint64, quint64>> ranges;
    };
    std::vector<Token> tokens;
    QByteArray source;
    QByteArray escape;
};

Pattern *compilePattern(const QByteArray &src, const QByteArray &escape, char32_t escapeChar, bool hasEscape)
{
    auto *pat = new Pattern;
    pat->source = src;
    pat->escape = escape;
    std::vector<char32_t> cps;
    {
        const auto *p = reinterpret_cast<const unsigned char *>(src.constData());
        const auto *end = p + src.size();
        while (p < end)
            cps.push_back(nextCodePoint(p, end));
    }
    for (size_t i = 0; i < cps.size(); ++i) {
        const char32_t c = cps[i];
        Pattern::Token t;
        if (hasEscape && c == escapeChar && i + 1 < cps.size()) {
            t.w = weight(cps[++i]);
        } else if (c == '%') {
            if (!pat->tokens.empty() && pat->tokens.back().kind == Pattern::Any)
                continue;
            t.kind = Pattern::Any;
        } else if (c == '_') {
            t.kind = Pattern::One;
        } else if (c == '[') {
            size_t close = i + 1;
            while (close < cps.size() && cps[close] != ']')
                ++close;
            if (close >= cps.size() || close == i + 1) {
                t.w = weight(c);  // no class: a literal bracket
            } else {
                t.kind = Pattern::Class;
                size_t j = i + 1;
                if (cps[j] == '^' && j + 1 < close) {
                    t.negate = true;
                    ++j;
                }
                for (; j < close; ++j) {
                    if (j + 2 < close && cps[j + 1] == '-') {
                        t.ranges.push_back({weight(cps[j]), weight(cps[j + 2])});
                        j += 2;
                    } else {
                        t.ranges.push_back({weight(cps[j]), weight(cps[j])});
                    }
                }
                i = close;
            }
        } else {
            t.w = weight(c);
        }
        pat->tokens.push_back(std::move(t));
    }
    return pat;
}

bool tokenMatches(const Pattern::Token &t, quint64 w)
{
    switch (t.kind) {
    case Pattern::Literal:
        return t.w == w;
    case Pattern::One:
        return true;
    case Pattern::Class: {
        bool in = false;
        for (const auto &r : t.ranges)
            in = in || (w >= r.first && w <= r.second);
        return in != t.negate;
    }
    case Pattern::Any:
        return false;
    }
    return false;
}

bool matchPattern(const Pattern &pat, const std::vector<quint64> &text)
{
    const auto &tk = pat.tokens;
    size_t ti = 0, si = 0;
    size_t starT = size_t(-1), starS = 0;
    while (si < text.size()) {
        if (ti < tk.size() && tk[ti].kind == Pattern::Any) {
            starT = ti++;
            starS = si;
        } else if (ti < tk.size() && tokenMatches(tk[ti], text[si])) {
            ++ti;
            ++si;
        } else if (starT != size_t(-1)) {
            ti = starT + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (ti < tk.size() && tk[ti].kind == Pattern::Any)
        ++ti;
    return ti == tk.size();
}

void deletePattern(void *p)
{
    delete static_cast<Pattern *>(p);
}

// like(pattern, text [, escape]): what "text LIKE pattern" calls in SQLite.
void fnLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray src = valueText(argv[0]);
    QByteArray escape;
    char32_t escapeChar = 0;
    if (argc == 3) {
        escape = valueText(argv[2]);
        const auto *p = reinterpret_cast<const unsigned char *>(escape.constData());
        const auto *end = p + escape.size();
        if (p >= end) {
            sqlite3_result_error(ctx, "The invalid escape character \"\" was specified in a LIKE predicate.", -1);
            return;
        }
        escapeChar = nextCodePoint(p, end);
        if (p != end) {
            sqlite3_result_error(ctx, "The escape character of a LIKE predicate must be a single character.", -1);
            return;
        }
    }
    // The compiled pattern is kept with a constant pattern argument between rows. SQLite may
    // drop it at once, so it is handed over only after its last use here.
    auto *pat = static_cast<Pattern *>(sqlite3_get_auxdata(ctx, 0));
    const bool fresh = !pat || pat->source != src || pat->escape != escape;
    if (fresh)
        pat = compilePattern(src, escape, escapeChar, argc == 3);
    static thread_local std::vector<quint64> text;
    text.clear();
    const auto *p = sqlite3_value_text(argv[1]);
    const auto *end = p + sqlite3_value_bytes(argv[1]);
    while (p < end)
        text.push_back(weight(nextCodePoint(p, end)));
    sqlite3_result_int(ctx, matchPattern(*pat, text) ? 1 : 0);
    if (fresh)
        sqlite3_set_auxdata(ctx, 0, pat, deletePattern);
}

// --- the hall's name lists ----------------------------------------------------------------

// "Иванов И. П.": surname, then each initial with a dot; empty parts are left out.
QString shortName(const QString &familia, const QString &imya, const QString &otchestvo)
{
    auto blank = [](const QString &s) { return s.trimmed().isEmpty(); };
    QString name = blank(familia) ? QString() : familia;
    for (const QString *part : {&imya, &otchestvo}) {
        if (blank(*part))
            continue;
        if (!name.isEmpty())
            name += QLatin1Char(' ');
        name += part->left(1) + QLatin1Char('.');
    }
    return name;
}

void nameList(sqlite3_context *ctx, sqlite3_value **argv, const char *sql)
{
    sqlite3 *db = sqlite3_context_db_handle(ctx);
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
        sqlite3_finalize(stmt);
        return;
    }
    sqlite3_bind_value(stmt, 1, argv[0]);
    sqlite3_bind_value(stmt, 2, argv[1]);
    QStringList names;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        auto column = [stmt](int i) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
            return QString::fromUtf8(t ? t : "", sqlite3_column_bytes(stmt, i));
        };
        const QString name = shortName(column(0), column(1), column(2));
        names << name;
    }
    if (rc != SQLITE_DONE) {
        sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
        sqlite3_finalize(stmt);
        return;
    }
    sqlite3_finalize(stmt);
    // Names are joined as the server function does: an empty name adds only its separator.
    QString out;
    for (const QString &n : names) {
        if (!out.isEmpty())
            out += QStringLiteral(", ");
        out += n;
    }
    resultString(ctx, out);
}

// Deputies whose ballot in vote ?1 has code ?2.
void fnMnogoimen(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    nameList(ctx, argv,
             "SELECT d.familia, d.imya, d.otchestvo FROM deputat d"
             " WHERE EXISTS (SELECT 1 FROM otvet o WHERE o.id_deputat = d.id"
             "               AND o.id_golosovanie = ?1 AND o.result = ?2)"
             " ORDER BY d.familia COLLATE tsql_ci, d.imya COLLATE tsql_ci, d.otchestvo COLLATE tsql_ci");
}

// Deputies present in registration period ?2 with no ballot in vote ?1.
void fnMnogoimen2(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    nameList(ctx, argv,
             "SELECT d.familia, d.imya, d.otchestvo FROM deputat d"
             " WHERE EXISTS (SELECT 1 FROM sessia s WHERE s.id_deputat = d.id AND s.id_sessia = ?2)"
             "   AND NOT EXISTS (SELECT 1 FROM otvet o WHERE o.id_deputat = d.id AND o.id_golosovanie = ?1)"
             " ORDER BY d.familia COLLATE tsql_ci, d.imya COLLATE tsql_ci, d.otchestvo COLLATE tsql_ci");
}

// sha256(text): SHA-256 of the text's UTF-8 bytes as 64 lower-case hex digits; NULL stays
// NULL. The journal triggers chain their rows with it, so the program can recompute every
// link with QCryptographicHash.
void fnSha256(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    const QByteArray hex =
        QCryptographicHash::hash(QByteArrayView(bytes, n), QCryptographicHash::Sha256).toHex();
    sqlite3_result_text(ctx, hex.constData(), int(hex.size()), SQLITE_TRANSIENT);
}

// zhurnal_pole(x): one field of a journal event's canonical text, as zhurnal::pole writes it.
void fnZhurnalPole(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QVariant v;
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL)
        v = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    const QByteArray out = zhurnal::pole(v).toUtf8();
    sqlite3_result_text(ctx, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

// @@identity: the key of the last row inserted on this connection into a table with an
// identity key (an INTEGER PRIMARY KEY column "id"). Inserts into tables without one, such
// as the presence records, leave it unchanged, as on the server. Kept by SQLite's update
// hook, so nothing else may install one on these connections (Qt only does for driver
// notifications, which the program does not use).
struct ConnectionState {
    sqlite3 *db = nullptr;
    sqlite3_int64 identity = 0;
    bool hasIdentity = false;
    QHash<QByteArray, bool> identityTables;
};

void onRowChange(void *p, int op, const char *dbName, const char *table, sqlite3_int64 rowid)
{
    if (op != SQLITE_INSERT)
        return;
    auto *s = static_cast<ConnectionState *>(p);
    const QByteArray key = QByteArray(dbName) + '.' + table;
    auto it = s->identityTables.find(key);
    if (it == s->identityTables.end()) {
        const char *type = nullptr;
        const char *collation = nullptr;
        int notNull = 0, primaryKey = 0, autoIncrement = 0;
        const bool identity = sqlite3_table_column_metadata(s->db, dbName, table, "id", &type, &collation, &notNull,
                                                            &primaryKey, &autoIncrement)
                                  == SQLITE_OK
                              && primaryKey && type && qstricmp(type, "INTEGER") == 0;
        it = s->identityTables.insert(key, identity);
    }
    if (*it) {
        s->identity = rowid;
        s->hasIdentity = true;
    }
}

void fnIdentity(sqlite3_context *ctx, int, sqlite3_value **)
{
    const auto *s = static_cast<const ConnectionState *>(sqlite3_user_data(ctx));
    if (s->hasIdentity)
        sqlite3_result_int64(ctx, s->identity);
    else
        sqlite3_result_null(ctx);
}

void deleteState(void *p)
{
    delete static_cast<ConnectionState *>(p);
}

QMutex g_clockMutex;
std::function<QDateTime()> g_clock;

}  // namespace

bool parseDateTime(const QByteArray &utf8, DateTimeValue *out)
{
    Cursor c{utf8.constData(), utf8.constData() + utf8.size()};
    c.skipBlanks();
    while (c.end > c.p && (c.end[-1] == ' ' || c.end[-1] == '\t'))
        --c.end;
    if (c.atEnd())
        return false;
    DateTimeValue v;
    const char *start = c.p;
    if (parseDatePart(c, &v)) {
        if (c.atEnd()) {
            *out = v;
            return true;
        }
        if (c.peek() == 'T') {
            ++c.p;
        } else if (c.peek() == ' ') {
            c.skipBlanks();
        } else {
            return false;
        }
    } else {
        c.p = start;
    }
    if (!parseTimePart(c, &v) || !c.atEnd())
        return false;
    *out = v;
    return true;
}

QByteArray formatDate(const DateTimeValue &v)
{
    QByteArray out;
    out.reserve(10);
    put4(out, v.year);
    out += '-';
    put2(out, v.month);
    out += '-';
    put2(out, v.day);
    return out;
}

QByteArray formatTime(const DateTimeValue &v)
{
    QByteArray out;
    out.reserve(8);
    put2(out, v.hour);
    out += ':';
    put2(out, v.minute);
    out += ':';
    put2(out, v.second);
    return out;
}

QByteArray formatDateTime(const DateTimeValue &v)
{
    QByteArray out = formatDate(v);
    out += ' ';
    out += formatTime(v);
    out += '.';
    out += char('0' + v.msec / 100);
    out += char('0' + v.msec / 10 % 10);
    out += char('0' + v.msec % 10);
    return out;
}

QDateTime databaseNow()
{
    QMutexLocker lock(&g_clockMutex);
    return g_clock ? g_clock() : QDateTime::currentDateTime();
}

void setDatabaseClock(std::function<QDateTime()> clock)
{
    QMutexLocker lock(&g_clockMutex);
    g_clock = std::move(clock);
}

bool registerFunctions(sqlite3 *db, QString *error)
{
    struct Def {
        const char *name;
        int args;
        int flags;
        void (*fn)(sqlite3_context *, int, sqlite3_value **);
    };
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    const Def defs[] = {
        {"tsql_date", 1, pure, fnDate},
        {"tsql_time", 1, pure, fnTime},
        {"tsql_datetime", 1, pure, fnDateTime},
        // Deterministic so that SQLite reads the clock once per statement: the server's
        // GETDATE() gives every row of one statement the same time.
        {"tsql_getdate", 0, pure, fnGetDate},
        {"tsql_datepart", 2, pure, fnDatePart},
        {"tsql_datename", 2, pure, fnDateName},
        {"tsql_datediff", 3, pure, fnDateDiff},
        {"tsql_dateadd", 3, pure, fnDateAdd},
        {"tsql_dateadd", 4, pure, fnDateAdd},
        {"tsql_convert", 3, pure, fnConvert},
        {"tsql_add", 2, pure, fnAdd},
        {"tsql_single", 2, pure, fnSingle},
        {"tsql_div", 2, pure, fnDiv},
        {"tsql_mod", 2, pure, fnMod},
        {"tsql_int", 1, pure, fnInt},
        {"tsql_right", 2, pure, fnRight},
        {"tsql_upper", 1, pure, fnUpper},
        {"tsql_lower", 1, pure, fnLower},
        {"tsql_replace", 3, pure, fnReplace},
        {"tsql_charindex", 2, pure, fnCharIndex},
        {"tsql_charindex", 3, pure, fnCharIndex},
        {"like", 2, pure, fnLike},
        {"like", 3, pure, fnLike},
        {"mnogoimen", 2, SQLITE_UTF8, fnMnogoimen},
        {"mnogoimen2", 2, SQLITE_UTF8, fnMnogoimen2},
        {"sha256", 1, pure, fnSha256},
        {"zhurnal_pole", 1, pure, fnZhurnalPole},
    };
    for (const Def &d : defs) {
        const int rc = sqlite3_create_function_v2(db, d.name, d.args, d.flags, nullptr, d.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            *error = QStringLiteral("Cannot register the SQL function %1: %2")
                         .arg(QString::fromLatin1(d.name), QString::fromUtf8(sqlite3_errmsg(db)));
            return false;
        }
    }
    // The state lives as long as the function; registering again replaces (and frees) it.
    auto *state = new ConnectionState;
    state->db = db;
    if (sqlite3_create_function_v2(db, "tsql_identity", 0, SQLITE_UTF8, state, fnIdentity, nullptr, nullptr,
                                   deleteState)
        != SQLITE_OK) {
        *error = QStringLiteral("Cannot register the SQL function tsql_identity: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        return false;
    }
    sqlite3_update_hook(db, onRowChange, state);
    if (sqlite3_create_collation_v2(db, "tsql_ci", SQLITE_UTF8, nullptr, compareCi, nullptr) != SQLITE_OK) {
        *error = QStringLiteral("Cannot register the collation tsql_ci: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        return false;
    }
    return true;
}

}  // namespace tsql
