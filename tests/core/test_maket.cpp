// Every screen of every role laid out on a terminal of a given size and font dpi: each text
// must fit its box and lie inside its window, and no text the user reads may be in Latin
// letters. The terminal comes from the environment (VOTER_EKRAN=WxH, QT_FONT_DPI), so one
// executable is registered once per terminal (tests.cmake); without them it is 1280 x 1024
// at 96 dpi.
#include "console/admin_interfeis.h"
#include "console/golosovanie_forma.h"
#include "console/process_golos2_forma.h"
#include "console/process_golos_forma.h"
#include "console/registr_forma.h"
#include "core/dialogs.h"
#include "core/masshtab.h"
#include "core/startgates.h"
#include "core/stil.h"
#include "core/tpodklforma.h"
#include "editors/deputat_form.h"
#include "editors/povestka_redaktor.h"
#include "editors/povestka_vopros.h"
#include "editors/regim_povestka.h"
#include "editors/regim_redakt.h"
#include "editors/zasedanie_form.h"
#include "hall/gimn_forma.h"
#include "hall/menu_deputat.h"
#include "protocol/protokol_forma.h"
#include "support/workstation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QSize fizicheskiy()
{
    const QStringList wh = qEnvironmentVariable("VOTER_EKRAN", QStringLiteral("1280x1024")).split(QLatin1Char('x'));
    if (wh.size() != 2)
        return QSize(masshtab::MaketShirina, masshtab::MaketVysota);
    return QSize(wh[0].toInt(), wh[1].toInt());
}

QSize logicheskiy()
{
    const QSize f = fizicheskiy();
    return masshtab::logicheskiy(f, masshtab::koefficient(f));
}

// Texts with Latin letters the user may see. Everything else in Latin letters is a fault.
bool razreshennayaLatinica(const QWidget *w, QString t)
{
    // Two confirm buttons are named so in the hall's own description of its dialogs: the
    // connection dialog's "OK" and the deputy dialog's "Ok".
    if ((w->objectName() == QLatin1String("Knopka_Ok") && t == QLatin1String("OK"))
        || (w->objectName() == QLatin1String("KnopkaOk") && t == QLatin1String("Ok")))
        return true;
    // The version in the two captions that carry it, "(v. 1.1.6)", is written that way.
    t.remove(QRegularExpression(QStringLiteral("\\(v\\. [0-9.]+\\)")));
    // File names and their masks ("*.pdf", "Протокол.rtf") are the user's own names.
    t.remove(QRegularExpression(QStringLiteral("[^\\s\"()]*\\.(pdf|rtf|ini|db|sql|txt|bat|sh)\\b"),
                                QRegularExpression::CaseInsensitiveOption));
    // The names of the document formats the user saves to ("Сохранить в PDF") are names.
    t.remove(QRegularExpression(QStringLiteral("\\b(PDF|RTF)\\b")));
    // Clock formats are shown as numbers; the format itself never is.
    return !t.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

// Fields that hold a person's name: only these may show it cut short with "…" (the seat
// map's name labels, the chairman's list of speakers).
bool poleImeni(const QWidget *w)
{
    return w->objectName().startsWith(QLatin1String("MestoLeibl")) || w->objectName() == QLatin1String("SpisokTabl");
}

// Where a text does not fit or is not Russian, as "window/widget: what".
class Obhod {
public:
    QStringList nakhodki;
    int provereno = 0;  // texts measured against their boxes

    void okno(QWidget *w, const QString &imya)
    {
        if (!w)
            return;
        m_okno = imya;
        m_koren = w;
        latinica(w, QStringLiteral("window title"), w->windowTitle());
        vidzhet(w);
        const QList<QWidget *> vse = w->findChildren<QWidget *>();
        for (QWidget *c : vse)
            if (c->isVisibleTo(w) && !c->isWindow())
                vidzhet(c);
    }

    // A menu's commands: in Russian, each in a row as wide as its text needs.
    void menu(QMenu *m, const QString &imya)
    {
        if (!m)
            return;
        m_okno = imya;
        m_koren = m;
        for (QAction *a : m->actions()) {
            if (!a->text().isEmpty() && !razreshennayaLatinica(m, a->text()))
                net(m, QStringLiteral("command in Latin letters: \"") + a->text() + QLatin1Char('"'));
        }
    }

private:
    QWidget *m_koren = nullptr;
    QString m_okno;

    QString mesto(const QWidget *w) const
    {
        return m_okno + QLatin1Char('/')
               + (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    }

    void net(const QWidget *w, const QString &chto) { nakhodki << mesto(w) + QStringLiteral(": ") + chto; }

    void latinica(const QWidget *w, const QString &chto, const QString &tekst)
    {
        if (!tekst.isEmpty() && !razreshennayaLatinica(w, tekst))
            net(w, chto + QStringLiteral(" in Latin letters: \"") + tekst + QLatin1Char('"'));
    }

    // The box lies inside the window: a text pushed past its edge is cut off whatever its size.
    void vnutri(const QWidget *w)
    {
        if (w == m_koren || w->width() <= 0 || w->height() <= 0)
            return;
        const QRect r(w->mapTo(m_koren, QPoint(0, 0)), w->size());
        if (!m_koren->rect().contains(r))
            net(w, QStringLiteral("box %1,%2 %3x%4 outside its window %5x%6")
                       .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
                       .arg(m_koren->width()).arg(m_koren->height()));
    }

    void ne_vlezaet(const QWidget *w, const QString &tekst, const QSize &nado, const QSize &est)
    {
        --provereno;
        net(w, QStringLiteral("\"%1\" needs %2x%3, has %4x%5")
                   .arg(tekst).arg(nado.width()).arg(nado.height()).arg(est.width()).arg(est.height()));
    }

    void vidzhet(QWidget *w)
    {
        latinica(w, QStringLiteral("tooltip"), w->toolTip());
        if (auto *l = qobject_cast<QLabel *>(w))
            leibl(l);
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            knopka(b);
        else if (auto *v = qobject_cast<QAbstractItemView *>(w))
            tablica(v);
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            latinica(w, QStringLiteral("placeholder"), e->placeholderText());
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            latinica(w, QStringLiteral("group title"), g->title());
        else if (auto *c = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < c->count(); ++i)
                latinica(w, QStringLiteral("choice"), c->itemText(i));
    }

    void leibl(QLabel *l)
    {
        const QString tekst = StilZala::perenosy(l->text());
        if (tekst.isEmpty() || l->textFormat() == Qt::RichText
            || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(tekst)))
            return;
        latinica(l, QStringLiteral("label"), tekst);
        vnutri(l);
        if (tekst.contains(QChar(0x2026)) && !poleImeni(l))
            net(l, QStringLiteral("\"%1\" cut short, and it is not a name").arg(tekst));
        const QFontMetrics fm(l->font());
        const int m = l->margin();
        const QRect box = l->contentsRect().adjusted(m, m, -m, -m);
        QSize nado;
        if (l->wordWrap())
            nado = fm.boundingRect(box, int(l->alignment()) | Qt::TextWordWrap, tekst).size();
        else
            nado = fm.size(0, tekst);
        ++provereno;
        if (nado.width() > box.width() || nado.height() > box.height())
            ne_vlezaet(l, tekst, nado, box.size());
    }

    void knopka(QAbstractButton *b)
    {
        QString tekst = b->text();
        tekst.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        latinica(b, QStringLiteral("button"), tekst);
        if (tekst.isEmpty())
            return;
        vnutri(b);
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        QStyle::SubElement se = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox *>(b))
            se = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton *>(b))
            se = QStyle::SE_RadioButtonContents;
        else if (!qobject_cast<QPushButton *>(b))
            return;  // tool buttons carry pictures
        const QRect box = b->style()->subElementRect(se, &opt, b);
        const QSize nado = QFontMetrics(b->font()).size(Qt::TextShowMnemonic, b->text());
        int ikona = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        ++provereno;
        if (nado.width() + ikona > box.width() || nado.height() > box.height())
            ne_vlezaet(b, tekst, nado, box.size());
    }

    void tablica(QAbstractItemView *v)
    {
        QAbstractItemModel *model = v->model();
        auto *t = qobject_cast<QTableView *>(v);
        if (!model || !t)
            return;
        vnutri(v);
        QStyle *st = v->style();
        const int polya = 2 * (st->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, v) + 1);
        QHeaderView *h = t->horizontalHeader();
        for (int c = 0; c < model->columnCount(); ++c) {
            if (t->isColumnHidden(c) || t->columnWidth(c) <= 0)
                continue;
            const QString zagolovok = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            if (!h->isHidden()) {
                latinica(v, QStringLiteral("column title"), zagolovok);
                const int nado = QFontMetrics(h->font()).horizontalAdvance(zagolovok)
                                 + 2 * st->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
                ++provereno;
                if (nado > h->sectionSize(c))
                    ne_vlezaet(v, zagolovok, QSize(nado, 0), QSize(h->sectionSize(c), 0));
            }
            for (int r = 0; r < std::min(model->rowCount(), 40); ++r) {
                if (t->isRowHidden(r))
                    continue;
                const QModelIndex i = model->index(r, c);
                const QVariant d = model->data(i, Qt::DisplayRole);
                if (d.typeId() != QMetaType::QString)
                    continue;
                const QString tekst = d.toString();
                const QVariant f = model->data(i, Qt::FontRole);
                const QFontMetrics fm(f.isValid() ? f.value<QFont>() : v->font());
                const int nado = fm.horizontalAdvance(tekst.section(QLatin1Char('\n'), 0, 0)) + polya;
                ++provereno;
                // A grid of names draws a long one cut short with "…" itself.
                if (nado > t->columnWidth(c) && !(poleImeni(v) && v->textElideMode() != Qt::ElideNone))
                    ne_vlezaet(v, tekst, QSize(nado, 0), QSize(t->columnWidth(c), 0));
            }
        }
    }
};

QString otchet(const QStringList &n)
{
    return QStringLiteral("\n  ") + n.join(QStringLiteral("\n  "));
}

}  // namespace

class TestMaket : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pravila();
    void dpiVdeistvii();
    void deputat();
    void predsedatel();
    void nabludatel();
    void konsol();
    void okna();
    void vCentre();

private:
    // A started workstation of the hall on this test's terminal.
    Workstation &zapustit(TestHall &hall, const QString &login);
    // Every mode the hall goes through, the main window walked in each.
    void rezhimy(TestHall &hall, Workstation &ws, const QString &rol);
    void proiti(QWidget *w, const QString &imya);
    Obhod m_obhod;
};

void TestMaket::init()
{
    m_obhod.nakhodki.clear();
    m_obhod.provereno = 0;
}

void TestMaket::cleanup()
{
    if (m_obhod.provereno > 0)
        qInfo("%d texts fit their boxes", m_obhod.provereno);
}

Workstation &TestMaket::zapustit(TestHall &hall, const QString &login)
{
    Workstation &ws = hall.add(login);
    ws.platform.screen = logicheskiy();
    ws.start();
    return ws;
}

void TestMaket::proiti(QWidget *w, const QString &imya)
{
    w->show();
    QCoreApplication::processEvents();
    m_obhod.okno(w, imya);
    // With VOTER_SHOTS naming a folder, the whole screen as it stands (under a real display
    // it shows where the window is, too).
    const QString papka = qEnvironmentVariable("VOTER_SHOTS");
    if (!papka.isEmpty()) {
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::qWait(150);
        QString fail = imya;
        fail.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char(' '), QLatin1Char('_'));
        const QSize e = fizicheskiy();
        QDir().mkpath(papka);
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QDir(papka).filePath(QStringLiteral("%1-%2x%3.png").arg(fail).arg(e.width()).arg(e.height())));
    }
}

void TestMaket::pravila()
{
    // One factor from the screen: the whole design fits, proportions kept.
    QCOMPARE(masshtab::koefficient(QSize(1280, 1024)), 1.0);
    QCOMPARE(masshtab::koefficient(QSize(1920, 1080)), 1.05);
    QCOMPARE(masshtab::koefficient(QSize(1366, 768)), 0.75);
    QCOMPARE(masshtab::koefficient(QSize(1024, 768)), 0.75);
    QCOMPARE(masshtab::koefficient(QSize(2560, 2048)), 2.0);
    QCOMPARE(masshtab::koefficient(QSize()), 1.0);
    // The windows then see the design's height and the terminal's proportions.
    QCOMPARE(masshtab::logicheskiy(QSize(1024, 768), 0.75), QSize(1365, 1024));
    QCOMPARE(masshtab::logicheskiy(QSize(1920, 1080), 1.05), QSize(1829, 1029));
    QCOMPARE(masshtab::logicheskiy(QSize(1280, 1024), 1.0), QSize(1280, 1024));
    // Points at 96 dpi.
    QCOMPARE(masshtab::pikseli(10), 13);
    QCOMPARE(masshtab::pikseli(12), 16);
    QCOMPARE(masshtab::pikseli(18), 24);
    QCOMPARE(masshtab::pikseli(11), 14);
    QCOMPARE(masshtab::pikseli(14), 18);
    QVERIFY(masshtab::shrift(QStringLiteral("Arial"), 13).pixelSize() == 13);
    QCOMPARE(masshtab::shriftPoUmolchaniyu(QFont(QStringLiteral("Arial"), 9)).pixelSize(), 12);
    // The middle of an area that need not start at the origin.
    QCOMPARE(masshtab::poCentru(QSize(597, 145), QRect(0, 0, 1280, 1024)), QPoint(341, 439));
    QCOMPARE(masshtab::poCentru(QSize(100, 50), QRect(1280, 30, 1920, 1050)), QPoint(2190, 530));
}

void TestMaket::dpiVdeistvii()
{
    // The terminal's dpi must reach the fonts, or the 120 dpi runs prove nothing: a point
    // size grows with it, a pixel size does not.
    const int dpi = qEnvironmentVariableIntValue("QT_FONT_DPI");
    QFont pt(QStringLiteral("Arial"));
    pt.setPointSize(12);
    const QFont px = masshtab::shrift(QStringLiteral("Arial"), 16);
    const QString t = QStringLiteral("ЗАПИСАВШИЕСЯ НА ВЫСТУПЛЕНИЕ");
    if (dpi > 96)
        QVERIFY(QFontMetrics(pt).horizontalAdvance(t) > QFontMetrics(px).horizontalAdvance(t) * 1.1);
    else
        QCOMPARE(QFontMetrics(pt).horizontalAdvance(t), QFontMetrics(px).horizontalAdvance(t));
    // Application fonts are pixel-sized as the program sets them.
    QVERIFY(QApplication::font().pixelSize() > 0);
    // The windows see the terminal at the design's scale.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), logicheskiy());
}

void TestMaket::rezhimy(TestHall &hall, Workstation &ws, const QString &rol)
{
    const int meeting = hall.demoMeeting();
    ws.second(2);
    proiti(ws.glav(), rol + QStringLiteral("/idle"));

    const int period = hall.openPeriod(meeting);
    for (int i = 1; i <= 12; ++i)
        hall.registerDeputy(hall.deputyAt(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'))), period, meeting);
    QVERIFY(hall.setMode(1, period, 125));
    ws.second();
    proiti(ws.glav(), rol + QStringLiteral("/registration"));
    QVERIFY(hall.setMode(5, period, 15));
    ws.second();
    proiti(ws.glav(), rol + QStringLiteral("/registration summary"));
    QVERIFY(hall.setMode(-1));
    ws.second();

    // A vote with a long rule text and a few ballots.
    QVERIFY(hall.exec(QStringLiteral(
        "INSERT INTO golosovanie (data,regim,tip,vid,isbrano,prisutstvuet,regim_polsov,nuzno,zak,id_povestka,id_sessia) "
        "VALUES (getdate(),'Большинство от присутствующих',0,0,27,20,'Процедурные вопросы',10,27,1,%1)")
                          .arg(period)));
    const int vote = hall.scalarInt(QStringLiteral("SELECT MAX(id) FROM golosovanie"));
    QVERIFY(hall.setMode(2, vote, 754));
    ws.second();
    proiti(ws.glav(), rol + QStringLiteral("/vote"));
    QVERIFY(hall.setMode(4, vote, 15));
    ws.second();
    proiti(ws.glav(), rol + QStringLiteral("/vote result"));
    QVERIFY(hall.setMode(10));
    ws.second();
    proiti(ws.glav(), rol + QStringLiteral("/anthem"));
    QVERIFY(hall.setMode(11));
    ws.second();
    proiti(ws.glav(), rol + QStringLiteral("/anthem taken down"));
    QVERIFY(hall.setMode(-1));
    ws.second();
}

void TestMaket::deputat()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(hall.scalarInt(QStringLiteral("SELECT MIN(id) FROM povestka"))));
    Workstation &ws = zapustit(hall, QStringLiteral("07"));
    QVERIFY(ws.started());
    rezhimy(hall, ws, QStringLiteral("deputy"));
    QVERIFY2(m_obhod.nakhodki.isEmpty(), qPrintable(otchet(m_obhod.nakhodki)));
}

void TestMaket::predsedatel()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(hall.scalarInt(QStringLiteral("SELECT MIN(id) FROM povestka"))));
    Workstation &ws = zapustit(hall, QStringLiteral("02"));
    QVERIFY(ws.started());
    // A long name on a side seat, a front seat and a requesting seat: it fits or is elided.
    QVERIFY(hall.exec(QStringLiteral("UPDATE deputat SET familia = 'Верхнеднепровский-Константинопольский', "
                                     "imya = 'Александр', otchestvo = 'Святославович' WHERE id IN (%1, %2, %3)")
                          .arg(hall.deputyAt(QStringLiteral("04")))
                          .arg(hall.deputyAt(QStringLiteral("01")))
                          .arg(hall.deputyAt(QStringLiteral("05")))));
    // Speaker requests from a few seats: the chairman's list is filled.
    for (const char *m : {"05", "11", "19", "23"})
        QVERIFY(hall.exec(QStringLiteral("INSERT INTO proshu_slovo (id_mesto) SELECT id FROM mesto WHERE nomer = '%1'")
                              .arg(QLatin1String(m))));
    rezhimy(hall, ws, QStringLiteral("chairman"));
    QVERIFY2(m_obhod.nakhodki.isEmpty(), qPrintable(otchet(m_obhod.nakhodki)));
    // The long name is cut on the map, kept whole for the seat's commands.
    const QString dlinnoe = QStringLiteral("Верхнеднепровский-Константинопольский Александр Святославович");
    for (int mesto : {1, 4}) {
        const QString t = ws->karta().MestoLeibl[mesto]->text();
        QVERIFY2(t == dlinnoe || (t.endsWith(QChar(0x2026)) && dlinnoe.startsWith(t.chopped(1).trimmed())), qPrintable(t));
        QCOMPARE(imyaLeibla(ws->karta().MestoLeibl[mesto]), dlinnoe);
    }
    // On the design's own screen neither box holds it whole.
    if (logicheskiy().width() == masshtab::MaketShirina) {
        QVERIFY(ws->karta().MestoLeibl[1]->text().endsWith(QChar(0x2026)));
        QVERIFY(ws->karta().MestoLeibl[4]->text().endsWith(QChar(0x2026)));
    }
    QCOMPARE(ws->karta().MestoLeibl[6]->text(), imyaLeibla(ws->karta().MestoLeibl[6]));  // a short one stays whole
}

void TestMaket::nabludatel()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(hall.scalarInt(QStringLiteral("SELECT MIN(id) FROM povestka"))));
    Workstation &ws = zapustit(hall, QStringLiteral("watcher"));
    QVERIFY(ws.started());
    ws->show();
    QVERIFY(ws->ekrany().PostroitKartuMest());
    rezhimy(hall, ws, QStringLiteral("watcher"));
    QVERIFY2(m_obhod.nakhodki.isEmpty(), qPrintable(otchet(m_obhod.nakhodki)));
}

void TestMaket::konsol()
{
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(hall.scalarInt(QStringLiteral("SELECT MIN(id) FROM povestka"))));
    Workstation &ws = zapustit(hall, QStringLiteral("admin1"));
    QVERIFY(ws.started());
    ws->show();
    ws->ekrany().PostroitKartuMest();
    rezhimy(hall, ws, QStringLiteral("console"));

    // The console's own windows, as they stand when opened.
    WindowView *g = ws.window();
    TGolosovanieForma ustanovka(&g->konsol());
    proiti(&ustanovka, QStringLiteral("vote set-up"));
    ustanovka.hide();
    if (g->konsol().ProcessGolosForma) {
        g->konsol().ProcessGolosForma->Podgotovit(QStringLiteral("Идет регистрация"), QStringLiteral("Завершить регистрацию"));
        proiti(g->konsol().ProcessGolosForma, QStringLiteral("registration progress"));
        g->konsol().ProcessGolosForma->hide();
    }
    if (g->konsol().RegistrForma) {
        proiti(g->konsol().RegistrForma, QStringLiteral("registration"));
        g->konsol().RegistrForma->hide();
    }
    g->ekrany().SozdatProcessGolos2Formu();
    proiti(g->konsol().ProcessGolos2Forma, QStringLiteral("vote progress"));
    QVERIFY(g->karta().MenuDeputat);
    QVERIFY(!g->karta().MenuDeputat->actions().isEmpty());
    m_obhod.menu(g->karta().MenuDeputat, QStringLiteral("seat menu"));
    g->konsol().ProcessGolos2Forma->hide();
    QVERIFY2(m_obhod.nakhodki.isEmpty(), qPrintable(otchet(m_obhod.nakhodki)));
}

void TestMaket::okna()
{
    // Editors, protocol, anthem dialog, connection dialog and the start gates.
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    QVERIFY(hall.activateItem(hall.scalarInt(QStringLiteral("SELECT MIN(id) FROM povestka"))));
    Workstation &ws = zapustit(hall, QStringLiteral("admin1"));
    QVERIFY(ws.started());
    DbConnection *db = &ws->GlavBasa();
    FakeDialogs d;
    FakePlatform p(hall.dir());
    p.screen = logicheskiy();
    const int meeting = hall.demoMeeting();

    {
        TZasedanieForm w(db, &d, &p);
        proiti(&w, QStringLiteral("meetings"));
    }
    {
        TZasedanieRedaktForma w(&d);
        proiti(&w, QStringLiteral("meeting editor"));
    }
    {
        TRedaktorPovestki w(db, &d, &p);
        w.setZasedanie(meeting, QStringLiteral("Заседание № 1"));
        proiti(&w, QStringLiteral("agenda editor"));
    }
    {
        TVorposRedaktorForma w(db, &d, &p);
        proiti(&w, QStringLiteral("agenda item editor"));
    }
    {
        TRegimPovestkaForma w(db, &d, &p);
        proiti(&w, QStringLiteral("voting rules"));
    }
    {
        TRegimRedaktForma w(db, &d, &p);
        proiti(&w, QStringLiteral("voting rule editor"));
    }
    {
        TMestoDeputatForma w(db, &d, &p);
        proiti(&w, QStringLiteral("deputies"));
        TDeputatRedaktForma r(&d, &w);
        proiti(&r, QStringLiteral("deputy editor"));
    }
    {
        TProtokolForma w(db, &d, &p);
        proiti(&w, QStringLiteral("protocol"));
    }
    {
        TGimnForm w(db, &d, true);
        proiti(&w, QStringLiteral("anthem dialog"));
    }
    {
        TPodklForma w;
        proiti(&w, QStringLiteral("connection"));
    }
    {
        TStartProstoyForma w(*ws.window());
        proiti(&w, QStringLiteral("idle gate"));
        w.Button1Click();
    }
    {
        TStartAktivZasForma w(*ws.window());
        proiti(&w, QStringLiteral("meeting gate"));
        w.Button1Click();
    }
    QVERIFY2(m_obhod.nakhodki.isEmpty(), qPrintable(otchet(m_obhod.nakhodki)));
}

void TestMaket::vCentre()
{
    // A gate and a message box stand in the middle of the screen even when the main window
    // they belong to is elsewhere or not up yet (no window manager places them).
    TestHall hall;
    QVERIFY2(hall.ok(), qPrintable(hall.error()));
    Workstation &ws = hall.add(QStringLiteral("07"));
    ws.platform.screen = logicheskiy();
    ws->setGeometry(0, 0, 400, 300);
    const QRect ekran = QGuiApplication::primaryScreen()->availableGeometry();
    const auto vSeredine = [&ekran](const QWidget *w) {
        const QPoint d = w->frameGeometry().center() - ekran.center();
        return std::abs(d.x()) <= 1 && std::abs(d.y()) <= 1;
    };

    TStartProstoyForma gate(*ws.window());
    gate.show();
    QCoreApplication::processEvents();
    QVERIFY2(vSeredine(&gate), qPrintable(QStringLiteral("gate at %1,%2").arg(gate.x()).arg(gate.y())));
    gate.Button1Click();

    QtDialogs dialogs;
    QRect gde;
    QTimer::singleShot(0, [&gde] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            gde = box->frameGeometry();
            box->close();
        }
    });
    dialogs.message(ws.glav(), QStringLiteral("Ошибка голосования!"), QStringLiteral("Ошибка"), Dialogs::Error,
                    Dialogs::Ok, Dialogs::Ok);
    QVERIFY(gde.isValid());
    QVERIFY2(std::abs(gde.center().x() - ekran.center().x()) <= 1 && std::abs(gde.center().y() - ekran.center().y()) <= 1,
             qPrintable(QStringLiteral("message box at %1,%2 %3x%4").arg(gde.x()).arg(gde.y()).arg(gde.width()).arg(gde.height())));

    // The one-line input box the same way.
    gde = QRect();
    QTimer::singleShot(0, [&gde] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            gde = box->frameGeometry();
            box->close();
        }
    });
    QString imya = QStringLiteral("Протокол");
    QVERIFY(!dialogs.inputText(ws.glav(), QStringLiteral("Сохранение"), QStringLiteral("Имя файла:"), &imya, false));
    QCOMPARE(imya, QStringLiteral("Протокол"));
    QVERIFY(gde.isValid());
    QVERIFY2(std::abs(gde.center().x() - ekran.center().x()) <= 1 && std::abs(gde.center().y() - ekran.center().y()) <= 1,
             qPrintable(QStringLiteral("input box at %1,%2 %3x%4").arg(gde.x()).arg(gde.y()).arg(gde.width()).arg(gde.height())));
}

int main(int argc, char **argv)
{
    // The offscreen screen is made the terminal's size, in device pixels.
    const QSize ekran = fizicheskiy();
    QTemporaryDir papka;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && papka.isValid()) {
        QFile f(papka.filePath(QStringLiteral("ekran.json")));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(QStringLiteral("{\"screens\":[{\"name\":\"terminal\",\"x\":0,\"y\":0,\"width\":%1,\"height\":%2,"
                                   "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}")
                        .arg(ekran.width()).arg(ekran.height()).toUtf8());
            f.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + f.fileName().toUtf8());
        }
    }
    // As the program starts: the terminal's factor first, then the application.
    masshtab::zadat(masshtab::koefficient(ekran));
    QApplication app(argc, argv);
    app.setFont(masshtab::shriftPoUmolchaniyu(app.font()));
    app.setStyle(new StilZala);
    TestMaket t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_maket.moc"
