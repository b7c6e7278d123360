#include "robot/Brain.h"

#include "shared/rules/Scoring.h"

#include <utility>

namespace wordmoot::robot {

Brain::Brain(const WordList& words, LeaveTable leaves)
    : words_(words)
    , graph_(words.words())
    , generator_(graph_)
    , leaves_(std::move(leaves)) {}

bool Brain::knowsEveryWord(const Grid& before, const Play& play) const {
    return !play.empty() && checkPlacement(before, play) == PlacementFault::None &&
           blanksNamedForWords(before, play, &words_).has_value();
}

} // namespace wordmoot::robot
