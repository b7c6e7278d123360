#pragma once

#include "protocol/ReplyCode.h"

#include <QByteArray>
#include <QObject>

class QTcpSocket;

namespace wordmoot::server {

class Room;

// One connected user: the socket, the name once taken, and the room it is in
// (none for the lobby). Lines come in through lineReceived and leave through
// send() alone.
//
// Caps, so that no client can hold the server up or make it grow:
// - a line may be kMaxLineBytes long; a longer one is dropped with a notice;
// - the socket buffers at most kReadBufferBytes of unread input, and at most
//   kLinesPerTurn lines are handled before the other clients get their turn;
// - while more than kPauseOutputBytes wait to go out to the client, its
//   commands wait too; past kMaxOutputBytes (a client that reads nothing
//   while others talk to it) it is dropped.
class Client : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxLineBytes = 1024;
    static constexpr qint64 kReadBufferBytes = 16 * 1024;
    static constexpr int kLinesPerTurn = 64;
    static constexpr qint64 kPauseOutputBytes = 64 * 1024;
    static constexpr qint64 kMaxOutputBytes = 1024 * 1024;

    explicit Client(QTcpSocket* socket, QObject* parent = nullptr);
    // A robot's seat (RobotSeat): no connection; what is sent to it goes nowhere.
    explicit Client(QObject* parent = nullptr);
    bool isRobot() const { return socket_ == nullptr; }

    // The one way out: the code, a blank and the text, CR LF. CR, LF and NUL
    // in the text become blanks, so no text can end a line or start another.
    void send(ReplyCode code, QByteArrayView text = {});
    // Sends what is queued, then closes; gone() follows.
    void close();
    // Drops the connection at once; gone() follows.
    void drop(const char* why);
    bool isClosing() const { return closing_; }

    QByteArray name;         // empty until a name is taken
    Room* room = nullptr;    // the game the user is in; none in the lobby
    bool listWanted = false; // asked for the game list before taking a name

signals:
    void lineReceived(wordmoot::server::Client* client, const QByteArray& line);
    // Emitted once, from the event loop, when the connection is over.
    void gone(wordmoot::server::Client* client);

private:
    void readLines();
    void scheduleRead();
    void finish();

    QTcpSocket* socket_ = nullptr;
    bool closing_ = false;
    bool finished_ = false;
    bool skipping_ = false; // the rest of an overlong line is dropped
    bool readScheduled_ = false;
};

} // namespace wordmoot::server
