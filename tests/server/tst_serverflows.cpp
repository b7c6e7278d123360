#include "ServerFixture.h"

#include <QTest>

using namespace wordmoot;
using wordmoot::server::ServerOptions;

// The replies a real client needs, line by line.
class ServerFlowsTest : public QObject {
    Q_OBJECT
private slots:
    void names_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("empty name") << QByteArray("NAME ") << QByteArray("5010 ");
        QTest::newRow("blank inside") << QByteArray("NAME a b") << QByteArray("5010 ");
        QTest::newRow("control byte") << QByteArray("NAME a\x01z") << QByteArray("5010 ");
        QTest::newRow("21 characters")
            << QByteArray("NAME ") + QByteArray(21, 'x') << QByteArray("5010 ");
        QTest::newRow("in use, other case") << QByteArray("NAME ALICE") << QByteArray("5011 ");
        QTest::newRow("in use, by its look")
            << QByteArray("NAME aIice") << QByteArray("5011 aIice looks too like alice, in use");
        QTest::newRow("beyond ASCII") << QByteArray("NAME J\xF6rg") << QByteArray("2014 J\xF6rg has");
        QTest::newRow("rename told to the renamed")
            << QByteArray("NAME carol") << QByteArray("2019 bob carol ");
        QTest::newRow("command before a name")
            << QByteArray("SAY hi") << QByteArray("2014 Take a name first");
    }
    void names() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        ServerFixture fixture;
        auto alice = fixture.logOn("alice");
        auto bob = command.startsWith("NAME carol") ? fixture.logOn("bob") : fixture.arrive();
        bob->send(command);
        QCOMPARE(bob->expect(reply.left(4)).left(reply.size()), reply);
    }

    void listAskedBeforeTheNameComesAfterIt() {
        ServerFixture fixture;
        auto user = fixture.arrive();
        user->send("NAME bad name");
        user->send("VERSION");
        user->send("GLIST");
        user->expect("5010 ");
        user->send("NAME good");
        user->expect("2014 good has arrived");
        QCOMPARE(user->expect("1160"), QByteArray("1160 "));
    }

    void sayReachesTheRoomOnce() {
        ServerFixture fixture;
        auto alice = fixture.logOn("alice");
        auto bob = fixture.logOn("bob");
        alice->send("SAY hello  there ");
        QCOMPARE(bob->expect("2009"), QByteArray("2009 alice hello  there "));
        QCOMPARE(alice->expect("2009"), QByteArray("2009 alice hello  there "));
        alice->send("tell BOB psst");
        QCOMPARE(bob->expect("2010"), QByteArray("2010 alice psst"));
        alice->send("TELL nobody hi");
        QCOMPARE(alice->expect("2014 Nobody"), QByteArray("2014 Nobody is called nobody"));
        QVERIFY(!alice->pending().join().contains("2009"));
    }

    void gamesListedInColumns() {
        ServerOptions options;
        options.maxGames = 1;
        ServerFixture fixture(options);
        auto alice = fixture.logOn("alice");
        auto bob = fixture.logOn("bob");
        alice->send("NEWGAME");
        alice->expect("1180 ");
        alice->send("READY");
        bob->send("GLIST");
        QCOMPARE(bob->expect("1160"), QByteArray("1160 1 "));
        bob->send("GINFO 1");
        QCOMPARE(bob->expect("1170"), QByteArray("1170 1 FORM 1 0"));
        bob->send("NEWGAME");
        bob->expect("5180 ");
    }

    void aPlayStandsThenTheNextTurn() {
        ServerFixture fixture;
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        fixture.startTwoPlayerGame(*a, *b);
        ScriptedUser& mover = onTurn(*a, *b);
        ScriptedUser& other = &mover == a.get() ? *b : *a;
        QVERIFY(mover.lines.last().contains("starting tile"));
        other.send("PLAY 7,7,A 8,7,B ");
        other.expect("5030 ");
        mover.send("PLAY 7,7,A 9,7,B ");
        QVERIFY(mover.expect("503").startsWith("503")); // a gap, or tiles not held
        mover.send(openingPlay(mover));
        QVERIFY(other.expect("2012 7 ").startsWith("2012 7 ......."));
        QVERIFY(other.expect("2014 ").contains(" scores "));
        mover.expect("2013 ");
        other.expect("2008 ");
        other.expect("2002 ");
        other.expect("1020 Your turn");
    }

    void watcherGetsThePositionAndASeat() {
        ServerFixture fixture;
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        auto c = fixture.logOn("carol");
        fixture.startTwoPlayerGame(*a, *b);
        c->send("JOIN  1");
        c->expect("2020 ");
        c->expect("1180 ");
        QCOMPARE(c->expect("2012 14 "), QByteArray("2012 14 ..............."));
        c->expect("2000 ");
        c->expect("2002 ");
        b->send("LEAVE");
        b->expect("1200 ");
        c->expect("2022 ");
        c->send("APPROVE");
        c->expect("2021 ");
        c->send("REFRESH");
        c->expect("2013 ");
    }

    void leavingPlayerEndsATwoPlayerGame() {
        ServerFixture fixture;
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        fixture.startTwoPlayerGame(*a, *b);
        b->send("QUIT");
        QCOMPARE(a->expect("2017 "), QByteArray("2017 alice with 0 points"));
        a->send("GLIST");
        a->send("GINFO 1");
        QCOMPARE(a->expect("1170 "), QByteArray("1170 1 OVER 1 0"));
    }

    void voteTimesOutAndTheTurnPasses() {
        auto options = ServerFixture::options(Judging::Vote);
        options.voteSeconds = 1;
        ServerFixture fixture(options);
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        fixture.startTwoPlayerGame(*a, *b);
        ScriptedUser& mover = onTurn(*a, *b);
        ScriptedUser& other = &mover == a.get() ? *b : *a;
        mover.send(openingPlay(mover));
        QVERIFY(other.expect("2003 ").contains(" 7,7,"));
        mover.expect("2003 ");
        QCOMPARE(mover.expect("2013 ").size(), 5 + 5); // the two tiles are on the board
        mover.expect("5036 ");
        QCOMPARE(mover.expect("2013 ").size(), 5 + 7);
        other.expect("1020 Your turn");
    }

    void listJudgingNamesTheUnknownWords() {
        ServerFixture fixture(ServerFixture::options(Judging::List));
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        fixture.startTwoPlayerGame(*a, *b);
        ScriptedUser& mover = onTurn(*a, *b);
        const QByteArray play = openingPlay(mover);
        mover.send(play);
        const QByteArray reply = mover.expect("50");
        const bool known = play.contains(",A 8,7,T") || play.contains(",T 8,7,A");
        const QByteArray word = play.mid(9, 1) + play.mid(15, 1);
        QVERIFY2(known || reply == "5036 Refused: " + word + " is not in the word list", reply);
    }
};

QTEST_MAIN(ServerFlowsTest)
#include "tst_serverflows.moc"
