#pragma once

#include <QColor>
#include <QString>

class DataSet;
class DbConnection;
class Dialogs;
class Ekrany;
class Platform;
class Taimer;
class TGlavForma;
class QWidget;
struct Oblasti;
namespace rezhim { class ZaprosRegimaNabor; }

// The main window as a screen sees it: the connection, the dialogs and platform seams, the
// workstation's state and mode row, the regions to draw in, the other screens, and the few
// things a screen may ask of the window. A small handle, copied into every screen.
class KontekstEkrana {
public:
    explicit KontekstEkrana(TGlavForma *okno) : m_okno(okno) {}
    // Classes that kept a pointer to the window keep their "->".
    const KontekstEkrana *operator->() const { return this; }

    // Services.
    DbConnection &GlavBasa() const;
    Dialogs *dialogs() const;
    Platform *platform() const;
    QWidget *okno() const;  // parent of boxes and of whole-window screens
    Oblasti &ob() const;
    Ekrany &ekrany() const;

    // The workstation's state.
    QString VersiaProgrammy() const;
    QColor CvetMolchaniya() const;
    bool ZapuskUspeshen() const;
    bool RezhimAdmin() const;
    bool RezhimNabludatelya() const;
    QString LoginMesta() const;
    int IdSessii() const;
    int IdDeputata() const;
    int IdZasedania() const;
    int IdPovestki() const;
    bool Dopusk() const;
    int VibranoeMesto() const;
    bool Perezapusk() const;
    void setIdSessii(int id) const;
    void setIdZasedania(int id) const;
    void setIdPovestki(int id) const;
    void setDopusk(bool on) const;
    void setVibranoeMesto(int seat) const;
    void setPerezapusk(bool on) const;
    // Role by the caption, as the screens decide it.
    bool OknoPredsedatelya() const;  // operator console or chairman terminal
    bool OknoDeputata() const;       // deputy terminal or watcher

    // Mode row, fields as last read (a closed set reads 0, 0, 0), and re-reading it: closing
    // and opening (zakryt = true, the poller's way) or re-running when open.
    rezhim::ZaprosRegimaNabor *ZaprosRegima() const;
    int RegimNomer() const;
    int RegimParam1() const;
    int RegimParam2() const;
    bool PerechitatRegim(bool zakryt) const;

    // Registration list of one period (nomer, id_deputat): opened for the current period,
    // refreshed, and whether it holds a deputy or the own deputy.
    DataSet *ZaprosRegistracia() const;
    bool OtkrytZaprosRegistracia() const;
    bool ObnovitZaprosRegistracia() const;
    bool VRegistracii(int idDeputata) const;
    bool SvoiDeputatZaregistrirovan() const;

    DataSet *Sostav() const;  // seat assignments with names
    // Last activity of every seat (nomer, connected, podkl, diff) and the silence rule on
    // it: no row, or diff 6 s or more; a NULL diff (never stamped) is not silent.
    DataSet *ProverkaPorklucheniy() const;
    bool MestoMolchit(const QString &nomer) const;

    Taimer *TaimerOperaziy() const;
    Taimer *TaimerVremya() const;
    Taimer *TaimerProverkaPodklucheniy() const;

    // Asked of the window.
    bool ProverkaOshibok() const;
    void ZavershitProgrammu(int kod) const;
    bool Zavershena() const;
    void ZapisatSostoyanie(const QString &etap) const;
    void OshibkaZapuska(const QString &tekst) const;
    QString FailNastroek() const;
    void PokazatVremya() const;      // the clock just below the item text, clock timer on
    void SkrytRegistraciyu() const;  // the registration screen down (not in the anthem)

private:
    TGlavForma *m_okno;
};
