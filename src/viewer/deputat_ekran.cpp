// The deputy's screen: the agenda and document frame in the window's document area.
#include "core/oblasti.h"
#include "core/rezhim.h"
#include "db/dataset.h"
#include "viewer/deputat_ekran.h"

#include "core/oblasti.h"
#include "core/platform.h"
#include "viewer/deputatfreim.h"

#include <QWidget>

TDeputatEkran::TDeputatEkran(const KontekstEkrana &k) : KontekstEkrana(k)
{
    DeputatFreimVid = new TDeputatFreim(*this, ob().DeputatFreim);
}

void TDeputatEkran::OtkrytPovestkuDeputata()
{
    DeputatFreimVid->OtkrytPovestku(IdZasedania());
}

void TDeputatEkran::UstanovitImyaDeputata(const QString &tekst)
{
    DeputatFreimVid->UstanovitImya(tekst);
}

void TDeputatEkran::RazmestitDeputatFreim()
{
    DeputatFreimVid->setGeometry(ob().DeputatFreim->rect());
    DeputatFreimVid->Razmestit(platform()->screenSize(), ob().PanelSleva->width(), platform()->scrollBarWidth());
}

void TDeputatEkran::NastroitPDF()
{
    DeputatFreimVid->NastroitPDF();
}

void TDeputatEkran::SinhronizirovatKnopkiPDF()
{
    DeputatFreimVid->SinhronizirovatKnopkiPDF();
}

void TDeputatEkran::SledovatZasedaniyuDeputata(int idZasedania)
{
    if (OknoDeputata())
        DeputatFreimVid->SledovatZasedaniyu(idZasedania);
}
