#include "client/session/GameList.h"

#include "shared/protocol/Replies.h"

namespace wordmoot {

QString GameList::entryText(const QString& description) {
    const reply::GameColumns columns = reply::parseGameDescription(description);
    const QString game = columns.game.toString();
    // A game whose last game has ended reads as finished: choosing it joins
    // it as a forming one (no "play " in the entry), with the player question.
    const QLatin1String state = columns.forming ? QLatin1String("forming - ")
                                : columns.over  ? QLatin1String("finished - ")
                                                : QLatin1String("in play - ");
    return game + QLatin1String(": game ") + game + QLatin1String(" - ") + state +
           columns.players.toString() + QLatin1String(" players, ") + columns.observers.toString() +
           QLatin1String(" observers");
}

void GameList::reset() {
    setStringList({kCreateEntry});
}

void GameList::addGame(const QString& description) {
    const int end = rowCount();
    if (end > kMaxGames)
        return;
    insertRows(end, 1);
    setData(index(end), entryText(description));
}

} // namespace wordmoot
