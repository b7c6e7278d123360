#include "shared/rules/Board.h"

#include <array>

namespace wordmoot {

namespace {
// One row per line of the board, top to bottom: T triple word, D double word,
// t triple letter, d double letter. The map is symmetric about both diagonals.
constexpr std::array<const char*, kBoardCells> kPremiumRows = {
    "T..d...T...d..T", //
    ".D...t...t...D.", //
    "..D...d.d...D..", //
    "d..D...d...D..d", //
    "....D.....D....", //
    ".t...t...t...t.", //
    "..d...d.d...d..", //
    "T..d...D...d..T", //
    "..d...d.d...d..", //
    ".t...t...t...t.", //
    "....D.....D....", //
    "d..D...d...D..d", //
    "..D...d.d...D..", //
    ".D...t...t...D.", //
    "T..d...T...d..T", //
};

constexpr std::array<int, 26> kLetterValues = {
    1, 3, 3, 2, 1, 4, 2, 4, 1, 8, 5, 1, 3, 1, 1, 3, 10, 1, 1, 1, 1, 4, 4, 8, 4, 10,
};
} // namespace

Premium premium(int column, int row) {
    switch (kPremiumRows[row][column]) {
    case 'T':
        return Premium::TripleWord;
    case 'D':
        return Premium::DoubleWord;
    case 't':
        return Premium::TripleLetter;
    case 'd':
        return Premium::DoubleLetter;
    default:
        return Premium::Plain;
    }
}

std::optional<int> letterValue(QChar letter) {
    const char16_t c = letter.unicode();
    if (c >= u'a' && c <= u'z')
        return kLetterValues[c - u'a'];
    if (c >= u'A' && c <= u'Z')
        return kLetterValues[c - u'A'];
    return std::nullopt;
}

} // namespace wordmoot
