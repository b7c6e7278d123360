#include "ServerFixture.h"

#include <QFile>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::server;

ScriptedUser::ScriptedUser(quint16 port) {
    QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
        buffer += socket.readAll();
        for (qsizetype end; (end = buffer.indexOf("\r\n")) >= 0; buffer.remove(0, end + 2))
            lines.push_back(buffer.left(end));
    });
    socket.connectToHost(QHostAddress::LocalHost, port);
}

QByteArray ScriptedUser::expect(const QByteArray& prefix) {
    const auto find = [&] {
        for (qsizetype i = taken; i < lines.size(); ++i)
            if (lines[i].startsWith(prefix))
                return i;
        return qsizetype(-1);
    };
    if (!QTest::qWaitFor([&] { return find() >= 0; }, 5000)) {
        qWarning() << "waited for" << prefix << "after" << pending();
        return QByteArray("(nothing)");
    }
    const qsizetype at = find();
    taken = at + 1;
    return lines[at];
}

ServerFixture::ServerFixture(ServerOptions options) {
    QFile words(folder.filePath("words"));
    if (words.open(QIODevice::WriteOnly))
        words.write("cat\ncats\nat\nta\nat's\nzoo\n");
    words.close();
    options.listen = QHostAddress::LocalHost;
    options.port = 0;
    if (!options.seed)
        options.seed = 1;
    const bool judged = options.judging == Judging::List || options.judging == Judging::Mixed;
    if (judged && options.words.isEmpty())
        options.words = words.fileName();
    server = std::make_unique<GameServer>(options);
    if (server->start())
        port = server->port();
    else
        qWarning() << "the server did not start:" << server->errorText();
}

ServerOptions ServerFixture::options(Judging judging) {
    ServerOptions o;
    o.judging = judging;
    return o;
}

std::unique_ptr<ScriptedUser> ServerFixture::logOn(const QByteArray& name) {
    auto user = std::make_unique<ScriptedUser>(port);
    user->expect("1000 2 ");
    user->send("NAME " + name);
    user->expect("2014 " + name + " has arrived");
    return user;
}

void ServerFixture::startTwoPlayerGame(ScriptedUser& a, ScriptedUser& b) {
    a.send("NEWGAME");
    a.expect("1180 ");
    a.send("READY");
    b.send("JOIN  1");
    b.expect("1180 ");
    b.send("READY");
    a.expect("2014 Everyone is ready: a");
    a.send("START");
    a.expect("2014 The game begins");
    b.expect("2014 The game begins");
}

ScriptedUser& onTurn(ScriptedUser& a, ScriptedUser& b) {
    const auto hasTurn = [](const ScriptedUser& u) {
        return !u.lines.isEmpty() && u.lines.last().startsWith("1020");
    };
    // Should neither get the turn in time, the caller's next expectation of
    // the one returned fails and says so.
    if (!QTest::qWaitFor([&] { return hasTurn(a) || hasTurn(b); }, 5000))
        qWarning("neither user was given the turn");
    return hasTurn(a) ? a : b;
}

QByteArray openingPlay(const ScriptedUser& user) {
    QByteArray rack;
    for (const QByteArray& line : user.lines)
        if (line.startsWith("2013 "))
            rack = line.mid(5);
    return "PLAY 7,7," + rack.left(1) + " 8,7," + rack.mid(1, 1) + ' ';
}
