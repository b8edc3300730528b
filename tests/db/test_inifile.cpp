// The settings file: path rule, reading and writing without disturbing the rest of the file.
#include "db/inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_n = 0;

    QString newPath() { return m_dir.filePath(QStringLiteral("s%1.ini").arg(++m_n)); }

    static void put(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static QByteArray get(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void settingsPathReplacesTheFirstExe()
    {
        QCOMPARE(settingsPathFor(QStringLiteral("C:\\Zal\\voter.exe")), QStringLiteral("C:\\Zal\\voter.ini"));
        QCOMPARE(settingsPathFor(QStringLiteral("/opt/zal/voter")), QStringLiteral("/opt/zal/voter.ini"));
        // Case-sensitive, and only the first occurrence.
        QCOMPARE(settingsPathFor(QStringLiteral("C:\\ZAL\\VOTER.EXE")), QStringLiteral("C:\\ZAL\\VOTER.EXE.ini"));
        QCOMPARE(settingsPathFor(QStringLiteral("D:\\a.exe.d\\voter.exe")), QStringLiteral("D:\\a.ini.d\\voter.exe"));
    }

    void missingFileGivesDefaultsAndWriteCreatesIt()
    {
        const QString path = newPath();
        QCOMPARE(iniRead(path, "Podkluchenie", "Basa", "voter"), QStringLiteral("voter"));
        QVERIFY(iniRead(path, "Podkluchenie", "Basa").isNull());
        QVERIFY(!QFile::exists(path));  // reading never creates the file

        QVERIFY(iniWrite(path, "Podkluchenie", "Server", "ZAL-PC\\SQLEXPRESS"));
        QVERIFY(iniWrite(path, "Podkluchenie", "Basa", "voter"));
        QVERIFY(iniWrite(path, "Podkluchenie", "Login", "ZAL-PC\\operator"));
        QCOMPARE(get(path), QByteArray("[Podkluchenie]\nServer=ZAL-PC\\SQLEXPRESS\nBasa=voter\nLogin=ZAL-PC\\operator\n"));
        QCOMPARE(iniRead(path, "Podkluchenie", "Login"), QStringLiteral("ZAL-PC\\operator"));
        QCOMPARE(iniRead(path, "podkluchenie", "LOGIN"), QStringLiteral("ZAL-PC\\operator"));
    }

    void writeKeepsEverythingElse()
    {
        const QString path = newPath();
        put(path,
            "; settings of the hall\n"
            "[Podkluchenie]\n"
            "Server=srv\\inst\n"
            "  Basa = voter  \n"
            "\n"
            "[Restart]\n"
            "Zapret=0\n"
            "# trailing comment\n");
        QVERIFY(iniWrite(path, "Podkluchenie", "Basa", "zal2"));
        QVERIFY(iniWrite(path, "Podkluchenie", "Login", "07"));
        QVERIFY(iniWrite(path, "Golosovanie", "Vremya", "20"));
        QVERIFY(iniWrite(path, "Restart", "Zapret", "1"));
        QCOMPARE(get(path), QByteArray(
            "; settings of the hall\n"
            "[Podkluchenie]\n"
            "Server=srv\\inst\n"
            "Basa=zal2\n"
            "Login=07\n"
            "\n"
            "[Restart]\n"
            "Zapret=1\n"
            "# trailing comment\n"
            "\n"
            "[Golosovanie]\n"
            "Vremya=20\n"));
        QCOMPARE(iniRead(path, "Podkluchenie", "Basa"), QStringLiteral("zal2"));
        QCOMPARE(iniRead(path, "Restart", "Zapret"), QStringLiteral("1"));
        // A key of another section is not found in this one.
        QCOMPARE(iniRead(path, "Restart", "Basa", "none"), QStringLiteral("none"));
    }

    void valuesAreVerbatimAndUnicode()
    {
        const QString path = newPath();
        QVERIFY(iniWrite(path, "Подключение", "Логин", "ЗАЛ\\Оператор"));
        QVERIFY(iniWrite(path, "Podkluchenie", "Expr", "a=b;c [d] \"e\""));
        QCOMPARE(iniRead(path, "подключение", "логин"), QStringLiteral("ЗАЛ\\Оператор"));
        QCOMPARE(iniRead(path, "Podkluchenie", "Expr"), QStringLiteral("a=b;c [d] \"e\""));
        QVERIFY(get(path).contains("ЗАЛ\\Оператор"));  // UTF-8 on disk
    }

    void readsTheFileAfreshAndKeepsItsLineEnds()
    {
        const QString path = newPath();
        put(path, "\xEF\xBB\xBF[Podkluchenie]\r\nBasa=one\r\n");
        QCOMPARE(iniRead(path, "Podkluchenie", "Basa"), QStringLiteral("one"));
        put(path, "\xEF\xBB\xBF[Podkluchenie]\r\nBasa=two\r\n");
        QCOMPARE(iniRead(path, "Podkluchenie", "Basa"), QStringLiteral("two"));
        QVERIFY(iniWrite(path, "Podkluchenie", "Login", "05"));
        QCOMPARE(get(path), QByteArray("\xEF\xBB\xBF[Podkluchenie]\r\nBasa=two\r\nLogin=05\r\n"));
    }

    void unwritableValuesAreRefused()
    {
        const QString path = newPath();
        QVERIFY(iniWrite(path, "S", "K", "v"));
        const QByteArray before = get(path);
        QVERIFY(!iniWrite(path, "S", "K", "line\nbreak"));
        QVERIFY(!iniWrite(path, "S", "K=", "v"));
        QVERIFY(!iniWrite(path, "S]", "K", "v"));
        QVERIFY(!iniWrite(path, "", "K", "v"));
        QVERIFY(!iniWrite(path, "S", " ", "v"));
        QCOMPARE(get(path), before);
        // A folder that does not exist cannot take the file.
        QVERIFY(!iniWrite(m_dir.filePath(QStringLiteral("no/such/dir/x.ini")), "S", "K", "v"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_inifile.moc"
