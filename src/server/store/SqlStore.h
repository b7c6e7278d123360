#pragma once

#include "server/store/Store.h"

#include <QSqlDatabase>

class QLockFile;
class QSqlError;

namespace wordmoot::store {

// The store in SQL, for SQLite ("FILE", or "none" in memory) and PostgreSQL
// ("postgresql://USER@HOST:PORT/DB", or "postgresql://USER@:PORT/DB?host=/DIR"
// through a Unix socket in DIR; the password from PGPASSWORD or the file
// PGPASSFILE names, never from the address). Its connection belongs to the
// thread that opens it. Each change is one transaction. A store of an older
// schema is upgraded in place when opened; one that is not a store, or is of
// a newer schema, is left as it is and not opened.
class SqlStore : public Store {
public:
    static constexpr int kSchemaVersion = 3;

    // Nullptr and why when it cannot be opened.
    static std::unique_ptr<SqlStore> open(const QString& where, QString& error);
    ~SqlStore() override;

    bool reachable() override;
    QString lastError() const override { return lastError_; }
    std::optional<QByteArray> passwordHash(const QByteArray& name) override;
    bool createAccount(const QByteArray& name, const QByteArray& hash) override;
    bool setPasswordHash(const QByteArray& name, const QByteArray& hash) override;
    bool dropAccount(const QByteArray& name) override;
    std::vector<QByteArray> accountNames() override;
    std::optional<StoredRating> rating(const QByteArray& name) override;
    void setRating(const QByteArray& name, const StoredRating& rating) override;
    std::vector<RatedName> top(int count) override;
    qint64 addGame(const FinishedGame& game, const std::vector<RatedName>& rated) override;
    std::vector<FinishedGame> history(const QByteArray& name, int count) override;
    std::optional<FinishedGame> game(qint64 id) override;
    bool writeLive(const std::vector<LiveWrite>& writes) override;
    void endLive(const LiveKey& key) override;
    bool cutLive(const LiveKey& key, int from) override;
    std::vector<LiveGame> liveGames(const QByteArray& hall) override;
    QString holdHall(const QByteArray& hall) override;
    void beat(const Hall& hall) override;
    void closeHall(const QByteArray& hall) override;
    std::vector<Hall> halls(qint64 since) override;
    Claim claim(const QByteArray& name, const QByteArray& hall, qint64 since) override;
    void release(const QByteArray& name, const QByteArray& hall) override;
    std::optional<QByteArray> holder(const QByteArray& name, qint64 since) override;

private:
    explicit SqlStore(QString connection);
    bool prepare(QString& error);
    bool upgrade(QString& error);
    // Notes why a call failed; false.
    bool failed(const QSqlError& error);
    QString lockHall(const QByteArray& hall);
    // Whether this PostgreSQL session still holds the hall: one opened again
    // takes it again, unless another server has it by then (false).
    bool holdsHall();

    const QString connection_; // the name of its QSqlDatabase connection
    QString lastError_;
    QString file_; // a SQLite store's file; empty for PostgreSQL and memory
    std::unique_ptr<QLockFile> hallLock_; // a SQLite store's hall, held
    QByteArray hall_;
    qint64 hallSession_ = 0; // the PostgreSQL session holding the hall
};

} // namespace wordmoot::store
