#pragma once

#include "ScriptedDialogs.h"
#include "client/app/WordmootForm.h"
#include "server/GameServer.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QPushButton;

namespace wordmoot::test {

// One real client window logged on to the server in the process. Its boxes
// are answered from its own dialogs; every line the server sent it is kept.
struct LiveClient {
    // Starts a client window that answers the start-up box with this answer
    // and keeps the lines it receives; `prepare` sees the window before it
    // starts.
    static std::unique_ptr<LiveClient> open(const QString& name, const QString& answer,
                                            const std::function<void(WordmootForm&)>& prepare = {});

    QString name;
    ScriptedDialogs dialogs;
    std::unique_ptr<WordmootForm> form;
    QStringList received;

    // The game selection window's entries; empty while it is not shown.
    QStringList gameEntries() const;
    // Chooses the entry that starts with this text in the game selection
    // window, by OK. False when no such entry is shown.
    bool chooseGame(const QString& entryStart);
    QPushButton* button(const char* objectName) const;
    // How many times the server told this user it is their turn (1020). The
    // turn buttons stay enabled after a turn, so they do not tell.
    int turnsGiven() const;
    // Says this in the chat through the input line and Send, and waits for
    // the server's echo: everything sent before it has been answered then.
    bool say(const QString& text);
    // The rack as the client holds it, one tile a slot.
    QStringList rack() const;
    // The score list's entries, as shown.
    QStringList scoreEntries() const;
    // The letter shown on a board cell; empty when no tile shows there.
    QString boardTile(int column, int row) const;
    // Waits until a line starting with this prefix has come after the first
    // `from` lines; its index, or -1 when none came.
    qsizetype waitForLine(const QString& prefix, qsizetype from = 0) const;
    // The lines from the server that refuse or reject something this client
    // sent: every 5xxx reply and the notices that answer a command out of
    // place. A coherent flow has none.
    QStringList complaints() const;
};

// A game server in the process on a free port of the loopback, and real
// client windows logged on to it.
class LiveServer {
public:
    explicit LiveServer(server::ServerOptions options = {});
    ~LiveServer();

    bool isListening() const { return port != 0; }
    // Starts a client window that answers the start-up box with this name
    // at the server, and waits until it shows the server's game list in the
    // game selection window. Null when it did not get there.
    LiveClient* logOn(const QString& name);

    std::unique_ptr<server::GameServer> server;
    quint16 port = 0;
    std::vector<std::unique_ptr<LiveClient>> clients;
};

} // namespace wordmoot::test
