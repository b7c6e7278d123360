#include "Bench.h"
#include "GameTrace.h"
#include "OfflineClient.h"
#include "shared/protocol/WireLine.h"
#include "shared/rules/WordList.h"

#include <cstdio>

namespace wordmoot::bench {

namespace {

// A window that does nothing, so that the figure is the reply handling's own.
struct QuietView : ClientView {
    const ClientState* state = nullptr;
    int messages = 0;
    void addmsg(const QString&) override { ++messages; }
    void makegameboard() override {}
    void fill_board() override {}
    void fill_rack() override {}
    void setGameControlEnabled(GameControl, bool) override {}
    void setTurnText(const QString&) override {}
    void setCaption(const QString&) override {}
    void showGameSelection() override {}
    void showConnected() override {}
    void disableWindow() override {}
    void endProgram() override {}
};

} // namespace

void gameTrace(int runs, int replays) {
    std::printf("\n== A recorded game: framing and reply handling (offline, a window that "
                "does nothing)\n");
    const QByteArray trace = recordGameTrace(defaultWordList().path);
    check(!trace.isEmpty(), "no game could be recorded from the server");
    if (trace.isEmpty())
        return;
    const QByteArray bytes = trace.repeated(replays);
    const int traceLines = int(trace.count('\n'));
    const int lines = traceLines * replays;

    // The floor: each line found, not copied. Then the least a reader that
    // keeps a line does: one copy of its bytes.
    int split = 0;
    const qint64 bare = best(runs, [&] {
        split = 0;
        splitBare(bytes, [&](QByteArrayView line) { split += line.isEmpty() ? 0 : 1; });
    });
    check(split == lines, "the bare splitter lost lines of the game");
    qsizetype kept = 0;
    const qint64 bareCopy = best(runs, [&] {
        kept = 0;
        splitBare(bytes, [&](QByteArrayView line) { kept += line.toByteArray().size(); });
    });
    // What the connection hands on: each line framed and decoded to text.
    qsizetype decoded = 0;
    const qint64 framed = best(runs, [&] {
        decoded = 0;
        frame(bytes, 4096, [&](QByteArrayView line) { decoded += decodeServerLine(line).size(); });
    });
    check(decoded == kept, "framing and decoding changed the game's lines");

    // Framed, decoded and sent on to its handling, which does not run.
    int routed = 0;
    const qint64 routing = best(runs, [&] {
        routed = 0;
        frame(bytes, 4096, [&](QByteArrayView line) {
            const QString text = decodeServerLine(line);
            routed += ReplyHandlers::route(text).handling ? 1 : 0;
        });
    });
    check(routed == lines, "the routing lost lines of the game");

    int handled = 0;
    int messages = 0;
    const qint64 whole = best(runs, [&] {
        test::OfflineClient<QuietView> client(QStringLiteral("recorder"));
        handled = 0;
        frame(bytes, 4096, [&](QByteArrayView line) {
            client.dispatch(decodeServerLine(line));
            ++handled;
        });
        messages = client.view.messages;
        check(client.scores().size() == 4, "the game's score list does not hold four players");
    });
    check(handled == lines, "the reply handling lost lines of the game");
    std::printf("one game: %d lines, %lld bytes, %d of them logged; replayed %d times\n",
                traceLines, qlonglong(trace.size()), messages / replays, replays);
    std::printf("bare memchr splitter: %.0f lines/s; copying each line: %.0f lines/s\n",
                perSecond(lines, bare), perSecond(lines, bareCopy));
    std::printf("framed and decoded, as the connection hands lines on: %.0f lines/s (%.2f of the "
                "copying splitter's speed, %.2f of the bare one's)\n",
                perSecond(lines, framed), double(bareCopy) / double(framed),
                double(bare) / double(framed));
    std::printf("framed, decoded and routed to its handling: %.0f lines/s (%.2f of the copying "
                "splitter's speed, %.2f of the bare one's)\n",
                perSecond(lines, routing), double(bareCopy) / double(routing),
                double(bare) / double(routing));
    std::printf("framed, decoded and handled by the session: %.0f lines/s (%.2f of the copying "
                "splitter's speed, %.2f of the bare one's)\n",
                perSecond(lines, whole), double(bareCopy) / double(whole),
                double(bare) / double(whole));
}

} // namespace wordmoot::bench
