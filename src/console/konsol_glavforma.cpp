// The main window's operations for the operator console: its frame inside AdminFrame and
// the registration windows.
#include "console/admin_interfeis.h"
#include "console/golosovanie_forma.h"
#include "console/process_golos_forma.h"
#include "console/registr_forma.h"
#include "core/oshibka.h"
#include "core/rezhim.h"
#include "core/tglavforma.h"

#include <QEventLoop>
#include <QTimer>

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

bool TGlavForma::VozobnovitProcess()
{
    if (!RezhimAdmin())
        return false;
    auto prochitat = [this](ResultSet *rs) {
        if (GlavBasa.query(rezhim::zapros(), rs) && !rs->isEmpty())
            return true;
        soobshitOshibku(dialogs(), this, &GlavBasa);
        return false;
    };
    ResultSet byl;
    if (!prochitat(&byl))
        return false;
    const int kod = byl.value(0, 0).toInt();
    if (kod != rezhim::Registracia && kod != rezhim::Golosovanie)
        return false;

    // A console that is still counting writes the seconds left once a second.
    QEventLoop pauza;
    QTimer::singleShot(ZhdatOstanovkiMs, &pauza, &QEventLoop::quit);
    pauza.exec();
    ResultSet stal;
    if (!prochitat(&stal))
        return false;
    for (int c = 0; c < 3; ++c)
        if (stal.value(0, c).toInt() != byl.value(0, c).toInt())
            return false;

    const int param1 = stal.value(0, 1).toInt();
    const int sekund = stal.value(0, 2).toInt();
    if (kod == rezhim::Registracia) {
        SozdatOknaRegistracii();
        RegistrForma->Prodolzhit(param1, sekund);
        return true;
    }
    TGolosovanieForma forma(this);
    if (forma.Prodolzhit(param1, sekund))
        return true;
    // No such vote: nothing can end it, so the hall is taken back to the agenda.
    if (!GlavBasa.hasErrors())
        GlavBasa.exec(rezhim::prostoy());
    soobshitOshibku(dialogs(), this, &GlavBasa);
    return false;
}
