#include "server/CommandRegistry.h"

#include "server/User.h"
#include "shared/protocol/ReplyCode.h"

#include <QByteArrayList>

#include <algorithm>

namespace wordmoot::server {

void CommandRegistry::add(const char* word, From from, const char* help, Handler handler) {
    commands_.push_back({word, from, help, std::move(handler)});
}

const CommandRegistry::Command* CommandRegistry::find(const QByteArray& word) const {
    const auto at = std::find_if(commands_.begin(), commands_.end(),
                                 [&](const Command& c) { return c.word == word; });
    return at == commands_.end() ? nullptr : &*at;
}

void CommandRegistry::dispatch(User& u, const QByteArray& word, const QByteArray& argument) const {
    const Command* command = find(word);
    if (u.name.isEmpty() && (!command || command->from != From::Anyone)) {
        if (word == "GLIST") // answered as soon as a name is taken
            u.listWanted = true;
        return u.send(ReplyCode::Notice, "Take a name first: NAME yourname");
    }
    if (!command)
        return u.send(ReplyCode::Notice,
                      "Unknown command " + word.left(40) + ": try " + helpList());
    if (command->from == From::InGame && !u.room)
        return u.send(ReplyCode::Notice, word + " works only in a game: JOIN one first");
    command->handler(u, argument);
}

bool CommandRegistry::isGameCommand(const QByteArray& word) const {
    const Command* command = find(word);
    return command && command->from == From::InGame;
}

QByteArray CommandRegistry::helpList() const {
    QByteArrayList listed;
    for (const Command& c : commands_)
        if (!c.help.isEmpty())
            listed.push_back(c.help);
    return listed.join(", ");
}

} // namespace wordmoot::server
