#pragma once

#include "server/store/Store.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace wordmoot::server {

class CommandRegistry;
class Lobby;
class User;

// This server among the others sharing its store (the halls of one
// community): it says every few seconds that it is alive, with its address,
// players and games; HALLS lists the halls alive; and a registered name is
// held by one hall at a time, the one where it is identified.
class Halls : public QObject {
    Q_OBJECT
public:
    static constexpr int kBeatSeconds = 5;
    // A hall not heard of for this long is gone, and so are its names.
    static constexpr int kAliveSeconds = 3 * kBeatSeconds;

    explicit Halls(Lobby& lobby);

    const QByteArray& name() const { return name_; }
    // Where players reach this hall, once the server listens.
    void setAddress(const QByteArray& address);
    // HALLS.
    void addCommands(CommandRegistry& commands);

    // Holds the name for this hall; `then` hears whether it is this hall's
    // now, another hall's, or not known.
    void claim(const QByteArray& name, std::function<void(store::Claim)> then);
    // The hall alive, other than this one, that holds the name, if any.
    void holder(const QByteArray& name, std::function<void(std::optional<QByteArray>)> then);
    void release(const QByteArray& name);
    // The server ends: its row and its names go.
    void close();

    // Seconds since 1970 by the clock halls agree on.
    static qint64 now();

private:
    void beat();
    void list(User& u, const QByteArray& arg);

    Lobby& lobby_;
    const QByteArray name_;
    QByteArray address_;
    QTimer beat_;
};

} // namespace wordmoot::server
