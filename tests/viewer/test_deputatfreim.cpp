// The deputy's agenda and document frame on a started deputy terminal: what the lists show,
// how the documents follow the agenda, opening a document from the store beside the
// program, scrolling it only with the frame's buttons, and the layout at 1280 x 1024.
#include "db/schema.h"
#include "db/docstore.h"
#include "support/workstation.h"
#include "viewer/deputatfreim.h"
#include "viewer/pdfprosmotr.h"
#include "viewer/strelka.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QMouseEvent>
#include <QPdfDocument>
#include <QPdfView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QWheelEvent>

namespace {

// The demo data writes its document into the store beside the hall's folder; a workstation
// opens documents from the store beside its own program, as each terminal does.
bool kopirovatHranilishe(const QString &iz, const QString &v)
{
    const QString koren = docstore::storeDir(iz);
    QDirIterator it(koren, QDir::Files, QDirIterator::Subdirectories);
    bool est = false;
    while (it.hasNext()) {
        const QString fail = it.next();
        const QString cel = docstore::storeDir(v) + QLatin1Char('/') + QDir(koren).relativeFilePath(fail);
        if (!QDir().mkpath(QFileInfo(cel).absolutePath()) || !QFile::copy(fail, cel))
            return false;
        est = true;
    }
    return est;
}

QString tekstStroki(QTableView *t, int row)
{
    return t->model()->index(row, 0).data().toString();
}

// Every character of the box at one point size, and nothing selected.
bool vesTekstRazmera(QTextEdit *edit, qreal pt)
{
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().fontPointSize() != pt)
                return false;
    return !edit->textCursor().hasSelection();
}

// The document is checked in the checker process before it is shown; waits for the outcome.
bool dozhdatsya(TDeputatFreim *f)
{
    return QTest::qWaitFor([f] { return f->PDF->sostoyanie() != TPdfProsmotr::Sostoyanie::Proverka; }, 20000);
}

}  // namespace

class TestDeputatFreim : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void descriptionPrefix_data();
    void descriptionPrefix();
    void agendaOfTheMeeting();
    void filterHidesOnlyTheLiteralTitle();
    void watcherLabel();
    void documentsFollowTheItem();
    void navigationStopsAtTheEnds();
    void documentsOrderedByPrefix();
    void showDocumentFromTheStore();
    void itemWithoutDocuments();
    void missingFile();
    void fileWithApostrophe();
    void lineScroll();
    void pageScroll();
    void touchDoesNotScroll();
    void keysDoNotMoveTheHiddenAgenda();
    void returnToAgenda();
    void closedMeetingLeavesTheScreen();
    void pollerKeepsButtonsWithDocument();
    void layout();
    void documentButtonsLayout();
    void frameResizeKeepsColumnsAligned();

private:
    // A deputy terminal of seat 07 started on item "Вопрос 1", registered, with the demo
    // document in its store when `dokumenty` is set.
    Workstation &deputat(bool dokumenty = true);
    TDeputatFreim *freim(Workstation &ws) { return ws->deputat().DeputatFreimVid; }
    // Puts the agenda cursor on the item with this title.
    bool naVopros(TDeputatFreim *f, const QString &opisanie);

    std::unique_ptr<TestHall> hall;
};

void TestDeputatFreim::init()
{
    hall = std::make_unique<TestHall>();
    QVERIFY2(hall->ok(), qPrintable(hall->error()));
}

void TestDeputatFreim::cleanup()
{
    hall.reset();
}

Workstation &TestDeputatFreim::deputat(bool dokumenty)
{
    const int meeting = hall->demoMeeting();
    hall->activateItem(hall->scalarInt(QStringLiteral("SELECT id FROM povestka WHERE opisanie = 'Вопрос 1'")));
    const int period = hall->openPeriod(meeting);
    hall->registerDeputy(hall->deputyAt(QStringLiteral("07")), period, meeting);
    Workstation &ws = hall->add(QStringLiteral("07"));
    if (dokumenty && !kopirovatHranilishe(hall->dir(), ws.platform.dir))
        qWarning("no demo document to copy");
    ws.start();
    if (ws.started()) {
        freim(ws)->TaimerProkrutki->setFiring(false);
        // On the screen, so that the viewer lays its pages out as a terminal does.
        ws->show();
    }
    return ws;
}

bool TestDeputatFreim::naVopros(TDeputatFreim *f, const QString &opisanie)
{
    return f->Povestka->locate(QStringLiteral("opisanie"), opisanie);
}

// ---- How rows are shown ----------------------------------------------------------------------

void TestDeputatFreim::descriptionPrefix_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two digits and a space") << QVariant(QStringLiteral("01 Проект закона")) << QStringLiteral("Проект закона");
    QTest::newRow("digit, then a dot") << QVariant(QStringLiteral("2. Заключение")) << QStringLiteral("2. Заключение");
    QTest::newRow("two digits and a dot") << QVariant(QStringLiteral("12.Заключение")) << QStringLiteral("Заключение");
    QTest::newRow("second character a letter") << QVariant(QStringLiteral("Проект")) << QStringLiteral("Проект");
    QTest::newRow("digit first, letter second") << QVariant(QStringLiteral("1й вариант")) << QStringLiteral("1й вариант");
    QTest::newRow("letter first, digit second") << QVariant(QStringLiteral("A1 Смета")) << QStringLiteral("Смета");
    QTest::newRow("vulgar fraction counts as a number") << QVariant(QStringLiteral("0½ Смета")) << QStringLiteral("Смета");
    QTest::newRow("Arabic-Indic digit") << QVariant(QStringLiteral("٠١ Доклад")) << QStringLiteral("Доклад");
    QTest::newRow("digit outside the basic plane is one character")
        << QVariant(QStringLiteral("1\U0001D7D0 Доклад")) << QStringLiteral("Доклад");
    QTest::newRow("exactly the prefix") << QVariant(QStringLiteral("01 ")) << QString();
    QTest::newRow("two characters") << QVariant(QStringLiteral("01")) << QString();
    QTest::newRow("one character") << QVariant(QStringLiteral("7")) << QString();
    QTest::newRow("empty") << QVariant(QString()) << QString();
    QTest::newRow("NULL") << QVariant() << QString();
}

void TestDeputatFreim::descriptionPrefix()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);
    QCOMPARE(TDeputatFreim::FailiopisanieGetText(stored), shown);
}

// ---- Agenda -----------------------------------------------------------------------------------

void TestDeputatFreim::agendaOfTheMeeting()
{
    Workstation &ws = deputat();
    QVERIFY(ws.started());
    TDeputatFreim *f = freim(ws);
    QVERIFY(f);
    QCOMPARE(f->parentWidget(), ws->ob().DeputatFreim);
    QVERIFY(f->Povestka->isOpen());
    QCOMPARE(f->Povestka->boundSql(),
             QStringLiteral("SELECT\n id, opisanie, id_zasedanie, info\nFROM\n povestka\nWHERE\n id_zasedanie = %1")
                 .arg(hall->demoMeeting()));
    const int items = hall->scalarInt(
        QStringLiteral("SELECT count(*) FROM povestka WHERE id_zasedanie = %1").arg(hall->demoMeeting()));
    QCOMPARE(f->Povestka->rowCount(), items);
    QCOMPARE(f->PovestkaTabl->model()->rowCount(), items);
    QCOMPARE(f->PovestkaTabl->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Вопросы повестки дня"));
    QCOMPARE(tekstStroki(f->PovestkaTabl, 0), QStringLiteral("Повестка дня"));
    QCOMPARE(tekstStroki(f->PovestkaTabl, 1), QStringLiteral("Вопрос 1"));
    QCOMPARE(TDeputatFreim::PovestkaopisanieGetText(QStringLiteral("Вопрос 01")), QStringLiteral("Вопрос 01"));
    QCOMPARE(f->DeputatLeibl->text(),
             hall->scalar(QStringLiteral("SELECT familia + ' ' + imya + ' ' + otchestvo FROM deputat WHERE id = %1")
                              .arg(hall->deputyAt(QStringLiteral("07"))))
                 .toString());

    // The agenda is read once: an item added later appears after a restart only.
    QVERIFY(hall->exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                                      "VALUES (%1,0,9,9,'Вопрос 9','',0)")
                           .arg(hall->demoMeeting())));
    hall->second(2);
    QCOMPARE(f->Povestka->rowCount(), items);
}

void TestDeputatFreim::filterHidesOnlyTheLiteralTitle()
{
    const int meeting = hall->demoMeeting();
    QVERIFY(hall->exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                                      "VALUES (%1,0,10,10,'Вопрос 0%%%','',0)")
                           .arg(meeting)));
    QVERIFY(hall->exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                                      "VALUES (%1,0,11,11,'Вопрос 0 (доп.)','',0)")
                           .arg(meeting)));
    Workstation &ws = deputat();
    QVERIFY(ws.started());
    TDeputatFreim *f = freim(ws);
    QStringList shown;
    for (int r = 0; r < f->PovestkaTabl->model()->rowCount(); ++r)
        shown << tekstStroki(f->PovestkaTabl, r);
    QVERIFY(!shown.contains(QStringLiteral("Вопрос 0%%%")));
    QVERIFY(shown.contains(QStringLiteral("Вопрос 0 (доп.)")));
    QCOMPARE(shown.count(QStringLiteral("Повестка дня")), 1);
}

void TestDeputatFreim::watcherLabel()
{
    QVERIFY(hall->activateItem(2));
    Workstation &ws = hall->start(QStringLiteral("watcher"));
    QVERIFY(ws.started());
    QCOMPARE(freim(ws)->DeputatLeibl->text(), QStringLiteral("ИНФОРМАЦИОННЫЙ РЕЖИМ"));
    hall->second();
    QCOMPARE(freim(ws)->DeputatLeibl->text(), QStringLiteral("ИНФОРМАЦИОННЫЙ РЕЖИМ"));
    QVERIFY(freim(ws)->Povestka->rowCount() > 0);
}

void TestDeputatFreim::documentsFollowTheItem()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QCOMPARE(f->Povestka->currentRow(), 0);
    QVERIFY(f->Faili->isOpen());
    QCOMPARE(f->Faili->rowCount(), 0);  // "Вопрос 0" has no documents

    f->VoprosNisClick();
    QCOMPARE(f->Povestka->field("opisanie").toString(), QStringLiteral("Вопрос 1"));
    QCOMPARE(f->PovestkaTabl->currentIndex().row(), 1);
    QCOMPARE(f->Faili->rowCount(), 1);
    QCOMPARE(f->Faili->boundSql(), QStringLiteral("SELECT\n id, fail, id_povestka,opisanie,put\nFROM\n faili\nWHERE\n "
                                                  "id_povestka = %1\nORDER BY\n opisanie")
                                       .arg(f->Povestka->field("id").toInt()));
    QCOMPARE(f->DocTabl->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Документ"));
    QCOMPARE(tekstStroki(f->DocTabl, 0), QStringLiteral("Проект закона об областном бюджете"));
    // The item's own text, all at 18 pt, nothing selected.
    QVERIFY(f->PovestkaInfoPole->toPlainText().contains(QStringLiteral("Об областном бюджете")));
    QVERIFY(vesTekstRazmera(f->PovestkaInfoPole, 18));

    // A click in the grid moves the cursor too.
    f->PovestkaTabl->selectRow(2);
    QCOMPARE(f->Povestka->field("opisanie").toString(), QStringLiteral("Вопрос 2"));
    QCOMPARE(f->Faili->rowCount(), 0);
    QVERIFY(f->PovestkaInfoPole->toPlainText().contains(QStringLiteral("О внесении изменений")));
    QVERIFY(vesTekstRazmera(f->PovestkaInfoPole, 18));

    f->VoprosVerhClick();
    QCOMPARE(f->Povestka->field("opisanie").toString(), QStringLiteral("Вопрос 1"));
    QCOMPARE(f->Faili->rowCount(), 1);
}

void TestDeputatFreim::navigationStopsAtTheEnds()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    f->VoprosVerhClick();
    QCOMPARE(f->Povestka->currentRow(), 0);
    const int last = f->Povestka->rowCount() - 1;
    for (int i = 0; i < last + 3; ++i)
        f->VoprosNisClick();
    QCOMPARE(f->Povestka->currentRow(), last);
    QVERIFY(!f->Povestka->field("id").isNull());  // still on a row, not past the end
    QCOMPARE(f->PovestkaTabl->currentIndex().row(), last);

    // Closed sets: the buttons do nothing.
    f->Faili->close();
    f->FailNisClick();
    f->FailVerhClick();
    QVERIFY(!f->Faili->isOpen());
    f->Povestka->close();
    f->VoprosNisClick();
    f->VoprosVerhClick();
    QVERIFY(!f->Povestka->isOpen());
}

void TestDeputatFreim::documentsOrderedByPrefix()
{
    const int item = hall->scalarInt(QStringLiteral("SELECT id FROM povestka WHERE opisanie = 'Вопрос 2'"));
    for (const char *d : {"03 Заключение комитета", "Справка", "02 Пояснительная записка", "01 Текст проекта"})
        QVERIFY(hall->exec(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (%1,'x.pdf',%2,'a\\')")
                               .arg(item)
                               .arg(sql::quote(QString::fromUtf8(d)))));
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 2")));
    QStringList shown;
    for (int r = 0; r < f->DocTabl->model()->rowCount(); ++r)
        shown << tekstStroki(f->DocTabl, r);
    QCOMPARE(shown, QStringList({QStringLiteral("Текст проекта"), QStringLiteral("Пояснительная записка"),
                                 QStringLiteral("Заключение комитета"), QStringLiteral("Справка")}));

    QCOMPARE(f->Faili->currentRow(), 0);
    f->FailNisClick();
    f->FailNisClick();
    QCOMPARE(f->Faili->currentRow(), 2);
    QCOMPARE(f->DocTabl->currentIndex().row(), 2);
    f->FailNisClick();
    f->FailNisClick();
    QCOMPARE(f->Faili->currentRow(), 3);
    f->FailVerhClick();
    QCOMPARE(f->Faili->currentRow(), 2);
}

// ---- The document ------------------------------------------------------------------------------

void TestDeputatFreim::showDocumentFromTheStore()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    QVERIFY(!f->RezhimDokumenta());

    QString put = f->Faili->field("put").toString();
    QVERIFY(put.endsWith(QStringLiteral("\\1\\")));
    const QString expected = QDir(ws.platform.dir).filePath(QStringLiteral("docs/") + put.replace('\\', '/')
                                                            + QStringLiteral("Проект закона.pdf"));
    QCOMPARE(QFileInfo(f->PutDokumenta()).absoluteFilePath(), QFileInfo(expected).absoluteFilePath());

    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QVERIFY(ws.messages().isEmpty());
    QVERIFY(f->RezhimDokumenta());
    QVERIFY(!f->PDF->isHidden());
    QVERIFY(!f->KnopkiPDF->isHidden());
    QVERIFY(!f->PDF->isEnabled());
    QCOMPARE(QFileInfo(f->PDF->Fail()).absoluteFilePath(), QFileInfo(expected).absoluteFilePath());
    QCOMPARE(f->PDF->Dokument()->status(), QPdfDocument::Status::Ready);
    QVERIFY(f->PDF->KolichestvoStranic() >= 3);
    // Toolbar on, scroll bars off (set at the end of start-up).
    QVERIFY(f->PDF->PokazatPanel());
    QVERIFY(!f->PDF->PokazatPolosy());
    QCOMPARE(f->PDF->Vid()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // The buttons along the bottom, the document over the rest of the frame.
    QCOMPARE(f->KnopkiPDF->geometry(), QRect(0, f->height() - 105, f->width(), 105));
    QCOMPARE(f->PDF->geometry(), QRect(0, 0, f->width(), f->height() - 105));
}

void TestDeputatFreim::itemWithoutDocuments()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 3")));
    QCOMPARE(f->Faili->rowCount(), 0);
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QVERIFY(ws.messages().isEmpty());
    QVERIFY(!f->RezhimDokumenta());
    QVERIFY(f->KnopkiPDF->isHidden());
}

void TestDeputatFreim::missingFile()
{
    Workstation &ws = deputat(false);
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QCOMPARE(ws.dialogs.shown.size(), 1);
    QCOMPARE(ws.dialogs.shown[0].text, QStringLiteral("Файл документа не найден!"));
    QCOMPARE(ws.dialogs.shown[0].caption, QStringLiteral("Ошибка открытия документа"));
    QCOMPARE(ws.dialogs.shown[0].icon, Dialogs::Error);
    QVERIFY(!f->RezhimDokumenta());
    QVERIFY(f->KnopkiPDF->isHidden());

    // A folder of that name is not a document either.
    QVERIFY(QDir().mkpath(f->PutDokumenta()));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QCOMPARE(ws.dialogs.shown.size(), 2);
    QVERIFY(!f->RezhimDokumenta());

    // A file that is there but is no PDF: the document state with the message in place of
    // the document, and the way back works.
    QVERIFY(QDir(f->PutDokumenta()).removeRecursively());
    QFile musor(f->PutDokumenta());
    QVERIFY(musor.open(QIODevice::WriteOnly));
    musor.write("not a document");
    musor.close();
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QCOMPARE(ws.dialogs.shown.size(), 2);
    QVERIFY(f->RezhimDokumenta());
    QCOMPARE(f->PDF->KolichestvoStranic(), 0);
    QCOMPARE(f->PDF->sostoyanie(), TPdfProsmotr::Sostoyanie::Oshibka);
    QVERIFY(f->PDF->Soobshenie()->isVisibleTo(f->PDF));
    QCOMPARE(f->PDF->Soobshenie()->text(), QStringLiteral("Документ повреждён или не может быть открыт"));
    QCOMPARE(f->PDF->Soobshenie()->geometry(), f->PDF->Vid()->geometry());
    f->StrelkaStranicaNisClick();
    f->StrelkaVnisClick();
    for (int i = 0; i < 11; ++i)
        f->TaimerProkrutkiTimer();
    f->KnopkaVernutPovestkuClick();
    QVERIFY(!f->RezhimDokumenta());
}

void TestDeputatFreim::fileWithApostrophe()
{
    const int item = hall->scalarInt(QStringLiteral("SELECT id FROM povestka WHERE opisanie = 'Вопрос 4'"));
    QVERIFY(hall->exec(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (%1,%2,'01 Справка',%3)")
                           .arg(item)
                           .arg(sql::quote(QStringLiteral("Справка о'Нил.pdf")))
                           .arg(sql::quote(QStringLiteral("1.01.2020\\4\\")))));
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    const QString fail = docstore::documentPath(ws.platform.dir, QStringLiteral("1.01.2020\\4\\"),
                                                QStringLiteral("Справка о'Нил.pdf"));
    QVERIFY(QDir().mkpath(QFileInfo(fail).absolutePath()));
    QVERIFY(schema::writeDemoPdf(fail, nullptr));
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 4")));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QVERIFY(ws.messages().isEmpty());
    QVERIFY(f->RezhimDokumenta());
    QCOMPARE(f->PDF->Dokument()->status(), QPdfDocument::Status::Ready);
}

// ---- Scrolling --------------------------------------------------------------------------------

void TestDeputatFreim::lineScroll()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QVERIFY(f->RezhimDokumenta());
    QCOMPARE(f->PDF->Polozhenie(), 0);
    const int shag = f->PDF->ShagStroki();
    QVERIFY(shag > 0);
    QVERIFY(f->PDF->Vid()->verticalScrollBar()->maximum() > 30 * shag);

    Q_EMIT f->StrelkaVnis->clicked();
    QVERIFY(f->IdetProkrutka());
    QVERIFY(f->PDF->isEnabled());
    QVERIFY(!f->KnopkaVernutPovestku->isEnabled());
    for (TStrelka *s : {f->StrelkaVerh, f->StrelkaStranicaVerh, f->StrelkaStranicaNis, f->StrelkaVnis})
        QVERIFY(!s->isEnabled());

    // Nothing starts inside a running scroll, and the return button is off.
    f->StrelkaVnisClick();
    f->StrelkaStranicaNisClick();
    f->KnopkaVernutPovestkuClick();
    QVERIFY(f->RezhimDokumenta());
    QCOMPARE(f->PDF->Polozhenie(), 0);

    // The main window's timers keep running in the middle of the scroll.
    for (int i = 1; i <= 10; ++i) {
        f->TaimerProkrutkiTimer();
        QCOMPARE(f->PDF->Polozhenie(), i * shag);
        ws.poll();
    }
    QVERIFY(f->IdetProkrutka());
    QVERIFY(!f->KnopkaVernutPovestku->isEnabled());
    f->TaimerProkrutkiTimer();
    QCOMPARE(f->PDF->Polozhenie(), 11 * shag);
    QVERIFY(!f->IdetProkrutka());
    QVERIFY(!f->PDF->isEnabled());
    QVERIFY(f->KnopkaVernutPovestku->isEnabled());
    for (TStrelka *s : {f->StrelkaVerh, f->StrelkaStranicaVerh, f->StrelkaStranicaNis, f->StrelkaVnis})
        QVERIFY(s->isEnabled());
    f->TaimerProkrutkiTimer();  // a stray tick moves nothing
    QCOMPARE(f->PDF->Polozhenie(), 11 * shag);

    // A second press, through the label under the picture: eleven more.
    Q_EMIT f->KnopkaDokVnis->clicked();
    for (int i = 0; i < 11; ++i)
        f->TaimerProkrutkiTimer();
    QCOMPARE(f->PDF->Polozhenie(), 22 * shag);

    Q_EMIT f->StrelkaVerh->clicked();
    for (int i = 0; i < 11; ++i)
        f->TaimerProkrutkiTimer();
    QCOMPARE(f->PDF->Polozhenie(), 11 * shag);
    Q_EMIT f->GranicaDokVerh->mouseDown();
    for (int i = 0; i < 11; ++i)
        f->TaimerProkrutkiTimer();
    QCOMPARE(f->PDF->Polozhenie(), 0);
    // At the top a line up stays there and still gives the buttons back.
    f->StrelkaVerhClick();
    for (int i = 0; i < 11; ++i)
        f->TaimerProkrutkiTimer();
    QCOMPARE(f->PDF->Polozhenie(), 0);
    QVERIFY(f->KnopkaVernutPovestku->isEnabled());
}

void TestDeputatFreim::pageScroll()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    TPdfProsmotr *pdf = f->PDF;
    QCOMPARE(pdf->TekushayaStranica(), 0);

    // Where each page starts, as the view lays them out: page height at the view's width
    // plus the spacing, below the top margin.
    QPdfView *vid = pdf->Vid();
    const QMargins pole = vid->documentMargins();
    auto verhStranicy = [&](int n) {
        qreal y = pole.top();
        for (int i = 0; i < n; ++i) {
            const QSizeF s = pdf->Dokument()->pagePointSize(i);
            const qreal masshtab = qreal(vid->viewport()->width() - pole.left() - pole.right()) / s.width();
            y += qRound(s.height() * masshtab) + vid->pageSpacing();
        }
        return y;
    };

    f->StrelkaStranicaNisClick();
    QCOMPARE(pdf->TekushayaStranica(), 1);
    QVERIFY(qAbs(pdf->Polozhenie() - verhStranicy(1)) <= 2);
    QVERIFY(pdf->Polozhenie() > vid->viewport()->height());  // a page, not a screenful
    QVERIFY(!pdf->isEnabled());
    QVERIFY(f->KnopkaVernutPovestku->isEnabled());
    QVERIFY(f->StrelkaStranicaNis->isEnabled());

    // From a few lines into the page, the next page still comes to the top.
    Q_EMIT f->StrelkaVnis->clicked();
    for (int i = 0; i < 11; ++i)
        f->TaimerProkrutkiTimer();
    QCOMPARE(pdf->TekushayaStranica(), 1);
    Q_EMIT f->KnopkaStranicaNis->clicked();
    QCOMPARE(pdf->TekushayaStranica(), 2);
    QVERIFY(qAbs(pdf->Polozhenie() - verhStranicy(2)) <= 2);

    // Past the last page: the end of the document.
    for (int i = 0; i < pdf->KolichestvoStranic() + 1; ++i)
        f->StrelkaStranicaNisClick();
    QCOMPARE(pdf->Polozhenie(), vid->verticalScrollBar()->maximum());

    f->StrelkaStranicaVerhClick();
    QVERIFY(pdf->Polozhenie() < vid->verticalScrollBar()->maximum());
    for (int i = 0; i < pdf->KolichestvoStranic() + 1; ++i)
        Q_EMIT f->GranicaStranicaVerh->mouseDown();
    QCOMPARE(pdf->Polozhenie(), 0);
    QCOMPARE(pdf->TekushayaStranica(), 0);
}

void TestDeputatFreim::touchDoesNotScroll()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QWidget *viewport = f->PDF->Vid()->viewport();
    auto tronut = [&] {
        const QPointF p(200, 300);
        QWheelEvent koleso(p, viewport->mapToGlobal(p), QPoint(), QPoint(0, -480), Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &koleso);
        QMouseEvent nazhatie(QEvent::MouseButtonPress, p, viewport->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                             Qt::NoModifier);
        QApplication::sendEvent(viewport, &nazhatie);
        QKeyEvent klavisha(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(f->PDF->Vid(), &klavisha);
    };
    tronut();
    QCOMPARE(f->PDF->Polozhenie(), 0);
    // Not even while a scroll has the viewer enabled.
    f->StrelkaVnisClick();
    QVERIFY(f->PDF->isEnabled());
    tronut();
    QCOMPARE(f->PDF->Polozhenie(), 0);
    f->TaimerProkrutkiTimer();
    QCOMPARE(f->PDF->Polozhenie(), f->PDF->ShagStroki());
}

void TestDeputatFreim::keysDoNotMoveTheHiddenAgenda()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    const int item = f->Povestka->currentRow();
    QVERIFY(item + 1 < f->Povestka->rowCount());
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QCOMPARE(f->PDF->sostoyanie(), TPdfProsmotr::Sostoyanie::Gotov);
    const QString dokument = f->PDF->Fail();
    for (QWidget *w : {static_cast<QWidget *>(f->PovestkaTabl), static_cast<QWidget *>(f->DocTabl),
                       static_cast<QWidget *>(f->PovestkaInfoPole), static_cast<QWidget *>(f->PDF->Vid())}) {
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_V})
            QTest::keyClick(w, k);
    }
    QCOMPARE(f->Povestka->currentRow(), item);
    QCOMPARE(f->PutDokumenta(), dokument);
    QCOMPARE(f->PDF->Polozhenie(), 0);

    // Back at the agenda the keys work on it again.
    f->KnopkaVernutPovestkuClick();
    QTest::keyClick(f->PovestkaTabl, Qt::Key_Down);
    QCOMPARE(f->Povestka->currentRow(), item + 1);
}

void TestDeputatFreim::closedMeetingLeavesTheScreen()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    QVERIFY(f->RezhimDokumenta());
    const int item = hall->scalarInt(QStringLiteral("SELECT id FROM povestka WHERE aktiv = 1"));

    // The console closes the meeting: no item of it stays active.
    QVERIFY(hall->deactivateItems());
    ws.clock();
    QVERIFY(!f->RezhimDokumenta());
    QVERIFY(f->KnopkiPDF->isHidden());
    QCOMPARE(f->PDF->sostoyanie(), TPdfProsmotr::Sostoyanie::Pusto);
    QCOMPARE(f->PovestkaTabl->model()->rowCount(), 0);
    QCOMPARE(f->DocTabl->model()->rowCount(), 0);
    QCOMPARE(f->PovestkaInfoPole->toPlainText(), QString());
    QCOMPARE(f->PutDokumenta(), QString());
    f->KnopkaPokzaDokClick();
    QVERIFY(!f->RezhimDokumenta());
    QVERIFY(ws.dialogs.shown.isEmpty());
    ws.clock(3);
    QCOMPARE(f->PovestkaTabl->model()->rowCount(), 0);

    // The next meeting's item made active brings its agenda.
    QVERIFY(hall->activateItem(item));
    ws.clock(2);
    QVERIFY(f->Povestka->isOpen());
    QVERIFY(f->PovestkaTabl->model()->rowCount() > 0);
    QCOMPARE(f->Zasedanie(), hall->demoMeeting());
}

void TestDeputatFreim::returnToAgenda()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    const int item = f->Povestka->currentRow();
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    Q_EMIT f->KnopkaVernutPovestku->clicked();
    QVERIFY(!f->RezhimDokumenta());
    QVERIFY(f->PDF->isHidden());
    QVERIFY(f->KnopkiPDF->isHidden());
    // The agenda is where it was.
    QCOMPARE(f->Povestka->currentRow(), item);
    QCOMPARE(f->Faili->rowCount(), 1);

    // A press on the deputy's name opens the document too, and the return button's frame
    // closes it; opening again starts at the top.
    Q_EMIT f->DeputatLeibl->clicked();
    QVERIFY(dozhdatsya(f));
    QVERIFY(f->RezhimDokumenta());
    f->StrelkaStranicaNisClick();
    Q_EMIT f->GranicaVernutPovestku->mouseDown();
    QVERIFY(!f->RezhimDokumenta());
    Q_EMIT f->GranicaPokzaDok->mouseDown();
    QVERIFY(dozhdatsya(f));
    QVERIFY(f->RezhimDokumenta());
    QCOMPARE(f->PDF->Polozhenie(), 0);
}

void TestDeputatFreim::pollerKeepsButtonsWithDocument()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(naVopros(f, QStringLiteral("Вопрос 1")));
    f->KnopkaPokzaDokClick();
    QVERIFY(dozhdatsya(f));
    f->KnopkiPDF->hide();
    f->PovestkaTabl->raise();
    ws.poll();
    QVERIFY(!f->KnopkiPDF->isHidden());
    // The viewer is in front of every part of the agenda.
    const QObjectList &deti = f->children();
    int pdf = -1;
    int last = -1;
    for (int i = 0; i < deti.size(); ++i) {
        if (!deti[i]->isWidgetType())
            continue;
        last = i;
        if (deti[i] == f->PDF)
            pdf = i;
    }
    QCOMPARE(pdf, last);

    f->KnopkaVernutPovestkuClick();
    f->KnopkiPDF->show();
    ws.poll();
    QVERIFY(f->KnopkiPDF->isHidden());
}

// ---- Layout at 1280 x 1024 ------------------------------------------------------------------

void TestDeputatFreim::layout()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QVERIFY(ws.calls().contains(QStringLiteral("RazmestitDeputatFreim")));
    // W = 1280, H = 1024, right-hand column 369, scroll bar 17: the agenda panel is
    // 1280 - 369 - 100 = 811 wide from x = 50, the buttons 3 px inside it (805 wide), and
    // the panel then keeps the buttons' left and width.
    QCOMPARE(f->DeputatGranica->geometry(), QRect(53, 20, 805, 70));
    QCOMPARE(f->DeputatLeibl->geometry(), QRect(54, 21, 803, 68));
    QCOMPARE(f->GranicaPokzaDok->geometry(), QRect(53, 1024 - 70 - 20, 805, 70));
    QCOMPARE(f->KnopkaPokzaDok->geometry(), QRect(54, 935, 803, 68));
    QCOMPARE(f->PanelPovestka->geometry(), QRect(53, 70 + 45, 805, 934 - 115 - 25));

    // The agenda column: a third of the panel as first laid out (811 div 3), 7-px margins.
    QCOMPARE(f->PanelSleva->geometry(), QRect(7, 7, 270, 794 - 14));
    QCOMPARE(f->PovestkaTabl->width(), 270);
    QCOMPARE(f->PovestkaTabl->height(), f->PanelSleva->height() - 51 - 21);
    QCOMPARE(f->PovestkaTabl->columnWidth(0), 270 - 17 - 5);
    QCOMPARE(f->VoprosNis->height(), 51);
    QCOMPARE(f->VoprosNis->x(), 0);
    QCOMPARE(f->VoprosVerh->x() + f->VoprosVerh->width(), f->PanelSleva->width());
    QVERIFY(f->VoprosNis->x() + f->VoprosNis->width() < f->VoprosVerh->x());

    QCOMPARE(f->PovestkaInfoPole->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(f->PovestkaInfoPole->height(), 303);
    QCOMPARE(f->PovestkaInfoPole->width(), f->PanelPovestkaSprava->width());
    QCOMPARE(f->DocTabl->columnWidth(0), f->DocTabl->width() - 17 - 5);
    QCOMPARE(f->PanelKnopkiFail->height(), 52);
    QCOMPARE(f->PanelKnopkiFail->y() + 52, f->PanelPovestkaSprava->height());
    const int fw = (f->PanelKnopkiFail->width() - 5) / 2;
    QCOMPARE(f->FailNis->geometry(), QRect(0, 1, fw, 51));
    QCOMPARE(f->FailVerh->geometry(), QRect(f->PanelKnopkiFail->width() - fw, 1, fw, 51));

    // Looks.
    QCOMPARE(cvetFona(f), QColor(Qt::white));
    QCOMPARE(cvetFona(f->PanelPovestka), QColor(166, 202, 240));
    QCOMPARE(cvetFona(f->DeputatLeibl), QColor(192, 220, 192));
    QCOMPARE(cvetFona(f->KnopkaPokzaDok), QColor(0, 255, 64));
    QCOMPARE(f->DeputatGranica->peroCvet(), QColor(0, 255, 0));
    QCOMPARE(f->GranicaPokzaDok->peroCvet(), QColor(0, 255, 0));
    QCOMPARE(f->KnopkaPokzaDok->text(), QStringLiteral("ПОКАЗАТЬ ДОКУМЕНТ"));
    for (QLabel *l : {static_cast<QLabel *>(f->DeputatLeibl), static_cast<QLabel *>(f->KnopkaPokzaDok)}) {
        QCOMPARE(l->font().family(), QStringLiteral("Arial"));
        QCOMPARE(l->font().pixelSize(), 27);
        QVERIFY(l->font().bold());
        QCOMPARE(l->alignment(), Qt::AlignCenter);
    }
    for (QTableView *t : {f->PovestkaTabl, f->DocTabl}) {
        QCOMPARE(t->font().pixelSize(), 24);
        QVERIFY(t->font().bold());
        QVERIFY(t->showGrid());
        QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(t->palette().color(QPalette::Inactive, QPalette::Highlight),
                 t->palette().color(QPalette::Active, QPalette::Highlight));
    }
    QVERIFY(f->PovestkaInfoPole->isReadOnly());
    QCOMPARE(f->PovestkaInfoPole->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!(f->PovestkaInfoPole->focusPolicy() & Qt::TabFocus));

    // Laying out again changes nothing.
    ws->ekrany().RazmestitDeputatFreim();
    QCOMPARE(f->PanelPovestka->geometry(), QRect(53, 115, 805, 794));
    QCOMPARE(f->DeputatGranica->geometry(), QRect(53, 20, 805, 70));
}

void TestDeputatFreim::documentButtonsLayout()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    QCOMPARE(cvetFona(f->KnopkiPDF), QColor(128, 128, 128));
    // Return frame: width (1280 - (369 + 190)) div 2 = 360, left (1280 - (369 + 360)) div 2 = 275.
    QCOMPARE(f->GranicaVernutPovestku->x(), 275);
    QCOMPARE(f->GranicaVernutPovestku->width(), 360);
    QCOMPARE(f->KnopkaVernutPovestku->geometry(), f->GranicaVernutPovestku->geometry().adjusted(1, 1, -1, -1));
    QCOMPARE(f->KnopkaVernutPovestku->text(), QStringLiteral("ВЕРНУТЬСЯ К ПОВЕСТКЕ"));
    QVERIFY(f->GranicaVernutPovestku->y() + f->GranicaVernutPovestku->height() <= 105);

    // L = 275, E = 634: scroll frames ((275 - 45) - 20) div 2 = 105 wide at 20, 145, 659, 784.
    const int top = f->GranicaVernutPovestku->y();
    const int h = f->GranicaVernutPovestku->height();
    const struct {
        TGranica *g;
        TLeibl *l;
        TStrelka *s;
        int left;
        VidStrelki vid;
    } ryad[] = {
        {f->GranicaDokVerh, f->KnopkaDokVerh, f->StrelkaVerh, 20, VidStrelki::Verh},
        {f->GranicaStranicaVerh, f->KnopkaStranicaVerh, f->StrelkaStranicaVerh, 145, VidStrelki::StranicaVerh},
        {f->GranicaStranicaNis, f->KnopkaStranicaNis, f->StrelkaStranicaNis, 659, VidStrelki::StranicaNis},
        {f->GranicaDokVnis, f->KnopkaDokVnis, f->StrelkaVnis, 784, VidStrelki::Vnis},
    };
    for (const auto &k : ryad) {
        QCOMPARE(k.g->geometry(), QRect(k.left, top, 105, h));
        QCOMPARE(k.l->geometry(), QRect(k.left + 1, top + 1, 103, h - 2));
        QCOMPARE(k.s->geometry(), k.l->geometry());
        QCOMPARE(k.s->vid(), k.vid);
        QVERIFY(k.l->text().isEmpty());
        QCOMPARE(cvetFona(k.l), QColor(0, 255, 64));
        QCOMPARE(k.g->peroCvet(), QColor(0, 255, 0));
        // The picture is in front of its label.
        const QObjectList &deti = f->KnopkiPDF->children();
        QVERIFY(deti.indexOf(k.s) > deti.indexOf(k.l));
    }

    // The arrows are drawn: each "down" picture is its "up" picture upside down, a line
    // arrow has its point at the top, and a page arrow is another picture.
    auto risunok = [](VidStrelki vid) {
        QImage img(90, 100, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        risovatStrelku(&p, QRectF(0, 0, 90, 100), vid, Qt::black);
        p.end();
        return img;
    };
    auto chernila = [](const QImage &img, int y) {
        int n = 0;
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 128;
        return n;
    };
    auto otlichiya = [](const QImage &a, const QImage &b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += qAbs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))) > 128;
        return n;
    };
    const QImage verh = risunok(VidStrelki::Verh);
    const QImage vnis = risunok(VidStrelki::Vnis);
    const QImage stranicaVerh = risunok(VidStrelki::StranicaVerh);
    const QImage stranicaNis = risunok(VidStrelki::StranicaNis);
    QVERIFY(otlichiya(verh, vnis.mirrored(false, true)) < 60);
    QVERIFY(otlichiya(stranicaVerh, stranicaNis.mirrored(false, true)) < 60);
    QVERIFY(otlichiya(verh, stranicaVerh) > 500);
    QVERIFY(otlichiya(verh, vnis) > 500);
    int pervaya = 0;
    while (pervaya < 100 && chernila(verh, pervaya) == 0)
        ++pervaya;
    int poslednyaya = 99;
    while (poslednyaya > 0 && chernila(verh, poslednyaya) == 0)
        --poslednyaya;
    QVERIFY(pervaya < poslednyaya);
    QVERIFY(chernila(verh, pervaya + 1) < chernila(verh, poslednyaya - 1));
}

void TestDeputatFreim::frameResizeKeepsColumnsAligned()
{
    Workstation &ws = deputat();
    TDeputatFreim *f = freim(ws);
    // The deputy is admitted: the right-hand column is shown beside the frame.
    hall->second();
    QVERIFY(!ws->ob().PanelSleva->isHidden());
    QCOMPARE(f->geometry(), QRect(0, 0, 1280 - 369, 1024));
    QCOMPARE(f->PanelPovestka->x(), f->DeputatGranica->x());
    QCOMPARE(f->PanelPovestka->width(), f->DeputatGranica->width());
    QCOMPARE(f->KnopkiPDF->geometry(), QRect(0, 1024 - 105, 911, 105));
    // The last scroll button ends inside the frame beside the column.
    QVERIFY(f->GranicaDokVnis->x() + f->GranicaDokVnis->width() <= 911);
}

QTEST_MAIN(TestDeputatFreim)
#include "test_deputatfreim.moc"
