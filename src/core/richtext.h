#pragma once

// Rich-text boxes of the windows: stored RTF in, RTF out.

#include <QString>

class QTextEdit;

namespace richtext {

// Shows a stored value (RTF or plain text) in the box, replacing what it
// held. The box's undo history starts afresh and it counts as unmodified,
// so an editor that loads a value does not offer to undo the load.
void loadRtf(QTextEdit *edit, const QString &value);

// Sets the whole text, and the text typed afterwards, to one point size and
// leaves no selection (the caret goes to the start).
void setWholeTextPointSize(QTextEdit *edit, qreal pointSize);

// loadRtf() followed by setWholeTextPointSize().
void loadRtf(QTextEdit *edit, const QString &value, qreal pointSize);

// The box's content as RTF, for storing in the database or a file.
QString rtfOf(const QTextEdit *edit);

} // namespace richtext
