// Times the move generator on positions from greedy self-play with the full
// word list, next to the brute-force generator in the same run.
//
//   robot_bench [word-file] [brute-positions] [brute-rack-tiles] [endgames] [think-ms]
//               [simulated]
//
// Then the endgame search on endgames from games of two strong robots (the
// position when the bag has just emptied): how many it solves to the end
// within the think time (200 endgames, 2000 ms by default), and how long it
// takes, beside the generator's time on the same boards. Last the champion's
// simulation on positions after ten moves of such games (50 by default), a
// quarter of the think time each with no candidate let go: how many
// continuations it plays out a second on one core, against the generator.
// The brute force tries every ordering of the rack on every run of cells, so
// it is timed on the first positions only (10 by default), with each rack cut
// to its first letters (5 by default, blanks left out); the generator is
// timed again on the very same cut racks for the ratio.
#include "BruteForce.h"
#include "Positions.h"
#include "SanitizedBuild.h"

#include "robot/Choice.h"
#include "robot/Endgame.h"
#include "robot/Simulation.h"
#include "shared/rules/Game.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <string>

using namespace wordmoot;
using namespace wordmoot::testing;

namespace {

constexpr int kPositions = 200;
constexpr std::uint64_t kSeed = 2024;
constexpr int kFirstTurn = 6; // mid-game: a few plays down, tiles still in the bag

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A figure of /proc/self/status in megabytes, such as VmRSS or VmHWM.
double statusMegabytes(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').front().toDouble() / 1024;
    return 0;
}

struct Timings {
    std::vector<double> milliseconds;
    std::size_t plays = 0;

    double median() const {
        std::vector<double> sorted = milliseconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    double max() const { return *std::max_element(milliseconds.begin(), milliseconds.end()); }
    double total() const { return std::accumulate(milliseconds.begin(), milliseconds.end(), 0.0); }
};

template <typename Generate>
Timings timed(const std::vector<Position>& positions, Generate generate) {
    Timings timings;
    for (const Position& position : positions) {
        const Clock::time_point start = Clock::now();
        timings.plays += generate(position).size();
        timings.milliseconds.push_back(millisecondsSince(start));
    }
    return timings;
}

struct Met {
    Grid board;
    std::string mine, unseen; // with the bag empty, unseen is the other's rack
    int bagSize = 0;
};

// A position of each game of two strong robots, game after game from seed 1:
// the first with the bag empty (an endgame), or the one after `moves` moves.
std::vector<Met> positionsMet(const robot::Brain& brain, int count, int moves = 0) {
    std::vector<Met> found;
    GameListener quiet;
    for (std::uint64_t seed = 1; int(found.size()) < count && seed <= std::uint64_t(4 * count);
         ++seed) {
        Game game({"a", "b"}, Judging::List, &brain.words(), seed, &quiet);
        std::mt19937_64 random(seed);
        game.start();
        for (int made = 0; !game.isOver() && game.bagSize() > 0 && made < (moves ? moves : 200);
             ++made) {
            const int seat = game.turn();
            const Grid board = game.shownBoard();
            robot::makeMove(game, seat,
                            robot::chooseMove(brain,
                                              {board, game.seats()[seat].rack, game.bagSize()},
                                              robot::Level::Strong, random));
        }
        const int seat = game.turn();
        if (!game.isOver() && (moves ? game.bagSize() > 0 : game.bagSize() == 0))
            found.push_back({game.shownBoard(), game.seats()[seat].rack, game.unseenBy(seat),
                             game.bagSize()});
    }
    return found;
}

// The first `tiles` letters of the rack, blanks left out.
std::string cutRack(const std::string& rack, int tiles) {
    std::string cut;
    for (char tile : rack)
        if (tile != kUnnamedBlank && static_cast<int>(cut.size()) < tiles)
            cut += tile;
    return cut;
}

} // namespace

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv); // where the programs' word list lies
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : defaultWordList().path;
    const int brutePositions = argc > 2 ? std::atoi(argv[2]) : 10;
    const int bruteTiles = argc > 3 ? std::atoi(argv[3]) : 5;
    wordmoot::bench::noteSanitizedBuild();

    Clock::time_point start = Clock::now();
    const std::optional<WordList> words = WordList::load(path);
    if (!words || words->isEmpty()) {
        std::fprintf(stderr, "no words in %s\n", qPrintable(path));
        return 1;
    }
    const double loadMs = millisecondsSince(start);
    const double residentBefore = statusMegabytes("VmRSS");
    start = Clock::now();
    const WordGraph graph(words->words());
    const double buildMs = millisecondsSince(start);
    std::printf("word list %s: %zu words, read in %.0f ms\n", qPrintable(path),
                words->words().size(), loadMs);
    std::printf("graph: built in %.0f ms, %zu nodes, %zu edges, %.1f MB; resident %.1f MB "
                "(%.1f MB before the graph)\n",
                buildMs, graph.nodeCount(), graph.edgeCount(), graph.bytes() / 1048576.0,
                statusMegabytes("VmRSS"), residentBefore);

    const MoveGenerator generator(graph);
    const SelfPlay games = selfPlay(generator, *words, kSeed, Pick::Best, kPositions, kFirstTurn);
    const std::vector<Position>& positions = games.positions;
    const Timings fast =
        timed(positions, [&](const Position& p) { return generator.allPlays(p.grid, p.rack); });
    std::printf("generator, %zu positions from greedy self-play (seed %llu, turn %d on): median "
                "%.2f ms, max %.2f ms, mean %.2f ms, %zu plays in all\n",
                positions.size(), static_cast<unsigned long long>(kSeed), kFirstTurn, fast.median(),
                fast.max(), fast.total() / positions.size(), fast.plays);

    // The hardest racks: the same boards with two blanks in each rack.
    std::vector<Position> blanks = positions;
    for (Position& position : blanks)
        position.rack = cutRack(position.rack, kRackSlots - 2) + std::string(2, kUnnamedBlank);
    const Timings twoBlanks =
        timed(blanks, [&](const Position& p) { return generator.allPlays(p.grid, p.rack); });
    std::printf("generator, the same positions with two blanks in every rack: median %.2f ms, max "
                "%.2f ms, %zu plays in all\n",
                twoBlanks.median(), twoBlanks.max(), twoBlanks.plays);

    std::vector<Position> cut(positions.begin(),
                              positions.begin() +
                                  std::min<std::size_t>(brutePositions, positions.size()));
    for (Position& position : cut)
        position.rack = cutRack(position.rack, bruteTiles);
    const BruteForce brute(*words);
    const Timings slow =
        timed(cut, [&](const Position& p) { return brute.allPlays(p.grid, p.rack); });
    const Timings same =
        timed(cut, [&](const Position& p) { return generator.allPlays(p.grid, p.rack); });
    std::printf("brute force, first %zu positions, racks cut to %d letters: median %.1f ms, max "
                "%.1f ms, %zu plays; generator on the same: median %.3f ms, %zu plays; "
                "brute force / generator: %.0fx (medians), %.0fx (totals)\n",
                cut.size(), bruteTiles, slow.median(), slow.max(), slow.plays, same.median(),
                same.plays, slow.median() / same.median(), slow.total() / same.total());
    const int endgameCount = argc > 4 ? std::atoi(argv[4]) : 200;
    const int thinkMs = argc > 5 ? std::atoi(argv[5]) : 2000;
    const robot::Brain brain(*words, robot::LeaveTable::builtIn());
    const std::vector<Met> ends = positionsMet(brain, endgameCount);
    Timings searched, generated;
    int exact = 0;
    std::vector<double> depths;
    for (const Met& e : ends) {
        start = Clock::now();
        const robot::EndgameAnswer answer =
            robot::solveEndgame(generator, e.board, e.mine, e.unseen,
                                robot::Deadline::in(thinkMs));
        searched.milliseconds.push_back(millisecondsSince(start));
        exact += answer.exact;
        depths.push_back(answer.depth);
        start = Clock::now();
        generated.plays += generator.allPlays(e.board, e.mine).size();
        generated.milliseconds.push_back(millisecondsSince(start));
    }
    std::sort(depths.begin(), depths.end());
    if (!ends.empty())
        std::printf(
            "endgame search, %zu endgames from strong self-play, %d ms to think: %d solved "
            "to the end (%.0f%%); median %.1f ms, max %.1f ms, median depth %.0f plies; "
            "the generator on the same boards: median %.2f ms (search / generator: %.0fx)\n",
            ends.size(), thinkMs, exact, 100.0 * exact / ends.size(), searched.median(),
            searched.max(), depths[depths.size() / 2], generated.median(),
            searched.median() / std::max(generated.median(), 1e-3));

    // The champion's simulation in mid-game, on one core: how many
    // continuations (the candidate, the reply and the answer) it plays out.
    const int simulated = argc > 6 ? std::atoi(argv[6]) : 50;
    Timings simulations;
    long long iterations = 0, evaluations = 0;
    for (const Met& m : positionsMet(brain, simulated, 10)) {
        std::mt19937_64 random(evaluations + 1);
        robot::SimulationLimits unbounded;
        unbounded.mostIterations = 1'000'000;
        unbounded.leastBeforeCut = 1'000'000; // no candidate let go: the rate alone
        start = Clock::now();
        const robot::SimulationAnswer answer =
            robot::simulate(brain, {m.board, m.mine, m.bagSize, m.unseen, 0},
                            random, robot::Deadline::in(thinkMs / 4), unbounded);
        simulations.milliseconds.push_back(millisecondsSince(start));
        iterations += answer.iterations;
        evaluations += 1;
    }
    if (evaluations > 0)
        std::printf("simulation, %lld positions after 10 moves of strong self-play, %d ms each, "
                    "one core: %.0f continuations a second (%lld in all); one takes %.1f times a "
                    "generator call (%.2f ms, the median on the endgames' boards) and makes two\n",
                    evaluations, thinkMs / 4, iterations / (simulations.total() / 1000), iterations,
                    simulations.total() / std::max<long long>(iterations, 1) /
                        std::max(generated.median(), 1e-3),
                    generated.median());
    std::printf("peak resident: %.1f MB\n", statusMegabytes("VmHWM"));
    for (const std::string& disagreement : games.disagreements)
        std::printf("the game disagreed: %s\n", disagreement.c_str());
    return slow.plays == same.plays && games.disagreements.empty() ? 0 : 1;
}
