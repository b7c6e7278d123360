#pragma once

#include "robot/Brain.h"
#include "robot/Choice.h"
#include "shared/rules/RecordReader.h"

#include <optional>
#include <string>
#include <vector>

// Every move of a finished game weighed by the champion's engine, from what
// the record holds: the board and the mover's rack before the move, and the
// tiles the mover had not seen (the bag and the others' racks).
namespace wordmoot::analysis {

struct MoveValue {
    int index = 0;            // into the record's moves
    robot::Move best;         // the engine's choice
    std::string bestNotation; // as a record writes it
    double bestValue = 0;     // in points of spread, the engine's measure
    double playedValue = 0;   // the move made, on the same measure
    double lost() const { return bestValue > playedValue ? bestValue - playedValue : 0; }
};

struct Analysis {
    // The players' moves; the end's tiles and turns lost to a challenge are
    // not weighed: nobody chose them.
    std::vector<MoveValue> moves;
};

struct AnalysisFault {
    int line = 0;
    std::string why;
};

// Each move gets `thinkMs` of the engine. A record whose tiles the game does
// not have (more of a letter than the bag holds) is a fault.
std::optional<Analysis> analyse(const robot::Brain& brain, const ReadRecord& record, int thinkMs,
                                AnalysisFault& fault);

// The tiles a mover has not seen: the full bag less the board and the rack;
// nullopt when the board and the rack hold a tile the game has no more of.
std::optional<std::string> unseenTiles(const Grid& board, std::string_view rack);

} // namespace wordmoot::analysis
