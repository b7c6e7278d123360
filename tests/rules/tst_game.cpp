#include "rules/Game.h"
#include "rules/WordList.h"

#include <QTest>

using namespace wordmoot;

namespace {
// Keeps what the game reports, one short line per event.
struct Recorder : GameListener {
    std::vector<std::string> events;
    void playStands(int seat, const Play&, int score, bool vote) override {
        events.push_back("stands " + std::to_string(seat) + ' ' + std::to_string(score) +
                         (vote ? " vote" : ""));
    }
    void playPutToVote(int seat, const Play&, int) override {
        events.push_back("vote " + std::to_string(seat));
    }
    void playTakenBack(int seat, const Play&, bool withdrawn) override {
        events.push_back((withdrawn ? "withdrawn " : "not approved ") + std::to_string(seat));
    }
    void gameOver(const std::vector<Adjustment>&, const std::vector<int>& winners) override {
        events.push_back("over " + std::to_string(winners.size()));
    }
};

// The first two tiles of the rack on turn, across the centre.
Play openingOf(const Game& game) {
    const std::string& rack = game.seats()[game.turn()].rack;
    Play play;
    for (int i = 0; i < 2; ++i) {
        const bool blank = rack[i] == kUnnamedBlank;
        play.push_back(LaidTile{7 + i, 7, Tile{rack[i], blank}});
    }
    return play;
}

std::string lettersOf(const Play& play) {
    std::string word;
    for (const LaidTile& t : play)
        word += t.tile.blank ? 'A' : t.tile.letter;
    return word;
}
} // namespace

class GameTest : public QObject {
    Q_OBJECT
private slots:
    void judging_data() {
        QTest::addColumn<int>("judging");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("refusal");
        QTest::newRow("list, word known") << int(Judging::List) << true << "stands" << -1;
        QTest::newRow("list, word unknown")
            << int(Judging::List) << false << "" << int(Refusal::Words);
        QTest::newRow("mixed, word known") << int(Judging::Mixed) << true << "stands" << -1;
        QTest::newRow("mixed, word unknown") << int(Judging::Mixed) << false << "vote" << -1;
        QTest::newRow("vote, word known") << int(Judging::Vote) << true << "vote" << -1;
        QTest::newRow("none, word unknown") << int(Judging::None) << false << "stands" << -1;
    }
    void judging() {
        QFETCH(int, judging);
        QFETCH(bool, known);
        QFETCH(QString, event);
        QFETCH(int, refusal);
        Recorder recorder;
        WordList words;
        Game game({"ann", "bob"}, Judging(judging), &words, 7, &recorder);
        game.start();
        const Play play = openingOf(game);
        if (known)
            words = WordList({lettersOf(play)});
        const std::string rackBefore = game.seats()[game.turn()].rack;
        const auto refused = game.play(game.turn(), play);
        QCOMPARE(refused ? int(refused->kind) : -1, refusal);
        if (refused)
            QCOMPARE(game.seats()[game.turn()].rack, rackBefore); // nothing changed
        else
            QVERIFY(QString::fromStdString(recorder.events.back()).startsWith(event));
    }

    // The blank becomes the first letter that makes every word valid.
    void blankTakesTheFirstLetterThatFits() {
        Recorder recorder;
        WordList words;
        for (std::uint64_t seed = 1; seed < 2000; ++seed) {
            Game game({"ann", "bob"}, Judging::List, &words, seed, &recorder);
            game.start();
            const std::string rack = game.seats()[game.turn()].rack;
            const auto blank = rack.find(kUnnamedBlank);
            const auto letter = rack.find_first_not_of(kUnnamedBlank);
            if (blank == std::string::npos || letter == std::string::npos)
                continue;
            words = WordList({std::string("Q") + rack[letter], std::string("E") + rack[letter]});
            const Play play = {LaidTile{7, 7, Tile{kUnnamedBlank, true}},
                               LaidTile{8, 7, Tile{rack[letter], false}}};
            QVERIFY(!game.play(game.turn(), play));
            QCOMPARE(game.shownBoard().at(7, 7), (Tile{'E', true}));
            return;
        }
        QFAIL("no seed deals a blank");
    }

    void refusals_data() {
        QTest::addColumn<bool>("onTurn");
        QTest::addColumn<QByteArray>("tiles");
        QTest::addColumn<int>("refusal");
        QTest::newRow("out of turn") << false << QByteArray() << int(Refusal::Turn);
        QTest::newRow("tiles not on the rack") << true << QByteArray("QQ") << int(Refusal::Tiles);
    }
    void refusals() {
        QFETCH(bool, onTurn);
        QFETCH(QByteArray, tiles);
        QFETCH(int, refusal);
        Recorder recorder;
        Game game({"ann", "bob"}, Judging::None, nullptr, 3, &recorder);
        game.start();
        Play play = openingOf(game);
        for (int i = 0; i < tiles.size(); ++i)
            play[i].tile = Tile{tiles[i], false};
        const int seat = onTurn ? game.turn() : 1 - game.turn();
        const auto refused = game.play(seat, play);
        QVERIFY(refused);
        QCOMPARE(int(refused->kind), refusal);
    }

    void voteStandsWithdrawsOrExpires_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("turnPasses");
        QTest::newRow("approved") << "approve"
                                  << "stands" << true;
        QTest::newRow("withdrawn") << "withdraw"
                                   << "withdrawn" << false;
        QTest::newRow("vote expires") << "expire"
                                      << "not approved" << true;
        QTest::newRow("last voter leaves") << "leave"
                                           << "stands" << true;
    }
    void voteStandsWithdrawsOrExpires() {
        QFETCH(QString, action);
        QFETCH(QString, event);
        QFETCH(bool, turnPasses);
        Recorder recorder;
        Game game({"ann", "bob", "cy"}, Judging::Vote, nullptr, 11, &recorder);
        game.start();
        const int mover = game.turn();
        const int voter = (mover + 1) % 3;
        const int other = (mover + 2) % 3;
        const std::string rack = game.seats()[mover].rack;
        QVERIFY(!game.play(mover, openingOf(game)));
        QVERIFY(game.approve(voter));
        if (action == "approve")
            QVERIFY(game.approve(other));
        else if (action == "withdraw")
            QVERIFY(game.withdraw(mover));
        else if (action == "expire")
            game.voteExpired();
        else
            game.leave(other); // the one approval left is enough
        const bool found =
            std::any_of(recorder.events.begin(), recorder.events.end(),
                        [&](auto& e) { return e.rfind(event.toStdString(), 0) == 0; });
        QVERIFY2(found, recorder.events.back().c_str());
        QCOMPARE(game.turn() != mover, turnPasses);
        if (action == "withdraw" || action == "expire")
            QCOMPARE(game.seats()[mover].rack.size(), rack.size());
    }

    void exchangeKeepsTheBag() {
        Recorder recorder;
        Game game({"ann", "bob"}, Judging::None, nullptr, 5, &recorder);
        game.start();
        const int seat = game.turn();
        const std::string tiles = game.seats()[seat].rack.substr(0, 3);
        QVERIFY(game.exchange(seat, "QQQQ")); // not all on the rack
        QVERIFY(!game.exchange(seat, tiles));
        QCOMPARE(game.bagSize(), kBagTiles - 14);
        QCOMPARE(game.seats()[seat].rack.size(), std::size_t(7));
        QVERIFY(game.turn() != seat);
    }

    void sixScorelessTurnsEnd() {
        Recorder recorder;
        Game game({"ann", "bob"}, Judging::None, nullptr, 9, &recorder);
        game.start();
        for (int i = 0; i < Game::kScorelessTurnsToEnd; ++i)
            QVERIFY(!game.pass(game.turn()));
        QVERIFY(game.isOver());
        QVERIFY(game.pass(game.turn())); // nothing after the end
        // Each player lost the rack's value.
        QCOMPARE(game.seats()[0].score, -rackValue(game.seats()[0].rack));
    }

    void adjustment_data() {
        QTest::addColumn<int>("wentOut");
        QTest::addColumn<QList<int>>("points");
        QTest::newRow("ann went out") << 0 << QList<int>{-7, -11, 18};
        QTest::newRow("nobody went out") << -1 << QList<int>{-7, -11};
    }
    void adjustment() {
        QFETCH(int, wentOut);
        QFETCH(QList<int>, points);
        const std::vector<Seat> seats = {{"ann", "", 10, true},
                                         {"bob", "AEK", 20, true}, // 1 + 1 + 5 nothing
                                         {"cy", "Q_A", 30, true}}; // 10 + 0 + 1
        QList<int> got;
        for (const Adjustment& a : endAdjustments(seats, wentOut))
            got.push_back(a.points);
        QCOMPARE(got, points);
    }
};

QTEST_APPLESS_MAIN(GameTest)
#include "tst_game.moc"
