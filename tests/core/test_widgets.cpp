// The small widgets and the style the hall screens are made of.
#include "core/gerb.h"
#include "core/stil.h"
#include "core/vidzhety.h"

#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

class TestWidgets : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lineBreaks();
    void labelDrawsPairAsOneBreak();
    void touchButton();
    void frame();
    void coatOfArms();
};

void TestWidgets::lineBreaks()
{
    QCOMPARE(StilZala::perenosy(QStringLiteral("Иванов\n\rИван\n\rИванович")), QStringLiteral("Иванов\nИван\nИванович"));
    QCOMPARE(StilZala::perenosy(QStringLiteral("a\r\nb")), QStringLiteral("a\nb"));
    QCOMPARE(StilZala::perenosy(QStringLiteral("a\rb")), QStringLiteral("a\nb"));
    QCOMPARE(StilZala::perenosy(QStringLiteral("a\n\n\rb")), QStringLiteral("a\n\nb"));
    QCOMPARE(StilZala::perenosy(QStringLiteral("a\n\r\n\rb")), QStringLiteral("a\n\nb"));
    QCOMPARE(StilZala::perenosy(QStringLiteral("\r")), QStringLiteral("\n"));
    QCOMPARE(StilZala::perenosy(QString()), QString());
}

void TestWidgets::labelDrawsPairAsOneBreak()
{
    StilZala style;
    auto render = [&style](const QString &text) {
        QLabel l(text);
        l.setStyle(&style);
        l.setFont(arialPx(20, true));
        l.setAlignment(Qt::AlignCenter);
        l.resize(300, 120);
        return l.grab().toImage();
    };
    const QImage pair = render(QStringLiteral("До конца регистрации\n\rосталось 1 мин 5 сек"));
    const QImage plain = render(QStringLiteral("До конца регистрации\nосталось 1 мин 5 сек"));
    QCOMPARE(pair, plain);
    QVERIFY(pair != render(QStringLiteral("До конца регистрации осталось 1 мин 5 сек")));
}

void TestWidgets::touchButton()
{
    TLeibl b(QStringLiteral("ПРОШУ СЛОВА"));
    b.resize(239, 68);
    QSignalSpy clicks(&b, &TLeibl::clicked);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.size(), 1);
    // Pressed inside, released outside: no click.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(300, 10));
    QCOMPARE(clicks.size(), 1);
    b.setTag(2);
    QCOMPARE(b.tag(), 2);
    ustanovitCvet(&b, QColor(255, 255, 0));
    QCOMPARE(cvetFona(&b), QColor(255, 255, 0));
}

void TestWidgets::frame()
{
    TGranica g;
    g.resize(40, 30);
    g.setPero(Qt::white, 4);
    g.setZalivka(Qt::black);
    QSignalSpy downs(&g, &TGranica::mouseDown);
    QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(downs.size(), 1);
    const QImage img = g.grab().toImage();
    QCOMPARE(QColor(img.pixel(0, 0)), QColor(Qt::white));
    QCOMPARE(QColor(img.pixel(3, 15)), QColor(Qt::white));  // 4 px outline, inside the rectangle
    QCOMPARE(QColor(img.pixel(4, 15)), QColor(Qt::black));
    QCOMPARE(QColor(img.pixel(20, 15)), QColor(Qt::black));
}

void TestWidgets::coatOfArms()
{
    const QImage img = risovatGerb(QSize(100, 120)).toImage();
    QVERIFY(qAlpha(img.pixel(50, 60)) == 255);  // the shield covers the middle
    QCOMPARE(qAlpha(img.pixel(1, 118)), 0);     // and leaves the corners transparent
}

QTEST_MAIN(TestWidgets)
#include "test_widgets.moc"
