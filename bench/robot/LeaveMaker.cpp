// Learns the leave table by robot self-play: two robots play whole games;
// every time one keeps tiles and the bag refills its rack, what it scores on
// its next turn is one sample for those tiles; the table is the least-squares
// fit (LeaveFit). The table goes to standard output.
//
//   robot_leaves [games] [seed] [word-file] [leave-file]
//
// Without a leave file the robots are greedy; with one they are strong with
// that table, which refines it (bench/robot/make-leaves.sh runs both).
#include "LeaveFit.h"

#include "robot/SelfPlay.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>

using namespace wordmoot;
using namespace wordmoot::robot;

namespace {
constexpr double kRidge = 20; // in samples: a pair seen far less often stays near zero
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int games = args.value(1, "4000").toInt();
    const std::uint64_t seed = args.value(2, "7").toULongLong();
    const auto words = WordList::load(args.value(3, defaultWordList().path));
    const auto from = args.size() > 4 ? LeaveTable::load(args[4]) : LeaveTable();
    if (games < 1 || !words || !from) {
        std::fputs("usage: robot_leaves [games] [seed] [word-file] [leave-file]\n", stderr);
        return 2;
    }
    const Brain brain(*words, *from);
    const Level level = args.size() > 4 ? Level::Strong : Level::Greedy;
    LeaveFit fit;
    int faults = 0;
    for (int i = 0; i < games; ++i) {
        std::array<std::optional<std::string>, 2> kept; // waiting for the next turn's score
        const auto watch = [&](const MoveMade& m) {
            if (kept[m.seat])
                fit.add(*kept[m.seat], m.kind == Move::Kind::Play ? m.score : 0);
            kept[m.seat].reset();
            const int drawn = kRackSlots - int(m.leave.size());
            if (m.kind != Move::Kind::Pass && m.bagBefore - drawn > 0)
                kept[m.seat] = m.leave;
        };
        const GameResult r = playGame({Contender{level, &brain}, Contender{level, &brain}},
                                      seed * 1000003 + i, watch);
        faults += int(r.faults.size());
    }
    double constant = 0;
    const LeaveTable table = fit.solve(kRidge, &constant);
    std::printf("# Leave values in points, learned by robot self-play: bench/robot/make-leaves.sh\n"
                "# robot_leaves %d %llu: %s robots, %d samples, a fresh rack scores %.1f\n",
                games, static_cast<unsigned long long>(seed), levelName(level), fit.samples(),
                constant);
    std::fputs(table.text().c_str(), stdout);
    return faults == 0 ? 0 : 1;
}
