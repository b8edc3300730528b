// The deputies list and the deputy dialog on a fresh embedded database.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "editors/deputat_form.h"
#include "support/fakes.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

class TestDeputatForm : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    DbConnection *db = nullptr;
    FakeDialogs dialogs;
    FakePlatform platform;

    int addDeputat(const QString &f, const QString &i, const QString &o)
    {
        if (!db->exec(QStringLiteral("INSERT INTO deputat (familia,imya,otchestvo) VALUES (") + sql::quote(f)
                      + QLatin1Char(',') + sql::quote(i) + QLatin1Char(',') + sql::quote(o) + QLatin1Char(')')))
            qWarning("%s", qPrintable(db->firstErrorText()));
        return db->scalar(QStringLiteral("SELECT MAX(id) FROM deputat")).toInt();
    }

    static QStringList listed(const TMestoDeputatForma &w)
    {
        QStringList out;
        for (int r = 0; r < w.Deputat->rowCount(); ++r)
            out << w.DeputatModel->index(r, 0).data().toString();
        return out;
    }

    void rawSql(const QString &statement)
    {
        QSqlQuery q(db->database());
        QVERIFY2(q.exec(statement), qPrintable(q.lastError().text()));
    }

    // The deputy dialog's handler: fills the three fields and presses Ok.
    static std::function<int(QDialog *)> fill(const QString &f, const QString &i, const QString &o,
                                              QStringList *seen = nullptr)
    {
        return [=](QDialog *d) {
            auto *dlg = qobject_cast<TDeputatRedaktForma *>(d);
            if (!dlg)
                return int(QDialog::Rejected);
            if (seen)
                *seen = QStringList{dlg->familia->text(), dlg->imya->text(), dlg->otchestvo->text()};
            dlg->familia->setText(f);
            dlg->imya->setText(i);
            dlg->otchestvo->setText(o);
            dlg->KnopkaOk->click();
            return dlg->result();
        };
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init()
    {
        const QString path = m_dir.filePath(QStringLiteral("d%1.db").arg(++m_files));
        QString error;
        QVERIFY2(schema::createEmbedded(path, &error), qPrintable(error));
        db = new DbConnection;
        QVERIFY2(db->open({QStringLiteral("embedded"), path, QStringLiteral("admin1"), QStringLiteral("admin1")}),
                 qPrintable(db->firstErrorText()));
        dialogs.clear();
        addDeputat(QStringLiteral("Сидоров"), QStringLiteral("Пётр"), QStringLiteral("Ильич"));
        addDeputat(QStringLiteral("Иванов"), QStringLiteral("Иван"), QStringLiteral("Иванович"));
        addDeputat(QStringLiteral("Иванова"), QStringLiteral("Мария"), QStringLiteral("Петровна"));
        addDeputat(QStringLiteral("Д'Арсонваль"), QStringLiteral("Жак"), QStringLiteral("Арсенович"));
        addDeputat(QStringLiteral("Петров"), QStringLiteral("Алексей"), QStringLiteral("Сергеевич"));
    }

    void cleanup()
    {
        delete db;
        db = nullptr;
    }

    void listSortedByFullName()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        QCOMPARE(w.windowTitle(), QStringLiteral("Список депутатов"));
        QCOMPARE(w.DeputatModel->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Ф.И.О."));
        QCOMPARE(listed(w), (QStringList{"Д'Арсонваль Жак Арсенович", "Иванов Иван Иванович",
                                         "Иванова Мария Петровна", "Петров Алексей Сергеевич",
                                         "Сидоров Пётр Ильич"}));
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY(!db->hasErrors());
        QStringList menu;
        for (QAction *a : w.PopupMenu->actions())
            menu << a->text();
        QCOMPARE(menu, (QStringList{"Новый депутат", "Редактировать депутата", "Удалить депутата"}));
    }

    void searchByBeginningOfName()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        w.Poisk->setText(QStringLiteral("Иван"));
        QCOMPARE(listed(w), (QStringList{"Иванов Иван Иванович", "Иванова Мария Петровна"}));
        QCOMPARE(w.Deputat->field(QStringLiteral("FIO")).toString(), QStringLiteral("Иванов Иван Иванович"));
        w.Poisk->setText(QStringLiteral("иванова"));
        QCOMPARE(listed(w), QStringList{"Иванова Мария Петровна"});
        // Only the beginning of the full name counts.
        w.Poisk->setText(QStringLiteral("Мария"));
        QVERIFY(listed(w).isEmpty());
        QCOMPARE(w.currentId(), -1);
        w.Poisk->setText(QStringLiteral("Иванов Иван "));
        QCOMPARE(listed(w), QStringList{"Иванов Иван Иванович"});
        w.Poisk->clear();
        QCOMPARE(listed(w).size(), 5);
    }

    void searchTextIsTakenLiterally()
    {
        addDeputat(QStringLiteral("100%"), QStringLiteral("Тест"), QStringLiteral("Тестович"));
        addDeputat(QStringLiteral("[Скобкин]"), QStringLiteral("Тест"), QStringLiteral("Тестович"));
        TMestoDeputatForma w(db, &dialogs, &platform);
        const qint64 before = db->statementCount();
        const struct {
            const char *text;
            QStringList expected;
        } cases[] = {
            {"Д'", {"Д'Арсонваль Жак Арсенович"}},
            {"'", {}},
            {"*", {}},
            {"И*", {}},
            {"%", {}},
            {"100%", {"100% Тест Тестович"}},
            {"_", {}},
            {"И_", {}},  // would match "Ив..." as a wildcard
            {"[", {"[Скобкин] Тест Тестович"}},
            {"[И]", {}},
            {"Д'Арсонваль Жак Арсенович", {"Д'Арсонваль Жак Арсенович"}},
        };
        for (const auto &c : cases) {
            w.Poisk->setText(QString::fromUtf8(c.text));
            QCOMPARE(listed(w), c.expected);
        }
        // The search never goes to the database and never reports anything.
        QCOMPARE(db->statementCount(), before);
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY(!db->hasErrors());
        w.Poisk->clear();
        QCOMPARE(listed(w).size(), 7);
    }

    void addValidatesFieldsInOrder()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        QStringList messages;
        QStringList focused;
        int stillOpenResult = -1;
        dialogs.modalHandlers.enqueue([&](QDialog *d) {
            auto *dlg = qobject_cast<TDeputatRedaktForma *>(d);
            const QString f = QStringLiteral("О'Коннор"), i = QStringLiteral("Шон"), o = QStringLiteral(" ");
            auto press = [&] {
                dlg->KnopkaOk->click();
                messages << dialogs.lastText();
                focused << (dlg->focusWidget() ? dlg->focusWidget()->objectName() : QString());
                dialogs.shown.clear();
            };
            press();
            dlg->familia->setText(f);
            press();
            dlg->imya->setText(i);
            press();
            stillOpenResult = dlg->result();
            dlg->otchestvo->setText(o);  // spaces count as text
            dlg->KnopkaOk->click();
            return dlg->result();
        });
        w.DobavitDeputataExecute();

        QCOMPARE(messages, (QStringList{"Вы не ввели фамилию депутата!", "Вы не ввели имя депутата!",
                                        "Вы не ввели отчество депутата!"}));
        QCOMPARE(stillOpenResult, int(QDialog::Rejected));
        QCOMPARE(focused, (QStringList{"familia", "imya", "otchestvo"}));
        QVERIFY(dialogs.shown.isEmpty());

        QCOMPARE(db->scalar(QStringLiteral("SELECT familia FROM deputat WHERE imya='Шон'")).toString(),
                 QStringLiteral("О'Коннор"));
        QCOMPARE(w.Deputat->field(QStringLiteral("FIO")).toString(), QStringLiteral("О'Коннор Шон  "));
        QCOMPARE(listed(w).size(), 6);
    }

    void addDuplicateNamePutsCursorOnFirst()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        dialogs.modalHandlers.enqueue(fill(QStringLiteral("Петров"), QStringLiteral("Алексей"),
                                           QStringLiteral("Сергеевич")));
        w.DobavitDeputataExecute();
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM deputat WHERE familia='Петров'")).toInt(), 2);
        QCOMPARE(w.Deputat->field(QStringLiteral("FIO")).toString(), QStringLiteral("Петров Алексей Сергеевич"));
        // The first of the two equal names in list order, not the new row.
        QCOMPARE(w.Deputat->value(4, QStringLiteral("FIO")).toString(), QStringLiteral("Петров Алексей Сергеевич"));
        QCOMPARE(w.Deputat->currentRow(), 3);
    }

    void editKeepsCursorOnEditedDeputy()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        const int id = db->scalar(QStringLiteral("SELECT id FROM deputat WHERE familia='Сидоров'")).toInt();
        QVERIFY(w.selectDeputat(id));
        QStringList seen;
        dialogs.modalHandlers.enqueue(fill(QStringLiteral("Аббасов"), QStringLiteral("Пётр"), QStringLiteral("Ильич"),
                                           &seen));
        w.SpisokDblClick();
        QCOMPARE(seen, (QStringList{"Сидоров", "Пётр", "Ильич"}));
        QCOMPARE(w.currentId(), id);
        QCOMPARE(w.Deputat->currentRow(), 0);
        QCOMPARE(listed(w).first(), QStringLiteral("Аббасов Пётр Ильич"));
        QCOMPARE(w.Spisok->selectionModel()->currentIndex().row(), 0);

        // Enter in the list edits as well; a cancelled dialog writes nothing.
        const qint64 before = db->statementCount();
        w.Spisok->setFocus();
        QTest::keyClick(w.Spisok, Qt::Key_Return);
        QCOMPARE(dialogs.modalClasses, (QStringList{"TDeputatRedaktForma", "TDeputatRedaktForma"}));
        QCOMPARE(db->statementCount(), before);
    }

    void deleteAsksAndRemoves()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        QVERIFY(w.selectDeputat(db->scalar(QStringLiteral("SELECT id FROM deputat WHERE familia LIKE 'Д''%'")).toInt()));
        w.UdalitDeputataExecute();  // No is the default answer
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Вы уверены что хотите удалить депутата [Д'Арсонваль Жак Арсенович]?"));
        QCOMPARE(dialogs.shown[0].caption, QStringLiteral("Удаление"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Question);
        QCOMPARE(dialogs.shown[0].defaultButton, Dialogs::No);
        QCOMPARE(listed(w).size(), 5);

        // Seated: the seat is left free, with no assignment to a deputy who is gone.
        const int seated = w.currentId();
        rawSql(QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto) VALUES (%1,7)").arg(seated));
        dialogs.clear();
        dialogs.answers.enqueue(Dialogs::Yes);
        w.UdalitDeputataExecute();
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM sostav WHERE id_deputat=%1").arg(seated)).toInt(), 0);
        QCOMPARE(listed(w).size(), 4);
        QVERIFY(!listed(w).contains(QStringLiteral("Д'Арсонваль Жак Арсенович")));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM deputat")).toInt(), 4);
    }

    void failuresAreReportedAndListKept()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        rawSql(QStringLiteral("CREATE TRIGGER refuse_upd BEFORE UPDATE ON deputat BEGIN SELECT RAISE(ABORT, 'запрещено'); END"));
        dialogs.modalHandlers.enqueue(fill(QStringLiteral("Х"), QStringLiteral("Х"), QStringLiteral("Х")));
        w.RedaktDeputataExecute();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("запрещено"));
        QCOMPARE(dialogs.shown[0].icon, Dialogs::Error);
        QVERIFY(!db->hasErrors());
        QCOMPARE(listed(w).first(), QStringLiteral("Д'Арсонваль Жак Арсенович"));

        dialogs.clear();
        rawSql(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON deputat BEGIN SELECT RAISE(ABORT, 'на месте'); END"));
        const int id = w.currentId();
        rawSql(QStringLiteral("INSERT INTO sostav (id_deputat,id_mesto) VALUES (%1,7)").arg(id));
        dialogs.answers.enqueue(Dialogs::Yes);
        w.UdalitDeputataExecute();
        // The refused delete keeps the deputy's seat too.
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM sostav WHERE id_deputat=%1").arg(id)).toInt(), 1);
        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(dialogs.shown[1].text, QStringLiteral("Ошибка удаления депутата!\n\r\n\rна месте"));
        QCOMPARE(dialogs.shown[1].caption, QStringLiteral("Ошибка"));
        QCOMPARE(dialogs.shown[1].icon, Dialogs::Error);
        QVERIFY(!db->hasErrors());
        QCOMPARE(w.currentId(), id);
        QCOMPARE(listed(w).size(), 5);
    }

    void chooserReturnsChosenDeputy()
    {
        TMestoDeputatForma w(db, &dialogs, &platform);
        w.setChooserSeat(QStringLiteral("07"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Выбор депутата - Место 07"));
        QCOMPARE(w.Spisok->columnWidth(0), w.Spisok->width() - platform.scrollBar - 5);
        const int id = db->scalar(QStringLiteral("SELECT id FROM deputat WHERE familia='Петров'")).toInt();
        QVERIFY(w.selectDeputat(id));
        QVERIFY(!w.selectDeputat(9999));
        QCOMPARE(w.currentId(), id);
        w.KnopkaVibor->click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.chosenDeputatId(), id);
        QCOMPARE(w.chosenFio(), QStringLiteral("Петров Алексей Сергеевич"));

        // Nothing listed: no choice, and editing or deleting does nothing.
        w.Poisk->setText(QStringLiteral("Я"));
        w.setResult(-1);
        w.KnopkaVibor->click();
        QCOMPARE(w.result(), -1);
        w.KnopkaZakr->click();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(w.chosenDeputatId(), -1);
        w.RedaktDeputataExecute();
        w.UdalitDeputataExecute();
        QVERIFY(dialogs.modalClasses.isEmpty());
        QVERIFY(dialogs.shown.isEmpty());
    }

    void screenshot()
    {
        const QString dir = qEnvironmentVariable("VOTER_SCREENS");
        if (dir.isEmpty())
            QSKIP("VOTER_SCREENS not set");
        TMestoDeputatForma w(db, &dialogs, &platform);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QDir().mkpath(dir);
        QVERIFY(w.grab().save(QDir(dir).filePath(QStringLiteral("deputat_form.png"))));
        w.Poisk->setText(QStringLiteral("Иван"));
        QVERIFY(w.grab().save(QDir(dir).filePath(QStringLiteral("deputat_form_search.png"))));
        TDeputatRedaktForma d(&dialogs, &w);
        d.familia->setText(QStringLiteral("Иванов"));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.grab().save(QDir(dir).filePath(QStringLiteral("deputat_redakt.png"))));
    }
};

QTEST_MAIN(TestDeputatForm)
#include "test_deputat_form.moc"
