#pragma once

#include <QString>

// The workstation's log, for reading the hall's story after a meeting: every error it
// reported or ended on, every start, restart and end, every mode change it acted on, each
// line with the time and the login. Written to "<settings file without .ini>.log" beside the
// settings (rotated at 1 MB, three old files kept), or to the journal when the program runs
// under systemd. Qt's own warnings and critical messages go to the same place.
namespace dnevnik {

// Installs the message handler. `failNastroek` is the workstation's settings file. Calling
// it again (a test, a second window) only changes the file.
void ustanovit(const QString &failNastroek);
// The login that prefixes every line from now on.
void setLogin(const QString &login);
// The file lines go to; empty when logging to the journal or not installed.
QString fail();

// A database error the workstation met (reported to the user or not). The same text
// repeated within a few seconds is counted, not written again.
void oshibka(const QString &tekst, int nativeError = 0);
// A message the user was shown (a box, or a notice shown without waiting): what somebody at
// the screen saw, for telling later whether a fault was reported once, twice or not at all.
void soobshenie(const QString &zagolovok, const QString &tekst);
// The program ends (with the reason) or starts over through the restart script.
void konec(int kod, const QString &prichina);
void perezapusk(const QString &prichina);
// The workstation started (each start after a restart too).
void start(const QString &versiya);
// The mode the workstation acted on changed.
void rezhim(int nomer, int param1, int param2);

}  // namespace dnevnik
