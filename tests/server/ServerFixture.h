#pragma once

#include "server/GameServer.h"
#include "server/Lobby.h"
#include "server/User.h"

#include <QByteArrayList>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

// What a test sees of one user: it sends lines, keeps every line it
// receives, and waits for the one it expects.
class ScriptedUser {
public:
    virtual ~ScriptedUser() = default;
    virtual void send(const QByteArray& line) = 0;
    // The user's connection breaks.
    virtual void vanish() = 0;
    virtual bool isConnected() const = 0;

    // Waits until a line starting with the prefix has come, and returns the
    // first such line not yet taken; everything before it is taken too.
    QByteArray expect(const QByteArray& prefix);
    // How long expect() waits before it gives up.
    int waitMs = 5000;
    // Every line received and not yet taken.
    QByteArrayList pending() const { return lines.mid(taken); }

    // A line from the server: the game panel's 2028 lines go to `table`,
    // apart from the rest, which the tests follow line by line.
    void received(QByteArray line);

    QByteArrayList lines;
    qsizetype taken = 0;
    QByteArrayList table;
};

// A user in the test's process: its lines go straight to the lobby, and the
// lines the server sends it are kept as they would go on the wire.
class LobbyUser : public ScriptedUser, public wordmoot::server::User {
public:
    explicit LobbyUser(wordmoot::server::Lobby& lobby);
    ~LobbyUser() override;

    void send(const QByteArray& line) override;
    void vanish() override;
    bool isConnected() const override { return !closing_; }

    void send(wordmoot::ReplyCode code, QByteArrayView text) override;
    void close() override;
    bool isClosing() const override { return closing_; }

private:
    wordmoot::server::Lobby& lobby_;
    QObject context_; // what the lobby is told later dies with the user
    bool closing_ = false;
    bool removed_ = false;
};

// A user on a loopback socket, for the connection's own behaviour.
class SocketUser : public ScriptedUser {
public:
    explicit SocketUser(quint16 port);
    void send(const QByteArray& line) override { socket.write(line + "\r\n"); }
    void vanish() override { socket.abort(); }
    bool isConnected() const override { return socket.state() == QAbstractSocket::ConnectedState; }

    QTcpSocket socket;

private:
    QByteArray buffer;
};

// The server's lobby in the process, with a small word list, and no socket.
class ServerFixture {
public:
    explicit ServerFixture(wordmoot::server::ServerOptions options = {});
    // A user that has arrived and has no name yet.
    std::unique_ptr<ScriptedUser> arrive();
    // A user that has arrived and has taken the name.
    std::unique_ptr<ScriptedUser> logOn(const QByteArray& name);
    // Two users seated and ready in game 1; the game has begun.
    void startTwoPlayerGame(ScriptedUser& a, ScriptedUser& b);

    static wordmoot::server::ServerOptions options(wordmoot::Judging judging);

    int waitMs = 5000; // the users' expect() wait

    QTemporaryDir folder; // the small word list
    std::unique_ptr<wordmoot::server::Lobby> lobby;
};

// The whole server on a free loopback port.
class SocketFixture {
public:
    explicit SocketFixture(wordmoot::server::ServerOptions options = {});
    std::unique_ptr<SocketUser> logOn(const QByteArray& name);

    QTemporaryDir folder;
    std::unique_ptr<wordmoot::server::GameServer> server;
    quint16 port = 0;
};

// The options a test server runs with: seeded, and with a small word list
// in the folder where the judging needs one.
wordmoot::server::ServerOptions testOptions(wordmoot::server::ServerOptions options,
                                            const QTemporaryDir& folder);

// The user whose turn it is, of two, by the 1020 line each has or has not.
ScriptedUser& onTurn(ScriptedUser& a, ScriptedUser& b);
// Both pass until six scoreless turns end the game; the game over line
// (2017 or 2018) a was sent, "(nothing)" when none came in time.
QByteArray passToTheEnd(ScriptedUser& a, ScriptedUser& b);
// The last line the user received that starts with the prefix; empty for none.
QByteArray lastLine(const ScriptedUser& user, const QByteArray& prefix);
// Where an in-process user seems to connect from.
void setAddress(ScriptedUser& user, const QByteArray& address);
// "PLAY 7,7,X 8,7,Y " with the first two tiles of the user's last rack.
QByteArray openingPlay(const ScriptedUser& user);
