#include "ServerFixture.h"

#include "server/Connection.h"

#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace wordmoot::server;

namespace {
// A connection from the given loopback address, its lines kept as they come.
struct RawPeer {
    RawPeer(quint16 port, const char* from = "127.0.0.1") {
        socket.bind(QHostAddress(from));
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool heard(const QByteArray& text) {
        return QTest::qWaitFor([&] { return received.contains(text); }, 5000);
    }
    bool closedByServer() {
        return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; },
                               5000);
    }
    QTcpSocket socket;
    QByteArray received;
};

// Connects a plain socket to the server's loopback port, as ::connect answers.
int connectToLoopback(int fd, quint16 port) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server);
}
} // namespace

// What keeps one client from making the server useless to the others, over
// real loopback sockets.
class LimitsTest : public QObject {
    Q_OBJECT
private slots:
    // Lines past the allowance wait, in order; past the backlog the sender goes.
    void chatIsHeldToTheAllowance_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("disconnected");
        QTest::newRow("a paste: all of it, later") << 14 << false;
        QTest::newRow("a flood: told, and gone") << 2000 << true;
    }
    void chatIsHeldToTheAllowance() {
        QFETCH(int, lines);
        QFETCH(bool, disconnected);
        ServerOptions options;
        options.floodLines = 10;
        options.floodRate = 20; // a paste drains in well under expect()'s wait
        SocketFixture fixture(options);
        auto listener = fixture.logOn("ann");
        auto flooder = fixture.logOn("eve");
        QElapsedTimer since;
        since.start();
        QByteArray burst;
        for (int i = 0; i < lines; ++i)
            burst += "SAY line " + QByteArray::number(i) + " of a long paste\r\n";
        flooder->socket.write(burst + "SAY the end\r\n");
        if (disconnected) {
            QVERIFY(flooder->expect("2014 You send too much too fast").startsWith("2014"));
            QTRY_VERIFY(!flooder->isConnected());
        } else {
            QCOMPARE(listener->expect("2009 eve the end"), QByteArray("2009 eve the end"));
        }
        listener->send("SAY still here");
        listener->expect("2009 ann still here");
        // Never more than the allowance relayed: the burst, then the rate.
        const auto relayed = std::count_if(listener->lines.begin(), listener->lines.end(),
                                           [](const QByteArray& l) { return l.startsWith("2009 eve"); });
        const double allowance = (options.floodLines + options.floodRate * since.elapsed() / 1000.0) / 2;
        QVERIFY2(relayed <= allowance + 1, qPrintable(QString("%1 relayed").arg(relayed)));
        if (!disconnected)
            QCOMPARE(relayed, lines + 1);
    }

    // A flooder who comes back from the same address starts with what it had
    // left, not with a new burst.
    void anAllowanceOutlivesTheConnection() {
        ServerOptions options;
        options.floodLines = 4;
        options.floodRate = 2;
        SocketFixture fixture(options);
        auto listener = fixture.logOn("ann");
        auto first = fixture.logOn("eve"); // NAME costs one line, SAY two: one is left
        first->send("SAY spent");
        listener->expect("2009 eve spent");
        first->vanish();
        listener->expect("2014 eve has gone");
        auto again = fixture.logOn("eve2");
        QElapsedTimer since;
        since.start();
        again->send("SAY back");
        listener->expect("2009 eve2 back");
        QVERIFY2(since.elapsed() >= 500, qPrintable(QString::number(since.elapsed())));
    }

    // A client that reads nothing goes once a little chat waits for it, far
    // sooner than lines of its own game would make it go.
    void aNonReaderIsDroppedForChat() {
        ServerOptions options;
        options.floodRate = 0;
        SocketFixture fixture(options);
        auto talker = fixture.logOn("ann");
        const int sink = ::socket(AF_INET, SOCK_STREAM, 0);
        const int small = 4096;
        ::setsockopt(sink, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        QVERIFY(connectToLoopback(sink, fixture.port) == 0);
        QVERIFY(::write(sink, "NAME sink\r\n", 11) == 11);
        talker->expect("2014 sink has arrived");
        const QByteArray line = "SAY " + QByteArray(900, 'x');
        qint64 relayed = 0; // chat bytes the server took for the sink
        bool gone = false;
        for (int chunk = 0; !gone && relayed < 4 * Connection::kMaxOutputBytes; ++chunk) {
            for (int i = 0; i < 15; ++i)
                talker->send(line);
            talker->send("SAY mark " + QByteArray::number(chunk));
            talker->expect("2009 ann mark " + QByteArray::number(chunk));
            relayed += 15 * (line.size() + 6);
            gone = !lastLine(*talker, "2014 sink has gone").isEmpty();
        }
        ::close(sink);
        QVERIFY(gone);
        QVERIFY2(relayed < Connection::kMaxOutputBytes, qPrintable(QString::number(relayed)));
    }

    void connectionsAreLimited() {
        ServerOptions options;
        options.perAddress = 2;
        options.nameSeconds = 1;
        SocketFixture fixture(options);
        auto ann = fixture.logOn("ann");
        RawPeer trickler(fixture.port);
        QVERIFY(trickler.heard("1000 "));
        RawPeer third(fixture.port);
        QVERIFY(third.heard("2014 Too many connections from your address: 2 at most at once"));
        QVERIFY(third.closedByServer());
        RawPeer elsewhere(fixture.port, "127.0.0.2");
        QVERIFY(elsewhere.heard("1000 "));
        // A name begun and never ended is not taken in time.
        trickler.socket.write("NAME sl");
        QVERIFY(trickler.heard("2014 No name taken in time: goodbye"));
        QVERIFY(trickler.closedByServer());
        QVERIFY(ann->isConnected());
    }

    // Out of descriptors, a newcomer is told the server is full, and the
    // server goes on once some are free.
    void fullAtTheFileLimit() {
        SocketFixture fixture;
        auto ann = fixture.logOn("ann");
        rlimit was{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &was) == 0);
        rlimit low = was;
        low.rlim_cur = std::min<rlim_t>(was.rlim_cur, 4096);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
        std::vector<int> filler;
        for (int fd; filler.size() < 4096 && (fd = ::open("/dev/null", O_RDONLY)) >= 0;)
            filler.push_back(fd);
        // The newcomer's socket takes the last descriptor: the server has none to accept with.
        ::close(filler.back());
        filler.pop_back();
        const int newcomer = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        QVERIFY(newcomer >= 0);
        connectToLoopback(newcomer, fixture.port);
        QByteArray heard;
        const bool told = QTest::qWaitFor([&] {
            char bytes[256];
            if (const auto got = ::recv(newcomer, bytes, sizeof bytes, 0); got > 0)
                heard.append(bytes, got);
            return heard.contains("2014 The server is full: try again later");
        }, 5000);
        ::close(newcomer);
        for (const int fd : filler)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &was);
        QVERIFY(told);
        RawPeer later(fixture.port);
        QVERIFY(later.heard("1000 "));
        ann->send("SAY still here");
        ann->expect("2009 ann still here");
    }
};

QTEST_MAIN(LimitsTest)
#include "tst_limits.moc"
