// The operator console's screen: its frame inside AdminFrame, the registration windows, the
// vote set-up and the vote-progress window.
#include "core/oblasti.h"
#include "core/rezhim.h"
#include "db/dataset.h"
#include "console/konsol_ekran.h"

#include "console/admin_interfeis.h"
#include "console/golosovanie_forma.h"
#include "console/process_golos2_forma.h"
#include "console/process_golos_forma.h"
#include "console/registr_forma.h"
#include "core/oshibka.h"
#include "core/rezhim.h"
#include "core/tglavforma.h"

#include <QEventLoop>
#include <QTimer>

TKonsolEkran::TKonsolEkran(const KontekstEkrana &k) : KontekstEkrana(k)
{
    // The frame is made with the screen, so every operation below has it.
    AdminInterfeis = new TAdminInterfeis(this, ob().AdminFrame);
}

void TKonsolEkran::SozdatProcessGolos2Formu()
{
    if (!ProcessGolos2Forma)
        ProcessGolos2Forma = new TProcessGolos2Forma(okno());
}

void TKonsolEkran::SozdatOknaRegistracii()
{
    if (!ProcessGolosForma)
        ProcessGolosForma = new TProcessGolosForma(okno());
    if (!RegistrForma)
        RegistrForma = new TRegistrForma(*this, ProcessGolosForma);
}

bool TKonsolEkran::ZagruzitZasedanie()
{
    return AdminInterfeis->ZagruzitZasedanie();
}

void TKonsolEkran::ObnovitPovestku()
{
    AdminInterfeis->ObnovitPovestku();
}

void TKonsolEkran::UstanovitZasedanieFreima(int id)
{
    AdminInterfeis->setZasedanieFreima(id);
}

// Activation: the frame is fitted to its place first (the buttons follow its width).
void TKonsolEkran::RaspolozhitKnopki()
{
    AdminInterfeis->Razmestit();
}

void TKonsolEkran::SkrytPovestkuKonsoli()
{
    AdminInterfeis->SkrytPovestku();
}

bool TKonsolEkran::PovestkaKonsoliSkryta() const
{
    return AdminInterfeis->PovestkaSkryta();
}

void TKonsolEkran::PrivyazatPovestkuKonsoli(int idZasedania)
{
    AdminInterfeis->PrivyazatPovestku(idZasedania);
}

void TKonsolEkran::PerekrasitPovestkuKonsoli()
{
    AdminInterfeis->Perekrasit();
}

void TKonsolEkran::AdminFormResize()
{
    AdminInterfeis->Razmestit();
}

bool TKonsolEkran::VozobnovitProcess()
{
    if (!RezhimAdmin())
        return false;
    auto prochitat = [this](ResultSet *rs) {
        if (GlavBasa().query(rezhim::zapros(), rs) && !rs->isEmpty())
            return true;
        soobshitOshibku(dialogs(), okno(), &GlavBasa());
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
        ekrany().SozdatOknaRegistracii();
        RegistrForma->Prodolzhit(param1, sekund);
        return true;
    }
    TGolosovanieForma forma(this);
    if (forma.Prodolzhit(param1, sekund))
        return true;
    // No such vote: nothing can end it, so the hall is taken back to the agenda.
    if (!GlavBasa().hasErrors())
        GlavBasa().exec(rezhim::prostoy());
    soobshitOshibku(dialogs(), okno(), &GlavBasa());
    return false;
}

void TKonsolEkran::OtkrytNastroikuGolosovania()
{
    TGolosovanieForma::OtkrytNastroiku(this);
}
