#include "ServerFixture.h"

#include <QTest>

using namespace wordmoot;
using wordmoot::server::ServerOptions;

namespace {

// A list of every two-letter word in alphabetical order, "AB" and "AA" but
// not "BA": two different letters of any rack make a word one way round and a
// phony the other.
QString writeOrderedPairs(const QTemporaryDir& folder) {
    QFile file(folder.filePath("pairs"));
    if (file.open(QIODevice::WriteOnly))
        for (char a = 'a'; a <= 'z'; ++a)
            for (char b = a; b <= 'z'; ++b)
                file.write(QByteArray(1, a) + b + '\n');
    return file.fileName();
}

QByteArray rackOf(const ScriptedUser& user) {
    for (qsizetype i = user.lines.size() - 1; i >= 0; --i)
        if (user.lines[i].startsWith("2013 "))
            return user.lines[i].mid(5);
    return {};
}

// Two different letters of the rack across the centre: in order for a word,
// the other way round for a phony. Empty when the rack has no two.
QByteArray pairPlay(const ScriptedUser& user, bool valid) {
    QByteArray letters = rackOf(user).replace('_', "");
    std::sort(letters.begin(), letters.end());
    letters = QByteArray(1, letters.front()) + letters.back();
    if (letters[0] == letters[1])
        return {};
    if (!valid)
        std::swap(letters[0], letters[1]);
    return "PLAY 7,7," + letters.left(1) + " 8,7," + letters.mid(1) + ' ';
}

QByteArray wordOf(const QByteArray& play) {
    return play.mid(9, 1) + play.mid(15, 1);
}

struct Table {
    QTemporaryDir folder;
    std::unique_ptr<ServerFixture> fixture;
    std::unique_ptr<ScriptedUser> alice, bob;
    ScriptedUser* mover = nullptr;
    ScriptedUser* other = nullptr;

    // Alice and bob at a game under this judge, vote seconds and robots, the
    // list of ordered pairs its word list, or none.
    explicit Table(Judging judging, int voteSeconds = 30, int robots = 0, bool list = true) {
        ServerOptions options = ServerFixture::options(judging);
        if (list)
            options.words = writeOrderedPairs(folder);
        options.voteSeconds = voteSeconds;
        options.robots = robots;
        options.robotDelayMs = 0;
        fixture = std::make_unique<ServerFixture>(options);
        alice = fixture->logOn("alice");
        if (robots > 0) {
            alice->send("NEWGAME");
            alice->expect("1180");
            alice->send("READY");
            alice->expect("2014 The game begins");
            return;
        }
        bob = fixture->logOn("bob");
        fixture->startTwoPlayerGame(*alice, *bob);
        mover = &onTurn(*alice, *bob);
        other = mover == alice.get() ? bob.get() : alice.get();
    }
};

} // namespace

class JudgingTest : public QObject {
    Q_OBJECT
private slots:
    // Each rule as the players see it: the mover's play, what the other
    // player does, the reason the mover is given and what the room is told,
    // and whose turn it is then.
    void rules_data() {
        QTest::addColumn<int>("judging");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("answer"); // the other player's; empty for silence
        QTest::addColumn<QByteArray>("toMover");
        QTest::addColumn<QByteArray>("toRoom"); // WORD for the word played
        QTest::addColumn<bool>("moverAgain");
        const int challenge = int(Judging::Challenge);
        QTest::newRow("challenge: approved")
            << challenge << true << QByteArray("APPROVE") << QByteArray()
            << QByteArray("2014 The players approve mover's play of WORD") << false;
        QTest::newRow("challenge: a phony challenged")
            << challenge << false << QByteArray("CHALLENGE")
            << QByteArray("5036 Refused: WORD is not in the word list")
            << QByteArray("2014 other challenges mover's play of WORD: WORD is not in the word "
                          "list, and the play comes off")
            << false;
        QTest::newRow("challenge: a valid play challenged")
            << challenge << true << QByteArray("CHALLENGE") << QByteArray()
            << QByteArray("2014 other challenges mover's play of WORD: every word is in the list, "
                          "so it stands and other loses the next turn")
            << true;
        QTest::newRow("challenge: a phony left unanswered")
            << challenge << false << QByteArray()
            << QByteArray("5036 Refused: WORD is not in the word list")
            << QByteArray("2014 mover's play of WORD comes off: not everyone approved it in "
                          "time, and WORD is not in the word list")
            << false;
        QTest::newRow("challenge: a valid play left unanswered")
            << challenge << true << QByteArray() << QByteArray()
            << QByteArray("2014 mover's play of WORD stands: not everyone approved it in time, "
                          "and every word is in the list")
            << false;
        QTest::newRow("vote: refused by a challenge")
            << int(Judging::Vote) << true << QByteArray("CHALLENGE")
            << QByteArray("5036 Refused: other does not approve WORD")
            << QByteArray("2014 other refuses mover's play of WORD") << false;
        QTest::newRow("mixed: a phony refused names the word")
            << int(Judging::Mixed) << false << QByteArray("CHALLENGE")
            << QByteArray("5036 Refused: WORD is not in the word list")
            << QByteArray("2014 other refuses mover's play of WORD: WORD is not in the word list")
            << false;
        QTest::newRow("list: a phony is refused and the mover plays again")
            << int(Judging::List) << false << QByteArray()
            << QByteArray("5036 Refused: WORD is not in the word list") << QByteArray() << true;
    }
    void rules() {
        QFETCH(int, judging);
        QFETCH(bool, valid);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, toMover);
        QFETCH(QByteArray, toRoom);
        QFETCH(bool, moverAgain);
        Table table(Judging(judging), 1);
        ScriptedUser& mover = *table.mover;
        ScriptedUser& other = *table.other;
        const QByteArray play = pairPlay(mover, valid);
        QVERIFY(!play.isEmpty());
        const auto named = [&](QByteArray text) {
            return text.replace("WORD", wordOf(play))
                .replace("mover", &mover == table.alice.get() ? "alice" : "bob")
                .replace("other", &mover == table.alice.get() ? "bob" : "alice");
        };
        mover.send(play);
        if (judging != int(Judging::List)) {
            other.expect("2003 ");
            if (!answer.isEmpty())
                other.send(answer);
        }
        if (!toMover.isEmpty())
            QCOMPARE(mover.expect(toMover.left(5)), named(toMover));
        if (!toRoom.isEmpty())
            QCOMPARE(other.expect(named(toRoom).left(30)), named(toRoom));
        if (moverAgain && judging != int(Judging::List))
            other.expect("2014 " + named("other") + " loses this turn for the challenge");
        if (judging != int(Judging::List))
            QVERIFY(
                other.expect("2002 ").startsWith(named(moverAgain ? "2002 mover" : "2002 other")));
        QVERIFY(!mover.pending().join('\n').contains("2014 The players approve") || valid);
    }

    // A robot answers at once: the vote lasts far longer than the test waits.
    void robotAnswersAtOnce_data() {
        QTest::addColumn<int>("judging");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("challenge, phony")
            << int(Judging::Challenge) << false
            << QByteArray("5036 Refused: WORD is not in the word list");
        QTest::newRow("challenge, valid")
            << int(Judging::Challenge) << true
            << QByteArray("2014 The players approve alice's play of WORD");
    }
    void robotAnswersAtOnce() {
        QFETCH(int, judging);
        QFETCH(bool, valid);
        QFETCH(QByteArray, reply);
        Table table(Judging(judging), 60, 1);
        ScriptedUser& alice = *table.alice;
        // Until alice is on turn, she approves whatever the robot plays.
        for (int i = 0; i < 20 && !alice.pending().join('\n').contains("1020 "); ++i) {
            const QByteArray next = alice.expect("20");
            if (next.startsWith("2003 Robot"))
                alice.send("APPROVE");
        }
        alice.expect("1020 ");
        const QByteArray play = pairPlay(alice, valid);
        QVERIFY(!play.isEmpty());
        alice.send(play);
        reply.replace("WORD", wordOf(play));
        QCOMPARE(alice.expect(reply.left(5)), reply);
    }

    // The blank's letter as the player names it, in lower case; a blank the
    // rack does not hold is refused like any missing tile.
    void namedBlanks() {
        for (std::uint64_t seed = 1; seed < 100; ++seed) {
            ServerOptions options = ServerFixture::options(Judging::None);
            options.seed = seed;
            ServerFixture fixture(options);
            auto a = fixture.logOn("alice");
            auto b = fixture.logOn("bob");
            fixture.startTwoPlayerGame(*a, *b);
            ScriptedUser& mover = onTurn(*a, *b);
            const QByteArray rack = rackOf(mover);
            const auto upper =
                std::find_if(rack.begin(), rack.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
            const qsizetype letter = upper == rack.end() ? -1 : upper - rack.begin();
            if (!rack.contains('_') || letter < 0)
                continue;
            mover.send("PLAY 7,7,q 8,7,_ ");
            QCOMPARE(mover.expect("5031 "),
                     QByteArray("5031 Refused: the tiles __ are not all on your rack"));
            mover.send("PLAY 7,7,q 8,7," + rack.mid(letter, 1) + ' ');
            QCOMPARE(mover.expect("2012 7"), "2012 7 .......q" + rack.mid(letter, 1) + "......");
            // The blank scores nothing; the centre doubles the letter.
            const int score = 2 * letterValue(QChar(rack[letter])).value_or(-1);
            QCOMPARE(mover.expect("2014 "),
                     QByteArray(a.get() == &mover ? "2014 alice" : "2014 bob") + " scores " +
                         QByteArray::number(score) + " for q" + rack.mid(letter, 1));
            return;
        }
        QFAIL("no seed deals the first player a blank and a letter");
    }

    // A word looked up: anyone may, but a player during the game.
    void checkCommand() {
        Table table(Judging::Challenge);
        ScriptedUser& mover = *table.mover;
        auto cy = table.fixture->logOn("cy");
        const std::pair<QByteArray, QByteArray> asked[] = {
            {"check ab", "2014 AB is in the word list"},
            {"CHECK ba", "2014 BA is not in the word list"},
            {"check a1", "2014 A1 is not in the word list"},
            {"check", "2014 check WORD says whether the word is valid"},
            {"check  zz  yz", "2014 ZZ is in the word list"},
            {"", "2014 YZ is in the word list"},
            {"check " + QByteArray(40, 'z'), "2014 ZZZZZZZZZZZZZZZZ... is not in the word list"},
        };
        for (const auto& [line, reply] : asked) {
            if (!line.isEmpty())
                cy->send(line);
            QCOMPARE(cy->expect("2014 "), reply);
        }
        mover.send("check ab");
        QCOMPARE(mover.expect("2014 No word"), QByteArray("2014 No word checks during your game"));
        cy->send("JOIN  1"); // a watcher may look words up
        cy->expect("2020");
        cy->send("check ab");
        QCOMPARE(cy->expect("2014 AB"), QByteArray("2014 AB is in the word list"));
    }

    // The tiles not seen, and the bag after every draw.
    void unseenTiles() {
        Table table(Judging::None);
        ScriptedUser& mover = *table.mover;
        QVERIFY(mover.lines.contains("2014 86 tiles in the bag"));
        mover.send("UNSEEN");
        const QByteArray unseen = mover.expect("2014 Unseen");
        QVERIFY2(unseen.startsWith("2014 Unseen 93: "), unseen);
        QByteArray tiles = unseen.mid(16) + rackOf(mover);
        std::sort(tiles.begin(), tiles.end());
        QCOMPARE(tiles.count('_'), 2);
        QCOMPARE(tiles.count('E'), 12);
        QVERIFY(std::is_sorted(unseen.begin() + 16, unseen.end()));
        mover.send(pairPlay(mover, true));
        QCOMPARE(table.other->expect("2014 84"), QByteArray("2014 84 tiles in the bag"));
        auto cy = table.fixture->logOn("cy");
        cy->send("JOIN  1");
        cy->send("UNSEEN"); // a watcher has seen no rack
        QVERIFY(cy->expect("2014 Unseen").startsWith("2014 Unseen 98: "));
    }

    // Under the vote, a play whose voters all left is judged by the list, and
    // stands without one: nobody is left to turn it down.
    void votersGone_data() {
        QTest::addColumn<bool>("list");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("no list: it stands")
            << false << QByteArray("2014 mover's play of WORD stands: every other player has gone");
        QTest::newRow("a list: judged by it")
            << true
            << QByteArray("2014 mover's play of WORD stands: every other player has gone, "
                          "and every word is in the list");
    }
    void votersGone() {
        QFETCH(bool, list);
        QFETCH(QByteArray, reply);
        Table table(Judging::Vote, 30, 0, list);
        ScriptedUser& mover = *table.mover;
        const QByteArray play = pairPlay(mover, true);
        mover.send(play);
        table.other->expect("2003 ");
        table.other->send("QUIT");
        reply.replace("WORD", wordOf(play))
            .replace("mover", &mover == table.alice.get() ? "alice" : "bob");
        QCOMPARE(mover.expect(reply.left(20)).left(reply.size()), reply);
        QVERIFY(!mover.pending().join('\n').contains("approve"));
    }
};

QTEST_GUILESS_MAIN(JudgingTest)
#include "tst_judging.moc"
