#pragma once

#include "client/session/ClientState.h"
#include "client/connection/CommandSink.h"
#include "client/connection/Dialogs.h"
#include "client/connection/Settings.h"

#include <QString>

namespace wordmoot {

// The game controls that the server's replies switch on and off.
enum class GameControl {
    LeaveGame,
    Forfeit,
    SubmitPlay,
    Exchange,
    ExchangeBox,
    Withdraw,
    SortRack
};
inline constexpr std::size_t kGameControlCount = 7;

// What the reply handlings need of the main window.
class ClientView {
public:
    virtual ~ClientView() = default;

    virtual void addmsg(const QString& message) = 0;
    virtual void makegameboard() = 0; // draw board and rack outlines anew
    virtual void fill_board() = 0;    // show the board as the state holds it
    // Shows the rack as the state holds it: the tiles in the rack in their
    // slots, the tiles laid in the play being composed on their cells.
    virtual void fill_rack() = 0;
    virtual void setGameControlEnabled(GameControl control, bool enabled) = 0;
    virtual void setTurnText(const QString& text) = 0;
    // The server says it is the user's turn; the window may ask for the
    // user's attention.
    virtual void yourTurnBegins() {}
    virtual void setCaption(const QString& caption) = 0;
    virtual void showGameSelection() = 0;
    // The connection is up: the window shows and takes input.
    virtual void showConnected() = 0;
    // After a failed connection nothing in the window can be used.
    virtual void disableWindow() = 0;
    // Every window closes and the program ends.
    virtual void endProgram() = 0;
};

// The parts of the client that reply handlings, turn actions and the chat
// input work on.
struct ClientContext {
    ClientState& state;
    ClientView& view;
    Dialogs& dialogs;
    Settings& settings;
    CommandSink& server;
};

// Takes on a nickname: the state, the window caption and the stored setting.
void adoptNickname(ClientContext& client, const QString& nickname);

} // namespace wordmoot
