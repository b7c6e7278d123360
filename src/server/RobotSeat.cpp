#include "server/RobotSeat.h"

#include <algorithm>

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

bool isRobotName(QByteArrayView name) {
    const QByteArray lower = name.toByteArray().toLower();
    return lower.startsWith("robot") &&
           std::all_of(lower.begin() + 5, lower.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace wordmoot::server
