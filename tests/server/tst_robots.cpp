#include "ServerFixture.h"

#include "robot/Choice.h"
#include "server/Lobby.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>

using namespace wordmoot;
using wordmoot::server::ServerOptions;

namespace {

ServerOptions robotOptions(Judging judging, int robots) {
    ServerOptions o = ServerFixture::options(judging);
    o.words = defaultWordList().path;
    o.robots = robots;
    o.robotDelayMs = 0;
    o.voteSeconds = 1;
    return o;
}

// The board and the rack as the user was last sent them.
Grid boardSeen(const ScriptedUser& user) {
    Grid grid;
    for (const QByteArray& line : user.lines) {
        if (!line.startsWith("2012 "))
            continue;
        const QList<QByteArray> parts = line.split(' ');
        const int row = parts.value(1).toInt();
        const QByteArray cells = parts.value(2);
        for (int column = 0; column < kBoardCells && column < cells.size(); ++column) {
            const char c = cells[column];
            grid.at(column, row) =
                c == '.' ? Tile{}
                         : Tile{char(c == '_' ? c : c & ~0x20), c == '_' || (c >= 'a' && c <= 'z')};
        }
    }
    return grid;
}

std::string rackSeen(const ScriptedUser& user) {
    for (qsizetype i = user.lines.size() - 1; i >= 0; --i)
        if (user.lines[i].startsWith("2013 "))
            return user.lines[i].mid(5).toStdString();
    return {};
}

QByteArray playLine(const Play& play) {
    QByteArray line = "PLAY ";
    for (const LaidTile& t : play)
        line += QByteArray::number(t.column) + ',' + QByteArray::number(t.row) + ',' +
                (t.tile.blank ? '_' : t.tile.letter) + ' ';
    return line;
}

// Waits for the user's turn, approving every play the robot puts to the vote.
bool awaitTurn(ScriptedUser& user) {
    const auto next = [&] {
        for (qsizetype i = user.taken; i < user.lines.size(); ++i)
            if (user.lines[i].startsWith("1020") || user.lines[i].startsWith("2003 Robot"))
                return user.lines[i];
        return QByteArray();
    };
    for (;;) {
        if (!QTest::qWaitFor([&] { return !next().isEmpty(); }, 5000))
            return false;
        if (user.expect(next().left(4)).startsWith("1020"))
            return true;
        user.send("APPROVE");
    }
}

// ann against one robot, cy watching, and the robot on turn with its think
// held on the worker thread until letGo(): the game waits at the robot's move.
struct HeldThink {
    explicit HeldThink(Judging judging)
        : fixture(robotOptions(judging, 1)) {
        QThreadPool& thinkers = fixture.lobby->thinkPool().threads();
        thinkers.setMaxThreadCount(1);
        thinkers.start([held = held] { held->acquire(); }); // every think waits behind this
        ann = fixture.logOn("ann");
        cy = fixture.logOn("cy");
        ann->send("NEWGAME");
        ann->expect("1180");
        cy->send("JOIN 1");
        cy->expect("1180");
        cy->send("OBSERVER");
        ann->send("READY");
        ann->expect("2014 The game begins");
        if (ann->expect("2002 ").startsWith("2002 ann")) {
            ann->expect("1020");
            ann->send("FORFEIT");
        }
        thinking = QTest::qWaitFor([this] { return fixture.lobby->thinkPool().asked() == 1; }, 5000);
    }
    ~HeldThink() { letGo(); }
    void letGo() { held->release(); }

    ServerFixture fixture;
    std::shared_ptr<QSemaphore> held = std::make_shared<QSemaphore>();
    std::unique_ptr<ScriptedUser> ann;
    std::unique_ptr<ScriptedUser> cy;
    bool thinking = false; // the robot's think has been asked for
};

} // namespace

class RobotsTest : public QObject {
    Q_OBJECT
private slots:
    void robotNamesAreKept_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("robot") << QByteArray("robot") << QByteArray("5011 ");
        QTest::newRow("ROBOT2") << QByteArray("ROBOT2") << QByteArray("5011 ");
        QTest::newRow("Robot12") << QByteArray("Robot12") << QByteArray("5011 ");
        QTest::newRow("R0BOT, a zero") << QByteArray("R0BOT") << QByteArray("5011 ");
        QTest::newRow("RobotI, a letter for the 1") << QByteArray("RobotI") << QByteArray("5011 ");
        QTest::newRow("robotics") << QByteArray("robotics") << QByteArray("2014 robotics has");
        QTest::newRow("robot2x") << QByteArray("robot2x") << QByteArray("2014 robot2x has");
        QTest::newRow("myrobot") << QByteArray("myrobot") << QByteArray("2014 myrobot has");
    }
    void robotNamesAreKept() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, reply);
        ServerFixture fixture;
        auto user = fixture.arrive();
        user->send("NAME " + name);
        QVERIFY(user->expect(reply.left(4)).startsWith(reply));
    }

    // Seated and unseated by a player of the game only, while it forms; the
    // fourth seat taken starts it.
    void robotCommand() {
        ServerFixture fixture(robotOptions(Judging::None, 0));
        auto ann = fixture.logOn("ann");
        const std::pair<const char*, const char*> script[] = {
            {"robot", "2014 ROBOT works only in a game"},
            {"NEWGAME", "1180"},
            {"robot", "2014 Only a player of this game seats or sends away a robot"},
            {"READY", "2014 ann is ready to play (1 of 1 ready)"},
            {"robot", "2014 Robot joins the game, ready to play (2 of 2 ready)"},
            {"", "2014 Everyone is ready: ann starts the game with START"},
            {"ROBOT", "2014 Robot2 joins the game, ready to play (3 of 3 ready)"},
            {"robot off", "2014 Robot2 leaves the game"},
            {"robot now", "2014 robot seats a computer player"},
            {"robot two words", "2014 robot seats a computer player"},
            {"robot Champion", "2014 Robot2 joins"},
            {"robot", "2014 Robot3 joins"},
            {"", "2014 The game begins"},
            {"robot", "2014 Robots come and go only before the game begins"},
        };
        for (const auto& [line, reply] : script) {
            if (*line)
                ann->send(line);
            QVERIFY2(ann->expect(reply).startsWith(reply), reply);
        }
        QVERIFY(ann->lines.contains("2000 ann Robot Robot2 Robot3"));
    }

    void robotsOfEveryNewGamePlayItToTheEnd() {
        QTest::failOnWarning(QRegularExpression("robot .* refused"));
        ServerFixture fixture(robotOptions(Judging::List, 2));
        auto ann = fixture.logOn("ann");
        ann->send("NEWGAME");
        ann->expect("1180");
        ann->send("GINFO 1");
        QCOMPARE(ann->expect("1170"), QByteArray("1170 1 FORM 2 1"));
        ann->send("READY");
        ann->expect("2014 ann is ready to play (3 of 3 ready)");
        ann->expect("2014 The game begins");
        QCOMPARE(ann->expect("2000 "), QByteArray("2000 Robot Robot2 ann"));
        // ann passes; the robots play until one goes out.
        const auto seen = [&](const char* prefix, qsizetype from) {
            return std::any_of(ann->lines.begin() + from, ann->lines.end(),
                               [&](const QByteArray& line) { return line.startsWith(prefix); });
        };
        const auto over = [&] { return seen("2017 ", 0) || seen("2018 ", 0); };
        while (!over()) {
            QVERIFY(QTest::qWaitFor([&] { return over() || seen("1020", ann->taken); }, 5000));
            if (!over()) {
                ann->expect("1020");
                ann->send("FORFEIT");
            }
        }
        QVERIFY(ann->pending().join('\n').contains(" scores "));
    }

    // A robot thinks on a worker thread. An answer that comes once the game
    // has moved on is dropped: here its opponent leaves while it thinks, the
    // watcher will not take the seat, and the game ends; then the think is
    // let go, and no move is tried.
    void answerAfterTheGameMovedOnIsDropped() {
        QTest::failOnWarning(QRegularExpression("move refused"));
        HeldThink game(Judging::None);
        QVERIFY(game.thinking);
        ServerFixture& fixture = game.fixture;
        auto& ann = game.ann;
        auto& cy = game.cy;
        ann->send("LEAVE");
        cy->expect("2022 "); // ann's seat is offered to the watcher, who says no
        cy->send("OBSERVER");
        cy->expect("2017 Robot");
        const qsizetype seen = cy->lines.size();
        game.letGo();
        QVERIFY(fixture.lobby->thinkPool().threads().waitForDone(5000));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(cy->lines.size(), seen);
    }

    // The robot's opponent leaves while it thinks and the watcher is offered
    // the seat. The play it then makes has nobody to vote on it: it is judged
    // at once and counts. Alone, the robot waits for the offer's answer:
    // taken, the game goes on; declined, the game ends, and the room hears
    // why the robot wins before the result.
    void playMadeWhileASeatIsOfferedCounts_data() {
        QTest::addColumn<bool>("taken");
        QTest::newRow("declined: the game ends") << false;
        QTest::newRow("taken: the game goes on") << true;
    }
    void playMadeWhileASeatIsOfferedCounts() {
        QFETCH(bool, taken);
        QTest::failOnWarning(QRegularExpression("move refused"));
        HeldThink game(Judging::Challenge);
        QVERIFY(game.thinking);
        ServerFixture& fixture = game.fixture;
        auto& ann = game.ann;
        auto& cy = game.cy;
        ann->send("QUIT");
        cy->expect("2022 ");
        game.letGo(); // the robot's move comes while the seat is on offer
        const QByteArray stood = cy->expect("2014 Robot's play of ");
        QVERIFY2(stood.contains(" stands: every other player has gone"), stood);
        const QByteArray score = cy->expect("2008 Robot ");
        QVERIFY2(!score.startsWith("2008 Robot 0 0"), score);
        QCOMPARE(cy->expect("2002 "), QByteArray("2002 Robot to play"));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(fixture.lobby->thinkPool().asked(), 1); // alone, it waits
        if (taken) {
            cy->send("APPROVE");
            cy->expect("2021");
            QTRY_COMPARE(fixture.lobby->thinkPool().asked(), 2);
            return;
        }
        cy->send("OBSERVER");
        const QByteArray points = score.split(' ').value(3);
        QCOMPARE(cy->expect("2008 Robot "), "2008 Robot 0 " + points + " final");
        QCOMPARE(cy->expect("2014 "), QByteArray("2014 ann left the game: Robot wins"));
        QCOMPARE(cy->expect("2017 "), "2017 Robot with " + points + " points");
    }

    // HINT gives the player on turn the champion's move, as a record writes
    // it, in a game against robots alone; a hint that comes after the player
    // has moved is dropped.
    void hintsAgainstRobotsOnly() {
        ServerFixture fixture(robotOptions(Judging::None, 1));
        auto ann = fixture.logOn("ann");
        ann->send("HINT");
        QCOMPARE(ann->expect("2014 "),
                 QByteArray("2014 HINT works only in a game: JOIN one first"));
        ann->send("NEWGAME");
        ann->expect("1180");
        ann->send("READY");
        QVERIFY(awaitTurn(*ann));
        ann->send("HINT");
        const QRegularExpression hint(
            "^2014 Hint: (([A-O]\\d+|\\d+[A-O]) [A-Za-z.?]+ for \\d+|exchange \\S+|pass)$");
        const QByteArray given = ann->expect("2014 Hint: ");
        QVERIFY2(hint.match(QString::fromLatin1(given)).hasMatch(), given.constData());

        ann->send("HINT");
        ann->send("FORFEIT"); // before the hint is back
        ann->send("HINT");
        QCOMPARE(ann->expect("2014 A hint"),
                 QByteArray("2014 A hint is only for the player on turn"));
        QVERIFY(fixture.lobby->thinkPool().threads().waitForDone(5000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(!ann->pending().join('\n').contains("Hint:"));

        ServerFixture people(robotOptions(Judging::None, 0));
        auto al = people.logOn("al");
        auto bo = people.logOn("bo");
        people.startTwoPlayerGame(*al, *bo);
        ScriptedUser& mover = onTurn(*al, *bo);
        mover.send("HINT");
        QCOMPARE(mover.expect("2014 Hints"),
                 QByteArray("2014 Hints are only for a game against robots"));
    }

    void robotApprovesKnownWordsOnly_data() {
        QTest::addColumn<bool>("known");
        QTest::newRow("known words") << true;
        QTest::newRow("unknown words") << false;
    }
    // At once either way: the vote lasts far longer than the test waits.
    void robotApprovesKnownWordsOnly() {
        QFETCH(bool, known);
        ServerOptions options = robotOptions(Judging::Vote, 1);
        options.voteSeconds = 60;
        ServerFixture fixture(options);
        const robot::Brain& brain = fixture.lobby->brain();
        auto ann = fixture.logOn("ann");
        ann->send("NEWGAME");
        ann->expect("1180");
        ann->send("READY");
        QVERIFY(awaitTurn(*ann));
        const Grid board = boardSeen(*ann);
        std::optional<Play> chosen;
        for (ScoredPlay& p : brain.generator().allPlays(board, rackSeen(*ann))) {
            for (std::size_t i = 0; !known && i < p.play.size() / 2; ++i) // letters reversed
                std::swap(p.play[i].tile, p.play[p.play.size() - 1 - i].tile);
            const bool blank = std::any_of(p.play.begin(), p.play.end(),
                                           [](const LaidTile& t) { return t.tile.blank; });
            if (p.play.size() > 1 && !blank && brain.knowsEveryWord(board, p.play) == known &&
                !chosen)
                chosen = p.play;
        }
        QVERIFY(chosen);
        ann->send(playLine(*chosen));
        ann->expect("2003 ann");
        if (known)
            QVERIFY(ann->expect("2014 The players approve").startsWith("2014"));
        else
            QVERIFY(ann->expect("5036 Refused: ").contains("not in the word list"));
    }
};

QTEST_GUILESS_MAIN(RobotsTest)
#include "tst_robots.moc"
