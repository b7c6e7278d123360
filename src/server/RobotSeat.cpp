#include "server/RobotSeat.h"

namespace wordmoot::server {

RobotSeat::RobotSeat(QByteArray named, int id, robot::Level level, std::uint64_t seed, Act act)
    : id_(id)
    , level_(level)
    , random_(seed)
    , act_(std::move(act)) {
    name = std::move(named);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { act_(*this); });
}

void RobotSeat::wake(int delayMs) {
    if (!timer_.isActive() || timer_.remainingTime() > delayMs)
        timer_.start(delayMs);
}

QByteArray robotName(int number) {
    return number <= 1 ? QByteArray("Robot") : "Robot" + QByteArray::number(number);
}

} // namespace wordmoot::server
