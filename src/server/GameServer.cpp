#include "server/GameServer.h"

#include "protocol/ReplyCode.h"
#include "server/Connection.h"
#include "server/Halls.h"
#include "server/Lobby.h"

#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace wordmoot::server {

GameServer::GameServer(ServerOptions options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , listener_(new QTcpServer(this))
    , idleTimer_(new QTimer(this)) {
    connect(listener_, &QTcpServer::newConnection, this, &GameServer::accept);
    idleTimer_->setSingleShot(true);
    idleTimer_->setInterval(options_.idleExitSeconds * 1000);
    connect(idleTimer_, &QTimer::timeout, this, &GameServer::idle);
}

GameServer::~GameServer() = default;

bool GameServer::start() {
    lobby_ = Lobby::open(options_, error_);
    if (!lobby_)
        return false;
    if (!listener_->listen(options_.listen, options_.port)) {
        error_ = QString("cannot listen on %1:%2: %3")
                     .arg(options_.listen.toString())
                     .arg(options_.port)
                     .arg(listener_->errorString());
        return false;
    }
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

void GameServer::accept() {
    while (QTcpSocket* socket = listener_->nextPendingConnection()) {
        auto* connection = new Connection(socket, &lobby_->journal(), this);
        if (lobby_->userCount() >= kMostUsers) {
            connection->send(ReplyCode::Notice, "The server is full: try again later");
            connection->close();
            connect(connection, &Connection::gone, connection, &QObject::deleteLater);
            continue;
        }
        connect(connection, &Connection::lineReceived, lobby_.get(),
                [this, connection](const QByteArray& line) { lobby_->receive(*connection, line); });
        connect(connection, &Connection::gone, lobby_.get(), [this, connection] {
            lobby_->remove(*connection);
            connection->deleteLater();
        });
        lobby_->admit(*connection);
        idleTimer_->stop();
    }
}

} // namespace wordmoot::server
