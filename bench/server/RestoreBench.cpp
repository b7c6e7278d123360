// How long the server program takes to start when its store holds games in
// play to bring back. A server in the process fills a store with GAMES games
// (one person, who passes, against a greedy robot, who plays), each to MOVES
// turns, and stops with them in play; then the server program is started on
// that store RUNS times, and, as the baseline in the same run, on an empty
// store. Prints the median time to listening of each, their difference and
// ratio, and the restore's own time as the server says it.
//   wordmoot-restorebench SERVER WORDS [games] [moves] [runs]
#include "SanitizedBuild.h"

#include "server/Lobby.h"
#include "server/User.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <vector>

using namespace wordmoot;

namespace {

// A person in the process who passes whenever it is its turn.
class Passer : public server::User {
public:
    explicit Passer(server::Lobby& lobby)
        : lobby_(lobby) {}
    void send(ReplyCode code, QByteArrayView) override {
        if (code == ReplyCode::WhoseTurn)
            ++turns;
        if (code == ReplyCode::Won || code == ReplyCode::Draw)
            over = true;
        if (code == ReplyCode::YourTurn)
            QTimer::singleShot(0, &context_, [this] { lobby_.receive(*this, "FORFEIT"); });
    }
    void close() override {}
    bool isClosing() const override { return false; }
    int turns = 0;
    bool over = false; // the robot went out first

private:
    server::Lobby& lobby_;
    QObject context_;
};

// Fills the store with games in play, and says how many are still in play:
// a robot may go out first. Nullopt when the lobby does not open.
std::optional<int> fill(const QString& store, const QString& words, int games, int moves) {
    server::ServerOptions options;
    options.store = store;
    options.words = words;
    options.judging = Judging::List; // judged at once: nobody waits for a vote
    options.robots = 1;
    options.robotDelayMs = 0;
    options.robotLevel = robot::Level::Greedy;
    QString error;
    auto lobby = server::Lobby::open(options, error);
    if (!lobby) {
        std::fprintf(stderr, "restorebench: %s\n", qPrintable(error));
        return std::nullopt;
    }
    std::vector<std::unique_ptr<Passer>> people;
    for (int game = 0; game < games; ++game) {
        people.push_back(std::make_unique<Passer>(*lobby));
        lobby->admit(*people.back());
        lobby->receive(*people.back(), "NAME person" + QByteArray::number(game));
        lobby->receive(*people.back(), "NEWGAME");
        lobby->receive(*people.back(), "READY"); // alone with the robot: the game begins
    }
    QElapsedTimer took;
    took.start();
    const auto done = [&] {
        return std::all_of(people.begin(), people.end(),
                           [&](const auto& p) { return p->over || p->turns >= moves; });
    };
    while (!done() && took.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    lobby.reset(); // stopped with its games in play
    return int(std::count_if(people.begin(), people.end(), [](const auto& p) { return !p->over; }));
}

struct Start {
    qint64 ms = 0;
    QByteArray restored; // what the server said of it
};

Start startServer(const QString& server, const QString& store, const QString& words) {
    QProcess process;
    QElapsedTimer took;
    took.start();
    // All the players come from one address, as fast as they are answered.
    process.start(server, {"--listen", "127.0.0.1", "--port", "0", "--store", store, "--words",
                           words, "--per-address", "0", "--flood-rate", "0"});
    if (!process.waitForReadyRead(120000))
        return {};
    Start start{took.elapsed(), {}};
    process.kill();
    process.waitForFinished();
    static const QRegularExpression restored("restored \\d+ of \\d+ games in play in \\d+ ms");
    const auto match = restored.match(QString::fromUtf8(process.readAllStandardError()));
    start.restored = match.hasMatch() ? match.captured(0).toUtf8() : QByteArray("nothing restored");
    return start;
}

Start median(const QString& server, const QString& store, const QString& words, int runs) {
    std::vector<Start> starts;
    for (int run = 0; run < runs; ++run)
        starts.push_back(startServer(server, store, words));
    std::sort(starts.begin(), starts.end(),
              [](const Start& a, const Start& b) { return a.ms < b.ms; });
    return starts[starts.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: wordmoot-restorebench SERVER WORDS [games] [moves] [runs]\n", stderr);
        return 2;
    }
    const int games = args.size() > 3 ? args[3].toInt() : 9;
    const int moves = args.size() > 4 ? args[4].toInt() : 16; // a robot may go out by 24
    const int runs = std::max(1, args.size() > 5 ? args[5].toInt() : 5);
    bench::noteSanitizedBuild();
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.sqlite"), full = dir.filePath("full.sqlite");
    const std::optional<int> inPlay = fill(full, args[2], games, moves);
    if (!inPlay)
        return 1;
    const Start baseline = median(args[1], empty, args[2], runs);
    const Start restoring = median(args[1], full, args[2], runs);
    if (baseline.ms == 0 || restoring.ms == 0) {
        std::fputs("restorebench: the server did not start\n", stderr);
        return 1;
    }
    std::printf("start on an empty store: %lld ms (median of %d)\n", baseline.ms, runs);
    std::printf("start with %d games in play of %d turns (%d begun, %d played out): %lld ms; %s\n",
                *inPlay, moves, games, games - *inPlay, restoring.ms,
                restoring.restored.constData());
    std::printf("restoring costs %lld ms: %.2f times the empty start\n",
                restoring.ms - baseline.ms, double(restoring.ms) / double(baseline.ms));
    const QByteArray all = QByteArray::number(*inPlay);
    return *inPlay == 0 || restoring.restored.startsWith("restored " + all + " of " + all) ? 0 : 1;
}
