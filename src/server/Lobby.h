#pragma once

#include "protocol/ReplyCode.h"
#include "robot/Brain.h"
#include "rules/WordList.h"
#include "server/ServerOptions.h"

#include <QByteArray>
#include <QObject>

#include <map>
#include <memory>
#include <vector>

namespace wordmoot::server {

class Client;
class Room;

// Everyone connected and every game. Turns each line a client sends into a
// call on the lobby or on the client's game; chat reaches the sender's room.
class Lobby : public QObject {
    Q_OBJECT
public:
    Lobby(ServerOptions options, std::optional<WordList> words, robot::LeaveTable leaves,
          QObject* parent = nullptr);
    ~Lobby() override;

    void admit(Client* client);
    int clientCount() const { return int(clients_.size()); }
    int gameCount() const { return int(rooms_.size()); }

    const ServerOptions& options() const { return options_; }
    const WordList* words() const { return words_ ? &*words_ : nullptr; }
    // What the robots play with: the word list (none: they only exchange and pass).
    const robot::Brain& brain() const { return brain_; }
    // Everyone in the room, or in the lobby for none, in order of arrival.
    std::vector<Client*> in(const Room* room) const;
    void sendTo(const Room* room, ReplyCode code, QByteArrayView text);
    Client* named(QByteArrayView name) const;
    // A room nobody is in any more goes, and its number is free again.
    void roomEmptied(Room* room);

signals:
    // The last client has gone.
    void deserted();

private:
    using Handler = void (Lobby::*)(Client&, const QByteArray&);
    struct Command {
        const char* word;
        Handler handler;
        bool needsName;
    };
    static const Command kCommands[];

    void handle(Client* client, const QByteArray& line);
    void remove(Client* client);

    void name(Client& c, const QByteArray& arg);
    void version(Client& c, const QByteArray& arg);
    void gameList(Client& c, const QByteArray& arg);
    void gameInfo(Client& c, const QByteArray& arg);
    void newGame(Client& c, const QByteArray& arg);
    void join(Client& c, const QByteArray& arg);
    void leave(Client& c, const QByteArray& arg);
    void quit(Client& c, const QByteArray& arg);
    void say(Client& c, const QByteArray& arg);
    void tell(Client& c, const QByteArray& arg);
    void emote(Client& c, const QByteArray& arg);
    void who(Client& c, const QByteArray& arg);
    void beep(Client& c, const QByteArray& arg);
    void check(Client& c, const QByteArray& arg);
    void inGame(Client& c, const QByteArray& line);

    ServerOptions options_;
    std::optional<WordList> words_;
    robot::Brain brain_; // on words_, so declared after it
    std::vector<Client*> clients_;
    std::map<int, std::unique_ptr<Room>> rooms_; // by game number
};

// Whether a name may be taken: 1 to 20 printable bytes, no blanks.
bool isLegalName(QByteArrayView name);

} // namespace wordmoot::server
