#include "core/kontekst.h"

#include "core/tglavforma.h"
#include "core/tglavforma_p.h"

DbConnection &KontekstEkrana::GlavBasa() const { return m_okno->m_basa; }
Dialogs *KontekstEkrana::dialogs() const { return m_okno->m_dialogs; }
Platform *KontekstEkrana::platform() const { return m_okno->m_platform; }
QWidget *KontekstEkrana::okno() const { return m_okno; }
Oblasti &KontekstEkrana::ob() const { return m_okno->m_ob; }
Ekrany &KontekstEkrana::ekrany() const { return *m_okno->m_ekrany; }

QString KontekstEkrana::VersiaProgrammy() const { return m_okno->m_d->m_versiaProgrammy; }
QColor KontekstEkrana::CvetMolchaniya() const { return m_okno->m_d->m_cvetMolchaniya; }
bool KontekstEkrana::ZapuskUspeshen() const { return m_okno->m_d->m_zapuskUspeshen; }
bool KontekstEkrana::RezhimAdmin() const { return m_okno->m_d->m_rezhimAdmin; }
bool KontekstEkrana::RezhimNabludatelya() const { return m_okno->m_d->m_rezhimNabludatelya; }
QString KontekstEkrana::LoginMesta() const { return m_okno->m_d->m_loginMesta; }
int KontekstEkrana::IdSessii() const { return m_okno->m_d->m_idSessii; }
int KontekstEkrana::IdDeputata() const { return m_okno->m_d->m_idDeputata; }
int KontekstEkrana::IdZasedania() const { return m_okno->m_d->m_idZasedania; }
int KontekstEkrana::IdPovestki() const { return m_okno->m_d->m_idPovestki; }
bool KontekstEkrana::Dopusk() const { return m_okno->m_d->m_dopusk; }
int KontekstEkrana::VibranoeMesto() const { return m_okno->m_d->m_vibranoeMesto; }
bool KontekstEkrana::Perezapusk() const { return m_okno->m_d->m_perezapusk; }
void KontekstEkrana::setIdSessii(int id) const { m_okno->m_d->m_idSessii = id; }
void KontekstEkrana::setIdZasedania(int id) const { m_okno->m_d->m_idZasedania = id; }
void KontekstEkrana::setIdPovestki(int id) const { m_okno->m_d->m_idPovestki = id; }
void KontekstEkrana::setDopusk(bool on) const { m_okno->m_d->m_dopusk = on; }
void KontekstEkrana::setVibranoeMesto(int seat) const { m_okno->m_d->m_vibranoeMesto = seat; }
void KontekstEkrana::setPerezapusk(bool on) const { m_okno->m_d->m_perezapusk = on; }
bool KontekstEkrana::OknoPredsedatelya() const { return m_okno->windowTitle() == TGlavForma::ZagolovokPredsedatelya(); }
bool KontekstEkrana::OknoDeputata() const { return m_okno->windowTitle() == TGlavForma::ZagolovokDeputata(); }

rezhim::ZaprosRegimaNabor *KontekstEkrana::ZaprosRegima() const { return m_okno->m_d->ZaprosRegima; }
int KontekstEkrana::RegimNomer() const { return m_okno->m_d->ZaprosRegima->RegimNomer(); }
int KontekstEkrana::RegimParam1() const { return m_okno->m_d->ZaprosRegima->RegimParam1(); }
int KontekstEkrana::RegimParam2() const { return m_okno->m_d->ZaprosRegima->RegimParam2(); }
bool KontekstEkrana::PerechitatRegim(bool zakryt) const { return m_okno->PerechitatRegim(zakryt); }

DataSet *KontekstEkrana::ZaprosRegistracia() const { return m_okno->m_d->ZaprosRegistracia; }
bool KontekstEkrana::OtkrytZaprosRegistracia() const { return m_okno->OtkrytZaprosRegistracia(); }
bool KontekstEkrana::ObnovitZaprosRegistracia() const { return m_okno->ObnovitZaprosRegistracia(); }
bool KontekstEkrana::VRegistracii(int idDeputata) const { return m_okno->VRegistracii(idDeputata); }
bool KontekstEkrana::SvoiDeputatZaregistrirovan() const { return m_okno->VRegistracii(IdDeputata()); }

DataSet *KontekstEkrana::Sostav() const { return m_okno->m_d->Sostav; }
DataSet *KontekstEkrana::ProverkaPorklucheniy() const { return m_okno->m_d->ProverkaPorklucheniy; }
bool KontekstEkrana::MestoMolchit(const QString &nomer) const { return m_okno->MestoMolchit(nomer); }

Taimer *KontekstEkrana::TaimerOperaziy() const { return m_okno->m_d->TaimerOperaziy; }
Taimer *KontekstEkrana::TaimerVremya() const { return m_okno->m_d->TaimerVremya; }
Taimer *KontekstEkrana::TaimerProverkaPodklucheniy() const { return m_okno->m_d->TaimerProverkaPodklucheniy; }

bool KontekstEkrana::ProverkaOshibok() const { return m_okno->ProverkaOshibok(); }
void KontekstEkrana::ZavershitProgrammu(int kod) const { m_okno->ZavershitProgrammu(kod); }
bool KontekstEkrana::Zavershena() const { return m_okno->Zavershena(); }
void KontekstEkrana::ZapisatSostoyanie(const QString &etap) const { m_okno->ZapisatSostoyanie(etap); }
void KontekstEkrana::OshibkaZapuska(const QString &tekst) const { m_okno->OshibkaZapuska(tekst); }
QString KontekstEkrana::FailNastroek() const { return m_okno->FailNastroek(); }
void KontekstEkrana::PokazatVremya() const { m_okno->PokazatVremya(); }
void KontekstEkrana::SkrytRegistraciyu() const { m_okno->SkrytRegistraciyu(); }
