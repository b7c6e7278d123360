#pragma once

#include "server/GameServer.h"

#include <QByteArrayList>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

// One scripted user on a loopback socket: sends lines, keeps every line it
// receives, and waits for the one it expects.
class ScriptedUser {
public:
    explicit ScriptedUser(quint16 port);
    void send(const QByteArray& line) { socket.write(line + "\r\n"); }
    // Waits until a line starting with the prefix has come, and returns the
    // first such line not yet taken; everything before it is taken too.
    QByteArray expect(const QByteArray& prefix);
    // Every line received and not yet taken.
    QByteArrayList pending() const { return lines.mid(taken); }
    bool isConnected() const { return socket.state() == QAbstractSocket::ConnectedState; }

    QTcpSocket socket;
    QByteArrayList lines;
    qsizetype taken = 0;

private:
    QByteArray buffer;
};

// A server in the process on a free port, with a small word list.
class ServerFixture {
public:
    explicit ServerFixture(wordmoot::server::ServerOptions options = {});
    // A user that is connected and has taken the name.
    std::unique_ptr<ScriptedUser> logOn(const QByteArray& name);
    // Two users seated and ready in game 1; the game has begun.
    void startTwoPlayerGame(ScriptedUser& a, ScriptedUser& b);

    static wordmoot::server::ServerOptions options(wordmoot::Judging judging);

    QTemporaryDir folder;
    std::unique_ptr<wordmoot::server::GameServer> server;
    quint16 port = 0;
};

// The user whose turn it is, of two, by the 1020 line each has or has not.
ScriptedUser& onTurn(ScriptedUser& a, ScriptedUser& b);
// "PLAY 7,7,X 8,7,Y " with the first two tiles of the user's last rack.
QByteArray openingPlay(const ScriptedUser& user);
