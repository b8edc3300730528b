#include "app/ekrany_zala.h"

#include "core/oblasti.h"
#include "hall/gimn_freim.h"
#include "hall/menu_deputat.h"
#include "hall/sostoyanie_ekrana.h"

TEkranyZala::TEkranyZala(const KontekstEkrana &k)
    : deputat(k), registracia(k), panel(k), spisok(k), tablo(k, &spisok), karta(k),
      menu(new TMenuDeputat(k, &karta)), konsol(k), m_k(k)
{
    karta.MenuDeputat = menu;
    sozdatGimnFreim(k.ob().GimnFreim);
}

QString TEkranyZala::OpisanieEkrana() const
{
    return opisanieEkrana(m_k, tablo, karta);
}

FabrikaEkranov fabrikaZala()
{
    return [](const KontekstEkrana &k) -> std::unique_ptr<Ekrany> { return std::make_unique<TEkranyZala>(k); };
}
