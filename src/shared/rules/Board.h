#pragma once

#include <QChar>

#include <optional>

// The board and the tiles as every part of the game sees them: the client
// shows them, the server judges and scores plays on them.
namespace wordmoot {

inline constexpr int kBoardCells = 15; // columns and rows of the board
inline constexpr int kRackSlots = 7;
inline constexpr int kCentre = kBoardCells / 2; // the first play covers (7,7)

enum class Premium {
    Plain = 0,
    DoubleLetter = 2,
    TripleLetter = 3,
    DoubleWord = 4,
    TripleWord = 5
};

// The premium square at a cell; both numbers from 0 to kBoardCells - 1.
Premium premium(int column, int row);
// The face value of a letter, in either case; nullopt for anything else.
std::optional<int> letterValue(QChar letter);

} // namespace wordmoot
