// The main window's operations for the operator console: its frame inside AdminFrame and
// the registration windows.
#include "console/admin_interfeis.h"
#include "console/process_golos_forma.h"
#include "console/registr_forma.h"
#include "core/tglavforma.h"

void TGlavForma::SozdatAdminFrame()
{
    AdminInterfeis = new TAdminInterfeis(this, AdminFrame);
}

void TGlavForma::SozdatOknaRegistracii()
{
    if (!ProcessGolosForma)
        ProcessGolosForma = new TProcessGolosForma(this);
    if (!RegistrForma)
        RegistrForma = new TRegistrForma(this, ProcessGolosForma);
}

bool TGlavForma::ZagruzitZasedanie()
{
    return AdminInterfeis && AdminInterfeis->ZagruzitZasedanie();
}

void TGlavForma::ObnovitPovestku()
{
    if (AdminInterfeis)
        AdminInterfeis->ObnovitPovestku();
}

void TGlavForma::UstanovitZasedanieFreima(int id)
{
    if (AdminInterfeis)
        AdminInterfeis->setZasedanieFreima(id);
}

// Activation: the frame is fitted to its place first (the buttons follow its width).
void TGlavForma::RaspolozhitKnopki()
{
    if (AdminInterfeis)
        AdminInterfeis->Razmestit();
}

void TGlavForma::SkrytPovestkuKonsoli()
{
    if (AdminInterfeis)
        AdminInterfeis->SkrytPovestku();
}

bool TGlavForma::PovestkaKonsoliSkryta() const
{
    return AdminInterfeis && AdminInterfeis->PovestkaSkryta();
}

void TGlavForma::PrivyazatPovestkuKonsoli(int idZasedania)
{
    if (AdminInterfeis)
        AdminInterfeis->PrivyazatPovestku(idZasedania);
}

void TGlavForma::PerekrasitPovestkuKonsoli()
{
    if (AdminInterfeis)
        AdminInterfeis->Perekrasit();
}

void TGlavForma::AdminFormResize()
{
    if (AdminInterfeis)
        AdminInterfeis->Razmestit();
}
