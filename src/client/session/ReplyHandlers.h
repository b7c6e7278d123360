#pragma once

#include "client/session/ClientView.h"
#include "client/session/GameList.h"
#include "client/session/GameTable.h"
#include "client/session/ScoreList.h"

#include <QString>

#include <initializer_list>

namespace wordmoot {

// The client's side of every server reply. dispatch() takes one line, finds
// the handling for its code and runs it.
class ReplyHandlers {
public:
    explicit ReplyHandlers(ClientContext client);

    void dispatch(const QString& line);

    using Handling = void (ReplyHandlers::*)(QStringView argument);
    // Where dispatch sends a line: the handling of its code and the argument
    // it gets, a view into the line. Null handling for an empty line.
    struct Route {
        Handling handling = nullptr;
        QStringView argument;
    };
    static Route route(QStringView line);

    ScoreList& scores() { return scores_; }
    GameList& games() { return games_; }
    GameTable& table() { return table_; }

    void joingame();
    void leftgame();
    void gameover();
    void invalid_play(const QString& msg);

private:
    // Logon, lobby and chat.
    void ignore(QStringView) {}
    void greeting(QStringView argument);
    void newestClient(QStringView argument);
    void gameNumbers(QStringView argument);
    void gameDescription(QStringView argument);
    void saidToAll(QStringView argument);
    void toldToUser(QStringView argument);
    void notice(QStringView argument);
    void emote(QStringView argument);
    void beep(QStringView argument);
    void nameIllegal(QStringView argument);
    void nameInUse(QStringView argument);
    void newGameRefused(QStringView argument);
    void robotsOffered(QStringView argument);
    // The game panel's lines.
    void tableLine(QStringView argument) {
        client_.state.panelServer = true;
        table_.apply(argument);
    }

    // Board, rack and play.
    void yourTurn(QStringView argument);
    void startingLetter(QStringView argument);
    void whoseTurn(QStringView argument);
    void play(QStringView argument);
    void noticeWithRefresh(QStringView argument);
    void boardRow(QStringView argument);
    void newRack(QStringView argument);
    void drawnTile(QStringView argument);
    void playRefused(QStringView argument);

    // Score list.
    void players(QStringView argument);
    void score(QStringView argument);
    void nicknameChanged(QStringView argument);

    // Game membership and game over.
    void becameObserver(QStringView argument);
    void joined(QStringView argument);
    void joinedAsPlayer(QStringView argument);
    void left(QStringView argument);
    void won(QStringView argument);
    void draw(QStringView argument);
    void watchingGameInPlay(QStringView argument);
    void tookOverSeat(QStringView argument);
    void seatOffered(QStringView argument);

    void askForAnotherName(const QString& problem);
    // In a game: Leave and Sort can be pressed.
    void enterGame();
    // In a game just made, on a server that seats robots when asked: the
    // computer at one of these levels, or another person.
    void chooseOpponent(const QStringList& levels);
    // Switches game controls in the order given: the order decides where
    // the keyboard focus goes when the focused control is switched off.
    void setControlsEnabled(std::initializer_list<GameControl> controls, bool enabled);

    ClientContext client_;
    ScoreList scores_;
    GameList games_;
    GameTable table_;

    friend struct DispatchTable;
};

} // namespace wordmoot
