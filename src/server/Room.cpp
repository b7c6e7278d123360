#include "server/Room.h"

#include "server/accounts/Names.h"
#include "shared/protocol/ReplyCode.h"
#include "server/CommandRegistry.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/User.h"

#include <algorithm>

namespace wordmoot::server {

// The commands of a game, answered by the user's room, whose forming clock
// then looks again at who is ready.
void Room::addCommands(CommandRegistry& commands) {
    const struct {
        const char* word;
        const char* help;
        Handler handler;
    } game[] = {
        {"READY", "", &Room::ready},         {"OBSERVER", "", &Room::observe},
        {"REFRESH", "refresh", &Room::refresh}, {"PLAY", "", &Room::play},
        {"EXCHANGE", "", &Room::exchange},   {"FORFEIT", "", &Room::forfeit},
        {"WITHDRAW", "", &Room::withdraw},   {"APPROVE", "approve", &Room::approve},
        {"ROBOT", "", &Room::robot},         {"CHALLENGE", "challenge", &Room::challenge},
        {"UNSEEN", "unseen", &Room::unseen}, {"HINT", "hint", &Room::hint},
        {"START", "start", &Room::start},
    };
    for (const auto& command : game) {
        const Handler handler = command.handler;
        commands.add(command.word, CommandRegistry::From::InGame, command.help,
                     [handler](User& u, const QByteArray& arg) {
                         Room& room = *u.room;
                         (room.*handler)(u, arg);
                         room.updateFormClock();
                     });
    }
}

Room::Room(Lobby& lobby, int number)
    : lobby_(lobby)
    , number_(number) {
    const int ms = lobby.options().voteSeconds * 1000;
    voteTimer_.setSingleShot(true);
    voteTimer_.setInterval(ms);
    QObject::connect(&voteTimer_, &QTimer::timeout,
                     [this] { act({GameInput::Kind::VoteExpired}); });
    graceTimer_.setSingleShot(true);
    QObject::connect(&graceTimer_, &QTimer::timeout, [this] { graceEnds(); });
    clockTimer_.setSingleShot(true);
    clockTimer_.setTimerType(Qt::PreciseTimer); // a warning on the second
    QObject::connect(&clockTimer_, &QTimer::timeout, [this] { clockRings(); });
    offerTimer_.setSingleShot(true);
    offerTimer_.setInterval(ms);
    QObject::connect(&offerTimer_, &QTimer::timeout, [this] { offerRefused(); });
    formTimer_.setSingleShot(true);
    QObject::connect(&formTimer_, &QTimer::timeout, [this] { formTimeUp(); });
    for (int i = 0; i < std::min(lobby.options().robots, kMostSeats - 1); ++i)
        addRobot(lobby_.options().robotLevel);
    updateFormClock();
}

Room::~Room() = default;

reply::GameInfo Room::info() const {
    const int players = phase_ == Phase::Playing ? game_->presentSeats() : int(seated_.size());
    const int observers = int(std::count_if(members_.begin(), members_.end(), [this](User* u) {
        return !isSeated(*u) && seatOf(*u) < 0;
    }));
    return {number_, reply::GameState(phase_), players, observers};
}

bool Room::isEmpty() const {
    return members_.empty() &&
           std::none_of(keep_.begin(), keep_.end(), [](const Keep& k) { return k.away; });
}

void Room::join(User& u) {
    if (const int seat = awaySeatFor(u); seat >= 0)
        return rejoin(u, seat);
    toAll(ReplyCode::Notice, u.name + " joins the game");
    if (members_.empty())
        maker_ = &u;
    members_.push_back(&u);
    u.room = this;
    if (phase_ == Phase::Over)
        u.watching.reset(); // a client shown the game as in play watches it
    if (phase_ != Phase::Playing)
        return tell(u, ReplyCode::Joined);
    // A game in play is watched: no question about playing, and the whole
    // position at once, whether or not the client asks for it.
    tellRole(u, ReplyCode::WatchingGameInPlay);
    tell(u, ReplyCode::Joined);
    sendPosition(u);
    offerSeat();
}

void Room::leave(User& u, bool dropped) {
    std::erase(members_, &u);
    std::erase(seated_, &u);
    ready_.erase(&u);
    declined_.erase(&u);
    if (maker_ == &u)
        maker_ = nullptr;
    if (startWantedBy_ == &u)
        startWantedBy_ = nullptr;
    u.room = nullptr;
    // Out of the game, the user waits for none of its lines.
    outbox_.forget(u);
    if (!dropped)
        u.send(ReplyCode::Left);
    const int seat = seatOf(u);
    if (offeredTo_ == &u)
        offerRefused();
    if (dropped && keepSeat(u, seat))
        return;
    toAll(ReplyCode::Notice, u.name + (dropped ? " has gone" : " leaves the game"));
    if (seat >= 0)
        holders_[seat] = nullptr;
    if (seat >= 0 && phase_ == Phase::Playing) {
        act({GameInput::Kind::Leave, seat});
        if (phase_ == Phase::Playing)
            sendScores(nullptr);
        offerSeat();
        endIfTooFew();
    } else if (phase_ == Phase::Forming) {
        sendScores(nullptr);
        maybeStart(nullptr);
    }
    updateFormClock();
    if (members_.empty())
        lobby_.roomEmptied(this);
}

void Room::renamed(User& u) {
    const int seat = seatOf(u);
    if (seat < 0 || !game_)
        return;
    if (phase_ == Phase::Playing)
        act({GameInput::Kind::Rename, seat, {}, u.name.toStdString()});
    else
        game_->rename(seat, u.name.toStdString());
}

bool Room::isOnTurn(const User& u) const {
    return phase_ == Phase::Playing && game_ && seatOf(u) >= 0 && seatOf(u) == game_->turn();
}

bool Room::hasSeatNamed(const QByteArray& name, const User& other) const {
    if (phase_ != Phase::Playing)
        return false;
    const int own = seatOf(other);
    for (int seat = 0; seat < int(game_->seats().size()); ++seat)
        if (seat != own && accounts::lookAlike(nameOf(seat), name))
            return true;
    return false;
}

void Room::ready(User& u, const QByteArray&) {
    if (phase_ == Phase::Playing)
        return tell(u, ReplyCode::Notice,
                      isSeated(u) ? "The game is in play"
                                  : "The game is in play: a seat is offered when one comes free");
    if (ready_.count(&u))
        return tell(u, ReplyCode::Notice, "You are ready; the game starts when every player is");
    if (!isSeated(u) && seated_.size() >= kMostSeats) {
        tell(u, ReplyCode::Notice, "The game has four players already: you watch");
        return tellRole(u, ReplyCode::BecameObserver);
    }
    if (!isSeated(u))
        seated_.push_back(&u);
    // However READY came (the player question's Yes or typed), a client that
    // holds itself a watcher hears it plays, so that it is put the votes.
    if (u.watching != false)
        tellRole(u, ReplyCode::JoinedAsPlayer);
    ready_.insert(&u);
    phase_ = Phase::Forming;
    toAll(ReplyCode::Notice, u.name + " is ready to play (" +
                                 QByteArray::number(int(ready_.size())) + " of " +
                                 QByteArray::number(int(seated_.size())) + " ready)");
    sendScores(nullptr);
    maybeStart(&u);
}

void Room::observe(User& u, const QByteArray&) {
    if (phase_ == Phase::Playing && seatOf(u) >= 0)
        return tell(u, ReplyCode::Notice, "You are playing: LEAVE to give up your seat");
    if (offeredTo_ == &u)
        offerRefused();
    const bool wasSeated = isSeated(u);
    std::erase(seated_, &u);
    ready_.erase(&u);
    tellRole(u, ReplyCode::BecameObserver);
    if (wasSeated && phase_ != Phase::Playing) {
        toAll(ReplyCode::Notice, u.name + " watches");
        sendScores(nullptr);
        maybeStart(nullptr);
    }
}

void Room::refresh(User& u, const QByteArray&) {
    sendPosition(u);
    if (const QByteArray clock = clockText(); !clock.isEmpty())
        tell(u, ReplyCode::Notice, clock);
}

// The whole position: every row, the players, every score entry, whose turn
// it is and, to a player, the rack; to a watcher an empty rack, so that none
// from an earlier game stays on its screen.
void Room::sendPosition(User& u) {
    const Grid board = game_ ? game_->shownBoard() : Grid();
    for (int row = 0; row < kBoardCells; ++row)
        tell(u, ReplyCode::BoardRow, reply::boardRow(board, row));
    sendScores(&u);
    if (seatOf(u) < 0 && !isSeated(u))
        tell(u, ReplyCode::Rack, reply::rack(""));
    if (phase_ != Phase::Playing)
        return;
    const int turn = game_->turn();
    tell(u, ReplyCode::WhoseTurn, reply::whoseTurn(nameOf(turn)));
    if (const int seat = seatOf(u); seat >= 0) {
        tell(u, ReplyCode::Rack, reply::rack(game_->seats()[seat].rack));
        if (seat == turn && !game_->pending())
            tell(u, ReplyCode::YourTurn, reply::yourTurn(std::nullopt));
    }
}

// 2000 with the players, then one 2008 each: name, the tiles left on the
// rack once the bag is empty (0, so not shown, before), score, status.
void Room::sendScores(User* only) {
    std::vector<reply::ScoreEntry> entries;
    if (phase_ == Phase::Forming || !game_) {
        for (const User* u : seated_)
            entries.push_back({u->name, 0, 0, ready_.count(u) ? "ready" : "waiting"});
    } else {
        const auto& seats = game_->seats();
        for (std::size_t i = 0; i < seats.size(); ++i) {
            const int held = game_->bagSize() == 0 ? int(seats[i].rack.size()) : 0;
            const char* status = phase_ == Phase::Over  ? "final"
                                 : !seats[i].present    ? "left"
                                 : int(i) == moverSeat_ ? "updated"
                                 : isAway(int(i))       ? "away"
                                                        : "";
            entries.push_back(
                {QByteArray::fromStdString(seats[i].name), held, seats[i].score, status});
        }
    }
    std::vector<QByteArray> names;
    for (const reply::ScoreEntry& entry : entries)
        names.push_back(entry.player);
    const QByteArray players = reply::players(names);
    for (User* u : only ? std::vector<User*>{only} : members_) {
        tell(*u, ReplyCode::Players, players);
        for (const reply::ScoreEntry& entry : entries)
            tell(*u, ReplyCode::Score, reply::score(entry));
    }
}

// A seat without a player goes to the first observer who has not said no.
void Room::offerSeat() {
    if (phase_ != Phase::Playing || offeredTo_)
        return;
    int free = 0;
    while (free < int(holders_.size()) && (holders_[free] || isAway(free)))
        ++free;
    if (free == int(holders_.size()))
        return;
    for (User* u : members_) {
        if (seatOf(*u) >= 0 || declined_.count(u))
            continue;
        offeredTo_ = u;
        offeredSeat_ = free;
        offerTimer_.start();
        return tell(*u, ReplyCode::SeatOffered,
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

void Room::takeSeat(User& u) {
    const int seat = offeredSeat_;
    offeredTo_ = nullptr;
    offerTimer_.stop();
    const QByteArray old = nameOf(seat);
    holders_[seat] = &u;
    keep_[seat].address = u.address;
    keep_[seat].identified = u.identified;
    keep_[seat].timeouts = 0;
    act({GameInput::Kind::TakeSeat, seat, {}, u.name.toStdString()}, {seatLine(seat, u.name)});
    tellRole(u, ReplyCode::TookOverSeat);
    tell(u, ReplyCode::Rack, reply::rack(game_->seats()[seat].rack));
    toAll(ReplyCode::Notice, u.name + " takes over the seat of " + old);
    sendScores(nullptr);
    offerSeat();
    updateClock();
    wakeRobots(game_->turn(), lobby_.options().robotDelayMs); // one may have waited for a player
}

// With fewer than two players and no seat on offer the game cannot go on.
void Room::endIfTooFew() {
    if (phase_ == Phase::Playing && !offeredTo_ && game_->presentSeats() < 2)
        act({GameInput::Kind::EndForLack});
}

int Room::seatOf(const User& u) const {
    const auto at = std::find(holders_.begin(), holders_.end(), &u);
    return phase_ != Phase::Forming && at != holders_.end() ? int(at - holders_.begin()) : -1;
}

bool Room::isSeated(const User& u) const {
    return std::find(seated_.begin(), seated_.end(), &u) != seated_.end();
}

void Room::tellRole(User& u, ReplyCode code) {
    tell(u, code);
    u.noteRole(code);
}

void Room::toAll(ReplyCode code, QByteArrayView text) {
    for (User* u : members_)
        tell(*u, code, text);
}

void Room::toSeat(int seat, ReplyCode code, QByteArrayView text) {
    if (seat >= 0 && seat < int(holders_.size()) && holders_[seat])
        tell(*holders_[seat], code, text);
}

} // namespace wordmoot::server
