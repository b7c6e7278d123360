// How strong one robot level is against another: whole games at the rules
// level, no server, each bag played twice with the seats swapped.
//
//   robot_strength LEVEL-A LEVEL-B [games] [seed] [word-file] [leave-file] [--think-ms MS]
//                  [--jobs N]
//
// --think-ms is the most a champion thinks over a move (2000 by default);
// --jobs plays that many games at once, one a thread (1 by default): the
// games and their results are the same, as long as thinks end by their
// iteration limits rather than their clocks.
// Prints A's wins, draws and losses, the mean margin per game (A's score less
// B's) with its 95% confidence interval, and the mean scores.
#include "robot/SelfPlay.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

using namespace wordmoot;
using namespace wordmoot::robot;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const auto option = [&args](const char* name, int otherwise) {
        const qsizetype at = args.indexOf(name);
        if (at <= 0)
            return otherwise;
        const int value = args.value(at + 1).toInt();
        args.remove(at, std::min<qsizetype>(2, args.size() - at));
        return value;
    };
    const int thinkMs = option("--think-ms", 2000);
    const int jobs = option("--jobs", 1);
    const auto a = parseLevel(args.value(1).toStdString());
    const auto b = parseLevel(args.value(2).toStdString());
    const int games = args.value(3, "1000").toInt();
    const std::uint64_t seed = args.value(4, "1").toULongLong();
    const QString wordFile = args.value(5, defaultWordList().path);
    const auto words = WordList::load(wordFile);
    const auto leaves = args.size() > 6 ? LeaveTable::load(args[6]) : LeaveTable::builtIn();
    if (!a || !b || games < 2 || !words || !leaves || thinkMs < 1 || jobs < 1 || jobs > 64) {
        std::fputs("usage: robot_strength LEVEL LEVEL [games] [seed] [word-file] [leave-file] "
                   "[--think-ms MS] [--jobs N]\n(levels: casual, greedy, strong, champion)\n",
                   stderr);
        return 2;
    }
    const Brain brain(*words, *leaves);
    const auto start = std::chrono::steady_clock::now();
    int wins = 0, draws = 0, faults = 0;
    double sum = 0, squares = 0, scoreA = 0, scoreB = 0;
    std::vector<GameResult> results(games);
    std::atomic<int> next = 0;
    const auto play = [&] {
        for (int i; (i = next++) < games;) {
            const bool swapped = i % 2 == 1; // the same bag again, B in seat 0
            const std::array<Contender, 2> seats{Contender{swapped ? *b : *a, &brain, thinkMs},
                                                 Contender{swapped ? *a : *b, &brain, thinkMs}};
            results[i] = playGame(seats, seed * 100003 + i / 2);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < jobs; ++t)
        threads.emplace_back(play);
    for (std::thread& thread : threads)
        thread.join();
    for (int i = 0; i < games; ++i) {
        const bool swapped = i % 2 == 1;
        const GameResult& r = results[i];
        const int mine = r.scores[swapped ? 1 : 0], theirs = r.scores[swapped ? 0 : 1];
        faults += int(r.faults.size()) + (r.over ? 0 : 1);
        wins += mine > theirs;
        draws += mine == theirs;
        sum += mine - theirs;
        squares += double(mine - theirs) * (mine - theirs);
        scoreA += mine;
        scoreB += theirs;
    }
    const double mean = sum / games;
    const double sd = std::sqrt((squares - games * mean * mean) / (games - 1));
    const double half = 1.96 * sd / std::sqrt(double(games));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s against %s, %d games (seed %llu): %d wins, %d draws, %d losses (%.1f%%)\n",
                levelName(*a), levelName(*b), games, static_cast<unsigned long long>(seed), wins,
                draws, games - wins - draws, 100.0 * (wins + 0.5 * draws) / games);
    std::printf("mean margin %+.1f points a game, 95%% interval %+.1f to %+.1f (sd %.1f)\n", mean,
                mean - half, mean + half, sd);
    std::printf("mean scores %.1f to %.1f; %d faults; %.1f s\n", scoreA / games, scoreB / games,
                faults, seconds);
    return faults == 0 ? 0 : 1;
}
