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

// The text without the blanks at either end; other white space stays, as the
// server may mean it.
inline QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace wordmoot
