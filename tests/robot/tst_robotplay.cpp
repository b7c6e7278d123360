// Robots at the rules level: whole games the game never refuses a move of,
// each level's choice on small hand-made positions, and the leave table.
#include "robot/SelfPlay.h"
#include "shared/rules/Game.h"

#include <QTest>

using namespace wordmoot;
using namespace wordmoot::robot;

Q_DECLARE_METATYPE(wordmoot::robot::Level)

namespace {

const WordList& dictionary() {
    static const WordList words = WordList::load(defaultWordList().path).value_or(WordList());
    return words;
}

Grid boardWith(int column, int row, std::string_view letters) {
    Grid grid;
    for (std::size_t i = 0; i < letters.size(); ++i)
        grid.at(column + int(i), row) = Tile{letters[i], false};
    return grid;
}

} // namespace

class RobotPlayTest : public QObject {
    Q_OBJECT
private slots:
    void gamesEndAndNoMoveIsRefused_data() {
        QTest::addColumn<Level>("first");
        QTest::addColumn<Level>("second");
        QTest::newRow("casual-casual") << Level::Casual << Level::Casual;
        QTest::newRow("greedy-casual") << Level::Greedy << Level::Casual;
        QTest::newRow("strong-greedy") << Level::Strong << Level::Greedy;
        QTest::newRow("strong-strong") << Level::Strong << Level::Strong;
        QTest::newRow("casual-strong") << Level::Casual << Level::Strong;
    }
    // Ten seeded games a row, fifty in all, through Game with the list as judge.
    void gamesEndAndNoMoveIsRefused() {
        QFETCH(Level, first);
        QFETCH(Level, second);
        QVERIFY(!dictionary().isEmpty());
        const Brain brain(dictionary(), LeaveTable::builtIn());
        for (std::uint64_t seed = 1; seed <= 10; ++seed) {
            const GameResult r = playGame({Contender{first, &brain}, Contender{second, &brain}},
                                          seed + 100 * std::uint64_t(first));
            QVERIFY2(r.faults.empty(), r.faults.empty() ? "" : r.faults.front().c_str());
            QVERIFY(r.over);
            QVERIFY(r.scores[0] + r.scores[1] > 100);
        }
    }

    // The champion's endgame moves, searched against the clock, are moves the
    // game takes and scores as the search did.
    void championGamesEndAndNoMoveIsRefused() {
        const Brain brain(dictionary(), LeaveTable::builtIn());
        for (std::uint64_t seed = 1; seed <= 4; ++seed) {
            const GameResult r = playGame(
                {Contender{Level::Champion, &brain, 100}, Contender{Level::Strong, &brain}}, seed);
            QVERIFY2(r.faults.empty(), r.faults.empty() ? "" : r.faults.front().c_str());
            QVERIFY(r.over);
        }
    }

    void greedyTakesTheHighestScoreAndCasualOneOfTheBest() {
        const Brain brain(dictionary(), LeaveTable());
        const Grid board = boardWith(5, 7, "QUIET");
        const std::string rack = "SAERTLN";
        std::vector<ScoredPlay> plays = brain.generator().allPlays(board, rack);
        std::sort(plays.begin(), plays.end(), [](auto& a, auto& b) { return a.score > b.score; });
        std::mt19937_64 random(3);
        const Move greedy = chooseMove(brain, {board, rack, 50}, Level::Greedy, random);
        QCOMPARE(greedy.kind, Move::Kind::Play);
        QCOMPARE(greedy.score, plays.front().score);
        QCOMPARE(chooseMove(brain, {board, rack, 50}, Level::Greedy, random).play, greedy.play);
        for (int i = 0; i < 20; ++i) {
            const Move casual = chooseMove(brain, {board, rack, 50}, Level::Casual, random);
            QVERIFY(casual.score >= plays[kCasualChoices - 1].score);
        }
    }

    // Strong keeps the blank rather than score a point more with it.
    void strongWeighsTheTilesKept() {
        LeaveTable leaves;
        leaves.setSingle(LeaveTable::index('_'), 25);
        const Brain brain(dictionary(), leaves);
        const Grid board = boardWith(6, 7, "CAT");
        std::mt19937_64 random(1);
        const Move strong = chooseMove(brain, {board, "_QVVWXZ", 50}, Level::Strong, random);
        QCOMPARE(strong.kind, Move::Kind::Play);
        QVERIFY(rackTiles(strong.play).find('_') == std::string::npos);
    }

    void noPlayExchangesWhenTheBagAllowsElsePasses_data() {
        QTest::addColumn<int>("bag");
        QTest::addColumn<int>("kind");
        QTest::newRow("full bag") << 50 << int(Move::Kind::Exchange);
        QTest::newRow("seven left") << 7 << int(Move::Kind::Exchange);
        QTest::newRow("six left") << 6 << int(Move::Kind::Pass);
    }
    void noPlayExchangesWhenTheBagAllowsElsePasses() {
        QFETCH(int, bag);
        QFETCH(int, kind);
        const WordList words(std::vector<std::string>{"cat"});
        const Brain brain(words, LeaveTable());
        std::mt19937_64 random(1);
        const Move move = chooseMove(brain, {Grid(), "QVVWXZJ", bag}, Level::Greedy, random);
        QCOMPARE(int(move.kind), kind);
        QCOMPARE(move.tiles, kind == int(Move::Kind::Exchange) ? std::string("QVVWXZJ") : "");
    }

    void knowsEveryWordTriesTheBlank_data() {
        QTest::addColumn<QString>("laid"); // at (9,7) on, after CAT at (6,7)
        QTest::addColumn<bool>("known");
        QTest::newRow("CATS") << "S" << true;
        QTest::newRow("CATX") << "X" << false;
        QTest::newRow("CAT and a blank") << "_" << true;
        QTest::newRow("CAT and two blanks") << "__" << true; // CATER, CATTY...
        QTest::newRow("CATQ and a blank") << "Q_" << false;
    }
    void knowsEveryWordTriesTheBlank() {
        QFETCH(QString, laid);
        QFETCH(bool, known);
        const Brain brain(dictionary(), LeaveTable());
        Play play;
        for (int i = 0; i < laid.size(); ++i)
            play.push_back({9 + i, 7, Tile{laid[i].toLatin1(), laid[i] == '_'}});
        QCOMPARE(brain.knowsEveryWord(boardWith(6, 7, "CAT"), play), known);
    }

    void leaveTable_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("leave");
        QTest::addColumn<double>("value"); // -1000 for a table refused
        const QString table = "# a note\nE\t2\nEE\t-3\nQ\t-7\nQU\t5\nU\t-1\n_\t20\n";
        QTest::newRow("one tile") << table << "E" << 2.0;
        QTest::newRow("three copies") << table << "EEE" << 2 * 3 - 3 * 2.0;
        QTest::newRow("a pair counts once") << table << "QUU" << -7 - 1 - 1 + 5.0;
        QTest::newRow("blank and nothing") << table << "_" << 20.0;
        QTest::newRow("no tiles") << table << "" << 0.0;
        QTest::newRow("CR LF lines") << "E\t1.5\r\n"
                                     << "EE" << 3.0;
        QTest::newRow("no tab") << "E 2\n"
                                << "E" << -1000.0;
        QTest::newRow("three letters") << "EEE\t2\n"
                                       << "E" << -1000.0;
        QTest::newRow("not a tile") << "e\t2\n"
                                    << "E" << -1000.0;
        QTest::newRow("not a number") << "E\tmany\n"
                                      << "E" << -1000.0;
    }
    void leaveTable() {
        QFETCH(QString, text);
        QFETCH(QString, leave);
        QFETCH(double, value);
        const auto table = LeaveTable::parse(text.toStdString());
        QCOMPARE(table ? table->value(leave.toStdString()) : -1000.0, value);
        if (table) // the text it writes reads back the same
            QCOMPARE(LeaveTable::parse(table->text())->value(leave.toStdString()), value);
    }

    void builtInTableIsLoaded() {
        QVERIFY(LeaveTable::builtIn().value("_") > 5);
        QVERIFY(LeaveTable::builtIn().value("QVV") < 0);
    }
};

QTEST_GUILESS_MAIN(RobotPlayTest)
#include "tst_robotplay.moc"
