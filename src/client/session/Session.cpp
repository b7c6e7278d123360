#include "client/session/Session.h"

#include "client/connection/ServerAddress.h"
#include "shared/protocol/Commands.h"

namespace wordmoot {

Session::Session(ClientView& view, Dialogs& dialogs, CommandSink* outgoing)
    : client_{state_, view, dialogs, settings_, outgoing ? *outgoing : connection_}
    , replies_(client_) {
    connect(&connection_, &Connection::connected, this, &Session::onConnected);
    connect(&connection_, &Connection::closed, this, &Session::onClosed);
    connect(&connection_, &Connection::failed, this, &Session::onFailed);
    connect(&connection_, &Connection::lineReceived, this, &Session::handleLine);
    connect(&connection_, &Connection::overlongLineDropped, this, [this] {
        client_.view.addmsg(
            QStringLiteral("*** A line from the server was too long and has been dropped"));
    });
}

// The connection goes first, so that its closing reaches no handling while
// the view is being taken down.
Session::~Session() {
    connection_.shutdown();
}

bool Session::start() {
    state_.ingame = false;
    state_.started = false;
    const auto address = askServerAddress(client_.dialogs, settings_);
    if (!address)
        return false;
    state_.nickname = address->nickname;
    connection_.connectToServer(address->host, address->port);
    client_.view.setCaption(QStringLiteral("Wordmoot - ") + state_.nickname);
    return true;
}

void Session::handleLine(const QString& line) {
    replies_.dispatch(line);
}

void Session::quit() {
    if (!client_.dialogs.ask(QStringLiteral("Are you sure you want to quit?"), kAppTitle, true))
        return;
    send(command::quit());
    client_.view.endProgram();
}

void Session::shutdown() {
    connection_.shutdown();
}

void Session::onConnected() {
    send(command::name(state_.nickname));
    send(command::version());
    send(command::gameList());
    client_.view.showConnected();
}

void Session::onClosed() {
    client_.dialogs.message(QStringLiteral("Disconnected from ") + connection_.remoteHost(),
                            kAppTitle, Dialogs::Icon::Stop);
    client_.view.endProgram();
}

void Session::onFailed(const QString& description) {
    client_.dialogs.message(QStringLiteral("An error has occoured connecting to ") +
                                connection_.remoteHost() + QStringLiteral(".\n\n") + description,
                            kAppTitle, Dialogs::Icon::Stop);
    client_.view.disableWindow();
    client_.view.endProgram();
}

} // namespace wordmoot
