// Damaged, looping, flooding and huge files in the document view: each ends in the damage
// message or in the document, the GUI thread is never held for long, and the checker process
// stays inside its address-space cap and is gone afterwards. Prints one line of figures per
// file (outcome, worst GUI stall, checker's peak memory).
#include "db/schema.h"
#include "viewer/pdfprosmotr.h"
#include "viewer/pdfproverka.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <signal.h>
#include <zlib.h>

namespace {

// A PDF of the given objects (numbered from 1, object 1 the catalogue) with a correct
// cross-reference table; `zapolnenie` bytes of comment after the header pad it to a size.
QByteArray pdfIz(const QList<QByteArray> &obekty, int zapolnenie = 0)
{
    QByteArray out("%PDF-1.4\n");
    if (zapolnenie > 0)
        out += '%' + QByteArray(zapolnenie - 2, 'x') + '\n';
    QList<qint64> mesta;
    for (int i = 0; i < obekty.size(); ++i) {
        mesta << out.size();
        out += QByteArray::number(i + 1) + " 0 obj\n" + obekty[i] + "\nendobj\n";
    }
    const qint64 xref = out.size();
    out += "xref\n0 " + QByteArray::number(obekty.size() + 1) + "\n0000000000 65535 f \n";
    for (qint64 m : mesta)
        out += QByteArray::number(m).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(obekty.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

// The page tree's only child is the page tree itself.
QByteArray petlya(int razmer)
{
    const QList<QByteArray> obekty{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [2 0 R] /Count 1 >>"};
    const int bez = pdfIz(obekty).size();
    return pdfIz(obekty, razmer > bez + 2 ? razmer - bez : 0);
}

// One page whose content stream inflates from about 2 MB to `mb` megabytes of blanks.
QByteArray bomba(int mb)
{
    z_stream z{};
    if (deflateInit(&z, 9) != Z_OK)
        return QByteArray();
    const QByteArray kusok(1 << 20, ' ');
    QByteArray szhato;
    char bufer[1 << 16];
    for (int i = 0; i <= mb; ++i) {
        const bool konec = i == mb;
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(kusok.constData()));
        z.avail_in = konec ? 0 : uInt(kusok.size());
        do {
            z.next_out = reinterpret_cast<Bytef *>(bufer);
            z.avail_out = sizeof bufer;
            deflate(&z, konec ? Z_FINISH : Z_NO_FLUSH);
            szhato.append(bufer, int(sizeof bufer - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return pdfIz({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                  "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R >>",
                  "<< /Length " + QByteArray::number(szhato.size()) + " /Filter /FlateDecode >>\nstream\n" + szhato
                      + "\nendstream"});
}

QByteArray sluchainye(int razmer, quint32 semya)
{
    QRandomGenerator gen(semya);
    QByteArray b(razmer, Qt::Uninitialized);
    for (char &c : b)
        c = char(gen.bounded(256));
    return b;
}

bool zapisat(const QString &put, const QByteArray &dannye)
{
    QFile f(put);
    return f.open(QIODevice::WriteOnly) && f.write(dannye) == dannye.size();
}

// A 300 MB file that starts and ends like a PDF and is junk in between: written sparse, so
// it takes almost no disk.
bool ogromnyi(const QString &put, qint64 razmer)
{
    QFile f(put);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("%PDF-1.7\n" + sluchainye(4096, 7));
    const QByteArray hvost = "\ntrailer\n<< /Size 9 /Root 1 0 R >>\nstartxref\n123456\n%%EOF\n";
    if (!f.resize(razmer - hvost.size()) || !f.seek(razmer - hvost.size()))
        return false;
    return f.write(hvost) == hvost.size();
}

// VmPeak (the address space RLIMIT_AS caps) and VmHWM (peak resident) of a process, in kB.
void pamyatProcessa(qint64 pid, qint64 *peak, qint64 *hwm)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> p = line.simplified().split(' ');
        if (p.size() < 2)
            continue;
        if (p[0] == "VmPeak:")
            *peak = qMax(*peak, p[1].toLongLong());
        else if (p[0] == "VmHWM:")
            *hwm = qMax(*hwm, p[1].toLongLong());
    }
}

}  // namespace

class TestPdfFuzz : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void badFilesNeverHoldTheTerminal_data();
    void badFilesNeverHoldTheTerminal();
    void aNewFileReplacesARunningCheck();

private:
    QTemporaryDir m_dir;
};

void TestPdfFuzz::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TPdfProverka::setProgramma(QStringLiteral(VOTER_BINARY_DIR "/voter-pdf"));
    if (!QFile::exists(QStringLiteral("/proc/self/status")))
        QSKIP("the checker's memory is read from /proc, which this system does not have");
}

void TestPdfFuzz::badFilesNeverHoldTheTerminal_data()
{
    QTest::addColumn<QString>("imya");
    QTest::addColumn<bool>("goden");
    const auto fail = [this](const char *imya) { return m_dir.filePath(QString::fromLatin1(imya)); };

    QVERIFY(schema::writeDemoPdf(fail("good.pdf"), nullptr));
    QFile horoshii(fail("good.pdf"));
    QVERIFY(horoshii.open(QIODevice::ReadOnly));
    const QByteArray obrazec = horoshii.readAll();

    QVERIFY(zapisat(fail("empty.pdf"), QByteArray()));
    QVERIFY(zapisat(fail("random.pdf"), sluchainye(65536, 1)));
    QVERIFY(zapisat(fail("random-header.pdf"), "%PDF-1.4\n" + sluchainye(65536, 2)));
    QVERIFY(zapisat(fail("truncated.pdf"), obrazec.left(obrazec.size() / 2)));
    const QByteArray krug = petlya(335);
    QCOMPARE(krug.size(), 335);
    QVERIFY(zapisat(fail("loop.pdf"), krug));
    const QByteArray b = bomba(2048);
    QVERIFY(b.size() > 1500000 && b.size() < 3000000);
    QVERIFY(zapisat(fail("bomb.pdf"), b));
    QVERIFY(ogromnyi(fail("huge.pdf"), 300ll * 1024 * 1024));

    QTest::newRow("good") << QStringLiteral("good.pdf") << true;
    QTest::newRow("empty") << QStringLiteral("empty.pdf") << false;
    QTest::newRow("random") << QStringLiteral("random.pdf") << false;
    QTest::newRow("random after a header") << QStringLiteral("random-header.pdf") << false;
    QTest::newRow("truncated") << QStringLiteral("truncated.pdf") << false;
    QTest::newRow("page tree contains itself") << QStringLiteral("loop.pdf") << false;
    QTest::newRow("compressed bomb") << QStringLiteral("bomb.pdf") << false;
    QTest::newRow("300 MB junk") << QStringLiteral("huge.pdf") << false;
}

void TestPdfFuzz::badFilesNeverHoldTheTerminal()
{
    QFETCH(QString, imya);
    QFETCH(bool, goden);

    TPdfProsmotr vid;
    vid.resize(1000, 800);
    vid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vid));

    bool gotovo = false;
    bool ok = false;
    TPdfProverka::Itog itog = TPdfProverka::Itog::NetProgrammy;
    connect(&vid, &TPdfProsmotr::zagruzheno, this, [&](bool v) {
        gotovo = true;
        ok = v;
    });
    connect(vid.Proverka(), &TPdfProverka::gotovo, this, [&](TPdfProverka::Itog i) { itog = i; });

    // The GUI thread's pulse: a 5 ms timer; the longest gap between two beats is the worst
    // stall. The checker's memory is read on every beat.
    qint64 pid = 0, peak = 0, hwm = 0, hudshaya = 0;
    QElapsedTimer mezhdu;
    QTimer pulse;
    pulse.setInterval(5);
    connect(&pulse, &QTimer::timeout, this, [&] {
        hudshaya = qMax(hudshaya, mezhdu.restart());
        if (const qint64 p = vid.Proverka()->pid()) {
            pid = p;
            pamyatProcessa(p, &peak, &hwm);
        }
    });
    QElapsedTimer vsego;
    vsego.start();
    mezhdu.start();
    pulse.start();
    vid.ZagruzitFail(m_dir.filePath(imya));
    hudshaya = qMax(hudshaya, mezhdu.elapsed());
    // A checker of a tiny file can be gone before the first beat on a loaded machine:
    // take its id and memory as soon as it has started as well.
    if (const qint64 p = vid.Proverka()->pid()) {
        pid = p;
        pamyatProcessa(p, &peak, &hwm);
    }
    QVERIFY(QTest::qWaitFor([&] { return gotovo; }, TPdfProverka::LimitVremeniMs + 10000));
    QTest::qWait(50);  // beats after the outcome, which the in-process load may delay
    pulse.stop();
    const qint64 dlilos = vsego.elapsed();

    const QString itogTekst = QString::fromLatin1(QMetaEnum::fromType<TPdfProverka::Itog>().valueToKey(int(itog)));
    qInfo().noquote() << QStringLiteral("FUZZ %1 | size %2 B | outcome %3 (%4) | worst GUI stall %5 ms | checker peak "
                                        "VmPeak %6 MB, VmHWM %7 MB | done in %8 ms")
                             .arg(imya, -18)
                             .arg(QFileInfo(m_dir.filePath(imya)).size())
                             .arg(ok ? QStringLiteral("shown") : QStringLiteral("message"))
                             .arg(itogTekst)
                             .arg(hudshaya)
                             .arg(peak / 1024)
                             .arg(hwm / 1024)
                             .arg(dlilos);

    QCOMPARE(ok, goden);
    QCOMPARE(vid.sostoyanie(), goden ? TPdfProsmotr::Sostoyanie::Gotov : TPdfProsmotr::Sostoyanie::Oshibka);
    QCOMPARE(vid.Soobshenie()->isVisible(), !goden);
    if (goden)
        QVERIFY(vid.KolichestvoStranic() > 0);
    else
        QCOMPARE(vid.KolichestvoStranic(), 0);
    // Generous for two loaded cores; the check itself runs elsewhere.
    QVERIFY2(hudshaya < 1000, qPrintable(QStringLiteral("GUI thread held for %1 ms").arg(hudshaya)));
    QVERIFY(pid > 0);
    QVERIFY(peak > 0);
    QVERIFY2(peak * 1024 <= TPdfProverka::LimitPamyati,
             qPrintable(QStringLiteral("checker grew to %1 kB").arg(peak)));
    // The checker is gone, also after it was killed.
    QCOMPARE(::kill(pid_t(pid), 0), -1);
    QVERIFY(!vid.Proverka()->idet());
}

// A deputy who opens another document while a slow one is still checked sees the second;
// the first check is killed and its outcome never lands.
void TestPdfFuzz::aNewFileReplacesARunningCheck()
{
    const QString krug = m_dir.filePath(QStringLiteral("loop2.pdf"));
    const QString horoshii = m_dir.filePath(QStringLiteral("good2.pdf"));
    QVERIFY(zapisat(krug, petlya(335)));
    QVERIFY(schema::writeDemoPdf(horoshii, nullptr));

    TPdfProsmotr vid;
    vid.resize(800, 600);
    vid.show();
    QList<bool> itogi;
    connect(&vid, &TPdfProsmotr::zagruzheno, this, [&](bool v) { itogi << v; });
    vid.ZagruzitFail(krug);
    QTRY_VERIFY(vid.Proverka()->pid() > 0);
    const qint64 pervyi = vid.Proverka()->pid();
    QTest::qWait(300);
    vid.ZagruzitFail(horoshii);
    QCOMPARE(::kill(pid_t(pervyi), 0), -1);
    QVERIFY(QTest::qWaitFor([&] { return !itogi.isEmpty(); }, 20000));
    QTest::qWait(100);
    QCOMPARE(itogi, QList<bool>{true});
    QCOMPARE(vid.Fail(), horoshii);
    QCOMPARE(vid.sostoyanie(), TPdfProsmotr::Sostoyanie::Gotov);
    QVERIFY(!vid.Soobshenie()->isVisible());
}

QTEST_MAIN(TestPdfFuzz)
#include "test_pdffuzz.moc"
