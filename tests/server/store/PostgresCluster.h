#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A throwaway PostgreSQL server for the tests: a cluster made with initdb in
// a temporary folder, listening only on a Unix socket there, run as an
// unprivileged user (nobody, when the tests run as root: PostgreSQL refuses
// to run as root), and stopped with its folder removed at the end.
class PostgresCluster {
public:
    PostgresCluster();
    ~PostgresCluster();

    // Why it could not start; empty when it runs.
    const QString& failure() const { return failure_; }
    // The store address of a new, empty database of the cluster; empty when
    // it could not be made.
    QString newDatabase();
    // Runs SQL in the database of that address, outside the store.
    bool sql(const QString& address, const QString& statement);
    // Stops the server at once, as a crash or a pulled cable would, and
    // starts it again; false when it could not.
    bool stop();
    bool start();

private:
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir folder_;
    QString bin_;
    QString failure_;
    bool started_ = false;
    int databases_ = 0;
};
