#include "session/GameList.h"

namespace wordmoot {

QString GameList::entryText(const QString& description) {
    // Columns past the end of a short description read as empty text.
    const QString game = description.mid(0, 1);
    const bool forming = description.mid(2, 4) == QLatin1String("FORM");
    return game + QLatin1String(": game ") + game + QLatin1String(" - ") +
           (forming ? QLatin1String("forming - ") : QLatin1String("in play - ")) +
           description.mid(7, 1) + QLatin1String(" players, ") + description.mid(9, 1) +
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
