#pragma once

#include "console/konsol_ekran.h"
#include "core/ekrany.h"
#include "core/kontekst.h"
#include "hall/golosovanie_panel.h"
#include "hall/karta_mest.h"
#include "hall/proshu_slova.h"
#include "hall/registracia.h"
#include "hall/tablo.h"
#include "viewer/deputat_ekran.h"

class TMenuDeputat;

// The screens of every role on one window: each operation of the mode dispatch goes to the
// screen that owns it. Every workstation builds all of them; the role decides which are shown.
class TEkranyZala : public Ekrany {
public:
    explicit TEkranyZala(const KontekstEkrana &k);

    void OtkrytPovestkuDeputata() override { deputat.OtkrytPovestkuDeputata(); }
    void SledovatZasedaniyuDeputata(int id) override { deputat.SledovatZasedaniyuDeputata(id); }
    void UstanovitImyaDeputata(const QString &tekst) override { deputat.UstanovitImyaDeputata(tekst); }
    void RazmestitDeputatFreim() override { deputat.RazmestitDeputatFreim(); }
    void NastroitPDF() override { deputat.NastroitPDF(); }
    void SinhronizirovatKnopkiPDF() override { deputat.SinhronizirovatKnopkiPDF(); }

    bool PostroitKartuMest() override { return karta.PostroitKartuMest(); }
    bool ObnovitKartuMest(QString *oshibka) override { return karta.ObnovitKartuMest(oshibka); }

    void RegistraciaDopushennogo() override { registracia.RegistraciaDopushennogo(); }
    void RegistraciaNaTablo() override { registracia.RegistraciaNaTablo(); }
    void VoitiVRegistraciyu() override { registracia.VoitiVRegistraciyu(); }
    void OtschetRegistracii() override { registracia.OtschetRegistracii(); }
    void SinhronizaciyaRegistracii() override { registracia.SinhronizaciyaRegistracii(); }
    void SinhronizaciyaRegKnopki() override { registracia.SinhronizaciyaRegKnopki(); }

    void SbrosPanelGolosovania() override { panel.SbrosPanelGolosovania(); }
    void PokazatPanelGolosovania() override { panel.PokazatPanelGolosovania(); }
    void GolosKlavishei(int key, Qt::KeyboardModifiers m) override { panel.GolosKlavishei(key, m); }

    void RazmestitSpisokZapis() override { spisok.RazmestitSpisokZapis(); }
    void SinhronizaciyaProshuSlova() override { spisok.SinhronizaciyaProshuSlova(); }
    void LeiblProshuSlovaClick() override { spisok.LeiblProshuSlovaClick(); }

    void SkrytStrokiRezultatov() override { tablo.SkrytStrokiRezultatov(); }
    bool StrokiRezultatovVidny() const override { return tablo.StrokiRezultatovVidny(); }
    void NachatTabloGolosovania() override { tablo.NachatTabloGolosovania(); }
    void OtschetGolosovania() override { tablo.OtschetGolosovania(); }
    void TabloRezultataGolosovania() override { tablo.TabloRezultataGolosovania(); }
    void TabloRezultataRegistracii() override { tablo.TabloRezultataRegistracii(); }

    void OtkrytNastroikuGolosovania() override { konsol.OtkrytNastroikuGolosovania(); }
    void SozdatProcessGolos2Formu() override { konsol.SozdatProcessGolos2Formu(); }
    void SozdatOknaRegistracii() override { konsol.SozdatOknaRegistracii(); }
    bool ZagruzitZasedanie() override { return konsol.ZagruzitZasedanie(); }
    void ObnovitPovestku() override { konsol.ObnovitPovestku(); }
    void UstanovitZasedanieFreima(int id) override { konsol.UstanovitZasedanieFreima(id); }
    void RaspolozhitKnopki() override { konsol.RaspolozhitKnopki(); }
    void SkrytPovestkuKonsoli() override { konsol.SkrytPovestkuKonsoli(); }
    bool PovestkaKonsoliSkryta() const override { return konsol.PovestkaKonsoliSkryta(); }
    void PrivyazatPovestkuKonsoli(int id) override { konsol.PrivyazatPovestkuKonsoli(id); }
    void PerekrasitPovestkuKonsoli() override { konsol.PerekrasitPovestkuKonsoli(); }
    void AdminFormResize() override { konsol.AdminFormResize(); }
    bool VozobnovitProcess() override { return konsol.VozobnovitProcess(); }

    QString OpisanieEkrana() const override;

    // In the order the window once built them: the document frame, registration, voting
    // panel, speaker list, board rows, seat map and its menu, console frame (then the anthem).
    TDeputatEkran deputat;
    TRegistracia registracia;
    TPanelGolosovania panel;
    TProshuSlova spisok;
    TTablo tablo;
    TKartaMest karta;
    TMenuDeputat *menu;
    TKonsolEkran konsol;

private:
    KontekstEkrana m_k;
};

// The factory the program's windows are made with.
FabrikaEkranov fabrikaZala();
