// Starts a game server and connects scripted users to it: four players in
// each of the nine games laying a tile a turn, the rest chatting in the lobby
// or watching (200 users unless a third argument says otherwise). Prints the lines per second, the
// slowest answer and the server's memory, then the line rate through one session.
//
//   wordmoot-loadtest [server] [seconds] [users] [champions] [identifiers] [busy]
//
// With champions (up to 8), that many more users each play a game against a
// champion robot that thinks 2 s a move, passing at once on every turn of
// their own, so that the robots think all the while the others' answers are
// timed; their games take the place of as many players' games.
//
// With identifiers, that many more users register a name, then take another
// name and their own again and IDENTIFY, over and over, all at once: the
// server hashes passwords all the while (each hash a tenth of a second and
// 64 MB), and the others' answers are timed as before. The server keeps its
// store in a temporary SQLite file.
//
// With busy, that many processes spin beside the server the whole time, as
// other programs on a shared host would: each wants a core of its own.
#include "SanitizedBuild.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

enum class Role { Player, Chatter, Watcher, Host, Identifier };

struct Totals {
    qint64 linesIn = 0;
    qint64 linesOut = 0;
    qint64 slowestMs = 0;
    int gamesOver = 0;
    int robotMoves = 0; // by the champions
    int identified = 0; // registrations and identifications answered
    qint64 identifyMs = 0;
    qint64 slowestIdentifyMs = 0;
};

// One scripted user: answers what a quick player would, and times each
// command that has an answer of its own.
class User : public QObject {
public:
    User(int id, Role role, int game, quint16 port, Totals& totals)
        : role_(role)
        , game_(game)
        , totals_(totals)
        , name_("u" + QByteArray::number(id)) {
        connect(&socket_, &QTcpSocket::readyRead, this, &User::read);
        connect(&socket_, &QTcpSocket::connected, this, [this] { send("NAME " + name_); });
        socket_.connectToHost("127.0.0.1", port);
        board_.fill(QByteArray(15, '.'));
    }
    void send(const QByteArray& line) {
        socket_.write(line + "\r\n");
        ++totals_.linesOut;
    }
    void timed(const QByteArray& line) {
        asked_.start();
        send(line);
    }
    void answered() {
        if (asked_.isValid())
            totals_.slowestMs = std::max(totals_.slowestMs, asked_.elapsed());
        asked_.invalidate();
    }
    void chat() { timed("SAY load test line from " + name_); }

private:
    void read() {
        buffer_ += socket_.readAll();
        for (qsizetype end; (end = buffer_.indexOf("\r\n")) >= 0; buffer_.remove(0, end + 2)) {
            ++totals_.linesIn;
            handle(buffer_.left(end));
        }
    }
    void handle(const QByteArray& line) {
        const QByteArray code = line.left(4);
        const QByteArray arg = line.mid(5);
        if (role_ == Role::Host)
            return host(code, arg);
        if (role_ == Role::Identifier)
            return identifier(code, arg);
        if (code == "2014" && arg == name_ + " has arrived") {
            if (role_ == Role::Player && game_ > 0)
                send(game_ == 1 && name_ == "u0" ? "NEWGAME"
                                                 : "JOIN  " + QByteArray::number(game_));
            if (role_ == Role::Watcher)
                send("JOIN  " + QByteArray::number(game_));
        } else if (code == "1180" && role_ == Role::Player) {
            send("READY");
        } else if (code == "2009" && arg.startsWith(name_ + ' ')) {
            answered();
        } else if (code == "2012") {
            const int row = arg.left(arg.indexOf(' ')).toInt();
            if (row >= 0 && row < 15)
                board_[row] = arg.mid(arg.indexOf(' ') + 1).leftJustified(15, '.');
        } else if (code == "2013") {
            rack_ = arg;
            answered();
        } else if (code == "1020") {
            playOneTile();
        } else if (code == "2017" || code == "2018") {
            if (role_ == Role::Player) {
                ++totals_.gamesOver;
                send("READY");
            }
        } else if (code == "5030" || code == "5031" || code == "5032") {
            timed("FORFEIT");
        }
    }
    // A game against a champion: it moves, and the host passes.
    void host(const QByteArray& code, const QByteArray& arg) {
        if (code == "1180") {
            send("READY"); // seated, so that it may seat a robot
            send("ROBOT champion");
            send("START");
        } else if (code == "1020") {
            ++totals_.robotMoves;
            send("FORFEIT");
        } else if (code == "2017" || code == "2018") {
            send("READY");
        }
        (void)arg;
    }
    // Registers, then proves the name again and again.
    void identifier(const QByteArray& code, const QByteArray& arg) {
        if (code != "2014")
            return;
        if (arg == name_ + " has arrived") {
            proving_.start();
            send("REGISTER load-test-password");
        } else if (arg.startsWith(name_ + " is registered:")) {
            proving_.start();
            send("IDENTIFY load-test-password");
        } else if (arg.startsWith(name_ + " is registered to you") ||
                   arg == "You are identified as " + name_) {
            const qint64 ms = proving_.elapsed();
            ++totals_.identified;
            totals_.identifyMs += ms;
            totals_.slowestIdentifyMs = std::max(totals_.slowestIdentifyMs, ms);
            send("NAME " + name_ + 'x');
            send("NAME " + name_);
        }
    }
    // The first two tiles across the centre on an empty board, else one tile
    // next to the first tile that has an empty neighbour.
    void playOneTile() {
        if (rack_.isEmpty())
            return timed("FORFEIT");
        if (board_[7][7] == '.')
            return timed("PLAY 7,7," + rack_.left(1) + " 8,7," + rack_.mid(1, 1) + ' ');
        for (int r = 0; r < 15; ++r)
            for (int c = 0; c < 15; ++c) {
                if (board_[r][c] == '.')
                    continue;
                const int near[4][2] = {{c + 1, r}, {c, r + 1}, {c - 1, r}, {c, r - 1}};
                for (const auto& n : near)
                    if (n[0] >= 0 && n[0] < 15 && n[1] >= 0 && n[1] < 15 &&
                        board_[n[1]][n[0]] == '.')
                        return timed("PLAY " + QByteArray::number(n[0]) + ',' +
                                     QByteArray::number(n[1]) + ',' + rack_.left(1) + ' ');
            }
        timed("FORFEIT");
    }

    Role role_;
    int game_;
    Totals& totals_;
    QByteArray name_;
    QTcpSocket socket_;
    QByteArray buffer_;
    QByteArray rack_;
    std::array<QByteArray, 15> board_;
    QElapsedTimer asked_;
    QElapsedTimer proving_;
};

QByteArray memoryOf(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return "unknown";
    QByteArray figures;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS") || line.startsWith("VmHWM"))
            figures += line.simplified() + "  ";
    return figures;
}

// One session sends `count` GLIST lines in one go; the time until the last
// answer gives the lines per second one connection carries.
double sessionRate(quint16 port, int count) {
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", port);
    socket.waitForConnected(5000);
    socket.write("NAME rate\r\n");
    QByteArray burst = QByteArray("GLIST\r\n").repeated(count);
    QElapsedTimer clock;
    clock.start();
    socket.write(burst);
    int answers = 0;
    QByteArray buffer;
    while (answers < count && clock.elapsed() < 60000 && socket.waitForReadyRead(5000)) {
        buffer += socket.readAll();
        answers += int(buffer.count("1160 "));
        buffer = buffer.right(8);
    }
    return answers * 1000.0 / std::max<qint64>(1, clock.elapsed());
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString serverPath = args.value(1, "build/bin/wordmoot-server");
    const int seconds = args.value(2, "20").toInt();
    const int users = std::max(40, args.value(3, "200").toInt());
    // The server holds nine games: the champions' games take the place of
    // players' games.
    const int champions = std::clamp(args.value(4, "0").toInt(), 0, 8);
    const int playerGames = 9 - champions;
    const int identifiers = std::clamp(args.value(5, "0").toInt(), 0, 500);
    const int busy = std::clamp(args.value(6, "0").toInt(), 0, 16);
    wordmoot::bench::noteSanitizedBuild();
    std::vector<std::unique_ptr<QProcess>> spinners;
    for (int i = 0; i < busy; ++i) {
        spinners.push_back(std::make_unique<QProcess>());
        spinners.back()->start("/bin/sh", {"-c", "while :; do :; done"});
    }

    QProcess server;
    QTemporaryDir storeFolder;
    // Every user comes from one address and sends as fast as it is answered.
    QStringList options{"--port",  "0", "--judge", "none", "--seed", "1",
                        "--store", storeFolder.filePath("load.sqlite"),
                        "--per-address", "0", "--flood-rate", "0"};
    if (champions > 0)
        options << "--robot-think-ms" << "2000" << "--robot-delay-ms" << "0";
    server.start(serverPath, options);
    if (!server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the server did not start: %s\n", qPrintable(serverPath));
        return 1;
    }
    const QByteArray listening = server.readLine().trimmed();
    const quint16 port = quint16(listening.mid(listening.lastIndexOf(':') + 1).toUInt());
    std::printf("%s; %d users for %d s, %d playing champions, %d identifying, %d busy "
                "processes beside\n",
                listening.constData(), users, seconds, champions, identifiers, busy);

    Totals totals;
    std::vector<std::unique_ptr<User>> all;
    for (int id = 0; id < users; ++id) {
        const Role role = id < 4 * playerGames ? Role::Player
                          : id % 2             ? Role::Chatter
                                               : Role::Watcher;
        const int game = role == Role::Player ? id / 4 + 1 : id % playerGames + 1;
        all.push_back(std::make_unique<User>(id, role, game, port, totals));
    }
    // Games 2 to 9 are made by their first player once game 1 exists, then
    // the champions' games.
    QTimer::singleShot(500, [&] {
        for (int g = 1; g < playerGames; ++g)
            all[g * 4]->send("NEWGAME");
    });
    for (int c = 0; c < champions; ++c)
        all.push_back(std::make_unique<User>(users + c, Role::Host, 0, port, totals));
    for (int i = 0; i < identifiers; ++i)
        all.push_back(std::make_unique<User>(users + champions + i, Role::Identifier, 0, port,
                                             totals));
    QTimer::singleShot(1000, [&] {
        for (int c = 0; c < champions; ++c)
            all[users + c]->send("NEWGAME");
    });
    QTimer chatter;
    QObject::connect(&chatter, &QTimer::timeout, [&] {
        for (int id = 4 * playerGames + 1; id < users; id += 2)
            all[id]->chat();
    });
    chatter.start(1000);
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double elapsed = clock.elapsed() / 1000.0;
    std::printf("lines from the server: %lld (%.0f a second); lines to it: %lld\n", totals.linesIn,
                totals.linesIn / elapsed, totals.linesOut);
    std::printf("slowest answer: %lld ms; games finished: %d\n", totals.slowestMs,
                totals.gamesOver);
    if (champions > 0)
        std::printf("champions' moves while the load ran: %d\n", totals.robotMoves);
    if (identifiers > 0)
        std::printf("passwords proved: %d, %.0f ms on average, the slowest %lld ms\n",
                    totals.identified, totals.identifyMs / std::max(1.0, double(totals.identified)),
                    totals.slowestIdentifyMs);
    std::printf("server memory with %d users: %s\n", users,
                memoryOf(server.processId()).constData());
    chatter.stop();
    std::printf("one session, 100000 GLIST in one write: %.0f answers a second\n",
                sessionRate(port, 100000));
    std::printf("server memory after: %s\n", memoryOf(server.processId()).constData());
    server.terminate();
    server.waitForFinished(5000);
    for (auto& spinner : spinners) {
        spinner->kill();
        spinner->waitForFinished(5000);
    }
    return 0;
}
