#include "robot/Brain.h"

#include "rules/Scoring.h"

#include <algorithm>

namespace wordmoot::robot {

Brain::Brain(const WordList& words, LeaveTable leaves)
    : words_(words)
    , graph_(words.words())
    , generator_(graph_)
    , leaves_(std::move(leaves)) {}

bool Brain::knowsEveryWord(const Grid& before, const Play& play) const {
    if (play.empty() || checkPlacement(before, play) != PlacementFault::None)
        return false;
    const auto known = [&](const Play& named) {
        const auto formed = formedWords(before, named);
        return std::all_of(formed.begin(), formed.end(),
                           [&](const FormedWord& w) { return words_.contains(w.letters); });
    };
    // Each unnamed blank tried as every letter, depth first.
    Play named = play;
    std::vector<std::size_t> blanks;
    for (std::size_t i = 0; i < named.size(); ++i)
        if (named[i].tile.blank && named[i].tile.letter == kUnnamedBlank)
            blanks.push_back(i);
    const auto tryFrom = [&](const auto& self, std::size_t k) -> bool {
        if (k == blanks.size())
            return known(named);
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            named[blanks[k]].tile.letter = letter;
            if (self(self, k + 1))
                return true;
        }
        return false;
    };
    return tryFrom(tryFrom, 0);
}

} // namespace wordmoot::robot
