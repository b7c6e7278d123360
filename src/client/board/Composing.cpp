#include "client/board/Composing.h"

#include "shared/protocol/Commands.h"

namespace wordmoot::composing {

void layTile(ClientState& state, int slot, int column, int row, const QString& letter) {
    Placement& laid = state.placement[slot];
    const QString shown = !letter.isEmpty() ? letter
                          : laid.composed() ? laid.letter
                                            : state.rack[slot].tile;
    laid = {column, row, shown, false};
    state.rack[slot].placed = true;
}

void returnTile(ClientState& state, int slot) {
    state.placement[slot] = {};
    state.rack[slot].placed = false;
}

bool cellTaken(const ClientState& state, int column, int row, int slot) {
    const QString& cell = state.board[column][row];
    if (holdsTile(cell))
        return true;
    for (int other = 0; other < kRackSlots; ++other) {
        const Placement& laid = state.placement[other];
        if (other != slot && !laid.letter.isEmpty() && laid.column == column && laid.row == row)
            return true;
    }
    return false;
}

namespace {
// The tiles laid on the board, as PLAY lists them.
std::vector<TileEntry> laidTiles(const ClientState& state) {
    std::vector<TileEntry> tiles;
    for (int slot = 0; slot < kRackSlots; ++slot) {
        const Placement& laid = state.placement[slot];
        if (laid.letter.isEmpty())
            continue;
        const bool blank = state.rack[slot].tile == QLatin1String("_");
        const QString letter = blank ? laid.letter : tileLetters(laid.letter);
        tiles.push_back({laid.column, laid.row, command::commandByte(letter.front())});
    }
    return tiles;
}
} // namespace

QString takePlay(ClientState& state) {
    const std::vector<TileEntry> tiles = laidTiles(state);
    for (int slot = 0; slot < kRackSlots; ++slot)
        if (!state.placement[slot].letter.isEmpty()) {
            state.placement[slot].submitted = true;
            state.rack[slot].placed = true;
        }
    return tiles.empty() ? QString() : command::play(tiles);
}

QString previewLine(const ClientState& state) {
    const std::vector<TileEntry> tiles = laidTiles(state);
    return tiles.empty() ? QString() : command::preview(tiles);
}

QString exchangeLine(const QString& boxText) {
    return boxText.isEmpty() ? QString() : command::exchange(tileLetters(boxText));
}

void sortRack(ClientState& state) {
    // An insertion-style pass: each slot is compared with every slot before
    // it, skipping laid slots on either side.
    for (int i = 0; i < kRackSlots; ++i) {
        for (int j = 0; j < i; ++j) {
            RackSlot& later = state.rack[i];
            RackSlot& earlier = state.rack[j];
            if (later.placed || earlier.placed)
                continue;
            if (later.tile < earlier.tile)
                std::swap(later.tile, earlier.tile);
        }
    }
}

} // namespace wordmoot::composing
