#pragma once

#include "shared/protocol/ReplyCode.h"

#include <QByteArray>
#include <QByteArrayView>

#include <deque>

namespace wordmoot::server {

class User;

// What a room says to the users in it, in order. While a write of the game's
// journal is on its way the lines wait for it (holdUntil), so that nobody
// hears of a move a crash or a failing store could still lose; they go once
// the journal says the write is kept. Only this game waits: the lobby, chat
// and every other game go on.
class Outbox {
public:
    void send(User& u, ReplyCode code, QByteArrayView text = {});
    // What is sent from now on waits for the journal's write of this ticket.
    void holdUntil(quint64 ticket);
    // Every write up to `kept` is kept: what waited for them goes.
    void kept(quint64 kept);
    // The user has left the room: what waits for it goes nowhere.
    void forget(const User& u);
    // Whether lines wait for a write.
    bool holding() const { return !waiting_.empty(); }

private:
    struct Line {
        User* user;
        quint64 ticket;
        ReplyCode code;
        QByteArray text;
    };
    std::deque<Line> waiting_;
    quint64 hold_ = 0; // the ticket what is sent now waits for
    quint64 kept_ = 0; // every write up to it is kept
};

} // namespace wordmoot::server
