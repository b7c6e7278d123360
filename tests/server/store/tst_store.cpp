// The store on SQLite, in a file of a temporary folder and in memory, and on
// a PostgreSQL server of the test's own: what a user would hit (a name taken
// in another case, a wrong account, a restart), and the stores it must refuse
// to open and leave as they are.
#include "PostgresCluster.h"

#include "server/store/SqlStore.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <thread>

using namespace wordmoot::store;

namespace {

const Claim kClaimed{Claim::Outcome::Claimed, {}, {}};
Claim heldBy(const QByteArray& hall) {
    return {Claim::Outcome::Held, hall, {}};
}

FinishedGame gameOf(QByteArray a, int scoreA, QByteArray b, int scoreB) {
    return {0, QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::UTC),
            {{a, scoreA}, {b, scoreB}}, a + " won", "#player1 " + a + ' ' + a + "\n", std::nullopt};
}

// Runs one statement on the file outside the store.
bool tamper(const QString& path, const QString& sql) {
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "tamper");
        db.setDatabaseName(path);
        done = db.open() && QSqlQuery(db).exec(sql);
    }
    QSqlDatabase::removeDatabase("tamper");
    return done;
}

// Started by the first test that needs it, stopped by the last.
std::unique_ptr<PostgresCluster>& running() {
    static std::unique_ptr<PostgresCluster> cluster;
    return cluster;
}

PostgresCluster& cluster() {
    if (!running())
        running() = std::make_unique<PostgresCluster>();
    return *running();
}

void addBackends(std::initializer_list<const char*> backends) {
    QTest::addColumn<QString>("backend");
    for (const char* backend : backends)
        QTest::newRow(backend) << QString(backend);
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir_.isValid()); }
    void cleanupTestCase() { running().reset(); }

    void accountsRatingsAndGames_data() { addBackends({"sqlite", "memory", "postgresql"}); }
    void accountsRatingsAndGames() {
        QFETCH(QString, backend);
        const QString where = address(backend);
        if (where.isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster().failure()));
        QString error;
        auto store = SqlStore::open(where, error);
        QVERIFY2(store, qPrintable(error));

        QVERIFY(store->createAccount("Ann", "hash-1"));
        QVERIFY(!store->createAccount("ANN", "hash-2")); // the name in another case is taken
        QCOMPARE(store->passwordHash("ann"), std::optional<QByteArray>("hash-1"));
        QCOMPARE(store->passwordHash("bob"), std::nullopt);
        QVERIFY(store->setPasswordHash("Ann", "hash-3"));
        QVERIFY(!store->setPasswordHash("bob", "hash-3"));
        QCOMPARE(store->passwordHash("Ann"), std::optional<QByteArray>("hash-3"));

        QVERIFY(store->createAccount("bob", "b"));
        QVERIFY(store->createAccount("cy", "c"));
        // Names come back byte for byte, those beyond ASCII too.
        QVERIFY(store->createAccount("j\xF6rg", "o-umlaut"));
        QVERIFY(store->createAccount("j\xE4rg", "a-umlaut"));
        QCOMPARE(store->passwordHash("j\xE4rg"), std::optional<QByteArray>("a-umlaut"));
        std::vector<QByteArray> names = store->accountNames();
        std::sort(names.begin(), names.end());
        QCOMPARE(names, (std::vector<QByteArray>{"Ann", "bob", "cy", "j\xE4rg", "j\xF6rg"}));
        QVERIFY(store->dropAccount("j\xE4rg") && store->dropAccount("j\xF6rg"));
        store->setRating("ann", {1600, 80, 0.06, 12});
        store->setRating("bob", {1700, 90, 0.06, 3});
        store->setRating("cy", {1600, 50, 0.06, 30});
        store->setRating("ann", {1650, 70, 0.06, 13}); // an update, not a second row
        const std::vector<RatedName> top = store->top(10);
        QCOMPARE(top.size(), std::size_t(3));
        QCOMPARE(top[0].name, QByteArray("bob"));
        QCOMPARE(top[1].name, QByteArray("Ann"));
        QCOMPARE(top[1].rating, (StoredRating{1650, 70, 0.06, 13}));
        QCOMPARE(store->top(1).size(), std::size_t(1));

        std::vector<qint64> ids;
        for (int i = 0; i < 12; ++i)
            ids.push_back(store->addGame(gameOf("Ann", 400 + i, "bob", 350), {}));
        ids.push_back(store->addGame(gameOf("cy", 300, "bob", 320), {}));
        QVERIFY(ids.front() > 0 && ids.back() > ids.front());
        const std::vector<FinishedGame> last = store->history("ANN", 10);
        QCOMPARE(last.size(), std::size_t(10));
        QCOMPARE(last.front().id, ids[11]); // the newest first
        QCOMPARE(last.front().players, (std::vector<GamePlayer>{{"Ann", 411}, {"bob", 350}}));
        QCOMPARE(store->history("bob", 20).size(), std::size_t(13));
        const auto one = store->game(ids.back());
        QVERIFY(one);
        QCOMPARE(one->record, QByteArray("#player1 cy cy\n"));
        QCOMPARE(one->finished, gameOf("cy", 0, "bob", 0).finished);
        QCOMPARE(store->game(ids.back() + 100), std::nullopt);

        QVERIFY(store->dropAccount("ann"));
        QVERIFY(!store->dropAccount("ann"));
        QCOMPARE(store->passwordHash("Ann"), std::nullopt);
        QCOMPARE(store->rating("Ann"), std::nullopt);
        QCOMPARE(store->history("Ann", 10).size(), std::size_t(10)); // the games stay
    }

    // Closed and opened again, the store holds what it held.
    void aRestartKeepsEverything_data() { addBackends({"sqlite", "postgresql"}); }
    void aRestartKeepsEverything() {
        QFETCH(QString, backend);
        const QString path = address(backend);
        if (path.isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster().failure()));
        QString error;
        qint64 id = 0;
        {
            auto store = SqlStore::open(path, error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY(store->createAccount("ann", "h"));
            store->setRating("ann", {1512.5, 120, 0.059, 4});
            id = store->addGame(gameOf("ann", 1, "bob", 0), {});
        }
        auto store = SqlStore::open(path, error);
        QVERIFY2(store, qPrintable(error));
        QCOMPARE(store->passwordHash("ann"), std::optional<QByteArray>("h"));
        QCOMPARE(store->rating("ann"), std::optional(StoredRating{1512.5, 120, 0.059, 4}));
        QVERIFY(store->game(id));
    }

    // What is not a store of this program, or is of a newer one, is refused
    // with a reason and left byte for byte as it was.
    void refusedFilesAreLeftAlone_data() {
        QTest::addColumn<QString>("make"); // how the file is made
        QTest::addColumn<QString>("why");
        QTest::newRow("not a database") << "text" << "not a database";
        QTest::newRow("another program's database") << "other" << "something else";
        QTest::newRow("a newer schema") << "newer" << "newer than this program";
    }
    void refusedFilesAreLeftAlone() {
        QFETCH(QString, make);
        QFETCH(QString, why);
        const QString path = dir_.filePath(make + ".db");
        QString error;
        if (make == "text") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("these are not the tables you are looking for\n").repeated(100));
        } else if (make == "other") {
            QVERIFY(tamper(path, "CREATE TABLE notes (text TEXT)"));
        } else {
            QVERIFY(SqlStore::open(path, error));
            QVERIFY(tamper(path, "UPDATE meta SET value = '99' WHERE key = 'schema'"));
            QVERIFY(tamper(path, "PRAGMA journal_mode = DELETE")); // as an older tool may leave it
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(!SqlStore::open(path, error));
        QVERIFY2(error.contains(why), qPrintable(error));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // On PostgreSQL too, a database of another program or of a newer
    // schema is refused and left alone.
    void refusedDatabasesAreLeftAlone_data() {
        QTest::addColumn<QString>("make");
        QTest::addColumn<QString>("why");
        QTest::newRow("another program's database") << "other" << "something else";
        QTest::newRow("a newer schema") << "newer" << "newer than this program";
    }
    void refusedDatabasesAreLeftAlone() {
        QFETCH(QString, make);
        QFETCH(QString, why);
        const QString where = address("postgresql");
        if (where.isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster().failure()));
        QString error;
        if (make == "other") {
            QVERIFY(cluster().sql(where, "CREATE TABLE notes (text TEXT)"));
        } else {
            QVERIFY2(SqlStore::open(where, error), qPrintable(error));
            QVERIFY(cluster().sql(where, "UPDATE meta SET value = '99' WHERE key = 'schema'"));
        }
        QVERIFY(!SqlStore::open(where, error));
        QVERIFY2(error.contains(why), qPrintable(error));
        QVERIFY(cluster().sql(where, make == "other" ? "SELECT text FROM notes"
                                                     : "SELECT 1 FROM meta WHERE value = '99'"));
    }

    // A store made by the program before halls came is upgraded in place as
    // it opens, and keeps what it held.
    void anOlderSchemaIsUpgraded_data() { addBackends({"sqlite", "postgresql"}); }
    void anOlderSchemaIsUpgraded() {
        QFETCH(QString, backend);
        const QString where = address(backend);
        if (where.isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster().failure()));
        const QString id = backend == "postgresql"
                               ? "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY"
                               : "INTEGER PRIMARY KEY";
        const QStringList schemaOne = {
            "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
            "CREATE TABLE accounts (folded TEXT PRIMARY KEY, name TEXT NOT NULL, "
            "password_hash TEXT NOT NULL, created TEXT NOT NULL)",
            "CREATE TABLE ratings (folded TEXT PRIMARY KEY, rating DOUBLE PRECISION NOT NULL, "
            "deviation DOUBLE PRECISION NOT NULL, volatility DOUBLE PRECISION NOT NULL, "
            "games INTEGER NOT NULL)",
            "CREATE TABLE games (id " + id +
                ", finished TEXT NOT NULL, result TEXT NOT NULL, record TEXT NOT NULL)",
            "CREATE TABLE game_players (game_id BIGINT NOT NULL REFERENCES games (id), "
            "seat INTEGER NOT NULL, name TEXT NOT NULL, folded TEXT NOT NULL, "
            "score INTEGER NOT NULL, PRIMARY KEY (game_id, seat))",
            "CREATE INDEX game_players_by_name ON game_players (folded, game_id)",
            "INSERT INTO meta VALUES ('schema', '1')",
            "INSERT INTO accounts VALUES ('ann', 'Ann', 'old-hash', '2026-01-01T00:00:00Z')",
            "INSERT INTO ratings VALUES ('ann', 1720.5, 60, 0.06, 31)",
        };
        for (const QString& sql : schemaOne)
            QVERIFY(backend == "postgresql" ? cluster().sql(where, sql) : tamper(where, sql));
        QString error;
        auto store = SqlStore::open(where, error);
        QVERIFY2(store, qPrintable(error));
        QCOMPARE(store->passwordHash("ann"), std::optional<QByteArray>("old-hash"));
        QCOMPARE(store->rating("ANN"), std::optional(StoredRating{1720.5, 60, 0.06, 31}));
        QCOMPARE(store->claim("ann", "east", 0), kClaimed); // the new tables are there
        QVERIFY(store->beginLive({"east", 1}, {"begin 1 none"}));
        store.reset();
        QVERIFY(SqlStore::open(where, error)); // and it opens again as it is
    }

    // A game in play's journal, line by line across a restart, per hall; a
    // new game of the number begins a new one, and a game kept, or ended
    // unkept, takes its journal with it.
    void journalsOfGamesInPlay_data() { addBackends({"sqlite", "postgresql"}); }
    void journalsOfGamesInPlay() {
        QFETCH(QString, backend);
        const QString path = address(backend);
        if (path.isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster().failure()));
        const LiveKey one{"main", 1}, two{"main", 2}, east{"east", 1};
        QString error;
        {
            auto store = SqlStore::open(path, error);
            QVERIFY2(store, qPrintable(error));
            QVERIFY(store->beginLive(two, {"begin 2 none", "seat 0 ann person - 0"}));
            QVERIFY(store->beginLive(one, {"begin 1 none"}));
            QVERIFY(store->addLive(one, 1, {"pass 0", "pass 1"}));
            QVERIFY(store->addLive(one, 3, {"rename 0 o'n\xE9il"}));
            QVERIFY(!store->addLive(one, 3, {"pass 0"})); // a line is written once
            QVERIFY(store->beginLive(east, {"begin 9 list"}));
        }
        auto store = SqlStore::open(path, error);
        QVERIFY2(store, qPrintable(error));
        const auto games = store->liveGames("main");
        QCOMPARE(games.size(), std::size_t(2));
        QCOMPARE(games[0].number, 1);
        QCOMPARE(games[0].lines, (std::vector<QByteArray>{"begin 1 none", "pass 0", "pass 1",
                                                          "rename 0 o'n\xE9il"}));
        QCOMPARE(games[1].lines.size(), std::size_t(2));
        QVERIFY(store->beginLive(two, {"begin 3 vote"}));
        QCOMPARE(store->liveGames("main")[1].lines, std::vector<QByteArray>{"begin 3 vote"});
        FinishedGame finished = gameOf("ann", 10, "bob", 5);
        finished.journal = one;
        QVERIFY(store->addGame(finished, {}) > 0);
        store->endLive(two);
        QVERIFY(store->liveGames("main").empty());
        QCOMPARE(store->liveGames("east").size(), std::size_t(1));
    }

    // Two halls on one store: a name is held by one hall at a time, until
    // that hall lets it go or is no longer heard of.
    void aNameIsHeldByOneHall_data() { addBackends({"sqlite", "postgresql"}); }
    void aNameIsHeldByOneHall() {
        QFETCH(QString, backend);
        const QString where = address(backend);
        if (where.isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster().failure()));
        QString error;
        auto east = SqlStore::open(where, error);
        auto west = SqlStore::open(where, error);
        QVERIFY2(east && west, qPrintable(error));
        const qint64 now = 1'000'000;
        east->beat({"east", "e:1", 3, 1, now});
        west->beat({"west", "w:2", 0, 0, now});
        QCOMPARE(west->halls(now - 15).size(), std::size_t(2));
        QCOMPARE(east->claim("Ann", "east", now - 15), kClaimed);
        QCOMPARE(east->claim("ann", "east", now - 15), kClaimed); // again: still its own
        QCOMPARE(west->claim("ANN", "west", now - 15), heldBy("east"));
        QCOMPARE(west->holder("ann", now - 15), std::optional<QByteArray>("east"));
        east->release("ann", "west"); // another hall's release lets nothing go
        QCOMPARE(west->claim("ann", "west", now - 15), heldBy("east"));
        // East falls silent: once it is not heard of, the name is free.
        QCOMPARE(west->claim("ann", "west", now + 1), kClaimed);
        QCOMPARE(west->halls(now + 1).size(), std::size_t(0));
        east->release("ann", "west");
        QCOMPARE(east->holder("ann", now - 15), std::nullopt);
        QCOMPARE(east->claim("bob", "east", now - 15), kClaimed);
        east->closeHall("east");
        QCOMPARE(west->claim("bob", "west", now - 15), kClaimed);
        QCOMPARE(west->halls(now - 15), (std::vector<Hall>{{"west", "w:2", 0, 0, now}}));
    }

    // Two servers starting at once on a new store: one makes the schema, the
    // others wait and find it made.
    void twoServersOpenANewStoreAtOnce_data() { addBackends({"sqlite", "postgresql"}); }
    void twoServersOpenANewStoreAtOnce() {
        QFETCH(QString, backend);
        const QString where = address(backend);
        if (where.isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster().failure()));
        QString errors[4];
        std::vector<std::thread> servers;
        for (QString& error : errors)
            servers.emplace_back([&where, &error] {
                if (SqlStore::open(where, error))
                    error = "opened";
            });
        for (std::thread& server : servers)
            server.join();
        for (const QString& error : errors)
            QCOMPARE(error, QString("opened"));
    }

    // A game and the ratings it brought are kept together.
    void aGameKeepsItsRatings() {
        QString error;
        auto store = SqlStore::open("none", error);
        QVERIFY2(store, qPrintable(error));
        const StoredRating after{1662.3, 290.3, 0.06, 1};
        const qint64 id = store->addGame(gameOf("ann", 2, "bob", 1), {{"ann", after}});
        QVERIFY(id > 0);
        QCOMPARE(store->rating("ann"), std::optional(after));
        QCOMPARE(store->history("bob", 10).front().result, QByteArray("ann won"));
    }

private:
    // A new, empty store of the backend; empty when PostgreSQL is not there.
    QString address(const QString& backend) {
        if (backend == "memory")
            return "none";
        if (backend == "sqlite")
            return dir_.filePath(QString("store%1.db").arg(++stores_));
        return cluster().failure().isEmpty() ? cluster().newDatabase() : QString();
    }

    QTemporaryDir dir_;
    int stores_ = 0;
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
