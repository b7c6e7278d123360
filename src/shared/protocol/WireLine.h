#pragma once

#include "shared/protocol/ReplyCode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A line as it leaves either end, and a received line as the client shows it.
namespace wordmoot {

// The one way out of either end: the text, then CR LF. CR, LF and NUL inside
// the text become blanks, so no text can end its line early or smuggle in
// another.
QByteArray wireLine(QByteArrayView text);

// A reply: its code, a blank and the text.
QByteArray replyLine(ReplyCode code, QByteArrayView text);

// The wire's text is ISO 8859-1, a byte a character, as the client reads and
// writes it. The text without its control characters (C0, DEL and C1, ESC
// and BEL among them), so that what one peer says cannot drive another's
// terminal.
QByteArray withoutControls(QByteArrayView text);

// One command: one byte per character in the 8-bit character set, a
// character with no 8-bit byte as one "?", then out as every line goes.
QByteArray encodeCommandLine(const QString& command);

// One received line as text: every byte is the 8-bit character of that code,
// except NUL, which cannot be shown and becomes U+FFFD.
QString decodeServerLine(QByteArrayView line);

} // namespace wordmoot
