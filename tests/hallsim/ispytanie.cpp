#include "hallsim/ispytanie.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QThread>

#include <algorithm>

namespace hallsim {

QStringList Ispytanie::vseLoginy()
{
    QStringList l;
    for (int i = 1; i <= 27; ++i)
        l << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    l << QStringLiteral("watcher") << QStringLiteral("admin1");
    return l;
}

QString Ispytanie::papkaProgramm()
{
    return qEnvironmentVariable("VOTER_BINARY_DIR", QStringLiteral(VOTER_BINARY_DIR));
}

qint64 Ispytanie::seichas()
{
    return QDateTime::currentMSecsSinceEpoch();
}

bool Ispytanie::nachat(const QString &imya, QString *prichina)
{
    return nachat(imya, vseLoginy(), prichina);
}

bool Ispytanie::nachatNaPostgres(const QString &imya, QString *prichina, bool *propusk)
{
    *propusk = false;
    pg = std::make_unique<PgCluster>();
    if (!pg->start()) {
        *propusk = true;
        *prichina = QStringLiteral("no PostgreSQL server for the hall: ") + pg->whyNot();
        return false;
    }
    if (!pg->createHall(QStringLiteral("hall"), prichina))
        return false;
    // HALLSIM_NO_PUSH=1: the server announces nothing, the hall follows the mode by polling
    // alone (the figures of both side by side).
    if (qEnvironmentVariableIntValue("HALLSIM_NO_PUSH") == 1
        && !pg->psql(QStringLiteral("ALTER TABLE regim DISABLE TRIGGER regim_uvedomit"), QStringLiteral("hall"), prichina))
        return false;
    zal.naServere(pg->serverParam(), QStringLiteral("hall"));
    return nachat(imya, prichina);
}

bool Ispytanie::nachat(const QString &imya, const QStringList &loginy, QString *prichina)
{
    const QString bin = papkaProgramm();
    // A short path without blanks: the program options travel through the shell.
    const QString koren = QDir(bin).filePath(QStringLiteral("hallsim/") + imya);
    if (!zal.podgotovit(koren, bin, loginy, prichina))
        return false;
    ConnectionParams p;
    p.server = zal.server();
    p.database = zal.imyaBazy();
    p.login = QStringLiteral("admin1");
    p.password = QStringLiteral("admin1");
    if (!v.otkryt(p) || !v.prochitatMesta()) {
        *prichina = QStringLiteral("driver: ") + v.oshibka();
        return false;
    }
    ResultSet rs;
    if (!v.db.query(QStringLiteral("SELECT TOP 1 id FROM zasedanie ORDER BY data DESC,id DESC"), &rs) || rs.isEmpty()
        || !v.otkrytZasedanie(rs.scalar().toInt())) {
        *prichina = QStringLiteral("opening the meeting: ") + v.oshibka();
        return false;
    }
    zal.zapustitVse();
    chasy.start();
    const QStringList vse = loginy;
    const bool ok = zhdat(
        [&] {
            for (const QString &l : vse) {
                const Sostoyanie s = zal.sostoyanie(l);
                if (s.stage() != QLatin1String("running") || !zhiv(s.pid()))
                    return false;
            }
            return true;
        },
        120000);
    if (!ok) {
        QStringList net;
        for (const QString &l : vse)
            if (zal.sostoyanie(l).stage() != QLatin1String("running"))
                net << l;
        *prichina = QStringLiteral("not running after start-up: ") + net.join(QLatin1Char(' '));
        return false;
    }
    // Figures count from here: start-up is not the hall's steady work.
    zameritZatraty();
    for (double c : std::as_const(cpuPoPid))
        cpuNachalo += c;
    for (const Sostoyanie &s : zal.vse())
        statementsNachalo += s[QStringLiteral("statements")].toLongLong();
    statementsNachalo += v.statements();
    chasy.restart();
    return true;
}

void Ispytanie::zakonchit()
{
    zal.ostanovitVse();
}

bool Ispytanie::zhdat(const std::function<bool()> &uslovie, int ms)
{
    return zhdatUsloviya(uslovie, ms, [this] {
        const qint64 n = seichas();
        if (n - m_posledniiPuls >= 1000) {
            m_posledniiPuls = n;
            proveritPulsy();
        }
        if (n - m_posledniiZamer >= 3000) {
            m_posledniiZamer = n;
            zameritZatraty();
        }
    });
}

bool Ispytanie::vseVRezhime(const QStringList &kto, int nomer, int param1, qint64 zapisano, int ms, QString *kto_net)
{
    // Counted from the start of the driver's write when that came just before.
    if (v.rezhimZapisan > 0 && v.rezhimZapisan <= zapisano && zapisano - v.rezhimZapisan < 5000)
        zapisano = v.rezhimZapisan;
    QHash<QString, qint64> kogda;
    const bool ok = zhdat(
        [&] {
            for (const QString &l : kto) {
                if (kogda.contains(l))
                    continue;
                const Sostoyanie s = zal.sostoyanie(l);
                if (s.stage() == QLatin1String("running") && s.nomer() == nomer && s.param1() == param1
                    && s.modeSince() >= zapisano - 5)
                    kogda.insert(l, s.modeSince());
            }
            return kogda.size() == kto.size();
        },
        ms);
    if (!ok) {
        if (kto_net) {
            QStringList net;
            for (const QString &l : kto)
                if (!kogda.contains(l))
                    net << l + QLatin1Char('(') + zal.sostoyanie(l)[QStringLiteral("mode")] + QLatin1Char(')');
            *kto_net = net.join(QLatin1Char(' '));
        }
        return false;
    }
    for (qint64 t : std::as_const(kogda)) {
        const int z = static_cast<int>(std::max<qint64>(0, t - zapisano));
        zaderzhki << z;
        hudshayaZaderzhka = std::max(hudshayaZaderzhka, z);
    }
    return true;
}

QStringList Ispytanie::deputaty() const
{
    QStringList out;
    for (const Mesto &m : v.mesta)
        if (!m.predsedatel)
            out << m.nomer;
    return out;
}

QString Ispytanie::predsedatel() const
{
    for (const Mesto &m : v.mesta)
        if (m.predsedatel)
            return m.nomer;
    return QString();
}

QStringList Ispytanie::terminaly() const
{
    QStringList out = vseLoginy();
    out.removeAll(QStringLiteral("admin1"));
    return out;
}

QString Ispytanie::ozhidaemyeGolosa() const
{
    QString out(27, QLatin1Char('1'));
    const QHash<int, int> b = v.byulleteni.value(v.golosovanie);
    for (const Mesto &m : v.mesta) {
        const int i = m.nomer.toInt();
        if (i >= 1 && i <= 27 && b.contains(m.idDeputata))
            out[i - 1] = QChar(u'0' + b.value(m.idDeputata) + 2);
    }
    return out;
}

void Ispytanie::zameritZatraty()
{
    for (const QString &l : zal.loginy()) {
        const qint64 pid = zal.sostoyanie(l).pid();
        const Zatraty z = zatraty(pid);
        if (!z.zhiv)
            continue;
        cpuPoPid[pid] = z.cpu;
        if (z.pikKb > pikPamyatiKb) {
            pikPamyatiKb = z.pikKb;
            pikPamyatiKto = l;
        }
    }
}

void Ispytanie::proveritPulsy()
{
    ResultSet rs;
    if (!v.db.query(QStringLiteral("SELECT nomer, DATEDIFF(ss,podkl,GETDATE()) as diff FROM mesto"), &rs))
        return;
    for (int r = 0; r < rs.rowCount(); ++r) {
        const QVariant d = rs.value(r, QStringLiteral("diff"));
        if (d.isNull())
            continue;
        ++proverokPulsa;
        if (d.toInt() >= 3)
            ++opozdaniyaPulsa;
        if (d.toInt() >= 6)
            ++molchaniya;
    }
}

QString Ispytanie::itogi(double sekund) const
{
    double cpu = 0;
    for (double c : cpuPoPid)
        cpu += c;
    qint64 statements = v.statements();
    for (const Sostoyanie &s : zal.vse())
        statements += s[QStringLiteral("statements")].toLongLong();
    QList<int> z = zaderzhki;
    std::sort(z.begin(), z.end());
    const int p99 = z.isEmpty() ? 0 : z[std::min<int>(z.size() - 1, z.size() * 99 / 100)];
    return QStringLiteral(
               "wall %1 s; hall CPU %2 CPU-s per wall-s (29 workstations); statements %3 per s "
               "(workstations and driver); mode-row write -> last workstation acting on it: worst %4 ms, "
               "99th percentile %5 ms over %6 observations; peak memory of one workstation %7 MB (%8); "
               "heartbeat samples %9, 3 s or older %10, silent (6 s or older) %11")
        .arg(sekund, 0, 'f', 0)
        .arg((cpu - cpuNachalo) / sekund, 0, 'f', 3)
        .arg((statements - statementsNachalo) / sekund, 0, 'f', 0)
        .arg(hudshayaZaderzhka)
        .arg(p99)
        .arg(z.size())
        .arg(pikPamyatiKb / 1024.0, 0, 'f', 1)
        .arg(pikPamyatiKto)
        .arg(proverokPulsa)
        .arg(opozdaniyaPulsa)
        .arg(molchaniya);
}

}  // namespace hallsim
