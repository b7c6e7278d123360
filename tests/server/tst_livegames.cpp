// Live play as players meet it, in the process: a seat kept through a drop
// and taken back, the grace running out, names a seat holds, the clock, and
// the games in play brought back by a server started again on the store.
#include "ServerFixture.h"

#include "server/store/SqlStore.h"

#include <QTest>

using namespace wordmoot;
using wordmoot::server::ServerOptions;

namespace {

ServerOptions withGrace(int seconds) {
    ServerOptions options;
    options.seatGraceSeconds = seconds;
    return options;
}

std::unique_ptr<ScriptedUser> logOnFrom(ServerFixture& fixture, const QByteArray& name,
                                        const QByteArray& address) {
    auto user = fixture.arrive();
    setAddress(*user, address);
    user->expect("1000 2 ");
    user->send("NAME " + name);
    return user;
}

// The board as the user was last told it, row by row.
QByteArray boardOf(const ScriptedUser& user) {
    QByteArray board;
    for (int row = 0; row < 15; ++row)
        board += lastLine(user, "2012 " + QByteArray::number(row) + ' ') + '\n';
    return board;
}

// ann and bob from two addresses in game 1, begun.
struct TwoPlaying {
    explicit TwoPlaying(ServerFixture& fixture)
        : ann(logOnFrom(fixture, "ann", "10.0.0.1"))
        , bob(logOnFrom(fixture, "bob", "10.0.0.2")) {
        ann->expect("2014 ann has arrived");
        bob->expect("2014 bob has arrived");
        fixture.startTwoPlayerGame(*ann, *bob);
        onTurn(*ann, *bob);
    }
    std::unique_ptr<ScriptedUser> ann, bob;
};

} // namespace

class LiveGamesTest : public QObject {
    Q_OBJECT
private slots:
    // bob's connection drops: the seat waits for him, and who gets it back.
    void aDroppedSeatWaits_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("bob again, from his address")
            << QByteArray("bob") << QByteArray("10.0.0.2") << QByteArray("2021");
        QTest::newRow("another bob, from elsewhere")
            << QByteArray("bob") << QByteArray("10.0.0.9")
            << QByteArray("5011 bob is in use: its seat in game 1 waits for its player");
        QTest::newRow("a look-alike, from his address")
            << QByteArray("b0b") << QByteArray("10.0.0.2")
            << QByteArray("5011 b0b is in use: its seat in game 1 waits for its player");
    }
    void aDroppedSeatWaits() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, answer);
        ServerFixture fixture(withGrace(120));
        TwoPlaying game(fixture);
        const QByteArray rack = lastLine(*game.bob, "2013 ");
        game.bob->vanish();
        game.ann->expect("2014 bob lost the connection; the seat is kept for 2 minutes");
        QCOMPARE(game.ann->expect("2008 bob "), QByteArray("2008 bob 0 0 away"));
        auto watcher = fixture.logOn("cy");
        watcher->send("JOIN 1");
        watcher->expect("2002 ");
        auto back = logOnFrom(fixture, name, address);
        if (!answer.startsWith("2021")) {
            QCOMPARE(back->expect(answer.left(5)), answer);
            return;
        }
        back->send("JOIN 1");
        back->expect("2020");
        back->expect("1180");
        back->expect("2021");
        back->expect("2002 ");
        QCOMPARE(back->expect("2013 "), rack);
        game.ann->expect("2014 bob is back in the seat");
        QVERIFY(!watcher->lines.join('\n').contains("2022 "));
    }

    // At the absent player's turn the game waits out the grace; then the seat
    // is free, the turn goes on, and a watcher taking the seat gets its rack.
    void theGameWaitsOutTheGrace() {
        ServerFixture fixture(withGrace(1));
        TwoPlaying game(fixture);
        ScriptedUser& mover = onTurn(*game.ann, *game.bob);
        ScriptedUser& other = &mover == game.ann.get() ? *game.bob : *game.ann;
        auto watcher = fixture.logOn("cy");
        watcher->send("JOIN 1");
        watcher->expect("2002 ");
        const QByteArray rack = lastLine(mover, "2013 ");
        mover.vanish();
        other.send("FORFEIT");
        QVERIFY(other.expect("2014 Pass refused").contains("not your turn"));
        watcher->waitMs = 10000;
        watcher->expect("2014 ");
        QVERIFY(watcher->expect("2014 ").endsWith("did not come back: the seat is free"));
        watcher->expect("2022 ");
        watcher->send("APPROVE");
        watcher->expect("2021");
        QCOMPARE(watcher->expect("2013 "), rack);
        other.expect("1020 "); // the turn came round to the one who stayed
    }

    // A user may not take the name of a seat of its game, there or away.
    void aSeatsNameIsNotTaken_data() {
        QTest::addColumn<bool>("away");
        QTest::newRow("while bob plays") << false;
        QTest::newRow("while bob is away") << true;
    }
    void aSeatsNameIsNotTaken() {
        QFETCH(bool, away);
        ServerFixture fixture(withGrace(120));
        TwoPlaying game(fixture);
        auto watcher = logOnFrom(fixture, "cy", "10.0.0.2"); // even from bob's address
        watcher->send("JOIN 1");
        watcher->expect("2002 ");
        if (away)
            game.bob->vanish();
        watcher->send("NAME Bob");
        QVERIFY(watcher->expect("5011 ").startsWith("5011 Bob "));
        watcher->send("NAME dan");
        watcher->expect("2019 ");
    }

    // QUIT gives the seat up at once, as LEAVE does.
    void quitGivesTheSeatUp() {
        ServerFixture fixture(withGrace(120));
        TwoPlaying game(fixture);
        auto watcher = fixture.logOn("cy");
        watcher->send("JOIN 1");
        watcher->expect("2002 ");
        game.bob->send("QUIT");
        watcher->expect("2014 bob has gone");
        watcher->expect("2022 ");
    }

    // The turn's clock: the warning that fits, the time in REFRESH's answer,
    // a pass when time is up, and the seat left after three in a row.
    void theTurnClock() {
        ServerOptions options;
        options.turnSeconds = 11;
        ServerFixture fixture(options);
        TwoPlaying game(fixture);
        ScriptedUser& mover = onTurn(*game.ann, *game.bob);
        mover.expect("2014 10 seconds left for your turn");
        QVERIFY(!mover.lines.join('\n').contains("30 seconds"));
        mover.send("REFRESH");
        QVERIFY(mover.expect("2014 Time left: ").contains(" seconds for "));
        QCOMPARE(mover.lines.count("2014 10 seconds left for your turn"), 1);
    }
    void timeUpPassesTheTurn() {
        ServerOptions options;
        options.turnSeconds = 1;
        ServerFixture fixture(options);
        TwoPlaying game(fixture);
        auto watcher = fixture.logOn("cy");
        watcher->send("JOIN 1");
        watcher->waitMs = 20000;
        watcher->expect("2002 ");
        const QByteArray first = lastLine(*watcher, "2002 ").mid(5).split(' ').first();
        watcher->expect("2014 " + first + "'s time is up: the turn passes");
        watcher->expect("2014 " + first + " passes");
        // Nobody moves: ann and bob each time out, the first to three leaves.
        watcher->expect("2014 " + first +
                        "'s time ran out three turns running: the seat counts as left");
        watcher->expect("2022 ");
    }

    void statsAreTheOperatorsAlone() {
        ServerOptions options;
        options.operatorName = "ann";
        ServerFixture fixture(options);
        auto ann = fixture.logOn("ann"); // not identified
        ann->send("STATS");
        ann->expect("2014 STATS is for the server's operator");
    }

    // A game played to its end is kept, and leaves no journal behind.
    void aFinishedGameLeavesNoJournal() {
        QTemporaryDir dir;
        ServerOptions options;
        options.store = dir.filePath("store.sqlite");
        {
            ServerFixture fixture(options);
            TwoPlaying game(fixture);
            QVERIFY(passToTheEnd(*game.ann, *game.bob).startsWith("201"));
        }
        QString error;
        const auto store = store::SqlStore::open(options.store, error);
        QVERIFY2(store, qPrintable(error));
        QVERIFY(store->liveGames("main").empty());
        QCOMPARE(store->history("ann", 10).size(), std::size_t(1));
    }

    // A server stopped and started again on the same store has its games in
    // play back under their numbers, a robot's seat played again at once,
    // and each player's seat waiting for them.
    void aRestartBringsTheGamesBack() {
        QTemporaryDir dir;
        ServerOptions options;
        options.store = dir.filePath("store.sqlite");
        options.robotDelayMs = 0;
        QByteArray board, rack, scores;
        {
            ServerFixture fixture(options);
            TwoPlaying game(fixture);
            ScriptedUser& mover = onTurn(*game.ann, *game.bob);
            mover.send("EXCHANGE " + lastLine(mover, "2013 ").mid(5, 3));
            game.ann->expect("2014 ");
            auto cy = logOnFrom(fixture, "cy", "10.0.0.3");
            cy->send("NEWGAME");
            cy->expect("1180");
            cy->send("READY");
            cy->send("ROBOT");
            cy->send("START");
            cy->expect("2002 ");
            game.ann->send("REFRESH");
            game.ann->expect("2002 ");
            board = boardOf(*game.ann);
            rack = lastLine(*game.ann, "2013 ");
            scores = lastLine(*game.ann, "2008 bob");
            // the store job of the lobby's end: everything asked before it is done
        }
        ServerFixture fixture(options);
        auto watcher = fixture.logOn("dan");
        watcher->send("GLIST");
        QCOMPARE(watcher->expect("1160 "), QByteArray("1160 1 2 "));
        auto ann = logOnFrom(fixture, "ann", "10.0.0.1");
        ann->send("JOIN 1");
        ann->expect("2021");
        ann->expect("2002 ");
        QCOMPARE(lastLine(*ann, "2008 bob"), scores.split(' ').mid(0, 4).join(' ') + " away");
        QCOMPARE(ann->expect("2013 "), rack);
        QCOMPARE(boardOf(*ann), board);
        auto cy = logOnFrom(fixture, "cy", "10.0.0.3");
        cy->send("JOIN 2");
        cy->expect("2021");
        if (!lastLine(*cy, "2002 ").contains("cy"))
            cy->expect("2002 cy"); // the robot moved, or moves now
        cy->send("FORFEIT");
        cy->expect("2002 Robot");
        cy->expect("2002 cy"); // and the robot, back in its seat, answers
    }
};

QTEST_MAIN(LiveGamesTest)
#include "tst_livegames.moc"
