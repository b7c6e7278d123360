#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace wordmoot::test {

// The server's side of the wire, on loopback: accepts the client, records
// every byte it sends and sends whatever the test scripts.
class ScriptedServer : public QObject {
    Q_OBJECT
public:
    ScriptedServer();

    quint16 port() const { return server_.serverPort(); }
    // The answer to the start-up box that points the client here.
    QString answerFor(const QString& nickname) const;

    bool waitForClient(int timeoutMs = 5000);
    void send(const QByteArray& bytes);
    // Sends reply lines, each ended by CR LF.
    void sendLines(const QList<QByteArray>& lines);
    void disconnectClient();
    qint64 bytesSent() const { return bytesSent_; }

    // Everything the client has sent so far.
    QByteArray received() const { return received_; }
    // The complete lines the client has sent, without their CR LF.
    QList<QByteArray> lines() const;
    // Waits until the client has sent at least this many lines.
    bool waitForLines(int count, int timeoutMs = 5000);
    // Leaves what the client sends unread from now on, as a server that is
    // stuck would.
    void stopReading();
    // Takes in what the client has sent and the system already holds.
    void takeArrived();
    // Whether the client has closed its end.
    bool clientGone() const;
    // Forgets what was received so far.
    void clearReceived() { received_.clear(); }

private:
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray received_;
    qint64 bytesSent_ = 0;
};

} // namespace wordmoot::test
