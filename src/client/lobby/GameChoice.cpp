#include "client/lobby/GameChoice.h"

#include "shared/protocol/Commands.h"
#include "shared/protocol/NumericText.h"

namespace wordmoot {

void chooseGame(const QString& entry, ClientState& state, CommandSink& server) {
    // The game number is the single character the entry starts with.
    const QString game = entry.left(1);
    if (game == QLatin1String("0")) {
        server.send(command::newGame());
        return;
    }
    server.send(command::join(static_cast<int>(numericValue(game))));
    // "players," never has a blank after "play", so only games in play match.
    if (entry.contains(QLatin1String("play "))) {
        state.started = true;
        state.observer = true;
        server.send(command::refresh());
    }
}

} // namespace wordmoot
