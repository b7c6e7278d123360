#pragma once

#include "shared/rules/Board.h"
#include "client/session/LastPlay.h"

#include <QString>
#include <QStringList>

#include <array>

namespace wordmoot {

// One rack slot: its tile ("_" is a blank, empty text an empty slot) and
// whether the tile lies on the board as part of the play being composed.
struct RackSlot {
    QString tile;
    bool placed = false;
};

// Where a rack slot's tile lies on the board and the letter it shows there:
// the rack tile's own, or for a blank named from the keyboard the named
// letter in lower case. The column and row only mean something while the
// letter is not empty. Once the play has gone to the server its tiles are
// hidden until the answer, and the letter is kept so that the same play can
// be sent again.
struct Placement {
    int column = 0;
    int row = 0;
    QString letter;
    bool submitted = false;

    // Laid on the board in the play being composed, not yet sent.
    bool composed() const { return !letter.isEmpty() && !submitted; }
};

// Whether a board cell as the server sent it holds a tile: a cell holds one
// character or none, and "." is an empty square.
inline bool holdsTile(QStringView cell) {
    return !cell.isEmpty() && cell.front() != u'.';
}

// Everything the client knows about its session. The server owns the game;
// this is only the last position it sent and the play being composed.
struct ClientState {
    bool started = false;  // the joined game was already under way
    bool observer = false; // the user watches rather than plays
    bool ingame = false;   // seated or watching
    // READY went out (the player question's Yes, or typed) since the user
    // joined, and no 1190 has answered it yet: that 1190 asks nothing again.
    bool seatAsked = false;
    // The robots' levels the server seats on request in the game the user
    // has just made, weakest first (1140 before 1180); empty otherwise.
    QStringList robotLevels;
    // The server has shown it takes the commands the game panel sends
    // (START, ROBOT, HINT): it offered robots, or sent the panel's lines.
    bool panelServer = false;
    QString nickname;

    // board[column][row], one character per cell as the server sent it.
    std::array<std::array<QString, kBoardCells>, kBoardCells> board;
    std::array<RackSlot, kRackSlots> rack;
    std::array<Placement, kRackSlots> placement;
    LastPlay lastPlay; // marked on the board until the next play

    // Every rack tile goes back to the rack: the play being composed, or the
    // one sent, is over.
    void takeBackPlay() {
        for (RackSlot& slot : rack)
            slot.placed = false;
        for (Placement& laid : placement) {
            laid.letter.clear();
            laid.submitted = false;
        }
    }
};

} // namespace wordmoot
