#pragma once

#include <QString>

// The workstation's settings file: sections in square brackets, one key=value per line.
// Every call reads the file afresh (several workstations may share one file, and nothing is
// cached); writes keep the other sections, keys, comments and their order. Text is UTF-8;
// values are taken verbatim (only the blanks around them are dropped), so "PC\user" stays
// as it is. Section and key names match without regard to case, as on the original platform.

// The settings file of a program: its path with the first ".exe" (case-sensitive) replaced by
// ".ini", or the path with ".ini" appended when it contains no ".exe".
QString settingsPathFor(const QString &exePath);

// The value of `key` in `section`, or `defaultValue` when the file, the section or the key
// is missing.
QString iniRead(const QString &path, const QString &section, const QString &key,
                const QString &defaultValue = QString());

// Sets `key` in `section` to `value`, creating the file, the section or the key as needed;
// the file is not touched when it holds that value already.
// Fails (and changes nothing) when the file cannot be written, or when a name or the value
// holds a line break, or a name is empty or could not be read back (a key with '=', a
// section with ']').
bool iniWrite(const QString &path, const QString &section, const QString &key, const QString &value);

// Puts `content` into the file at `path` unless it already holds exactly that (a settings
// file on a terminal's flash disk is rewritten only when something changed). The new text
// goes to a side file first; the old file is replaced only when every write, the flush and
// the size check succeeded, so a full disk or a failing device never leaves a worse file
// than there was. False when the file could not be written (it is then as it was).
bool replaceFileContents(const QString &path, const QByteArray &content);
