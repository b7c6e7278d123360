// The replies that keep the score list: the players, their scores and their
// changes of nickname.
#include "protocol/Words.h"
#include "session/ReplyHandlers.h"

#include <QStringBuilder>

namespace wordmoot {

void ReplyHandlers::players(QStringView argument) {
    scores_.clear();
    client_.view.addmsg(QStringLiteral("*** Players in this game: ") % argument);
}

// "bob 0 12 update": player, count, score and status. A line without the
// player, count and score words is dropped.
void ReplyHandlers::score(QStringView argument) {
    const Words player = splitFirstWord(argument);
    const Words count = splitFirstWord(player.rest);
    const Words score = splitFirstWord(count.rest);
    if (!count.hadBlank || !score.hadBlank)
        return;
    scores_.setScore(player.first, count.first, score.first, score.rest);
}

// "alice alicia ...": a player changed nickname. Without a blank after the
// new name, the rest of the line is the new name.
void ReplyHandlers::nicknameChanged(QStringView argument) {
    const Words oldName = splitFirstWord(argument);
    const Words newName = splitFirstWord(oldName.rest);
    if (!oldName.hadBlank || newName.first.isEmpty())
        return;
    const QString newNick = newName.first.toString();
    if (oldName.first.compare(client_.state.nickname, Qt::CaseInsensitive) == 0)
        adoptNickname(client_, newNick);
    scores_.rename(oldName.first, newNick);
}

} // namespace wordmoot
