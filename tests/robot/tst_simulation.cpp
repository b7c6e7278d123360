// The champion's simulation on small positions with a small word list: what
// it picks where one play is clearly best, where it has no time, where it
// has no play, and how it weighs every draw of a small bag.
#include "robot/Equity.h"
#include "robot/Simulation.h"

#include "shared/rules/Game.h"
#include "shared/rules/TileBag.h"

#include "Boards.h"

#include <QTest>

#include <algorithm>

using namespace wordmoot;
using namespace wordmoot::robot;

namespace {

const WordList& smallList() {
    static const WordList words(std::vector<std::string>{
        "at",  "ta",  "as",  "is",  "it",   "ti",  "si",  "cat", "cats", "act", "acts", "sat", "eat",
        "eats", "tea", "teas", "ate", "eta", "sea", "set", "tie", "ties", "sit",  "its", "qi",  "qis",
        "za",  "zas", "zit", "zits", "ax",  "ex",  "xi",  "xis", "tax",  "taxi", "taxis", "taxites", "taxitesz"});
    return words;
}

const Brain& brain() {
    static const Brain b(smallList(), LeaveTable());
    return b;
}

// Tiles the mover has not seen: the other's rack and a bag of `bag`.
std::string unseenWith(int bag) {
    std::string tiles;
    while (int(tiles.size()) < bag + kRackSlots)
        tiles += "AAEEIIOOUSTTRNLCDXZQ";
    return tiles.substr(0, bag + kRackSlots);
}

SimulationLimits everyDeal() {
    SimulationLimits limits;
    limits.leastBeforeCut = 1'000'000;
    return limits;
}

} // namespace

class SimulationTest : public QObject {
    Q_OBJECT
private slots:
    // Where the plays of all seven tiles are far ahead of every other by
    // static equity, the simulation keeps one of them.
    void clearlyBestPlayIsKept_data() {
        QTest::addColumn<QString>("rack");
        QTest::addColumn<int>("bag");
        QTest::addColumn<bool>("empty");
        QTest::newRow("all seven on the first move") << "TAXITES" << 40 << true;
        QTest::newRow("all seven, two in the bag") << "TAXITES" << 2 << true;
        QTest::newRow("all seven through a word") << "TAXITES" << 30 << false;
    }
    void clearlyBestPlayIsKept() {
        QFETCH(QString, rack);
        QFETCH(int, bag);
        QFETCH(bool, empty);
        const Grid grid = empty ? Grid() : boardWith({{3, 7, false, "ZA"}});
        const std::string r = rack.toStdString();
        const std::vector<RatedPlay> ranked =
            bestStaticPlays(brain().generator(), grid, r, brain().leaves(), 100'000);
        const auto shorter = std::find_if(ranked.begin(), ranked.end(), [](const RatedPlay& p) {
            return p.play.play.size() < std::size_t(kRackSlots);
        });
        QVERIFY(!ranked.empty() && shorter != ranked.end());
        QVERIFY2(ranked[0].play.play.size() == std::size_t(kRackSlots) &&
                     ranked[0].equity >= shorter->equity + 30,
                 "the position is not one-sided");
        std::mt19937_64 random(7);
        const std::string unseen = unseenWith(bag);
        const SimulationAnswer answer =
            simulate(brain(), {grid, r, bag, unseen, 0}, random, Deadline::in(60'000));
        QCOMPARE(answer.move.kind, Move::Kind::Play);
        QCOMPARE(answer.move.play.size(), std::size_t(kRackSlots));
        QVERIFY(answer.iterations > 0);
    }

    // With the deadline gone before it starts, or the stop flag set, the
    // answer is the best by static equity, a legal play.
    void noTimeStillGivesALegalPlay_data() {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("the deadline gone") << false;
        QTest::newRow("the stop flag set") << true;
    }
    void noTimeStillGivesALegalPlay() {
        QFETCH(bool, stopped);
        const Grid grid = boardWith({{5, 7, false, "CATS"}});
        std::mt19937_64 random(1);
        const std::atomic<bool> stop = true;
        const Deadline deadline = stopped ? Deadline::in(60'000, &stop) : Deadline{Clock::now()};
        const SimulationAnswer answer = simulate(brain(), {grid, "TEASXIZ", 50, unseenWith(50), 0},
                                                 random, deadline);
        QCOMPARE(answer.iterations, 0);
        QCOMPARE(answer.move.kind, Move::Kind::Play);
        const std::vector<ScoredPlay> plays = brain().generator().allPlays(grid, "TEASXIZ");
        QVERIFY(std::find(plays.begin(), plays.end(),
                          ScoredPlay{answer.move.play, answer.move.score}) != plays.end());
        QCOMPARE(answer.move.play, answer.candidates.front().move.play);
    }

    // Exchanges and passes are candidates: with no play, the simulation
    // gives tiles back while it may, and passes once it may not.
    void noPlayMeansExchangeOrPass_data() {
        QTest::addColumn<int>("bag");
        QTest::addColumn<int>("kind");
        QTest::newRow("a full bag") << 40 << int(Move::Kind::Exchange);
        QTest::newRow("six in the bag") << 6 << int(Move::Kind::Pass);
    }
    void noPlayMeansExchangeOrPass() {
        QFETCH(int, bag);
        QFETCH(int, kind);
        const Grid grid = boardWith({{5, 7, false, "CAT"}});
        std::mt19937_64 random(3);
        const SimulationAnswer answer = simulate(brain(), {grid, "VVUUOOW", bag, unseenWith(bag), 0},
                                                 random, Deadline::in(60'000));
        QCOMPARE(int(answer.move.kind), kind);
    }

    // The best plays by static equity are the first of every play sorted by
    // score plus leave, ties in the tiles' order.
    void staticRankingIsTheSortedOrder_data() {
        QTest::addColumn<QString>("rack");
        QTest::newRow("letters") << "TEASXIZ";
        QTest::newRow("a blank") << "TEA_SIX";
        QTest::newRow("repeats") << "TTAASSE";
    }
    void staticRankingIsTheSortedOrder() {
        QFETCH(QString, rack);
        const std::string r = rack.toStdString();
        const Grid grid = boardWith({{5, 7, false, "CATS"}, {7, 4, true, "EAT"}});
        const LeaveTable& leaves = LeaveTable::builtIn();
        std::vector<RatedPlay> sorted;
        for (ScoredPlay& p : brain().generator().allPlays(grid, r)) {
            const double leave = leaves.value(rackWithout(r, rackTiles(p.play)));
            sorted.push_back({p, p.score + leave});
        }
        std::sort(sorted.begin(), sorted.end(), [](const RatedPlay& a, const RatedPlay& b) {
            return a.equity != b.equity ? a.equity > b.equity : tilesBefore(a.play.play, b.play.play);
        });
        const std::vector<RatedPlay> best =
            bestStaticPlays(brain().generator(), grid, r, leaves, 10);
        QCOMPARE(best.size(), std::min<std::size_t>(10, sorted.size()));
        for (std::size_t i = 0; i < best.size(); ++i)
            QCOMPARE(best[i].play, sorted[i].play);
        QCOMPARE(bestStaticPlay(brain().generator(), grid, r, leaves, true)->play, sorted[0].play);
    }

    // With a bag of one or two, every way of filling it from the unseen
    // tiles is dealt once to every candidate; with more, a sample.
    void smallBagWeighsEveryDraw_data() {
        QTest::addColumn<int>("bag");
        QTest::addColumn<int>("deals"); // 0: sampled
        QTest::newRow("one in the bag") << 1 << 8;
        QTest::newRow("two in the bag") << 2 << 36;
        QTest::newRow("seven in the bag") << 7 << 0;
    }
    void smallBagWeighsEveryDraw() {
        QFETCH(int, bag);
        QFETCH(int, deals);
        const Grid grid = boardWith({{5, 7, false, "CATS"}});
        std::mt19937_64 random(5);
        const std::string unseen = unseenWith(bag);
        const SimulationAnswer answer = simulate(brain(), {grid, "TEASXIZ", bag, unseen, 0},
                                                 random, Deadline::in(60'000), everyDeal());
        QCOMPARE(answer.exact, deals > 0);
        for (const SimulatedMove& c : answer.candidates)
            QCOMPARE(c.iterations, deals > 0 ? deals : everyDeal().mostIterations);
    }
};

QTEST_APPLESS_MAIN(SimulationTest)
#include "tst_simulation.moc"
