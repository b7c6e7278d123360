#pragma once

#include "shared/rules/Tiles.h"
#include "shared/rules/WordList.h"

#include <optional>
#include <string>
#include <vector>

// Where a play may lie, the words it forms and what it scores. Plain
// functions on the board before the play and the tiles it lays.
namespace wordmoot {

inline constexpr int kAllTilesBonus = 50; // for laying all seven tiles of a rack

enum class PlacementFault {
    None,
    NoTiles,
    OffBoard,
    CellTaken,
    SameCellTwice,
    NotInLine, // neither one row nor one column
    Gap,       // an empty cell between the laid tiles
    FirstOffCentre,
    FirstTooShort, // the first play lays a single tile
    NotTouching,   // no laid tile is next to a tile already there
};

// The first fault of the tiles' cells (off the board, taken, twice), then of
// their placement; None for a play that may stand wherever words allow.
PlacementFault checkPlacement(const Grid& board, const Play& play);
// Whether the fault concerns the cells themselves rather than their shape.
bool isCellFault(PlacementFault fault);
// A short reason in the players' words, e.g. "the tiles are not in one line".
const char* describe(PlacementFault fault);

// One word of two or more letters that a play makes or lengthens.
struct FormedWord {
    std::string letters; // upper case; an unnamed blank is kUnnamedBlank
    int column = 0;      // its first cell
    int row = 0;
    bool across = true;
    int score = 0;
    bool operator==(const FormedWord&) const = default;
};

// The main word first (along the laid tiles), then each cross word in the
// order of the laid tiles. The play must have passed checkPlacement.
std::vector<FormedWord> formedWords(const Grid& board, const Play& play);

// The words a play forms as players read them: the main word, then each
// cross word, ", " between ("QAT, AX"), a blank as cellText shows it. The
// board may hold the play's tiles already (a play that stood) or not. Empty
// when the tiles do not lie as a play may on the board without them.
std::string playWords(const Grid& board, const Play& play);

// The words' scores added up, premiums counting only under laid tiles, and
// the bonus when all seven tiles of a rack are laid.
int scorePlay(const Grid& board, const Play& play);

// The play with its unnamed blanks (kUnnamedBlank) named so that every word
// it forms is in the list (none is without one): the alphabetically first
// such letters, the last blank turning fastest; a blank already named keeps
// its letter. Nullopt when no letters do. The play must have
// passed checkPlacement.
std::optional<Play> blanksNamedForWords(const Grid& board, const Play& play, const WordList* words);

} // namespace wordmoot
