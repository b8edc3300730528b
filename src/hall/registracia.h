#pragma once

#include "core/kontekst.h"

#include <QObject>

class GerbLeibl;
class QLabel;
class QWidget;
class TGranica;

// Registration at the seat: the registration screen of a deputy terminal, the countdown on
// the boards of the other roles, the button that writes the presence record, and the sync
// that follows presence records written elsewhere.
class TRegistracia : public QObject, public KontekstEkrana {
    Q_OBJECT
public:
    explicit TRegistracia(const KontekstEkrana &k);

    void RegistraciaDopushennogo();    // mode 1 on an admitted deputy terminal
    void RegistraciaNaTablo();         // mode 1 countdown on the board (console, chairman, watcher)
    void VoitiVRegistraciyu();         // enter the registration screen
    void OtschetRegistracii();         // registration countdown on the registration screen
    void SinhronizaciyaRegistracii();  // follow presence records written elsewhere
    void SinhronizaciyaRegKnopki();    // the registration screen's button, the same in mode 1
    void RegKnopkaClick();

    // The screen's parts beyond the name box and the button.
    QWidget *PanelRegTop = nullptr;
    GerbLeibl *GerbReg = nullptr;
    TGranica *DumaTextGranica = nullptr;
    QLabel *LeiblDumaText = nullptr;
    QLabel *LeiblZasedanieText = nullptr;
    TGranica *TaimerRegGranica = nullptr;
    QLabel *TaimerRegPhonLeibl = nullptr;
    QLabel *TaimerRegPhonLeibl2 = nullptr;
};
