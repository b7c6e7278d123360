// The replies that keep the score list: the players, their scores and their
// changes of nickname.
#include "shared/protocol/Replies.h"
#include "client/session/ReplyHandlers.h"

#include <QStringBuilder>

namespace wordmoot {

void ReplyHandlers::players(QStringView argument) {
    scores_.clear();
    client_.view.addmsg(QStringLiteral("*** Players in this game: ") % argument);
}

void ReplyHandlers::score(QStringView argument) {
    if (const auto entry = reply::parseScore(argument))
        scores_.setScore(entry->player, entry->count, entry->score, entry->status);
}

void ReplyHandlers::nicknameChanged(QStringView argument) {
    const auto change = reply::parseNicknameChanged(argument);
    if (!change)
        return;
    const QString newNick = change->newName.toString();
    if (change->oldName.compare(client_.state.nickname, Qt::CaseInsensitive) == 0)
        adoptNickname(client_, newNick);
    scores_.rename(change->oldName, newNick);
}

} // namespace wordmoot
