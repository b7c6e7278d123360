#include "server/Room.h"

#include "protocol/ReplyCode.h"
#include "server/Client.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/WireText.h"

#include <algorithm>

namespace wordmoot::server {

const Room::Command Room::kCommands[] = {
    {"READY", &Room::ready},       {"OBSERVER", &Room::observe},    {"REFRESH", &Room::refresh},
    {"PLAY", &Room::play},         {"EXCHANGE", &Room::exchange},   {"FORFEIT", &Room::forfeit},
    {"WITHDRAW", &Room::withdraw}, {"APPROVE", &Room::approve},     {"ROBOT", &Room::robot},
    {"START", &Room::start},       {"CHALLENGE", &Room::challenge}, {"UNSEEN", &Room::unseen},
};

bool Room::isCommand(const QByteArray& word) {
    return std::any_of(std::begin(kCommands), std::end(kCommands),
                       [&](const Command& command) { return word == command.word; });
}

Room::Room(Lobby& lobby, int number)
    : lobby_(lobby)
    , number_(number) {
    const int ms = lobby.options().voteSeconds * 1000;
    voteTimer_.setSingleShot(true);
    voteTimer_.setInterval(ms);
    QObject::connect(&voteTimer_, &QTimer::timeout, [this] { game_->voteExpired(); });
    offerTimer_.setSingleShot(true);
    offerTimer_.setInterval(ms);
    QObject::connect(&offerTimer_, &QTimer::timeout, [this] { offerRefused(); });
    for (int i = 0; i < std::min(lobby.options().robots, kMostSeats - 1); ++i)
        addRobot();
}

Room::~Room() = default;

QByteArray Room::info() const {
    static const char* const kStates[] = {"FORM", "PLAY", "OVER"};
    const int players = phase_ == Phase::Playing ? game_->presentSeats() : int(seated_.size());
    const int observers = int(std::count_if(members_.begin(), members_.end(), [this](Client* c) {
        return !isSeated(*c) && seatOf(*c) < 0;
    }));
    return QByteArray::number(number_) + ' ' + kStates[int(phase_)] + ' ' +
           QByteArray::number(players) + ' ' + QByteArray::number(std::clamp(observers, 0, 9));
}

bool Room::command(Client& client, const QByteArray& word, const QByteArray& arg) {
    for (const Command& command : kCommands) {
        if (word == command.word) {
            (this->*command.handler)(client, arg);
            return true;
        }
    }
    return false;
}

void Room::join(Client& c) {
    toAll(ReplyCode::Notice, c.name + " joins the game");
    if (members_.empty())
        maker_ = &c;
    members_.push_back(&c);
    c.room = this;
    if (phase_ != Phase::Playing)
        return c.send(ReplyCode::Joined);
    // A game in play is watched: no question about playing, and the whole
    // position at once, whether or not the client asks for it.
    c.send(ReplyCode::WatchingGameInPlay);
    c.send(ReplyCode::Joined);
    sendPosition(c);
    offerSeat();
}

void Room::leave(Client& c, bool dropped) {
    std::erase(members_, &c);
    std::erase(seated_, &c);
    ready_.erase(&c);
    declined_.erase(&c);
    if (maker_ == &c)
        maker_ = nullptr;
    c.room = nullptr;
    if (!dropped)
        c.send(ReplyCode::Left);
    toAll(ReplyCode::Notice, c.name + (dropped ? " has gone" : " leaves the game"));
    if (offeredTo_ == &c)
        offerRefused();
    const int seat = seatOf(c);
    if (seat >= 0)
        holders_[seat] = nullptr;
    if (seat >= 0 && phase_ == Phase::Playing) {
        game_->leave(seat);
        if (phase_ == Phase::Playing)
            sendScores(nullptr);
        offerSeat();
        endIfTooFew();
    } else if (phase_ == Phase::Forming) {
        sendScores(nullptr);
        maybeStart(nullptr);
    }
    if (members_.empty())
        lobby_.roomEmptied(this);
}

void Room::renamed(Client& c) {
    if (const int seat = seatOf(c); seat >= 0 && game_)
        game_->rename(seat, c.name.toStdString());
}

void Room::ready(Client& c, const QByteArray&) {
    if (phase_ == Phase::Playing)
        return c.send(ReplyCode::Notice,
                      isSeated(c) ? "The game is in play"
                                  : "The game is in play: a seat is offered when one comes free");
    if (ready_.count(&c))
        return c.send(ReplyCode::Notice, "You are ready; the game starts when every player is");
    if (!isSeated(c) && seated_.size() >= kMostSeats) {
        c.send(ReplyCode::Notice, "The game has four players already: you watch");
        return c.send(ReplyCode::BecameObserver);
    }
    if (!isSeated(c))
        seated_.push_back(&c);
    ready_.insert(&c);
    phase_ = Phase::Forming;
    toAll(ReplyCode::Notice, c.name + " is ready to play (" +
                                 QByteArray::number(int(ready_.size())) + " of " +
                                 QByteArray::number(int(seated_.size())) + " ready)");
    sendScores(nullptr);
    maybeStart(&c);
}

void Room::observe(Client& c, const QByteArray&) {
    if (phase_ == Phase::Playing && seatOf(c) >= 0)
        return c.send(ReplyCode::Notice, "You are playing: LEAVE to give up your seat");
    if (offeredTo_ == &c)
        offerRefused();
    const bool wasSeated = isSeated(c);
    std::erase(seated_, &c);
    ready_.erase(&c);
    c.send(ReplyCode::BecameObserver);
    if (wasSeated && phase_ != Phase::Playing) {
        toAll(ReplyCode::Notice, c.name + " watches");
        sendScores(nullptr);
        maybeStart(nullptr);
    }
}

void Room::refresh(Client& c, const QByteArray&) {
    sendPosition(c);
}

// The whole position: every row, the players, every score entry, whose turn
// it is and, to a player, the rack.
void Room::sendPosition(Client& c) {
    const Grid board = game_ ? game_->shownBoard() : Grid();
    for (int row = 0; row < kBoardCells; ++row)
        c.send(ReplyCode::BoardRow, rowText(board, row));
    sendScores(&c);
    if (phase_ != Phase::Playing)
        return;
    const int turn = game_->turn();
    c.send(ReplyCode::WhoseTurn, nameOf(turn) + " to play");
    if (const int seat = seatOf(c); seat >= 0) {
        c.send(ReplyCode::Rack, QByteArray::fromStdString(game_->seats()[seat].rack));
        if (seat == turn && !game_->pending())
            c.send(ReplyCode::YourTurn, "Your turn");
    }
}

// 2000 with the players, then one 2008 each: name, the tiles left on the
// rack once the bag is empty (0, so not shown, before), score, status.
void Room::sendScores(Client* only) {
    QByteArray names;
    std::vector<QByteArray> entries;
    if (phase_ == Phase::Forming || !game_) {
        for (const Client* c : seated_) {
            names += c->name + ' ';
            entries.push_back(c->name + " 0 0 " + (ready_.count(c) ? "ready" : "waiting"));
        }
    } else {
        const auto& seats = game_->seats();
        for (std::size_t i = 0; i < seats.size(); ++i) {
            const QByteArray name = QByteArray::fromStdString(seats[i].name);
            names += name + ' ';
            const int held = game_->bagSize() == 0 ? int(seats[i].rack.size()) : 0;
            const char* status = phase_ == Phase::Over  ? "final"
                                 : !seats[i].present    ? "left"
                                 : int(i) == moverSeat_ ? "updated"
                                                        : "";
            entries.push_back(name + ' ' + QByteArray::number(held) + ' ' +
                              QByteArray::number(seats[i].score) + ' ' + status);
        }
    }
    for (Client* c : only ? std::vector<Client*>{only} : members_) {
        c->send(ReplyCode::Players, names.trimmed());
        for (const QByteArray& entry : entries)
            c->send(ReplyCode::Score, entry);
    }
}

// A seat without a player goes to the first observer who has not said no.
void Room::offerSeat() {
    if (phase_ != Phase::Playing || offeredTo_)
        return;
    const auto free = std::find(holders_.begin(), holders_.end(), nullptr);
    if (free == holders_.end())
        return;
    for (Client* c : members_) {
        if (seatOf(*c) >= 0 || declined_.count(c))
            continue;
        offeredTo_ = c;
        offeredSeat_ = int(free - holders_.begin());
        offerTimer_.start();
        return c->send(ReplyCode::SeatOffered,
                       "Take over the seat of " + nameOf(offeredSeat_) + "? APPROVE takes it");
    }
}

void Room::offerRefused() {
    if (offeredTo_)
        declined_.insert(offeredTo_);
    offeredTo_ = nullptr;
    offerTimer_.stop();
    offerSeat();
    endIfTooFew();
}

void Room::takeSeat(Client& c) {
    const int seat = offeredSeat_;
    offeredTo_ = nullptr;
    offerTimer_.stop();
    const QByteArray old = nameOf(seat);
    holders_[seat] = &c;
    game_->takeSeat(seat, c.name.toStdString());
    c.send(ReplyCode::TookOverSeat);
    toAll(ReplyCode::Notice, c.name + " takes over the seat of " + old);
    sendScores(nullptr);
    offerSeat();
}

// With fewer than two players and no seat on offer the game cannot go on.
void Room::endIfTooFew() {
    if (phase_ == Phase::Playing && !offeredTo_ && game_->presentSeats() < 2)
        game_->endForLackOfPlayers();
}

int Room::seatOf(const Client& c) const {
    const auto at = std::find(holders_.begin(), holders_.end(), &c);
    return phase_ != Phase::Forming && at != holders_.end() ? int(at - holders_.begin()) : -1;
}

bool Room::isSeated(const Client& c) const {
    return std::find(seated_.begin(), seated_.end(), &c) != seated_.end();
}

void Room::toAll(ReplyCode code, QByteArrayView text) {
    for (Client* c : members_)
        c->send(code, text);
}

void Room::toSeat(int seat, ReplyCode code, QByteArrayView text) {
    if (seat >= 0 && seat < int(holders_.size()) && holders_[seat])
        holders_[seat]->send(code, text);
}

} // namespace wordmoot::server
