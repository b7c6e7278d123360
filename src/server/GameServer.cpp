#include "server/GameServer.h"

#include "protocol/ReplyCode.h"
#include "server/Client.h"
#include "server/Lobby.h"

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
    std::optional<WordList> words;
    if (!options_.words.isEmpty()) {
        words = WordList::load(options_.words);
        if (!words || words->isEmpty()) {
            error_ = "cannot read a word from " + options_.words;
            return false;
        }
    }
    std::optional<robot::LeaveTable> leaves = options_.leaves.isEmpty()
                                                  ? std::optional(robot::LeaveTable::builtIn())
                                                  : robot::LeaveTable::load(options_.leaves);
    if (!leaves) {
        error_ = "cannot read the leave table " + options_.leaves;
        return false;
    }
    lobby_ = new Lobby(options_, std::move(words), std::move(*leaves), this);
    if (!listener_->listen(options_.listen, options_.port)) {
        error_ = QString("cannot listen on %1:%2: %3")
                     .arg(options_.listen.toString())
                     .arg(options_.port)
                     .arg(listener_->errorString());
        return false;
    }
    // A server started for one machine's players ends once nobody uses it.
    if (options_.idleExitSeconds > 0) {
        connect(lobby_, &Lobby::deserted, idleTimer_, qOverload<>(&QTimer::start));
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
        auto* client = new Client(socket, lobby_);
        if (lobby_->clientCount() >= kMostClients) {
            client->send(ReplyCode::Notice, "The server is full: try again later");
            client->close();
            connect(client, &Client::gone, client, &QObject::deleteLater);
            continue;
        }
        lobby_->admit(client);
        idleTimer_->stop();
    }
}

} // namespace wordmoot::server
