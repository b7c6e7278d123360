#include "server/Standings.h"

#include "shared/protocol/ReplyCode.h"
#include "server/CommandRegistry.h"
#include "server/Lobby.h"
#include "server/User.h"

#include <QDateTime>

#include <cmath>
#include <map>

namespace wordmoot::server {

using store::Store;
using store::StoredRating;

namespace {

QByteArray whole(double value) {
    return QByteArray::number(qint64(std::lround(value)));
}

QByteArray described(const QByteArray& name, const StoredRating& r) {
    return name + ": rating " + whole(r.rating) + ", deviation " + whole(r.deviation) + ", " +
           QByteArray::number(r.games) + (r.games == 1 ? " rated game" : " rated games");
}

// The name a command asks about: its argument's first word, or the asker.
QByteArray askedName(const User& u, const QByteArray& arg) {
    const QByteArray name = arg.trimmed().split(' ').value(0).left(20);
    return name.isEmpty() ? u.name : name;
}

QByteArray gameLine(const store::FinishedGame& game) {
    QByteArrayList players;
    for (const store::GamePlayer& p : game.players)
        players.push_back(p.name + ' ' + QByteArray::number(p.score));
    return "Game " + QByteArray::number(game.id) + ", " +
           game.finished.toUTC().toString("yyyy-MM-dd HH:mm").toLatin1() + " UTC: " +
           players.join(", ") + ": " + game.result;
}

// What the game counts as for `a` against `b`: 1 a win, 0.5 a draw.
double pairScore(const Standings::Seat& a, const Standings::Seat& b) {
    if (a.won != b.won)
        return a.won ? 1.0 : 0.0;
    if (a.left != b.left)
        return a.left ? 0.0 : 1.0;
    if (a.won || a.score == b.score)
        return 0.5;
    return a.score > b.score ? 1.0 : 0.0;
}

void notices(User& u, const QByteArrayList& lines) {
    for (const QByteArray& line : lines)
        u.send(ReplyCode::Notice, line);
}

} // namespace

Standings::Standings(Lobby& lobby)
    : lobby_(lobby) {}

rating::Rating Standings::robotRating(robot::Level level) {
    switch (level) {
    case robot::Level::Casual:
        return {1000, 50, 0.06};
    case robot::Level::Greedy:
        return {1400, 50, 0.06};
    case robot::Level::Strong:
        return {1700, 50, 0.06};
    case robot::Level::Champion:
        break;
    }
    return {2000, 50, 0.06};
}

void Standings::addCommands(CommandRegistry& commands) {
    using From = CommandRegistry::From;
    commands.add<Standings>(*this, {
        {"RATING", From::Named, "", &Standings::rating},
        {"TOP", From::Named, "", &Standings::top},
        {"HISTORY", From::Named, "", &Standings::history},
        {"RECORD", From::Named, "", &Standings::record},
    });
}

void Standings::tell(quint64 serial, const QByteArrayList& lines) {
    if (User* u = lobby_.bySerial(serial))
        notices(*u, lines);
}

void Standings::gameFinished(std::vector<Seat> seats, QByteArray result, QByteArray record,
                             store::LiveKey journal) {
    store::FinishedGame game{0, QDateTime::currentDateTimeUtc(), {}, result, record, journal};
    for (const Seat& seat : seats)
        game.players.push_back({seat.name, seat.score});
    // Ratings are read, worked out and written on the store's thread, so that
    // two games ending at once each start from the other's result.
    using Told = std::vector<std::pair<quint64, QByteArrayList>>;
    // After the game's journal, whose lines it drops. Not kept, it is tried
    // again with the journal's writes, so that no finished game is lost; once
    // kept, its players hear of it after the game's last lines.
    auto keep = [seats = std::move(seats), game = std::move(game)](Store& store)
        -> std::optional<Told> {
            std::map<std::size_t, StoredRating> before;
            for (std::size_t i = 0; i < seats.size(); ++i)
                if (seats[i].identified)
                    before[i] = store.rating(seats[i].name).value_or(StoredRating{});
            std::vector<store::RatedName> rated;
            Told told;
            for (const auto& [i, old] : before) {
                std::vector<rating::Game> games;
                QByteArrayList robots;
                for (std::size_t j = 0; j < seats.size(); ++j) {
                    if (j == i || (!seats[j].identified && !seats[j].robot))
                        continue;
                    const double score = pairScore(seats[i], seats[j]);
                    rating::Rating opponent;
                    if (seats[j].robot) {
                        opponent = robotRating(*seats[j].robot);
                        robots.push_back(seats[j].name + " counts as a fixed " +
                                         whole(opponent.rating) + " (" +
                                         robot::levelName(*seats[j].robot) + ")");
                    } else {
                        const StoredRating& r = before.at(j);
                        opponent = {r.rating, r.deviation, r.volatility};
                    }
                    games.push_back({opponent, score});
                }
                if (games.empty()) {
                    told.push_back({seats[i].serial, {"Not rated: nobody else here was identified"}});
                    continue;
                }
                const rating::Rating now =
                    rating::rated({old.rating, old.deviation, old.volatility}, games);
                const StoredRating after{now.rating, now.deviation, now.volatility, old.games + 1};
                rated.push_back({seats[i].name, after});
                QByteArrayList lines{"Rated: " + described(seats[i].name, after) + " (was " +
                                     whole(old.rating) + ")"};
                for (const QByteArray& robot : robots)
                    lines.push_back("Rated against " + robot);
                told.push_back({seats[i].serial, lines});
            }
            const qint64 id = store.addGame(game, rated);
            if (!id) // nothing was kept: no rating changed
                return std::nullopt;
            for (const Seat& seat : seats)
                if (!seat.identified)
                    told.push_back({seat.serial, {}});
            for (auto& [serial, lines] : told)
                lines.push_back("This game is kept as game " + QByteArray::number(id));
            return told;
    };
    lobby_.journal().then([this, keep = std::move(keep)](Store& store) -> Journal::Then {
        std::optional<Told> told = keep(store);
        if (!told)
            return std::nullopt;
        return [this, told = std::move(*told)] {
            for (const auto& [serial, lines] : told)
                tell(serial, lines);
        };
    });
}

void Standings::rating(User& u, const QByteArray& arg) {
    const QByteArray name = askedName(u, arg);
    lobby_.askFor<QByteArray>(
        u,
        [name](Store& store) {
            const auto r = store.rating(name);
            return r                    ? described(name, *r)
                   : store.reachable() ? name + " has no rating yet"
                                        : QByteArray(Lobby::kStoreUnreachable);
        },
        [](User& u, QByteArray line) { u.send(ReplyCode::Notice, line); });
}

void Standings::top(User& u, const QByteArray&) {
    lobby_.askFor<QByteArrayList>(
        u,
        [](Store& store) {
            QByteArrayList lines;
            int place = 0;
            for (const store::RatedName& r : store.top(kListed))
                lines.push_back(QByteArray::number(++place) + ". " + described(r.name, r.rating));
            if (lines.isEmpty() && !store.reachable())
                return QByteArrayList{Lobby::kStoreUnreachable};
            lines.prepend(lines.isEmpty() ? "Nobody is rated yet" : "The best rated players:");
            return lines;
        },
        [](User& u, QByteArrayList lines) { notices(u, lines); });
}

void Standings::history(User& u, const QByteArray& arg) {
    const QByteArray name = askedName(u, arg);
    lobby_.askFor<QByteArrayList>(
        u,
        [name](Store& store) {
            QByteArrayList lines;
            for (const store::FinishedGame& game : store.history(name, kListed))
                lines.push_back(gameLine(game));
            if (lines.isEmpty() && !store.reachable())
                return QByteArrayList{Lobby::kStoreUnreachable};
            lines.prepend(lines.isEmpty() ? "No finished games of " + name
                                          : "The last games of " + name + ", the newest first:");
            return lines;
        },
        [](User& u, QByteArrayList lines) { notices(u, lines); });
}

// The record comes as notices, a line of the .gcg text each, between a
// first and a last line that say where it begins and ends.
void Standings::record(User& u, const QByteArray& arg) {
    bool ok = false;
    const qint64 id = arg.trimmed().toLongLong(&ok);
    if (!ok || id <= 0)
        return u.send(ReplyCode::Notice, "RECORD id sends a finished game's record: HISTORY "
                                         "gives the ids");
    lobby_.askFor<QByteArrayList>(
        u,
        [id](Store& store) {
            const auto game = store.game(id);
            const QByteArray which = "game " + QByteArray::number(id);
            if (!game)
                return QByteArrayList{store.reachable() ? "No " + which
                                                        : QByteArray(Lobby::kStoreUnreachable)};
            QByteArrayList lines{"The record of " + which + ":"};
            for (const QByteArray& line : game->record.split('\n'))
                if (!line.trimmed().isEmpty())
                    lines.push_back(line.trimmed());
            lines.push_back("The end of the record of " + which);
            return lines;
        },
        [](User& u, QByteArrayList lines) { notices(u, lines); });
}

} // namespace wordmoot::server
