#pragma once

#include "client/session/ClientState.h"
#include "client/connection/CommandSink.h"

#include <QString>

namespace wordmoot {

// The user chose an entry of the game list: create a game, join one that is
// forming, or watch one in play (which also asks for its board).
void chooseGame(const QString& entry, ClientState& state, CommandSink& server);

} // namespace wordmoot
