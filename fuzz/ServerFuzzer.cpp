// Feeds arbitrary bytes from several clients at once to a real server over
// loopback: the lobby, the rooms and robots that answer at once. Fails on a
// malformed line sent, more games than allowed, or a server that stops
// answering.
#include "FuzzSupport.h"

#include "server/GameServer.h"
#include "server/Lobby.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTemporaryFile>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace wordmoot;
using namespace wordmoot::fuzz;

namespace {

constexpr int kMostClients = 3;
constexpr size_t kMostBytesPerWrite = 1 << 20;
// Sent last by every client: its answer tells that all before it was handled.
// The blank line first ends whatever line the input left open.
constexpr char kLastLine[] = "\r\nXYZZY\r\n";

QString wordsFile;

// One user's connection, with every line the server sends it checked.
class User {
public:
    User(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            for (const QByteArray& line : lines_.take(socket_.readAll())) {
                qsizetype digits = 0;
                while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
                    ++digits;
                if (digits == 0 || line[digits] != ' ')
                    fail("a line does not start with a reply code", line);
                ++received_;
                answered_ =
                    answered_ ||
                    (finishing_ && (line.contains("XYZZY") || line.contains("Take a name first")));
            }
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }

    bool greeted() const { return received_ > 0 || gone(); }
    bool gone() const { return socket_.state() == QAbstractSocket::UnconnectedState; }
    bool done() const { return answered_ || gone(); }

    void write(const std::string& bytes) {
        socket_.write(bytes.data(), qint64(bytes.size()));
        socket_.flush();
    }
    void finish() {
        finishing_ = true;
        write(kLastLine);
    }

private:
    QTcpSocket socket_;
    LineChecker lines_;
    int received_ = 0;
    bool finishing_ = false;
    bool answered_ = false;
};

server::ServerOptions optionsFrom(FuzzedDataProvider& in) {
    server::ServerOptions options;
    options.port = 0;
    options.words = wordsFile;
    options.judging = in.PickValueInArray(
        {Judging::List, Judging::Vote, Judging::Mixed, Judging::None, Judging::Challenge});
    options.voteSeconds = 0;
    options.seed = 1;
    options.robots = in.ConsumeIntegralInRange(0, 2);
    options.robotDelayMs = 0;
    options.maxGames = in.ConsumeIntegralInRange(1, 3);
    // The clients all come from one address, which may make only one game
    // unless the limits per address are off.
    options.perAddress = in.PickValueInArray({0, 10});
    // A flood allowance, held back and refilled a millisecond at a time, fast
    // enough that a backlog of 16 KB is read well within the wait for an
    // answer.
    options.floodLines = in.ConsumeIntegralInRange(10, 100);
    options.floodRate = in.PickValueInArray({0, 100'000});
    return options;
}

template <class Each> bool all(const std::vector<std::unique_ptr<User>>& users, Each each) {
    return std::all_of(users.begin(), users.end(), [&](const auto& user) { return each(*user); });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    isolateStoredFiles();
    static int argc = 1;
    static char name[] = "server_fuzzer";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the program ends in libFuzzer, past every window.
    new QCoreApplication(argc, argv);
    // A few words that share letters, so that plays can be found and judged.
    static QTemporaryFile words;
    if (!words.open())
        fail("no temporary file");
    words.write("AT\nTA\nCAT\nACT\nTAE\nEAT\nTEA\nATE\nQI\nXI\nRATE\nTEAR\nSTARE\n");
    words.flush();
    wordsFile = words.fileName();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const server::ServerOptions options = optionsFrom(in);
    {
        server::GameServer server(options);
        if (!server.start())
            fail("the server does not start");
        std::vector<std::unique_ptr<User>> users;
        for (int n = in.ConsumeIntegralInRange(1, kMostClients); n > 0; --n)
            users.push_back(std::make_unique<User>(server.port()));
        waitUntil([&] { return all(users, [](const User& u) { return u.greeted(); }); },
                  "the server greets nobody");

        while (in.remaining_bytes() > 0) {
            User& user = *users[in.ConsumeIntegralInRange<size_t>(0, users.size() - 1)];
            user.write(
                in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(1, kMostBytesPerWrite)));
            QCoreApplication::processEvents();
            if (server.lobby().gameCount() > options.maxGames)
                fail("more games than the server allows");
        }
        for (auto& user : users)
            user->finish();
        waitUntil([&] { return all(users, [](const User& u) { return u.done(); }); },
                  "the server does not answer every client");
        users.clear();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
