#pragma once

#include <QByteArray>
#include <QString>

namespace wordmoot::bench {

// Every byte one player receives in a whole game on the real server, from
// logging on to the winner: three robots play with the given word list, the
// player chats on each of its turns and passes or exchanges. The same bytes
// every run; empty when the game could not be played to its end.
QByteArray recordGameTrace(const QString& words);

} // namespace wordmoot::bench
