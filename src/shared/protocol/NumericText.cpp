#include "shared/protocol/NumericText.h"

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
    // Reply codes, coordinates and scores: a few digits and nothing more,
    // exact as a double, read in one pass.
    qint64 whole = 0;
    qsizetype end = 0;
    while (end < text.size() && end < 15 && isAsciiDigit(text[end]))
        whole = whole * 10 + (text[end++].unicode() - u'0');
    if (end > 0 && (end == text.size() || (text[end] != u'.' && !isAsciiDigit(text[end]))))
        return double(whole);

    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    const bool negative = i < n && text[i] == u'-';
    if (i < n && (text[i] == u'+' || negative))
        ++i;
    const qsizetype begin = i;
    while (i < n && isAsciiDigit(text[i]))
        ++i;
    if (i + 1 < n && text[i] == u'.' && isAsciiDigit(text[i + 1]))
        for (++i; i < n && isAsciiDigit(text[i]); ++i) {
        }
    if (i == begin)
        return std::nullopt;
    // The digits as bytes for from_chars.
    std::string number(std::size_t(i - begin), '\0');
    for (qsizetype k = begin; k < i; ++k)
        number[std::size_t(k - begin)] = static_cast<char>(text[k].unicode());

    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to tell from 0 reads as 0; too large for any number
        // counts as no number at all, never as infinity.
        const auto firstNonZero = number.find_first_not_of('0');
        if (firstNonZero != std::string::npos && number[firstNonZero] != '.')
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
    // Whole numbers below 10^15 read the same either way; the integer path
    // spares a tile's value and a score the general conversion.
    const bool whole = std::abs(value) < 1e15 && std::trunc(value) == value;
    const QString digits =
        whole ? QString::number(static_cast<qint64>(value)) : QString::number(value, 'g', 15);
    return value < 0 ? digits : QLatin1Char(' ') + digits;
}

} // namespace wordmoot
