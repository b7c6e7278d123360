#pragma once

#include "shared/rules/Tiles.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A game record (.gcg, as GameRecord writes it) read back: the players, and
// every move with the board and the mover's rack as they were before it.
namespace wordmoot {

struct ReadMove {
    // LostTurn: a pass noted as a turn lost for challenging a valid play.
    enum class Kind { Play, Exchange, Pass, TakenBack, LostTurn, End };
    Kind kind = Kind::Pass;
    int line = 0; // in the file, from 1
    int seat = 0;
    std::string rack;     // before the move, blanks as kUnnamedBlank
    std::string notation; // as the record writes it
    Play play;            // a play, or a play taken back: the tiles it laid
    std::string tiles;    // an exchange: the tiles given back
    int score = 0;
    int total = 0;
    Grid before; // the board the move was made on
};

struct ReadRecord {
    std::vector<std::string> names;
    std::vector<ReadMove> moves;
};

struct RecordFault {
    int line = 0; // 0: the file as a whole
    std::string why;
};

// The record, or the first line that is not one and why. A play must lie on
// the board, its new tiles on empty squares and its "." on laid ones, and
// come from the mover's rack; a play taken back ("--") leaves the board.
// What the words are and what they score is not judged.
struct RecordReading {
    std::optional<ReadRecord> record;
    RecordFault fault;
};
RecordReading readRecord(std::string_view text);

// The tiles of a play written as "8H CA.T" (across row 8 from column H) or
// "H8 ..." (down), "." for a tile already on the board, a blank in lower case
// or "?"; nullopt when it does not fit the board.
std::optional<Play> playOfNotation(const Grid& before, std::string_view notation);

} // namespace wordmoot
