// The hall driver stands in for the console and the terminals, so it must send their very
// statements: every statement it plays is, up to the numbers and texts in it, one of the
// program's statements in the statement catalogue.
#include "db/schema.h"
#include "hallsim/voditel.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace hallsim;

namespace {

// Numbers and quoted texts stand for values; everything else must match.
QString forma(QString sql)
{
    static const QRegularExpression tekst(QStringLiteral("'(?:[^']|'')*'"));
    static const QRegularExpression chislo(QStringLiteral("(?<![A-Za-z_0-9])\\d+"));
    sql.replace(tekst, QStringLiteral("'$'"));
    sql.replace(chislo, QStringLiteral("#"));
    return sql.trimmed();
}

QSet<QString> formyKataloga()
{
    QFile f(QStringLiteral(VOTER_SOURCE_DIR "/tests/db/statements/catalogue.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QSet<QString> out;
    QStringList tekushii;
    bool vZapisi = false;
    const auto zakonchit = [&] {
        if (vZapisi && !tekushii.isEmpty())
            out.insert(forma(tekushii.join(QLatin1Char('\n'))));
        tekushii.clear();
    };
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("-- @"))) {
            zakonchit();
            vZapisi = true;
        } else if (line.trimmed().isEmpty()) {
            zakonchit();
            vZapisi = false;
        } else if (vZapisi && !(tekushii.isEmpty() && line.startsWith(QLatin1String("--")))) {
            tekushii << line;
        }
    }
    zakonchit();
    return out;
}

}  // namespace

class TestStatements : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyPlayedStatementIsTheProgramsOwn()
    {
        const QSet<QString> katalog = formyKataloga();
        QVERIFY(katalog.size() > 100);

        QTemporaryDir dir;
        QString error;
        const QString baza = dir.filePath(QStringLiteral("hall.db"));
        QVERIFY2(schema::createEmbedded(baza, &error), qPrintable(error));
        Voditel v;
        ConnectionParams p;
        p.server = QStringLiteral("sqlite:") + baza;
        p.login = p.password = QStringLiteral("admin1");
        QVERIFY(v.otkryt(p));
        QVERIFY2(schema::loadDemo(v.db, dir.path(), &error), qPrintable(error));
        QVERIFY(v.prochitatMesta());

        QStringList zhurnal;
        v.zhurnal = &zhurnal;
        bool ok = false;
        const int zasedanie = v.db.scalar(QStringLiteral("SELECT max(id) FROM zasedanie"), &ok).toInt();
        QVERIFY(v.otkrytZasedanie(zasedanie));
        QVERIFY(v.aktivirovatVopros(v.vopros(zasedanie).last()));
        const int period = v.nachatRegistraciyu(30);
        QVERIFY(period > 0);
        QVERIFY(v.ostalos(29));
        for (const Mesto &m : v.mesta)
            if (!m.predsedatel)
                QVERIFY(v.zaregistrirovat(m.idDeputata));
        QVERIFY(v.zakonchitRegistraciyu(period));
        QVERIFY(v.poprositSlova(v.mesta.first()));
        QVERIFY(v.gimn(true) && v.gimn(false) && v.pokazatVopros());
        for (bool vremyaVyshlo : {true, false}) {
            const int id = v.nachatGolosovanie(vremyaVyshlo ? 1 : 3, 20);
            QVERIFY2(id > 0, qPrintable(v.oshibka()));
            QVERIFY(v.progolosovat(v.mesta[0].idDeputata, 1) && v.progolosovat(v.mesta[1].idDeputata, 2)
                    && v.progolosovat(v.mesta[1].idDeputata, 3) && v.progolosovat(v.mesta[2].idDeputata, 0));
            QVERIFY(v.zakonchitGolosovanie(id, vremyaVyshlo));
            int za = 0, protiv = 0, vozd = 0;
            QVERIFY(v.podschet(id, &za, &protiv, &vozd));
            QCOMPARE(QList<int>({za, protiv, vozd}), QList<int>({1, 0, 1}));
        }
        for (int kod : {-5, -6, -7})
            QVERIFY(v.komanda(kod));
        QVERIFY(v.zakrytZasedanie());

        QVERIFY(zhurnal.size() > 40);
        QStringList chuzhie;
        for (const QString &s : std::as_const(zhurnal))
            if (!katalog.contains(forma(s)))
                chuzhie << s;
        chuzhie.removeDuplicates();
        QVERIFY2(chuzhie.isEmpty(), qPrintable(chuzhie.join(QStringLiteral("\n---\n"))));
    }
};

QTEST_MAIN(TestStatements)
#include "test_statements.moc"
