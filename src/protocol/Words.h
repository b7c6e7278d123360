#pragma once

#include <QString>

namespace wordmoot {

// Reply fields are separated by single blanks. The first word of a text is
// what stands before its first blank (the whole text when it has none); the
// rest is everything after that blank.
struct Words {
    QString first;
    QString rest;
    bool hadBlank = false;
};

inline Words splitFirstWord(const QString& text) {
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return {text, QString(), false};
    return {text.left(blank), text.mid(blank + 1), true};
}

} // namespace wordmoot
