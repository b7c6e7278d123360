#pragma once

#include "connection/CommandSink.h"
#include "protocol/LineFramer.h"

#include <QObject>
#include <QTcpSocket>

namespace wordmoot {

// The one connection to the game server. It cuts what arrives into lines and
// hands each to lineReceived in order, and sends every command the client
// makes. Close and error are reported once; after either, or after
// shutdown(), nothing more is delivered.
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

    // Starts connecting and returns at once; connected() or failed() follows.
    void connectToServer(const QString& host, qint64 port);
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

    QTcpSocket socket_;
    LineFramer framer_;
    QString host_;
    qint64 bytesReceived_ = 0;
    bool draining_ = false;
    bool finished_ = false;
    bool shutDown_ = false;
};

} // namespace wordmoot
