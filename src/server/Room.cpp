#include "server/Room.h"

#include "server/CommandRegistry.h"
#include "server/EventLog.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/User.h"
#include "server/accounts/Names.h"
#include "shared/protocol/Commands.h"
#include "shared/protocol/ReplyCode.h"

#include <QRandomGenerator>

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
        {"START", "start", &Room::start},    {"PREVIEW", "preview", &Room::preview},
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
    , number_(number)
    , forming_([this](const User* u) { return robotOf(u) != nullptr; }, [this] { formTimeUp(); })
    , seats_([this] { graceEnds(); })
    , clock_(lobby.options().turnSeconds, lobby.options().gameMinutes,
             [this](int seat, SeatClock::Ring ring, int warningMs) {
                 clockRings(seat, ring, warningMs);
             }) {
    const int ms = lobby.options().voteSeconds * 1000;
    voteTimer_.setSingleShot(true);
    voteTimer_.setInterval(ms);
    QObject::connect(&voteTimer_, &QTimer::timeout,
                     [this] { act({GameInput::Kind::VoteExpired}); });
    offerTimer_.setSingleShot(true);
    offerTimer_.setInterval(ms);
    QObject::connect(&offerTimer_, &QTimer::timeout, [this] { offerRefused(); });
    for (int i = 0; i < std::min(lobby.options().robots, kMostSeats - 1); ++i)
        addRobot(lobby_.options().robotLevel);
    updateFormClock();
}

Room::~Room() = default;

reply::GameInfo Room::info() const {
    const int players =
        phase_ == Phase::Playing ? game_->presentSeats() : int(forming_.seated().size());
    const int observers = int(std::count_if(members_.begin(), members_.end(), [this](User* u) {
        return !forming_.isSeated(*u) && seatOf(*u) < 0;
    }));
    return {number_, reply::GameState(phase_), players, observers};
}

bool Room::isEmpty() const {
    return members_.empty() && !seats_.anyAway();
}

void Room::join(User& u) {
    if (const int seat = awaySeatFor(u); seat >= 0)
        return rejoin(u, seat);
    toAll(ReplyCode::Notice, u.name + " joins the game");
    if (members_.empty())
        forming_.setMaker(&u);
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

void Room::madeBy(const User& user) {
    forming_.madeFrom(user.address);
}

void Room::leave(User& u, bool dropped) {
    std::erase(members_, &u);
    forming_.forget(u);
    declined_.erase(&u);
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
        seats_[seat].holder = nullptr;
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
    const int seat = playingSeat(u);
    return seat >= 0 && seat == game_->turn();
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
    const bool seated = forming_.isSeated(u);
    if (phase_ == Phase::Playing)
        return tell(u, ReplyCode::Notice,
                    seated ? "The game is in play"
                           : "The game is in play: a seat is offered when one comes free");
    if (forming_.isReady(u))
        return tell(u, ReplyCode::Notice, "You are ready; the game starts when every player is");
    if (!seated && forming_.isFull()) {
        tell(u, ReplyCode::Notice, "The game has four players already: you watch");
        return tellRole(u, ReplyCode::BecameObserver);
    }
    forming_.sit(u);
    // However READY came (the player question's Yes or typed), a client that
    // holds itself a watcher hears it plays, so that it is put the votes.
    if (u.watching != false)
        tellRole(u, ReplyCode::JoinedAsPlayer);
    forming_.ready(u);
    phase_ = Phase::Forming;
    toAll(ReplyCode::Notice, u.name + " is ready to play (" +
                                 QByteArray::number(forming_.readyCount()) + " of " +
                                 QByteArray::number(int(forming_.seated().size())) + " ready)");
    sendScores(nullptr);
    maybeStart(&u);
}

void Room::observe(User& u, const QByteArray&) {
    if (playingSeat(u) >= 0)
        return tell(u, ReplyCode::Notice, "You are playing: LEAVE to give up your seat");
    if (offeredTo_ == &u)
        offerRefused();
    const bool wasSeated = forming_.isSeated(u);
    forming_.standUp(u);
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

void Room::start(User& u, const QByteArray&) {
    if (phase_ == Phase::Playing)
        return tell(u, ReplyCode::Notice, "The game is in play");
    const User* who = forming_.starter();
    if (&u != who)
        return tell(u, ReplyCode::Notice,
                    who ? who->name + " starts this game" : "Sit down first: READY");
    if (forming_.mayBegin())
        return startGame();
    forming_.wantBegin(u); // it begins as soon as it may
    if (forming_.seated().size() < 2)
        return tell(u, ReplyCode::Notice, "A game needs two players: it begins once another is "
                                          "ready, or seat a robot with ROBOT");
    tell(u, ReplyCode::Notice,
         "Waiting for " + forming_.notReady() + " to be ready: the game begins then");
}

// "robot" seats one more robot while the game forms, at the server's level or
// the one named ("robot champion"), "robot off" takes one away; never more
// players than the game has seats. Only a player seated in the forming game
// may, so nobody else decides who plays in it.
void Room::robot(User& u, const QByteArray& arg) {
    const std::optional<command::RobotAsk> ask = command::parseRobot(arg);
    const std::optional<robot::Level> level =
        !ask || ask->level.isEmpty() ? lobby_.options().robotLevel
                                     : robot::parseLevel(ask->level.toStdString());
    if (!ask || !level)
        return tell(u, ReplyCode::Notice,
                    "robot seats a computer player (robot casual, greedy, strong or champion "
                    "for that level), robot off takes one away");
    if (phase_ == Phase::Playing)
        return tell(u, ReplyCode::Notice, "Robots come and go only before the game begins");
    if (!forming_.isSeated(u))
        return tell(u, ReplyCode::Notice, "Only a player of this game seats or sends away a robot");
    if (!ask->seat)
        return removeRobot(u);
    if (forming_.isFull())
        return tell(u, ReplyCode::Notice, "The game has four players already");
    addRobot(*level);
    maybeStart(nullptr);
}

// The whole position: every row, the players, every score entry, whose turn
// it is and, to a player, the rack; to a watcher an empty rack, so that none
// from an earlier game stays on its screen.
void Room::sendPosition(User& u) {
    const Grid board = game_ ? game_->shownBoard() : Grid();
    for (int row = 0; row < kBoardCells; ++row)
        tell(u, ReplyCode::BoardRow, reply::boardRow(board, row));
    sendScores(&u);
    if (seatOf(u) < 0 && !forming_.isSeated(u))
        tell(u, ReplyCode::Rack, reply::rack(""));
    sendTable(&u);
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
        for (const User* u : forming_.seated())
            entries.push_back({u->name, 0, 0, forming_.isReady(*u) ? "ready" : "waiting"});
    } else {
        const auto& seats = game_->seats();
        for (std::size_t i = 0; i < seats.size(); ++i) {
            const int held = game_->bagSize() == 0 ? int(seats[i].rack.size()) : 0;
            const char* status = phase_ == Phase::Over      ? "final"
                                 : !seats[i].present        ? "left"
                                 : int(i) == moverSeat_     ? "updated"
                                 : seats_.isAway(int(i))    ? "away"
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

void Room::maybeStart(const User* readied) {
    if (phase_ == Phase::Playing)
        return;
    switch (forming_.next(readied)) {
    case Forming::Next::Wait:
        return;
    case Forming::Next::Begin:
        return startGame();
    case Forming::Next::AskStarter:
        return toAll(ReplyCode::Notice,
                     "Everyone is ready: " + forming_.starter()->name + " starts the game with START");
    }
}

void Room::startGame() {
    const std::vector<User*> players = forming_.begin();
    std::vector<std::string> names;
    for (const User* u : players)
        names.push_back(u->name.toStdString());
    const auto& options = lobby_.options();
    const std::uint64_t seed = options.seed
                                   ? *options.seed + 1000003ULL * number_ + 7919ULL * gamesStarted_
                                   : QRandomGenerator::global()->generate64();
    ++gamesStarted_;
    game_ = std::make_unique<Game>(names, options.judging, lobby_.words(), seed, this);
    seats_.begin(players);
    clock_.begin(int(players.size()));
    declined_.clear();
    moverSeat_ = -1;
    phase_ = Phase::Playing;
    updateFormClock();
    beginJournal(seed); // what follows waits until the journal is kept
    toAll(ReplyCode::Notice, "The game begins");
    for (int row = 0; row < kBoardCells; ++row)
        toAll(ReplyCode::BoardRow, reply::boardRow(Grid(), row));
    game_->start();
    movesTold_ = 0;
    sendTable(nullptr);
    updateClock();
}

// A game not in play closes once no person has been ready in it for
// --form-minutes: its number is free for a game someone will play.
void Room::updateFormClock() {
    forming_.updateTimer(lobby_.options().formSeconds, phase_ == Phase::Playing);
}

void Room::formTimeUp() {
    toAll(ReplyCode::Notice, "Game " + QByteArray::number(number_) +
                                 " closes: nobody was ready to play for " +
                                 Announcer::spokenTime(lobby_.options().formSeconds));
    const std::vector<User*> members = members_;
    for (User* u : members) // the last one out lets the room go
        lobby_.backToLobby(*u);
}

void Room::offerSeat() {
    if (phase_ != Phase::Playing || offeredTo_)
        return;
    const int free = seats_.firstFree();
    if (free < 0)
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
    seats_.hold(seat, u);
    clock_.newPlayer(seat);
    act({GameInput::Kind::TakeSeat, seat, {}, u.name.toStdString()}, {seatLine(seat, u.name)});
    tellRole(u, ReplyCode::TookOverSeat);
    tell(u, ReplyCode::Rack, reply::rack(game_->seats()[seat].rack));
    toAll(ReplyCode::Notice, u.name + " takes over the seat of " + old);
    sendScores(nullptr);
    offerSeat();
    updateClock();
    wakeRobots(game_->turn(), lobby_.options().robotDelayMs); // one may have waited for a player
}

void Room::endIfTooFew() {
    if (phase_ == Phase::Playing && !offeredTo_ && game_->presentSeats() < 2)
        act({GameInput::Kind::EndForLack});
}

// For --seat-grace-seconds a seat whose player dropped keeps its rack and
// score and its clock stops; the game goes on around it, but waits at its
// turn. Once the time is up the seat counts as left, and goes to a watcher
// as any seat left does.
bool Room::keepSeat(User& u, int seat) {
    const int grace = lobby_.options().seatGraceSeconds;
    if (seat < 0 || phase_ != Phase::Playing || grace <= 0 || robotOf(&u) || u.quitting)
        return false;
    seats_.keep(seat, grace * 1000LL);
    toAll(ReplyCode::Notice,
          u.name + " lost the connection; the seat is kept for " + Announcer::spokenTime(grace));
    logEvent("away", field("seat", seat) + ' ' + field("player", u.name));
    updateClock();
    sendScores(nullptr);
    return true;
}

int Room::awaySeatFor(const User& u) const {
    return phase_ == Phase::Playing ? seats_.keptFor(u, seatNames()) : -1;
}

bool Room::mayTakeName(const User& u, const QByteArray& name) const {
    return phase_ != Phase::Playing || seats_.mayTakeName(u, name, seatNames());
}

// Back in the seat with its rack, whoever's turn it is: the client hears it
// watches the game in play, has joined, and has taken over the seat, then
// the whole position.
void Room::rejoin(User& u, int seat) {
    seats_.back(seat, u);
    toAll(ReplyCode::Notice, u.name + " is back in the seat");
    sendScores(nullptr); // to the others: the seat is no longer away
    logEvent("back", field("seat", seat) + ' ' + field("player", u.name));
    members_.push_back(&u);
    u.room = this;
    tellRole(u, ReplyCode::WatchingGameInPlay);
    tell(u, ReplyCode::Joined);
    tellRole(u, ReplyCode::TookOverSeat);
    sendPosition(u);
    // A play waiting for the others' vote is put to the player again.
    if (const auto& pending = game_->pending(); pending && pending->seat != seat)
        tell(u, ReplyCode::PlayMade,
             reply::playMade(nameOf(pending->seat), pending->score, pending->play));
    updateClock();
}

void Room::proved(User& u) {
    const int seat = awaySeatFor(u);
    if (seat < 0)
        return;
    std::erase(members_, &u);
    declined_.erase(&u);
    if (offeredTo_ == &u)
        offerRefused();
    rejoin(u, seat);
}

void Room::graceEnds() {
    for (const int seat : seats_.expire()) {
        if (phase_ != Phase::Playing)
            break;
        toAll(ReplyCode::Notice, nameOf(seat) + " did not come back: the seat is free");
        seatLost(seat);
    }
    if (isEmpty())
        lobby_.roomEmptied(this);
}

void Room::seatLost(int seat) {
    seats_[seat].holder = nullptr;
    act({GameInput::Kind::Leave, seat});
    if (phase_ != Phase::Playing)
        return;
    sendScores(nullptr);
    offerSeat();
    endIfTooFew();
}

void Room::addRobot(robot::Level level) {
    int number = 1;
    const auto taken = [this](const QByteArray& name) {
        return std::any_of(robots_.begin(), robots_.end(),
                           [&](const auto& r) { return r->name == name; });
    };
    while (taken(robotName(number)))
        ++number;
    const auto& options = lobby_.options();
    const std::uint64_t seed = options.seed ? *options.seed + 7919ULL * number_ + number
                                            : QRandomGenerator::global()->generate64();
    User* robot = newRobot(robotName(number), level, seed);
    forming_.sit(*robot);
    forming_.ready(*robot);
    phase_ = Phase::Forming;
    toAll(ReplyCode::Notice, robot->name + " joins the game, ready to play (" +
                                 QByteArray::number(forming_.readyCount()) + " of " +
                                 QByteArray::number(int(forming_.seated().size())) + " ready)");
    sendScores(nullptr);
}

User* Room::newRobot(QByteArray name, robot::Level level, std::uint64_t seed) {
    robots_.push_back(std::make_unique<RobotSeat>(std::move(name), lobby_.newRobotId(), level,
                                                  seed, [this](RobotSeat& r) { robotActs(r); }));
    return robots_.back().get();
}

void Room::removeRobot(User& u) {
    User* robot = forming_.lastRobot();
    if (!robot)
        return tell(u, ReplyCode::Notice, "No robot sits in this game");
    forming_.standUp(*robot);
    seats_.release(robot);
    toAll(ReplyCode::Notice, robot->name + " leaves the game");
    std::erase_if(robots_, [robot](const auto& r) { return r.get() == robot; });
    sendScores(nullptr);
    maybeStart(nullptr);
}

RobotSeat* Room::robotOf(const User* u) const {
    const auto at = std::find_if(robots_.begin(), robots_.end(),
                                 [u](const auto& robot) { return robot.get() == u; });
    return at == robots_.end() ? nullptr : at->get();
}

int Room::playingSeat(const User& u) const {
    return phase_ == Phase::Playing ? seats_.of(u) : -1;
}

// After a game, its players stay in their seats' records until the next
// begins; they hold no seat of a game that forms.
int Room::seatOf(const User& u) const {
    return phase_ != Phase::Forming ? seats_.of(u) : -1;
}

QByteArray Room::nameOf(int seat) const {
    return QByteArray::fromStdString(game_->seats()[seat].name);
}

std::vector<QByteArray> Room::seatNames() const {
    std::vector<QByteArray> names;
    for (int seat = 0; seat < seats_.size(); ++seat)
        names.push_back(nameOf(seat));
    return names;
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
    if (User* holder = seats_.holder(seat))
        tell(*holder, code, text);
}

} // namespace wordmoot::server
