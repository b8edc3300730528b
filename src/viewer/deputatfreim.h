#pragma once

#include "editors/seams.h"

#include <QSize>
#include <QString>
#include <QWidget>

class QPushButton;
class QTableView;
class QTextEdit;
class Taimer;
#include "core/kontekst.h"
class TGranica;
class TLeibl;
class TPdfProsmotr;
class TStrelka;

// The deputy's agenda and documents: the deputy's name on top, the agenda of the current
// meeting with the selected item's text and its documents, a large "ПОКАЗАТЬ ДОКУМЕНТ"
// button, and, once a document is opened, the document over the whole frame with large
// buttons to scroll it and to go back. The frame only reads the database.
class TDeputatFreim : public QWidget {
    Q_OBJECT
public:
    // Lines moved by one press of a line button.
    static constexpr int ShagovNaStroku = 11;
    // Pause between two of those line steps; the rest of the program runs meanwhile.
    static constexpr int IntervalShaga = 40;

    TDeputatFreim(const KontekstEkrana &glav, QWidget *parent);

    // ---- Data ------------------------------------------------------------------------------
    DataSet *Povestka;          // agenda of one meeting, parameter a
    DataSetModel *PovestkaDannie;
    DataSet *Faili;             // documents of one item, parameter a
    DataSetModel *FailiDannie;

    // Opens the agenda of a meeting (re-runs it when already open).
    void OtkrytPovestku(int idZasedania);
    // Follows the meeting whose item is active: another meeting's agenda is opened, and with
    // none (the meeting was closed) the agenda, its documents and an open document go.
    void SledovatZasedaniyu(int idZasedania);
    int Zasedanie() const { return m_zasedanie; }
    // The deputy label's text.
    void UstanovitImya(const QString &tekst);

    // Lays the frame out for a screen of size `ekran` beside a right-hand column of width
    // `kolonka`; `polosa` is the width of a vertical scroll bar.
    void Razmestit(const QSize &ekran, int kolonka, int polosa);

    // The viewer's start-up settings: toolbar shown, scroll bars hidden.
    void NastroitPDF();
    // The button panel follows the viewer's visibility; the viewer stays in front.
    void SinhronizirovatKnopkiPDF();

    // True while a document is shown (the document state).
    bool RezhimDokumenta() const;
    // True while a line scroll is running.
    bool IdetProkrutka() const;

    // ---- How rows are shown ------------------------------------------------------------------
    // Agenda titles: "Вопрос 0" stands for the whole agenda.
    static QString PovestkaopisanieGetText(const QVariant &opisanie);
    // Document descriptions: an ordering prefix ("01 ") is not shown; see the .cpp.
    static QString FailiopisanieGetText(const QVariant &opisanie);

    // ---- Handlers --------------------------------------------------------------------------
    void PovestkaAfterOpen();
    void PovestkaAfterScroll();
    void PovestkaInfoPoleChange();
    void FailiAfterOpen();
    void VoprosNisClick();
    void VoprosVerhClick();
    void FailNisClick();
    void FailVerhClick();
    void KnopkaPokzaDokClick();
    void KnopkaVernutPovestkuClick();
    void StrelkaVerhClick();
    void StrelkaVnisClick();
    void StrelkaStranicaVerhClick();
    void StrelkaStranicaNisClick();
    void FrameResize();
    void PanelSlevaResize();
    void PanelPovestkaResize();
    void PanelKnopkiFailResize();
    // One step of a line scroll (the handler of TaimerProkrutki).
    void TaimerProkrutkiTimer();

    // Full path of the current document row (empty when there is none).
    QString PutDokumenta() const;

    // ---- Components --------------------------------------------------------------------------
    TGranica *DeputatGranica;
    TLeibl *DeputatLeibl;
    QWidget *PanelPovestka;
    QWidget *PanelSleva;
    QTableView *PovestkaTabl;
    QPushButton *VoprosNis;
    QPushButton *VoprosVerh;
    QWidget *PanelPovestkaSprava;
    QTextEdit *PovestkaInfoPole;
    QTableView *DocTabl;
    QWidget *PanelKnopkiFail;
    QPushButton *FailNis;
    QPushButton *FailVerh;
    TGranica *GranicaPokzaDok;
    TLeibl *KnopkaPokzaDok;

    TPdfProsmotr *PDF;
    QWidget *KnopkiPDF;
    TGranica *GranicaVernutPovestku;
    TLeibl *KnopkaVernutPovestku;
    TGranica *GranicaDokVerh;
    TLeibl *KnopkaDokVerh;
    TStrelka *StrelkaVerh;
    TGranica *GranicaStranicaVerh;
    TLeibl *KnopkaStranicaVerh;
    TStrelka *StrelkaStranicaVerh;
    TGranica *GranicaStranicaNis;
    TLeibl *KnopkaStranicaNis;
    TStrelka *StrelkaStranicaNis;
    TGranica *GranicaDokVnis;
    TLeibl *KnopkaDokVnis;
    TStrelka *StrelkaVnis;

    Taimer *TaimerProkrutki;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sozdatPovestku();
    void sozdatKnopkiPDF();
    void razmestitVnutriPovestki();
    void razmestitDokument();
    void podognat();
    void razmestitKnopkiPDF();
    void kolonkaSetki(QTableView *setka);
    void zagruzitInfo();
    void knopkiDokumenta(bool vkl);
    void stranica(int napravlenie);
    void nachatProkrutku(int napravlenie);

    KontekstEkrana m_glav;
    QSize m_ekran;
    int m_kolonka = 0;
    int m_polosa = 17;
    int m_zasedanie = 0;
    int m_ostalosShagov = 0;
    int m_napravlenie = 0;
};
