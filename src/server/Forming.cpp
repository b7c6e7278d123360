#include "server/Forming.h"

#include "server/User.h"
#include "shared/rules/Game.h"

#include <algorithm>
#include <chrono>

namespace wordmoot::server {

Forming::Forming(std::function<bool(const User*)> isRobot, std::function<void()> timeUp)
    : isRobot_(std::move(isRobot)) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, std::move(timeUp));
}

bool Forming::isSeated(const User& u) const {
    return std::find(seated_.begin(), seated_.end(), &u) != seated_.end();
}

void Forming::sit(User& u) {
    if (!isSeated(u))
        seated_.push_back(&u);
}

void Forming::ready(User& u) {
    ready_.insert(&u);
}

void Forming::standUp(const User& u) {
    std::erase(seated_, &u);
    ready_.erase(&u);
}

void Forming::forget(const User& u) {
    standUp(u);
    if (maker_ == &u)
        maker_ = nullptr;
    if (beginWantedBy_ == &u)
        beginWantedBy_ = nullptr;
}

User* Forming::lastRobot() const {
    const auto last = std::find_if(seated_.rbegin(), seated_.rend(), isRobot_);
    return last == seated_.rend() ? nullptr : *last;
}

const User* Forming::starter() const {
    if (maker_ && isSeated(*maker_))
        return maker_;
    const auto person = std::find_if(seated_.begin(), seated_.end(),
                                     [this](const User* u) { return !isRobot_(u); });
    return person == seated_.end() ? nullptr : *person;
}

QByteArray Forming::notReady() const {
    std::vector<std::string> names;
    for (const User* u : seated_)
        if (!isReady(*u))
            names.push_back(u->name.toStdString());
    return QByteArray::fromStdString(spokenList(names));
}

bool Forming::mayBegin() const {
    return seated_.size() >= 2 && ready_.size() == seated_.size() && starter();
}

Forming::Next Forming::next(const User* readied) const {
    if (!mayBegin())
        return Next::Wait;
    if (beginWantedBy_ && beginWantedBy_ == starter())
        return Next::Begin;
    const bool aloneWithRobots =
        readied && readied == starter() &&
        std::all_of(seated_.begin(), seated_.end(),
                    [&](const User* u) { return u == readied || isRobot_(u); });
    return isFull() || aloneWithRobots ? Next::Begin : Next::AskStarter;
}

std::vector<User*> Forming::begin() {
    std::vector<User*> players = std::move(seated_);
    restored();
    return players;
}

void Forming::restored() {
    seated_.clear();
    ready_.clear();
    beginWantedBy_ = nullptr;
    madeFrom_.clear();
}

void Forming::updateTimer(int seconds, bool playing) {
    const bool someoneWaits =
        std::any_of(ready_.begin(), ready_.end(), [this](const User* u) { return !isRobot_(u); });
    if (seconds <= 0 || playing || someoneWaits)
        return timer_.stop();
    if (!timer_.isActive())
        timer_.start(std::chrono::seconds(seconds));
}

} // namespace wordmoot::server
