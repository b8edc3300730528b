#pragma once

#include "editors/seams.h"

#include <QColor>
#include <QFrame>
#include <QString>

class QPushButton;
class QTableView;
class QTextEdit;
class QWidget;
#include "core/kontekst.h"

class TKonsolEkran;

// The operator console frame: the buttons that run a meeting (agenda editor, registration,
// opening and closing the meeting, choosing the active item, starting a vote) above the
// agenda of the meeting the frame is bound to and the text of the selected item.
//
// It lives inside the main window's AdminFrame and works on the main window's connection
// and workstation state.
class TAdminInterfeis : public QFrame {
    Q_OBJECT
public:
    explicit TAdminInterfeis(TKonsolEkran *konsol, QWidget *parent = nullptr);

    // Meeting whose agenda the frame is bound to: 0 none yet, -1 none found at start-up.
    int ZasedanieFreima() const { return m_zasedanieFreima; }
    void setZasedanieFreima(int id) { m_zasedanieFreima = id; }

    // Binds the frame to the open meeting (start set, stop empty; the latest wins).
    bool ZagruzitZasedanie();
    // Reloads the agenda for ZasedanieFreima.
    void ObnovitPovestku();
    // Re-reads the agenda with its parameter, keeping the cursor on the item it showed (after
    // the agenda editor changed items).
    void PerechitatPovestku();

    // The two visible states: unbound (grid and text hidden, panel silver) and bound to a
    // meeting (agenda of that meeting, panel green).
    void SkrytPovestku();
    void PrivyazatPovestku(int idZasedania);
    bool PovestkaSkryta() const;
    // Repaints the grid (the active item changed).
    void Perekrasit();

    // Fills the parent (AdminFrame) and lays the panels out for that size.
    void Razmestit();
    // Button and column geometry for the frame's width.
    void RaspolozhitKnopki();
    // The text box takes the lower half of the agenda panel.
    void PanelAdminPovestkaResize();

    // Buttons.
    void KnopkaRedaktorPovestkaClick();
    void KnopkaRegistraciaClick();
    void KnopkaStartZasClick();
    void KnopkaStopZasClick();
    void KnopkaAktivVoprosClick();
    void KnopkaStartGolosovaniaClick();
    void FrameDblClick();

    // Data set events.
    void PovestkaAfterOpen();
    void InfoPoleChange();

    // Text colour of an agenda row as the grid draws it (invalid: the default colour):
    // the active item green (yellow when selected), an item active earlier today blue
    // (silver when selected).
    QColor PovestkaTablDrawColumnCell(int row, bool selected) const;

    QWidget *PanelAdminKnopki = nullptr;
    QPushButton *KnopkaRedaktorPovestka = nullptr;
    QPushButton *KnopkaRegistracia = nullptr;
    QPushButton *KnopkaStartZas = nullptr;
    QPushButton *KnopkaStopZas = nullptr;
    QWidget *PanelGolos = nullptr;
    QPushButton *KnopkaAktivVopros = nullptr;
    QPushButton *KnopkaStartGolosovania = nullptr;
    QWidget *PanelAdminPovestka = nullptr;
    QTableView *PovestkaTabl = nullptr;
    QWidget *PanelPovestkaKnopki = nullptr;
    QTextEdit *InfoPole = nullptr;

    DataSet *Povestka = nullptr;
    DataSet *Povestka2 = nullptr;
    DataSetModel *PovestkaDannie = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // The agenda of a meeting into Povestka (Povestka2 follows through PovestkaAfterOpen).
    bool otkrytPovestku(int idZasedania);
    void pokazatPovestku(bool vidna);
    void obnovitInfoPole();
    // The chairman's deputy id; 0 when no seat assignment is marked chairman.
    bool predsedatel(int *id);
    bool otkrytieZasedania(int id, const QString &opisanie);
    bool zakrytieZasedania();

    KontekstEkrana m_glav;
    TKonsolEkran *m_konsol;  // its registration windows
    int m_zasedanieFreima = 0;
};
