#pragma once

#include <QFrame>
#include <QTimer>

class QLabel;
class QListWidget;

namespace wordmoot {

class GameTable;

// The game panel beside the board: the bag, the tiles not yet seen, each
// player's clock (counted down while it runs), the moves so far, and the
// worth of the play being composed, as the session's GameTable has them.
// It only shows: what it shows is worked out there.
class GamePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 3600;

    GamePanel(const GameTable& table, QWidget* parent);
    void refresh();

private:
    void showClocks();

    const GameTable& table_;
    QLabel* bag_ = nullptr;
    QLabel* unseen_ = nullptr;
    QLabel* clocks_ = nullptr;
    QListWidget* moves_ = nullptr;
    QLabel* preview_ = nullptr;
    QTimer tick_; // the running clock, shown each half second
};

} // namespace wordmoot
