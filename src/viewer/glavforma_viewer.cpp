// The main window's operations on the agenda and document frame.
#include "core/platform.h"
#include "core/tglavforma.h"
#include "viewer/deputatfreim.h"

void TGlavForma::SozdatDeputatFreim()
{
    DeputatFreimVid = new TDeputatFreim(this, DeputatFreim);
}

void TGlavForma::OtkrytPovestkuDeputata()
{
    DeputatFreimVid->OtkrytPovestku(IdZasedania());
}

void TGlavForma::UstanovitImyaDeputata(const QString &tekst)
{
    DeputatFreimVid->UstanovitImya(tekst);
}

void TGlavForma::RazmestitDeputatFreim()
{
    DeputatFreimVid->setGeometry(DeputatFreim->rect());
    DeputatFreimVid->Razmestit(platform()->screenSize(), PanelSleva->width(), platform()->scrollBarWidth());
}

void TGlavForma::NastroitPDF()
{
    DeputatFreimVid->NastroitPDF();
}

void TGlavForma::SinhronizirovatKnopkiPDF()
{
    DeputatFreimVid->SinhronizirovatKnopkiPDF();
}

void TGlavForma::SledovatZasedaniyuDeputata(int idZasedania)
{
    if (OknoDeputata())
        DeputatFreimVid->SledovatZasedaniyu(idZasedania);
}
