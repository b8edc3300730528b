// Qt's own texts come out in Russian once the translation is installed.
#include "core/dialogs.h"
#include "core/perevod.h"

#include <QApplication>
#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestPerevod : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void standardButtonsReadRussian();
};

void TestPerevod::standardButtonsReadRussian()
{
    if (!QFileInfo::exists(perevod::putQt()))
        QSKIP(qPrintable(QStringLiteral("Qt's Russian translation is not installed here (%1); "
                                        "scripts/setup.sh installs qt6-translations-l10n")
                             .arg(perevod::putQt())));
    {
        // Before: Qt's English, so the check below proves the loader did the change.
        QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Yes"));
    }
    QVERIFY(perevod::ustanovitQt(qApp));
    QVERIFY(perevod::ustanovitQt(qApp));  // a second call changes nothing
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    auto text = [&box](QMessageBox::StandardButton b) { return box.button(b)->text().remove(QLatin1Char('&')); };
    QCOMPARE(text(QMessageBox::Yes), QStringLiteral("Да"));
    QCOMPARE(text(QMessageBox::No), QStringLiteral("Нет"));
    QCOMPARE(text(QMessageBox::Cancel), QStringLiteral("Отмена"));
    // Dates in Qt's own widgets (a file dialog's column of modification times) name the month
    // in Russian.
    QCOMPARE(QLocale().toString(QDate(2026, 12, 10), QStringLiteral("d MMM")), QStringLiteral("10 дек."));

    // The program's own boxes say OK in Cyrillic as well.
    QtDialogs dialogs;
    QString ok, yes;
    QTimer::singleShot(0, [&] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!shown)
            return;
        ok = shown->button(QMessageBox::Ok)->text();
        yes = shown->button(QMessageBox::Yes)->text().remove(QLatin1Char('&'));
        shown->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(dialogs.message(nullptr, QStringLiteral("?"), QStringLiteral("t"), Dialogs::Question,
                             Dialogs::Ok | Dialogs::Yes, Dialogs::Ok),
             Dialogs::Yes);
    QCOMPARE(ok, QStringLiteral("ОК"));
    QCOMPARE(yes, QStringLiteral("Да"));
}

QTEST_MAIN(TestPerevod)
#include "test_perevod.moc"
