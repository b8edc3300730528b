#pragma once

#include <QColor>
#include <QDialog>
#include <QVector>

class DataSet;
class DataSetModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;
class QTextEdit;
class QTimer;
#include "core/kontekst.h"

class TKonsolEkran;

// The vote set-up dialog of the operator console. The operator picks a voting rule of the
// active agenda item (which selects one of the seven decision rules, each shown with the
// votes it needs), the vote's type, kind and duration, and starts the vote: the vote row is
// written, every terminal switches to voting through the mode row, and the dialog runs the
// countdown in the vote-progress window until the vote ends and the results are shown.
// Several votes may be run one after another from one dialog.
class TGolosovanieForma : public QDialog {
    Q_OBJECT
public:
    explicit TGolosovanieForma(TKonsolEkran *konsol);
    // The vote set-up of the console frame's button "Голосование": the active item and the
    // numbers the rules need are read first; nothing opens without an active item.
    static void OtkrytNastroiku(TKonsolEkran *konsol);

    // Prepares the dialog for the active item with the counts gathered by the caller: present
    // (P), elected (E), established by law (Z). False when a step failed; the failure has
    // been reported and the dialog is to be destroyed.
    bool Podgotovit(int prisutstvuet, int isbrano, int zakon, const QString &info, const QString &opisanie);
    // Shows the dialog modally until the operator closes it, running every vote started from it.
    void Pokazat();
    // Carries on a vote that this console had started before it came back (the mode row at
    // 2 with the vote and the seconds left): the progress window, the countdown and the end,
    // as if it had never left. False when the vote's row cannot be read (a failed
    // query leaves its error pending) or there is no such vote.
    bool Prodolzhit(int idGolosovania, int sekund);

    // Components.
    QGroupBox *PovestkaInfoBoks;
    QTextEdit *PovestkaInfo;
    QGroupBox *RegimiBoks;
    QTableView *RegimTabl;
    DataSet *RegimZapros;
    DataSetModel *RegimModel;
    QGroupBox *ReshenieBoks;
    QVector<QRadioButton *> Regim;  // Regim1..Regim7 at indices 0..6
    QLabel *KrasnyTekst;
    QGroupBox *TipGolosovania;
    QVector<QRadioButton *> TipKnopki;
    QGroupBox *VidGolosovania;
    QVector<QRadioButton *> VidKnopki;
    QGroupBox *ZakBox;
    QGroupBox *IsbranoBoks;
    QGroupBox *PrisutstvuetBoks;
    QGroupBox *VremyaBoks;
    QLineEdit *Zak;
    QLineEdit *KolDeputatov;
    QLineEdit *Prisutstvuet;
    QSpinBox *Vremya;
    QPushButton *KnopkaZakrit;
    QPushButton *KnopkaPokazVopr;
    QPushButton *KnopkaGolosovanie;
    QTimer *Timer1;

    // Handlers.
    void RegimZaprosAfterScroll();
    void Regim1Click();
    void KnopkaGolosovanieClick();
    void KnopkaPokazVoprClick();
    void Timer1Timer();

    // State.
    int NuznoGolosov() const { return m_nuznoGolosov; }
    int IdGolosovania() const { return m_idGolosovania; }
    int OstalosSekund() const { return m_ostalosSekund; }
    // Votes needed as kept with decision rule i (0..6).
    int NuznoPravila(int i) const { return m_nuzno.value(i); }
    // Font colour of a row of RegimTabl: rules linked to the item green, yellow on the
    // highlighted row; an invalid colour keeps the grid's own.
    QColor CvetRegima(int row) const;
    // Index 0..6 of the selected decision rule, -1 when none is selected.
    int VybrannoePravilo() const;
    int IndeksTipa() const;
    int IndeksVida() const;
    // A vote is running (between the start and the closing of the progress window).
    bool GolosovanieIdet() const { return m_idet; }

private:
    void postroit();
    void pomestitKrasnyTekst(QRadioButton *knopka);
    // The vote from the progress window to the results, after a successful start.
    void provestiGolosovanie(const QString &regim);
    // One counting tick: the ballots and the seconds left written; false when a statement failed.
    bool schitat();
    // The end: idle (at the countdown's end), the result and an empty speaker queue, each
    // written once; a write that fails is tried again at the next tick and the progress
    // window stays until all are in, so the hall is never left in a vote nobody counts.
    void zavershit();
    // A failed tick or end write: reported once for a run of failing ticks; the timer goes on.
    void sboiTaimera();

    KontekstEkrana m_glav;
    TKonsolEkran *m_konsol;  // its vote-progress window
    int m_prisutstvuet = 0;
    int m_isbrano = 0;
    int m_zakon = 0;
    QVector<int> m_nuzno;
    int m_nuznoGolosov = 0;
    int m_idGolosovania = -1;
    int m_ostalosSekund = 0;
    bool m_zapusk = false;
    bool m_idet = false;
    int m_zapisanoKonca = 0;
    bool m_sboiPodryad = false;
    bool m_vTike = false;
};
