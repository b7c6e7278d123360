#pragma once

#include "shared/protocol/LineFramer.h"
#include "server/Allowance.h"
#include "server/User.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

class QTcpSocket;

namespace wordmoot::server {

// One person's connection: the socket, cut into lines by the framer; what
// the server sends leaves through send() alone.
//
// Caps, so that no peer can hold the server up or make it grow:
// - a line may be 1024 bytes with its line end; a longer one is dropped
//   with a notice;
// - at most kReadBufferBytes are read from the socket at a time, and only
//   once the lines read before are handled; at most kLinesPerTurn lines are
//   handled before the other connections get their turn;
// - while more than kPauseOutputBytes wait to go out to the peer, its
//   commands wait too; past kMaxOutputBytes (a peer that reads nothing
//   while others talk to it) it is dropped, and sooner, past
//   kMostChatBytes, when what comes is chat;
// - lines beyond the peer's allowance wait their turn; meanwhile what it
//   sends is read on, and past kMostBacklogBytes waiting it is told so and
//   disconnected.
class Connection : public QObject, public User {
    Q_OBJECT
public:
    static constexpr qint64 kReadBufferBytes = 16 * 1024;
    static constexpr int kLinesPerTurn = 64;
    static constexpr qint64 kPauseOutputBytes = 64 * 1024;
    static constexpr qint64 kMaxOutputBytes = 1024 * 1024;
    // What the system holds for a peer that does not read, besides what
    // waits in the server: without a cap, a few megabytes a connection.
    static constexpr int kSystemSendBytes = 64 * 1024;
    static constexpr qint64 kMostChatBytes = 128 * 1024;
    static constexpr qint64 kMostBacklogBytes = 16 * 1024;

    // What a line costs of the allowance, in lines.
    using Price = std::function<double(QByteArrayView line)>;

    explicit Connection(QTcpSocket* socket, QObject* parent = nullptr);

    void send(ReplyCode code, QByteArrayView text = {}) override;
    void close() override;
    bool isClosing() const override { return closing_; }
    // Drops the connection at once; gone() follows.
    void drop(const char* why);
    // From now on the peer's lines are held to the allowance.
    void limitLines(Allowance allowance, Price price);
    const Allowance& allowance() const { return allowance_; }

signals:
    void lineReceived(const QByteArray& line);
    // Emitted once, from the event loop, when the connection is over.
    void gone();

private:
    void readLines();
    void scheduleRead();
    void finish();
    void noticeDroppedLines();
    void warn(const char* what, const char* why) const;
    // Reads on while a line waits for the allowance, up to the backlog's cap.
    void readBacklog();

    QTcpSocket* socket_;
    CommandFramer framer_;
    bool closing_ = false;
    bool finished_ = false;
    bool readScheduled_ = false;
    Allowance allowance_;
    Price price_;
    std::optional<QByteArray> held_; // the line that waits for the allowance
    QTimer allowed_;                 // when it may go
};

} // namespace wordmoot::server
