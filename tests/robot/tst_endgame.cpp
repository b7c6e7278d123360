// The endgame search against every line played out without pruning, on
// small endgames, and its answer when it has no time at all.
#include "robot/Endgame.h"
#include "shared/rules/Game.h"
#include "shared/rules/TileBag.h"
#include "robot/WordGraph.h"

#include "Boards.h"

#include <QTest>

#include <algorithm>

using namespace wordmoot;
using namespace wordmoot::robot;

namespace {

const std::vector<std::string>& smallList() {
    static const std::vector<std::string> words(
        {"AT",  "TA",   "AS",  "IS",   "IT",  "TI",  "SI",   "CAT", "CATS", "ACT", "ACTS", "SAT",
         "EAT", "EATS", "TEA", "TEAS", "ATE", "ETA", "SEA",  "SET", "SETA", "TIE", "TIES", "SIT",
         "ITS", "QI",   "QIS", "ZA",   "ZAS", "ZIT", "ZITS", "AX",  "EX",   "XI",  "XIS",  "TAX"});
    return words;
}

// Every line to the end: the value for the side to move.
int valueByBruteForce(const MoveGenerator& generator, const Grid& board, const std::string& mine,
                      const std::string& theirs, bool otherPassed) {
    int best = otherPassed ? rackValue(theirs) - rackValue(mine)
                           : -valueByBruteForce(generator, board, theirs, mine, true);
    for (const ScoredPlay& p : generator.allPlays(board, mine)) {
        const std::string left = rackWithout(mine, rackTiles(p.play));
        if (left.empty()) {
            best = std::max(best, p.score + 2 * rackValue(theirs));
            continue;
        }
        Grid after = board;
        for (const LaidTile& t : p.play)
            after.at(t.column, t.row) = t.tile;
        best = std::max(best, p.score - valueByBruteForce(generator, after, theirs, left, false));
    }
    return best;
}

} // namespace

class EndgameTest : public QObject {
    Q_OBJECT
private slots:
    void sameSpreadAsEveryLinePlayedOut_data() {
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<int>("board");
        QTest::newRow("one tile each") << "S"
                                       << "T" << 0;
        QTest::newRow("out in one, or two for more") << "SI"
                                                     << "Q" << 0;
        QTest::newRow("stuck with a Q") << "QE"
                                        << "SA" << 1;
        QTest::newRow("three against two") << "TEA"
                                           << "SI" << 1;
        QTest::newRow("a blank") << "_S"
                                 << "XA" << 0;
        QTest::newRow("nothing to play") << "VV"
                                         << "ST" << 1;
        QTest::newRow("four against three") << "TEAS"
                                            << "SIX" << 1;
        QTest::newRow("two hooks, either first") << "SSI"
                                                 << "SST" << 2;
    }
    void sameSpreadAsEveryLinePlayedOut() {
        QFETCH(QString, mine);
        QFETCH(QString, theirs);
        QFETCH(int, board);
        const WordGraph graph(smallList());
        const MoveGenerator generator(graph);
        const Grid boards[] = {boardWith({{5, 7, false, "CAT"}}),
                               boardWith({{5, 7, false, "CATS"}, {7, 4, true, "EAT"}}),
                               boardWith({{2, 7, false, "CAT"}, {11, 2, true, "EAT"}})};
        const Grid& grid = boards[board];
        const std::string m = mine.toStdString(), t = theirs.toStdString();

        const EndgameAnswer answer =
            solveEndgame(generator, grid, m, t, Deadline::in(300'000));
        const int truth = valueByBruteForce(generator, grid, m, t, false);
        QVERIFY(answer.exact);
        QCOMPARE(answer.spread, truth);
        // The move answered is worth what the search says it is.
        if (answer.play) {
            const std::string left = rackWithout(m, rackTiles(answer.play->play));
            Grid after = grid;
            for (const LaidTile& tile : answer.play->play)
                after.at(tile.column, tile.row) = tile.tile;
            const int worth =
                left.empty()
                    ? answer.play->score + 2 * rackValue(t)
                    : answer.play->score - valueByBruteForce(generator, after, t, left, false);
            QCOMPARE(worth, truth);
        } else {
            QCOMPARE(-valueByBruteForce(generator, grid, t, m, true), truth);
        }
    }

    // With the deadline gone before it starts, the search still answers a
    // legal play: the highest-scoring one.
    void noTimeStillGivesALegalPlay() {
        const WordGraph graph(smallList());
        const MoveGenerator generator(graph);
        const Grid grid = boardWith({{5, 7, false, "CATS"}, {7, 4, true, "EAT"}});
        const EndgameAnswer answer = solveEndgame(generator, grid, "TEAS", "XI", Deadline{Clock::now()});
        QVERIFY(answer.play);
        const std::vector<ScoredPlay> plays = generator.allPlays(grid, "TEAS");
        QVERIFY(std::find(plays.begin(), plays.end(), *answer.play) != plays.end());
        QCOMPARE(answer.play->score,
                 std::max_element(plays.begin(), plays.end(), [](const auto& a, const auto& b) {
                     return a.score < b.score;
                 })->score);
        QVERIFY(!answer.exact);
    }
};

QTEST_APPLESS_MAIN(EndgameTest)
#include "tst_endgame.moc"
