#include "client/board/BoardGeometry.h"

#include "shared/protocol/NumericText.h"

#include <cmath>

namespace wordmoot::board {

bool namedBlank(QStringView tile) {
    return tile.size() == 1 && tile.front() >= u'a' && tile.front() <= u'z';
}

QString valueText(const QString& tile) {
    if (namedBlank(tile))
        return {};
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
