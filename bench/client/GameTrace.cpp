#include "GameTrace.h"

#include "shared/protocol/LineFramer.h"
#include "server/GameServer.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

namespace wordmoot::bench {

namespace {

// The player that records: makes a game, sits in it, and on each of its
// turns says something and exchanges two tiles every third turn (passing
// when the bag is too low), passes otherwise.
struct Recorder {
    QByteArray rack;
    int turns = 0;

    // What it answers to a line from the server; nothing when the line asks
    // for nothing.
    QByteArray answer(QByteArrayView line) {
        if (line.startsWith("1160 "))
            return "NEWGAME\r\n";
        if (line.startsWith("1180"))
            return "READY\r\n";
        if (line.startsWith("2013 "))
            rack = line.sliced(5).toByteArray();
        if (line.startsWith("2014 Exchange refused"))
            return "FORFEIT\r\n";
        if (!line.startsWith("1020 "))
            return {};
        ++turns;
        const QByteArray said =
            "SAY well played, that is turn " + QByteArray::number(turns) + " for me\r\n";
        if (turns % 3 == 0 && rack.size() >= 2)
            return said + "EXCHANGE " + rack.left(2) + "\r\n";
        return said + "FORFEIT\r\n";
    }
};

} // namespace

QByteArray recordGameTrace(const QString& words) {
    server::ServerOptions options;
    options.seed = 29;
    options.judging = Judging::List;
    options.words = words;
    options.robots = 3;
    options.robotDelayMs = 0;
    server::GameServer server(options);
    if (!server.start())
        return {};

    QTcpSocket player;
    player.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    if (!player.waitForConnected(10000))
        return {};
    player.write("NAME recorder\r\nVERSION\r\nGLIST\r\n");

    // The server and its robots run in this thread's event loop, beside the
    // player.
    QByteArray trace;
    LineFramer framer;
    Recorder recorder;
    bool over = false;
    QEventLoop loop;
    QObject::connect(&player, &QTcpSocket::readyRead, &loop, [&] {
        const QByteArray bytes = player.readAll();
        trace += bytes;
        framer.append(bytes);
        while (const auto line = framer.takeLine()) {
            player.write(recorder.answer(*line));
            over = over || line->startsWith("2017 ") || line->startsWith("2018 ");
        }
        if (over)
            loop.quit();
    });
    QObject::connect(&player, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return over ? trace : QByteArray();
}

} // namespace wordmoot::bench
