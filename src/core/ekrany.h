#pragma once

#include <QString>
#include <Qt>

#include <functional>
#include <memory>

class KontekstEkrana;

// The screens of a workstation as the main window sees them. The window's start-up, timers
// and mode dispatch call these operations and nothing else of a screen; one object answers
// for all of them: the hall's screens (each a class of its own folder), or in tests a double
// that writes every call down and passes it on. Screens call each other through it too, so
// the double sees those calls as well.
class Ekrany {
public:
    virtual ~Ekrany() = default;

    // Agenda and document frame (deputy terminal, watcher).
    virtual void OtkrytPovestkuDeputata() = 0;                     // agenda of the meeting
    virtual void SledovatZasedaniyuDeputata(int idZasedania) = 0;  // 0: the meeting was closed
    virtual void UstanovitImyaDeputata(const QString &tekst) = 0;  // the frame's deputy label
    virtual void RazmestitDeputatFreim() = 0;                      // layout for the screen
    virtual void NastroitPDF() = 0;                                // toolbar on, scroll bars off
    virtual void SinhronizirovatKnopkiPDF() = 0;  // the PDF buttons visible exactly with the PDF view

    // Seat map (chairman terminal, operator console).
    virtual bool PostroitKartuMest() = 0;                 // false on failure
    virtual bool ObnovitKartuMest(QString *oshibka) = 0;  // colouring; false with a text on failure

    // Registration at the seat.
    virtual void RegistraciaDopushennogo() = 0;    // mode 1 on an admitted deputy terminal
    virtual void RegistraciaNaTablo() = 0;         // mode 1 countdown on the board
    virtual void VoitiVRegistraciyu() = 0;         // enter the registration screen
    virtual void OtschetRegistracii() = 0;         // countdown on the registration screen
    virtual void SinhronizaciyaRegistracii() = 0;  // follow presence records written elsewhere
    virtual void SinhronizaciyaRegKnopki() = 0;    // the screen's button, the same in mode 1

    // Voting panel.
    virtual void SbrosPanelGolosovania() = 0;    // hidden, coat of arms shown, "СБРОС" selected
    virtual void PokazatPanelGolosovania() = 0;  // vote start
    virtual void GolosKlavishei(int key, Qt::KeyboardModifiers modifiers) = 0;  // keys as buttons

    // Speaker requests.
    virtual void RazmestitSpisokZapis() = 0;       // the chairman's list, every poller tick
    virtual void SinhronizaciyaProshuSlova() = 0;  // the deputy's button follows the table
    virtual void LeiblProshuSlovaClick() = 0;

    // Results board.
    virtual void SkrytStrokiRezultatov() = 0;
    virtual bool StrokiRezultatovVidny() const = 0;  // a result or summary is on the board
    virtual void NachatTabloGolosovania() = 0;       // vote display start
    virtual void OtschetGolosovania() = 0;           // vote progress
    virtual void TabloRezultataGolosovania() = 0;    // vote result
    virtual void TabloRezultataRegistracii() = 0;    // registration summary

    // Operator console frame and its windows.
    virtual void OtkrytNastroikuGolosovania() = 0;  // the vote set-up dialog
    virtual void SozdatProcessGolos2Formu() = 0;    // vote-progress window
    virtual void SozdatOknaRegistracii() = 0;       // registration-progress and -control windows
    virtual bool ZagruzitZasedanie() = 0;           // bind the frame to the open meeting
    virtual void ObnovitPovestku() = 0;             // reload the frame's agenda
    virtual void UstanovitZasedanieFreima(int id) = 0;
    virtual void RaspolozhitKnopki() = 0;           // arrange the frame's buttons
    virtual void SkrytPovestkuKonsoli() = 0;        // no meeting: grid and text hidden
    virtual bool PovestkaKonsoliSkryta() const = 0;
    virtual void PrivyazatPovestkuKonsoli(int idZasedania) = 0;  // bind the grid to a meeting
    virtual void PerekrasitPovestkuKonsoli() = 0;   // the active item changed
    virtual void AdminFormResize() = 0;             // heights of the frame's grid and text box
    // A console that comes back while a registration or a vote has no one counting it down
    // takes it over; false when nothing was taken over.
    virtual bool VozobnovitProcess() = 0;

    // What the screen shows, as "key=value" lines (the status file's body after its header).
    virtual QString OpisanieEkrana() const = 0;
};

// Makes a workstation's screens on its window; called once, at the end of the window's
// constructor, when the regions exist.
using FabrikaEkranov = std::function<std::unique_ptr<Ekrany>(const KontekstEkrana &)>;

// Countdown text: "<M> мин <S> сек" with M = seconds div 60, S = seconds mod 60.
QString MinSek(int sekund);
// How an agenda item's title is shown: "Вопрос 0" stands for the whole agenda.
QString NazvanieVoprosa(const QString &opisanie);
