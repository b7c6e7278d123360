#include "client/connection/LocalServer.h"

#include "shared/protocol/ShownText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <unistd.h>

namespace wordmoot {

namespace {
const QString kProgram = QStringLiteral("wordmoot-server");
// The server's failure is its last line; what comes before it is read no
// further back than this, and no more of the line is shown than this.
constexpr qint64 kLogTail = 4096;
constexpr qsizetype kMaxReasonLength = 300;

// One log for each user and port, so clients of other users or for other
// ports do not write over it.
QString logName(quint16 port) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty() || user.contains(QLatin1Char('/')))
        user = QString::number(::getuid());
    return QStringLiteral("%1-%2-%3.log").arg(kProgram, user).arg(port);
}

// The log is made anew, and only as a file of this user's own: a file or link
// someone else left under its name in a shared folder is not written to.
bool createLog(const QString& path, QString& error) {
    QFile::remove(path);
    QFile log(path);
    if (log.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    error = log.errorString();
    return false;
}

QString failure(const QString& reason) {
    return QStringLiteral("Could not start the local server: ") + reason;
}
} // namespace

QString LocalServer::recordsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/wordmoot/games");
}

QStringList LocalServer::programsBesideClient() {
    const QString dir = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(dir + QLatin1Char('/') + kProgram),
            QDir::cleanPath(dir + QStringLiteral("/../libexec/wordmoot/") + kProgram)};
}

std::optional<QString> LocalServer::listenAddressFor(const QString& host) {
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("127.0.0.1");
    const QHostAddress address(host);
    if (address == QHostAddress(QHostAddress::LocalHost) ||
        address == QHostAddress(QHostAddress::LocalHostIPv6))
        return address.toString();
    return std::nullopt;
}

bool LocalServer::isRunning(qint64 processId) {
    if (processId <= 0 || ::kill(pid_t(processId), 0) != 0)
        return false;
    // The state follows the program's name, which is in parentheses.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(processId));
    if (!stat.open(QIODevice::ReadOnly))
        return true; // no /proc to tell a zombie by
    const QByteArray text = stat.readAll();
    const qsizetype state = text.lastIndexOf(')') + 2;
    return state < 2 || state >= text.size() || (text[state] != 'Z' && text[state] != 'X');
}

LocalServer::LocalServer(QStringList programs)
    : programs_(std::move(programs)) {}

void LocalServer::start(const QString& address, quint16 port) {
    if (started_)
        return;
    started_ = true;
    listenDeadline_.setRemainingTime(kListenWait);
    QString program;
    for (const QString& candidate : programs_) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable()) {
            program = candidate;
            break;
        }
    }
    if (program.isEmpty()) {
        startFailure_ = failure(kProgram + QStringLiteral(" was not found (looked for ") +
                                programs_.join(QStringLiteral(" and ")) + QLatin1Char(')'));
        return;
    }
    const QString path = QDir::temp().filePath(logName(port));
    if (QString error; !createLog(path, error)) {
        startFailure_ =
            failure(QStringLiteral("cannot write its log ") + path + QStringLiteral(": ") + error);
        return;
    }
    logPath_ = path;
    // A hall of its own per port: two local servers never share live games.
    QStringList arguments = {QStringLiteral("--listen"), address, QStringLiteral("--port"),
                             QString::number(port), QStringLiteral("--idle-exit"),
                             QString::number(kIdleExitSeconds), QStringLiteral("--hall"),
                             QStringLiteral("local-%1").arg(port)};
    // Without its folder of records the server still plays, keeping none.
    if (const QString records = recordsFolder(); QDir().mkpath(records))
        arguments << QStringLiteral("--records") << records;

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    // Both into the one log, each line at its end.
    process.setStandardOutputFile(logPath_, QIODevice::Append);
    process.setStandardErrorFile(logPath_, QIODevice::Append);
    if (!process.startDetached(&processId_)) {
        processId_ = 0;
        startFailure_ =
            failure(program + QStringLiteral(" cannot be started: ") + process.errorString());
    }
}

std::optional<QString> LocalServer::whyNotListening() const {
    if (!started_)
        return std::nullopt;
    if (!startFailure_.isEmpty())
        return startFailure_;
    const QString seeLog = QStringLiteral("\n\nWhat it printed is in ") + logPath_;
    if (!isRunning(processId_)) {
        const QString line = lastLogLine();
        return failure((line.isEmpty() ? QStringLiteral("it ended without saying why") : line) +
                       seeLog);
    }
    if (listenDeadline_.hasExpired())
        return failure(QStringLiteral("it did not accept connections within %1 seconds")
                           .arg(kListenWait.count() / 1000) +
                       seeLog);
    return std::nullopt;
}

QString LocalServer::lastLogLine() const {
    QFile log(logPath_);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    log.seek(qMax<qint64>(0, log.size() - kLogTail));
    const QStringList lines =
        QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line)
        if (const QString text = line->simplified(); !text.isEmpty())
            return shownText(text, kMaxReasonLength);
    return {};
}

} // namespace wordmoot
