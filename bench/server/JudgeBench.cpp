// How long a phony play waits for its answer against a robot. One user
// plays a robot on a server in the process, over loopback; on each of its
// turns it lays two rack tiles that make no word. Under the challenge rule
// the robot challenges it, under the vote it refuses it; the baseline, in
// the same run, is the list rule, which refuses a phony without asking
// anyone. Prints the median and the slowest PLAY-to-5036 time of each and
// their ratio to the baseline.
//   wordmoot-judgebench [phonies] [word-file]
#include "SanitizedBuild.h"

#include "shared/rules/Scoring.h"
#include "shared/rules/WordList.h"
#include "server/GameServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace wordmoot;

namespace {

// One rack tile laid where it touches the board and makes a word that is
// not in the list (two making none, on an empty board); empty when the rack
// has no such play.
QByteArray phonyPlay(const Grid& board, const QByteArray& rack, const WordList& words) {
    const auto phony = [&](const Play& play) {
        if (checkPlacement(board, play) != PlacementFault::None)
            return false;
        const auto formed = formedWords(board, play);
        return std::any_of(formed.begin(), formed.end(),
                           [&](const FormedWord& w) { return !words.contains(w.letters); });
    };
    const auto line = [](const Play& play) {
        QByteArray text = "PLAY ";
        for (const LaidTile& t : play)
            text += QByteArray::number(t.column) + ',' + QByteArray::number(t.row) + ',' +
                    t.tile.letter + ' ';
        return text + "\r\n";
    };
    for (qsizetype i = 0; i < rack.size(); ++i)
        for (qsizetype j = 0; j < rack.size(); ++j) {
            const char a = rack[i], b = rack[j];
            if (a == '_' || b == '_')
                continue;
            const Play two = {{kCentre, kCentre, Tile{a, false}},
                              {kCentre + 1, kCentre, Tile{b, false}}};
            if (board.isEmpty() && i != j && phony(two))
                return line(two);
            for (int column = 0; column < kBoardCells && !board.isEmpty(); ++column)
                for (int row = 0; row < kBoardCells; ++row)
                    if (const Play one = {{column, row, Tile{a, false}}}; phony(one))
                        return line(one);
        }
    return {};
}

// A board row as the server writes it, into the grid.
void readRow(Grid& board, QByteArrayView text) {
    const qsizetype blank = text.indexOf(' ');
    if (blank < 0)
        return;
    const int row = text.first(blank).toInt();
    const QByteArrayView cells = text.sliced(blank + 1);
    for (int column = 0;
         column < kBoardCells && column < cells.size() && row >= 0 && row < kBoardCells; ++column) {
        const char c = cells[column];
        board.at(column, row) = c == '.'               ? Tile{}
                                : c >= 'a' && c <= 'z' ? Tile{char(c - 'a' + 'A'), true}
                                                       : Tile{c, c == '_'};
    }
}

// The times from each phony PLAY to its 5036, in milliseconds.
std::vector<double> phonyAnswers(Judging judging, const QString& wordFile, const WordList& words,
                                 int phonies) {
    server::ServerOptions options;
    options.port = 0;
    options.words = wordFile;
    options.judging = judging;
    options.robots = 1;
    options.robotDelayMs = 0;
    options.seed = 11;
    server::GameServer server(options);
    std::vector<double> times;
    if (!server.start())
        return times;
    QTcpSocket user;
    QEventLoop loop;
    QElapsedTimer sent;
    QByteArray buffer, rack;
    Grid board;
    const auto play = [&] {
        const QByteArray line = phonyPlay(board, rack, words);
        if (line.isEmpty()) // nothing to try from this rack: let the robot go on
            return void(user.write("FORFEIT\r\n"));
        sent.start();
        user.write(line);
    };
    QObject::connect(&user, &QTcpSocket::readyRead, &loop, [&] {
        buffer += user.readAll();
        for (qsizetype end; (end = buffer.indexOf("\r\n")) >= 0; buffer.remove(0, end + 2)) {
            const QByteArray line = buffer.left(end);
            if (line.startsWith("1180"))
                user.write("READY\r\n");
            else if (line.startsWith("2003 Robot"))
                user.write("APPROVE\r\n");
            else if (line.startsWith("2013 "))
                rack = line.mid(5);
            else if (line.startsWith("2012 "))
                readRow(board, QByteArrayView(line).sliced(5));
            else if (line.startsWith("5036 ")) {
                times.push_back(sent.nsecsElapsed() / 1e6);
                if (int(times.size()) == phonies)
                    return loop.quit();
                if (judging == Judging::List)
                    play(); // still on turn
            } else if (line.startsWith("1020 ")) {
                play();
            } else if (line.startsWith("2017 ") || line.startsWith("2018 ")) {
                user.write("READY\r\n");
            }
        }
    });
    user.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    user.write("NAME bench\r\nNEWGAME\r\n");
    QTimer::singleShot(60000, &loop, &QEventLoop::quit); // a bound, should a game stall
    loop.exec();
    return times;
}

struct Figures {
    double median = 0, slowest = 0;
};

Figures figures(std::vector<double> times) {
    if (times.empty())
        return {};
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    wordmoot::bench::noteSanitizedBuild();
    const int phonies = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const QString wordFile = argc > 2 ? QString::fromLocal8Bit(argv[2]) : defaultWordList().path;
    const auto words = WordList::load(wordFile);
    if (!words || words->isEmpty()) {
        std::fprintf(stderr, "no words in %s\n", qPrintable(wordFile));
        return 2;
    }
    std::printf("a phony play's answer against a robot, %d phonies each, word list %s\n", phonies,
                qPrintable(wordFile));
    const Figures base = figures(phonyAnswers(Judging::List, wordFile, *words, phonies));
    std::printf("  list (refused by the server, the baseline): median %.3f ms, slowest %.3f ms\n",
                base.median, base.slowest);
    const std::pair<Judging, const char*> rules[] = {{Judging::Challenge, "challenge"},
                                                     {Judging::Vote, "vote"}};
    for (const auto& [judging, name] : rules) {
        const std::vector<double> times = phonyAnswers(judging, wordFile, *words, phonies);
        const Figures f = figures(times);
        std::printf("  %s (answered by the robot): median %.3f ms, slowest %.3f ms, %zu phonies; "
                    "median %.1fx the baseline\n",
                    name, f.median, f.slowest, times.size(),
                    base.median > 0 ? f.median / base.median : 0.0);
        if (int(times.size()) < phonies)
            std::printf("  %s: only %zu of %d phonies answered within the bound\n", name,
                        times.size(), phonies);
    }
    return 0;
}
