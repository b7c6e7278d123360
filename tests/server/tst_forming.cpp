#include "ServerFixture.h"

#include "shared/rules/Game.h"

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

    // START said before the game may begin is kept: it begins the moment
    // every seated player is ready and two are seated, as a maker who waits
    // for another person wants; not if the maker has gone.
    void startSaidEarlyBeginsTheGameWhenItMay_data() {
        QTest::addColumn<bool>("makerLeaves");
        QTest::newRow("the maker waits") << false;
        QTest::newRow("the maker has left") << true;
    }
    void startSaidEarlyBeginsTheGameWhenItMay() {
        QFETCH(bool, makerLeaves);
        ServerFixture fixture;
        auto ann = fixture.logOn("ann");
        auto bob = fixture.logOn("bob");
        auto cy = fixture.logOn("cy");
        ann->send("NEWGAME");
        ann->expect("1180");
        ann->send("READY");
        ann->send("START");
        QVERIFY(ann->expect("2014 A game").startsWith("2014 A game needs two players: it begins"));
        bob->send("JOIN  1");
        bob->expect("1180");
        if (makerLeaves) {
            ann->send("LEAVE");
            ann->expect("1200");
        }
        bob->send("READY");
        bob->expect("2014 bob is ready");
        if (!makerLeaves) {
            QCOMPARE(bob->expect("2014 "), QByteArray("2014 The game begins"));
            return;
        }
        cy->send("JOIN  1");
        cy->expect("1180");
        cy->send("READY");
        QCOMPARE(bob->expect("2014 Every"),
                 QByteArray("2014 Everyone is ready: bob starts the game with START"));
    }

    // A client holds itself a player or a watcher as the membership replies
    // left it (a watcher stays one through leaving). READY, clicked or
    // typed, tells a client that may hold itself a watcher that it plays
    // (1190), so that it is put the votes; a client that knows it plays is
    // not told again, or it would put its player question twice.
    void readyTellsAWatcherItPlays_data() {
        QTest::addColumn<QByteArrayList>("script"); // cy's lines before READY
        QTest::addColumn<bool>("told");
        QTest::newRow("joined a forming game") << QByteArrayList{"JOIN  1"} << false;
        QTest::newRow("watched first") << QByteArrayList{"JOIN  1", "OBSERVER"} << true;
        QTest::newRow("watched, left and joined again")
            << QByteArrayList{"JOIN  1", "OBSERVER", "LEAVE", "JOIN  1"} << true;
        QTest::newRow("joined a finished game") << QByteArrayList{"over", "JOIN  1"} << true;
    }
    void readyTellsAWatcherItPlays() {
        QFETCH(QByteArrayList, script);
        QFETCH(bool, told);
        ServerFixture fixture;
        auto ann = fixture.logOn("ann");
        auto bob = fixture.logOn("bob");
        auto cy = fixture.logOn("cy");
        const QMap<QByteArray, QByteArray> answers = {
            {"JOIN  1", "1180 "}, {"OBSERVER", "1120 "}, {"LEAVE", "1200 "}};
        if (script.front() == "over") { // ann and bob play game 1 to its end
            script.removeFirst();
            fixture.startTwoPlayerGame(*ann, *bob);
            QVERIFY(passToTheEnd(*ann, *bob).startsWith("201"));
        } else {
            ann->send("NEWGAME");
            ann->expect("1180 ");
        }
        for (const QByteArray& line : script) {
            cy->send(line);
            cy->expect(answers.value(line));
        }
        const qsizetype from = cy->lines.size();
        cy->send("READY");
        cy->expect("2014 cy is ready to play");
        QCOMPARE(cy->lines.mid(from).contains("1190 "), told);
        // Watching again, cy is sent no rack: an empty one clears the screen's.
        cy->send("OBSERVER");
        cy->expect("1120 ");
        cy->send("REFRESH");
        QCOMPARE(cy->expect("2013"), QByteArray("2013 "));
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
