#include "ScriptedServer.h"

#include <QTest>

namespace wordmoot::test {

ScriptedServer::ScriptedServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        client_ = server_.nextPendingConnection();
        connect(client_, &QTcpSocket::readyRead, this, [this] { received_ += client_->readAll(); });
    });
}

QString ScriptedServer::answerFor(const QString& nickname) const {
    return nickname + QStringLiteral("@127.0.0.1:") + QString::number(port());
}

bool ScriptedServer::waitForClient(int timeoutMs) {
    return QTest::qWaitFor([this] { return !client_.isNull(); }, timeoutMs);
}

void ScriptedServer::send(const QByteArray& bytes) {
    if (!client_)
        return;
    bytesSent_ += client_->write(bytes);
    client_->flush();
}

void ScriptedServer::sendLines(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    send(bytes);
}

void ScriptedServer::disconnectClient() {
    if (client_)
        client_->disconnectFromHost();
}

void ScriptedServer::stopReading() {
    if (!client_)
        return;
    disconnect(client_, &QTcpSocket::readyRead, this, nullptr);
    client_->setReadBufferSize(1);
}

void ScriptedServer::takeArrived() {
    if (client_ && client_->state() == QAbstractSocket::ConnectedState)
        client_->waitForReadyRead(0); // reads what is there, and says so
}

bool ScriptedServer::clientGone() const {
    return !client_ || client_->state() == QAbstractSocket::UnconnectedState;
}

QList<QByteArray> ScriptedServer::lines() const {
    QList<QByteArray> result = received_.split('\n');
    result.removeLast(); // what follows the last LF is not a complete line
    for (QByteArray& line : result)
        if (line.endsWith('\r'))
            line.chop(1);
    return result;
}

bool ScriptedServer::waitForLines(int count, int timeoutMs) {
    return QTest::qWaitFor([this, count] { return lines().size() >= count; }, timeoutMs);
}

} // namespace wordmoot::test
