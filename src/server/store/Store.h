#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// What the server keeps of its community: accounts (a name and its password
// hash), ratings, and finished games with their records. One interface, one
// implementation in plain SQL for SQLite and PostgreSQL (SqlStore). Every
// call blocks: the server makes them on a worker thread.
namespace wordmoot::store {

struct StoredRating {
    double rating = 1500;
    double deviation = 350;
    double volatility = 0.06;
    int games = 0;
    bool operator==(const StoredRating&) const = default;
};

struct RatedName {
    QByteArray name;
    StoredRating rating;
};

struct GamePlayer {
    QByteArray name;
    int score = 0;
    bool operator==(const GamePlayer&) const = default;
};

// A server process sharing the store with others: a hall.
struct Hall {
    QByteArray name;
    QByteArray address; // where players reach it, host:port
    int players = 0;
    int games = 0;
    qint64 seen = 0; // when it last said it is alive, seconds since 1970
    bool operator==(const Hall&) const = default;
};

// A game in play in a hall, by its number there.
struct LiveKey {
    QByteArray hall;
    int number = 0;
};

// Lines for the journal of a game in play: the first of them its line
// `from` (counting from 0); a journal that begins replaces any older one
// under the key.
struct LiveWrite {
    LiveKey key;
    int from = 0;
    std::vector<QByteArray> lines;
    bool begins = false;
};

// The journal of a game in play: its lines, in the order they were kept,
// from sequence number 0. A journal with a gap stops before it.
struct LiveGame {
    int number = 0;
    std::vector<QByteArray> lines;
    int skipsTo = -1; // the sequence number after the gap, if there is one
};

struct FinishedGame {
    qint64 id = 0; // given by the store
    QDateTime finished;
    std::vector<GamePlayer> players; // in seat order
    QByteArray result;               // "ann won", "a draw", ...
    QByteArray record;               // the .gcg text
    // The journal of the game while it was in play, which goes in the same
    // transaction as the game is kept: a game is never lost between the two.
    std::optional<LiveKey> journal;
};

// A name claimed for a hall: the hall's now, held by another hall alive, or
// not known, the store failing.
struct Claim {
    enum class Outcome { Claimed, Held, Failed };
    Outcome outcome = Outcome::Failed;
    QByteArray hall; // the hall that holds it, when held
    QString why;     // the store's reason, when failed
    bool operator==(const Claim&) const = default;
};

class Store {
public:
    virtual ~Store() = default;

    // Whether the database answers at all: a call that found nothing may
    // have found nothing because it could not ask.
    virtual bool reachable() = 0;
    // Why the last call that failed failed, in the database's words.
    virtual QString lastError() const = 0;

    // The name's password hash; nullopt when the name is not registered.
    virtual std::optional<QByteArray> passwordHash(const QByteArray& name) = 0;
    // False when the name is registered already.
    virtual bool createAccount(const QByteArray& name, const QByteArray& hash) = 0;
    virtual bool setPasswordHash(const QByteArray& name, const QByteArray& hash) = 0;
    // The account and its rating go; its games stay, under the name.
    virtual bool dropAccount(const QByteArray& name) = 0;
    // Every registered name, as it was registered.
    virtual std::vector<QByteArray> accountNames() = 0;

    virtual std::optional<StoredRating> rating(const QByteArray& name) = 0;
    virtual void setRating(const QByteArray& name, const StoredRating& rating) = 0;
    // The best `count` by rating, the most games first among equals.
    virtual std::vector<RatedName> top(int count) = 0;

    // The game, kept with a new id, which it returns (0 when it cannot be),
    // and the players' new ratings, in one transaction.
    virtual qint64 addGame(const FinishedGame& game, const std::vector<RatedName>& rated) = 0;
    // The name's last `count` games, the newest first.
    virtual std::vector<FinishedGame> history(const QByteArray& name, int count) = 0;
    virtual std::optional<FinishedGame> game(qint64 id) = 0;

    // Writes to the journals of games in play, all in one transaction: all
    // or none are kept.
    virtual bool writeLive(const std::vector<LiveWrite>& writes) = 0;
    bool beginLive(const LiveKey& key, const std::vector<QByteArray>& lines) {
        return writeLive({{key, 0, lines, true}});
    }
    bool addLive(const LiveKey& key, int from, const std::vector<QByteArray>& lines) {
        return writeLive({{key, from, lines, false}});
    }
    // The game is over without being kept (nobody played it to an end).
    virtual void endLive(const LiveKey& key) = 0;
    // Drops the journal's lines from sequence number `from` on: those past
    // a gap, which no position can take.
    virtual bool cutLive(const LiveKey& key, int from) = 0;
    // The journals of the hall's games in play, by number.
    virtual std::vector<LiveGame> liveGames(const QByteArray& hall) = 0;

    // Takes the hall for this store's process, for as long as the store is
    // open: one hall, one server. Empty when taken; else why it cannot be
    // (another live process holds it, or the store cannot say).
    virtual QString holdHall(const QByteArray& hall) = 0;
    // The hall says it is alive, with its address, players and games.
    virtual void beat(const Hall& hall) = 0;
    // The hall is gone: its row and the names identified in it.
    virtual void closeHall(const QByteArray& hall) = 0;
    // The halls seen alive at `since` or later, by name.
    virtual std::vector<Hall> halls(qint64 since) = 0;
    // Marks the name as identified in the hall, unless another hall seen at
    // `since` or later holds it.
    virtual Claim claim(const QByteArray& name, const QByteArray& hall, qint64 since) = 0;
    virtual void release(const QByteArray& name, const QByteArray& hall) = 0;
    // The hall seen at `since` or later that holds the name, if any.
    virtual std::optional<QByteArray> holder(const QByteArray& name, qint64 since) = 0;
};

} // namespace wordmoot::store
