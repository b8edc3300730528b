#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// The console's window of a running vote: the rule, the deputies present, the votes needed
// and the live counts of ballots. Created once per main window and reused for every vote; the
// vote set-up dialog fills it, shows it modally and closes it when the vote ends.
class TProcessGolos2Forma : public QDialog {
    Q_OBJECT
public:
    explicit TProcessGolos2Forma(QWidget *parent = nullptr);

    QLabel *RegimLeibl;
    QLabel *PrisutLeibl;
    QLabel *VsegoLeibl;
    QLabel *NuznoLeil;
    QLabel *ZaLeibl;
    QLabel *ProtivLeibl;
    QLabel *VosdLeibl;
    QPushButton *KnopkaStopGolos;

    // The window refuses to close while this is false.
    bool MozhnoZakrit() const { return m_mozhnoZakrit; }
    void setMozhnoZakrit(bool on) { m_mozhnoZakrit = on; }

    // "Завершить голосование": the vote ends early.
    void KnopkaStopGolosClick();

    void reject() override;

    // When set, the button asks the owner for the end instead of closing: the owner closes
    // the window once the end has reached the database, so the hall never stays in a run
    // that nobody counts down any more.
    std::function<void()> naZavershenie;

private:
    bool m_mozhnoZakrit = true;
};
