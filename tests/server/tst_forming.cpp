#include "ServerFixture.h"

#include <QTest>

using namespace wordmoot;

// How a game of two to four forms.
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
        // The seats in the order they were taken, which play goes round.
        QCOMPARE(ann->expect("2000 "), QByteArray("2000 bob cy ann"));
    }
};

QTEST_GUILESS_MAIN(FormingTest)
#include "tst_forming.moc"
