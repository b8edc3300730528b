#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;
#include "core/kontekst.h"

// A start gate: a small window that holds a workstation started at the wrong moment until
// the hall reaches a state it can join. It polls twice a second, closes itself (result
// Accepted) when its condition holds, and refuses every other way of closing except its one
// button, which leaves the program (result Rejected, vyhod() set).
class TStartForma : public QDialog {
    Q_OBJECT
public:
    TStartForma(const KontekstEkrana &glav, const QString &opisanie);

    // The gate's tick (timer TaimerProverka, 500 ms).
    virtual void TaimerProverkaTimer() = 0;
    // "Выйти из программы".
    void Button1Click();

    bool MozhnoZakrit() const { return m_mozhnoZakrit; }
    bool vyhod() const { return m_vyhod; }

    QLabel *Opisanie;
    QPushButton *Button1;
    QTimer *TaimerProverka;

protected:
    // Condition met: may close, and closes.
    void otkryt();
    // Shows a failed statement of a tick and lets the gate try again at the next one.
    void pokazatOshibku();
    // The operator's close and power-off commands reach a waiting workstation as they reach a
    // running one, so that a hall can be closed or switched off before any meeting. Only a
    // command that comes while the gate waits counts: a code left standing from an earlier
    // command (no console counting it down) must not end every terminal started after it.
    // True when the gate has left the program.
    bool komandaZala(int kod);
    // The start of each check: false when the gate is done, the mode row could not be read
    // (said) or holds a remote command (acted on); otherwise the mode's code.
    bool prodolzhatProverku(int *kod);
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

    KontekstEkrana m_glav;

private:
    bool m_mozhnoZakrit = false;
    bool m_vyhod = false;
    bool m_kodViden = false;     // the mode code was read at least once
    int m_pervyiKod = 0;         // the code the gate found at its first tick
    bool m_kodIzmenilsya = false;
};

// Idle gate: waits until the mode row reads -1 or -7.
class TStartProstoyForma : public TStartForma {
    Q_OBJECT
public:
    explicit TStartProstoyForma(const KontekstEkrana &glav);
    void TaimerProverkaTimer() override;
};

// Meeting gate: waits until an agenda item is active; its meeting becomes IdZasedania. It
// reads the mode row as well, for the operator's commands.
class TStartAktivZasForma : public TStartForma {
    Q_OBJECT
public:
    explicit TStartAktivZasForma(const KontekstEkrana &glav);
    void TaimerProverkaTimer() override;
};
