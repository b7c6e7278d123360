#pragma once

#include "board/TileLabels.h"
#include "session/ClientState.h"
#include "connection/Connection.h"
#include "connection/Settings.h"
#include "session/ClientView.h"
#include "session/ReplyHandlers.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace wordmoot {

class GameSelectForm;
class LogoLabel;
class MessageLog;

// The main window: board, rack, scores, turn, chat and every button. It owns
// the connection and the client state and wires their events together.
class WordmootForm : public QWidget, public ClientView {
    Q_OBJECT
public:
    explicit WordmootForm(Dialogs& dialogs);
    ~WordmootForm() override;

    // Builds the board and asks which server to use; the program ends here
    // when the user gives no answer.
    void Form_Load();
    bool hasEnded() const { return ended_; }

    ClientState& state() { return state_; }
    Connection& connection() { return connection_; }
    ReplyHandlers& replies() { return replies_; }
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
    void setCaption(const QString& caption) override;
    void showGameSelection() override;

signals:
    // Both windows are closed: the program is over.
    void programEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void wireControls();
    void connect_mootserv();
    void endProgram();

    void winsockobj_Connect();
    void winsockobj_Close();
    void winsockobj_Error(const QString& description);
    void cmdquit_Click();
    void cmdsubmitplay_Click();
    void cmdexchange_Click();
    void cmdsortrack_Click();

    void Form_DragDrop(int slot, QPointF position);
    void lettertile_DragDrop(int slot);
    void txtexchange_DragDrop(int slot);
    void imgwordmoot_DragDrop();
    void imgwordmoot_DblClick();
    void ircinputbox_Change();
    void cmdsend_Click();

    Dialogs& dialogs_;
    Settings settings_;
    ClientState state_;
    Connection connection_;
    ClientContext client_;
    ReplyHandlers replies_;
    std::unique_ptr<TileLabels> tiles_;
    std::unique_ptr<GameSelectForm> gameSelect_;
    bool ended_ = false;
    int lastinputlen_ = 0; // the input line's length after its last change

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
    QLabel* lblturn_ = nullptr;
};

} // namespace wordmoot
