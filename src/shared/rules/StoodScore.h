#pragma once

#include "shared/rules/Game.h"

#include <optional>
#include <utility>

namespace wordmoot {

// Listens to a game for the score of the play that stood last, for whoever
// drives a game and checks what it scored (self-play, tests).
class StoodScore : public GameListener {
public:
    void playStands(int, const Play&, int score, const Settlement*) override { score_ = score; }
    // The score of the play that stood since the last call, if one did.
    std::optional<int> take() { return std::exchange(score_, std::nullopt); }

private:
    std::optional<int> score_;
};

} // namespace wordmoot
