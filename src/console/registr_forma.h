#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QKeyEvent;
class QPushButton;
class QSpinBox;
class Taimer;
class OshibkaBazy;
#include "core/kontekst.h"
class TProcessGolosForma;

// The registration window: the operator sets the duration and starts a registration; while
// it runs the window is away and the progress window shows; once a second the seconds left
// go into the mode row; at the end the board shows the result and the anthem dialog opens.
// Then the window is back for the next registration.
class TRegistrForma : public QDialog {
    Q_OBJECT
public:
    TRegistrForma(const KontekstEkrana &glav, TProcessGolosForma *process);

    // Shows the window modally until the operator closes it, running every registration
    // started from it.
    void Pokazat();

    // Starts a registration: closes the open period, opens a new one with the chairman in it
    // and writes mode 1. The window then goes away and Pokazat() runs the rest.
    void KnopkaStartRegClick();
    // One second of a running registration.
    void TaimerTimer();
    // Carries on a registration that this console had started before it came back (the
    // mode row at 1 with the period and the seconds left): the countdown, the end, the
    // results and the anthem, as if it had never left.
    void Prodolzhit(int idSessii, int sekund);

    bool FormCloseQuery() const { return m_mozhnoZakrit; }
    void FormKeyPress(int key);

    int OstalosSekund() const { return m_ostalosSekund; }
    bool MozhnoZakrit() const { return m_mozhnoZakrit; }

    void done(int result) override;

    QGroupBox *VremyaBoks = nullptr;
    QSpinBox *Vremya = nullptr;
    QPushButton *KnopkaStartReg = nullptr;
    ::Taimer *Taimer = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The registration after its start: the progress window, the end, the result, the anthem.
    void provesti();
    // A failed start: the operator gets the error, the terminals are sent back to idle and
    // the window may be closed again.
    void sboi(const OshibkaBazy &oshibka);
    // The end of the run: idle, then the results, each written once; a write that fails is
    // tried again at the next tick and the progress window stays until both are in.
    void zavershit();
    // A failed countdown or end write: reported once for a run of failing ticks.
    void sboiTaimera();

    KontekstEkrana m_glav;
    TProcessGolosForma *m_process;
    int m_ostalosSekund = 0;
    bool m_mozhnoZakrit = true;
    bool m_zapushena = false;
    int m_period = 0;
    int m_zapisanoKonca = 0;  // end writes already made: 0, 1 (idle), 2 (results)
    bool m_sboiPodryad = false;
    bool m_vTike = false;
};
