#pragma once

#include "server/ServerOptions.h"

#include <QObject>
#include <QString>

#include <memory>

class QTcpServer;
class QTimer;

namespace wordmoot::server {

class Lobby;

// The server as a whole: listens, hands each connection to the lobby. Tests
// start one in the process on port 0 and read the port it got.
class GameServer : public QObject {
    Q_OBJECT
public:
    // No more connections than this at once; one more is told so and closed.
    static constexpr int kMostUsers = 2000;

    explicit GameServer(ServerOptions options, QObject* parent = nullptr);
    ~GameServer() override;

    // Loads the word list and listens; false with errorText() when it cannot.
    bool start();
    QString errorText() const { return error_; }
    quint16 port() const;
    QString address() const;
    const Lobby& lobby() const { return *lobby_; }

signals:
    // No client has been connected for --idle-exit seconds.
    void idle();

private:
    void accept();

    ServerOptions options_;
    QTcpServer* listener_;
    std::unique_ptr<Lobby> lobby_;
    QTimer* idleTimer_;
    QString error_;
};

} // namespace wordmoot::server
