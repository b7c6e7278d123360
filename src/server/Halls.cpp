#include "server/Halls.h"

#include "shared/protocol/ReplyCode.h"
#include "server/CommandRegistry.h"
#include "server/Lobby.h"
#include "server/User.h"

#include <QDateTime>

namespace wordmoot::server {

using store::Store;

namespace {
QByteArray counted(int count, const char* thing) {
    return QByteArray::number(count) + ' ' + thing + (count == 1 ? "" : "s");
}
} // namespace

Halls::Halls(Lobby& lobby)
    : lobby_(lobby)
    , name_(lobby.options().hall.toUtf8())
    , address_(lobby.options().hallAddress.toUtf8()) {
    // A hall that ended without closing (a crash) left names it held: they
    // are free again as it starts.
    lobby_.store().run([hall = name_](Store& store) { store.closeHall(hall); });
    beat();
    beat_.setInterval(kBeatSeconds * 1000);
    connect(&beat_, &QTimer::timeout, this, &Halls::beat);
    beat_.start();
}

qint64 Halls::now() {
    return QDateTime::currentSecsSinceEpoch();
}

void Halls::setAddress(const QByteArray& address) {
    if (lobby_.options().hallAddress.isEmpty())
        address_ = address;
    beat();
}

void Halls::beat() {
    const store::Hall hall{name_, address_, lobby_.userCount(), lobby_.gameCount(), now()};
    lobby_.store().run([hall](Store& store) { store.beat(hall); });
}

void Halls::addCommands(CommandRegistry& commands) {
    commands.add<Halls>(*this, {{"HALLS", CommandRegistry::From::Named, "", &Halls::list}});
}

void Halls::list(User& u, const QByteArray&) {
    using Open = std::optional<std::vector<store::Hall>>;
    lobby_.askFor<Open>(
        u,
        [since = now() - kAliveSeconds](Store& store) -> Open {
            std::vector<store::Hall> halls = store.halls(since);
            if (halls.empty() && !store.reachable())
                return std::nullopt;
            return halls;
        },
        [this](User& asker, Open open) {
            if (!open)
                return asker.send(ReplyCode::Notice, Lobby::kStoreUnreachable);
            const std::vector<store::Hall>& halls = *open;
            asker.send(ReplyCode::Notice,
                        QByteArray::number(qsizetype(halls.size())) +
                            (halls.size() == 1 ? " hall is open:" : " halls are open:"));
            for (const store::Hall& hall : halls)
                asker.send(ReplyCode::Notice,
                            hall.name + (hall.name == name_ ? " (here)" : "") + " at " +
                                (hall.address.isEmpty() ? "no address" : hall.address) + ": " +
                                counted(hall.players, "user") + ", " +
                                counted(hall.games, "game"));
        });
}

void Halls::claim(const QByteArray& name, std::function<void(store::Claim)> then) {
    lobby_.store().ask<store::Claim>(
        this,
        [name, hall = name_, since = now() - kAliveSeconds](Store& store) {
            return store.claim(name, hall, since);
        },
        std::move(then));
}

void Halls::holder(const QByteArray& name, std::function<void(std::optional<QByteArray>)> then) {
    lobby_.store().ask<std::optional<QByteArray>>(
        this,
        [name, hall = name_, since = now() - kAliveSeconds](Store& store) {
            std::optional<QByteArray> held = store.holder(name, since);
            return held == hall ? std::nullopt : held;
        },
        std::move(then));
}

void Halls::release(const QByteArray& name) {
    lobby_.store().run([name, hall = name_](Store& store) { store.release(name, hall); });
}

void Halls::close() {
    beat_.stop();
    lobby_.store().run([hall = name_](Store& store) { store.closeHall(hall); });
}

} // namespace wordmoot::server
