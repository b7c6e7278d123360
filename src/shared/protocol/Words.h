#pragma once

#include <QString>

namespace wordmoot {

// Reply fields are separated by single blanks. The first word of a text is
// what stands before its first blank (the whole text when it has none); the
// rest is everything after that blank. Both are views into the text, so
// taking words off the front of a long line one by one costs no copying.
struct Words {
    QStringView first;
    QStringView rest;
    bool hadBlank = false;
};

inline Words splitFirstWord(QStringView text) {
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return {text, {}, false};
    return {text.left(blank), text.mid(blank + 1), true};
}

// The text without the blanks at either end; other white space stays, as the
// server may mean it.
inline QStringView trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace wordmoot
