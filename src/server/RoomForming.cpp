// When a game begins. Every seated player must be ready and two must sit;
// then the game begins once four are seated, when its starter says START
// (said before, it begins the moment that holds), or when the starter says
// READY with only robots beside them, so that one person plays the computer
// without a further word. A game nobody is ready to play closes after a
// while.
#include "shared/protocol/ReplyCode.h"
#include "server/Lobby.h"
#include "server/Room.h"
#include "server/User.h"

#include <QRandomGenerator>

#include <algorithm>
#include <chrono>

namespace wordmoot::server {

// Who starts the game: the player who made it while seated, else the first
// person to have sat down.
const User* Room::starter() const {
    if (maker_ && isSeated(*maker_))
        return maker_;
    const auto person =
        std::find_if(seated_.begin(), seated_.end(), [this](const User* u) { return !robotOf(u); });
    return person == seated_.end() ? nullptr : *person;
}

// "bob and cy": the seated players not yet ready.
QByteArray Room::notReady() const {
    std::vector<std::string> names;
    for (const User* u : seated_)
        if (!ready_.count(u))
            names.push_back(u->name.toStdString());
    return QByteArray::fromStdString(spokenList(names));
}

bool Room::mayStart() const {
    return phase_ != Phase::Playing && seated_.size() >= 2 && ready_.size() == seated_.size() &&
           starter();
}

void Room::start(User& u, const QByteArray&) {
    if (phase_ == Phase::Playing)
        return tell(u, ReplyCode::Notice, "The game is in play");
    const User* who = starter();
    if (&u != who)
        return tell(u, ReplyCode::Notice,
                      who ? who->name + " starts this game" : "Sit down first: READY");
    if (mayStart())
        return startGame();
    startWantedBy_ = &u; // it begins as soon as it may
    if (seated_.size() < 2)
        return tell(u, ReplyCode::Notice, "A game needs two players: it begins once another is "
                                         "ready, or seat a robot with ROBOT");
    tell(u, ReplyCode::Notice, "Waiting for " + notReady() + " to be ready: the game begins then");
}

// After someone sat down, got ready or left. `readied` is who just said READY.
void Room::maybeStart(const User* readied) {
    if (!mayStart())
        return;
    if (startWantedBy_ && startWantedBy_ == starter())
        return startGame();
    const bool full = seated_.size() >= kMostSeats;
    const bool aloneWithRobots = readied && readied == starter() &&
                                 std::all_of(seated_.begin(), seated_.end(), [&](const User* u) {
                                     return u == readied || robotOf(u);
                                 });
    if (full || aloneWithRobots)
        return startGame();
    toAll(ReplyCode::Notice,
          "Everyone is ready: " + starter()->name + " starts the game with START");
}

void Room::startGame() {
    std::vector<std::string> names;
    for (const User* u : seated_)
        names.push_back(u->name.toStdString());
    const auto& options = lobby_.options();
    const std::uint64_t seed = options.seed
                                   ? *options.seed + 1000003ULL * number_ + 7919ULL * gamesStarted_
                                   : QRandomGenerator::global()->generate64();
    ++gamesStarted_;
    game_ = std::make_unique<Game>(names, options.judging, lobby_.words(), seed, this);
    holders_ = seated_;
    identifiedAtStart_.clear();
    keep_.clear();
    for (const User* u : holders_) {
        identifiedAtStart_.push_back(u->identified ? u->name : QByteArray());
        keep_.emplace_back(u->address, u->identified);
    }
    seated_.clear();
    ready_.clear();
    declined_.clear();
    startWantedBy_ = nullptr;
    moverSeat_ = -1;
    phase_ = Phase::Playing;
    madeFrom_.clear();
    updateFormClock();
    turnUsedMs_ = 0;
    beginJournal(seed); // what follows waits until the journal is kept
    toAll(ReplyCode::Notice, "The game begins");
    for (int row = 0; row < kBoardCells; ++row)
        toAll(ReplyCode::BoardRow, reply::boardRow(Grid(), row));
    game_->start();
    updateClock();
}

void Room::madeBy(const User& user) {
    madeFrom_ = user.address;
}

void Room::updateFormClock() {
    const int seconds = lobby_.options().formSeconds;
    const bool someoneWaits = std::any_of(ready_.begin(), ready_.end(),
                                          [this](const User* u) { return !robotOf(u); });
    if (seconds <= 0 || phase_ == Phase::Playing || someoneWaits)
        return formTimer_.stop();
    if (!formTimer_.isActive())
        formTimer_.start(std::chrono::seconds(seconds));
}

void Room::formTimeUp() {
    const int seconds = lobby_.options().formSeconds;
    const bool minutes = seconds % 60 == 0;
    const int count = minutes ? seconds / 60 : seconds;
    const QByteArray span = QByteArray::number(count) + (minutes ? " minute" : " second") +
                            (count == 1 ? "" : "s");
    toAll(ReplyCode::Notice, "Game " + QByteArray::number(number_) +
                                 " closes: nobody was ready to play for " + span);
    const std::vector<User*> members = members_;
    for (User* u : members) // the last one out lets the room go
        lobby_.backToLobby(*u);
}

} // namespace wordmoot::server
