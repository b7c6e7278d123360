#pragma once

#include "server/accounts/Names.h"
#include "shared/protocol/ReplyCode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace wordmoot::server {

class Room;

// Someone on the server: a person on a connection, or a robot the server
// plays itself. The lobby and the rooms reach each through this alone, so
// a test runs them with scripted users and no socket.
class User {
public:
    virtual ~User() = default;

    // One reply line: the code, a blank and the text.
    virtual void send(ReplyCode code, QByteArrayView text = {}) = 0;
    // Ends the user's session once what was sent has gone out; the lobby's
    // remove() follows from the event loop.
    virtual void close() = 0;
    // Whether it is ending: nothing more reaches it.
    virtual bool isClosing() const = 0;

    QByteArray name;         // empty until a name is taken
    Room* room = nullptr;    // the game it is in; none in the lobby
    bool listWanted = false; // asked for the game list before taking a name
    // Given on arrival and never given again: an answer that comes later
    // (from the store, a password hash) finds its user by it, or finds it gone.
    quint64 serial = 0;
    bool identified = false; // has proved it owns the registered name it holds
    int storeAsks = 0;       // answers from the store it waits for
    QByteArray address;      // where it connects from; empty for a robot
    bool quitting = false;   // said QUIT: its seat is not kept for it

    // The client's observer flag as the membership replies sent to it have
    // set it: false at first and after 1190 and 2021, true after 1120, 5020
    // and 2020; nullopt where the client may have set it itself (it does
    // when it chooses a game the list shows as in play).
    std::optional<bool> watching = false;

    // Notes what a membership reply sent to it makes of its client's
    // observer flag. Every way into or out of a seat says it with one of them.
    void noteRole(ReplyCode code) {
        if (code == ReplyCode::BecameObserver || code == ReplyCode::CannotPlay ||
            code == ReplyCode::WatchingGameInPlay)
            watching = true;
        else if (code == ReplyCode::JoinedAsPlayer || code == ReplyCode::TookOverSeat)
            watching = false;
    }

    // What its name looks like (accounts::lookOf), worked out once a name.
    const QString& look() const {
        if (lookedAt_ != name)
            look_ = accounts::lookOf(lookedAt_ = name);
        return look_;
    }

private:
    mutable QByteArray lookedAt_;
    mutable QString look_;
};

} // namespace wordmoot::server
