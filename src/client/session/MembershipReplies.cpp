// The replies that move the user into, around and out of a game.
#include "shared/protocol/Commands.h"
#include "shared/protocol/Words.h"
#include "client/session/ReplyHandlers.h"

#include <QStringBuilder>

#include <algorithm>
#include <utility>

namespace wordmoot {

namespace {
const QString kGameOverTurn = QStringLiteral("Game over");
} // namespace

void ReplyHandlers::joingame() {
    enterGame();
    const QStringList robotLevels = std::exchange(client_.state.robotLevels, {});
    if (client_.state.started)
        return;
    const bool play = client_.dialogs.ask(
        QStringLiteral("Do you want to be a player in this game?"), kAppTitle, false);
    client_.state.seatAsked = play;
    client_.server.send(play ? command::ready() : command::observe());
    if (play && !robotLevels.isEmpty())
        chooseOpponent(robotLevels);
}

// The computer is the answer Enter gives, at the level played last time (at
// first the weakest): one robot joins and the game begins. With another
// person the game begins once one has joined and is ready.
void ReplyHandlers::chooseOpponent(const QStringList& levels) {
    QStringList choices;
    for (const QString& level : levels)
        choices.append(QStringLiteral("The computer (") + level + QLatin1Char(')'));
    choices.append(QStringLiteral("Another person (the game waits for one to join)"));
    const QString last = client_.settings.text(setting::kClient, setting::kRobotLevel, {});
    const auto chosen =
        client_.dialogs.choose(QStringLiteral("Whom do you want to play?"), kAppTitle, choices,
                               std::max(0, int(levels.indexOf(last))));
    if (!chosen || *chosen < 0 || *chosen > levels.size())
        return; // cancelled: the user seats whom they like by typing
    if (*chosen < levels.size()) {
        client_.settings.setText(setting::kClient, setting::kRobotLevel, levels[*chosen]);
        client_.server.send(command::robot(levels[*chosen]));
    }
    client_.server.send(command::start());
}

void ReplyHandlers::enterGame() {
    client_.state.ingame = true;
    client_.view.setGameControlEnabled(GameControl::LeaveGame, true);
    client_.view.setGameControlEnabled(GameControl::SortRack, true);
}

void ReplyHandlers::leftgame() {
    table_.clear();
    client_.state.ingame = false;
    client_.state.started = false;
    client_.state.seatAsked = false;
    using enum GameControl;
    setControlsEnabled({LeaveGame, Forfeit, SubmitPlay, Exchange, ExchangeBox, Withdraw, SortRack},
                       false);
    client_.server.send(command::gameList());
}

void ReplyHandlers::gameover() {
    using enum GameControl;
    client_.view.setGameControlEnabled(LeaveGame, true);
    setControlsEnabled({SubmitPlay, Forfeit, Exchange, Withdraw, ExchangeBox}, false);
    joingame();
    client_.server.send(command::refresh());
}

// A READY sent after the OBSERVER this answers is still to be answered.
void ReplyHandlers::becameObserver(QStringView) {
    client_.state.observer = true;
    client_.view.makegameboard();
    client_.server.send(command::refresh());
}

void ReplyHandlers::joined(QStringView) {
    client_.state.seatAsked = false;
    joingame();
}

// The user plays. Where this answers the user's own READY, the player
// question is not put again.
void ReplyHandlers::joinedAsPlayer(QStringView) {
    client_.state.observer = false;
    client_.view.makegameboard();
    if (std::exchange(client_.state.seatAsked, false))
        return enterGame();
    joingame();
}

void ReplyHandlers::left(QStringView) {
    leftgame();
}

// The turn label no longer names a player on turn once the game is over.
void ReplyHandlers::won(QStringView argument) {
    client_.view.setTurnText(kGameOverTurn);
    client_.dialogs.message(QStringLiteral("Game Over! ") +
                                splitFirstWord(argument).first.toString() + QStringLiteral(" won!"),
                            kAppTitle, Dialogs::Icon::Information);
    gameover();
}

void ReplyHandlers::draw(QStringView argument) {
    client_.view.setTurnText(kGameOverTurn);
    client_.dialogs.message(QStringLiteral("Game Over! It was a draw between ") % argument,
                            kAppTitle, Dialogs::Icon::Information);
    gameover();
}

void ReplyHandlers::watchingGameInPlay(QStringView) {
    client_.state.started = true;
    client_.state.observer = true;
    client_.state.seatAsked = false;
    client_.view.makegameboard();
}

void ReplyHandlers::tookOverSeat(QStringView) {
    client_.state.ingame = true;
    using enum GameControl;
    setControlsEnabled({LeaveGame, SubmitPlay, Forfeit, Exchange, ExchangeBox, Withdraw, SortRack},
                       true);
    client_.state.observer = false;
    client_.view.makegameboard();
    client_.server.send(command::refresh());
}

void ReplyHandlers::seatOffered(QStringView) {
    if (client_.dialogs.ask(QStringLiteral("Please confirm that you want to take over this game?"),
                            kAppTitle, false)) {
        client_.server.send(command::approve());
        return;
    }
    client_.server.send(command::observe());
    client_.state.observer = true;
    client_.view.makegameboard();
}

} // namespace wordmoot
