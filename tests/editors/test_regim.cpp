// Voting rules of an agenda item and the picker of voting rules.
#include "db/dataset.h"
#include "editors/regim_povestka.h"
#include "editors/regim_redakt.h"
#include "test_povestka_fixture.h"

#include <QPushButton>
#include <QTableView>

class TestRegim : public QObject {
    Q_OBJECT

    PovestkaDb t;
    int item = -1;

    // The picker's handler: moves to the rule named (or, with an empty name, leaves the
    // cursor where the window put it) and presses "Выбрать"; records where it opened.
    std::function<int(QDialog *)> choose(const QString &opisanie, QString *openedOn = nullptr, bool ok = true)
    {
        return [=](QDialog *d) {
            auto *p = qobject_cast<TRegimRedaktForma *>(d);
            if (!p)
                return int(QDialog::Rejected);
            if (openedOn)
                *openedOn = p->chosenOpisanie();
            if (!opisanie.isEmpty() && !p->RegimZapros->locate(QStringLiteral("opisanie"), opisanie))
                return int(QDialog::Rejected);
            (ok ? p->KnopkaVibor : p->KnopkaZakr)->click();
            return p->result();
        };
    }

    std::unique_ptr<TRegimPovestkaForma> window()
    {
        auto w = std::make_unique<TRegimPovestkaForma>(t.db.get(), &t.dialogs, t.platform.get());
        w->setPovestka(item, QStringLiteral("Вопрос 1"));
        return w;
    }

    void add(TRegimPovestkaForma &w, const QString &opisanie)
    {
        t.dialogs.modalHandlers.enqueue(choose(opisanie));
        w.RegimNoviyExecute();
    }

    // The item's rules as "name:ord" in list order.
    QStringList rules(TRegimPovestkaForma &w)
    {
        QStringList out;
        for (int r = 0; r < w.RegimZapros->rowCount(); ++r)
            out << w.RegimZapros->value(r, QStringLiteral("opisanie")).toString() + QLatin1Char(':')
                       + w.RegimZapros->value(r, QStringLiteral("ord")).toString();
        return out;
    }

    QString current(TRegimPovestkaForma &w) { return w.RegimZapros->field(QStringLiteral("opisanie")).toString(); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(t.open());
        item = t.addItem(t.addMeeting(QStringLiteral("20140305")), 0, 1, 1);
    }

    void ordGrowsAndKeepsGaps()
    {
        auto w = window();
        QCOMPARE(w->windowTitle(), QStringLiteral("Режимы голосования - Вопрос 1"));
        add(*w, QStringLiteral("Процедурные вопросы"));
        QCOMPARE(rules(*w), QStringList{QStringLiteral("Процедурные вопросы:1")});
        add(*w, QStringLiteral("Принятие закона"));
        add(*w, QStringLiteral("Тайное голосование"));
        QCOMPARE(current(*w), QStringLiteral("Тайное голосование"));  // the cursor on the new row
        QVERIFY(w->RegimZapros->locate(QStringLiteral("opisanie"), QStringLiteral("Принятие закона")));
        t.dialogs.answers.enqueue(Dialogs::Yes);
        w->RegimUdalitExecute();
        QCOMPARE(t.dialogs.lastText(),
                 QStringLiteral("Вы уверены, что хотите удалить режим голосования [Принятие закона]!"));
        QCOMPARE(t.dialogs.shown.last().caption, QStringLiteral("Удаление"));
        QCOMPARE(t.dialogs.shown.last().defaultButton, Dialogs::No);
        add(*w, QStringLiteral("Принятие постановления"));
        QCOMPARE(rules(*w), (QStringList{QStringLiteral("Процедурные вопросы:1"), QStringLiteral("Тайное голосование:3"),
                                         QStringLiteral("Принятие постановления:4")}));
        // The last rule removed: the next still comes after the highest remaining.
        QVERIFY(w->RegimZapros->last());
        t.dialogs.answers.enqueue(Dialogs::Yes);
        w->RegimUdalitExecute();
        add(*w, QStringLiteral("Принятие закона"));
        QCOMPARE(rules(*w).last(), QStringLiteral("Принятие закона:4"));
        // No answered No: nothing removed.
        w->RegimUdalitExecute();
        QCOMPARE(w->RegimZapros->rowCount(), 3);
        QCOMPARE(t.dialogs.shown.size(), 3);
    }

    void duplicateIsRefused()
    {
        auto w = window();
        add(*w, QStringLiteral("Процедурные вопросы"));
        add(*w, QStringLiteral("Принятие закона"));
        add(*w, QStringLiteral("Процедурные вопросы"));
        QCOMPARE(t.dialogs.shown.size(), 1);
        QCOMPARE(t.dialogs.lastText(), QStringLiteral("Повторяющийся режим!"));
        QCOMPARE(t.dialogs.shown.last().caption, QStringLiteral("Ошибка"));
        QCOMPARE(t.dialogs.shown.last().icon, Dialogs::Error);
        QCOMPARE(t.scalar(QStringLiteral("SELECT count(*) FROM povestka_regim")).toInt(), 2);

        // Replacing a rule by one the item already has is refused as well.
        QVERIFY(w->RegimZapros->locate(QStringLiteral("opisanie"), QStringLiteral("Принятие закона")));
        t.dialogs.modalHandlers.enqueue(choose(QStringLiteral("Процедурные вопросы")));
        w->RegimTablDblClick();
        QCOMPARE(t.dialogs.shown.size(), 2);
        QCOMPARE(t.dialogs.lastText(), QStringLiteral("Повторяющийся режим!"));
        QCOMPARE(rules(*w), (QStringList{QStringLiteral("Процедурные вопросы:1"), QStringLiteral("Принятие закона:2")}));

        // Another item may have the same rule.
        const int other = t.addItem(t.scalar(QStringLiteral("SELECT id_zasedanie FROM povestka")).toInt(), 0, 2, 2);
        w->setPovestka(other, QStringLiteral("Вопрос 2"));
        add(*w, QStringLiteral("Процедурные вопросы"));
        QCOMPARE(t.dialogs.shown.size(), 2);
        QCOMPARE(rules(*w), QStringList{QStringLiteral("Процедурные вопросы:1")});
    }

    void replacing()
    {
        auto w = window();
        add(*w, QStringLiteral("Процедурные вопросы"));
        add(*w, QStringLiteral("Принятие закона"));
        const int id = w->RegimZapros->field(QStringLiteral("id")).toInt();
        QString openedOn;
        t.dialogs.modalHandlers.enqueue(choose(QStringLiteral("Тайное голосование"), &openedOn));
        w->RegimRedaktExecute();
        QCOMPARE(openedOn, QStringLiteral("Принятие закона"));  // the picker opens on the current rule
        QCOMPARE(rules(*w), (QStringList{QStringLiteral("Процедурные вопросы:1"), QStringLiteral("Тайное голосование:2")}));
        QCOMPARE(w->RegimZapros->field(QStringLiteral("id")).toInt(), id);

        // A rule with the same name is the same rule, even as another row of regim_golos.
        t.exec(QStringLiteral("INSERT INTO regim_golos (opisanie,regim,ord) VALUES "
                              "('Тайное голосование','Большинство от присутствующих',99)"));
        const int twin = t.scalar(QStringLiteral("SELECT MAX(id) FROM regim_golos")).toInt();
        t.dialogs.modalHandlers.enqueue([&](QDialog *d) {
            auto *p = qobject_cast<TRegimRedaktForma *>(d);
            p->selectRegim(twin);
            p->KnopkaVibor->click();
            return p->result();
        });
        w->RegimRedaktExecute();
        QVERIFY(t.dialogs.shown.isEmpty());
        QCOMPARE(t.scalar(QStringLiteral("SELECT id_regim FROM povestka_regim WHERE id=%1").arg(id)).toInt(),
                 t.scalar(QStringLiteral("SELECT MIN(id) FROM regim_golos WHERE opisanie='Тайное голосование'")).toInt());

        // Closing the picker changes nothing.
        t.dialogs.modalHandlers.enqueue(choose(QStringLiteral("Принятие закона"), nullptr, false));
        w->RegimRedaktExecute();
        QCOMPARE(rules(*w).last(), QStringLiteral("Тайное голосование:2"));
    }

    void moving()
    {
        auto w = window();
        add(*w, QStringLiteral("Процедурные вопросы"));
        add(*w, QStringLiteral("Принятие закона"));
        add(*w, QStringLiteral("Тайное голосование"));
        const QStringList start = rules(*w);

        w->RegimZapros->first();
        w->RegimVerhExecute();
        w->RegimZapros->last();
        w->RegimNisExecute();
        QCOMPARE(rules(*w), start);

        w->RegimZapros->first();
        w->RegimNisExecute();
        QCOMPARE(rules(*w), (QStringList{QStringLiteral("Принятие закона:1"), QStringLiteral("Процедурные вопросы:2"),
                                         QStringLiteral("Тайное голосование:3")}));
        QCOMPARE(current(*w), QStringLiteral("Процедурные вопросы"));
        w->RegimNisExecute();
        QCOMPARE(rules(*w), (QStringList{QStringLiteral("Принятие закона:1"), QStringLiteral("Тайное голосование:2"),
                                         QStringLiteral("Процедурные вопросы:3")}));
        w->RegimVerhExecute();
        w->RegimVerhExecute();
        QCOMPARE(rules(*w), (QStringList{QStringLiteral("Процедурные вопросы:1"), QStringLiteral("Принятие закона:2"),
                                         QStringLiteral("Тайное голосование:3")}));
        QVERIFY(t.dialogs.shown.isEmpty());
    }

    void failuresAreReportedAndCleared()
    {
        auto w = window();
        add(*w, QStringLiteral("Процедурные вопросы"));
        QVERIFY(t.db->exec(QStringLiteral("ALTER TABLE povestka_regim RENAME TO povestka_regim_old")));
        add(*w, QStringLiteral("Принятие закона"));
        QVERIFY(t.dialogs.lastText().startsWith(QStringLiteral("Ошибка при добавлении режима голосования к повестке!\n\r\n\r")));
        QVERIFY(!t.db->hasErrors());
        w->RegimNisExecute();
        QVERIFY(t.dialogs.lastText().startsWith(QStringLiteral("Ошибка при перемещении голосования к повестке!\n\r\n\r")));
        t.dialogs.answers.enqueue(Dialogs::Yes);
        w->RegimUdalitExecute();
        QVERIFY(t.dialogs.lastText().startsWith(QStringLiteral("Ошибка при удалении режима голосования!\n\r\n\r")));
        QVERIFY(!t.db->hasErrors());
        QCOMPARE(w->RegimZapros->rowCount(), 1);  // the list as last read
    }
};

QTEST_MAIN(TestRegim)
#include "test_regim.moc"
