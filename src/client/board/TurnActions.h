#pragma once

#include "client/session/ClientView.h"
#include "client/session/GameTable.h"

#include <QString>

// What the turn buttons do. Each sends at most one command; the effects come
// with the server's replies.
namespace wordmoot::turn {

// Sends the play laid on the board, if any; its tiles are hidden until the
// server answers.
void submitPlay(ClientContext& client);
// Asks to exchange the letters of the exchange box; false when the box is
// empty and nothing was sent.
bool exchange(ClientContext& client, const QString& boxText);
// Sorts the tiles in the rack; tiles laid on the board stay in the play.
void sortRack(ClientContext& client);
// Asks a server that keeps the game panel what the tiles laid would make
// (PREVIEW), once for each change of them; with none laid, their worth goes.
void previewPlay(ClientContext& client, GameTable& table);

} // namespace wordmoot::turn
