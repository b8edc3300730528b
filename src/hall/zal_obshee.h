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

// The plain message box of the hall's own failures: the text alone, no icon.
inline void soobshenie(const KontekstEkrana &k, const QString &tekst)
{
    k.dialogs()->message(k.okno(), tekst, QString(), Dialogs::NoIcon, Dialogs::Ok, Dialogs::Ok);
}

}  // namespace zal
