// The hall soak test: 29 real workstation processes on one embedded database while the
// driver plays the console and the deputies through meetings' rounds (item changes,
// registration, speaker requests, votes, results, the anthem). Every step is checked on every
// workstation's own screen (its status file) and in the database; the figures are printed.
// One round by default; SOAK_MINUTES=<n> plays rounds for n minutes; HALLSIM_ENGINE=postgres
// puts the database on a throw-away PostgreSQL server.
#include "hallsim/ispytanie.h"

#include <QFile>
#include <QtTest>

using namespace hallsim;

class TestSoak : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void meeting();
    void cleanupTestCase();

private:
    void krug(int nomer);
    void golosovanie(int pravilo, bool vremyaVyshlo);
    bool zhdatVsehVRezhime(const QStringList &kto, int nomer, int param1, qint64 zapisano);
    QString opisanie(const QStringList &kto);

    Ispytanie h;
    QStringList vse;
    QSet<int> zaregistrirovany;  // deputies of the current period
};

void TestSoak::initTestCase()
{
    QString prichina;
    // HALLSIM_ENGINE=postgres: the same hall on a throw-away PostgreSQL server.
    if (qEnvironmentVariable("HALLSIM_ENGINE") == QLatin1String("postgres")) {
        bool propusk = false;
        const bool ok = h.nachatNaPostgres(QStringLiteral("soak-pg"), &prichina, &propusk);
        if (propusk)
            QSKIP(qPrintable(prichina));
        QVERIFY2(ok, qPrintable(prichina));
    } else {
        QVERIFY2(h.nachat(QStringLiteral("soak"), &prichina), qPrintable(prichina));
    }
    vse = Ispytanie::vseLoginy();
}

void TestSoak::cleanupTestCase()
{
    h.zakonchit();
}

bool TestSoak::zhdatVsehVRezhime(const QStringList &kto, int nomer, int param1, qint64 zapisano)
{
    QString net;
    if (h.vseVRezhime(kto, nomer, param1, zapisano, 10000, &net))
        return true;
    qWarning("mode %d/%d not reached by: %s", nomer, param1, qPrintable(net));
    return false;
}

void TestSoak::meeting()
{
    const int minut = qEnvironmentVariableIntValue("SOAK_MINUTES");
    int krugov = 0;
    do {
        krug(krugov++);
        if (QTest::currentTestFailed())
            return;
    } while (h.chasy.elapsed() < minut * 60000LL);

    // Nothing ended, nothing restarted: every workstation still runs the instance it started.
    for (const QString &l : vse) {
        const Sostoyanie s = h.zal.sostoyanie(l);
        QVERIFY2(zhiv(s.pid()), qPrintable(l + QStringLiteral(" ended")));
        QVERIFY2(h.zal.sluzhbaIdet(l), qPrintable(l));
        QFile log(h.zal.papka(l) + QStringLiteral("/service.log"));
        if (log.open(QIODevice::ReadOnly))
            QVERIFY2(!log.readAll().contains("Ошибка"), qPrintable(l));
    }

    // Every ballot and presence record the driver left is in the database, and nothing else.
    for (auto g = h.v.byulleteni.cbegin(); g != h.v.byulleteni.cend(); ++g) {
        ResultSet rs;
        QVERIFY(h.v.db.query(QStringLiteral("SELECT id_deputat, result FROM otvet WHERE id_golosovanie=%1").arg(g.key()), &rs));
        QHash<int, int> vBaze;
        for (int r = 0; r < rs.rowCount(); ++r) {
            QVERIFY2(!vBaze.contains(rs.value(r, 0).toInt()), "two ballots of one deputy");
            vBaze.insert(rs.value(r, 0).toInt(), rs.value(r, 1).toInt());
        }
        QCOMPARE(vBaze, g.value());
    }
    for (auto p = h.v.registracii.cbegin(); p != h.v.registracii.cend(); ++p) {
        bool ok = false;
        const int n = h.v.db.scalar(QStringLiteral("SELECT count(*) FROM sessia WHERE id_sessia=%1").arg(p.key()), &ok).toInt();
        QVERIFY(ok);
        QCOMPARE(n, p.value().size());
    }
    QCOMPARE(h.molchaniya, 0);

    const double sekund = h.chasy.elapsed() / 1000.0;
    const QString itogi = QStringLiteral("rounds %1; ").arg(krugov) + h.itogi(sekund);
    qInfo("%s", qPrintable(itogi));
    QFile f(Ispytanie::papkaProgramm() + QStringLiteral("/hallsim/soak%1-figures.txt").arg(h.pg ? QStringLiteral("-pg") : QString()));
    if (f.open(QIODevice::WriteOnly))
        f.write(itogi.toUtf8() + '\n');
}

void TestSoak::krug(int nomer)
{
    // A new item every round but the first (opening the meeting made the first one active).
    const QVector<int> voprosy = h.v.vopros(h.v.idZasedania);
    QVERIFY(!voprosy.isEmpty());
    if (nomer > 0) {
        QVERIFY2(h.v.aktivirovatVopros(voprosy[nomer % voprosy.size()]), qPrintable(h.v.oshibka()));
        const QString item = QString::number(h.v.idPovestki);
        QVERIFY2(h.zhdat(
                     [&] {
                         for (const QString &l : vse)
                             if (h.zal.sostoyanie(l)[QStringLiteral("item")] != item)
                                 return false;
                         return true;
                     },
                     10000),
                 "a workstation did not follow the active item");
    }

    // Registration: most deputies press, a few do not.
    const int sekund = 6;
    const int period = h.v.nachatRegistraciyu(sekund);
    QVERIFY2(period > 0, qPrintable(h.v.oshibka()));
    const qint64 t1 = Ispytanie::seichas();
    QVERIFY(zhdatVsehVRezhime(vse, 1, period, t1));
    // An admitted deputy's terminal first drops its admission, then enters the registration
    // screen at the next tick.
    QVERIFY2(h.zhdat(
                 [&] {
                     for (const QString &l : h.deputaty())
                         if (!h.zal.sostoyanie(l).ekran(QStringLiteral("registration")))
                             return false;
                     return true;
                 },
                 3000),
             "a deputy terminal without the registration screen");
    zaregistrirovany.clear();
    for (const Mesto &m : h.v.mesta)
        if (m.predsedatel)
            zaregistrirovany.insert(m.idDeputata);
    QVector<Mesto> ochered = h.v.mesta;
    std::shuffle(ochered.begin(), ochered.end(), h.sluchai);
    int k = 0;
    for (int s = sekund; s >= 0; --s) {
        for (int i = 0; i < 5 && k < ochered.size(); ++k) {
            const Mesto &m = ochered[k];
            if (m.predsedatel || h.sluchai.bounded(10) == 0)
                continue;
            QVERIFY2(h.v.zaregistrirovat(m.idDeputata), qPrintable(h.v.oshibka()));
            zaregistrirovany.insert(m.idDeputata);
            ++i;
        }
        QVERIFY(h.v.ostalos(s));
        h.zhdat([] { return false; }, 1000);
    }
    // Each terminal reads the presence records while registration runs...
    const auto soglasny = [&](const char *pole, const char *da, const char *net) {
        return h.zhdat(
            [&] {
                for (const Mesto &m : h.v.mesta) {
                    if (m.predsedatel)
                        continue;
                    const QString z = h.zal.sostoyanie(m.nomer)[QLatin1String(pole)];
                    if (z != QLatin1String(zaregistrirovany.contains(m.idDeputata) ? da : net))
                        return false;
                }
                return true;
            },
            5000);
    };
    QVERIFY2(soglasny("registered", "1", "0"), "a terminal disagrees with the presence records");
    QVERIFY(h.v.zakonchitRegistraciyu(period));
    QVERIFY(zhdatVsehVRezhime(vse, 5, period, Ispytanie::seichas()));
    // ...and its button follows them once the results are up.
    QVERIFY2(soglasny("reg_button", "2", "1"), "a registration button disagrees with the presence records");

    // Speaker requests show on the chairman's and the console's seat maps.
    QSet<QString> prosyat;
    for (int i = 0; i < 3; ++i) {
        const Mesto &m = h.v.mesta[h.sluchai.bounded(h.v.mesta.size())];
        if (prosyat.contains(m.nomer))
            continue;
        QVERIFY(h.v.poprositSlova(m));
        prosyat.insert(m.nomer);
    }
    QVERIFY2(h.zhdat(
                 [&] {
                     for (const QString &kto : {h.predsedatel(), QStringLiteral("admin1")}) {
                         const QString imena = h.zal.sostoyanie(kto)[QStringLiteral("seat_names")];
                         for (const QString &n : prosyat)
                             if (imena.size() < 27 || imena[n.toInt() - 1] != QLatin1Char('6'))
                                 return false;
                     }
                     return true;
                 },
                 5000),
             "speaker requests not on the seat maps");

    QVERIFY(h.v.pokazatVopros());
    QVERIFY(zhdatVsehVRezhime(vse, -1, h.zal.sostoyanie(QStringLiteral("admin1")).param1(), Ispytanie::seichas()));

    golosovanie(1 + nomer % 7, true);
    golosovanie(1 + (nomer + 3) % 7, false);

    // The anthem after the results, then the agenda again.
    QVERIFY(h.v.gimn(true));
    const int p1 = h.v.golosovanie;
    QVERIFY(zhdatVsehVRezhime(vse, 10, p1, Ispytanie::seichas()));
    for (const QString &l : h.terminaly()) {
        const Sostoyanie s = h.zal.sostoyanie(l);
        // A deputy who did not register keeps the start screen and gets no anthem frame.
        QVERIFY2(s.ekran(QStringLiteral("anthem")) != s.ekran(QStringLiteral("start")), qPrintable(l));
    }
    QVERIFY(h.v.gimn(false));
    QVERIFY(zhdatVsehVRezhime(vse, 11, p1, Ispytanie::seichas()));
    QVERIFY(h.v.pokazatVopros());
    QVERIFY(zhdatVsehVRezhime(vse, -1, p1, Ispytanie::seichas()));
}

// The status files of the workstations named in a failure ("19(registered)"), for its message.
QString TestSoak::opisanie(const QStringList &kto)
{
    QString s;
    for (const QString &k : kto) {
        const Sostoyanie st = h.zal.sostoyanie(k.section(QLatin1Char('('), 0, 0));
        s += QStringLiteral("\n%1:").arg(k);
        for (auto it = st.pole.cbegin(); it != st.pole.cend(); ++it)
            s += QLatin1Char(' ') + it.key() + QLatin1Char('=') + it.value();
    }
    return s;
}

void TestSoak::golosovanie(int pravilo, bool vremyaVyshlo)
{
    const int sekund = 6;
    const int id = h.v.nachatGolosovanie(pravilo, sekund);
    QVERIFY2(id > 0, qPrintable(h.v.oshibka()));
    QVERIFY(zhdatVsehVRezhime(vse, 2, id, Ispytanie::seichas()));
    // The voting panel exactly on the registered deputies' terminals; the board on the others.
    QStringList neTe;  // the workstations that disagree, for the message
    QVERIFY2(h.zhdat(
                 [&] {
                     neTe.clear();
                     for (const Mesto &m : h.v.mesta)
                         if (h.zal.sostoyanie(m.nomer).ekran(QStringLiteral("vote-panel"))
                             != zaregistrirovany.contains(m.idDeputata))
                             neTe << m.nomer + (zaregistrirovany.contains(m.idDeputata) ? QStringLiteral("(registered)")
                                                                                         : QStringLiteral("(not registered)"));
                     for (const char *l : {"admin1", "watcher"})
                         if (!h.zal.sostoyanie(QLatin1String(l)).ekran(QStringLiteral("vote-board")))
                             neTe << QLatin1String(l);
                     return neTe.isEmpty();
                 },
                 5000),
             qPrintable(QStringLiteral("voting panels disagree with the registration: ") + neTe.join(QLatin1Char(' '))
                        + opisanie(neTe)));

    // Ballots: most vote, some change their minds, a few withdraw.
    QVector<Mesto> ochered;
    for (const Mesto &m : h.v.mesta)
        if (zaregistrirovany.contains(m.idDeputata))
            ochered << m;
    std::shuffle(ochered.begin(), ochered.end(), h.sluchai);
    int k = 0;
    for (int s = sekund; s > 0; --s) {
        for (int i = 0; i < 6 && k < ochered.size(); ++i, ++k) {
            const Mesto &m = ochered[k];
            const int r = h.sluchai.bounded(20);
            if (r == 0)
                continue;
            QVERIFY2(h.v.progolosovat(m.idDeputata, 1 + h.sluchai.bounded(3)), qPrintable(h.v.oshibka()));
            if (r <= 3)
                QVERIFY(h.v.progolosovat(m.idDeputata, r == 1 ? 0 : 1 + h.sluchai.bounded(3)));
        }
        QVERIFY(h.v.ostalos(s - 1));
        h.zhdat([] { return false; }, 1000);
    }
    // The seat maps show every ballot before the vote closes.
    const QString golosa = h.ozhidaemyeGolosa();
    QVERIFY2(h.zhdat(
                 [&] {
                     return h.zal.sostoyanie(h.predsedatel())[QStringLiteral("seat_names")] == golosa
                            && h.zal.sostoyanie(QStringLiteral("admin1"))[QStringLiteral("seat_names")] == golosa;
                 },
                 5000),
             qPrintable(QStringLiteral("seat maps: expected %1, chairman %2, console %3")
                            .arg(golosa, h.zal.sostoyanie(h.predsedatel())[QStringLiteral("seat_names")],
                                 h.zal.sostoyanie(QStringLiteral("admin1"))[QStringLiteral("seat_names")])));

    QVERIFY(h.v.zakonchitGolosovanie(id, vremyaVyshlo));
    QVERIFY(zhdatVsehVRezhime(vse, 4, id, Ispytanie::seichas()));
    int za = 0, protiv = 0, vozd = 0;
    QVERIFY(h.v.podschet(id, &za, &protiv, &vozd));
    const QString prinyato = za >= h.v.nuzno ? QStringLiteral("РЕШЕНИЕ ПРИНЯТО") : QStringLiteral("РЕШЕНИЕ НЕ ПРИНЯТО");
    const QString nachalo = QStringLiteral("%1,%2,%3,").arg(za).arg(protiv).arg(vozd);
    // Every board that is up shows the database's counts and decision; the console, the
    // chairman and the watcher always show it.
    QStringList ne;
    const auto rezultatVerny = [&] {
        ne.clear();
        for (const QString &l : vse) {
            const Sostoyanie s = h.zal.sostoyanie(l);
            const bool doska = s.ekran(QStringLiteral("board"));
            const bool nuzhna = !s.ekran(QStringLiteral("start")) || l == QLatin1String("admin1")
                                || l == QLatin1String("watcher") || l == h.predsedatel();
            if ((nuzhna && !doska)
                || (doska && (!s[QStringLiteral("board_result")].startsWith(nachalo)
                              || s[QStringLiteral("board_decision")] != prinyato)))
                ne << l + QLatin1Char(':') + s[QStringLiteral("screens")] + QLatin1Char(':')
                          + s[QStringLiteral("board_result")] + QLatin1Char(':') + s[QStringLiteral("board_decision")];
        }
        return ne.isEmpty() && h.zal.sostoyanie(h.predsedatel())[QStringLiteral("seat_names")] == golosa;
    };
    QVERIFY2(h.zhdat(rezultatVerny, 5000),
             qPrintable(QStringLiteral("result boards: expected %1 %2; wrong: %3").arg(nachalo, prinyato, ne.join(QLatin1Char(' ')))));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The longer form outlasts QtTest's five-minute watchdog of a test function.
    const int minut = qEnvironmentVariableIntValue("SOAK_MINUTES");
    if (minut > 0 && !qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number((minut + 10) * 60000));
    TestSoak test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_soak.moc"
