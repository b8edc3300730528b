// The workstation's own command-line options (window geometry, status file, power-off
// command): split off the positional arguments, so "voter --geometry=640x512+0+0 auto
// embedded voter 07" still logs in as 07.
#include "core/platform.h"

#include <QtTest>

#include <pwd.h>
#include <unistd.h>

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void geometryOptionIsTakenOffTheArguments()
    {
        QRect tile;
        QCOMPARE(RealPlatform::takeGeometry({"--geometry=640x512+1280+0", "auto", "embedded", "voter", "07"}, &tile),
                 QStringList({"auto", "embedded", "voter", "07"}));
        QCOMPARE(tile, QRect(1280, 0, 640, 512));

        QCOMPARE(RealPlatform::takeGeometry({"auto", "--geometry", "800x600+10+20", "srv"}, &tile),
                 QStringList({"auto", "srv"}));
        QCOMPARE(tile, QRect(10, 20, 800, 600));

        QCOMPARE(RealPlatform::takeGeometry({"auto", "embedded"}, &tile), QStringList({"auto", "embedded"}));
        QVERIFY(!tile.isValid());
    }

    void malformedGeometryMeansFullScreen()
    {
        QRect tile;
        for (const char *bad : {"--geometry=0x600+0+0", "--geometry=800x600", "--geometry=axb+0+0", "--geometry"}) {
            const QStringList rest = RealPlatform::takeGeometry({QString::fromLatin1(bad), "auto"}, &tile);
            QVERIFY2(!tile.isValid(), bad);
            QVERIFY2(!rest.contains(QString::fromLatin1(bad)), bad);
        }
    }

    void valueOptionsInBothForms()
    {
        QString status;
        QString poweroff;
        QStringList rest = RealPlatform::takeOption({"--status-file=st", "auto", "--power-off-command", "/x/p.sh", "07"},
                                                    QStringLiteral("status-file"), &status);
        rest = RealPlatform::takeOption(rest, QStringLiteral("power-off-command"), &poweroff);
        QCOMPARE(rest, QStringList({"auto", "07"}));
        QCOMPARE(status, QStringLiteral("st"));
        QCOMPARE(poweroff, QStringLiteral("/x/p.sh"));
        // A look-alike is not the option, and the last of two wins.
        rest = RealPlatform::takeOption({"--status-files=a", "--status-file=b", "--status-file=c"},
                                        QStringLiteral("status-file"), &status);
        QCOMPARE(rest, QStringList({"--status-files=a"}));
        QCOMPARE(status, QStringLiteral("c"));
    }

    void userNameWithoutEnvironment()
    {
        // Started by a service or a kiosk session: no USER, USERNAME or LOGNAME.
        const QByteArray keep[] = {qgetenv("USER"), qgetenv("USERNAME"), qgetenv("LOGNAME")};
        const char *names[] = {"USER", "USERNAME", "LOGNAME"};
        for (const char *n : names)
            qunsetenv(n);
        const QString u = RealPlatform().userName();
        for (int i = 0; i < 3; ++i)
            if (!keep[i].isNull())
                qputenv(names[i], keep[i]);
        QVERIFY(!u.isEmpty());
        const passwd *pw = getpwuid(geteuid());
        QVERIFY(pw);
        QCOMPARE(u, QString::fromLocal8Bit(pw->pw_name));
        // With the variable set, it still decides.
        qputenv("USERNAME", "zal-07");
        QCOMPARE(RealPlatform().userName(), QStringLiteral("zal-07"));
        if (keep[1].isNull())
            qunsetenv("USERNAME");
        else
            qputenv("USERNAME", keep[1]);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
