#pragma once

#include "session/GameList.h"
#include "session/ClientView.h"
#include "session/ScoreList.h"

#include <QString>

#include <initializer_list>

namespace wordmoot {

// The client's side of every server reply. dispatch() takes one line, finds
// the handling for its code and runs it.
class ReplyHandlers {
public:
    explicit ReplyHandlers(ClientContext client);

    void dispatch(const QString& line);

    ScoreList& scores() { return scores_; }
    GameList& games() { return games_; }

    void joingame();
    void leftgame();
    void gameover();
    void invalid_play(const QString& msg);

    using Handling = void (ReplyHandlers::*)(const QString& argument);

private:
    // Logon, lobby and chat.
    void ignore(const QString&) {}
    void greeting(const QString& argument);
    void newestClient(const QString& argument);
    void gameNumbers(const QString& argument);
    void gameDescription(const QString& argument);
    void saidToAll(const QString& argument);
    void toldToUser(const QString& argument);
    void notice(const QString& argument);
    void emote(const QString& argument);
    void beep(const QString& argument);
    void nameIllegal(const QString& argument);
    void nameInUse(const QString& argument);
    void newGameRefused(const QString& argument);

    // Board, rack and play.
    void yourTurn(const QString& argument);
    void startingLetter(const QString& argument);
    void whoseTurn(const QString& argument);
    void play(const QString& argument);
    void noticeWithRefresh(const QString& argument);
    void boardRow(const QString& argument);
    void newRack(const QString& argument);
    void drawnTile(const QString& argument);
    void playRefused(const QString& argument);

    // Score list.
    void players(const QString& argument);
    void score(const QString& argument);
    void nicknameChanged(const QString& argument);

    // Game membership and game over.
    void becameObserver(const QString& argument);
    void joined(const QString& argument);
    void joinedAsPlayer(const QString& argument);
    void left(const QString& argument);
    void won(const QString& argument);
    void draw(const QString& argument);
    void watchingGameInPlay(const QString& argument);
    void tookOverSeat(const QString& argument);
    void seatOffered(const QString& argument);

    void askForAnotherName(const QString& problem);
    // Switches game controls in the order given: the order decides where
    // the keyboard focus goes when the focused control is switched off.
    void setControlsEnabled(std::initializer_list<GameControl> controls, bool enabled);

    ClientContext client_;
    ScoreList scores_;
    GameList games_;

    friend struct DispatchTable;
};

} // namespace wordmoot
