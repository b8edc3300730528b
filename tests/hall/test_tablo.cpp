// The results board: the vote's start, progress and result with the decision on every role,
// and the registration summary.
#include "hall/tablo.h"
#include "zal.h"

#include <QTest>

#include <array>

using namespace zaltest;

namespace {

// Console, chairman, a registered deputy (07) and the watcher.
struct Zal {
    TestHall hall;
    int meeting = 0;
    int period = 0;
    Workstation *console = nullptr;
    Workstation *chairman = nullptr;
    Workstation *deputy = nullptr;
    Workstation *watcher = nullptr;

    bool make()
    {
        if (!aktivirovat(hall))
            return false;
        meeting = hall.demoMeeting();
        period = hall.openPeriod(meeting);
        if (!hall.registerDeputy(hall.deputyAt("07"), period, meeting))
            return false;
        console = &hall.start("admin1");
        chairman = &hall.start("02");
        deputy = &hall.start("07");
        watcher = &hall.start("watcher");
        for (auto &ws : hall.workstations())
            if (!ws->started())
                return false;
        hall.second(2);
        return true;
    }
    QList<Workstation *> all() const { return {console, chairman, deputy, watcher}; }
};

QStringList stroki(WindowView *w)
{
    return {w->tablo().Za->text(), w->tablo().Protiv->text(), w->tablo().Vosd->text(), w->tablo().Golosov->text()};
}

// n ballots of one code from the seats starting at `first`.
void golosa(TestHall &hall, int vote, int first, int n, int kod)
{
    for (int i = 0; i < n; ++i)
        golos(hall, vote, mesto(first + i), kod);
}

}  // namespace

class TestTablo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void voteResultOnEveryBoard();
    void decisionComputedOncePerDisplay();
    void noBallotsAndMissingVote();
    void decisionRule();
    void nullNeedDecidesNothing();
    void voteProgress();
    void terminalJoiningARunningVote();
    void registrationSummary();
    void summaryWithoutNumbers();
    void countdownAboveItsBar();
    void summaryOffTheItemText();
};

void TestTablo::voteResultOnEveryBoard()
{
    Zal z;
    QVERIFY(z.make());
    const int vote = golosovanie(z.hall, 10);
    golosa(z.hall, vote, 1, 10, 1);
    golosa(z.hall, vote, 11, 3, 2);
    QVERIFY(z.hall.setMode(4, vote, 15));
    z.hall.poll();
    for (Workstation *ws : z.all()) {
        WindowView *w = ws->window();
        QCOMPARE(stroki(w), (QStringList{"10", "3", "0", "13"}));
        QCOMPARE(w->tablo().ZaLeibl->text(), QStringLiteral("ЗА"));
        QCOMPARE(w->tablo().ProtivLeibl->text(), QStringLiteral("ПРОТИВ"));
        QCOMPARE(w->tablo().VosdLeibl->text(), QStringLiteral("ВОЗДЕРЖАЛИСЬ"));
        QCOMPARE(w->tablo().GolosovLeibl->text(), QStringLiteral("ГОЛОСОВАЛО"));
        QCOMPARE(w->tablo().LeiblReshenie->text(), QStringLiteral("РЕШЕНИЕ ПРИНЯТО"));
        QVERIFY(!w->tablo().LeiblReshenie->isHidden());
        // Rows placed above the decision: 98, 133, 168, 203 with the design values.
        QCOMPARE(w->tablo().ZaLeibl->y(), 98);
        QCOMPARE(w->tablo().Protiv->y(), 133);
        QCOMPARE(w->tablo().VosdLeibl->y(), 168);
        QCOMPARE(w->tablo().Golosov->y(), 203);
        QCOMPARE(w->tablo().Za->x(), 295);
        QVERIFY(w->tablo().Za->alignment() & Qt::AlignRight);
        QCOMPARE(w->tablo().LeiblReshenie->width(), 369 - 2 * w->tablo().LeiblReshenie->x());
        QVERIFY(w->ob().LeiblVremya->isHidden());
        QVERIFY(w->ob().InfoLabel->isHidden());
        QVERIFY(w->ob().PanelGolosovanie->isHidden());
        QVERIFY(ws->calls().contains(QStringLiteral("SbrosPanelGolosovania")));
    }
}

void TestTablo::decisionComputedOncePerDisplay()
{
    Zal z;
    QVERIFY(z.make());
    const int vote = golosovanie(z.hall, 10);
    golosa(z.hall, vote, 1, 10, 1);
    golosa(z.hall, vote, 11, 3, 2);
    QVERIFY(z.hall.setMode(4, vote, 15));
    z.hall.poll();
    // A later change does not reach the display that is up ...
    QVERIFY(z.hall.exec(QStringLiteral("UPDATE golosovanie SET nuzno = 11 WHERE id = %1").arg(vote)));
    z.hall.poll(2);
    QCOMPARE((*z.console)->tablo().LeiblReshenie->text(), QStringLiteral("РЕШЕНИЕ ПРИНЯТО"));
    // ... a second display of the same vote recomputes: one vote short is not enough.
    QVERIFY(z.hall.setMode(-1));
    z.hall.poll();
    QVERIFY((*z.console)->tablo().LeiblReshenie->isHidden());
    QVERIFY(z.hall.setMode(4, vote, 15));
    z.hall.poll();
    for (Workstation *ws : z.all())
        QCOMPARE((*ws)->tablo().LeiblReshenie->text(), QStringLiteral("РЕШЕНИЕ НЕ ПРИНЯТО"));
}

void TestTablo::noBallotsAndMissingVote()
{
    Zal z;
    QVERIFY(z.make());
    const int vote = golosovanie(z.hall, 10);
    for (int id : {vote, 9999}) {
        QVERIFY(z.hall.setMode(-1));
        z.hall.poll();
        QVERIFY(z.hall.setMode(4, id, 15));
        z.hall.poll();
        for (Workstation *ws : z.all()) {
            QCOMPARE(stroki(ws->window()), (QStringList{"0", "0", "0", "0"}));
            QCOMPARE((*ws)->tablo().LeiblReshenie->text(), QStringLiteral("РЕШЕНИЕ НЕ ПРИНЯТО"));
            QVERIFY(!ws->ended());
        }
    }
}

void TestTablo::decisionRule()
{
    auto rs = [](std::initializer_list<std::array<int, 3>> rows) {
        ResultSet r;
        r.columns = QStringList{"result", "kak", "nuzno"};
        for (const auto &row : rows)
            r.rows.append({qlonglong(row[0]), qlonglong(row[1]), qlonglong(row[2])});
        return r;
    };
    tablo::Itog i = tablo::itogGolosovania(rs({{2, 3, 5}, {5, 1, 5}}));
    QCOMPARE(i.za, 5);
    QCOMPARE(i.protiv, 0);
    QCOMPARE(i.vosd, 2);
    QCOMPARE(i.golosovalo(), 7);
    QVERIFY(i.prinyato());  // equality is enough
    QVERIFY(!tablo::itogGolosovania(rs({{4, 1, 5}})).prinyato());
    // A vote stored without a need is never adopted, however many voted for.
    QVERIFY(!tablo::itogGolosovania(rs({{20, 1, 0}})).prinyato());
    QVERIFY(!tablo::itogGolosovania(ResultSet()).prinyato());
    QCOMPARE(tablo::itogGolosovania(ResultSet()).reshenie(), QStringLiteral("РЕШЕНИЕ НЕ ПРИНЯТО"));
}

void TestTablo::nullNeedDecidesNothing()
{
    // A vote row whose number needed was never written: every board says so instead of
    // reading the missing number as 0 (which everything reaches).
    Zal z;
    QVERIFY(z.make());
    const int vote = golosovanie(z.hall, 10);
    QVERIFY(z.hall.exec(QStringLiteral("UPDATE golosovanie SET nuzno = NULL WHERE id = %1").arg(vote)));
    golosa(z.hall, vote, 1, 12, 1);
    QVERIFY(z.hall.setMode(4, vote, 15));
    z.hall.poll();
    for (Workstation *ws : z.all()) {
        QCOMPARE((*ws)->tablo().LeiblReshenie->text(), QStringLiteral("РЕШЕНИЕ НЕ ОПРЕДЕЛЕНО"));
        QCOMPARE((*ws)->tablo().Za->text(), QStringLiteral("12"));
    }
}

void TestTablo::voteProgress()
{
    Zal z;
    QVERIFY(z.make());
    const int vote = golosovanie(z.hall, 10);
    golosa(z.hall, vote, 1, 4, 1);
    QVERIFY(z.hall.setMode(2, vote, 125));
    z.hall.poll();
    for (Workstation *ws : z.all()) {
        WindowView *w = ws->window();
        QCOMPARE(w->ob().LeiblVremya->text(), QStringLiteral("Осталось 2 мин 5 сек"));
        QCOMPARE(w->ob().LeiblVremya->y(), 110);
        QCOMPARE(w->ob().ProgressBarTablo->y(), 150);
        QVERIFY(!w->ob().ProgressBarTablo->isHidden());
        QCOMPARE(w->ob().ProgressBarTablo->maximum(), 125);
        QCOMPARE(w->ob().ProgressBarTablo->value(), 0);
        QCOMPARE(w->ob().LeiblRegim->text(), QStringLiteral("Процедурные вопросы"));
        QVERIFY(!w->ob().LeiblRegim->isHidden());
        QCOMPARE(w->ob().LeiblKolGolosov->text(), QStringLiteral("Проголосовало: 4"));
        QVERIFY(!w->ob().LeiblKolGolosov->isHidden());
        QVERIFY(w->ob().InfoLabel->isHidden());
        QVERIFY(w->tablo().Za->isHidden());
    }
    // The deputy's documents are covered while he votes.
    WindowView *d = z.deputy->window();
    QCOMPARE(d->ob().PanelStart->parentWidget(), d->ob().DeputatFreim);
    QVERIFY(!d->ob().PanelStart->isHidden());
    QCOMPARE(d->ob().PanelStart->geometry(), d->ob().DeputatFreim->rect());
    QVERIFY(!d->ob().GerbStart->isHidden());
    // The watcher keeps the coat of arms in place of the voting panel.
    QVERIFY((*z.watcher)->ob().PanelGolosovanie->isHidden());
    QVERIFY(!(*z.watcher)->ob().Gerb->isHidden());

    golosa(z.hall, vote, 5, 2, 2);
    QVERIFY(z.hall.exec("UPDATE regim SET param2=100"));
    z.hall.poll();
    for (Workstation *ws : z.all()) {
        QCOMPARE((*ws)->ob().ProgressBarTablo->value(), 25);
        QCOMPARE((*ws)->ob().LeiblKolGolosov->text(), QStringLiteral("Проголосовало: 6"));
        QCOMPARE(ws->calls().count(QStringLiteral("NachatTabloGolosovania")), 1);
    }
    QVERIFY(z.hall.exec("UPDATE regim SET param2=0"));
    z.hall.poll();
    for (Workstation *ws : z.all()) {
        QCOMPARE((*ws)->ob().LeiblVremya->text(), QStringLiteral("Голосование завершено"));
        QCOMPARE((*ws)->ob().ProgressBarTablo->value(), 25);  // nothing more in that tick
    }

    // After the vote the documents are uncovered again by the registration sync.
    QVERIFY(z.hall.setMode(4, vote, 15));
    z.hall.poll();
    QVERIFY(z.hall.setMode(-1));
    z.hall.second(2);
    QVERIFY(d->ob().PanelStart->isHidden());
    QVERIFY(!d->ob().DeputatFreim->isHidden());
}

void TestTablo::terminalJoiningARunningVote()
{
    Zal z;
    QVERIFY(z.make());
    const int vote = golosovanie(z.hall, 10);
    QVERIFY(z.hall.setMode(2, vote, 30));
    z.hall.poll();
    QVERIFY(z.hall.exec("UPDATE regim SET param2=17"));
    Workstation &late = z.hall.start("admin2");
    QVERIFY(late.started());
    late.poll();
    // The bar is scaled to the time left when the terminal joined.
    QCOMPARE(late->ob().ProgressBarTablo->maximum(), 17);
    QCOMPARE((*z.console)->ob().ProgressBarTablo->maximum(), 30);

    // A first tick already at 0 leaves the bar hidden; the start is then repeated.
    QVERIFY(z.hall.exec("UPDATE regim SET param2=0"));
    Workstation &later = z.hall.start("admin3");
    later.poll(2);
    QVERIFY(later->ob().ProgressBarTablo->isHidden());
    QCOMPARE(later.calls().count(QStringLiteral("NachatTabloGolosovania")), 2);
    QCOMPARE(later->ob().LeiblVremya->text(), QStringLiteral("Голосование завершено"));
}

void TestTablo::registrationSummary()
{
    Zal z;
    QVERIFY(z.make());
    const int period = z.hall.openPeriod(z.meeting);
    for (int i = 1; i <= 20; ++i)
        QVERIFY(z.hall.registerDeputy(z.hall.deputyAt(mesto(i)), period, z.meeting));
    QVERIFY(z.hall.setMode(1, period, 0));
    z.hall.poll();  // every terminal takes the period
    QVERIFY(z.hall.setMode(5, period, 15));
    z.hall.poll();
    for (Workstation *ws : {z.console, z.chairman, z.watcher}) {
        WindowView *w = ws->window();
        QCOMPARE(stroki(w), (QStringList{"27", "20", "7", "14"}));
        QCOMPARE(w->tablo().ZaLeibl->text(), QStringLiteral("ВСЕГО ДЕПУТАТОВ"));
        QCOMPARE(w->tablo().LeiblKvorum->text(), QStringLiteral("Кворум есть"));
        QVERIFY(!w->tablo().LeiblKvorum->isHidden());
    }
    // 20 present against 21: the verdict turns; the next registration takes it down.
    QVERIFY(z.hall.exec("UPDATE konstanti SET znachenie = ' 21 ' WHERE opisanie LIKE 'Кворум'"));
    z.hall.poll();
    QCOMPARE(z.console->window()->tablo().LeiblKvorum->text(), QStringLiteral("Кворума нет"));
    QVERIFY(z.hall.setMode(1, period, 10));
    z.hall.poll();
    QVERIFY(z.console->window()->tablo().LeiblKvorum->isHidden());
}

void TestTablo::summaryWithoutNumbers()
{
    Zal z;
    QVERIFY(z.make());
    QVERIFY(z.hall.exec("UPDATE konstanti SET znachenie = 'двадцать семь' WHERE opisanie LIKE 'Избрано'"));
    QVERIFY(z.hall.exec("DELETE FROM konstanti WHERE opisanie LIKE 'Кворум'"));
    QVERIFY(z.hall.setMode(5, z.period, 15));
    z.hall.poll();
    WindowView *w = z.console->window();
    // The stored text as it is, no absent count, no quorum (present: the deputy and the
    // chairman's own record).
    QCOMPARE(stroki(w), (QStringList{"двадцать семь", "2", "", ""}));
    QVERIFY(w->tablo().LeiblKvorum->isHidden());  // no number, no verdict
    QVERIFY(!z.console->ended());
    QVERIFY(!w->tablo().Vosd->isHidden());
}

void TestTablo::countdownAboveItsBar()
{
    // A registration leaves the countdown label two lines high; the vote after it, and the
    // window coming back to the front mid-vote, must not let the bar cover its text.
    Zal z;
    QVERIFY(z.make());
    const int period = z.hall.openPeriod(z.meeting);
    for (const char *m : {"02", "07"})
        QVERIFY(z.hall.registerDeputy(z.hall.deputyAt(m), period, z.meeting));
    QVERIFY(z.hall.setMode(1, period, 30));
    z.hall.poll();
    QCOMPARE((*z.chairman)->ob().LeiblVremya->height(), 70);
    QVERIFY(z.hall.setMode(-1));
    z.hall.second();
    const int vote = golosovanie(z.hall, 10);
    QVERIFY(z.hall.setMode(2, vote, 90));
    z.hall.poll();
    for (Workstation *ws : z.all()) {
        WindowView *w = ws->window();
        QVERIFY(!w->ob().ProgressBarTablo->isHidden());
        QVERIFY(!w->ob().LeiblVremya->geometry().intersects(w->ob().ProgressBarTablo->geometry()));
        w->FormActivate();
        QVERIFY(!w->ob().LeiblVremya->geometry().intersects(w->ob().ProgressBarTablo->geometry()));
        QCOMPARE(w->ob().LeiblVremya->y(), 110);
        ws->poll();
        QCOMPARE(w->ob().LeiblVremya->text(), QStringLiteral("Осталось 1 мин 30 сек"));
        QVERIFY(!w->ob().LeiblVremya->geometry().intersects(w->ob().ProgressBarTablo->geometry()));
    }
    // Out of the vote the clock goes back to its idle place on activation.
    QVERIFY(z.hall.setMode(-1));
    z.hall.second();
    (*z.chairman)->FormActivate();
    QCOMPARE((*z.chairman)->ob().LeiblVremya->y(), 138);
}

void TestTablo::summaryOffTheItemText()
{
    Zal z;
    QVERIFY(z.make());
    QVERIFY(!(*z.chairman)->ob().InfoLabel->isHidden());  // the idle board shows the item's text
    const auto nakladka = [](WindowView *w) {
        if (w->ob().InfoLabel->isHidden())
            return QString();
        for (QLabel *l : {w->tablo().ZaLeibl, w->tablo().Za, w->tablo().ProtivLeibl, w->tablo().Protiv, w->tablo().VosdLeibl, w->tablo().Vosd, w->tablo().GolosovLeibl, w->tablo().Golosov})
            if (!l->isHidden() && l->geometry().intersects(w->ob().InfoLabel->geometry()))
                return l->objectName();
        return QString();
    };
    QVERIFY(z.hall.setMode(5, z.period, 15));
    z.hall.poll();
    for (Workstation *ws : z.all()) {
        QVERIFY(!(*ws)->tablo().ZaLeibl->isHidden());
        QCOMPARE(nakladka(ws->window()), QString());
    }
    // The summary taken down with the anthem dialog: mode 11 until the operator's next step.
    QVERIFY(z.hall.setMode(11));
    z.hall.second(2);
    for (Workstation *ws : z.all())
        QCOMPARE(nakladka(ws->window()), QString());
    // Back to idle the item's text returns.
    QVERIFY(z.hall.setMode(-1));
    z.hall.second(2);
    QVERIFY(!(*z.chairman)->ob().InfoLabel->isHidden());
    QVERIFY((*z.chairman)->tablo().ZaLeibl->isHidden());
}

QTEST_MAIN(TestTablo)
#include "test_tablo.moc"
