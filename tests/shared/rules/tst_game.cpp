#include "shared/rules/Game.h"
#include "shared/rules/GameRecord.h"
#include "shared/rules/WordList.h"

#include <QTest>

#include <algorithm>

using namespace wordmoot;

namespace {
const char* verdictName(Verdict v) {
    static const char* const kNames[] = {"approved",   "refused",  "timed out", "challenged",
                                         "unanswered", "deserted", "withdrawn"};
    return kNames[int(v)];
}

// Keeps what the game reports, one short line per event.
struct Recorder : GameListener {
    std::vector<std::string> events;
    std::vector<int> turns;
    void playStands(int seat, const Play&, int score, const Settlement* settled) override {
        events.push_back("stands " + std::to_string(seat) + ' ' + std::to_string(score) +
                         (settled ? std::string(" ") + verdictName(settled->verdict) : ""));
    }
    void playPutToVote(int seat, const Play&, int) override {
        events.push_back("vote " + std::to_string(seat));
    }
    void playTakenBack(int seat, const Play&, const Settlement& settled) override {
        std::string unknown;
        for (const std::string& word : settled.unknown)
            unknown += ' ' + word;
        events.push_back("back " + std::to_string(seat) + ' ' + verdictName(settled.verdict) +
                         unknown);
    }
    void turnBegins(int seat, std::optional<char>) override { turns.push_back(seat); }
    void turnLost(int seat) override { events.push_back("lost " + std::to_string(seat)); }
    void tilesDrawn(int bag) override { events.push_back("bag " + std::to_string(bag)); }
    void gameOver(const std::vector<Adjustment>&, const std::vector<int>& winners) override {
        events.push_back("over " + std::to_string(winners.size()));
    }
    bool saw(const std::string& start) const {
        return std::any_of(events.begin(), events.end(),
                           [&](const std::string& e) { return e.rfind(start, 0) == 0; });
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
        QTest::newRow("challenge, word known") << int(Judging::Challenge) << true << "vote" << -1;
        QTest::newRow("challenge, word unknown")
            << int(Judging::Challenge) << false << "vote" << -1;
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
        recorder.events.clear();
        const auto refused = game.play(game.turn(), play);
        QCOMPARE(refused ? int(refused->kind) : -1, refusal);
        if (refused)
            QCOMPARE(game.seats()[game.turn()].rack, rackBefore); // nothing changed
        else
            QVERIFY(recorder.saw(event.toStdString()));
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

    // A play put to the others, of three seats: what the others (or the list)
    // make of it, who is on turn afterwards (0 the mover, 1 and 2 the next
    // seats), and what is left of the rack.
    void settlement_data() {
        QTest::addColumn<int>("judging");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("actions"); // by seat after the mover: a approve, c challenge,
                                              // l leave; w withdraw, e the time runs out
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("onTurn");
        QTest::newRow("vote, both approve") << int(Judging::Vote) << true << "1a 2a"
                                            << "stands 0 22 approved" << 1;
        QTest::newRow("vote, one refuses") << int(Judging::Vote) << true << "1a 2c"
                                           << "back 0 refused" << 1;
        QTest::newRow("vote, time runs out") << int(Judging::Vote) << true << "1a e"
                                             << "back 0 timed out" << 1;
        QTest::newRow("vote, withdrawn") << int(Judging::Vote) << true << "1a w"
                                         << "back 0 withdrawn" << 0;
        QTest::newRow("vote, a voter leaves after the other approved")
            << int(Judging::Vote) << true << "1a 2l"
            << "stands 0 22 approved" << 1;
        QTest::newRow("challenge, a valid play stands and the challenger loses a turn")
            << int(Judging::Challenge) << true << "1c"
            << "lost 1" << 2;
        QTest::newRow("challenge, no withdrawing") << int(Judging::Challenge) << true << "w 1a 2a"
                                                   << "stands 0 22 approved" << 1;
    }
    void settlement() {
        QFETCH(int, judging);
        QFETCH(bool, known);
        QFETCH(QString, actions);
        QFETCH(QString, event);
        QFETCH(int, onTurn);
        Recorder recorder;
        const WordList words(known ? std::vector<std::string>{"QE"} : std::vector<std::string>{});
        // A seed whose first mover holds Q and E; their seat is "0" above.
        for (std::uint64_t seed = 1; seed < 5000; ++seed) {
            Game game({"ann", "bob", "cy"}, Judging(judging), &words, seed, &recorder);
            game.start();
            const int mover = game.turn();
            const std::string rack = game.seats()[mover].rack;
            if (rack.find('Q') == std::string::npos || rack.find('E') == std::string::npos)
                continue;
            recorder.events.clear();
            const Play play = {LaidTile{7, 7, Tile{'Q', false}}, LaidTile{8, 7, Tile{'E', false}}};
            QVERIFY(!game.play(mover, play));
            QCOMPARE(recorder.events.front(), std::string("vote ") + std::to_string(mover));
            for (const QString& action : actions.split(' ')) {
                const int seat = (mover + action.left(1).toInt()) % 3;
                if (action == "e")
                    game.voteExpired();
                else if (action == "w")
                    QCOMPARE(bool(game.withdraw(mover)), judging == int(Judging::Challenge));
                else if (action.endsWith('a'))
                    QVERIFY(game.approve(seat));
                else if (action.endsWith('c'))
                    QVERIFY(game.challenge(seat));
                else
                    game.leave(seat);
            }
            QStringList expected = event.split(' '); // the seat counted from the mover
            expected[1] = QString::number((mover + expected[1].toInt()) % 3);
            const std::string seen = expected.join(' ').toStdString();
            QVERIFY2(recorder.saw(seen), (seen + " not in: " + recorder.events.back()).c_str());
            QCOMPARE(game.turn(), (mover + onTurn) % 3);
            QVERIFY(!game.pending());
            // A play that came off leaves the rack as it was; one that stood is refilled.
            QCOMPARE(game.seats()[mover].rack.size(), rack.size());
            QCOMPARE(game.board().at(7, 7).isEmpty(), expected[0] == "back");
            // A turn lost to a challenge is noted as such in the record.
            const auto& moves = game.record();
            QCOMPARE(std::count_if(moves.begin(), moves.end(),
                                   [](const RecordedMove& m) { return m.note == kLostTurnNote; }),
                     expected[0] == "lost" ? 1 : 0);
            return;
        }
        QFAIL("no seed deals Q and E to the first player");
    }

    // The other seat of two has left (its seat waits for a new player): a
    // play is judged at once, by the list where there is one, and counts
    // when the game then ends for lack of players.
    void playNobodyCanVoteOnIsJudgedAtOnce_data() {
        QTest::addColumn<int>("judging");
        QTest::addColumn<int>("list"); // 0 none, 1 knows QE, 2 knows nothing
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("score");
        QTest::newRow("challenge, listed") << int(Judging::Challenge) << 1 << "stands 22 deserted"
                                           << 22;
        QTest::newRow("challenge, a phony") << int(Judging::Challenge) << 2 << "back deserted QE"
                                            << 0;
        QTest::newRow("vote, no list: it stands") << int(Judging::Vote) << 0
                                                  << "stands 22 deserted" << 22;
        QTest::newRow("mixed, not listed") << int(Judging::Mixed) << 2 << "back deserted QE" << 0;
    }
    void playNobodyCanVoteOnIsJudgedAtOnce() {
        QFETCH(int, judging);
        QFETCH(int, list);
        QFETCH(QString, event);
        QFETCH(int, score);
        Recorder recorder;
        const WordList words(list == 1 ? std::vector<std::string>{"QE"}
                                       : std::vector<std::string>{"ZA"});
        for (std::uint64_t seed = 1; seed < 5000; ++seed) {
            Game game({"ann", "bob"}, Judging(judging), list ? &words : nullptr, seed, &recorder);
            game.start();
            const int mover = game.turn();
            const std::string rack = game.seats()[mover].rack;
            if (rack.find('Q') == std::string::npos || rack.find('E') == std::string::npos)
                continue;
            game.leave(1 - mover);
            recorder.events.clear();
            const Play play = {LaidTile{7, 7, Tile{'Q', false}}, LaidTile{8, 7, Tile{'E', false}}};
            QVERIFY(!game.play(mover, play));
            const std::string judged = event.section(' ', 0, 0).toStdString() + ' ' +
                                       std::to_string(mover) + ' ' +
                                       event.section(' ', 1).toStdString();
            QVERIFY2(recorder.saw(judged), judged.c_str());
            QVERIFY(!game.pending());
            game.endForLackOfPlayers();
            QCOMPARE(recorder.events.back(), std::string("over 1"));
            QCOMPARE(game.seats()[mover].score, score);
            return;
        }
        QFAIL("no seed deals Q and E to the first player");
    }

    // Play goes round the seats in order from the first player, whatever
    // the others drew.
    void turnsFollowTheSeats() {
        for (std::uint64_t seed = 1; seed < 40; ++seed) {
            Recorder recorder;
            Game game({"ann", "bob", "cy", "dee"}, Judging::None, nullptr, seed, &recorder);
            game.start();
            for (int i = 0; i < 5; ++i)
                QVERIFY(!game.pass(game.turn()));
            for (std::size_t i = 1; i < recorder.turns.size(); ++i)
                QCOMPARE(recorder.turns[i], (recorder.turns[i - 1] + 1) % 4);
        }
    }

    // Blanks: the mover's name for one stands; one left unnamed takes the
    // first letter that makes every word valid, or A with none.
    void blanksAlwaysCarryALetter_data() {
        QTest::addColumn<int>("judging");
        QTest::addColumn<char>("laid");
        QTest::addColumn<char>("shown");
        QTest::newRow("named, list") << int(Judging::List) << 'Z' << 'Z';
        QTest::newRow("named, none") << int(Judging::None) << 'X' << 'X';
        QTest::newRow("unnamed, list") << int(Judging::List) << kUnnamedBlank << 'E';
        QTest::newRow("unnamed, vote with a list") << int(Judging::Vote) << kUnnamedBlank << 'E';
        QTest::newRow("unnamed, none without a fit") << int(Judging::None) << kUnnamedBlank << 'A';
    }
    void blanksAlwaysCarryALetter() {
        QFETCH(int, judging);
        QFETCH(char, laid);
        QFETCH(char, shown);
        Recorder recorder;
        WordList words;
        for (std::uint64_t seed = 1; seed < 2000; ++seed) {
            Game game({"ann", "bob"}, Judging(judging), &words, seed, &recorder);
            game.start();
            const std::string rack = game.seats()[game.turn()].rack;
            const auto letter = rack.find_first_not_of(kUnnamedBlank);
            if (rack.find(kUnnamedBlank) == std::string::npos || letter == std::string::npos)
                continue;
            const std::string word = std::string(1, shown) + rack[letter];
            words = WordList(judging == int(Judging::None)
                                 ? std::vector<std::string>{}
                                 : std::vector<std::string>{word, "Q" + word.substr(1)});
            const Play play = {LaidTile{7, 7, Tile{laid, true}},
                               LaidTile{8, 7, Tile{rack[letter], false}}};
            QVERIFY(!game.play(game.turn(), play));
            QCOMPARE(game.shownBoard().at(7, 7), (Tile{shown, true}));
            return;
        }
        QFAIL("no seed deals a blank");
    }

    // Tiles listed right to left still read as their word.
    void playsReadInBoardOrder() {
        struct Laid : GameListener {
            Play play;
            void playStands(int, const Play& stood, int, const Settlement*) override {
                play = stood;
            }
        } laid;
        Game game({"ann", "bob"}, Judging::None, nullptr, 3, &laid);
        game.start();
        Play play = openingOf(game);
        std::reverse(play.begin(), play.end());
        QVERIFY(!game.play(game.turn(), play));
        QCOMPARE(laid.play.front().column, 7);
        QCOMPARE(laid.play.back().column, 8);
    }

    void notListedNamesTheWords_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << QStringList{"QX"} << "QX is not in the word list";
        QTest::newRow("two") << QStringList{"QX", "ZZ"} << "QX and ZZ are not in the word list";
        QTest::newRow("three") << QStringList{"A", "B", "C"}
                               << "A, B and C are not in the word list";
    }
    void notListedNamesTheWords() {
        QFETCH(QStringList, words);
        QFETCH(QString, text);
        std::vector<std::string> list;
        for (const QString& w : words)
            list.push_back(w.toStdString());
        QCOMPARE(QString::fromStdString(notListed(list)), text);
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
