#pragma once

#include "core/kontekst.h"

#include <QObject>

class TAdminInterfeis;
class TProcessGolos2Forma;
class TProcessGolosForma;
class TRegistrForma;

// The operator console's screen: its frame inside AdminFrame (agenda, buttons), the
// registration windows, the vote set-up and the vote-progress window.
class TKonsolEkran : public QObject, public KontekstEkrana {
    Q_OBJECT
public:
    explicit TKonsolEkran(const KontekstEkrana &k);

    void OtkrytNastroikuGolosovania();  // the vote set-up dialog (the frame's "Голосование")
    void SozdatProcessGolos2Formu();    // vote-progress window, at window creation
    void SozdatOknaRegistracii();       // registration-progress and registration-control windows
    bool ZagruzitZasedanie();           // bind the frame to the open meeting
    void ObnovitPovestku();             // reload the frame's agenda
    void UstanovitZasedanieFreima(int id);
    void RaspolozhitKnopki();           // arrange the frame's buttons
    void SkrytPovestkuKonsoli();        // no meeting: grid and text hidden, panel silver
    bool PovestkaKonsoliSkryta() const;
    void PrivyazatPovestkuKonsoli(int idZasedania);  // bind the grid to a meeting, panel green
    void PerekrasitPovestkuKonsoli();   // repaint the agenda grid (active item changed)
    void AdminFormResize();             // heights of the frame's grid and text box
    // On an operator console that comes back (after a crash, a kill or a fault) while the
    // mode row holds a registration or a vote whose countdown nobody writes any more: carries
    // it to its end. A countdown still moving belongs to another console and is left alone.
    // False when nothing was taken over.
    bool VozobnovitProcess();

    // How long a countdown must stand still before the console takes it over.
    int ZhdatOstanovkiMs = 2500;
    TAdminInterfeis *AdminInterfeis = nullptr;
    TRegistrForma *RegistrForma = nullptr;
    TProcessGolosForma *ProcessGolosForma = nullptr;
    TProcessGolos2Forma *ProcessGolos2Forma = nullptr;
};
