#include "db/oshibki.h"

namespace oshibki {

namespace {

bool estKirillica(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            return true;
    return false;
}

bool est(const QString &text, const char *what)
{
    return text.contains(QLatin1String(what), Qt::CaseInsensitive);
}

// The numbers the connection reports the same way on every engine (SQL Server's own).
Klass poNomeruServera(int native)
{
    switch (native) {
    case 547: return Klass::Ssylka;
    case 2627:
    case 2601: return Klass::Povtor;
    case 515: return Klass::PustoeZnachenie;
    case 102: return Klass::Sintaksis;
    case 208: return Klass::NetTablicy;
    case 207: return Klass::NetStolbca;
    case 195: return Klass::NetFunkcii;
    case 229: return Klass::Otkaz;
    case 18456: return Klass::Vhod;
    case 4060: return Klass::NetBazy;
    case 1205: return Klass::Vzaimoblokirovka;
    case -2: return Klass::Taimaut;
    case 10054: return Klass::FailZamenen;
    case 8134:
    case 245:
    case 241:
    case 242: return Klass::Preobrazovanie;
    case 512: return Klass::NeskolkoZnacheniy;
    default: return Klass::Neizvestno;
    }
}

// The embedded engine's result codes: the low byte is the primary code, the rest says more.
Klass poKoduVstroennoi(int native)
{
    switch (native) {
    case 2067:  // unique
    case 1555: return Klass::Povtor;  // primary key
    case 1299: return Klass::PustoeZnachenie;
    case 787: return Klass::Ssylka;
    case 275:
    case 1811: return Klass::Ogranichenie;
    default: break;
    }
    switch (native & 0xff) {
    case 5:
    case 6: return Klass::Zanyata;
    case 8: return Klass::TolkoChtenie;
    case 13: return Klass::DiskPoln;
    case 26: return Klass::NeBaza;
    case 11: return Klass::Povrezhdena;
    case 10: return Klass::VvodVyvod;
    case 14: return Klass::NetFaila;
    case 23: return Klass::Otkaz;
    case 19: return Klass::Ogranichenie;
    default: return Klass::Neizvestno;
    }
}

// What the text alone tells: the network drivers give no number for a failed connect, and
// the embedded engine reports missing objects and syntax under one generic code.
Klass poTekstu(const QString &t)
{
    if (est(t, "password authentication failed") || est(t, "Login failed") || est(t, "no pg_hba.conf entry"))
        return Klass::Vhod;
    if (est(t, "Connection refused") || est(t, "Adaptive Server is unavailable"))
        return Klass::Otkazano;
    if (est(t, "timeout expired") || est(t, "timed out") || est(t, "Connection timed out"))
        return Klass::Taimaut;
    if (est(t, "could not translate host name") || est(t, "Name or service not known")
        || est(t, "Temporary failure in name resolution"))
        return Klass::NetServera;
    if (est(t, "the database system is starting up") || est(t, "the database system is shutting down")
        || est(t, "the database system is in recovery"))
        return Klass::ServerNeGotov;
    if (est(t, "server closed the connection") || est(t, "terminating connection") || est(t, "no connection to the server")
        || est(t, "connection to server was lost") || est(t, "Connection reset") || est(t, "Broken pipe")
        || est(t, "server conn crashed") || est(t, "Communication link failure"))
        return Klass::Razryv;
    if (est(t, "The connection is not open"))
        return Klass::NeOtkryto;
    if (est(t, "driver") && est(t, "not installed"))
        return Klass::NetDrivera;
    if (est(t, "is not of the form"))
        return Klass::NevernyAdres;
    if (est(t, "database \"") && est(t, "does not exist"))
        return Klass::NetBazy;
    if (est(t, "Cannot open database"))
        return Klass::NetFaila;
    if (est(t, "no such table") || est(t, "Invalid object name") || (est(t, "relation \"") && est(t, "does not exist")))
        return Klass::NetTablicy;
    if (est(t, "no such column") || est(t, "Invalid column name") || (est(t, "column") && est(t, "does not exist")))
        return Klass::NetStolbca;
    if (est(t, "no such function") || est(t, "not a recognized") || (est(t, "function") && est(t, "does not exist")))
        return Klass::NetFunkcii;
    if (est(t, "syntax error") || est(t, "Incorrect syntax") || est(t, "unrecognized token") || est(t, "incomplete input"))
        return Klass::Sintaksis;
    if (est(t, "Conversion failed") || est(t, "invalid input syntax") || est(t, "out-of-range"))
        return Klass::Preobrazovanie;
    if (est(t, "Subquery returned more than 1 value") || est(t, "more than one row returned"))
        return Klass::NeskolkoZnacheniy;
    if (est(t, "database is locked") || est(t, "database table is locked"))
        return Klass::Zanyata;
    if (est(t, "readonly database") || est(t, "read-only"))
        return Klass::TolkoChtenie;
    if (est(t, "database or disk is full") || est(t, "No space left"))
        return Klass::DiskPoln;
    if (est(t, "file is not a database"))
        return Klass::NeBaza;
    if (est(t, "disk I/O error"))
        return Klass::VvodVyvod;
    if (est(t, "permission was denied") || est(t, "permission denied") || est(t, "not authorized"))
        return Klass::Otkaz;
    if (est(t, "UNIQUE constraint failed") || est(t, "duplicate key"))
        return Klass::Povtor;
    if (est(t, "NOT NULL constraint failed") || est(t, "violates not-null"))
        return Klass::PustoeZnachenie;
    if (est(t, "FOREIGN KEY constraint failed") || est(t, "violates foreign key") || est(t, "REFERENCE constraint"))
        return Klass::Ssylka;
    return Klass::Neizvestno;
}

}  // namespace

Klass razobrat(const QString &engineText, int native, bool embedded)
{
    Klass k = poNomeruServera(native);
    // The embedded engine's "database" is a file.
    if (embedded && k == Klass::NetBazy)
        k = Klass::NetFaila;
    if (k == Klass::Neizvestno && embedded && native > 0)
        k = poKoduVstroennoi(native);
    // The generic codes (an error, a refused constraint) say less than the text.
    if (k == Klass::Neizvestno || k == Klass::Ogranichenie) {
        const Klass poTekst = poTekstu(engineText);
        if (poTekst != Klass::Neizvestno)
            k = poTekst;
    }
    return k;
}

QString opisanie(Klass klass)
{
    switch (klass) {
    case Klass::Ssylka:
        return QStringLiteral("Запись связана с другими записями базы данных. Сначала удалите или измените связанные записи.");
    case Klass::Povtor:
        return QStringLiteral("Такая запись уже есть в базе данных. Измените значение, которое должно быть единственным.");
    case Klass::PustoeZnachenie:
        return QStringLiteral("Не заполнено обязательное поле. Заполните его и повторите действие.");
    case Klass::Ogranichenie:
        return QStringLiteral("База данных отклонила изменение по своим правилам. Проверьте введённые значения.");
    case Klass::Zanyata:
        return QStringLiteral("База данных занята другим рабочим местом. Повторите действие через несколько секунд.");
    case Klass::TolkoChtenie:
        return QStringLiteral("База данных открыта только для чтения. Проверьте права на файл базы данных и папку, где он лежит.");
    case Klass::DiskPoln:
        return QStringLiteral("На диске с базой данных нет места. Освободите место на диске и повторите действие.");
    case Klass::NeBaza:
        return QStringLiteral("Файл не является базой данных. Проверьте, что указан правильный файл, или восстановите его из резервной копии.");
    case Klass::Povrezhdena:
        return QStringLiteral("Файл базы данных повреждён. Восстановите базу данных из резервной копии.");
    case Klass::VvodVyvod:
        return QStringLiteral("Ошибка чтения или записи диска с базой данных. Проверьте диск и повторите действие.");
    case Klass::NetFaila:
        return QStringLiteral("Файл базы данных не найден или не открывается. Проверьте имя базы данных в настройках подключения.");
    case Klass::NetTablicy:
        return QStringLiteral("В базе данных нет нужной таблицы. Возможно, база данных создана не полностью или устарела: обратитесь к администратору.");
    case Klass::NetStolbca:
        return QStringLiteral("В таблице базы данных нет нужного поля. Возможно, база данных устарела: обратитесь к администратору.");
    case Klass::NetFunkcii:
        return QStringLiteral("В базе данных нет нужной функции. Возможно, база данных создана не полностью: обратитесь к администратору.");
    case Klass::Sintaksis:
        return QStringLiteral("Ошибка в тексте запроса к базе данных. Сообщите администратору.");
    case Klass::Preobrazovanie:
        return QStringLiteral("Значение не удалось преобразовать (неверная дата или число). Проверьте введённое значение.");
    case Klass::NeskolkoZnacheniy:
        return QStringLiteral("В базе данных несколько записей там, где ожидалась одна (например, два председателя). Исправьте данные.");
    case Klass::Otkaz:
        return QStringLiteral("У этого рабочего места нет прав на это действие.");
    case Klass::Vhod:
        return QStringLiteral("Вход не выполнен: неверный логин или пароль. Проверьте логин (номер места) и пароль.");
    case Klass::NetBazy:
        return QStringLiteral("На сервере нет такой базы данных. Проверьте имя базы данных в настройках подключения.");
    case Klass::Otkazano:
        return QStringLiteral("Сервер базы данных отказал в соединении. Проверьте, что сервер запущен, и адрес с портом указаны верно.");
    case Klass::Taimaut:
        return QStringLiteral("Сервер базы данных не ответил вовремя. Проверьте сеть и повторите действие.");
    case Klass::Razryv:
        return QStringLiteral("Сервер базы данных разорвал соединение. Проверьте сеть и сервер; программа подключится снова.");
    case Klass::NetServera:
        return QStringLiteral("Сервер базы данных с таким именем не найден. Проверьте имя сервера в настройках подключения.");
    case Klass::ServerNeGotov:
        return QStringLiteral("Сервер базы данных запускается или останавливается. Повторите действие через несколько секунд.");
    case Klass::NeOtkryto:
        return QStringLiteral("Нет соединения с базой данных. Перезапустите программу.");
    case Klass::FailZamenen:
        return QStringLiteral("Файл базы данных удалён или заменён; соединение потеряно. Перезапустите программу.");
    case Klass::Vzaimoblokirovka:
        return QStringLiteral("Действие прервано из-за одновременной работы другого рабочего места. Повторите его.");
    case Klass::NetDrivera:
        return QStringLiteral("Не установлен драйвер базы данных. Обратитесь к администратору.");
    case Klass::NevernyAdres:
        return QStringLiteral("Адрес сервера базы данных указан неверно. Укажите его в виде pg:сервер или pg:сервер:порт.");
    case Klass::Neizvestno:
        break;
    }
    return QStringLiteral("Ошибка базы данных. Сообщите администратору.");
}

QString soobshenie(const QString &engineText, int native, bool embedded)
{
    if (estKirillica(engineText))
        return engineText;
    const QString tekst = engineText.simplified();
    QString hvost = tekst;
    if (native != 0)
        hvost += (tekst.isEmpty() ? QString() : QStringLiteral(", ")) + QString::number(native);
    const QString ru = opisanie(razobrat(engineText, native, embedded));
    return hvost.isEmpty() ? ru : ru + QStringLiteral(" (") + hvost + QLatin1Char(')');
}

}  // namespace oshibki
