// Two hundred workstations starting at once on one embedded database, each under its restart
// script's service: the 27 seats and 173 watchers. Every one must come up and stay up, none
// may wait on a box, and whatever failed at start-up must have been retried by itself.
#include "hallsim/ispytanie.h"

#include <QtTest>

using namespace hallsim;

namespace {

const int kVsego = 200;
const int kZhdatMs = 240000;  // under the test function's own 5 minutes

bool naEkrane(const Sostoyanie &s)
{
    return zhiv(s.pid())
           && (s.stage() == QLatin1String("running") || s.stage() == QLatin1String("idle-gate")
               || s.stage() == QLatin1String("meeting-gate"));
}

}  // namespace

class TestStart200 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void allComeUpAndStayUp();
    void cleanupTestCase() { m_zal.ostanovitVse(); }

private:
    QStringList soobsheniya(const QString &papka) const;
    Zal m_zal;
};

QStringList TestStart200::soobsheniya(const QString &papka) const
{
    QStringList out;
    QFile f(QDir(m_zal.papka(papka)).filePath(QStringLiteral("voter.log")));
    if (f.open(QIODevice::ReadOnly))
        for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
            if (line.contains(QLatin1String("message shown:")))
                out << line.section(QStringLiteral("message shown: "), 1);
    return out;
}

void TestStart200::allComeUpAndStayUp()
{
    QStringList papki;
    for (int i = 1; i <= 27; ++i)
        papki << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    for (int i = papki.size() + 1; i <= kVsego; ++i)
        papki << QStringLiteral("watcher@%1").arg(i, 3, 10, QLatin1Char('0'));

    const QString bin = Ispytanie::papkaProgramm();
    QString oshibka;
    QVERIFY2(m_zal.podgotovit(QDir(bin).filePath(QStringLiteral("hallsim/start200")), bin, papki, &oshibka),
             qPrintable(oshibka));

    QElapsedTimer t;
    t.start();
    m_zal.zapustitVse();
    QHash<QString, QSet<qint64>> pids;  // every program each service ran
    auto zamerit = [&] {
        for (const QString &p : papki)
            if (const qint64 pid = m_zal.sostoyanie(p).pid())
                pids[p].insert(pid);
    };
    QStringList net;
    const bool vse = zhdatUsloviya(
        [&] {
            net.clear();
            for (const QString &p : papki)
                if (!naEkrane(m_zal.sostoyanie(p)))
                    net << p;
            return net.isEmpty();
        },
        kZhdatMs, zamerit);
    const qint64 vsehMs = t.elapsed();
    QVERIFY2(vse, qPrintable(QStringLiteral("%1 of %2 not up after %3 s: %4")
                                 .arg(net.size()).arg(kVsego).arg(kZhdatMs / 1000).arg(net.mid(0, 20).join(QLatin1Char(' ')))));

    // Up means up: ten seconds later every one still runs the same program.
    QHash<QString, qint64> teper;
    for (const QString &p : papki)
        teper.insert(p, m_zal.sostoyanie(p).pid());
    zhdatUsloviya([] { return false; }, 10000, zamerit);
    QStringList upali;
    for (const QString &p : papki)
        if (m_zal.sostoyanie(p).pid() != teper.value(p) || !naEkrane(m_zal.sostoyanie(p)))
            upali << p;
    QVERIFY2(upali.isEmpty(), qPrintable(QStringLiteral("went down again: ") + upali.join(QLatin1Char(' '))));

    int perezapuski = 0, soobshenii = 0, sPerezapuskom = 0;
    qint64 pamyatKb = 0;
    for (const QString &p : papki) {
        pamyatKb += zatraty(m_zal.sostoyanie(p).pid()).pikKb;
        const int n = int(pids.value(p).size()) - 1;
        perezapuski += qMax(0, n);
        sPerezapuskom += n > 0 ? 1 : 0;
        soobshenii += int(soobsheniya(p).size());
    }
    qInfo().noquote() << QStringLiteral("FAULT %1 workstations starting at once | all up in %2 s | %3 restarted "
                                        "through the service (%4 restarts) | %5 non-blocking message(s) in all | "
                                        "peak memory of the 200 programs together %6 MB")
                             .arg(kVsego)
                             .arg(vsehMs / 1000.0, 0, 'f', 1)
                             .arg(sPerezapuskom)
                             .arg(perezapuski)
                             .arg(soobshenii)
                             .arg(pamyatKb / 1024);
}

QTEST_GUILESS_MAIN(TestStart200)
#include "test_start200.moc"
