// A game's inputs as its journal keeps them: each reads back as itself, a
// line that is no input is refused, and the inputs done again to a game of
// the same seed give the same game, tile for tile.
#include "shared/rules/GameInput.h"

#include <QTest>

#include <random>

using namespace wordmoot;
using Kind = GameInput::Kind;

namespace {

// An empty cell beside a tile of the board, or the centre of an empty one.
std::optional<std::pair<int, int>> besideATile(const Grid& board, std::mt19937& random) {
    if (board.isEmpty())
        return std::pair(7, 7);
    std::vector<std::pair<int, int>> cells;
    for (int c = 0; c < kBoardCells; ++c)
        for (int r = 0; r < kBoardCells; ++r)
            if (board.at(c, r).isEmpty())
                for (const auto& [dc, dr] : {std::pair(1, 0), {-1, 0}, {0, 1}, {0, -1}})
                    if (Grid::onBoard(c + dc, r + dr) && !board.at(c + dc, r + dr).isEmpty()) {
                        cells.push_back({c, r});
                        break;
                    }
    if (cells.empty())
        return std::nullopt;
    return cells[random() % cells.size()];
}

// One input that the game may take now, picked at random: moves, votes,
// seats leaving and taken over, renames and a clock's penalty.
GameInput anInput(const Game& game, std::mt19937& random) {
    const int seats = int(game.seats().size());
    const int other = int(random() % seats);
    const int roll = int(random() % 100);
    if (roll < 3)
        return {Kind::Rename, other, {}, "renamed" + std::to_string(roll)};
    if (roll < 5)
        return {Kind::TimePenalty, other, {}, {}, 10 * (roll - 2)};
    if (roll < 6)
        return game.seats()[other].present ? GameInput{Kind::Leave, other}
                                           : GameInput{Kind::TakeSeat, other, {}, "taker"};
    if (const auto& pending = game.pending()) {
        const Kind votes[] = {Kind::Approve, Kind::Challenge, Kind::Withdraw, Kind::VoteExpired};
        return {votes[random() % 4], roll % 2 ? pending->seat : other};
    }
    const int turn = game.turn();
    const std::string& rack = game.seats()[turn].rack;
    if (roll < 9 || rack.empty())
        return {Kind::Pass, turn};
    if (roll < 13)
        return {Kind::Exchange, turn, {}, rack.substr(0, 1 + random() % rack.size())};
    const auto cell = besideATile(game.board(), random);
    if (!cell)
        return {Kind::Pass, turn};
    // One tile beside the board's, or the first two across the centre.
    Play play;
    for (std::size_t i = 0; i < (game.board().isEmpty() ? 2u : 1u) && i < rack.size(); ++i) {
        const char tile = rack[i];
        const Tile laid =
            tile == kUnnamedBlank ? Tile{char('A' + random() % 26), true} : Tile{tile, false};
        play.push_back({cell->first + int(i), cell->second, laid});
    }
    return {Kind::Play, turn, play};
}

void compareGames(const Game& a, const Game& b) {
    QCOMPARE(a.seats().size(), b.seats().size());
    for (std::size_t i = 0; i < a.seats().size(); ++i) {
        QCOMPARE(a.seats()[i].name, b.seats()[i].name);
        QCOMPARE(a.seats()[i].rack, b.seats()[i].rack);
        QCOMPARE(a.seats()[i].score, b.seats()[i].score);
        QCOMPARE(a.seats()[i].present, b.seats()[i].present);
        QCOMPARE(a.timePenalty(int(i)), b.timePenalty(int(i)));
    }
    QVERIFY(a.shownBoard() == b.shownBoard());
    QCOMPARE(a.unseenBy(-1), b.unseenBy(-1)); // the bag and every rack
    QCOMPARE(a.bagSize(), b.bagSize());
    QCOMPARE(a.turn(), b.turn());
    QCOMPARE(a.turnNumber(), b.turnNumber());
    QCOMPARE(a.isOver(), b.isOver());
    QCOMPARE(a.pending().has_value(), b.pending().has_value());
    QCOMPARE(gcgText(a.names(), a.record()), gcgText(b.names(), b.record()));
}

} // namespace

class GameInputTest : public QObject {
    Q_OBJECT
private slots:
    void readsBackAsItself_data() {
        QTest::addColumn<QString>("line");
        for (const char* line : {"play 0 7,7,Q 8,7,i", "play 3 0,14,_", "exchange 1 AE_",
                                 "pass 0", "withdraw 2", "approve 1", "challenge 3", "expire",
                                 "leave 2", "take 1 ann", "rename 0 Bob-2", "end",
                                 "penalty 1 20"})
            QTest::newRow(line) << QString(line);
    }
    void readsBackAsItself() {
        QFETCH(QString, line);
        const auto input = parseInput(line.toStdString(), 4);
        QVERIFY(input);
        QCOMPARE(QString::fromStdString(inputText(*input)), line);
    }

    void refusesWhatIsNoInput_data() {
        QTest::addColumn<QString>("line");
        for (const char* line :
             {"", "jump 0", "pass", "pass 4", "pass -1", "pass 0 1", "play 0", "play 0 7,7",
              "play 0 15,7,A", "play 0 7,7,AB", "play 0 7,7,3", "exchange 0", "take 1",
              "take 1 a b", "penalty 0", "penalty 0 -10", "penalty 0 x", "expire 1", "end 0"})
            QTest::newRow(line) << QString(line);
    }
    void refusesWhatIsNoInput() {
        QFETCH(QString, line);
        QVERIFY(!parseInput(line.toStdString(), 4));
    }

    // Every input the first game took, written out and read back, done to a
    // second game of the same seed: the two are alike at every step.
    void replayGivesTheSameGame_data() {
        QTest::addColumn<int>("judging");
        QTest::addColumn<int>("players");
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 4; ++seed) {
            QTest::addRow("none, two, %d", seed) << int(Judging::None) << 2 << seed;
            QTest::addRow("vote, three, %d", seed) << int(Judging::Vote) << 3 << seed;
            QTest::addRow("none, four, %d", seed) << int(Judging::None) << 4 << seed;
        }
    }
    void replayGivesTheSameGame() {
        QFETCH(int, judging);
        QFETCH(int, players);
        QFETCH(int, seed);
        std::vector<std::string> names{"ann", "bob", "cy", "di"};
        names.resize(std::size_t(players));
        GameListener nobody;
        Game played(names, Judging(judging), nullptr, std::uint64_t(seed), &nobody);
        Game replayed(names, Judging(judging), nullptr, std::uint64_t(seed), &nobody);
        played.start();
        replayed.start();
        std::mt19937 random(seed);
        int taken = 0;
        for (int step = 0; step < 400 && !played.isOver(); ++step) {
            const GameInput input = anInput(played, random);
            if (apply(played, input))
                continue; // refused: nothing changed, nothing to keep
            ++taken;
            const auto read = parseInput(inputText(input), players);
            QVERIFY2(read, inputText(input).c_str());
            QVERIFY2(!apply(replayed, *read), inputText(input).c_str());
            compareGames(played, replayed);
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY2(taken >= 15, std::to_string(taken).c_str());
    }

    // Ten points for each minute begun over the clock, and only over it.
    void overtimeCostsTenAMinuteBegun_data() {
        QTest::addColumn<qint64>("overMs");
        QTest::addColumn<int>("points");
        QTest::newRow("in time") << qint64(-5000) << 0;
        QTest::newRow("to the end") << qint64(0) << 0;
        QTest::newRow("a moment over") << qint64(1) << 10;
        QTest::newRow("a minute over") << qint64(60000) << 10;
        QTest::newRow("just past a minute") << qint64(60001) << 20;
        QTest::newRow("five minutes and a half") << qint64(330000) << 60;
    }
    void overtimeCostsTenAMinuteBegun() {
        QFETCH(qint64, overMs);
        QFETCH(int, points);
        QCOMPARE(overtimePenalty(overMs), points);
    }

    // A penalty counts at a game's end in play, in the record too, and not
    // in a game its players left.
    void penaltyCountsAtTheEnd_data() {
        QTest::addColumn<bool>("deserted");
        QTest::newRow("played to the end") << false;
        QTest::newRow("deserted") << true;
    }
    void penaltyCountsAtTheEnd() {
        QFETCH(bool, deserted);
        GameListener nobody;
        Game game({"ann", "bob"}, Judging::None, nullptr, 7, &nobody);
        game.start();
        game.setTimePenalty(0, 20);
        if (deserted) {
            game.leave(1);
            game.endForLackOfPlayers();
        } else {
            for (int turn = 0; turn < Game::kScorelessTurnsToEnd; ++turn)
                QVERIFY(!game.pass(game.turn()));
        }
        QVERIFY(game.isOver());
        const int tiles = rackValue(game.seats()[0].rack);
        QCOMPARE(game.seats()[0].score, deserted ? 0 : -tiles - 20);
        QCOMPARE(QByteArray::fromStdString(gcgText(game.names(), game.record())).contains("(time) -20"),
                 !deserted);
    }
};

QTEST_MAIN(GameInputTest)
#include "tst_gameinput.moc"
