#pragma once

#include <QByteArray>
#include <QString>

namespace rtf {

// Code page that a font's \fcharset stands for; 0 means "the document's own
// code page" (ANSI and DEFAULT charsets, and charsets we do not know).
int codePageForCharset(int charset);

// Decodes bytes written in a Windows/DOS code page. 1250, 1251, 1252 and 866
// come from our own tables, so Cyrillic decodes the same on every Qt build;
// other code pages go through Qt's converters where the build has them, and
// Latin-1 is the last resort.
QString decodeCodePage(const QByteArray &bytes, int codePage);

} // namespace rtf
