// How fast the client takes in server lines and shows them: the receive
// buffer's framing, the reply dispatch, the message log and a whole board.
// Prints figures, each beside a baseline measured in the same run where one
// exists. It exits 1 only when a result is wrong, never because of time.
//
//   client_bench           full sizes, best of 5 runs (about ten seconds)
//   client_bench --quick   smaller sizes, best of 2 runs (a few seconds, most
//                          of it filling the log to its most lines)
#include "Bench.h"
#include "ClientFixture.h"
#include "FullBoard.h"
#include "OfflineClient.h"
#include "SanitizedBuild.h"
#include "client/app/MessageLog.h"
#include "client/board/BoardGeometry.h"
#include "shared/protocol/LineFramer.h"
#include "shared/protocol/WireLine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace wordmoot;
using namespace wordmoot::bench;
using namespace wordmoot::test;

namespace {

struct Sizes {
    int runs;           // each figure is the best of this many runs
    int shortLines;     // lines of the framing figure
    qsizetype longLine; // bytes of the line that arrives one byte at a time
    int dispatchLines;  // lines of each dispatch figure
    int windowLines;    // lines into the real window's log
    int logLines;       // lines into the log, whose first and last 1,000 are timed
    int boardRounds;    // full board refreshes dispatched directly
    int floodLines;     // chat lines of the loopback flood
    int traceReplays;   // times the recorded game is replayed
};
constexpr Sizes kFull{5, 1'000'000, 1'000'000, 200'000, 20'000, 1'000'000, 100, 1'000'000, 1000};
constexpr Sizes kQuick{2, 200'000, 200'000, 20'000, 2'000, 50'000, 20, 100'000, 100};

void framing(const Sizes& sizes) {
    std::printf("\n== Framing: cutting the byte stream into lines\n");
    const QByteArray line("2014 hello");
    const QByteArray bytes = manyLines(line, sizes.shortLines);

    int lines = 0;
    bool same = true;
    const auto count = [&](QByteArrayView got) {
        same = same && got == line;
        ++lines;
    };
    const qint64 bare = best(sizes.runs, [&] {
        lines = 0;
        splitBare(bytes, count);
    });
    check(lines == sizes.shortLines && same, "the bare splitter lost or changed lines");
    std::printf("%d short lines, bare memchr splitter: %.0f lines/s\n", sizes.shortLines,
                perSecond(sizes.shortLines, bare));
    for (const qsizetype piece : {qsizetype(4096), bytes.size()}) {
        lines = 0;
        same = true;
        const qint64 ns = best(sizes.runs, [&] {
            lines = 0;
            frame(bytes, piece, count);
        });
        check(lines == sizes.shortLines && same, "the framer lost or changed short lines");
        std::printf("%d short lines, framer, %s: %.0f lines/s (%.2fx the bare splitter's time)\n",
                    sizes.shortLines, piece == 4096 ? "4 KiB pieces" : "one piece",
                    perSecond(sizes.shortLines, ns), double(ns) / double(bare));
    }

    // One long line arriving a byte at a time: rescanning the whole buffer
    // on every arrival would take minutes. The baseline only appends the
    // bytes to a buffer.
    const QByteArray one("a");
    const qint64 appendOnly = best(sizes.runs, [&] {
        QByteArray buffer;
        for (qsizetype i = 0; i < sizes.longLine; ++i)
            buffer.append(one);
        check(buffer.size() == sizes.longLine, "appending bytes lost some");
    });
    std::printf("%lld bytes one at a time, appended to a plain buffer: %.0f bytes/s\n",
                qlonglong(sizes.longLine), perSecond(sizes.longLine, appendOnly));
    for (const bool takeAfterEveryByte : {true, false}) {
        const qint64 ns = best(sizes.runs, [&] {
            LineFramer framer;
            bool early = false;
            for (qsizetype i = 0; i < sizes.longLine; ++i) {
                framer.append(one);
                if (takeAfterEveryByte)
                    early = early || framer.takeLine().has_value();
            }
            framer.append("\r\n");
            const auto whole = framer.takeLine();
            check(!early && whole && whole->size() == sizes.longLine,
                  "the long line did not come out whole");
        });
        std::printf("%lld bytes of one line one at a time, framer, lines taken %s: %.0f bytes/s "
                    "(%.2fx the plain buffer's time)\n",
                    qlonglong(sizes.longLine),
                    takeAfterEveryByte ? "after every byte" : "at the end",
                    perSecond(sizes.longLine, ns), double(ns) / double(appendOnly));
    }
}

void dispatch(const Sizes& sizes) {
    std::printf("\n== Dispatch: framed lines through the session's reply handling "
                "(offline, recording view)\n");
    const struct {
        const char* name;
        QByteArray line;
    } kinds[] = {{"ignored code", "2999 keepalive"},
                 {"notice", "2014 the server says hello"},
                 {"score entry", "2008 alice 2 31 update"}};
    for (const auto& kind : kinds) {
        const QByteArray bytes = manyLines(kind.line, sizes.dispatchLines);
        int decoded = 0;
        const qint64 framedOnly = best(sizes.runs, [&] {
            decoded = 0;
            frame(bytes, 4096, [&](QByteArrayView line) {
                decoded += decodeServerLine(line).isEmpty() ? 0 : 1;
            });
        });
        check(decoded == sizes.dispatchLines, "framing and decoding lost lines");
        int handled = 0;
        const qint64 ns = best(sizes.runs, [&] {
            OfflineClient client;
            handled = 0;
            frame(bytes, 4096, [&](QByteArrayView line) {
                client.dispatch(decodeServerLine(line));
                ++handled;
            });
            if (kind.line.startsWith("2008"))
                check(client.scores().size() == 1, "the score entries did not make one entry");
            else if (kind.line.startsWith("2014"))
                check(client.view.log.size() == sizes.dispatchLines, "notices went missing");
            else
                check(client.untouched(), "an ignored code did something");
        });
        check(handled == sizes.dispatchLines, "the dispatch lost lines");
        std::printf("%-12s (%s): %.0f lines/s; framing and decoding alone %.0f lines/s "
                    "(the whole path takes %.2fx their time)\n",
                    kind.name, kind.line.constData(), perSecond(sizes.dispatchLines, ns),
                    perSecond(sizes.dispatchLines, framedOnly), double(ns) / double(framedOnly));
    }
}

// Notices into the real window's message log, which lays out every line.
void intoTheWindow(const Sizes& sizes) {
    ClientFixture client;
    check(client.start("alice"), "the client did not log on");
    const QByteArray bytes = manyLines("2014 the server says hello", sizes.windowLines);
    int handled = 0;
    QElapsedTimer timer;
    timer.start();
    frame(bytes, 4096, [&](QByteArrayView line) {
        client.form->replies().dispatch(decodeServerLine(line));
        ++handled;
    });
    QCoreApplication::processEvents();
    const qint64 ns = std::max<qint64>(timer.nsecsElapsed(), 1);
    check(handled == sizes.windowLines, "lines into the window went missing");
    check(client.form->irchistorybox()->document()->lastBlock().text() ==
              QStringLiteral("*** the server says hello"),
          "the window's log does not end with the notice");
    std::printf("notices into the real window's log: %.0f lines/s (%d lines)\n",
                perSecond(sizes.windowLines, ns), sizes.windowLines);
}

// The log fills for as long as the program runs; once it holds its most
// lines it stays that size, so the last lines of a long run stand for any
// later point of a long session. Lines go in as a flood brings them: a batch
// a turn of the event loop.
void messageLog(const Sizes& sizes) {
    constexpr int kBatch = 250;
    std::printf("\n== Message log: the first 1000 lines and the last 1000 of %d, "
                "%d lines a turn of the event loop\n",
                sizes.logLines, kBatch);
    ClientFixture client;
    check(client.start("alice"), "the client did not log on");
    MessageLog* log = client.form->irchistorybox();
    const auto lineText = [](int i) {
        return QStringLiteral("<bob> line number %1 of the log").arg(i);
    };
    const auto append = [&](int from, int to) {
        QElapsedTimer timer;
        timer.start();
        for (int batch = from; batch <= to; batch += kBatch) {
            for (int i = batch; i < batch + kBatch && i <= to; ++i)
                client.form->addmsg(lineText(i));
            QCoreApplication::processEvents();
        }
        return std::max<qint64>(timer.nsecsElapsed(), 1);
    };
    const int last = sizes.logLines;
    const qint64 first = append(1, 1000);
    append(1001, last - 1000);
    const qint64 final = append(last - 999, last);
    check(log->document()->blockCount() == MessageLog::kMaxLines,
          "the full log does not hold its most lines");
    check(log->document()->lastBlock().text() == lineText(last),
          "the log does not end with the newest line");
    check(log->verticalScrollBar()->value() == log->verticalScrollBar()->maximum(),
          "the newest line is not in view");
    std::printf("lines 1..1000: %.1f ms; lines %d..%d, the log full at %d lines: %.1f ms; "
                "last / first: %.2fx\n",
                first / 1e6, last - 999, last, MessageLog::kMaxLines, final / 1e6,
                double(final) / double(first));
}

void boardRefresh(const Sizes& sizes) {
    std::printf("\n== Board: a whole board and rack (15 rows of 2012, one 2013) in the window\n");
    ClientFixture client;
    check(client.start("alice"), "the client did not log on");
    WordmootForm& form = *client.form;

    // Over the loopback wire, in one arrival.
    const QList<QByteArray> lines = fullBoard(1);
    int handled = 0;
    qint64 wireNs = -1;
    QElapsedTimer wire;
    QObject::connect(&form.connection(), &Connection::lineReceived, &form, [&] {
        if (++handled == lines.size())
            wireNs = wire.nsecsElapsed();
    });
    wire.start();
    client.server.sendLines(lines);
    check(QTest::qWaitFor([&] { return wireNs >= 0; }, 30000), "the board lines did not arrive");
    check(form.tiles().tile(board::cellTileIndex(14, 14))->text() == QStringLiteral("D"),
          "the board sent over the wire is not shown");

    // Straight through the reply handling, many times.
    const qint64 direct = best(1, [&] {
        for (int round = 0; round < sizes.boardRounds; ++round)
            for (const QByteArray& line : fullBoard(round))
                form.replies().dispatch(QString::fromLatin1(line));
    });
    check(form.tiles().tile(board::cellTileIndex(0, 0))->text() ==
              QString(QChar(u'A' + (sizes.boardRounds - 1) % 26)),
          "the last board dispatched is not shown");
    std::printf("one arrival over the wire, sent to handled: %.2f ms; dispatched directly: "
                "%.2f ms a refresh (%d refreshes)\n",
                wireNs / 1e6, direct / 1e6 / sizes.boardRounds, sizes.boardRounds);
}

} // namespace

int main(int argc, char** argv) {
    // Headless unless told otherwise; the settings stay in a folder of the
    // program's own (StoredSettings.h).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // in order with Qt's messages on stderr
    QStringList parts = app.arguments().mid(1);
    const bool quick = parts.removeAll(QStringLiteral("--quick")) > 0;
    const Sizes& sizes = quick ? kQuick : kFull;
    std::printf("client_bench%s: best of %d runs where repeated\n", quick ? " --quick" : "",
                sizes.runs);
    noteSanitizedBuild();

    // Any other arguments name the parts to run, for a closer look at one.
    const std::pair<const char*, std::function<void()>> all[] = {
        // First, so that the peak resident memory it reports is its own.
        {"flood", [&] { flood(sizes.floodLines); }},
        {"framing", [&] { framing(sizes); }},
        {"game", [&] { gameTrace(sizes.runs, sizes.traceReplays); }},
        {"dispatch", [&] { dispatch(sizes); }},
        {"window", [&] { intoTheWindow(sizes); }},
        {"log", [&] { messageLog(sizes); }},
        {"board", [&] { boardRefresh(sizes); }},
    };
    for (const auto& [name, run] : all)
        if (parts.isEmpty() || parts.contains(QLatin1String(name)))
            run();

    std::printf("\n%s\n", allResultsRight() ? "all results right" : "SOME RESULTS WRONG");
    return allResultsRight() ? 0 : 1;
}
