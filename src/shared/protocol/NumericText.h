#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace wordmoot {

// The number at the start of a text: leading blanks skipped, an optional
// sign, digits, optionally a full stop and more digits, up to the first
// character that cannot continue it. 0 when the text starts with no number
// or with one too large for a double; never infinite.
// Versions, coordinates, counts, ports and reply codes are all read this way.
double numericValue(QStringView text);
// The same number, or nullopt when the text does not start with one (or with
// one too large for a double).
std::optional<double> leadingNumber(QStringView text);

// A whole number rounded half to even, clamped to the range of qint64.
qint64 wholeNumber(double value);

// A number as shown to the user: a blank before a non-negative number
// (" 3", " 10", " 0.6"), a minus sign before a negative one.
QString numberText(double value);

} // namespace wordmoot
