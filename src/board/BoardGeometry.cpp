#include "board/BoardGeometry.h"

#include "protocol/NumericText.h"

#include <array>
#include <cmath>

namespace wordmoot::board {

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

QString valueText(const QString& tile) {
    const auto value = tile.isEmpty() ? std::nullopt : letterValue(tile[0]);
    return value ? numberText(*value) : QStringLiteral("0");
}

QRect cellRect(int column, int row) {
    return {kBoardLeft + column * kCellSize, kBoardTop + row * kCellSize, kCellSize, kCellSize};
}

QRect slotRect(int slot) {
    return {kBoardLeft + slot * kCellSize, kRackTop, kCellSize, kCellSize};
}

QPoint cellTileOrigin(int column, int row) {
    return cellRect(column, row).topLeft() + QPoint(kInset, kInset);
}

QPoint slotTileOrigin(int slot) {
    return slotRect(slot).topLeft() + QPoint(kInset, kInset);
}

std::optional<QPoint> cellAt(double x, double y) {
    // Rounded half to even, then divided with the fraction dropped toward
    // zero: a drop in the margin left of or above the grid lands in column 0
    // or row 0.
    const auto index = [](double offset) {
        return static_cast<long long>(std::nearbyint(offset)) / kCellSize;
    };
    const long long column = index(x - kBoardLeft);
    const long long row = index(y - kBoardTop);
    if (column < 0 || column >= kBoardCells || row < 0 || row >= kBoardCells)
        return std::nullopt;
    return QPoint(static_cast<int>(column), static_cast<int>(row));
}

} // namespace wordmoot::board
