#include "ServerFixture.h"

#include <QTest>

using namespace wordmoot;

// How a game of two to four forms and who plays when.
class FormingTest : public QObject {
    Q_OBJECT
private slots:
    // Three people: nothing starts until the maker says so, and only when
    // everyone seated is ready; a watcher seats no robot.
    void theMakerStartsAGameOfThree() {
        ServerFixture fixture;
        auto ann = fixture.logOn("ann");
        auto bob = fixture.logOn("bob");
        auto cy = fixture.logOn("cy");
        ann->send("NEWGAME");
        ann->expect("1180");
        const std::tuple<ScriptedUser*, const char*, const char*> script[] = {
            {ann.get(), "READY", "2014 ann is ready to play (1 of 1 ready)"},
            {ann.get(), "START", "2014 A game needs two players"},
            {bob.get(), "JOIN  1", "1180"},
            {bob.get(), "READY", "2014 Everyone is ready: ann starts the game with START"},
            {bob.get(), "START", "2014 ann starts this game"},
            {cy.get(), "JOIN  1", "1180"},
            {cy.get(), "ROBOT", "2014 Only a player of this game seats or sends away a robot"},
            {cy.get(), "OBSERVER", "1120"},
            {cy.get(), "READY", "2014 cy is ready to play (3 of 3 ready)"},
            {ann.get(), "OBSERVER", "1120"},
            {bob.get(), "", "2014 Everyone is ready: bob starts the game with START"},
            {ann.get(), "READY", "2014 ann is ready to play (3 of 3 ready)"},
            {bob.get(), "START", "2014 ann starts this game"},
            {ann.get(), "START", "2014 The game begins"},
        };
        for (const auto& [user, line, reply] : script) {
            if (*line)
                user->send(line);
            QVERIFY2(user->expect(reply).startsWith(reply), reply);
        }
        // The seats in the order they were taken; play goes round them.
        QCOMPARE(ann->expect("2000 "), QByteArray("2000 bob cy ann"));
        const QByteArrayList order = {"bob", "cy", "ann"};
        QByteArray first = ann->expect("2002 ").mid(5);
        first.chop(8);
        qsizetype turn = order.indexOf(first);
        QVERIFY(turn >= 0);
        for (int i = 0; i < 4; ++i) {
            ScriptedUser* onTurn = order[turn] == "ann"   ? ann.get()
                                   : order[turn] == "bob" ? bob.get()
                                                          : cy.get();
            onTurn->expect("1020 ");
            onTurn->send("FORFEIT");
            turn = (turn + 1) % 3;
            QCOMPARE(ann->expect("2002 "), "2002 " + order[turn] + " to play");
        }
    }

    // Four seated and ready need no word to begin.
    void aFourthSeatStartsTheGame() {
        ServerFixture fixture;
        std::vector<std::unique_ptr<ScriptedUser>> users;
        for (const char* name : {"ann", "bob", "cy", "dee"})
            users.push_back(fixture.logOn(name));
        users[0]->send("NEWGAME");
        for (std::size_t i = 0; i < users.size(); ++i) {
            if (i > 0)
                users[i]->send("JOIN  1");
            users[i]->expect("1180");
            users[i]->send("READY");
        }
        QCOMPARE(users[0]->expect("2000 "), QByteArray("2000 ann"));
        users[0]->expect("2014 The game begins");
        QVERIFY(!users[0]->pending().isEmpty());
    }

    // The game's last seat taken by a latecomer: told to watch.
    void noFifthSeat() {
        ServerFixture fixture;
        auto ann = fixture.logOn("ann");
        ann->send("NEWGAME");
        ann->expect("1180");
        ann->send("READY");
        for (int i = 0; i < 2; ++i)
            ann->send("ROBOT");
        ann->expect("2014 Robot2 joins");
        auto eve = fixture.logOn("eve");
        eve->send("JOIN  1");
        eve->expect("1180");
        ann->send("ROBOT"); // the fourth seat: the game begins
        ann->expect("2014 The game begins");
        eve->send("READY");
        QCOMPARE(eve->expect("2014 The game is in play"),
                 QByteArray("2014 The game is in play: a seat is offered when one comes free"));
    }
};

QTEST_GUILESS_MAIN(FormingTest)
#include "tst_forming.moc"
