#pragma once

#include "client/app/LogFirstDialogs.h"
#include "client/app/TileLabels.h"
#include "client/chat/InputHistory.h"
#include "client/session/Session.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace wordmoot {

class BoardOverlay;
class GameSelectForm;
class LogoLabel;
class MessageLog;

// The main window: board, rack, scores, turn, chat and every button. It shows
// what the session holds and forwards what the user does; the session owns
// the connection and the client state.
class GamePanel;

class WordmootForm : public QWidget, public ClientView {
    Q_OBJECT
public:
    // Commands go to the server, or to `outgoing` when given (a fuzzer runs
    // the window without a socket and checks every line there).
    explicit WordmootForm(Dialogs& dialogs, CommandSink* outgoing = nullptr);
    ~WordmootForm() override;

    // Builds the board and asks which server to use; the program ends here
    // when the user gives no answer.
    void start();
    bool hasEnded() const { return ended_; }

    Session& session() { return session_; }
    ClientState& state() { return session_.state(); }
    Connection& connection() { return session_.connection(); }
    ReplyHandlers& replies() { return session_.replies(); }
    TileLabels& tiles() { return *tiles_; }
    MessageLog* irchistorybox() const { return irchistorybox_; }
    GameSelectForm* gameSelectForm() const { return gameSelect_.get(); }

    // ClientView
    void addmsg(const QString& message) override;
    void makegameboard() override;
    void fill_board() override;
    void fill_rack() override;
    void setGameControlEnabled(GameControl control, bool enabled) override;
    void setTurnText(const QString& text) override;
    void yourTurnBegins() override;
    void setCaption(const QString& caption) override;
    void showGameSelection() override;
    void showConnected() override;
    void disableWindow() override { setEnabled(false); }
    void endProgram() override;

signals:
    // Both windows are closed: the program is over.
    void programEnded();
    // It is the user's turn while the window is not active: it asked for the
    // user's attention.
    void attentionRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void wireControls();
    void gameSelectionClosed();

    void exchangeClicked();
    void sendClicked();
    void inputChanged();
    void logoDoubleClicked();

    void tileDroppedOnBoard(int slot, QPointF position);
    void tileDroppedOnTile(int slot);
    void tileDroppedOnExchangeBox(int slot);
    void tileDroppedOnLogo();

    // Keyboard play and the conveniences around it (WordmootKeyboard.cpp):
    // tiles typed on the board are laid and taken back through the same
    // calls as dropped ones.
    void setUpKeyboardPlay();
    // The game panel beside the board, and the window's width with it; F9
    // shows or hides it, and the choice is kept.
    void showPanel(bool shown);
    // The panel's Start, Hint and Seat robot: in a game, on a server that
    // takes them.
    void updatePanelActions();
    void wireInputHistory();
    void recall(const std::optional<QString>& line);
    // The tile shows the letter given, as composing::layTile has it.
    void layTileOnCell(int slot, QPoint cell, const QString& letter = {});
    void typedOnBoard(QChar key, bool shift);
    void takeBackAll();
    // The tiles have moved or changed: their names for a screen reader and
    // the marks over the board follow.
    void boardShown();

    LogFirstDialogs dialogs_; // each box shows the log's waiting lines first
    Session session_;
    ClientContext& client_;
    std::unique_ptr<TileLabels> tiles_;
    std::unique_ptr<GameSelectForm> gameSelect_;
    bool ended_ = false;
    int lastinputlen_ = 0; // the input line's length after its last change
    chat::InputHistory inputHistory_;
    BoardOverlay* boardOverlay_ = nullptr;
    // The letter each board cell's tile was last named for; a cell named
    // for its letter already is not named again.
    std::array<std::optional<QString>, kBoardCells * kBoardCells> namedFor_;

    MessageLog* irchistorybox_ = nullptr;
    QPushButton* cmdquit_ = nullptr;
    QPushButton* cmdwithdraw_ = nullptr;
    QPushButton* cmdexchange_ = nullptr;
    QLineEdit* txtexchange_ = nullptr;
    QPushButton* cmdforfeit_ = nullptr;
    QPushButton* cmdleavegame_ = nullptr;
    QPushButton* cmdsend_ = nullptr;
    QPushButton* cmdsortrack_ = nullptr;
    QListView* listscores_ = nullptr;
    QPushButton* cmdsubmitplay_ = nullptr;
    QLineEdit* ircinputbox_ = nullptr;
    LogoLabel* imgwordmoot_ = nullptr;
    GamePanel* panel_ = nullptr;
    QLabel* lblturn_ = nullptr;
};

} // namespace wordmoot
