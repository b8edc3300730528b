#pragma once

#include "core/kontekst.h"

#include <QString>

class TDeputatFreim;

// The deputy's screen (deputy terminal, watcher): the agenda of the open meeting and its
// documents, in the window's document area.
class TDeputatEkran : public KontekstEkrana {
public:
    explicit TDeputatEkran(const KontekstEkrana &k);

    void OtkrytPovestkuDeputata();                     // agenda of the open meeting
    void SledovatZasedaniyuDeputata(int idZasedania);  // 0: the meeting was closed
    void UstanovitImyaDeputata(const QString &tekst);  // the frame's deputy label
    void RazmestitDeputatFreim();                      // layout for the screen
    void NastroitPDF();                                // toolbar on, scroll bars off
    void SinhronizirovatKnopkiPDF();                   // KnopkiPDF visible exactly with the PDF view

    TDeputatFreim *DeputatFreimVid = nullptr;  // the frame itself, filling DeputatFreim
};
