#pragma once

// Table konstanti: the hall's stored numbers, read by their description.

#include <QString>

namespace zaprosy::konstanta {

// The value of the constant described exactly as `opisanie` (matched literally by LIKE).
QString znachenie(const QString &opisanie);
// The quorum: results boards, vote start, the quorum verdict.
QString kvorum();               // ... LIKE 'Кворум'
// Deputies elected: vote set-up and the registration results board.
QString izbrano();              // ... LIKE 'Избрано'
// The number established by law: vote set-up.
QString ustanovlenoZakonom();   // ... LIKE 'Установлено законом'
// Seats left free in the hall: the seat map.
QString osvobozhdennyeMesta();  // ... LIKE 'Освобожденные места'

}  // namespace zaprosy::konstanta
