#include "client/connection/Connection.h"

#include "shared/protocol/WireLine.h"

#include <QPointer>
#include <QTimer>

namespace wordmoot {

namespace {
// The socket reads at most this much ahead of the client, so a flood from the
// server waits in the kernel instead of in memory.
constexpr qint64 kReadAhead = 64 * 1024;
} // namespace

Connection::Connection(QObject* parent)
    : QObject(parent) {
    socket_.setReadBufferSize(kReadAhead);
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        // Commands are short and the user waits for their answers.
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (!finished_)
            emit connected();
    });
    connect(&socket_, &QTcpSocket::readyRead, this, &Connection::drain);
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        if (finished_)
            return;
        finish();
        emit closed();
    });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The peer closing is reported by disconnected(), not as an error.
        if (finished_ || error == QAbstractSocket::RemoteHostClosedError)
            return;
        if (error == QAbstractSocket::ConnectionRefusedError && waitForLocalServer())
            return;
        finish();
        emit failed(socket_.errorString());
    });
}

// The socket reports its own closing as it goes; nobody is listening by then.
Connection::~Connection() {
    finish();
    socket_.abort();
}

void Connection::connectToServer(const QString& host, qint64 port) {
    host_ = host;
    if (port < 0 || port > 65535) {
        // A port the socket cannot hold fails like any other bad address
        // instead of silently wrapping round to some other port.
        failSoon(tr("The port number is out of range"));
        return;
    }
    port_ = static_cast<quint16>(port);
    socket_.connectToHost(host, port_);
}

void Connection::startLocalServerWhenRefused(QStringList programs) {
    localServer_.emplace(std::move(programs));
}

// After a refusal at this machine: starts the local server the first time,
// then tries again on a timer until it listens. An attempt made after the
// server was seen to have ended is the last one, and succeeds when another
// client's server took the port meanwhile. False when there is nothing to
// wait for and the refusal is the connection's failure.
bool Connection::waitForLocalServer() {
    if (!localServer_)
        return false;
    if (lastAttemptFailure_) {
        failSoon(*lastAttemptFailure_);
        return true;
    }
    if (!localServer_->wasStarted()) {
        const auto address = LocalServer::listenAddressFor(host_);
        if (!address)
            return false;
        localServer_->start(*address, port_);
    }
    QTimer::singleShot(kLocalRetryMs, this, [this] {
        if (finished_)
            return;
        lastAttemptFailure_ = localServer_->whyNotListening();
        socket_.connectToHost(host_, port_);
    });
    return true;
}

void Connection::send(const QString& command) {
    if (finished_ || socket_.state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray line = encodeCommandLine(command);
    if (socket_.bytesToWrite() + line.size() > kMaxUnsentBytes) {
        failSoon(tr("The server does not read what this client sends"));
        return;
    }
    socket_.write(line);
    socket_.flush();
}

// Reported from the event loop, not from inside whatever handling sent the
// line; from now on nothing more is delivered or sent.
void Connection::failSoon(const QString& description) {
    if (finished_)
        return;
    finish();
    QTimer::singleShot(0, this, [this, description] {
        if (shutDown_)
            return;
        socket_.abort();
        emit failed(description);
    });
}

void Connection::shutdown() {
    shutDown_ = true;
    finish();
    // A last command such as QUIT still goes out before the line is dropped.
    if (socket_.state() == QAbstractSocket::ConnectedState && socket_.bytesToWrite() > 0)
        socket_.waitForBytesWritten(1000);
    socket_.abort();
}

void Connection::finish() {
    finished_ = true;
}

// Takes every complete line the socket holds, one at a time. Handling a line
// may open a modal box, and the socket does not signal data that arrives
// meanwhile, so the socket is read again after every line: nothing waits for
// the next arrival and lines keep their order.
void Connection::drain() {
    if (draining_)
        return; // the loop below is already running further up the stack
    draining_ = true;
    QPointer<Connection> alive(this);
    for (;;) {
        if (socket_.bytesAvailable() > 0) {
            const QByteArray bytes = socket_.readAll();
            bytesReceived_ += bytes.size();
            framer_.append(bytes);
        }
        const auto line = framer_.takeLine();
        // A line dropped on the way is reported before the line behind it.
        for (int n = framer_.takeDroppedCount(); n > 0 && alive && !finished_; --n)
            emit overlongLineDropped();
        if (!alive)
            return;
        if (!line || finished_)
            break;
        emit lineReceived(decodeServerLine(*line));
        if (!alive)
            return;
    }
    draining_ = false;
}

} // namespace wordmoot
