#pragma once

// Table zasedanie: the meetings, their opening and closing.

#include <QString>

namespace zaprosy::zasedanie {

// The open meeting (started, not stopped), the newest first: the console binds to it.
QString otkrytoe();
// The newest meeting: the agenda editor opened with no active item.
QString poslednee();
// A meeting's title as the console and the agenda editor head it.
QString nazvanie(int id);
// A meeting's title on the registration screen.
QString nazvanieRegistracii(int id);
// Whether a meeting is open (1) or not (0): a console that lost its meeting finds it again.
QString otkrytoLi(int id);
// Start, stop and title of a meeting before it is closed.
QString sostoyanie(int id);
// Stamps the meeting's start (opening).
QString nachat(int id);
// Stamps the meeting's stop (closing).
QString zakonchit(int id);
// Every meeting for the meeting editor and chooser, the newest first.
QString spisok();
// A new meeting; `data` as 'yyyymmdd'.
QString vstavit(const QString &data, const QString &opisanie);
// A meeting's date and title changed.
QString izmenit(int id, const QString &data, const QString &opisanie);
// Removes a meeting (refused by the server while it has agenda items).
QString udalit(int id);
// Day, month and year of a meeting: the folder its documents go into.
QString dataPapki(int id);

}  // namespace zaprosy::zasedanie
