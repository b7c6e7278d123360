#pragma once

#include "robot/Choice.h"
#include "server/User.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <random>

namespace wordmoot::server {

// A seat the server plays itself. What is sent to it goes nowhere: the room
// reads the game for it. When something may be its to do, the room wakes
// it, and after the delay it acts on the game as it then stands, so a
// person sees the move happen and no event is missed. A vote it answers at
// once: nobody waits on a robot's judgement.
class RobotSeat : public User {
public:
    using Act = std::function<void(RobotSeat&)>;

    RobotSeat(QByteArray named, int id, robot::Level level, std::uint64_t seed, Act act);

    void send(ReplyCode, QByteArrayView) override {}
    void close() override {}
    bool isClosing() const override { return false; }

    // Which robot it is among all the server has had.
    int id() const { return id_; }
    robot::Level level() const { return level_; }
    std::mt19937_64& random() { return random_; }
    // Acts after the delay, or sooner when already woken for sooner.
    void wake(int delayMs);

private:
    const int id_;
    const robot::Level level_;
    QTimer timer_;
    std::mt19937_64 random_;
    Act act_;
};

// "Robot" for the first robot of a game, then "Robot2", "Robot3", ...
QByteArray robotName(int number);

} // namespace wordmoot::server
