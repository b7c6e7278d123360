#include "server/accounts/Names.h"

#include <unicode/uspoof.h>

#include <algorithm>

namespace wordmoot::accounts {

namespace {
bool isVisible(unsigned char byte) {
    return (byte > 0x20 && byte < 0x7f) || (byte > 0xa0 && byte != 0xad);
}

// Whether the bytes from `at` on make a whole UTF-8 character of two to
// four bytes, which a UTF-8 terminal shows as one other character.
bool readsAsUtf8(QByteArrayView name, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(name[i]); };
    const int length = byte(at) < 0xc2 ? 0 : byte(at) < 0xe0 ? 2 : byte(at) < 0xf0 ? 3
                                         : byte(at) < 0xf5 ? 4 : 0;
    if (length == 0 || at + length > name.size())
        return false;
    for (qsizetype i = at + 1; i < at + length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xbf)
            return false;
    return true;
}

// One checker for every thread and the whole run: ICU lets threads share
// a checker that none of them changes. Null if ICU has no data for it.
const USpoofChecker* checker() {
    static const USpoofChecker* const shared = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker* opened = uspoof_open(&status);
        return U_SUCCESS(status) ? opened : nullptr;
    }();
    return shared;
}
} // namespace

bool isLegalName(QByteArrayView name) {
    if (name.isEmpty() || name.size() > 20)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i)
        if (!isVisible(static_cast<unsigned char>(name[i])) || readsAsUtf8(name, i))
            return false;
    return true;
}

QByteArray folded(QByteArrayView name) {
    return name.toByteArray().toLower();
}

QString lookOf(QByteArrayView name) {
    const QString text = QString::fromLatin1(name);
    UErrorCode status = U_ZERO_ERROR;
    // A character's skeleton is a few characters at most.
    QString skeleton(text.size() * 8 + 8, Qt::Uninitialized);
    const int32_t length =
        uspoof_getSkeleton(checker(), 0, reinterpret_cast<const UChar*>(text.utf16()),
                           int32_t(text.size()), reinterpret_cast<UChar*>(skeleton.data()),
                           int32_t(skeleton.size()), &status);
    if (U_FAILURE(status))
        return text.toCaseFolded();
    skeleton.truncate(length);
    return skeleton.toCaseFolded();
}

bool lookAlike(QByteArrayView a, QByteArrayView b) {
    return folded(a) == folded(b) || lookOf(a) == lookOf(b);
}

bool isRobotName(QByteArrayView name) {
    static const QString robot = lookOf("Robot");
    static const QString digits = [] {
        QString looks;
        for (char digit = '0'; digit <= '9'; ++digit)
            looks += lookOf(QByteArrayView(&digit, 1));
        return looks;
    }();
    const QString look = lookOf(name);
    return look.startsWith(robot) &&
           std::all_of(look.begin() + robot.size(), look.end(),
                       [](QChar c) { return digits.contains(c); });
}

} // namespace wordmoot::accounts
