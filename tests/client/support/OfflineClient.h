#pragma once

#include "Boxes.h"
#include "RecordingView.h"
#include "ScriptedDialogs.h"
#include "StoredSettings.h"
#include "client/session/Session.h"

namespace wordmoot::test {

// The controls a player's turn enables and its end disables.
inline const QList<GameControl> kTurnControls = {GameControl::Forfeit, GameControl::SubmitPlay,
                                                 GameControl::Exchange, GameControl::ExchangeBox,
                                                 GameControl::Withdraw};

// The client's reply handling without a window or a connection, logged on
// under the given nickname: the view, the boxes and the commands sent are
// recorded. View is RecordingView or a view that records more.
template <typename View = RecordingView> struct OfflineClient {
    View view;
    ScriptedDialogs dialogs;
    RecordingSink server;
    Session session{view, dialogs, &server};
    ClientState& state = session.state();
    ReplyHandlers& replies = session.replies();

    explicit OfflineClient(const QString& nickname = QStringLiteral("alice")) {
        state.nickname = nickname;
        view.state = &state;
    }

    // One line as the connection delivers it.
    void dispatch(const QString& line) { session.handleLine(line); }
    QStringList games() { return replies.games().stringList(); }
    QStringList scores() { return replies.scores().stringList(); }

    // Forgets what has been done to the window, the boxes and the server so far.
    void forgetRecorded() {
        view = View();
        view.state = &state;
        dialogs.shown.clear();
        dialogs.proposals.clear();
        server.sent.clear();
    }
    // Whether anything at all was done to the window, the boxes or the server.
    bool untouched() const {
        return view.log.isEmpty() && view.calls.isEmpty() && view.controls.isEmpty() &&
               view.turnText.isEmpty() && view.caption.isEmpty() && view.gameSelectionShown == 0 &&
               dialogs.shown.isEmpty() && server.sent.isEmpty();
    }
};

} // namespace wordmoot::test
