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

    // Game numbers are few: one address makes one game not yet played, and
    // a game nobody is ready to play closes and frees its number.
    void gamesCannotBeSquatted() {
        server::ServerOptions options;
        options.formSeconds = 1;
        ServerFixture fixture(options);
        auto ann = fixture.logOn("ann");
        auto bob = fixture.logOn("bob");
        auto cy = fixture.logOn("cy");
        setAddress(*ann, "10.0.0.1");
        setAddress(*bob, "10.0.0.1");
        setAddress(*cy, "10.0.0.2");
        const std::tuple<ScriptedUser*, const char*, const char*> script[] = {
            {cy.get(), "NEWGAME", "1180"},
            {cy.get(), "READY", "2014 cy is ready to play (1 of 1 ready)"},
            {ann.get(), "NEWGAME", "1180"},
            {bob.get(), "NEWGAME",
             "5180 Game 2, made from your address, has not been played yet: JOIN it"},
            {bob.get(), "JOIN 2", "1180"},
            {ann.get(), "", "2014 Game 2 closes: nobody was ready to play for 1 second"},
            {ann.get(), "", "1200"},
            {bob.get(), "", "1200"},
            {bob.get(), "GLIST", "1160 1 "},
            {bob.get(), "NEWGAME", "1180"},
            {bob.get(), "GLIST", "1160 1 2 "},
        };
        for (const auto& [user, line, reply] : script) {
            if (*line)
                user->send(line);
            QVERIFY2(user->expect(reply).startsWith(reply), reply);
            if (QByteArray(reply).startsWith("1200")) // the room goes from the event loop
                QTRY_COMPARE(fixture.lobby->gameCount(), 1);
        }
        const QByteArrayList heard = cy->pending();
        QVERIFY(std::none_of(heard.begin(), heard.end(),
                             [](const QByteArray& l) { return l.contains("closes"); }));
    }
};

QTEST_GUILESS_MAIN(FormingTest)
#include "tst_forming.moc"
