#pragma once

#include "shared/protocol/ReplyCode.h"
#include "robot/Brain.h"
#include "robot/Choice.h"
#include "robot/ThinkPool.h"
#include "shared/rules/WordList.h"
#include "server/CommandRegistry.h"
#include "server/Journal.h"
#include "server/ServerOptions.h"
#include "server/User.h"
#include "server/store/StoreThread.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QThreadPool>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace wordmoot::server {

class User;
class Room;
class Accounts;
class Halls;
class Standings;

// Everyone on the server and every game. Turns each line a user sends into
// a call on the lobby or on the user's game; chat reaches the sender's room.
// It reaches users through the User interface alone, so it runs without a
// socket.
class Lobby : public QObject {
    Q_OBJECT
public:
    Lobby(ServerOptions options, std::optional<WordList> words, robot::LeaveTable leaves,
          std::unique_ptr<store::StoreThread> store, QObject* parent = nullptr);
    ~Lobby() override;
    // A lobby with the options' word list, leave table and store; null with
    // the reason when one cannot be read or opened.
    static std::unique_ptr<Lobby> open(const ServerOptions& options, QString& error);

    // A user arrives: greeted, and in the lobby until remove().
    void admit(User& user);
    // One line the user sent, without its line end.
    void receive(User& user, const QByteArray& line);
    // What the line costs of the user's allowance, in lines: one that many
    // hear, or whose answer is long, costs two; a move on one's turn nothing.
    double price(const User& user, QByteArrayView line) const;
    // The user is gone: out of its game and the lobby. The user may go once
    // this returns.
    void remove(User& user);
    int userCount() const { return int(users_.size()); }
    int gameCount() const { return int(rooms_.size()); }

    const ServerOptions& options() const { return options_; }
    const WordList* words() const { return words_ ? &*words_ : nullptr; }
    // What the robots play with: the word list (none: they only exchange and pass).
    const robot::Brain& brain() const { return brain_; }
    // Everyone in the room, or in the lobby for none, in order of arrival.
    std::vector<User*> in(const Room* room) const;
    void sendTo(const Room* room, ReplyCode code, QByteArrayView text);
    User* named(QByteArrayView name) const;
    // The user of that serial; null once it has gone.
    User* bySerial(quint64 serial) const { return bySerial_.value(serial); }
    // The user leaves its game for the lobby.
    void backToLobby(User& u);
    // Gives the user another name, told to its room as a rename.
    void rename(User& u, const QByteArray& wanted);

    // Accounts, ratings and finished games, and the other halls, kept in the
    // store on its own thread.
    store::StoreThread& store() { return *store_; }
    // Asks the store on the user's behalf; `answer` gets the result if the
    // user is still there. A user waits for no more than kMostStoreAsks
    // answers at once: beyond, it is told to wait, and false comes back.
    static constexpr int kMostStoreAsks = 4;
    // What a user who asked is told when the store fails: never an empty
    // answer, as if it had nothing.
    static constexpr const char* kStoreUnreachable =
        "The store cannot be reached now: try again later";
    template <class Result>
    bool askFor(User& u, std::function<Result(store::Store&)> job,
                std::function<void(User&, Result)> answer);
    // Whether the user may ask the store more now; told to wait if not.
    bool mayAsk(User& u);
    Accounts& accounts() { return *accounts_; }
    Standings& standings() { return *standings_; }
    Halls& halls() { return *halls_; }
    // The games in play, kept as they go.
    Journal& journal() { return *journal_; }
    // The games the journal holds for this hall, in play again as they were.
    void restoreGames();
    // A room nobody is in any more goes, and its number is free again.
    void roomEmptied(Room* room);

    // Where the robots think, and the champion's hints.
    robot::ThinkPool& thinkPool() { return *thinkPool_; }
    // A number no other robot on the server has had.
    int newRobotId() { return ++robotIds_; }

signals:
    // The last user has gone.
    void deserted();

private:
    // The lobby's own commands, then those of the accounts, the standings,
    // the halls and the rooms.
    void addCommands();
    void name(User& u, const QByteArray& arg);
    void version(User& u, const QByteArray& arg);
    void gameList(User& u, const QByteArray& arg);
    void gameInfo(User& u, const QByteArray& arg);
    void newGame(User& u, const QByteArray& arg);
    void join(User& u, const QByteArray& arg);
    void leave(User& u, const QByteArray& arg);
    void quit(User& u, const QByteArray& arg);
    void say(User& u, const QByteArray& arg);
    void tell(User& u, const QByteArray& arg);
    void emote(User& u, const QByteArray& arg);
    void who(User& u, const QByteArray& arg);
    void beep(User& u, const QByteArray& arg);
    void check(User& u, const QByteArray& arg);
    void stats(User& u, const QByteArray& arg);
    // Someone else whose name looks like the name.
    const User* lookingLike(const QByteArray& name, const User& u) const;
    // Why the user may not take the name, because of a seat; empty if it may.
    QByteArray seatHolds(const User& u, const QByteArray& name) const;
    // Lines received in the last minute, for STATS.
    void countLine();
    int linesLastMinute();
    std::size_t lineSecondNow();

    ServerOptions options_;
    CommandRegistry commands_;
    std::optional<WordList> words_;
    robot::Brain brain_; // on words_, so declared after it
    std::vector<User*> users_;
    QHash<quint64, User*> bySerial_;
    quint64 serials_ = 0;
    std::map<int, std::unique_ptr<Room>> rooms_; // by game number
    int robotIds_ = 0;
    QElapsedTimer upSince_;
    std::array<int, 60> linesPerSecond_{}; // the last minute's, by second
    qint64 lineSecond_ = 0;                // the second the last line came in
    // The store's answers go to these four, so the store goes before them.
    std::unique_ptr<Journal> journal_;
    std::unique_ptr<Halls> halls_;
    std::unique_ptr<Accounts> accounts_;
    std::unique_ptr<Standings> standings_;
    std::unique_ptr<store::StoreThread> store_;
    // Last, so that it goes first: it stops and waits for the thinks that
    // read brain_.
    std::unique_ptr<robot::ThinkPool> thinkPool_;
};

template <class Result>
bool Lobby::askFor(User& u, std::function<Result(store::Store&)> job,
                   std::function<void(User&, Result)> answer) {
    if (!mayAsk(u))
        return false;
    ++u.storeAsks;
    store_->ask<Result>(this, std::move(job),
                        [this, serial = u.serial, answer = std::move(answer)](Result result) {
                            User* still = bySerial(serial);
                            if (!still)
                                return;
                            --still->storeAsks;
                            if (!still->isClosing())
                                answer(*still, std::move(result));
                        });
    return true;
}

} // namespace wordmoot::server
