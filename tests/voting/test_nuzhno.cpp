// The required-votes rule of the seven decision rules, and how a caption with its number is
// matched against a stored rule text.
#include "console/nuzhno_golosov.h"

#include <QtTest>

using reshenie::nuzhnoGolosov;

class TestNuzhno : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void majorities_data();
    void majorities();
    void thirds_data();
    void thirds();
    void outOfRangeRule();
    void captions();
    void matching();
};

// Rules 1, 2 and 4: more than half of P, Z and E.
void TestNuzhno::majorities_data()
{
    QTest::addColumn<int>("pravilo");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("e");
    QTest::addColumn<int>("z");
    QTest::addColumn<int>("n");
    QTest::newRow("40 present") << 1 << 40 << 27 << 27 << 21;
    QTest::newRow("41 present") << 1 << 41 << 27 << 27 << 21;
    QTest::newRow("nobody present") << 1 << 0 << 27 << 27 << 1;
    QTest::newRow("one present") << 1 << 1 << 27 << 27 << 1;
    QTest::newRow("Z 50") << 2 << 0 << 0 << 50 << 26;
    QTest::newRow("Z 51") << 2 << 0 << 0 << 51 << 26;
    QTest::newRow("Z 52") << 2 << 0 << 0 << 52 << 27;
    QTest::newRow("E 27") << 4 << 0 << 27 << 0 << 14;
    QTest::newRow("E 28") << 4 << 0 << 28 << 0 << 15;
    QTest::newRow("E missing") << 4 << 10 << 0 << 50 << 1;
    // Rules read only their own count.
    QTest::newRow("rule 1 ignores E and Z") << 1 << 10 << 99 << 99 << 6;
    QTest::newRow("rule 2 ignores P and E") << 2 << 99 << 99 << 10 << 6;
    QTest::newRow("rule 4 ignores P and Z") << 4 << 99 << 10 << 99 << 6;
}

void TestNuzhno::majorities()
{
    QFETCH(int, pravilo);
    QFETCH(int, p);
    QFETCH(int, e);
    QFETCH(int, z);
    QFETCH(int, n);
    QCOMPARE(nuzhnoGolosov(pravilo, p, e, z), n);
}

// Rules 3, 5, 6, 7: thirds taken upwards, exact when divisible by 3.
void TestNuzhno::thirds_data()
{
    QTest::addColumn<int>("pravilo");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("e");
    QTest::addColumn<int>("z");
    QTest::addColumn<int>("n");
    QTest::newRow("2/3 of Z 50") << 3 << 0 << 0 << 50 << 34;
    QTest::newRow("2/3 of Z 51") << 3 << 0 << 0 << 51 << 34;
    QTest::newRow("2/3 of Z 52") << 3 << 0 << 0 << 52 << 35;
    QTest::newRow("1/3 of Z 50") << 5 << 0 << 0 << 50 << 17;
    QTest::newRow("1/3 of Z 51") << 5 << 0 << 0 << 51 << 17;
    QTest::newRow("1/3 of Z 52") << 5 << 0 << 0 << 52 << 18;
    QTest::newRow("1/3 of P 0") << 6 << 0 << 27 << 27 << 0;
    QTest::newRow("1/3 of P 1") << 6 << 1 << 27 << 27 << 1;
    QTest::newRow("1/3 of P 27") << 6 << 27 << 0 << 0 << 9;
    QTest::newRow("1/3 of P 28") << 6 << 28 << 0 << 0 << 10;
    QTest::newRow("1/3 of E missing") << 7 << 10 << 0 << 50 << 0;
    QTest::newRow("1/3 of E 26") << 7 << 0 << 26 << 0 << 9;
    // Large counts must not overflow in 2 * Z.
    QTest::newRow("2/3 of a huge Z") << 3 << 0 << 0 << 2000000001 << 1333333334;
}

void TestNuzhno::thirds()
{
    QFETCH(int, pravilo);
    QFETCH(int, p);
    QFETCH(int, e);
    QFETCH(int, z);
    QFETCH(int, n);
    QCOMPARE(nuzhnoGolosov(pravilo, p, e, z), n);
}

void TestNuzhno::outOfRangeRule()
{
    QCOMPARE(nuzhnoGolosov(0, 40, 40, 40), 0);
    QCOMPARE(nuzhnoGolosov(8, 40, 40, 40), 0);
}

void TestNuzhno::captions()
{
    QCOMPARE(reshenie::podpisPravila(1), QStringLiteral("Большинство от присутствующих"));
    QCOMPARE(reshenie::podpisPravila(2), QStringLiteral("Большинство от установленного числа"));
    QCOMPARE(reshenie::podpisPravila(3), QStringLiteral("2/3 от установленного числа"));
    QCOMPARE(reshenie::podpisPravila(4), QStringLiteral("Большинство от числа избранных"));
    QCOMPARE(reshenie::podpisPravila(5), QStringLiteral("1/3 от установленного числа депутатов"));
    QCOMPARE(reshenie::podpisPravila(6), QStringLiteral("1/3 от присутствующих депутатов"));
    QCOMPARE(reshenie::podpisPravila(7), QStringLiteral("1/3 от избранных депутатов"));
    QCOMPARE(reshenie::sChislom(QStringLiteral("2/3 от установленного числа"), 34),
             QStringLiteral("2/3 от установленного числа (34)"));
}

void TestNuzhno::matching()
{
    const QString podpis = reshenie::sChislom(reshenie::podpisPravila(3), 18);
    QCOMPARE(reshenie::bezChisla(podpis), reshenie::podpisPravila(3));
    QCOMPARE(reshenie::bezChisla(QStringLiteral("Без числа")), QStringLiteral("Без числа"));
    QVERIFY(reshenie::sovpadaet(podpis, reshenie::podpisPravila(3)));
    QVERIFY(reshenie::sovpadaet(podpis, podpis));  // a rule stored with its number
    QVERIFY(reshenie::sovpadaet(reshenie::podpisPravila(3), reshenie::podpisPravila(3)));  // before numbers
    QVERIFY(!reshenie::sovpadaet(podpis, reshenie::podpisPravila(5)));
    QVERIFY(!reshenie::sovpadaet(podpis, QStringLiteral("2/3 от установленного")));
    QVERIFY(!reshenie::sovpadaet(podpis, QString()));
}

QTEST_GUILESS_MAIN(TestNuzhno)
#include "test_nuzhno.moc"
