#include "client/board/CellNames.h"

#include "client/board/BoardGeometry.h"
#include "client/board/KeyboardPlay.h"

namespace wordmoot::board {

QString cellName(QPoint cell) {
    return QStringLiteral("column %1, row %2").arg(cell.x() + 1).arg(cell.y() + 1);
}

QString squareName(QPoint cell) {
    switch (premium(cell.x(), cell.y())) {
    case Premium::TripleWord:
        return QStringLiteral("triple word square");
    case Premium::DoubleWord:
        return QStringLiteral("double word square");
    case Premium::TripleLetter:
        return QStringLiteral("triple letter square");
    case Premium::DoubleLetter:
        return QStringLiteral("double letter square");
    case Premium::Plain:
        break;
    }
    return QStringLiteral("plain square");
}

QString letterName(const QString& tile) {
    if (namedBlank(tile))
        return QStringLiteral("blank ") + tile.toUpper();
    return tile == QLatin1String("_") ? QStringLiteral("blank") : tile;
}

QString boardTileName(const QString& tile, QPoint cell) {
    return letterName(tile) + QStringLiteral(" on ") + cellName(cell);
}

QString rackTileDescription(const QString& tile) {
    // A named blank shows no value in its corner, and is worth nothing.
    const QString value = namedBlank(tile) ? QStringLiteral("0") : valueText(tile).trimmed();
    return QStringLiteral("worth ") + value;
}

QString boardTileDescription(const QString& tile, QPoint cell) {
    return rackTileDescription(tile) + QStringLiteral(", ") + squareName(cell);
}

QString rackTileName(const QString& tile, int slot) {
    return letterName(tile) + QStringLiteral(" in rack slot %1").arg(slot + 1);
}

QString laidTileName(const QString& tile, QPoint cell) {
    return letterName(tile) + QStringLiteral(" laid on ") + cellName(cell);
}

QString cursorDescription(const ClientState& state, QPoint cell) {
    QString text = cellName(cell) + QStringLiteral(", ") + squareName(cell);
    const QString& letter = state.board[cell.x()][cell.y()];
    if (const auto slot = keyboard::slotOnCell(state, cell))
        text += QStringLiteral(", your ") + letterName(state.placement[*slot].letter) +
                QStringLiteral(" laid");
    else if (holdsTile(letter))
        text += QStringLiteral(", holds ") + letterName(letter);
    else
        text += QStringLiteral(", empty");
    if (state.lastPlay.marks(cell))
        text += QStringLiteral(", last play");
    return text;
}

} // namespace wordmoot::board
