#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace wordmoot {

// This machine's game server, started for a user who asked for a server
// here when none was listening. It is started detached, so it outlives the
// client, other clients on this machine can join it, and it ends by itself
// once it has had no client for kIdleExitSeconds. It seats a robot only when
// a game's maker asks for one, so that two people here can play each other,
// and keeps every finished game's record in recordsFolder(). What it prints
// goes to a log in the temporary folder. Nothing here waits: the connection
// tries again and asks whyNotListening() after each refusal.
class LocalServer {
public:
    static constexpr int kIdleExitSeconds = 300;
    // How long a server just started may take to accept connections.
    static constexpr std::chrono::milliseconds kListenWait{10000};

    // The user's own folder of game records: wordmoot/games in the user's
    // data folder (~/.local/share/wordmoot/games).
    static QString recordsFolder();
    // Where the server program is looked for, in order: beside the client,
    // then in the libexec folder beside the client's bin folder.
    static QStringList programsBesideClient();
    // The address the server listens on when the host names this machine:
    // 127.0.0.1 for "localhost", else the loopback address as given.
    static std::optional<QString> listenAddressFor(const QString& host);
    // Whether this process still runs. One that ended but was not reaped
    // (where nothing reaps orphans, as in some containers) has ended.
    static bool isRunning(qint64 processId);

    explicit LocalServer(QStringList programs = programsBesideClient());

    // Starts the first program found to listen on this address and port.
    // Once only: the start is what whyNotListening() reports on.
    void start(const QString& address, quint16 port);
    bool wasStarted() const { return started_; }

    // Nothing while the started server may still come to listen; else, as
    // plain words, why it will not: not found, not started, ended (with the
    // last line it printed), or not listening in time.
    std::optional<QString> whyNotListening() const;

    // The started process, 0 when none was started.
    qint64 processId() const { return processId_; }
    QString logPath() const { return logPath_; }

private:
    QString lastLogLine() const;

    QStringList programs_;
    bool started_ = false;
    QString startFailure_;
    qint64 processId_ = 0;
    QString logPath_;
    QDeadlineTimer listenDeadline_;
};

} // namespace wordmoot
