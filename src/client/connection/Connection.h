#pragma once

#include "client/connection/CommandSink.h"
#include "client/connection/LocalServer.h"
#include "shared/protocol/LineFramer.h"

#include <QObject>
#include <QTcpSocket>

#include <optional>

namespace wordmoot {

// The one connection to the game server. It cuts what arrives into lines and
// hands each to lineReceived in order, and sends every command the client
// makes. Close and error are reported once; after either, or after
// shutdown(), nothing more is delivered. When allowed to, it starts the
// local server once if nobody listens at the address on this machine that
// it was asked to connect to, and connects to that server once it listens.
class Connection : public QObject, public CommandSink {
    Q_OBJECT
public:
    // What may wait to go out before the server is taken to have stopped
    // reading; past it the connection fails. Some replies make the client
    // send (a game list asks for every game), so without a bound a server
    // that does not read would have the unsent lines pile up in memory.
    static constexpr qint64 kMaxUnsentBytes = 1024 * 1024;

    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    // How often a refused connection is tried again while the local server
    // it started comes up.
    static constexpr int kLocalRetryMs = 100;

    // Starts connecting and returns at once; connected() or failed() follows.
    void connectToServer(const QString& host, qint64 port);
    // From now on a refused connection to this machine starts the first of
    // these server programs found, once; failed() tells when it could not.
    void startLocalServerWhenRefused(QStringList programs = LocalServer::programsBesideClient());
    // The local server this connection may start; null when not allowed to.
    const LocalServer* localServer() const { return localServer_ ? &*localServer_ : nullptr; }
    void send(const QString& command) override;
    // Stops delivering events and drops the connection.
    void shutdown();
    QString remoteHost() const { return host_; }
    // Bytes taken from the socket so far, and whether lines are being handled
    // right now: together they tell when all that arrived has been handled.
    qint64 bytesReceived() const { return bytesReceived_; }
    bool isHandling() const { return draining_; }

signals:
    void connected();
    void closed();
    void failed(const QString& description);
    void lineReceived(const QString& line);
    void overlongLineDropped();

private:
    void drain();
    void finish();
    void failSoon(const QString& description);
    bool waitForLocalServer();

    QTcpSocket socket_;
    LineFramer framer_;
    QString host_;
    quint16 port_ = 0;
    std::optional<LocalServer> localServer_;
    // Why the local server will not listen, as known before the last
    // attempt; a refusal of that attempt is the connection's failure.
    std::optional<QString> lastAttemptFailure_;
    qint64 bytesReceived_ = 0;
    bool draining_ = false;
    bool finished_ = false;
    bool shutDown_ = false;
};

} // namespace wordmoot
