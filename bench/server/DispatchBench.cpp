// How fast the server cuts what a user sends into lines and answers them,
// without a socket: the lines go through the server's framer into the
// lobby, whose answers are written as the connection writes them and then
// dropped. The baseline, in the same run, is the framer alone: the ratio is
// what the lobby's reading, dispatch and answers cost on top of cutting.
//   wordmoot-dispatchbench [lines]
#include "SanitizedBuild.h"

#include "shared/protocol/LineFramer.h"
#include "shared/protocol/WireLine.h"
#include "server/Lobby.h"
#include "server/User.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace wordmoot;
using namespace wordmoot::server;

namespace {

// A user whose answers are made as they would go out, counted and dropped.
class CountingSeat : public User {
public:
    void send(ReplyCode code, QByteArrayView text) override {
        bytes += replyLine(code, text).size();
    }
    void close() override {}
    bool isClosing() const override { return false; }
    qint64 bytes = 0;
};

// What a user in a game might send: chat, the game list, a game's line, a
// play that is refused, a word check, an unknown word.
QByteArray commands(int lines) {
    static const char* const kMix[] = {"SAY hello there everybody",
                                       "GLIST",
                                       "GINFO 1",
                                       "PLAY 7,7,Z 8,7,Z ",
                                       "CHECK qi",
                                       "WHO",
                                       "BOGUS"};
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += wireLine(kMix[i % std::size(kMix)]);
    return bytes;
}

// Lines a second through the framer, each handed to `handle`; the bytes go
// in 16 KiB pieces, as the connection reads them.
template <typename Handle> double linesPerSecond(const QByteArray& bytes, Handle handle) {
    constexpr qsizetype kPiece = 16 * 1024;
    QElapsedTimer clock;
    clock.start();
    CommandFramer framer;
    qint64 lines = 0;
    for (qsizetype at = 0; at < bytes.size(); at += kPiece) {
        framer.append(bytes.mid(at, kPiece));
        while (const auto line = framer.takeLine()) {
            handle(*line);
            ++lines;
        }
    }
    return lines / (clock.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::noteSanitizedBuild();
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const QByteArray bytes = commands(lines);

    ServerOptions options;
    options.seed = 1;
    QString error;
    const auto lobby = Lobby::open(options, error);
    if (!lobby) {
        std::fprintf(stderr, "wordmoot-dispatchbench: %s\n", qPrintable(error));
        return 1;
    }
    CountingSeat player;
    CountingSeat watcher;
    for (CountingSeat* seat : {&player, &watcher})
        lobby->admit(*seat);
    lobby->receive(player, "NAME ann");
    lobby->receive(watcher, "NAME cy");
    lobby->receive(player, "NEWGAME");
    lobby->receive(watcher, "JOIN 1");

    qint64 framed = 0;
    double best[2] = {0, 0};
    for (int run = 0; run < 5; ++run) {
        best[0] =
            std::max(best[0], linesPerSecond(bytes, [&](QByteArrayView l) { framed += l.size(); }));
        best[1] = std::max(best[1], linesPerSecond(bytes, [&](QByteArrayView l) {
                               lobby->receive(player, l.toByteArray());
                           }));
    }
    for (CountingSeat* seat : {&player, &watcher})
        lobby->remove(*seat);
    std::printf("%d lines, best of 5 runs\n", lines);
    std::printf("framed alone: %.0f lines/s\n", best[0]);
    std::printf("framed, read and answered by the lobby: %.0f lines/s (%.2fx the framer's time)\n",
                best[1], best[0] / best[1]);
    std::printf("answers: %lld bytes to the sender, %lld to the other user\n",
                static_cast<long long>(player.bytes), static_cast<long long>(watcher.bytes));
    return framed > 0 && player.bytes > 0 && watcher.bytes > 0 ? 0 : 1;
}
