// Documents of agenda items: registration in faili and the copy in the document store.
#include "db/dataset.h"
#include "db/docstore.h"
#include "editors/povestka_freim.h"
#include "editors/povestka_redaktor.h"
#include "test_povestka_fixture.h"

#include <QFile>
#include <QTextEdit>

class TestFaili : public QObject {
    Q_OBJECT

    PovestkaDb t;
    QString sources;  // where the operator picks files from

    std::unique_ptr<TRedaktorPovestki> editor(int meeting)
    {
        auto w = std::make_unique<TRedaktorPovestki>(t.db.get(), &t.dialogs, t.platform.get());
        w->setZasedanie(meeting, QStringLiteral("Заседание № 1"));
        return w;
    }

    QString source(const QString &name, const QByteArray &content)
    {
        const QString path = sources + QLatin1Char('/') + name;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            qWarning("cannot write %s", qPrintable(path));
        return path;
    }

    // What a terminal opens for the current document row.
    QByteArray stored(TRedaktorPovestki &w)
    {
        QFile f(docstore::documentPath(t.platform->programDir(), w.Faili->field(QStringLiteral("put")).toString(),
                                       w.Faili->field(QStringLiteral("fail")).toString()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QString docs() const { return t.platform->programDir() + QStringLiteral("/docs"); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(t.open());
        sources = t.dir.filePath(QStringLiteral("src%1").arg(t.files));
        QVERIFY(QDir().mkpath(sources));
    }

    void dateFolderOfTheMeeting_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("folder");
        QTest::newRow("5 March 2014") << QStringLiteral("20140305") << QStringLiteral("5.03.2014");
        QTest::newRow("25 November 2014") << QStringLiteral("20141125") << QStringLiteral("25.11.2014");
        QTest::newRow("1 October 2015") << QStringLiteral("20151001") << QStringLiteral("1.10.2015");
    }
    void dateFolderOfTheMeeting()
    {
        QFETCH(QString, date);
        QFETCH(QString, folder);
        auto w = editor(t.addMeeting(date));
        QString got;
        QVERIFY2(w->dateFolder(&got), qPrintable(t.db->firstErrorText()));
        QCOMPARE(got, folder);
    }

    void addingToAMainQuestion()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int item = t.addItem(m, 0, 3, 1);
        auto w = editor(m);
        QVERIFY(w->Faili->isOpen());
        t.dialogs.fileNames.enqueue(source(QStringLiteral("Проект закона.pdf"), "%PDF-1.4 project"));
        w->KnopkaDocNoviyClick();
        QVERIFY2(t.dialogs.shown.isEmpty(), qPrintable(t.dialogs.lastText()));
        QCOMPARE(w->Faili->rowCount(), 1);
        QCOMPARE(w->Faili->field(QStringLiteral("id_povestka")).toInt(), item);
        QCOMPARE(w->Faili->field(QStringLiteral("fail")).toString(), QStringLiteral("Проект закона.pdf"));
        QCOMPARE(w->Faili->field(QStringLiteral("opisanie")).toString(), QStringLiteral("Проект закона.pdf"));
        QCOMPARE(w->Faili->field(QStringLiteral("put")).toString(), QStringLiteral("5.03.2014\\3\\"));
        QVERIFY(QFileInfo::exists(docs() + QStringLiteral("/5.03.2014/3/Проект закона.pdf")));
        QCOMPARE(stored(*w), QByteArray("%PDF-1.4 project"));
    }

    // The documents of an additional question must reach its folder too, or no terminal
    // can open them.
    void addingToAnAdditionalQuestionCopiesToo()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        t.addItem(m, 1, 3, 1);
        auto w = editor(m);
        t.dialogs.fileNames.enqueue(source(QStringLiteral("dop.pdf"), "additional"));
        w->KnopkaDocNoviyClick();
        QVERIFY(t.dialogs.shown.isEmpty());
        QCOMPARE(w->Faili->field(QStringLiteral("put")).toString(), QStringLiteral("5.03.2014\\3 д\\"));
        QVERIFY(QFileInfo::exists(docs() + QStringLiteral("/5.03.2014/3 д/dop.pdf")));
        QCOMPARE(stored(*w), QByteArray("additional"));
    }

    void apostropheInTheFileName()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        t.addItem(m, 0, 1, 1);
        auto w = editor(m);
        t.dialogs.fileNames.enqueue(source(QStringLiteral("Закон О'Нила.pdf"), "apostrophe"));
        w->KnopkaDocNoviyClick();
        QVERIFY2(t.dialogs.shown.isEmpty(), qPrintable(t.dialogs.lastText()));
        QCOMPARE(t.scalar(QStringLiteral("SELECT fail FROM faili")).toString(), QStringLiteral("Закон О'Нила.pdf"));
        QCOMPARE(w->Faili->field(QStringLiteral("fail")).toString(), QStringLiteral("Закон О'Нила.pdf"));
        QCOMPARE(stored(*w), QByteArray("apostrophe"));

        // Its description may hold apostrophes as well.
        t.dialogs.inputs.enqueue(QStringLiteral("Закон О'Нила, 2-е чтение"));
        w->KnopkaDocOpisanieClick();
        QCOMPARE(t.scalar(QStringLiteral("SELECT opisanie FROM faili")).toString(),
                 QStringLiteral("Закон О'Нила, 2-е чтение"));
    }

    void sameFileTwiceIsCopiedOnce()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        t.addItem(m, 0, 2, 1);
        auto w = editor(m);
        const QString file = source(QStringLiteral("a.pdf"), "first");
        t.dialogs.fileNames.enqueue(file);
        w->KnopkaDocNoviyClick();
        const int firstId = w->Faili->field(QStringLiteral("id")).toInt();
        source(QStringLiteral("a.pdf"), "changed since");
        t.dialogs.fileNames.enqueue(file);
        w->KnopkaDocNoviyClick();
        QVERIFY(t.dialogs.shown.isEmpty());
        QCOMPARE(w->Faili->rowCount(), 2);
        QVERIFY(w->Faili->field(QStringLiteral("id")).toInt() > firstId);  // cursor on the new row
        QCOMPARE(QDir(docs() + QStringLiteral("/5.03.2014/2")).entryList(QDir::Files), QStringList{"a.pdf"});
        QCOMPARE(stored(*w), QByteArray("first"));
    }

    void replacingTheFileCopiesTheNewOne()
    {
        const int m = t.addMeeting(QStringLiteral("20141125"));
        t.addItem(m, 1, 4, 1);
        auto w = editor(m);
        t.dialogs.fileNames.enqueue(source(QStringLiteral("old.pdf"), "old"));
        w->KnopkaDocNoviyClick();
        t.dialogs.inputs.enqueue(QStringLiteral("01 Заключение"));
        w->KnopkaDocOpisanieClick();
        const int id = w->Faili->field(QStringLiteral("id")).toInt();

        t.dialogs.fileNames.enqueue(source(QStringLiteral("new.pdf"), "new"));
        w->DocTablDblClick();
        QVERIFY(t.dialogs.shown.isEmpty());
        QCOMPARE(w->Faili->field(QStringLiteral("id")).toInt(), id);
        QCOMPARE(w->Faili->field(QStringLiteral("fail")).toString(), QStringLiteral("new.pdf"));
        QCOMPARE(w->Faili->field(QStringLiteral("opisanie")).toString(), QStringLiteral("01 Заключение"));
        QCOMPARE(w->Faili->field(QStringLiteral("put")).toString(), QStringLiteral("25.11.2014\\4 д\\"));
        QCOMPARE(stored(*w), QByteArray("new"));
        QVERIFY(QFileInfo::exists(docs() + QStringLiteral("/25.11.2014/4 д/old.pdf")));

        // Cancelling the file dialog changes nothing.
        w->DocTablDblClick();
        QCOMPARE(t.scalar(QStringLiteral("SELECT fail FROM faili")).toString(), QStringLiteral("new.pdf"));
    }

    void withoutItemsTheButtonsDoNothing()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        auto w = editor(m);
        QVERIFY(!w->Faili->isOpen());
        t.dialogs.fileNames.enqueue(source(QStringLiteral("a.pdf"), "a"));
        w->KnopkaDocNoviyClick();
        w->DocTablDblClick();
        w->KnopkaDocOpisanieClick();
        w->KnopkaDocUdalitClick();
        w->DocTablMouseUp(Qt::RightButton);
        QCOMPARE(t.dialogs.fileNames.size(), 1);
        QVERIFY(t.dialogs.shown.isEmpty());
        QVERIFY(t.dialogs.inputPrompts.isEmpty());
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM faili")).toInt(), 0);
    }

    void descriptionPathAndRemoval()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        t.addItem(m, 0, 3, 1);
        auto w = editor(m);
        t.dialogs.fileNames.enqueue(source(QStringLiteral("b.pdf"), "b"));
        w->KnopkaDocNoviyClick();

        // Cancelled input keeps the description.
        w->KnopkaDocOpisanieClick();
        QCOMPARE(t.dialogs.inputPrompts, QStringList{QStringLiteral("Введите описание файла:")});
        QCOMPARE(t.scalar(QStringLiteral("SELECT opisanie FROM faili")).toString(), QStringLiteral("b.pdf"));

        w->DocTablMouseUp(Qt::LeftButton);
        QVERIFY(t.dialogs.shown.isEmpty());
        w->DocTablMouseUp(Qt::RightButton);
        QCOMPARE(t.dialogs.lastText(), QStringLiteral("\\docs\\5.03.2014\\3\\b.pdf"));
        QCOMPARE(t.dialogs.shown.last().caption, QStringLiteral("Путь к файлу b.pdf"));
        QCOMPARE(t.dialogs.shown.last().icon, Dialogs::Information);

        t.dialogs.answers.enqueue(Dialogs::No);
        w->KnopkaDocUdalitClick();
        QCOMPARE(t.dialogs.lastText(), QStringLiteral("Вы действительно хотите удалить ссыоку на файл [b.pdf]?"));
        QCOMPARE(t.dialogs.shown.last().caption, QStringLiteral("Удаление файла"));
        QCOMPARE(t.dialogs.shown.last().defaultButton, Dialogs::No);
        QCOMPARE(w->Faili->rowCount(), 1);
        t.dialogs.answers.enqueue(Dialogs::Yes);
        w->KnopkaDocUdalitClick();
        QCOMPARE(w->Faili->rowCount(), 0);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM faili")).toInt(), 0);
        QVERIFY(QFileInfo::exists(docs() + QStringLiteral("/5.03.2014/3/b.pdf")));
    }

    void failedCopyKeepsTheRow()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        t.addItem(m, 0, 1, 1);
        auto w = editor(m);
        QFile blocker(docs());
        QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the store's folder belongs
        blocker.close();
        t.dialogs.fileNames.enqueue(source(QStringLiteral("c.pdf"), "c"));
        w->KnopkaDocNoviyClick();
        QCOMPARE(t.dialogs.shown.size(), 1);
        QCOMPARE(t.dialogs.lastText(), QStringLiteral("Ошибка при копировании файла!"));
        QCOMPARE(t.dialogs.shown.last().caption, QStringLiteral("Ошибка"));
        QCOMPARE(w->Faili->rowCount(), 1);
    }

    void failedRegistrationCopiesNothing()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        t.addItem(m, 0, 1, 1);
        auto w = editor(m);
        QVERIFY(t.db->exec(QStringLiteral("ALTER TABLE faili RENAME TO faili_old")));
        t.dialogs.fileNames.enqueue(source(QStringLiteral("d.pdf"), "d"));
        w->KnopkaDocNoviyClick();
        QCOMPARE(t.dialogs.shown.size(), 1);
        QVERIFY2(t.dialogs.lastText().startsWith(
                     QStringLiteral("Ошибка работы с базой данных при регистрации файла документа! \n\r\n\r")),
                 qPrintable(t.dialogs.lastText()));
        QVERIFY(t.dialogs.lastText().size() > 70);  // the database's own description follows
        QVERIFY(!t.db->hasErrors());
        QVERIFY(!QFileInfo::exists(docs() + QStringLiteral("/5.03.2014/1/d.pdf")));
    }

    void documentsFollowTheSelectedItem()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int a = t.addItem(m, 0, 1, 1);
        const int b = t.addItem(m, 0, 2, 2);
        t.db->exec(QStringLiteral("UPDATE povestka SET info='Содержание второго' WHERE id=%1").arg(b));
        t.exec(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (%1,'b1.pdf','b1','x\\')").arg(b));
        t.exec(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (%1,'b2.pdf','b2','x\\')").arg(b));
        auto w = editor(m);
        QCOMPARE(w->PovestkaFreim->Povestka->field(QStringLiteral("id")).toInt(), a);
        QCOMPARE(w->Faili->rowCount(), 0);
        QVERIFY(w->InfoPole->toPlainText().isEmpty());
        w->PovestkaFreim->Povestka->next();
        QCOMPARE(w->Faili->rowCount(), 2);
        QCOMPARE(w->Faili->value(0, QStringLiteral("fail")).toString(), QStringLiteral("b1.pdf"));
        QCOMPARE(w->InfoPole->toPlainText(), QStringLiteral("Содержание второго"));
        QVERIFY(w->InfoPole->isReadOnly());
    }

    // A text of one paragraph has no closing \\par; it shows all the same.
    void singleParagraphRtfShows()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int a = t.addItem(m, 0, 1, 1);
        t.db->exec(QStringLiteral("UPDATE povestka SET info=%1 WHERE id=%2")
                       .arg(sql::quote(QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 "
                                                      "Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs20 \\'cf\\'f0\\'ee\\'e5\\'ea\\'f2 "
                                                      "\\'e7\\'e0\\'ea\\'ee\\'ed\\'e0}")))
                       .arg(a));
        auto w = editor(m);
        QCOMPARE(w->PovestkaFreim->Povestka->field(QStringLiteral("id")).toInt(), a);
        QCOMPARE(w->InfoPole->toPlainText(), QStringLiteral("Проект закона"));
    }
};

QTEST_MAIN(TestFaili)
#include "test_faili.moc"
