#pragma once

// Table deputat: the deputies' names.

#include <QString>

namespace zaprosy::deputat {

// A deputy's surname, name and patronymic (terminal start, registration screen, idle board).
QString imya(int id);
// Every deputy by full name (deputy editor, deputy chooser of the seat commands).
QString spisok();
// A new deputy.
QString vstavit(const QString &familia, const QString &imya, const QString &otchestvo);
// A deputy's names changed.
QString izmenit(int id, const QString &familia, const QString &imya, const QString &otchestvo);
// Removes a deputy (the seat is freed first, see sostav::osvoboditDeputata).
QString udalit(int id);

}  // namespace zaprosy::deputat
