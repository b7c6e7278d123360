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
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    // Starts connecting and returns at once; connected() or failed() follows.
    void connectToServer(const QString& host, qint64 port);
    void send(const QString& command) override;
    // Stops delivering events and drops the connection.
    void shutdown();
    QString remoteHost() const { return host_; }

signals:
    void connected();
    void closed();
    void failed(const QString& description);
    void lineReceived(const QString& line);
    void overlongLineDropped();

private:
    void drain();
    void finish();

    QTcpSocket socket_;
    LineFramer framer_;
    QString host_;
    bool draining_ = false;
    bool finished_ = false;
};

} // namespace wordmoot
