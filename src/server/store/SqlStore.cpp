#include "server/store/SqlStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>

#include <atomic>
#include <utility>

namespace wordmoot::store {

namespace {

std::atomic<int> connections = 0;

// What went wrong, on one line: the database's words where it has some.
QString why(const QSqlError& error) {
    const QString said = error.databaseText().simplified();
    return said.isEmpty() ? error.driverText().simplified() : said;
}

// Bytes as a text value, a character a byte as on the wire, so that every
// name and line comes back byte for byte: empty, never NULL, which a NOT
// NULL column refuses.
QString text(const QByteArray& bytes) {
    return bytes.isEmpty() ? QString("") : QString::fromLatin1(bytes);
}

// A text value as the bytes it was stored from.
QByteArray bytes(const QVariant& value) {
    return value.toString().toLatin1();
}

// A name is a name in any case, folded as the lobby folds it.
QString folded(const QByteArray& name) {
    return text(name.toLower());
}

// The statements that take a store from the schema before `to` to `to`; the
// first makes the tables of a new store. An identity column is the one thing
// the two dialects write differently.
QStringList schemaStep(int to, bool postgres) {
    const QString id = postgres ? "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY"
                                : "INTEGER PRIMARY KEY";
    switch (to) {
    case 1:
        return {
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
        };
    case 2: // halls, and the names identified in each
        return {
            "CREATE TABLE halls (name TEXT PRIMARY KEY, address TEXT NOT NULL, "
            "players INTEGER NOT NULL, games INTEGER NOT NULL, seen BIGINT NOT NULL)",
            "CREATE TABLE presence (folded TEXT PRIMARY KEY, hall TEXT NOT NULL)",
            "CREATE INDEX presence_by_hall ON presence (hall)",
        };
    case 3: // the journals of the games in play, a line a row
        return {
            "CREATE TABLE live_lines (hall TEXT NOT NULL, number INTEGER NOT NULL, "
            "seq INTEGER NOT NULL, line TEXT NOT NULL, PRIMARY KEY (hall, number, seq))",
        };
    default:
        return {};
    }
}

// Runs the statement with its values in order; false when it fails. One
// without values is not prepared: PostgreSQL prepares no CREATE.
bool run(QSqlQuery& query, const QString& sql, const QVariantList& values = {}) {
    if (values.isEmpty())
        return query.exec(sql);
    if (!query.prepare(sql))
        return false;
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec();
}

// How long a PostgreSQL server may take to let the store in, and a
// statement to run (waiting on a lock another holds, say); a SQLite store
// waits as long for another's write lock.
constexpr int kConnectSeconds = 5;
constexpr int kStatementMs = 5000;

} // namespace

SqlStore::SqlStore(QString connection)
    : connection_(std::move(connection)) {}

SqlStore::~SqlStore() {
    { QSqlDatabase::database(connection_, false).close(); }
    QSqlDatabase::removeDatabase(connection_);
}

std::unique_ptr<SqlStore> SqlStore::open(const QString& where, QString& error) {
    const QString name = "wordmoot-store-" + QString::number(++connections);
    const QUrl url(where);
    const bool postgres = url.scheme() == "postgresql" || url.scheme() == "postgres";
    // The store goes after its connection's handle, when it is not opened.
    std::unique_ptr<SqlStore> store(new SqlStore(name));
    QSqlDatabase db = QSqlDatabase::addDatabase(postgres ? "QPSQL" : "QSQLITE", name);
    if (!db.isValid()) {
        error = QString("the %1 driver of Qt SQL is not installed")
                    .arg(postgres ? "PostgreSQL" : "SQLite");
        return nullptr;
    }
    if (postgres && !url.password().isEmpty()) {
        error = "a password in the address would show in the process list: "
                "give it in PGPASSWORD or in the file PGPASSFILE names";
        return nullptr;
    }
    if (postgres) {
        // A Unix socket's folder comes as ?host=/path, as libpq writes it.
        const QString socketFolder = QUrlQuery(url).queryItemValue("host", QUrl::FullyDecoded);
        db.setHostName(socketFolder.isEmpty() ? url.host() : socketFolder);
        if (url.port() > 0)
            db.setPort(url.port());
        db.setUserName(url.userName());
        db.setDatabaseName(url.path().mid(1));
        // Time limits: a server that cannot be reached, or a statement
        // that waits on a lock, fails and is tried again.
        db.setConnectOptions(QString("connect_timeout=%1;options=-cstatement_timeout=%2")
                                 .arg(kConnectSeconds)
                                 .arg(kStatementMs));
    } else if (where == "none") {
        db.setDatabaseName(":memory:");
    } else {
        if (QFileInfo(where).isDir()) {
            error = where + " is a folder";
            return nullptr;
        }
        QDir().mkpath(QFileInfo(where).absolutePath()); // the user's data folder may be new
        db.setDatabaseName(where);
        store->file_ = QFileInfo(where).absoluteFilePath();
        db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(kStatementMs));
    }
    if (!db.open()) {
        error = why(db.lastError());
        return nullptr;
    }
    if (!store->prepare(error))
        return nullptr;
    return store;
}

namespace {

// The store's schema version: 0 for a database without tables, nullopt for
// one that is no store of ours (with why).
std::optional<int> schemaOf(QSqlDatabase& db, QString& error) {
    QSqlQuery query(db);
    const QStringList tables = db.tables();
    if (tables.isEmpty())
        return 0;
    if (!tables.contains("meta")) {
        error = "a database of something else: it has tables but no Wordmoot schema";
        return std::nullopt;
    }
    if (!run(query, "SELECT value FROM meta WHERE key = 'schema'") || !query.next()) {
        error = "the store names no schema version";
        return std::nullopt;
    }
    return query.value(0).toInt();
}

} // namespace

// Makes the tables of a new store, or upgrades an older one.
bool SqlStore::prepare(QString& error) {
    QSqlDatabase db = QSqlDatabase::database(connection_);
    const bool postgres = db.driverName() == "QPSQL";
    QSqlQuery query(db);
    // Reading first: nothing is written to a file until it is known to be a
    // store of ours, or empty, and of a schema this program knows.
    if (!postgres && !run(query, "SELECT count(*) FROM sqlite_master")) {
        error = "not a database: " + why(query.lastError());
        return false;
    }
    query.finish();
    const std::optional<int> version = schemaOf(db, error);
    if (!version)
        return false;
    if (*version > kSchemaVersion) {
        error = QString("the store is of schema %1, newer than this program's %2")
                    .arg(*version)
                    .arg(kSchemaVersion);
        return false;
    }
    if (!postgres &&
        (!run(query, "PRAGMA journal_mode = WAL") || !run(query, "PRAGMA foreign_keys = ON"))) {
        error = why(query.lastError());
        return false;
    }
    return *version == kSchemaVersion || upgrade(error);
}

// A new store (schema 0) or an older one is taken step by step to this
// program's schema, all in one transaction: a step that fails leaves the
// store as it was. Two servers starting at once on one store take turns: the
// second finds the work done.
bool SqlStore::upgrade(QString& error) {
    QSqlDatabase db = QSqlDatabase::database(connection_);
    const bool postgres = db.driverName() == "QPSQL";
    QSqlQuery query(db);
    const auto fail = [&](const QString& what) {
        error = what;
        run(query, "ROLLBACK");
        return false;
    };
    if (!run(query, postgres ? "BEGIN" : "BEGIN IMMEDIATE") ||
        (postgres && !run(query, "SELECT pg_advisory_xact_lock(7096)")))
        return fail("cannot lock the store to upgrade it: " + why(query.lastError()));
    query.finish();
    const std::optional<int> from = schemaOf(db, error);
    if (!from || *from > kSchemaVersion)
        return fail(from ? "the store was made newer while it opened" : error);
    for (int to = *from + 1; to <= kSchemaVersion; ++to)
        for (const QString& sql : schemaStep(to, postgres))
            if (!run(query, sql))
                return fail(QString("cannot upgrade the store to schema %1: %2")
                                .arg(to)
                                .arg(why(query.lastError())));
    if (!run(query,
             "INSERT INTO meta (key, value) VALUES ('schema', ?) "
             "ON CONFLICT (key) DO UPDATE SET value = excluded.value",
             {QString::number(kSchemaVersion)}) ||
        !run(query, "COMMIT"))
        return fail(why(query.lastError()));
    return true;
}

bool SqlStore::reachable() {
    QSqlQuery query(QSqlDatabase::database(connection_));
    return run(query, "SELECT 1");
}

std::optional<QByteArray> SqlStore::passwordHash(const QByteArray& name) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query, "SELECT password_hash FROM accounts WHERE folded = ?", {folded(name)}) ||
        !query.next())
        return std::nullopt;
    return bytes(query.value(0));
}

bool SqlStore::createAccount(const QByteArray& name, const QByteArray& hash) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    return run(query,
               "INSERT INTO accounts (folded, name, password_hash, created) VALUES (?, ?, ?, ?)",
               {folded(name), text(name), text(hash),
                QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}) ||
           failed(query.lastError());
}

std::vector<QByteArray> SqlStore::accountNames() {
    QSqlQuery query(QSqlDatabase::database(connection_));
    std::vector<QByteArray> names;
    if (run(query, "SELECT name FROM accounts"))
        while (query.next())
            names.push_back(bytes(query.value(0)));
    return names;
}

bool SqlStore::setPasswordHash(const QByteArray& name, const QByteArray& hash) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query, "UPDATE accounts SET password_hash = ? WHERE folded = ?",
             {text(hash), folded(name)}))
        return failed(query.lastError());
    return query.numRowsAffected() == 1;
}

bool SqlStore::dropAccount(const QByteArray& name) {
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery query(db);
    db.transaction();
    const bool dropped = run(query, "DELETE FROM accounts WHERE folded = ?", {folded(name)}) &&
                         query.numRowsAffected() == 1 &&
                         run(query, "DELETE FROM ratings WHERE folded = ?", {folded(name)});
    return dropped ? db.commit() : (db.rollback(), false);
}

std::optional<StoredRating> SqlStore::rating(const QByteArray& name) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query,
             "SELECT rating, deviation, volatility, games FROM ratings WHERE folded = ?",
             {folded(name)}) ||
        !query.next())
        return std::nullopt;
    return StoredRating{query.value(0).toDouble(), query.value(1).toDouble(),
                        query.value(2).toDouble(), query.value(3).toInt()};
}

namespace {
bool dropJournal(QSqlQuery& query, const LiveKey& key) {
    return run(query, "DELETE FROM live_lines WHERE hall = ? AND number = ?",
               {text(key.hall), key.number});
}

bool writeRating(QSqlQuery& query, const QByteArray& name, const StoredRating& r) {
    return run(query,
               "INSERT INTO ratings (folded, rating, deviation, volatility, games) "
               "VALUES (?, ?, ?, ?, ?) ON CONFLICT (folded) DO UPDATE SET rating = excluded.rating, "
               "deviation = excluded.deviation, volatility = excluded.volatility, "
               "games = excluded.games",
               {folded(name), r.rating, r.deviation, r.volatility, r.games});
}
} // namespace

void SqlStore::setRating(const QByteArray& name, const StoredRating& r) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    writeRating(query, name, r);
}

std::vector<RatedName> SqlStore::top(int count) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    std::vector<RatedName> best;
    if (!run(query,
             "SELECT a.name, r.rating, r.deviation, r.volatility, r.games FROM ratings r "
             "JOIN accounts a ON a.folded = r.folded ORDER BY r.rating DESC, r.games DESC, "
             "a.folded LIMIT ?",
             {count}))
        return best;
    while (query.next())
        best.push_back({bytes(query.value(0)),
                        {query.value(1).toDouble(), query.value(2).toDouble(),
                         query.value(3).toDouble(), query.value(4).toInt()}});
    return best;
}

qint64 SqlStore::addGame(const FinishedGame& game, const std::vector<RatedName>& rated) {
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery query(db);
    const auto undo = [&] {
        const QSqlError error = query.lastError();
        db.rollback();
        failed(error);
        return 0;
    };
    if (!db.transaction())
        return failed(db.lastError());
    if (!run(query, "INSERT INTO games (finished, result, record) VALUES (?, ?, ?) RETURNING id",
             {game.finished.toUTC().toString(Qt::ISODate), text(game.result), text(game.record)}) ||
        !query.next())
        return undo();
    const qint64 id = query.value(0).toLongLong();
    query.finish();
    for (std::size_t seat = 0; seat < game.players.size(); ++seat) {
        const GamePlayer& p = game.players[seat];
        if (!run(query,
                 "INSERT INTO game_players (game_id, seat, name, folded, score) "
                 "VALUES (?, ?, ?, ?, ?)",
                 {id, int(seat), text(p.name), folded(p.name), p.score}))
            return undo();
    }
    for (const RatedName& r : rated)
        if (!writeRating(query, r.name, r.rating))
            return undo();
    if (game.journal && !dropJournal(query, *game.journal))
        return undo();
    return db.commit() ? id : failed(db.lastError());
}

std::vector<FinishedGame> SqlStore::history(const QByteArray& name, int count) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    std::vector<FinishedGame> games;
    if (!run(query,
             "SELECT game_id FROM game_players WHERE folded = ? ORDER BY game_id DESC LIMIT ?",
             {folded(name), count}))
        return games;
    std::vector<qint64> ids;
    while (query.next())
        ids.push_back(query.value(0).toLongLong());
    for (const qint64 id : ids)
        if (auto found = game(id))
            games.push_back(std::move(*found));
    return games;
}

std::optional<FinishedGame> SqlStore::game(qint64 id) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query, "SELECT finished, result, record FROM games WHERE id = ?", {id}) ||
        !query.next())
        return std::nullopt;
    FinishedGame game{id,
                      QDateTime::fromString(query.value(0).toString(), Qt::ISODate),
                      {},
                      bytes(query.value(1)),
                      bytes(query.value(2)),
                      std::nullopt};
    if (!run(query, "SELECT name, score FROM game_players WHERE game_id = ? ORDER BY seat", {id}))
        return std::nullopt;
    while (query.next())
        game.players.push_back({bytes(query.value(0)), query.value(1).toInt()});
    return game;
}

// A PostgreSQL store holds the hall with an advisory lock of its session,
// which the server's end or crash lets go; a SQLite store with a lock file
// beside its file, which a crashed process leaves stale and the next takes.
QString SqlStore::holdHall(const QByteArray& hall) {
    if (!hall_.isEmpty())
        return hall_ == hall ? QString() : "this store holds the hall " + QString::fromUtf8(hall_);
    QSqlDatabase db = QSqlDatabase::database(connection_);
    if (db.driverName() == "QPSQL") {
        if (const QString lost = lockHall(hall); !lost.isEmpty())
            return lost;
    } else if (!file_.isEmpty()) {
        const QString name = file_ + ".hall-" +
                             QString::fromLatin1(hall.toPercentEncoding("-_.")) + ".lock";
        auto lock = std::make_unique<QLockFile>(name);
        lock->setStaleLockTime(0); // stale only when its process is gone
        if (!lock->tryLock(0)) {
            qint64 pid = 0;
            QString host, program;
            lock->getLockInfo(&pid, &host, &program);
            return lock->error() == QLockFile::LockFailedError
                       ? QString("another server on this store holds it (process %1 on %2)")
                             .arg(pid)
                             .arg(host)
                       : "cannot make its lock file " + name;
        }
        hallLock_ = std::move(lock);
    }
    hall_ = hall;
    return {};
}

// The advisory lock, taken by this session, which is noted: a session
// opened again (PostgreSQL restarted) has lost it.
QString SqlStore::lockHall(const QByteArray& hall) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query, "SELECT pg_try_advisory_lock(7096, hashtext(?)), pg_backend_pid()",
             {text(hall)}) ||
        !query.next())
        return "cannot lock the hall: " + why(query.lastError());
    if (!query.value(0).toBool())
        return "another server on this store holds it";
    hallSession_ = query.value(1).toLongLong();
    return {};
}

bool SqlStore::holdsHall() {
    if (hall_.isEmpty() || !hallSession_)
        return true;
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query, "SELECT pg_backend_pid()") || !query.next())
        return failed(query.lastError());
    if (query.value(0).toLongLong() == hallSession_)
        return true;
    if (const QString lost = lockHall(hall_); !lost.isEmpty()) {
        lastError_ = "the hall " + QString::fromUtf8(hall_) + " is lost: " + lost;
        return false;
    }
    return true;
}

void SqlStore::beat(const Hall& hall) {
    if (!holdsHall())
        return;
    QSqlQuery query(QSqlDatabase::database(connection_));
    run(query,
        "INSERT INTO halls (name, address, players, games, seen) VALUES (?, ?, ?, ?, ?) "
        "ON CONFLICT (name) DO UPDATE SET address = excluded.address, "
        "players = excluded.players, games = excluded.games, seen = excluded.seen",
        {text(hall.name), text(hall.address), hall.players, hall.games, hall.seen});
}

void SqlStore::closeHall(const QByteArray& hall) {
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery query(db);
    db.transaction();
    run(query, "DELETE FROM presence WHERE hall = ?", {text(hall)});
    run(query, "DELETE FROM halls WHERE name = ?", {text(hall)});
    db.commit();
}

std::vector<Hall> SqlStore::halls(qint64 since) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    std::vector<Hall> alive;
    if (!run(query,
             "SELECT name, address, players, games, seen FROM halls WHERE seen >= ? ORDER BY name",
             {since}))
        return alive;
    while (query.next())
        alive.push_back({bytes(query.value(0)), bytes(query.value(1)),
                         query.value(2).toInt(), query.value(3).toInt(),
                         query.value(4).toLongLong()});
    return alive;
}

// One statement, so that two halls claiming the name at once cannot both
// have it: the row is taken over only from a hall no longer alive.
Claim SqlStore::claim(const QByteArray& name, const QByteArray& hall, qint64 since) {
    using enum Claim::Outcome;
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query,
             "INSERT INTO presence (folded, hall) VALUES (?, ?) ON CONFLICT (folded) DO UPDATE "
             "SET hall = excluded.hall WHERE presence.hall = excluded.hall OR NOT EXISTS "
             "(SELECT 1 FROM halls WHERE halls.name = presence.hall AND halls.seen >= ?)",
             {folded(name), text(hall), since})) {
        failed(query.lastError());
        return {Failed, {}, lastError_};
    }
    if (query.numRowsAffected() == 1)
        return {Claimed, {}, {}};
    if (auto held = holder(name, since))
        return {Held, *held, {}};
    return {Failed, {}, "neither taken nor held by a hall alive"};
}

std::optional<QByteArray> SqlStore::holder(const QByteArray& name, qint64 since) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    if (!run(query,
             "SELECT p.hall FROM presence p JOIN halls h ON h.name = p.hall "
             "WHERE p.folded = ? AND h.seen >= ?",
             {folded(name), since}) ||
        !query.next())
        return std::nullopt;
    return bytes(query.value(0));
}

void SqlStore::release(const QByteArray& name, const QByteArray& hall) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    run(query, "DELETE FROM presence WHERE folded = ? AND hall = ?",
        {folded(name), text(hall)});
}

namespace {
bool writeLines(QSqlQuery& query, const LiveKey& key, int from,
                const std::vector<QByteArray>& lines) {
    for (const QByteArray& line : lines)
        if (!run(query, "INSERT INTO live_lines (hall, number, seq, line) VALUES (?, ?, ?, ?)",
                 {text(key.hall), key.number, from++, text(line)}))
            return false;
    return true;
}
} // namespace

bool SqlStore::writeLive(const std::vector<LiveWrite>& writes) {
    if (!holdsHall())
        return false; // no journal is written beside another server's
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery query(db);
    if (!db.transaction())
        return failed(db.lastError());
    for (const LiveWrite& w : writes)
        if ((w.begins && !dropJournal(query, w.key)) || !writeLines(query, w.key, w.from, w.lines)) {
            const QSqlError error = query.lastError();
            db.rollback();
            return failed(error);
        }
    return db.commit() || failed(db.lastError());
}

// A connection the server lost (PostgreSQL restarted, a network gone) is
// opened again, so that the next try may keep; the next write takes the
// hall again before it writes (holdsHall).
bool SqlStore::failed(const QSqlError& error) {
    lastError_ = why(error);
    if (!reachable()) {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
        db.open();
    }
    return false;
}

void SqlStore::endLive(const LiveKey& key) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    dropJournal(query, key);
}

bool SqlStore::cutLive(const LiveKey& key, int from) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    return run(query, "DELETE FROM live_lines WHERE hall = ? AND number = ? AND seq >= ?",
               {text(key.hall), key.number, from}) ||
           failed(query.lastError());
}

std::vector<LiveGame> SqlStore::liveGames(const QByteArray& hall) {
    QSqlQuery query(QSqlDatabase::database(connection_));
    std::vector<LiveGame> games;
    if (!run(query, "SELECT number, seq, line FROM live_lines WHERE hall = ? ORDER BY number, seq",
             {text(hall)}))
        return games;
    while (query.next()) {
        const int number = query.value(0).toInt();
        if (games.empty() || games.back().number != number)
            games.push_back({number, {}, -1});
        LiveGame& game = games.back();
        const int seq = query.value(1).toInt();
        if (game.skipsTo >= 0)
            continue;
        if (seq != int(game.lines.size()))
            game.skipsTo = seq;
        else
            game.lines.push_back(bytes(query.value(2)));
    }
    return games;
}

} // namespace wordmoot::store
