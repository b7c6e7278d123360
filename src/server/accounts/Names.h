#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace wordmoot::accounts {

// What a player may be called, and when two names are one. A name is bytes
// of the wire's encoding, ISO 8859-1.

// 1 to 20 characters, each printable and visible: no blank, no control
// byte, no no-break space or soft hyphen; and no pair of bytes that a UTF-8
// terminal would show as one other character (Cyrillic "о" sent as D0 BE).
bool isLegalName(QByteArrayView name);

// A name as names are compared: in any case, "Ann" and "ann" are one.
QByteArray folded(QByteArrayView name);

// What the name looks like, in any case: names with the same look could be
// taken for each other ("Ian" and "lan", "R0bot" and "Robot"). The
// confusables are ICU's (the skeletons of Unicode's security mechanisms).
QString lookOf(QByteArrayView name);

// Whether one name could be taken for the other, or is the other.
bool lookAlike(QByteArrayView a, QByteArrayView b);

// Whether the name is, or looks like, a robot's: "Robot" and a number.
bool isRobotName(QByteArrayView name);

} // namespace wordmoot::accounts
