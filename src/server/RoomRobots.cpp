#include "shared/protocol/Commands.h"
#include "shared/protocol/ReplyCode.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/Room.h"

#include "shared/rules/GameRecord.h"

#include <QRandomGenerator>

#include <algorithm>

namespace wordmoot::server {

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
    if (!isSeated(u))
        return tell(u, ReplyCode::Notice, "Only a player of this game seats or sends away a robot");
    if (!ask->seat)
        return removeRobot(u);
    if (seated_.size() >= kMostSeats)
        return tell(u, ReplyCode::Notice, "The game has four players already");
    addRobot(*level);
    maybeStart(nullptr);
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
    seated_.push_back(robot);
    ready_.insert(robot);
    phase_ = Phase::Forming;
    toAll(ReplyCode::Notice, robot->name + " joins the game, ready to play (" +
                                 QByteArray::number(int(ready_.size())) + " of " +
                                 QByteArray::number(int(seated_.size())) + " ready)");
    sendScores(nullptr);
}

User* Room::newRobot(QByteArray name, robot::Level level, std::uint64_t seed) {
    robots_.push_back(std::make_unique<RobotSeat>(std::move(name), lobby_.newRobotId(), level,
                                                  seed, [this](RobotSeat& r) { robotActs(r); }));
    return robots_.back().get();
}

void Room::removeRobot(User& u) {
    const auto last = std::find_if(seated_.rbegin(), seated_.rend(),
                                   [this](const User* seated) { return robotOf(seated); });
    if (last == seated_.rend())
        return tell(u, ReplyCode::Notice, "No robot sits in this game");
    User* robot = *last;
    seated_.erase(std::next(last).base());
    ready_.erase(robot);
    std::replace(holders_.begin(), holders_.end(), robot, static_cast<User*>(nullptr));
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

// Called when a turn begins (the seat on turn) or a play is put to the vote
// (-1): the robots it concerns look at the game after the delay.
void Room::wakeRobots(int seat, int delayMs) {
    for (const auto& robot : robots_) {
        const int own = seatOf(*robot);
        if (own >= 0 && (seat < 0 || own == seat))
            robot->wake(delayMs);
    }
}

// What the robot does about the game as it stands now: answer a play put to
// the others, approving it when it knows every word and challenging (or
// refusing) it otherwise, or make its move on its turn. A robot without a
// word list has nothing to judge by and approves.
void Room::robotActs(RobotSeat& robot) {
    const int seat = seatOf(robot);
    if (phase_ != Phase::Playing || seat < 0)
        return;
    const robot::Brain& brain = lobby_.brain();
    if (const auto& pending = game_->pending()) {
        if (pending->seat == seat)
            return;
        const bool approves =
            !game_->words() || brain.knowsEveryWord(game_->board(), pending->play);
        act({approves ? GameInput::Kind::Approve : GameInput::Kind::Challenge, seat});
        return;
    }
    if (game_->turn() != seat)
        return;
    if (offeredTo_ && game_->presentSeats() < 2)
        return; // alone, it waits to see whether someone takes the seat on offer
    const Ticket ticket = ticketFor(robot.id(), seat);
    lobby_.thinkPool().think(requestFor(seat, robot.level(), robot.random()()), &answers_,
                             [this, ticket](const robot::Move& move) { robotAnswered(ticket, move); });
}

Room::Ticket Room::ticketFor(int robot, int seat) const {
    return {robot, seat, gamesStarted_, game_->turnNumber()};
}

bool Room::isCurrent(const Ticket& ticket) const {
    return phase_ == Phase::Playing && ticket.game == gamesStarted_ &&
           ticket.turn == game_->turnNumber() && game_->turn() == ticket.seat && !game_->pending();
}

// What the seat's think reads, copied: only in a game of two are the tiles
// it has not seen the other side's.
robot::ThinkRequest Room::requestFor(int seat, robot::Level level, std::uint64_t seed) const {
    const std::string unseen = game_->seats().size() == 2 ? game_->unseenBy(seat) : "";
    return {game_->shownBoard(),
            game_->seats()[seat].rack,
            game_->bagSize(),
            unseen,
            lobby_.options().robotThinkMs,
            level,
            seed};
}

// The robot's move, thought out on another thread: made only if the robot
// still sits in this game and the game is still at the turn it was asked on.
void Room::robotAnswered(const Ticket& ticket, const robot::Move& move) {
    const auto robot = std::find_if(robots_.begin(), robots_.end(),
                                    [&](const auto& r) { return r->id() == ticket.robot; });
    if (robot == robots_.end() || seatOf(**robot) != ticket.seat || !isCurrent(ticket))
        return; // the game has moved on
    if (const auto refused = act(robot::inputOf(move, ticket.seat))) {
        qWarning("robot %s: move refused: %s", (*robot)->name.constData(), refused->reason.c_str());
        act({GameInput::Kind::Pass, ticket.seat});
    }
}

// The champion's move for the player on turn, in a game against robots
// alone, where a hint helps nobody against another person.
void Room::hint(User& u, const QByteArray&) {
    const int seat = seatOf(u);
    if (phase_ != Phase::Playing || seat < 0)
        return tell(u, ReplyCode::Notice, "You are not playing in a game in play");
    for (int other = 0; other < int(holders_.size()); ++other)
        if (other != seat && game_->seats()[other].present && !robotOf(holders_[other]))
            return tell(u, ReplyCode::Notice, "Hints are only for a game against robots");
    if (game_->turn() != seat || game_->pending())
        return tell(u, ReplyCode::Notice, "A hint is only for the player on turn");
    lobby_.thinkPool().think(
        requestFor(seat, robot::Level::Champion, std::uint64_t(game_->turnNumber())), &answers_,
        [this, ticket = ticketFor(0, seat)](const robot::Move& move) { hintAnswered(ticket, move); });
}

// "Hint: 8D VAL.T for 24", as a record writes the play; dropped once the
// player has moved.
void Room::hintAnswered(const Ticket& ticket, const robot::Move& move) {
    if (!isCurrent(ticket))
        return;
    QByteArray text = "Hint: pass";
    if (move.kind == robot::Move::Kind::Play)
        text = "Hint: " + QByteArray::fromStdString(playNotation(game_->board(), move.play)) +
               " for " + QByteArray::number(move.score);
    else if (move.kind == robot::Move::Kind::Exchange)
        text = "Hint: exchange " + QByteArray::fromStdString(recordTiles(move.tiles));
    toSeat(ticket.seat, ReplyCode::Notice, text);
}

} // namespace wordmoot::server
