#include "server/GameServer.h"

#include "shared/protocol/ReplyCode.h"
#include "shared/protocol/WireLine.h"
#include "server/Connection.h"
#include "server/Halls.h"
#include "server/Lobby.h"

#include <QHostInfo>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace wordmoot::server {

GameServer::GameServer(ServerOptions options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , listener_(new QTcpServer(this))
    , idleTimer_(new QTimer(this)) {
    idleTimer_->setSingleShot(true);
    idleTimer_->setInterval(options_.idleExitSeconds * 1000);
    connect(idleTimer_, &QTimer::timeout, this, &GameServer::idle);
    // The buffers of a connection that has ended go back to the system, not
    // only to the heap: a moment later, once for many.
    trimTimer_ = new QTimer(this);
    trimTimer_->setSingleShot(true);
    trimTimer_->setInterval(1000);
    connect(trimTimer_, &QTimer::timeout, this, [] { ::malloc_trim(0); });
}

GameServer::~GameServer() {
    if (spareFile_ >= 0)
        ::close(spareFile_);
}

bool GameServer::start() {
    lobby_ = Lobby::open(options_, error_);
    if (!lobby_)
        return false;
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY)
        mostUsers_ = int(std::clamp<rlim_t>(files.rlim_cur, kSpareFiles + 1, kMostUsers + kSpareFiles)) -
                     kSpareFiles;
    spareFile_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (!listener_->listen(options_.listen, options_.port)) {
        error_ = QString("cannot listen on %1:%2: %3")
                     .arg(options_.listen.toString())
                     .arg(options_.port)
                     .arg(listener_->errorString());
        return false;
    }
    listener_->pauseAccepting();
    accepting_ = new QSocketNotifier(listener_->socketDescriptor(), QSocketNotifier::Read, this);
    connect(accepting_, &QSocketNotifier::activated, this, &GameServer::accept);
    // Once while descriptors are free: a sanitized build checks an object's
    // type on its first call through a pipe, which it cannot open when out of
    // descriptors.
    accepting_->setEnabled(true);
    // Listening on every address, the hall is reached by the machine's name.
    const bool everywhere = options_.listen == QHostAddress::Any ||
                            options_.listen == QHostAddress::AnyIPv4 ||
                            options_.listen == QHostAddress::AnyIPv6;
    lobby_->halls().setAddress(
        (everywhere ? QHostInfo::localHostName() + ':' + QString::number(port()) : address())
            .toUtf8());
    // A server started for one machine's players ends once nobody uses it.
    if (options_.idleExitSeconds > 0) {
        connect(lobby_.get(), &Lobby::deserted, idleTimer_, qOverload<>(&QTimer::start));
        idleTimer_->start();
    }
    return true;
}

quint16 GameServer::port() const {
    return listener_->serverPort();
}

QString GameServer::address() const {
    return listener_->serverAddress().toString() + ':' + QString::number(port());
}

namespace {
const char kFull[] = "The server is full: try again later";
}

QByteArray GameServer::refusal(const QByteArray& address) const {
    if (lobby_->userCount() >= mostUsers_)
        return kFull;
    if (options_.perAddress > 0 && perAddress_.value(address) >= options_.perAddress)
        return "Too many connections from your address: " +
               QByteArray::number(options_.perAddress) + " at most at once";
    return {};
}

// A few at a time, so that a crowd at the door does not hold up the users.
void GameServer::accept() {
    for (int accepted = 0; accepted < 64; ++accepted) {
        const int peer = ::accept4(int(listener_->socketDescriptor()), nullptr, nullptr,
                                   SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (peer < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                outOfFiles();
            return;
        }
        auto* socket = new QTcpSocket;
        if (!socket->setSocketDescriptor(peer)) {
            ::close(peer);
            delete socket;
            continue;
        }
        auto* connection = new Connection(socket, this);
        if (const QByteArray why = refusal(connection->address); !why.isEmpty()) {
            connection->send(ReplyCode::Notice, why);
            connection->close();
            connect(connection, &Connection::gone, connection, &QObject::deleteLater);
            continue;
        }
        ++perAddress_[connection->address];
        if (options_.floodRate > 0)
            connection->limitLines(allowanceLeft_.contains(connection->address)
                                       ? allowanceLeft_.take(connection->address)
                                       : Allowance(options_.floodLines, options_.floodRate),
                                   [lobby = lobby_.get(), connection](QByteArrayView line) {
                                       return lobby->price(*connection, line);
                                   });
        connect(connection, &Connection::lineReceived, lobby_.get(),
                [this, connection](const QByteArray& line) { lobby_->receive(*connection, line); });
        connect(connection, &Connection::gone, lobby_.get(),
                [this, connection] { connectionGone(connection); });
        lobby_->admit(*connection);
        idleTimer_->stop();
    }
}

void GameServer::connectionGone(Connection* connection) {
    lobby_->remove(*connection);
    if (const auto at = perAddress_.find(connection->address); at != perAddress_.end() && --*at <= 0)
        perAddress_.erase(at);
    keepAllowance(*connection);
    // Its buffers are free: the memory goes back to the system in a moment.
    if (!trimTimer_->isActive())
        trimTimer_->start();
    connection->deleteLater();
}

void GameServer::keepAllowance(const Connection& connection) {
    const qint64 now = Allowance::now();
    if (allowanceLeft_.size() >= kMostAllowancesKept)
        allowanceLeft_.removeIf([now](auto at) { return at.value().isFullAt(now); });
    if (!connection.allowance().isFullAt(now) && allowanceLeft_.size() < kMostAllowancesKept)
        allowanceLeft_.insert(connection.address, connection.allowance());
}

// Out of descriptors: the newcomers waiting are told so on the spare one,
// one at a time, and accepting starts again in a moment.
void GameServer::outOfFiles() {
    accepting_->setEnabled(false);
    qWarning("wordmoot-server: cannot accept a connection: %s", std::strerror(errno));
    if (spareFile_ >= 0) {
        ::close(spareFile_);
        const QByteArray line = replyLine(ReplyCode::Notice, kFull);
        for (int told = 0; told < 64; ++told) {
            const int peer = ::accept4(int(listener_->socketDescriptor()), nullptr, nullptr,
                                       SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (peer < 0)
                break;
            [[maybe_unused]] const auto sent = ::send(peer, line.constData(), line.size(), MSG_NOSIGNAL);
            ::close(peer);
        }
        spareFile_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
    QTimer::singleShot(250, accepting_, [this] { accepting_->setEnabled(true); });
}

} // namespace wordmoot::server
