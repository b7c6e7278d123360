// Starts a game server with its default limits and sets hostile clients on
// it beside well-behaved ones, each kind from loopback addresses of its own:
// - 50 well-behaved clients (127.0.1.1 to 127.0.1.50) say a line of chat
//   every 2 s, within their allowance, each timed until it hears its line;
// - a flooder (127.0.0.2) sends SAY lines as fast as its socket takes them,
//   and connects again under a new name each time the server drops it;
// - a hoarder (127.0.0.3) keeps opening connections and never takes a name;
// - 100 sinks (ten each from 127.0.2.1 to 127.0.2.10) take a name, ask for
//   the list of everyone on the server again and again and never read.
// The well-behaved clients first talk alone, then with the others at work,
// then alone again once the others have gone, for the given seconds each.
// Prints the answer times of each stretch (median, p99, the slowest), the
// flooder's lines relayed against its allowance, the hoarder's connections
// against the limit, and the server's memory before, during and after.
//
//   wordmoot-hostiletest [server] [seconds]
#include "SanitizedBuild.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// What the server's limits allow by default.
constexpr double kBurst = 10;
constexpr double kPerSecond = 2;
constexpr double kSayCost = 2;
constexpr int kPerAddress = 10;

int phase = 0; // 0: alone, 1: under attack, 2: alone again
std::vector<qint64> answerMs[3];

QTcpSocket* connectFrom(const QString& from, quint16 port, QObject* parent) {
    auto* socket = new QTcpSocket(parent);
    socket->bind(QHostAddress(from));
    socket->connectToHost(QHostAddress::LocalHost, port);
    return socket;
}

// Calls `each` with every whole line the socket has brought.
template <class Each>
void readLines(QTcpSocket* socket, QByteArray& buffer, Each each) {
    buffer += socket->readAll();
    for (qsizetype end; (end = buffer.indexOf("\r\n")) >= 0; buffer.remove(0, end + 2))
        each(buffer.left(end));
}

// Says a line every two seconds and times the echo; the first one counts
// the flooder's lines it hears.
class Talker : public QObject {
public:
    Talker(int id, quint16 port, qint64& floodHeard)
        : name_("w" + QByteArray::number(id))
        , floodHeard_(floodHeard) {
        socket_ = connectFrom(QString("127.0.1.%1").arg(id), port, this);
        connect(socket_, &QTcpSocket::connected, this, [this] { send("NAME " + name_); });
        connect(socket_, &QTcpSocket::readyRead, this, [this] {
            readLines(socket_, buffer_, [this](const QByteArray& line) { heard(line); });
        });
        timer_.setInterval(2000);
        connect(&timer_, &QTimer::timeout, this, [this] {
            asked_.start();
            send("SAY " + name_ + " says: " + QByteArray(240, 'x'));
        });
        QTimer::singleShot(40 * id, this, [this] { timer_.start(); });
    }
    bool named() const { return named_; }
    bool counts = false; // counts the flooder's lines

private:
    void send(const QByteArray& line) { socket_->write(line + "\r\n"); }
    void heard(const QByteArray& line) {
        if (line == "2014 " + name_ + " has arrived")
            named_ = true;
        if (line.startsWith("2009 " + name_ + ' ') && asked_.isValid())
            answerMs[phase].push_back(std::exchange(asked_, {}).elapsed());
        if (counts && line.startsWith("2009 flood"))
            ++floodHeard_;
    }
    QByteArray name_;
    qint64& floodHeard_;
    QTcpSocket* socket_;
    QByteArray buffer_;
    QTimer timer_;
    QElapsedTimer asked_;
    bool named_ = false;
};

// Floods, and comes back each time it is dropped, while the attack lasts.
class Flooder : public QObject {
public:
    explicit Flooder(quint16 port)
        : port_(port) {
        comeBack();
    }
    void stop() {
        stopped_ = true;
        if (socket_)
            socket_->abort();
    }
    qint64 sent = 0;
    int connections = 0;

private:
    void comeBack() {
        if (stopped_)
            return;
        ++connections;
        socket_ = connectFrom("127.0.0.2", port_, this);
        const QByteArray name = "flood" + QByteArray::number(connections);
        connect(socket_, &QTcpSocket::connected, this, [this, name] {
            socket_->write("NAME " + name + "\r\n");
            pour();
        });
        connect(socket_, &QTcpSocket::bytesWritten, this, &Flooder::pour);
        connect(socket_, &QTcpSocket::readyRead, socket_, [s = socket_] { s->readAll(); });
        connect(socket_, &QTcpSocket::disconnected, this, [this, s = socket_] {
            s->deleteLater();
            socket_ = nullptr;
            QTimer::singleShot(50, this, &Flooder::comeBack);
        });
    }
    void pour() {
        while (socket_ && socket_->bytesToWrite() < 64 * 1024) {
            socket_->write("SAY buy cheap tiles at example.org " + QByteArray::number(sent) +
                           "\r\n");
            ++sent;
        }
    }
    quint16 port_;
    QTcpSocket* socket_ = nullptr;
    bool stopped_ = false;
};

// Opens twenty connections a tenth of a second that never take a name.
class Hoarder : public QObject {
public:
    explicit Hoarder(quint16 port)
        : port_(port) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            for (int i = 0; i < 20 && tried < 2000; ++i)
                open();
        });
        timer_.start(100);
    }
    void stop() {
        timer_.stop();
        for (QTcpSocket* socket : findChildren<QTcpSocket*>())
            socket->abort();
    }
    int tried = 0;
    int refused = 0;  // told there are too many from its address
    int mostOpen = 0; // greeted and not yet closed, at once

private:
    struct Door {
        QByteArray buffer;
        bool greeted = false;
    };
    void open() {
        ++tried;
        QTcpSocket* socket = connectFrom("127.0.0.3", port_, this);
        auto door = std::make_shared<Door>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, door] {
            readLines(socket, door->buffer, [this, door](const QByteArray& line) {
                if (line.startsWith("1000 ") && !std::exchange(door->greeted, true))
                    mostOpen = std::max(mostOpen, ++open_);
                if (line.startsWith("2014 Too many connections"))
                    ++refused;
            });
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, door] {
            if (door->greeted)
                --open_;
            socket->deleteLater();
        });
    }
    quint16 port_;
    QTimer timer_;
    int open_ = 0;
};

// Takes a name and reads nothing, with a small receive buffer.
int sink(int id, quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    ::inet_pton(AF_INET, qPrintable(QString("127.0.2.%1").arg(id / kPerAddress + 1)),
                &from.sin_addr);
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    // And asks for the list of everyone, again and again, as its allowance lets it.
    const QByteArray lines =
        "NAME sink" + QByteArray::number(id) + "\r\n" + QByteArray("WHO\r\n").repeated(60);
    if (::write(fd, lines.constData(), size_t(lines.size())) < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

qint64 residentKb(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

int openFiles(qint64 pid) {
    return int(QDir(QString("/proc/%1/fd").arg(pid)).entryList(QDir::NoDotAndDotDot).size());
}

void printTimes(const char* stretch, std::vector<qint64> ms) {
    if (ms.empty())
        return (void)std::printf("%s: no answers\n", stretch);
    std::sort(ms.begin(), ms.end());
    std::printf("%s: %zu answers, median %lld ms, p99 %lld ms, slowest %lld ms\n", stretch,
                ms.size(), ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)],
                ms.back());
}

// Runs the event loop until `done` or `ms` have passed.
template <class Done>
void runUntil(Done done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString serverPath = args.value(1, "build/bin/wordmoot-server");
    const int seconds = std::clamp(args.value(2, "10").toInt(), 1, 600);
    wordmoot::bench::noteSanitizedBuild();

    QProcess server;
    server.start(serverPath, {"--port", "0", "--judge", "none", "--seed", "1", "--store", "none"});
    if (!server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the server did not start: %s\n", qPrintable(serverPath));
        return 1;
    }
    const QByteArray listening = server.readLine().trimmed();
    const quint16 port = quint16(listening.mid(listening.lastIndexOf(':') + 1).toUInt());
    const qint64 pid = server.processId();
    std::printf("%s; default limits; %d s alone, %d s under attack, %d s alone again\n",
                listening.constData(), seconds, seconds, seconds);

    qint64 floodHeard = 0;
    std::vector<std::unique_ptr<Talker>> talkers;
    for (int id = 1; id <= 50; ++id)
        talkers.push_back(std::make_unique<Talker>(id, port, floodHeard));
    talkers.front()->counts = true;
    runUntil([&] { return std::all_of(talkers.begin(), talkers.end(),
                                      [](const auto& t) { return t->named(); }); },
             10000);
    runUntil([] { return false; }, seconds * 1000);
    const qint64 before = residentKb(pid);
    const int filesBefore = openFiles(pid);

    phase = 1;
    std::vector<int> sinks;
    for (int id = 0; id < 10 * kPerAddress; ++id)
        if (const int fd = sink(id, port); fd >= 0)
            sinks.push_back(fd);
    Flooder flooder(port);
    Hoarder hoarder(port);
    QElapsedTimer attack;
    attack.start();
    qint64 during = before;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] { during = std::max(during, residentKb(pid)); });
    sample.start(250);
    runUntil([] { return false; }, seconds * 1000);
    const double attackSeconds = attack.elapsed() / 1000.0;
    flooder.stop();
    hoarder.stop();
    for (const int fd : sinks)
        ::close(fd);
    sample.stop();

    phase = 2;
    runUntil([&] { return openFiles(pid) <= filesBefore; }, 10000);
    runUntil([] { return false; }, seconds * 1000);
    const qint64 after = residentKb(pid);

    printTimes("well-behaved, alone", answerMs[0]);
    printTimes("well-behaved, under attack", answerMs[1]);
    printTimes("well-behaved, alone again", answerMs[2]);
    // The flooder's address keeps its allowance from one connection to the
    // next: the burst once, then the rate, over the whole attack.
    const double allowance = (kBurst + kPerSecond * attackSeconds) / kSayCost;
    std::printf("flooder: %lld lines sent on %d connections, %lld relayed; its allowance "
                "over %.1f s: %.0f SAY lines\n",
                flooder.sent, flooder.connections, floodHeard, attackSeconds, allowance);
    std::printf("hoarder: %d connections tried, at most %d open at once (the limit: %d), %d "
                "told too many\n",
                hoarder.tried, hoarder.mostOpen, kPerAddress, hoarder.refused);
    std::printf("sinks: %zu named, never reading\n", sinks.size());
    std::printf("server memory (VmRSS): %lld kB before, %lld kB at most during, %lld kB after "
                "(%+.0f %% of before)\n",
                before, during, after, 100.0 * double(after - before) / double(before));
    server.terminate();
    server.waitForFinished(5000);
    // A wrong result, not a slow one, fails the run.
    return floodHeard <= allowance + 1 ? 0 : 1;
}
