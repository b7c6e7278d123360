#pragma once

#include "server/Allowance.h"
#include "server/ServerOptions.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;
class QTcpServer;
class QTimer;

namespace wordmoot::server {

class Connection;
class Lobby;

// The server as a whole: listens, hands each connection to the lobby. Tests
// start one in the process on port 0 and read the port it got.
//
// No more connections than kMostUsers at once, nor than the open-file limit
// leaves room for, nor more than --per-address from one address: one more
// is told so and closed. Should accepting fail all the same (the process or
// the system is out of descriptors), the server stops accepting for a
// moment, and tells the newcomer it is full on a descriptor kept spare.
class GameServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostUsers = 2000;
    // Descriptors left to the store, the word list, records and threads.
    static constexpr int kSpareFiles = 64;

    explicit GameServer(ServerOptions options, QObject* parent = nullptr);
    ~GameServer() override;

    // Loads the word list and listens; false with errorText() when it cannot.
    bool start();
    QString errorText() const { return error_; }
    quint16 port() const;
    QString address() const;
    const Lobby& lobby() const { return *lobby_; }
    // The most connections at once, as the open-file limit allows.
    int mostUsers() const { return mostUsers_; }

signals:
    // No client has been connected for --idle-exit seconds.
    void idle();

private:
    void accept();
    // Why the connection may not come in now; null if it may.
    QByteArray refusal(const QByteArray& address) const;
    void outOfFiles();
    void connectionGone(Connection* connection);
    void keepAllowance(const Connection& connection);

    ServerOptions options_;
    QTcpServer* listener_;
    std::unique_ptr<Lobby> lobby_;
    QTimer* idleTimer_;
    QTimer* trimTimer_;
    QSocketNotifier* accepting_ = nullptr; // the server accepts for itself, to see why it cannot
    QString error_;
    int mostUsers_ = kMostUsers;
    QHash<QByteArray, int> perAddress_; // connections in, by address
    // What an address's last connection left of its allowance, until it has
    // filled again: a flooder who comes back starts where it was.
    static constexpr qsizetype kMostAllowancesKept = 10000;
    QHash<QByteArray, Allowance> allowanceLeft_;
    int spareFile_ = -1;                // kept to tell one newcomer it is full
};

} // namespace wordmoot::server
