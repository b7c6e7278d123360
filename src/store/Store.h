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

struct FinishedGame {
    qint64 id = 0; // given by the store
    QDateTime finished;
    std::vector<GamePlayer> players; // in seat order
    QByteArray result;               // "ann won", "a draw", ...
    QByteArray record;               // the .gcg text
};

class Store {
public:
    virtual ~Store() = default;

    // The name's password hash; nullopt when the name is not registered.
    virtual std::optional<QByteArray> passwordHash(const QByteArray& name) = 0;
    // False when the name is registered already.
    virtual bool createAccount(const QByteArray& name, const QByteArray& hash) = 0;
    virtual bool setPasswordHash(const QByteArray& name, const QByteArray& hash) = 0;
    // The account, its rating and its name on games go; the games stay.
    virtual bool dropAccount(const QByteArray& name) = 0;

    virtual std::optional<StoredRating> rating(const QByteArray& name) = 0;
    virtual void setRating(const QByteArray& name, const StoredRating& rating) = 0;
    // The best `count` by rating, the most games first among equals.
    virtual std::vector<RatedName> top(int count) = 0;

    // The game, kept with a new id, which it returns.
    virtual qint64 addGame(const FinishedGame& game) = 0;
    // The name's last `count` games, the newest first.
    virtual std::vector<FinishedGame> history(const QByteArray& name, int count) = 0;
    virtual std::optional<FinishedGame> game(qint64 id) = 0;
};

} // namespace wordmoot::store
