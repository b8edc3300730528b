// The agenda editor: the agenda frame and the question editor on a fresh embedded database.
#include "db/dataset.h"
#include "editors/povestka_freim.h"
#include "editors/povestka_redaktor.h"
#include "editors/povestka_vopros.h"
#include "editors/regim_povestka.h"
#include "editors/zasedanie_form.h"
#include "rtf/rtf.h"
#include "test_povestka_fixture.h"

#include <QGuiApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace {

struct Seen {
    int tip = -1;
    int nomer = -1;
    QString opisanie;
    bool inserting = false;
};

// The question editor's handler: records what it showed, optionally changes it, presses OK.
std::function<int(QDialog *)> questionEditor(Seen *seen, std::function<void(TVorposRedaktorForma *)> change = {},
                                             bool ok = true)
{
    return [=](QDialog *d) {
        auto *e = qobject_cast<TVorposRedaktorForma *>(d);
        if (!e)
            return int(QDialog::Rejected);
        if (seen) {
            seen->tip = e->Dop->isChecked() ? 1 : 0;
            seen->nomer = e->Nomer->value();
            seen->opisanie = e->VoprosTekst->text();
            seen->inserting = e->inserting();
        }
        if (change)
            change(e);
        (ok ? e->KnopkaOK : e->KnopkaOtmena)->click();
        return e->result();
    };
}

}  // namespace

class TestPovestka : public QObject {
    Q_OBJECT

    PovestkaDb t;
    int changes = 0;

    std::unique_ptr<TRedaktorPovestki> editor(int meeting, const QString &caption = QStringLiteral("Заседание № 1"))
    {
        auto w = std::make_unique<TRedaktorPovestki>(t.db.get(), &t.dialogs, t.platform.get());
        w->onAgendaChanged = [this] { ++changes; };
        w->setZasedanie(meeting, caption);
        return w;
    }

    QList<int> ords(const QList<int> &ids)
    {
        QList<int> out;
        for (int id : ids)
            out << t.scalar(QStringLiteral("SELECT ord FROM povestka WHERE id=%1").arg(id)).toInt();
        return out;
    }

    // The whole screen, windows on top of each other as the operator sees them (X server only).
    static void saveScreen(const QString &path)
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        QCoreApplication::processEvents();
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(path));
    }

    int currentId(TRedaktorPovestki &w) { return w.PovestkaFreim->Povestka->field(QStringLiteral("id")).toInt(); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(t.open());
        changes = 0;
    }

    void firstItemOfANewMeeting()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        auto w = editor(m);
        QCOMPARE(w->PovestkaFreim->Zasedanie->text(), QStringLiteral("Заседание № 1"));
        QCOMPARE(w->PovestkaFreim->Povestka->rowCount(), 0);

        Seen seen;
        t.dialogs.modalHandlers.enqueue(questionEditor(&seen));
        w->PovestkaFreim->VoprosDobavitExecute();
        QCOMPARE(t.dialogs.modalClasses, QStringList{QStringLiteral("TVorposRedaktorForma")});
        QVERIFY(seen.inserting);
        QCOMPARE(seen.tip, 0);
        QCOMPARE(seen.nomer, 1);
        QCOMPARE(seen.opisanie, QStringLiteral("Вопрос 1"));

        ResultSet rs;
        QVERIFY(t.db->query(QStringLiteral("SELECT id,id_zasedanie,tip,nomer,ord,opisanie FROM povestka"), &rs));
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.value(0, QStringLiteral("id_zasedanie")).toInt(), m);
        QCOMPARE(rs.value(0, QStringLiteral("tip")).toInt(), 0);
        QCOMPARE(rs.value(0, QStringLiteral("nomer")).toInt(), 1);
        QCOMPARE(rs.value(0, QStringLiteral("ord")).toInt(), 1);
        QCOMPARE(rs.value(0, QStringLiteral("opisanie")).toString(), QStringLiteral("Вопрос 1"));
        QCOMPARE(currentId(*w), rs.value(0, QStringLiteral("id")).toInt());
        QCOMPARE(changes, 1);
        QVERIFY(t.dialogs.shown.isEmpty());
        QVERIFY(!t.db->hasErrors());
    }

    void defaultsFollowTheLastCreatedType()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int other = t.addMeeting(QStringLiteral("20140306"));
        t.addItem(m, 0, 1, 1);
        t.addItem(m, 0, 7, 2);
        t.addItem(m, 1, 1, 5);
        t.addItem(other, 1, 9, 9);  // another meeting's items count for nothing
        auto w = editor(m);

        Seen seen;
        t.dialogs.modalHandlers.enqueue(questionEditor(&seen));
        w->PovestkaFreim->VoprosDobavitExecute();
        QCOMPARE(seen.tip, 1);
        QCOMPARE(seen.nomer, 2);
        QCOMPARE(seen.opisanie, QStringLiteral("Доп. вопрос 2"));
        const int added = currentId(*w);
        QCOMPARE(t.scalar(QStringLiteral("SELECT ord FROM povestka WHERE id=%1").arg(added)).toInt(), 6);
        QCOMPARE(t.scalar(QStringLiteral("SELECT opisanie FROM povestka WHERE id=%1").arg(added)).toString(),
                 QStringLiteral("Доп. вопрос 2"));

        // Switched to a main question in the editor: that becomes the next default.
        t.dialogs.modalHandlers.enqueue(questionEditor(&seen, [](TVorposRedaktorForma *e) { e->Osn->setChecked(true); }));
        w->PovestkaFreim->VoprosDobavitExecute();
        t.dialogs.modalHandlers.enqueue(questionEditor(&seen));
        w->PovestkaFreim->VoprosDobavitExecute();
        QCOMPARE(seen.tip, 0);
        QCOMPARE(seen.nomer, 8);
        QCOMPARE(w->PovestkaFreim->Povestka->rowCount(), 6);
    }

    void descriptionRuleInTheEditor()
    {
        TVorposRedaktorForma e(t.db.get(), &t.dialogs, t.platform.get());
        // Before any type or number was applied there is no description, and OK is refused.
        QVERIFY(e.VoprosTekst->text().isEmpty());
        QVERIFY(e.Osn->isChecked());
        QCOMPARE(e.Nomer->value(), 1);
        e.KnopkaOK->click();
        QCOMPARE(e.result(), int(QDialog::Rejected));
        QCOMPARE(t.dialogs.lastText(), QStringLiteral("Вы не заполнили поле [Вопрос повестки дня]!"));
        QCOMPARE(t.dialogs.shown.last().caption, QStringLiteral("Ошибка"));
        QCOMPARE(t.dialogs.shown.last().icon, Dialogs::Error);

        e.startInsert(1, 0, 3, 1);
        QCOMPARE(e.VoprosTekst->text(), QStringLiteral("Вопрос 3"));
        e.Dop->setChecked(true);
        QCOMPARE(e.VoprosTekst->text(), QStringLiteral("Доп. вопрос 3"));
        QCOMPARE(e.nomer(), 3);
        e.Nomer->setValue(12);
        QCOMPARE(e.VoprosTekst->text(), QStringLiteral("Доп. вопрос 12"));
        e.Osn->setChecked(true);
        e.Nomer->setValue(0);
        QCOMPARE(e.VoprosTekst->text(), QStringLiteral("Вопрос 0"));
        e.Nomer->setValue(-2);  // no limits of its own
        QCOMPARE(e.VoprosTekst->text(), QStringLiteral("Вопрос -2"));
        QVERIFY(e.VoprosTekst->isReadOnly());
    }

    void editingAnItem()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int a = t.addItem(m, 0, 1, 1);
        const int b = t.addItem(m, 1, 4, 2);
        auto w = editor(m);
        QVERIFY(w->PovestkaFreim->Povestka->locate(QStringLiteral("id"), b));

        Seen seen;
        t.dialogs.modalHandlers.enqueue(questionEditor(&seen, [](TVorposRedaktorForma *e) {
            e->Osn->setChecked(true);
            e->Nomer->setValue(0);
        }));
        w->PovestkaFreim->PovestkaTablDblClick();
        QVERIFY(!seen.inserting);
        QCOMPARE(seen.tip, 1);
        QCOMPARE(seen.nomer, 4);
        QCOMPARE(seen.opisanie, QStringLiteral("Доп. вопрос 4"));
        ResultSet rs;
        QVERIFY(t.db->query(QStringLiteral("SELECT tip,nomer,ord,opisanie FROM povestka WHERE id=%1").arg(b), &rs));
        QCOMPARE(rs.value(0, QStringLiteral("tip")).toInt(), 0);
        QCOMPARE(rs.value(0, QStringLiteral("nomer")).toInt(), 0);
        QCOMPARE(rs.value(0, QStringLiteral("ord")).toInt(), 2);
        QCOMPARE(rs.value(0, QStringLiteral("opisanie")).toString(), QStringLiteral("Вопрос 0"));
        QCOMPARE(currentId(*w), b);
        QCOMPARE(changes, 1);

        // Cancel leaves the row as it was.
        QVERIFY(w->PovestkaFreim->Povestka->locate(QStringLiteral("id"), a));
        t.dialogs.modalHandlers.enqueue(
            questionEditor(nullptr, [](TVorposRedaktorForma *e) { e->Nomer->setValue(40); }, false));
        w->PovestkaFreim->VoprosRedaktExecute();
        QCOMPARE(t.scalar(QStringLiteral("SELECT opisanie FROM povestka WHERE id=%1").arg(a)).toString(),
                 QStringLiteral("Вопрос 1"));
        QCOMPARE(changes, 1);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka")).toInt(), 2);
    }

    void contentIsStoredAsRtf()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        auto w = editor(m);
        const QString text = QStringLiteral("О бюджете области на 2014 год. Кто вносит: комитет д'Артаньяна");
        t.dialogs.modalHandlers.enqueue(questionEditor(nullptr, [&](TVorposRedaktorForma *e) {
            QTextCursor c(e->VoprosInfo->document());
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            c.insertText(QStringLiteral("О бюджете"), bold);
            c.insertText(text.mid(9), QTextCharFormat());
        }));
        w->PovestkaFreim->VoprosDobavitExecute();
        const QString info = t.scalar(QStringLiteral("SELECT info FROM povestka")).toString();
        QVERIFY2(rtf::isRtf(info), qPrintable(info.left(40)));
        QCOMPARE(rtf::plainText(info), text);
        // The content box on the right shows it.
        QCOMPARE(w->InfoPole->toPlainText(), text);

        // Editing starts from the stored content with its formatting.
        bool boldKept = false;
        QString shown;
        t.dialogs.modalHandlers.enqueue(questionEditor(nullptr, [&](TVorposRedaktorForma *e) {
            shown = e->VoprosInfo->toPlainText();
            QTextCursor c(e->VoprosInfo->document());
            c.movePosition(QTextCursor::NextCharacter);
            boldKept = c.charFormat().fontWeight() == QFont::Bold;
        }, false));
        w->PovestkaFreim->VoprosRedaktExecute();
        QCOMPARE(shown, text);
        QVERIFY(boldKept);
    }

    void cancellingANewItemAddsNothing()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        auto w = editor(m);
        t.dialogs.modalHandlers.enqueue(questionEditor(nullptr, {}, false));
        w->PovestkaFreim->VoprosDobavitExecute();
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka")).toInt(), 0);
        QCOMPARE(changes, 0);
        QVERIFY(t.dialogs.shown.isEmpty());
    }

    void failedPostIsReportedOnce()
    {
        // No meeting at all: the reference refuses the new row.
        auto w = editor(-1, QStringLiteral("Заседание не выбрано"));
        t.dialogs.modalHandlers.enqueue(questionEditor(nullptr));
        w->PovestkaFreim->VoprosDobavitExecute();
        QCOMPARE(t.dialogs.shown.size(), 1);
        QVERIFY2(t.dialogs.lastText().startsWith(
                     QStringLiteral("Ошибка работы с базой данных при редактировании вопроса повестки дня [")),
                 qPrintable(t.dialogs.lastText()));
        QVERIFY(t.dialogs.lastText().endsWith(QStringLiteral("]!")));
        QVERIFY(!t.db->hasErrors());
        QCOMPARE(changes, 0);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka")).toInt(), 0);
    }

    void movingItems()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int a = t.addItem(m, 0, 1, 1);
        const int b = t.addItem(m, 0, 2, 2);
        const int c = t.addItem(m, 0, 3, 3);
        auto w = editor(m);
        Tpovestka_freim *f = w->PovestkaFreim;

        QVERIFY(f->Povestka->locate(QStringLiteral("id"), a));
        f->VoprosVerhExecute();
        QVERIFY(f->Povestka->locate(QStringLiteral("id"), c));
        f->VoprosNisExecute();
        QCOMPARE(ords({a, b, c}), (QList<int>{1, 2, 3}));
        QCOMPARE(changes, 0);

        QVERIFY(f->Povestka->locate(QStringLiteral("id"), c));
        f->VoprosVerhExecute();
        QCOMPARE(ords({a, b, c}), (QList<int>{1, 3, 2}));
        QCOMPARE(currentId(*w), c);
        QCOMPARE(f->Povestka->currentRow(), 1);
        QCOMPARE(changes, 1);
        f->VoprosVerhExecute();
        QCOMPARE(ords({a, b, c}), (QList<int>{2, 3, 1}));
        QCOMPARE(f->Povestka->currentRow(), 0);
        f->VoprosNisExecute();
        f->VoprosNisExecute();
        QCOMPARE(ords({a, b, c}), (QList<int>{1, 2, 3}));
        QCOMPARE(changes, 4);
        QVERIFY(t.dialogs.shown.isEmpty());
    }

    void equalPositionsAreSkipped()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int a = t.addItem(m, 0, 1, 1);
        const int b = t.addItem(m, 0, 2, 1);
        const int c = t.addItem(m, 0, 3, 4);
        auto w = editor(m);
        Tpovestka_freim *f = w->PovestkaFreim;

        // a's neighbour below is c (position 4), not b with the same position.
        QVERIFY(f->Povestka->locate(QStringLiteral("id"), a));
        f->VoprosNisExecute();
        QCOMPARE(ords({a, b, c}), (QList<int>{4, 1, 1}));
        // b and c now share position 1 and there is nothing above it.
        QVERIFY(f->Povestka->locate(QStringLiteral("id"), b));
        f->VoprosVerhExecute();
        QCOMPARE(ords({a, b, c}), (QList<int>{4, 1, 1}));
        QCOMPARE(changes, 1);
    }

    void deletingKeepsTheOthers()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int a = t.addItem(m, 0, 1, 1);
        const int b = t.addItem(m, 0, 2, 2);
        const int c = t.addItem(m, 0, 3, 3);
        for (int item : {a, b}) {
            t.exec(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES (%1,'a.pdf','a.pdf','x\\')").arg(item));
            t.exec(QStringLiteral("INSERT INTO povestka_regim (ord,id_povestka,id_regim) VALUES (1,%1,1)").arg(item));
        }
        auto w = editor(m);
        QVERIFY(w->PovestkaFreim->Povestka->locate(QStringLiteral("id"), b));

        t.dialogs.answers.enqueue(Dialogs::No);
        w->PovestkaFreim->VoprosUdalitExecute();
        QCOMPARE(t.dialogs.lastText(), QStringLiteral("Вы уверены, что хотите удалить вопрос повестки дня [Вопрос 2]!"));
        QCOMPARE(t.dialogs.shown.last().caption, QStringLiteral("Удаление"));
        QCOMPARE(t.dialogs.shown.last().icon, Dialogs::Question);
        QCOMPARE(t.dialogs.shown.last().defaultButton, Dialogs::No);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka")).toInt(), 3);
        QCOMPARE(changes, 0);

        t.dialogs.answers.enqueue(Dialogs::Yes);
        w->PovestkaFreim->VoprosUdalitExecute();
        QCOMPARE(w->PovestkaFreim->Povestka->rowCount(), 2);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka WHERE id=%1").arg(b)).toInt(), 0);
        QCOMPARE(ords({a, c}), (QList<int>{1, 3}));
        QCOMPARE(t.scalar(QStringLiteral("SELECT nomer FROM povestka WHERE id=%1").arg(c)).toInt(), 3);
        // Its documents and voting rules went with it; the others' stay.
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM faili WHERE id_povestka=%1").arg(b)).toInt(), 0);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka_regim WHERE id_povestka=%1").arg(b)).toInt(), 0);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM faili WHERE id_povestka=%1").arg(a)).toInt(), 1);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka_regim WHERE id_povestka=%1").arg(a)).toInt(), 1);
        QCOMPARE(changes, 1);

        // An item whose delete is refused keeps its documents and rules: all or nothing.
        QSqlQuery trigger(t.db->database());
        QVERIFY(trigger.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON povestka "
                                            "BEGIN SELECT RAISE(ABORT, 'golosovanie'); END")));
        QVERIFY(w->PovestkaFreim->Povestka->locate(QStringLiteral("id"), a));
        t.dialogs.answers.enqueue(Dialogs::Yes);
        w->PovestkaFreim->VoprosUdalitExecute();
        QVERIFY(!t.db->hasErrors());
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka WHERE id=%1").arg(a)).toInt(), 1);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM faili WHERE id_povestka=%1").arg(a)).toInt(), 1);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka_regim WHERE id_povestka=%1").arg(a)).toInt(), 1);
    }

    void failingAgendaQueryIsReported()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        QVERIFY(t.db->exec(QStringLiteral("ALTER TABLE povestka RENAME TO povestka_old")));
        auto w = editor(m);
        QCOMPARE(t.dialogs.shown.size(), 1);
        QVERIFY(t.dialogs.lastText().startsWith(QStringLiteral("Ошибка запроса повестки (")));
        QVERIFY(t.dialogs.lastText().endsWith(QStringLiteral(")!")));
        QVERIFY(!t.db->hasErrors());
        QVERIFY(!w->PovestkaFreim->Povestka->isOpen());
    }

    void captionChoosesAnotherMeeting()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"), QStringLiteral("Заседание № 1"));
        const int n = t.addMeeting(QStringLiteral("20140401"), QStringLiteral("Заседание № 2"));
        t.addItem(n, 0, 1, 1);
        auto w = editor(m);
        int selectedFirst = -1;
        t.dialogs.modalHandlers.enqueue([&](QDialog *d) {
            auto *z = qobject_cast<TZasedanieForm *>(d);
            if (!z)
                return int(QDialog::Rejected);
            selectedFirst = z->currentId();
            z->selectMeeting(n);
            z->KnopkaOK->click();
            return z->result();
        });
        w->PovestkaFreim->ZasedanieClick();
        QCOMPARE(selectedFirst, m);
        QCOMPARE(w->PovestkaFreim->zasedanie(), n);
        QCOMPARE(w->PovestkaFreim->Zasedanie->text(), QStringLiteral("Заседание № 2"));
        QCOMPARE(w->PovestkaFreim->Povestka->rowCount(), 1);

        // Closing the meetings window keeps the meeting.
        w->PovestkaFreim->ZasedanieClick();
        QCOMPARE(w->PovestkaFreim->zasedanie(), n);
        QVERIFY(t.dialogs.shown.isEmpty());
    }

    void votingRulesButtonOpensTheItemsRules()
    {
        const int m = t.addMeeting(QStringLiteral("20140305"));
        const int a = t.addItem(m, 1, 2, 1);
        auto w = editor(m);
        QString caption;
        int item = -1;
        t.dialogs.modalHandlers.enqueue([&](QDialog *d) {
            auto *r = qobject_cast<TRegimPovestkaForma *>(d);
            if (r) {
                caption = r->windowTitle();
                item = r->povestka();
            }
            return int(QDialog::Rejected);
        });
        w->PovestkaFreim->KnopkaRegimClick();
        QCOMPARE(caption, QStringLiteral("Режимы голосования - Доп. вопрос 2"));
        QCOMPARE(item, a);
    }

    // Saves the windows as PNG files when VOTER_SCREENS names a folder (run under Xvfb).
    void screenshots()
    {
        const QString out = qEnvironmentVariable("VOTER_SCREENS");
        if (out.isEmpty())
            QSKIP("VOTER_SCREENS not set");
        QDir().mkpath(out);
        const int m = t.addMeeting(QStringLiteral("20140305"), QStringLiteral("Заседание № 14 областной думы"));
        t.addItem(m, 0, 0, 1);
        const int first = t.addItem(m, 0, 1, 2);
        t.addItem(m, 0, 2, 3);
        t.addItem(m, 1, 1, 4);
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.insertText(QStringLiteral("О проекте закона области «Об областном бюджете на 2014 год»"), bold);
        c.insertBlock();
        c.insertText(QStringLiteral("Кто вносит: Губернатор области"), QTextCharFormat());
        t.db->exec(QStringLiteral("UPDATE povestka SET info=") + sql::quote(rtf::write(&doc))
                   + QStringLiteral(" WHERE id=") + QString::number(first));
        t.exec(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES "
                              "(%1,'Проект закона.pdf','01 Проект закона','5.03.2014\\1\\')").arg(first));
        t.exec(QStringLiteral("INSERT INTO faili (id_povestka,fail,opisanie,put) VALUES "
                              "(%1,'Заключение.pdf','02 Заключение комитета','5.03.2014\\1\\')").arg(first));

        QWidget screen;
        screen.setWindowFlags(Qt::FramelessWindowHint);
        screen.setGeometry(0, 0, 1280, 1024);
        QPalette desk = screen.palette();
        desk.setColor(QPalette::Window, QColor(0, 128, 128));
        screen.setPalette(desk);
        screen.setAutoFillBackground(true);
        screen.show();
        auto w = std::make_unique<TRedaktorPovestki>(t.db.get(), &t.dialogs, t.platform.get(), &screen);
        w->setZasedanie(m, QStringLiteral("Заседание № 14 областной думы"));
        w->PovestkaFreim->Povestka->locate(QStringLiteral("id"), first);
        w->move((1280 - w->width()) / 2, (1024 - w->height()) / 2);
        w->show();
        QTest::qWait(50);
        w->FormActivate();
        QVERIFY(w->grab().save(out + QStringLiteral("/agenda_editor.png")));
        saveScreen(out + QStringLiteral("/agenda_editor_1280x1024.png"));

        TVorposRedaktorForma e(t.db.get(), &t.dialogs, t.platform.get(), &screen);
        e.startEdit(first, 0, 1, t.scalar(QStringLiteral("SELECT info FROM povestka WHERE id=%1").arg(first)).toString());
        e.move((1280 - e.width()) / 2, (1024 - e.height()) / 2);
        w->hide();
        e.show();
        QTest::qWait(50);
        QVERIFY(e.grab().save(out + QStringLiteral("/question_editor.png")));
        saveScreen(out + QStringLiteral("/question_editor_1280x1024.png"));
    }
};

QTEST_MAIN(TestPovestka)
#include "test_povestka.moc"
