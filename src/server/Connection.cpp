#include "server/Connection.h"

#include "shared/protocol/WireLine.h"

#include <QTcpSocket>
#include <QTimer>

namespace wordmoot::server {

Connection::Connection(QTcpSocket* socket, QObject* parent)
    : QObject(parent)
    , socket_(socket) {
    socket_->setParent(this);
    address = socket_->peerAddress().toString().toLatin1();
    socket_->setReadBufferSize(kReadBufferBytes);
    // Lines are short and someone waits for each: none is held back to be
    // sent with the next.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kSystemSendBytes);
    connect(socket_, &QTcpSocket::readyRead, this, &Connection::readLines);
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (socket_->bytesToWrite() < kPauseOutputBytes)
            scheduleRead();
    });
    connect(socket_, &QTcpSocket::disconnected, this, &Connection::finish);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Connection::finish);
    allowed_.setSingleShot(true);
    connect(&allowed_, &QTimer::timeout, this, &Connection::readLines);
}

void Connection::limitLines(Allowance allowance, Price price) {
    allowance_ = allowance;
    price_ = std::move(price);
}

namespace {
// What others say: a peer that lets it pile up unread is dropped soonest.
bool isChat(ReplyCode code) {
    return code == ReplyCode::SaidToAll || code == ReplyCode::ToldToUser ||
           code == ReplyCode::Emote || code == ReplyCode::Beep;
}
} // namespace

void Connection::send(ReplyCode code, QByteArrayView text) {
    if (closing_)
        return;
    const QByteArray line = replyLine(code, text);
    const qint64 cap = isChat(code) ? kMostChatBytes : kMaxOutputBytes;
    if (socket_->bytesToWrite() + line.size() > cap)
        return drop("it reads nothing of what it is sent");
    socket_->write(line);
}

void Connection::close() {
    if (closing_)
        return;
    closing_ = true;
    socket_->disconnectFromHost(); // writes what is queued first
    if (socket_->state() == QAbstractSocket::UnconnectedState)
        finish();
}

void Connection::drop(const char* why) {
    if (closing_)
        return;
    warn("dropping", why);
    closing_ = true;
    socket_->abort();
    finish();
}

void Connection::warn(const char* what, const char* why) const {
    qWarning("%s %s (%s): %s", what, name.isEmpty() ? "a connection" : name.constData(),
             address.constData(), why);
}

void Connection::finish() {
    closing_ = true;
    if (finished_)
        return;
    finished_ = true;
    // Later, so that nobody loses a seat while walking a list of them.
    QTimer::singleShot(0, this, [this] { emit gone(); });
}

void Connection::scheduleRead() {
    if (readScheduled_ || closing_)
        return;
    readScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        readScheduled_ = false;
        readLines();
    });
}

void Connection::noticeDroppedLines() {
    for (int n = framer_.takeDroppedCount(); n > 0; --n)
        send(ReplyCode::Notice, "Line too long (over 1024 bytes): dropped");
}

// More is read from the socket only once the lines read before are handled,
// so what waits stays in the socket's bounded buffer and the kernel's.
void Connection::readLines() {
    for (int handled = 0; !closing_;) {
        if (socket_->bytesToWrite() >= kPauseOutputBytes)
            return; // bytesWritten brings us back
        if (handled == kLinesPerTurn)
            return scheduleRead();
        if (!held_) {
            const auto line = framer_.takeLine();
            noticeDroppedLines();
            if (!line) {
                if (socket_->bytesAvailable() == 0)
                    return;
                framer_.append(socket_->read(kReadBufferBytes));
                noticeDroppedLines();
                continue;
            }
            held_ = line->toByteArray();
        }
        if (price_) {
            if (const qint64 wait = allowance_.take(price_(*held_), Allowance::now()); wait > 0) {
                allowed_.start(int(std::min<qint64>(wait, 60'000)));
                return readBacklog();
            }
        }
        ++handled;
        emit lineReceived(*std::exchange(held_, std::nullopt));
    }
}

void Connection::readBacklog() {
    while (!closing_ && socket_->bytesAvailable() > 0 &&
           framer_.pendingBytes() <= kMostBacklogBytes) {
        framer_.append(socket_->read(kReadBufferBytes));
        noticeDroppedLines();
    }
    if (closing_ || framer_.pendingBytes() <= kMostBacklogBytes)
        return;
    warn("closing", "it sends faster than it may");
    send(ReplyCode::Notice, "You send too much too fast (over " +
                                QByteArray::number(kMostBacklogBytes / 1024) +
                                " KB waiting): goodbye");
    close();
}

} // namespace wordmoot::server
