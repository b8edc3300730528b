// The meetings window and the meeting dialog on a fresh embedded database.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "editors/zasedanie_form.h"
#include "support/fakes.h"

#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

class TestZasedanieForm : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    DbConnection *db = nullptr;
    FakeDialogs dialogs;
    FakePlatform platform;

    int addMeeting(const QString &date, const QString &opisanie, bool opened = false, bool closed = false)
    {
        const bool ok = db->exec(QStringLiteral("INSERT INTO zasedanie (data,opisanie,vremya,start,stop) VALUES (")
                                 + sql::quote(date) + QLatin1Char(',') + sql::quote(opisanie)
                                 + QStringLiteral(",'00:00:00',")
                                 + (opened ? QStringLiteral("GETDATE()") : QStringLiteral("NULL")) + QLatin1Char(',')
                                 + (closed ? QStringLiteral("GETDATE()") : QStringLiteral("NULL")) + QLatin1Char(')'));
        if (!ok)
            qWarning("%s", qPrintable(db->firstErrorText()));
        return db->scalar(QStringLiteral("SELECT MAX(id) FROM zasedanie")).toInt();
    }

    void addItem(int meeting)
    {
        QVERIFY2(db->exec(QStringLiteral("INSERT INTO povestka (id_zasedanie,tip,nomer,ord,opisanie,info,aktiv) "
                                         "VALUES (%1,0,0,1,'Вопрос 0','',0)").arg(meeting)),
                 qPrintable(db->firstErrorText()));
    }

    QStringList listedDescriptions(const TZasedanieForm &w) const
    {
        QStringList out;
        for (int r = 0; r < w.Zasedania->rowCount(); ++r)
            out << w.Zasedania->value(r, QStringLiteral("opisanie")).toString();
        return out;
    }

    // Runs raw SQLite on the test's database file: lets a test make the engine refuse a
    // statement the way a server would.
    void rawSql(const QString &statement)
    {
        QSqlQuery q(db->database());
        QVERIFY2(q.exec(statement), qPrintable(q.lastError().text()));
    }

    // The handler of the meeting dialog: fills it and presses OK.
    static std::function<int(QDialog *)> fillMeeting(const QDate &date, const QString &opisanie,
                                                     QString *seenOpisanie = nullptr, QDate *seenDate = nullptr)
    {
        return [=](QDialog *d) {
            auto *dlg = qobject_cast<TZasedanieRedaktForma *>(d);
            if (!dlg)
                return int(QDialog::Rejected);
            if (seenOpisanie)
                *seenOpisanie = dlg->ZasedanieOpisanie->text();
            if (seenDate)
                *seenDate = dlg->ZasedanieData->date();
            dlg->ZasedanieData->setDate(date);
            dlg->ZasedanieOpisanie->setText(opisanie);
            dlg->KnopkaOK->click();
            return dlg->result();
        };
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init()
    {
        const QString path = m_dir.filePath(QStringLiteral("z%1.db").arg(++m_files));
        QString error;
        QVERIFY2(schema::createEmbedded(path, &error), qPrintable(error));
        db = new DbConnection;
        QVERIFY2(db->open({QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")}),
                 qPrintable(db->firstErrorText()));
        dialogs.clear();
    }

    void cleanup()
    {
        delete db;
        db = nullptr;
    }

    void listsNewestFirstWithDateText()
    {
        addMeeting(QStringLiteral("20240305"), QStringLiteral("Мартовское"));
        addMeeting(QStringLiteral("20240410"), QStringLiteral("Апрельское первое"));
        addMeeting(QStringLiteral("20240410"), QStringLiteral("Апрельское второе"));
        addMeeting(QStringLiteral("20231120"), QStringLiteral("Ноябрьское"));

        TZasedanieForm w(db, &dialogs, &platform);
        QCOMPARE(w.windowTitle(), QStringLiteral("Заседания"));
        // Same date: the meeting created last comes first.
        QCOMPARE(listedDescriptions(w), (QStringList{"Апрельское второе", "Апрельское первое", "Мартовское",
                                                     "Ноябрьское"}));
        QCOMPARE(w.Zasedania->value(0, QStringLiteral("data")).toString(), QStringLiteral("10.04.2024"));
        QCOMPARE(w.Zasedania->value(0, QStringLiteral("dt")).toString(), QStringLiteral("2024-04-10"));
        QCOMPARE(w.ZasedaniaModel->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Дата"));
        QCOMPARE(w.ZasedaniaModel->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Описание"));
        QCOMPARE(w.ZasedaniaModel->index(2, 0).data().toString(), QStringLiteral("05.03.2024"));
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY(!db->hasErrors());

        // Description column: grid width - date column - scroll bar - 7.
        QCOMPARE(w.ZasedaniaTabl->columnWidth(0), 81);
        QCOMPARE(w.ZasedaniaTabl->columnWidth(1), w.ZasedaniaTabl->width() - 81 - platform.scrollBar - 7);
    }

    void addStoresApostropheAndSelectsNewMeeting()
    {
        addMeeting(QStringLiteral("20300101"), QStringLiteral("Будущее"));
        TZasedanieForm w(db, &dialogs, &platform);
        QString preset;
        QDate presetDate;
        const QString text = QStringLiteral("Заседание № 7 'о бюджете' д'Артаньяна");
        dialogs.modalHandlers.enqueue(fillMeeting(QDate(2024, 5, 17), text, &preset, &presetDate));
        w.ZasedanieDobavitExecute();

        QCOMPARE(dialogs.modalClasses, QStringList{"TZasedanieRedaktForma"});
        QCOMPARE(preset, QStringLiteral("Заседание № "));
        QCOMPARE(presetDate, QDate::currentDate());
        QVERIFY2(dialogs.shown.isEmpty(), qPrintable(dialogs.lastText()));

        ResultSet rs;
        QVERIFY(db->query(QStringLiteral("SELECT id,opisanie,data,vremya,start,stop FROM zasedanie WHERE opisanie<>'Будущее'"), &rs));
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.value(0, "opisanie").toString(), text);
        QCOMPARE(rs.value(0, "data").toString(), QStringLiteral("2024-05-17"));
        QCOMPARE(rs.value(0, "vremya").toString(), QStringLiteral("00:00:00"));
        QVERIFY(rs.value(0, "start").isNull());
        QVERIFY(rs.value(0, "stop").isNull());

        // The list shows it with the apostrophes, and the cursor is on it.
        QCOMPARE(w.currentId(), rs.value(0, "id").toInt());
        QCOMPARE(w.ZasedaniaModel->index(w.Zasedania->currentRow(), 1).data().toString(), text);
        QCOMPARE(w.ZasedaniaTabl->selectionModel()->currentIndex().row(), w.Zasedania->currentRow());
        QVERIFY(!db->hasErrors());
    }

    void emptyDescriptionKeepsDialogOpen()
    {
        TZasedanieForm w(db, &dialogs, &platform);
        int firstResult = -1;
        bool stayedOpen = false;
        dialogs.modalHandlers.enqueue([&](QDialog *d) {
            auto *dlg = qobject_cast<TZasedanieRedaktForma *>(d);
            dlg->show();
            dlg->ZasedanieOpisanie->clear();
            dlg->KnopkaOK->click();
            firstResult = dlg->result();
            stayedOpen = dlg->isVisible();
            // Spaces are a description.
            dlg->ZasedanieOpisanie->setText(QStringLiteral("   "));
            dlg->KnopkaOK->click();
            return dlg->result();
        });
        w.ZasedanieDobavitExecute();

        QCOMPARE(firstResult, int(QDialog::Rejected));
        QVERIFY(stayedOpen);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Вы не заполнили поле [Заседание]!"));
        QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Error);
        QCOMPARE(db->scalar(QStringLiteral("SELECT opisanie FROM zasedanie")).toString(), QStringLiteral("   "));

        // Cancelling an empty dialog is not validated.
        dialogs.clear();
        dialogs.modalHandlers.enqueue([](QDialog *d) {
            auto *dlg = qobject_cast<TZasedanieRedaktForma *>(d);
            dlg->ZasedanieOpisanie->clear();
            dlg->KnopkaOtmena->click();
            return dlg->result();
        });
        w.ZasedanieDobavitExecute();
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM zasedanie")).toInt(), 1);
    }

    void editFillsDialogAndKeepsCursor()
    {
        const int a = addMeeting(QStringLiteral("20240102"), QStringLiteral("Январское"));
        addMeeting(QStringLiteral("20240601"), QStringLiteral("Июньское"));
        TZasedanieForm w(db, &dialogs, &platform);
        QVERIFY(w.selectMeeting(a));
        QCOMPARE(w.Zasedania->currentRow(), 1);

        QString seen;
        QDate seenDate;
        // The new date moves it to the top of the list; the cursor follows it.
        dialogs.modalHandlers.enqueue(fillMeeting(QDate(2025, 12, 31), QStringLiteral("Декабрьское 'итоговое'"),
                                                  &seen, &seenDate));
        w.ZasedaniaTablDblClick();

        QCOMPARE(seen, QStringLiteral("Январское"));
        QCOMPARE(seenDate, QDate(2024, 1, 2));
        QVERIFY2(dialogs.shown.isEmpty(), qPrintable(dialogs.lastText()));
        QCOMPARE(db->scalar(QStringLiteral("SELECT opisanie FROM zasedanie WHERE id=%1").arg(a)).toString(),
                 QStringLiteral("Декабрьское 'итоговое'"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT data FROM zasedanie WHERE id=%1").arg(a)).toString(),
                 QStringLiteral("2025-12-31"));
        QCOMPARE(w.currentId(), a);
        QCOMPARE(w.Zasedania->currentRow(), 0);
        QCOMPARE(w.Zasedania->field(QStringLiteral("data")).toString(), QStringLiteral("31.12.2025"));
    }

    void failuresAreReportedAndCleared()
    {
        addMeeting(QStringLiteral("20240102"), QStringLiteral("Январское"));
        TZasedanieForm w(db, &dialogs, &platform);
        rawSql(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON zasedanie BEGIN "
                              "SELECT RAISE(ABORT, 'нет места'); END"));
        dialogs.modalHandlers.enqueue(fillMeeting(QDate(2024, 5, 1), QStringLiteral("Новое")));
        w.ZasedanieDobavitExecute();

        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Ошибка при добавлении заседания [нет места]"));
        QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Error);
        QCOMPARE(dialogs.shown[1].text, QStringLiteral("нет места"));
        QVERIFY(!db->hasErrors());
        QCOMPARE(listedDescriptions(w), QStringList{"Январское"});

        dialogs.clear();
        rawSql(QStringLiteral("CREATE TRIGGER refuse_upd BEFORE UPDATE ON zasedanie BEGIN "
                              "SELECT RAISE(ABORT, 'занято'); END"));
        dialogs.modalHandlers.enqueue(fillMeeting(QDate(2024, 5, 1), QStringLiteral("Другое")));
        w.ZasedanieRedaktExecute();
        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Ошибка при редактировании заседания [занято]"));
        QVERIFY(!db->hasErrors());
        QCOMPARE(listedDescriptions(w), QStringList{"Январское"});

        dialogs.clear();
        rawSql(QStringLiteral("CREATE TRIGGER refuse_del BEFORE DELETE ON zasedanie BEGIN "
                              "SELECT RAISE(ABORT, 'заблокировано'); END"));
        dialogs.answers.enqueue(Dialogs::Yes);
        w.ZasedanieUdalitExecute();
        QCOMPARE(dialogs.lastText(), QStringLiteral("Ошибка при удалении заседания [заблокировано]"));
        QVERIFY(!db->hasErrors());
        QCOMPARE(w.Zasedania->rowCount(), 1);

        // A list that cannot be read is reported once and leaves nothing pending.
        dialogs.clear();
        rawSql(QStringLiteral("DROP TABLE povestka"));
        rawSql(QStringLiteral("DROP TABLE zasedanie"));
        QVERIFY(!w.reload());
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Error);
        QVERIFY(!db->hasErrors());
    }

    void deleteRefusedWhileItemsRemain()
    {
        const int withItems = addMeeting(QStringLiteral("20240301"), QStringLiteral("С повесткой 'важное'"));
        addItem(withItems);
        const int bare = addMeeting(QStringLiteral("20240201"), QStringLiteral("Без повестки"));
        TZasedanieForm w(db, &dialogs, &platform);

        QVERIFY(w.selectMeeting(withItems));
        dialogs.answers.enqueue(Dialogs::Yes);
        w.ZasedanieUdalitExecute();
        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Вы действительно хотите удалить заседание [С повесткой 'важное']?"));
        QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Удаление заседания"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Question);
        QCOMPARE(dialogs.shown[0].defaultButton, Dialogs::No);
        QCOMPARE(dialogs.shown[1].text,
                 QStringLiteral("Сначала нужно удалить все вопросы повестки дня, относящиеся к заседанию "
                                "[С повесткой 'важное']!"));
        QCOMPARE(dialogs.shown[1].caption, QStringLiteral("Ошибка"));
        QCOMPARE(dialogs.shown[1].icon, Dialogs::Error);
        QVERIFY(!db->hasErrors());
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM zasedanie WHERE id=%1").arg(withItems)).toInt(), 1);
        QCOMPARE(w.Zasedania->rowCount(), 2);
        QCOMPARE(w.currentId(), withItems);

        // Answering No keeps the meeting.
        dialogs.clear();
        QVERIFY(w.selectMeeting(bare));
        w.ZasedanieUdalitExecute();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM zasedanie")).toInt(), 2);

        dialogs.clear();
        dialogs.answers.enqueue(Dialogs::Yes);
        w.ZasedanieUdalitExecute();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM zasedanie WHERE id=%1").arg(bare)).toInt(), 0);
        QCOMPARE(listedDescriptions(w), QStringList{"С повесткой 'важное'"});
    }

    void deletingConsoleMeetingRefusedBeforeQuestion()
    {
        const int current = addMeeting(QStringLiteral("20240301"), QStringLiteral("Текущее"), true);
        TZasedanieForm w(db, &dialogs, &platform);
        w.setConsoleMeeting(current);
        dialogs.answers.enqueue(Dialogs::Yes);
        w.ZasedanieUdalitExecute();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Нельзя удалять текущее заседание!"));
        QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Error);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM zasedanie")).toInt(), 1);
    }

    void pickerListsOnlyNeverOpenedMeetings()
    {
        const int fresh1 = addMeeting(QStringLiteral("20240301"), QStringLiteral("Новое первое"));
        addMeeting(QStringLiteral("20240302"), QStringLiteral("Открытое"), true);
        addMeeting(QStringLiteral("20240303"), QStringLiteral("Закрытое"), true, true);
        const int fresh2 = addMeeting(QStringLiteral("20240304"), QStringLiteral("Новое второе"));

        TZasedanieForm w(db, &dialogs, &platform);
        w.setPickerMode(true);
        QVERIFY(w.KnopkaNoviy->isHidden());
        QVERIFY(w.KnopkaUdalit->isHidden());
        QVERIFY(w.KnopkaProtokol->isHidden());
        QVERIFY(!w.KnopkaOK->isHidden());
        QVERIFY(!w.KnopkaOtmena->isHidden());
        QCOMPARE(listedDescriptions(w), (QStringList{"Новое второе", "Новое первое"}));
        QCOMPARE(w.currentId(), fresh2);

        // A double click edits nothing in picker mode.
        w.ZasedaniaTablDblClick();
        QVERIFY(dialogs.modalClasses.isEmpty());

        QVERIFY(w.selectMeeting(fresh1));
        w.KnopkaOK->click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.chosenId(), fresh1);
        QCOMPARE(w.chosenOpisanie(), QStringLiteral("Новое первое"));

        // Back to full mode: everything is listed again.
        w.setPickerMode(false);
        QVERIFY(!w.KnopkaNoviy->isHidden());
        QCOMPARE(w.Zasedania->rowCount(), 4);
    }

    void pickerWithNothingLeftOffersOnlyClose()
    {
        addMeeting(QStringLiteral("20240302"), QStringLiteral("Открытое"), true);
        TZasedanieForm w(db, &dialogs, &platform);
        w.setPickerMode(true);
        QVERIFY(w.Zasedania->isEmpty());
        QVERIFY(w.KnopkaOK->isHidden());
        QVERIFY(!w.KnopkaOtmena->isHidden());
        // An OK close without a meeting is not possible even from code.
        w.setResult(-1);
        w.accept();
        QCOMPARE(w.result(), -1);
        w.KnopkaOtmena->click();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(w.chosenId(), -1);
    }

    void protocolOnlyForClosedMeeting()
    {
        const int open = addMeeting(QStringLiteral("20240302"), QStringLiteral("Открытое"), true);
        const int closed = addMeeting(QStringLiteral("20240301"), QStringLiteral("Закрытое"), true, true);
        TZasedanieForm w(db, &dialogs, &platform);
        QList<int> opened;
        w.openProtocol = [&](int id) { opened << id; };

        QVERIFY(w.selectMeeting(open));
        w.KnopkaProtokol->click();
        QVERIFY(opened.isEmpty());
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Выбранное заседание не было закрыто! Для того, чтобы "
                                                       "сформировать отчет, сначала закройте его!"));
        QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Error);

        dialogs.clear();
        QVERIFY(w.selectMeeting(closed));
        w.KnopkaProtokol->click();
        QCOMPARE(opened, QList<int>{closed});
        QVERIFY(dialogs.shown.isEmpty());
    }

    // Saves a picture of the window when VOTER_SCREENS names a folder.
    void screenshot()
    {
        const QString dir = qEnvironmentVariable("VOTER_SCREENS");
        if (dir.isEmpty())
            QSKIP("VOTER_SCREENS not set");
        addMeeting(QStringLiteral("20240312"), QStringLiteral("Заседание № 41 (очередное)"), true, true);
        addMeeting(QStringLiteral("20240416"), QStringLiteral("Заседание № 42 (очередное)"), true, true);
        addMeeting(QStringLiteral("20240416"), QStringLiteral("Заседание № 43 (внеочередное) о бюджете области на 2025 год и плановый период"), true);
        addMeeting(QStringLiteral("20240521"), QStringLiteral("Заседание № 44 'о земле'"));
        TZasedanieForm w(db, &dialogs, &platform);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QDir().mkpath(dir);
        QVERIFY(w.grab().save(QDir(dir).filePath(QStringLiteral("zasedanie_form.png"))));
        w.setPickerMode(true);
        QVERIFY(w.grab().save(QDir(dir).filePath(QStringLiteral("zasedanie_form_picker.png"))));
        TZasedanieRedaktForma d(&dialogs, &w);
        d.ZasedanieOpisanie->setText(QStringLiteral("Заседание № 45"));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.grab().save(QDir(dir).filePath(QStringLiteral("zasedanie_redakt.png"))));
    }
};

QTEST_MAIN(TestZasedanieForm)
#include "test_zasedanie_form.moc"
