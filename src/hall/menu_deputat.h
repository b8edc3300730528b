#pragma once

#include <QFont>
#include <QMenu>
#include <QSize>
#include <QString>

class QAction;
class QPainter;
class QPalette;
class QRect;
#include "core/kontekst.h"

class TKartaMest;

// The operator's context menu on the seat map (MenuDeputat of the main window): register the
// seat's deputy in the current registration period, cancel that registration, seat another
// deputy on the seat, and the three hall-wide remote commands guarded by a control word.
//
// The seat is the one whose name label the menu was opened on (VibranoeMesto of the main
// window); its number is the caption of its number label, its name that of its name label.
// A database failure is shown and stays pending on the connection, so the main window's
// timers end the console at their next tick, as with every other failing statement.
class TMenuDeputat : public QMenu {
    Q_OBJECT
public:
    TMenuDeputat(const KontekstEkrana &glav, const TKartaMest *karta);

    // The word the remote commands ask for; compared exactly, letter case included.
    static const QString KontrolnoeSlovo;
    // The seat whose deputy is made chairman when seated there, and whose registration the
    // menu never cancels.
    static const QString MestoPredsedatelya;

    QAction *MenuReg;              // "Зарегистрировать"
    QAction *MenuNeReg;            // "Снять регистрацию"
    QAction *MenuViborDeputata;    // "Выбрать депутата"
    QAction *MenuPeresapuskVseh;   // "Перезапустить все терминалы"
    QAction *MenuZakrVseh;         // "Закрыть все терминалы"
    QAction *OtklKomp;             // "Выключить все компьютеры"

    void MenuRegClick();
    void MenuNeRegClick();
    void MenuViborDeputataClick();
    void MenuPeresapuskVsehClick();
    void MenuZakrVsehClick();
    void OtklKompClick();

    // Owner drawing shared by the six items: 18 pt bold; an item is as high as "WWWWWW" plus
    // 10 and as wide as its caption plus 15; the caption sits 10 px from the left and 3 px
    // below the item's top, in the menu's colours for the item's state.
    static QFont ShriftPunkta();
    static QSize MenuRegMeasureItem(const QString &caption);
    static void MenuRegAdvancedDrawItem(QPainter *painter, const QRect &rect, const QString &caption,
                                        bool selected, bool enabled, const QPalette &palette);

private:
    // The seat the menu was opened on: its number text and displayed name. False when the map
    // has no such seat.
    bool vybrannoeMesto(QString *nomer, QString *imya) const;
    // The menu acts only on the operator console with its frame shown.
    bool pultOperatora() const;
    // Registration list of the current period read afresh; false on a failure.
    bool nomerZaregistrirovan(const QString &nomer, bool *est);
    // The deputy seated at a seat by the seat assignments read afresh; -1 when none.
    bool deputatMesta(const QString &nomer, int *idDeputata);
    // Register / cancel: the common path of MenuRegClick and MenuNeRegClick.
    void registraciya(bool otmena);
    // Remote commands: control word, then the mode-row statement.
    void udalennayaKomanda(int kod, const QString &zagolovok);

    KontekstEkrana m_glav;
    const TKartaMest *m_karta;  // the seat the menu was opened on
};
