#include "console/nuzhno_golosov.h"

namespace reshenie {

namespace {

// Counts come from the database as signed 32-bit values; 2 * Z must not overflow.
qint64 vverh(qint64 a, qint64 b)
{
    return a / b + ((a % b) > 0 ? 1 : 0);
}

int bolshinstvo(qint64 n)
{
    return int(n / 2 + 1);
}

}  // namespace

QString podpisPravila(int pravilo)
{
    switch (pravilo) {
    case 1: return QStringLiteral("Большинство от присутствующих");
    case 2: return QStringLiteral("Большинство от установленного числа");
    case 3: return QStringLiteral("2/3 от установленного числа");
    case 4: return QStringLiteral("Большинство от числа избранных");
    case 5: return QStringLiteral("1/3 от установленного числа депутатов");
    case 6: return QStringLiteral("1/3 от присутствующих депутатов");
    case 7: return QStringLiteral("1/3 от избранных депутатов");
    default: return QString();
    }
}

int nuzhnoGolosov(int pravilo, int prisutstvuet, int isbrano, int zakon)
{
    switch (pravilo) {
    case 1: return bolshinstvo(prisutstvuet);
    case 2: return bolshinstvo(zakon);
    case 3: return int(vverh(2 * qint64(zakon), 3));
    case 4: return bolshinstvo(isbrano);
    case 5: return int(vverh(zakon, 3));
    case 6: return int(vverh(prisutstvuet, 3));
    case 7: return int(vverh(isbrano, 3));
    default: return 0;
    }
}

QString sChislom(const QString &podpis, int n)
{
    return podpis + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')');
}

QString bezChisla(const QString &podpis)
{
    const int skobka = podpis.indexOf(QLatin1Char('('));
    if (skobka < 0)
        return podpis;
    QString s = podpis.left(skobka);
    if (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

bool sovpadaet(const QString &podpis, const QString &regim)
{
    return podpis == regim || bezChisla(podpis) == regim;
}

}  // namespace reshenie
