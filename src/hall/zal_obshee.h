#pragma once

// Small helpers shared by the hall screens (seat map, registration, speaker requests, board).

#include "core/dialogs.h"
#include "core/ekrany.h"
#include "core/kontekst.h"
#include "core/oblasti.h"
#include "core/rezhim.h"
#include "db/connection.h"
#include "db/dataset.h"

#include <QString>
#include <QWidget>

namespace zal {

// Moves a widget to another parent, keeping whether it is set visible.
inline void peremestit(QWidget *w, QWidget *roditel)
{
    if (w->parentWidget() == roditel)
        return;
    const bool byl = !w->isHidden();
    w->setParent(roditel);
    w->setVisible(byl);
}

// The plain message box of the hall's own failures: the text alone, no icon.
inline void soobshenie(const KontekstEkrana &k, const QString &tekst)
{
    k.dialogs()->message(k.okno(), tekst, QString(), Dialogs::NoIcon, Dialogs::Ok, Dialogs::Ok);
}

}  // namespace zal
