#pragma once

#include "client/connection/CommandSink.h"
#include "client/session/ClientView.h"

#include <QMap>
#include <QStringList>

namespace wordmoot::test {

// Records what the reply handlings do to the window, for tests without one.
class RecordingView : public ClientView {
public:
    QStringList log;                          // addmsg lines
    QStringList calls;                        // makegameboard, fill_board, ... in order
    QMap<GameControl, bool> controls;         // last enabled state set
    QList<QPair<GameControl, bool>> switched; // every switch, in order
    QString turnText;
    QString caption;
    int gameSelectionShown = 0;
    bool connectedShown = false;
    bool ended = false;
    int yourTurns = 0; // times the view was told it is the user's turn
    // The state being shown, for views that note what it held at a redraw.
    const ClientState* state = nullptr;

    void addmsg(const QString& message) override { log.append(message); }
    void makegameboard() override { calls.append(QStringLiteral("makegameboard")); }
    void fill_board() override { calls.append(QStringLiteral("fill_board")); }
    void fill_rack() override { calls.append(QStringLiteral("fill_rack")); }
    void setGameControlEnabled(GameControl control, bool enabled) override {
        controls[control] = enabled;
        switched.append({control, enabled});
    }
    void setTurnText(const QString& text) override { turnText = text; }
    void setCaption(const QString& text) override { caption = text; }
    void showGameSelection() override { ++gameSelectionShown; }
    void showConnected() override { connectedShown = true; }
    void disableWindow() override { calls.append(QStringLiteral("disableWindow")); }
    void endProgram() override { ended = true; }
    void yourTurnBegins() override { ++yourTurns; }
};

// Records the commands sent, without their line ends.
class RecordingSink : public CommandSink {
public:
    QStringList sent;
    void send(const QString& command) override { sent.append(command); }
};

} // namespace wordmoot::test
