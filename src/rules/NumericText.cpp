#include "rules/NumericText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace wordmoot {

namespace {
bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}
} // namespace

double numericValue(QStringView text) {
    return leadingNumber(text).value_or(0);
}

std::optional<double> leadingNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    std::string number;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        number += static_cast<char>(text[i++].unicode());
    const std::size_t signLength = number.size();
    while (i < n && isAsciiDigit(text[i]))
        number += static_cast<char>(text[i++].unicode());
    if (i + 1 < n && text[i] == u'.' && isAsciiDigit(text[i + 1])) {
        number += '.';
        for (++i; i < n && isAsciiDigit(text[i]); ++i)
            number += static_cast<char>(text[i].unicode());
    }
    if (number.size() == signLength)
        return std::nullopt;
    const bool negative = signLength == 1 && number[0] == '-';
    double value = 0;
    const char* begin = number.data() + signLength;
    const auto result = std::from_chars(begin, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to tell from 0 reads as 0; too large for any number
        // counts as no number at all, never as infinity.
        const bool wholePartZero = number.find_first_not_of('0', signLength) == std::string::npos ||
                                   number[number.find_first_not_of('0', signLength)] == '.';
        if (!wholePartZero)
            return std::nullopt;
        value = 0;
    }
    return negative ? -value : value;
}

qint64 wholeNumber(double value) {
    // Beyond this every double is whole and the cast would overflow.
    constexpr double limit = 9.0e18;
    if (std::isnan(value))
        return 0;
    if (value >= limit)
        return static_cast<qint64>(limit);
    if (value <= -limit)
        return -static_cast<qint64>(limit);
    return static_cast<qint64>(std::nearbyint(value));
}

QString numberText(double value) {
    const QString digits = QString::number(value, 'g', 15);
    return value < 0 ? digits : QLatin1Char(' ') + digits;
}

} // namespace wordmoot
