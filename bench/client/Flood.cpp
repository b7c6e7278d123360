#include "Bench.h"
#include "ScriptedDialogs.h"
#include "client/app/MessageLog.h"
#include "client/app/WordmootForm.h"
#include "shared/protocol/LineFramer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTimer>

#include <cstdio>
#include <future>
#include <thread>

namespace wordmoot::bench {

namespace {

const char* const kNicks[] = {"al", "bob", "carol", "dave", "eve", "mallory", "peggy", "trent"};

// Chat line `i` of the flood, `2009 nick text`, 20 to 90 bytes, the same
// every time it is asked for.
QByteArray chatLine(int i) {
    quint32 mix = quint32(i) * 2654435761u;
    mix ^= mix >> 15;
    QByteArray line = "2009 " + QByteArray(kNicks[mix % 8]) + ' ' + QByteArray::number(i);
    const int length = 20 + int((mix >> 4) % 71);
    for (int at = 0; line.size() < length; ++at)
        line += (at + mix) % 6 == 0 ? ' ' : char('a' + (mix >> (at % 24)) % 26);
    return line;
}

// How the log shows a chat line.
QString shownChat(int i) {
    const QByteArray line = chatLine(i);
    const qsizetype blank = line.indexOf(' ', 5);
    return '<' + QString::fromLatin1(line.mid(5, blank - 5)) + QStringLiteral("> ") +
           QString::fromLatin1(line.mid(blank + 1));
}

// A loopback server on a thread of its own that takes one client and, when
// told, writes the flood as fast as the client takes it.
class FloodServer {
public:
    explicit FloodServer(int lines)
        : thread_([this, lines] { serve(lines); }) {}
    ~FloodServer() {
        done_.set_value();
        thread_.join();
    }
    quint16 port() { return portFuture_.get(); }
    void go() { go_.set_value(); }

private:
    void serve(int lines) {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        port_.set_value(server.serverPort());
        std::shared_future<void> go = go_.get_future().share();
        std::shared_future<void> done = done_.get_future().share();
        if (!server.waitForNewConnection(30000)) {
            go.wait();
            done.wait();
            return;
        }
        QTcpSocket* socket = server.nextPendingConnection();
        go.wait();
        QByteArray chunk;
        for (int i = 0; i < lines; ++i) {
            chunk += chatLine(i) + "\r\n";
            if (chunk.size() >= 64 * 1024 || i == lines - 1) {
                socket->write(chunk);
                while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(30000)) {
                }
                chunk.clear();
            }
        }
        done.wait(); // the client never sees the line close
    }

    std::promise<quint16> port_;
    std::future<quint16> portFuture_ = port_.get_future();
    std::promise<void> go_;
    std::promise<void> done_;
    std::thread thread_;
};

struct Stalls {
    qint64 longestNs = 0;
    int over50ms = 0;
};

// Runs the event loop until `finished` holds, watching it with a 5 ms timer:
// a tick that comes late is a stall. The time from the start, in ns.
qint64 runUntil(const std::function<bool()>& finished, Stalls& stalls) {
    QElapsedTimer clock;
    QEventLoop loop;
    QTimer watchdog;
    watchdog.setTimerType(Qt::PreciseTimer);
    qint64 lastTick = 0;
    qint64 end = -1;
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        stalls.longestNs = std::max(stalls.longestNs, now - lastTick);
        stalls.over50ms += now - lastTick > 50'000'000 ? 1 : 0;
        lastTick = now;
        if (finished() || now > 300'000'000'000LL) {
            end = now;
            loop.quit();
        }
    });
    clock.start();
    watchdog.start(5);
    loop.exec();
    return std::max<qint64>(end, 1);
}

// The baseline: the same bytes over loopback into a bare socket, cut into
// lines by the client's framer and dropped.
qint64 wireAlone(int lines) {
    FloodServer server(lines);
    QTcpSocket socket;
    socket.setReadBufferSize(64 * 1024);
    LineFramer framer;
    int framed = 0;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        framer.append(socket.readAll());
        while (framer.takeLine())
            ++framed;
    });
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    check(socket.waitForConnected(30000), "the bare socket did not connect");
    server.go();
    Stalls unused;
    const qint64 ns = runUntil([&] { return framed == lines; }, unused);
    check(framed == lines, "the bare socket lost lines");
    return ns;
}

} // namespace

void flood(int lines) {
    std::printf("\n== Flood: %d chat lines (2009 nick text, 20 to 90 bytes) from a loopback "
                "server into the real window\n",
                lines);
    const double residentBefore = peakResidentMiB();
    const qint64 bare = wireAlone(lines);

    FloodServer server(lines);
    test::ScriptedDialogs dialogs;
    dialogs.inputAnswers.append(QStringLiteral("alice@127.0.0.1:%1").arg(server.port()));
    WordmootForm form(dialogs);
    form.start();
    MessageLog* log = form.irchistorybox();
    Stalls connecting;
    runUntil([&] { return form.isVisible() || form.hasEnded(); }, connecting);
    check(form.isVisible(), "the window did not connect to the flood server");

    const QString last = shownChat(lines - 1);
    server.go();
    Stalls stalls;
    const qint64 ns = runUntil([&] { return log->document()->lastBlock().text() == last; }, stalls);

    QStringList expected;
    for (int i = std::max(0, lines - MessageLog::kMaxLines); i < lines; ++i)
        expected.append(shownChat(i));
    check(log->text() == expected.join(QLatin1String("\r\n")),
          "the log does not hold the newest lines in order");
    check(log->textCursor().atEnd() &&
              log->verticalScrollBar()->value() == log->verticalScrollBar()->maximum(),
          "the caret or the view is not at the end");
    std::printf("into the window's log: %.0f lines/s; the wire and the framer alone %.0f lines/s "
                "(the window takes %.2fx their time)\n",
                perSecond(lines, ns), perSecond(lines, bare), double(ns) / double(bare));
    std::printf("event loop (5 ms watchdog) during the flood: longest gap %.1f ms, %d gaps over "
                "50 ms\n",
                stalls.longestNs / 1e6, stalls.over50ms);
    std::printf("peak resident memory after the flood: %.0f MiB (before it: %.0f MiB)\n",
                peakResidentMiB(), residentBefore);
}

} // namespace wordmoot::bench
