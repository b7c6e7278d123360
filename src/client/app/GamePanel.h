#pragma once

#include <QFrame>
#include <QTimer>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

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
    // Start, Hint and Seat robot: in a game, on a server that takes them.
    void setActionsEnabled(bool enabled);

signals:
    void startClicked();
    void hintClicked();
    void robotClicked(const QString& level);

private:
    void showClocks();

    const GameTable& table_;
    QLabel* bag_ = nullptr;
    QLabel* unseen_ = nullptr;
    QLabel* clocks_ = nullptr;
    QListWidget* moves_ = nullptr;
    QLabel* preview_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* hint_ = nullptr;
    QComboBox* level_ = nullptr;
    QPushButton* robot_ = nullptr;
    QTimer tick_; // the running clock, shown each half second
};

} // namespace wordmoot
