#include "PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <algorithm>

#include <unistd.h>

namespace {

constexpr const char* kUser = "wordmoot";
constexpr int kPort = 5432; // names the socket file in the cluster's own folder

// The newest installed server's programs.
QString serverPrograms() {
    QStringList versions = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions)
        if (QFile::exists("/usr/lib/postgresql/" + v + "/bin/pg_ctl"))
            return "/usr/lib/postgresql/" + v + "/bin/";
    return {};
}

} // namespace

PostgresCluster::PostgresCluster()
    : bin_(serverPrograms()) {
    if (bin_.isEmpty()) {
        failure_ = "no PostgreSQL server is installed (/usr/lib/postgresql/*/bin/pg_ctl)";
        return;
    }
    if (!folder_.isValid()) {
        failure_ = "no temporary folder";
        return;
    }
    if (::geteuid() == 0 &&
        !run("chown", {"nobody:nogroup", folder_.path()})) // the server's user must own it
        return;
    const QString data = folder_.filePath("data");
    if (!run(bin_ + "initdb", {"-D", data, "-U", kUser, "-A", "trust", "-E", "UTF8", "--no-sync"}))
        return;
    start();
}

bool PostgresCluster::start() {
    const QString options = QString("-k %1 -h '' -p %2 -F").arg(folder_.path()).arg(kPort);
    started_ = run(bin_ + "pg_ctl", {"-D", folder_.filePath("data"), "-o", options, "-l",
                                     folder_.filePath("log"), "-w", "-t", "60", "start"});
    return started_;
}

bool PostgresCluster::stop() {
    started_ = !run(bin_ + "pg_ctl", {"-D", folder_.filePath("data"), "-m", "immediate", "-w", "stop"});
    return !started_;
}

PostgresCluster::~PostgresCluster() {
    if (started_)
        stop();
}

QString PostgresCluster::newDatabase() {
    const QString name = QString("test%1").arg(++databases_);
    const QString host = QString::fromUtf8(QUrl::toPercentEncoding(folder_.path()));
    if (!run(bin_ + "createdb",
             {"-h", folder_.path(), "-p", QString::number(kPort), "-U", kUser, name}))
        return {};
    return QString("postgresql://%1@:%2/%3?host=%4").arg(kUser).arg(kPort).arg(name, host);
}

bool PostgresCluster::sql(const QString& address, const QString& statement) {
    const QString name = QUrl(address).path().mid(1);
    return run(bin_ + "psql", {"-h", folder_.path(), "-p", QString::number(kPort), "-U", kUser,
                               "-d", name, "-v", "ON_ERROR_STOP=1", "-c", statement});
}

// Runs the program to its end, as nobody when the tests run as root; false
// with the failure noted when it fails.
bool PostgresCluster::run(const QString& program, const QStringList& arguments) {
    QProcess process;
    const bool asNobody = ::geteuid() == 0 && program != "chown";
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asNobody)
        process.start("runuser", QStringList{"-u", "nobody", "--", program} + arguments);
    else
        process.start(program, arguments);
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        failure_ = program + " failed: " + QString::fromLocal8Bit(process.readAll()).trimmed();
        return false;
    }
    return true;
}
