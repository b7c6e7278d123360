// The store failing under a running server, for real: a SQLite write lock
// held by another connection, a full small filesystem, a PostgreSQL server
// stopped and started again. Only the game waits, its players are told why,
// it goes on by itself, and after a restart it is what they were last told.
// And one hall, one server.
#include "ServerFixture.h"
#include "PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <map>

using namespace wordmoot;
using wordmoot::server::ServerOptions;

namespace {

const QByteArray kAnnsAddress = "10.0.0.1";

ServerOptions storedIn(const QString& store) {
    ServerOptions options;
    options.store = store;
    options.judging = Judging::None; // a play stands at once
    options.seatGraceSeconds = 600;  // a player is back in the seat after a restart
    return options;
}

int count(const ScriptedUser& u, const char* prefix) {
    return int(std::count_if(u.lines.begin(), u.lines.end(),
                             [prefix](const QByteArray& l) { return l.startsWith(prefix); }));
}

// What the user was last told of the game: each row, each player's score
// and whose turn it is.
struct Position {
    std::map<QByteArray, QByteArray> rows;
    std::map<QByteArray, QByteArray> scores;
    QByteArray turn;
    bool operator==(const Position&) const = default;
};

Position position(const ScriptedUser& u) {
    Position p;
    for (const QByteArray& line : u.lines) {
        const QByteArrayList w = line.split(' ');
        if (line.startsWith("2012 "))
            p.rows[w.value(1)] = w.value(2);
        else if (line.startsWith("2008 "))
            p.scores[w.value(1)] = w.value(3);
        else if (line.startsWith("2002 "))
            p.turn = line;
    }
    return p;
}

char *toString(const Position& p) {
    QByteArray text = p.turn;
    for (const auto& [name, score] : p.scores)
        text += ' ' + name + '=' + score;
    for (const auto& [row, cells] : p.rows)
        text += ' ' + row + ':' + cells;
    return qstrdup(text.constData());
}

// ann and bob at game 1 on the store, cy in the lobby.
struct Table {
    explicit Table(const QString& store)
        : fixture(storedIn(store)) {
        fixture.waitMs = 20000; // a try waits out SQLite's busy timeout of 5 s
        ann = fixture.logOn("ann");
        bob = fixture.logOn("bob");
        cy = fixture.logOn("cy");
        setAddress(*ann, kAnnsAddress); // where she comes back from
        fixture.startTwoPlayerGame(*ann, *bob);
    }
    // The player on turn lays one tile at the end of the word across the
    // centre (two for the first play); with `told`, until the others hear it.
    void move(bool told = true) {
        ScriptedUser& mover = onTurn(*ann, *bob);
        const QByteArray rack = lastLine(mover, "2013 ").mid(5);
        QByteArray play = "PLAY " + QByteArray::number(column++) + ",7," + rack[0] + ' ';
        if (column == 8)
            play += QByteArray::number(column++) + ",7," + rack[1] + ' ';
        turns = count(*ann, "2002 ");
        mover.send(play);
        if (told)
            QVERIFY(QTest::qWaitFor([this] { return count(*ann, "2002 ") > turns; }, 20000));
    }
    bool toldSince() const { return count(*ann, "2002 ") > turns; }

    ServerFixture fixture;
    std::unique_ptr<ScriptedUser> ann, bob, cy;
    int column = 7;
    int turns = 0;
};

// The position ann is told on coming back to game 1 after a restart.
Position afterRestart(const QString& store) {
    ServerFixture again(storedIn(store));
    auto ann = again.arrive();
    setAddress(*ann, kAnnsAddress);
    ann->send("NAME ann");
    ann->expect("2014 ann has arrived");
    ann->send("JOIN 1");
    ann->expect("2021");
    ann->expect("2002 ");
    return position(*ann);
}

// While the game waits, its players hear why, the move is not told, and the
// lobby goes on: cy's chat comes back.
void checkWaiting(Table& t, const Position& before) {
    QVERIFY(t.ann->expect("2014 Game 1 waits for the store (").endsWith("goes on by itself"));
    QVERIFY(t.bob->expect("2014 Game 1 waits for the store (").size() > 0);
    t.cy->send("SAY still here");
    QCOMPARE(t.cy->expect("2009 "), QByteArray("2009 cy still here"));
    QVERIFY(!t.toldSince());
    QCOMPARE(position(*t.ann), before);
}

void checkResumed(Table& t) {
    QCOMPARE(t.ann->expect("2014 The store keeps"),
             QByteArray("2014 The store keeps game 1 again: it goes on"));
    QVERIFY(QTest::qWaitFor([&t] { return t.toldSince(); }, 20000));
}

} // namespace

class StoreFaultsTest : public QObject {
    Q_OBJECT
private slots:
    // Another program holds SQLite's write lock: each try waits out the
    // busy timeout and fails, and is tried again until the lock goes.
    void aSqliteWriteLockHoldsOneGameOnly() {
        QTemporaryDir dir;
        const QString file = dir.filePath("store.sqlite");
        Position told;
        {
            Table t(file);
            t.move();
            t.move();
            const Position before = position(*t.ann);
            {
                QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
                locker.setDatabaseName(file);
                QVERIFY(locker.open());
                QSqlQuery lock(locker);
                QVERIFY(lock.exec("BEGIN IMMEDIATE"));
                t.move(false);
                checkWaiting(t, before);
                QVERIFY(lock.exec("ROLLBACK"));
            }
            QSqlDatabase::removeDatabase("locker");
            checkResumed(t);
            t.move();
            told = position(*t.ann);
        }
        QCOMPARE(afterRestart(file), told);
    }

    // A SQLite store on a small filesystem that fills up: every write fails
    // until room is made, and none is lost.
    void aFullDiskLosesNothing() {
        QTemporaryDir dir;
        const QString disk = dir.filePath("disk");
        QDir().mkpath(disk);
        QProcess mount;
        mount.start("mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", disk});
        if (!mount.waitForFinished() || mount.exitCode() != 0)
            QSKIP("no small filesystem can be mounted here (mount needs root): " +
                  mount.readAllStandardError().trimmed());
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk}); });
        const QString file = disk + "/store.sqlite";
        Position told;
        {
            Table t(file);
            t.move();
            const Position before = position(*t.ann);
            QFile filler(disk + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size()) {
            }
            t.move(false);
            checkWaiting(t, before);
            QVERIFY(filler.remove());
            checkResumed(t);
            t.move();
            told = position(*t.ann);
        }
        QCOMPARE(afterRestart(file), told);
    }

    // PostgreSQL stopped at once under the running server, and started
    // again: the server opens its connection again and goes on.
    void aPostgresRestartLosesNothing() {
        PostgresCluster cluster;
        if (!cluster.failure().isEmpty())
            QSKIP(qPrintable("no PostgreSQL server: " + cluster.failure()));
        const QString store = cluster.newDatabase();
        QVERIFY(!store.isEmpty());
        Position told;
        {
            Table t(store);
            t.move();
            const Position before = position(*t.ann);
            QVERIFY(cluster.stop());
            t.move(false);
            checkWaiting(t, before);
            t.cy->send("TOP"); // never an empty list, as if nobody were rated
            QCOMPARE(t.cy->expect("2014 The store"),
                     QByteArray("2014 The store cannot be reached now: try again later"));
            QVERIFY(cluster.start());
            checkResumed(t);
            t.move();
            told = position(*t.ann);
            QString error; // the new session holds the hall again
            QVERIFY(!server::Lobby::open(storedIn(store), error));
            QVERIFY2(error.startsWith("the hall main is in use"), qPrintable(error));
        }
        QCOMPARE(afterRestart(store), told);
    }

    // A journal with a gap (as an older server could leave one) comes back
    // as far as the gap, and what follows it is dropped, so that the game
    // journals on from there and comes back the same again.
    void aJournalWithAGapComesBackToItsGap() {
        QTemporaryDir dir;
        const QString file = dir.filePath("store.sqlite");
        Position beforeGap;
        {
            Table t(file);
            t.move();
            beforeGap = position(*t.ann);
            t.move();
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "damage");
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec("UPDATE live_lines SET seq = seq + 5 WHERE seq = "
                               "(SELECT max(seq) FROM live_lines)"));
        }
        QSqlDatabase::removeDatabase("damage");
        QCOMPARE(afterRestart(file), beforeGap);
        QCOMPARE(afterRestart(file), beforeGap);
    }

    // With SQLite's write lock held elsewhere, accounts say the store failed:
    // a new name is not "registered already", a proved one is not "in
    // another hall", and nobody is renamed for it.
    void accountsSayTheStoreFailed() {
        QTemporaryDir dir;
        const QString file = dir.filePath("store.sqlite");
        ServerOptions options = storedIn(file);
        options.identifySeconds = 60;
        ServerFixture fixture(options);
        fixture.waitMs = 60000; // a hash, then SQLite's busy timeout
        auto ann = fixture.logOn("ann");
        ann->send("REGISTER ann-password");
        ann->expect("2014 ann is registered to you");
        ann->vanish();
        ann = fixture.logOn("ann");
        ann->expect("2014 ann is registered: IDENTIFY");
        auto cy = fixture.logOn("cy");

        QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
        const auto unlock = qScopeGuard([&locker] {
            locker.close();
            locker = {};
            QSqlDatabase::removeDatabase("locker");
        });
        locker.setDatabaseName(file);
        QVERIFY(locker.open());
        QSqlQuery lock(locker);
        QVERIFY(lock.exec("BEGIN IMMEDIATE"));
        const QByteArray failed = "2014 The accounts cannot be reached now: try again later";
        cy->send("REGISTER cy-password");
        QCOMPARE(cy->expect("2014 The accounts"), failed);
        ann->send("IDENTIFY ann-password");
        QCOMPARE(ann->expect("2014 The accounts"), failed);
        QVERIFY(lock.exec("ROLLBACK"));
        ann->send("IDENTIFY ann-password");
        QCOMPARE(ann->expect("2014 You are"), QByteArray("2014 You are identified as ann"));
        QVERIFY(!ann->lines.join('\n').contains("Guest"));
    }

    // A second server on a hall another holds does not start, and says
    // which and how to choose another; on a hall of its own it does.
    void oneHallOneServer() {
        PostgresCluster cluster;
        QTemporaryDir dir;
        QStringList stores = {dir.filePath("store.sqlite")};
        if (cluster.failure().isEmpty())
            stores.append(cluster.newDatabase());
        for (const QString& store : stores) {
            ServerOptions options = storedIn(store);
            QString error;
            auto first = server::Lobby::open(options, error);
            QVERIFY2(first, qPrintable(error));
            QVERIFY(!server::Lobby::open(options, error));
            QVERIFY2(error.startsWith("the hall main is in use: another server on this store "
                                      "holds it"),
                     qPrintable(error));
            QVERIFY(error.endsWith("Start this server with --hall NAME, a hall of its own"));
            options.hall = "east";
            QVERIFY(server::Lobby::open(options, error));
            first.reset(); // its hall is free once it has gone
            options.hall = "main";
            QVERIFY2(server::Lobby::open(options, error), qPrintable(error));
        }
    }
};

QTEST_GUILESS_MAIN(StoreFaultsTest)
#include "tst_storefaults.moc"
