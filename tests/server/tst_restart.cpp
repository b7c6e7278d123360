// The server program killed (SIGKILL) again and again at random moments of a
// scripted game, and started again on its store each time: every client
// finds the game as it was last told it, with nothing lost. Half the kills
// come between moves, where the game comes back exactly as told; half come
// just after a move was sent (at a random moment, or the moment its mover
// hears the first of the answer), where it comes back either before the
// move, as if it had never been sent, or after it, and never short of what
// any client had heard of it.
#include "ServerFixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <map>
#include <random>
#include <thread>

namespace {

constexpr int kKills = 60;
const QByteArrayList kNames{"ann", "bob"};

// The game as one client was told it, or as the server shows it again.
struct Position {
    QByteArray board;
    QByteArray rack;
    std::map<QByteArray, int> scores;
    QByteArray turn;
    int bag = -1;
    int turns = 0; // 2002 lines seen
};

int countOf(const QByteArrayList& lines, std::initializer_list<const char*> prefixes) {
    return int(std::count_if(lines.begin(), lines.end(), [&](const QByteArray& line) {
        return std::any_of(prefixes.begin(), prefixes.end(),
                           [&](const char* prefix) { return line.startsWith(prefix); });
    }));
}

QByteArray boardOf(const ScriptedUser& user) {
    QByteArray board;
    for (int row = 0; row < 15; ++row)
        board += lastLine(user, "2012 " + QByteArray::number(row) + ' ').split(' ').value(2) + '\n';
    return board;
}

int bagOf(const ScriptedUser& user) {
    static const QRegularExpression bag("^2014 (\\d+) tiles? in the bag$");
    for (auto line = user.lines.crbegin(); line != user.lines.crend(); ++line)
        if (const auto match = bag.match(QString::fromUtf8(*line)); match.hasMatch())
            return match.captured(1).toInt();
    return -1;
}

Position toldTo(const ScriptedUser& user) {
    Position p{boardOf(user), lastLine(user, "2013 ").mid(5), {},
               lastLine(user, "2002 ").mid(5).split(' ').first(), bagOf(user),
               countOf(user.lines, {"2002 "})};
    for (const QByteArray& name : kNames)
        p.scores[name] = lastLine(user, "2008 " + name + ' ').split(' ').value(3).toInt();
    return p;
}

// Every tile of the board told is on the board shown, in its cell.
bool holds(const QByteArray& shown, const QByteArray& told) {
    if (shown.size() != told.size())
        return false;
    for (qsizetype i = 0; i < told.size(); ++i)
        if (told[i] != '.' && told[i] != shown[i])
            return false;
    return true;
}

// The server program on a free loopback port, on the test's store.
class Server {
public:
    explicit Server(const QTemporaryDir& dir) {
        QFile words(dir.filePath("words"));
        if (words.open(QIODevice::WriteOnly))
            words.write("cat\nat\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir.path());
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        arguments_ = {"--listen", "127.0.0.1", "--port", "0", "--store",
                      dir.filePath("store.sqlite"), "--words", words.fileName(), "--judge", "none",
                      "--seat-grace-seconds", "600"};
    }
    ~Server() { kill(); }
    quint16 start() {
        process_.start(QCoreApplication::applicationDirPath() + "/wordmoot-server", arguments_);
        if (!process_.waitForReadyRead(60000))
            return 0;
        return quint16(process_.readLine().trimmed().split(':').last().toUInt());
    }
    void kill() {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
    QStringList arguments_;
};

} // namespace

class RestartTest : public QObject {
    Q_OBJECT
private slots:
    void killedAtRandomNothingIsLost() {
        QTemporaryDir dir;
        Server server(dir);
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("random moments from seed %u", seed);
        random_.seed(seed);
        int finished = 0;
        bool inPlay = false;
        std::map<QByteArray, Position> told;
        QByteArray mover; // who had a move on its way when the server was killed
        for (int kill = 0; kill < kKills; ++kill) {
            const quint16 port = server.start();
            QVERIFY(port != 0);
            logOn(port);
            if (inPlay) {
                for (auto& [name, user] : users_)
                    user->send("JOIN " + game_);
                ScriptedUser& ann = *users_["ann"];
                QVERIFY(QTest::qWaitFor(
                    [&] { return countOf(ann.pending(), {"2021", "2014 No game"}) > 0; }, 10000));
                if (countOf(ann.pending(), {"2014 No game"}) > 0) {
                    // Only a game whose last move was on its way may have ended unseen.
                    QVERIFY2(!mover.isEmpty(), "a game in play was lost");
                    ++finished;
                    inPlay = false;
                } else {
                    checkRestored(told, mover);
                    if (QTest::currentTestFailed())
                        return;
                }
            }
            if (!inPlay) {
                begin();
                inPlay = true;
            }
            for (int moves = int(random_() % 10); moves > 0 && inPlay; --moves)
                inPlay = !moveAndWait(finished);
            mover.clear();
            if (inPlay && kill % 2 == 1) {
                mover = turn();
                sendMove(*users_[mover]);
                // At a random moment, or the moment the mover hears the first
                // of the answer, when its journal line has only just been kept.
                if (kill % 4 == 1)
                    std::this_thread::sleep_for(std::chrono::microseconds(random_() % 2000));
                else
                    users_[mover]->socket.waitForReadyRead(5000);
            }
            server.kill();
            for (auto& [name, user] : users_)
                QVERIFY(QTest::qWaitFor([&] { return !user->isConnected(); }, 5000));
            for (auto& [name, user] : users_) {
                told[name] = toldTo(*user);
                if (told[name].bag < 0) // told before this start, and not since
                    told[name].bag = bagShown_;
            }
            inPlay = inPlay && !ended();
        }
        // Every game played to its end is in the store.
        const quint16 port = server.start();
        QVERIFY(port != 0);
        logOn(port);
        ScriptedUser& ann = *users_["ann"];
        ann.send("HISTORY ann");
        if (finished == 0)
            return void(ann.expect("2014 No finished games of ann"));
        ann.expect("2014 The last games of ann");
        const int listed = std::min(finished, 10);
        QVERIFY(QTest::qWaitFor([&] { return countOf(ann.pending(), {"2014 "}) >= listed; }, 10000));
        qInfo("%d kills, %d games played to their end", kKills, finished);
    }

private:
    void logOn(quint16 port) {
        oversSeen_ = 0;
        for (const QByteArray& name : kNames) {
            users_[name] = std::make_unique<SocketUser>(port);
            users_[name]->expect("1000 2 ");
            users_[name]->send("NAME " + name);
            users_[name]->expect("2014 " + name + " has arrived");
        }
    }

    // Whether the game begun last is over, as ann was told.
    bool ended() const { return countOf(users_.at("ann")->lines, {"2017 ", "2018 "}) > oversSeen_; }

    QByteArray turn() const { return toldTo(*users_.at("ann")).turn; }

    // A new game of ann and bob, begun.
    void begin() {
        ScriptedUser& ann = *users_["ann"];
        ScriptedUser& bob = *users_["bob"];
        ann.send("LEAVE");
        bob.send("LEAVE");
        ann.send("NEWGAME");
        ann.expect("1180");
        game_ = lastLine(bob, "2014 ann goes to game ").split(' ').last();
        oversSeen_ = countOf(ann.lines, {"2017 ", "2018 "});
        bob.send("JOIN " + game_);
        bob.expect("1180");
        ann.send("READY");
        bob.send("READY");
        ann.expect("2014 Everyone is ready");
        ann.send("START");
        ann.expect("2002 ");
        bob.expect("2002 ");
    }

    // One tile beside the board's (the first two across the centre), now and
    // then an exchange or a pass.
    void sendMove(ScriptedUser& user) {
        const Position p = toldTo(user);
        const int roll = int(random_() % 100);
        QByteArray letters = p.rack;
        letters.replace('_', "");
        if (roll < 3 || letters.isEmpty())
            return user.send("FORFEIT");
        if (roll < 13 && p.bag >= 7)
            return user.send("EXCHANGE " + p.rack.left(2));
        const QList<QByteArray> rows = p.board.split('\n');
        if (std::none_of(p.board.begin(), p.board.end(), [](char c) { return std::isalpha(c); }))
            return user.send(letters.size() >= 2
                                 ? "PLAY 7,7," + letters.left(1) + " 8,7," + letters.mid(1, 1)
                                 : QByteArray("FORFEIT"));
        std::vector<std::pair<int, int>> cells;
        const auto filled = [&](int c, int r) {
            return c >= 0 && c < 15 && r >= 0 && r < 15 && rows[r][c] != '.';
        };
        for (int r = 0; r < 15; ++r)
            for (int c = 0; c < 15; ++c)
                if (!filled(c, r) && (filled(c - 1, r) || filled(c + 1, r) || filled(c, r - 1) ||
                                      filled(c, r + 1)))
                    cells.push_back({c, r});
        const auto [c, r] = cells[random_() % cells.size()];
        user.send("PLAY " + QByteArray::number(c) + ',' + QByteArray::number(r) + ',' +
                  letters.mid(int(random_() % letters.size()), 1));
    }

    // The mover's move, and its answer to both; true when it ended the game.
    bool moveAndWait(int& finished) {
        const auto seen = [this] {
            int count = 0;
            for (auto& [name, user] : users_)
                count += countOf(user->lines, {"2002 ", "2017 ", "2018 "});
            return count;
        };
        const int before = seen();
        sendMove(*users_[turn()]);
        const QByteArray who = turn();
        if (!QTest::qWaitFor([&] { return seen() >= before + 2; }, 10000))
            qWarning() << "no answer to the move of" << who << users_[who]->lines.mid(users_[who]->lines.size() - 8);
        if (!ended())
            return false;
        ++finished;
        return true;
    }

    void checkRestored(const std::map<QByteArray, Position>& told, const QByteArray& mover) {
        std::map<QByteArray, Position> now;
        for (auto& [name, user] : users_) {
            user->expect("2021");
            user->expect("2013 ");
            now[name] = toldTo(*user);
        }
        ScriptedUser& ann = *users_["ann"];
        ann.send("UNSEEN");
        const int unseen = ann.expect("2014 Unseen ").split(' ').value(2).chopped(1).toInt();
        const int bag = unseen - int(now["bob"].rack.size());
        const Position& shown = now["ann"];
        bagShown_ = bag;
        const bool moved = !mover.isEmpty() && shown.turn != mover;
        for (const auto& [name, was] : told) {
            const QByteArray who = "for " + name + (mover.isEmpty() ? ", between moves" : ", " + mover + " moving");
            QVERIFY2(holds(shown.board, was.board), who + ": a tile told is not on the board");
            for (const auto& [player, score] : was.scores)
                QVERIFY2(shown.scores.at(player) >= score, who + ": a score went down");
            // Told of the whole move, or of none of it, the game is as told.
            const bool toldOfIt = !mover.isEmpty() && was.turn != mover;
            if (moved && !toldOfIt)
                continue;
            QCOMPARE(shown.board, was.board);
            QCOMPARE(shown.turn, was.turn);
            QCOMPARE(shown.scores, was.scores);
            QCOMPARE(now[name].rack, was.rack);
            if (!moved && name == "ann")
                QCOMPARE(bag, was.bag);
        }
    }

    std::mt19937 random_;
    QByteArray game_;   // the number of the game in play
    int oversSeen_ = 0; // games over that ann had seen when it began
    int bagShown_ = -1; // the bag after the last restart
    std::map<QByteArray, std::unique_ptr<SocketUser>> users_;
};

QTEST_MAIN(RestartTest)
#include "tst_restart.moc"
