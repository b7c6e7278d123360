#include "server/Client.h"

#include "protocol/ReplyCode.h"

#include <QTcpSocket>
#include <QTimer>

namespace wordmoot::server {

Client::Client(QTcpSocket* socket, QObject* parent)
    : QObject(parent)
    , socket_(socket) {
    socket_->setParent(this);
    socket_->setReadBufferSize(kReadBufferBytes);
    // Lines are short and someone waits for each: none is held back to be
    // sent with the next.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket_, &QTcpSocket::readyRead, this, &Client::readLines);
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (socket_->bytesToWrite() < kPauseOutputBytes)
            scheduleRead();
    });
    connect(socket_, &QTcpSocket::disconnected, this, &Client::finish);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Client::finish);
}

Client::Client(QObject* parent)
    : QObject(parent) {}

void Client::send(ReplyCode code, QByteArrayView text) {
    if (closing_ || !socket_)
        return;
    QByteArray line = QByteArray::number(static_cast<int>(code)) + ' ' + text.toByteArray();
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    line += "\r\n";
    if (socket_->bytesToWrite() + line.size() > kMaxOutputBytes)
        return drop("it reads nothing of what it is sent");
    socket_->write(line);
}

void Client::close() {
    if (closing_ || !socket_)
        return;
    closing_ = true;
    socket_->disconnectFromHost(); // writes what is queued first
    if (socket_->state() == QAbstractSocket::UnconnectedState)
        finish();
}

void Client::drop(const char* why) {
    if (closing_ || !socket_)
        return;
    qWarning("dropping %s (%s): %s", name.isEmpty() ? "a client" : name.constData(),
             qPrintable(socket_->peerAddress().toString()), why);
    closing_ = true;
    socket_->abort();
    finish();
}

void Client::finish() {
    closing_ = true;
    if (finished_)
        return;
    finished_ = true;
    // Later, so that nobody loses a client while walking a list of them.
    QTimer::singleShot(0, this, [this] { emit gone(this); });
}

void Client::scheduleRead() {
    if (readScheduled_ || closing_)
        return;
    readScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        readScheduled_ = false;
        readLines();
    });
}

void Client::readLines() {
    for (int handled = 0; !closing_;) {
        if (socket_->bytesToWrite() >= kPauseOutputBytes)
            return; // bytesWritten brings us back
        if (handled == kLinesPerTurn)
            return scheduleRead();
        if (!socket_->canReadLine()) {
            if (socket_->bytesAvailable() < kMaxLineBytes)
                return;
            socket_->read(socket_->bytesAvailable()); // a line too long to keep
            if (!skipping_)
                send(ReplyCode::Notice, "Line too long (over 1024 bytes): dropped");
            skipping_ = true;
            continue;
        }
        QByteArray line = socket_->readLine(kMaxLineBytes + 1);
        if (!line.endsWith('\n')) {
            if (!skipping_)
                send(ReplyCode::Notice, "Line too long (over 1024 bytes): dropped");
            skipping_ = true;
            continue;
        }
        if (skipping_) {
            skipping_ = false;
            continue;
        }
        line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        ++handled;
        emit lineReceived(this, line);
    }
}

} // namespace wordmoot::server
