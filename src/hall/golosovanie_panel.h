#pragma once

#include <QObject>

#include "core/kontekst.h"
class TGranica;
class TLeibl;

// The four ballot buttons of the voting panel (PanelGolosovanie of the main window) and what
// a press does: the deputy's ballot in the running vote is replaced, or withdrawn by "СБРОС".
// Ballot codes in otvet.result: 1 for, 2 against, 3 abstains; no row: not voted.
class TKnopkiGolosovania : public QObject {
    Q_OBJECT
public:
    // Button indices; the first three are the ballot codes they cast.
    enum Knopka { Sbros = 0, Za = 1, Protiv = 2, Vosd = 3 };

    explicit TKnopkiGolosovania(const KontekstEkrana &glav);

    // Each button is a label lying inside a frame rectangle; both take the press.
    TGranica *ShapeZa;
    TGranica *ShapeProtiv;
    TGranica *ShapeVosd;
    TGranica *ShapeSbros;
    TLeibl *ZaKnopka;
    TLeibl *ProtivKnopka;
    TLeibl *VosdKnopka;
    TLeibl *SbrosKnopka;

    void ZaKnopkaClick() { Golos(Za); }
    void ProtivKnopkaClick() { Golos(Protiv); }
    void VosdKnopkaClick() { Golos(Vosd); }
    void SbrosKnopkaClick() { Golos(Sbros); }
    void ShapeZaMouseDown() { ZaKnopkaClick(); }
    void ShapeProtivMouseDown() { ProtivKnopkaClick(); }
    void ShapeVosdMouseDown() { VosdKnopkaClick(); }
    void ShapeSbrosMouseDown() { SbrosKnopkaClick(); }

    // One press: the deputy's ballot in vote param1 is withdrawn and, for a ballot button,
    // cast anew, in one transaction so that no other workstation sees the deputy without a
    // ballot in between. On failure shows "Ошибка голосования!", keeps the look and returns
    // false (the error stays pending on the connection).
    bool Golos(int knopka);

    // Gives one button the selected look (white text in a 4-px white frame) and the other
    // three the plain look (black text, 1-px black frame).
    void Vybrat(int knopka);
    // The button that has the selected look.
    int Vybrannaya() const { return m_vybrannaya; }
    // Vote start: texts black, "СБРОС" white; the frames stay as they are.
    void TekstyNachalaGolosovania();

    // The button a released key stands for (Windows virtual-key meaning, as Qt names the
    // keys; with Num Lock off these are the keypad's rows 7-8-9, 4-5-6, 1-2-3 and 0 / ".");
    // -1 for any other key.
    static int KnopkaKlavishi(int key);

    TLeibl *leibl(int knopka) const;
    TGranica *ramka(int knopka) const;

private:
    KontekstEkrana m_glav;
    int m_vybrannaya = Sbros;
};

// The voting panel as a screen: shown at a vote's start, reset at its end, and the keypad's
// keys as its buttons.
class TPanelGolosovania : public KontekstEkrana {
public:
    explicit TPanelGolosovania(const KontekstEkrana &k);

    void SbrosPanelGolosovania();    // reset: hidden, coat of arms shown, "СБРОС" selected
    // Vote start: the panel with "СБРОС" white and the others black; the watcher keeps the
    // coat of arms.
    void PokazatPanelGolosovania();
    void GolosKlavishei(int key, Qt::KeyboardModifiers modifiers);  // keys as voting buttons

    TKnopkiGolosovania *KnopkiGolosovania = nullptr;  // the four buttons and their handlers
};
