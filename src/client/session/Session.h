#pragma once

#include "client/connection/Connection.h"
#include "client/connection/Dialogs.h"
#include "client/connection/Settings.h"
#include "client/session/ClientState.h"
#include "client/session/ClientView.h"
#include "client/session/ReplyHandlers.h"

#include <QObject>

namespace wordmoot {

// The client's one session with a game server: the stored settings, the
// client state, the connection and the handling of every reply. A line from
// the server goes from the socket through the framing to the dispatch and its
// handling, which changes the state and tells the view. The window shows the
// state and forwards what the user does; it decides nothing itself.
class Session : public QObject {
    Q_OBJECT
public:
    // Commands go to the connection, or to `outgoing` when given (tests that
    // run the session without a socket record them there).
    Session(ClientView& view, Dialogs& dialogs, CommandSink* outgoing = nullptr);
    ~Session() override;

    // Asks which server to use and starts connecting; false when the user
    // gave no answer and the program is to end.
    bool start();
    // One line from the server, as the connection delivers it.
    void handleLine(const QString& line);
    // Quits when the user confirms: QUIT goes out and the program ends.
    void quit();
    // Stops handling the server and drops the connection.
    void shutdown();

    ClientContext& client() { return client_; }
    ClientState& state() { return state_; }
    ReplyHandlers& replies() { return replies_; }
    Connection& connection() { return connection_; }
    void send(const QString& command) { client_.server.send(command); }

private:
    void onConnected();
    void onClosed();
    void onFailed(const QString& description);

    Settings settings_;
    ClientState state_;
    Connection connection_;
    ClientContext client_;
    ReplyHandlers replies_;
};

} // namespace wordmoot
