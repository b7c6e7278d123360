#include "shared/protocol/Commands.h"
#include "shared/protocol/ReplyCode.h"
#include "server/EventLog.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/Room.h"
#include "server/Standings.h"
#include "server/User.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <set>

namespace wordmoot::server {

namespace {
ReplyCode refusalCode(Refusal kind) {
    switch (kind) {
    case Refusal::Turn:
        return ReplyCode::PlayNotYours;
    case Refusal::Tiles:
        return ReplyCode::PlayBadTiles;
    case Refusal::Placement:
        return ReplyCode::PlayBadPlacement;
    case Refusal::Words:
        return ReplyCode::PlayBadWords;
    }
    return ReplyCode::PlayNotYours;
}

} // namespace

void Room::play(User& u, const QByteArray& arg) {
    const int seat = seatOf(u);
    if (phase_ != Phase::Playing || seat < 0)
        return tell(u, ReplyCode::PlayNotYours, "You are not playing in a game in play");
    const std::optional<Play> tiles = command::parsePlay(arg);
    if (!tiles)
        return tell(u, ReplyCode::PlayBadTiles, "A play is up to seven tiles as column,row,LETTER");
    if (const auto refused = act({GameInput::Kind::Play, seat, *tiles}))
        tell(u, refusalCode(refused->kind),
               QByteArray::fromStdString("Refused: " + refused->reason));
}

void Room::exchange(User& u, const QByteArray& arg) {
    const int seat = seatOf(u);
    if (phase_ != Phase::Playing || seat < 0)
        return tell(u, ReplyCode::Notice, "You are not playing in a game in play");
    const std::optional<std::string> tiles = command::parseExchange(arg);
    if (!tiles)
        return tell(u, ReplyCode::Notice,
                      "Exchange refused: name the tiles by their letters, _ for a blank");
    if (const auto refused = act({GameInput::Kind::Exchange, seat, {}, *tiles}))
        tell(u, ReplyCode::Notice,
               QByteArray::fromStdString("Exchange refused: " + refused->reason));
}

void Room::forfeit(User& u, const QByteArray&) {
    const int seat = seatOf(u);
    if (phase_ != Phase::Playing || seat < 0)
        return tell(u, ReplyCode::Notice, "You are not playing in a game in play");
    if (const auto refused = act({GameInput::Kind::Pass, seat}))
        tell(u, ReplyCode::Notice, QByteArray::fromStdString("Pass refused: " + refused->reason));
}

// With a play waiting for the vote, WITHDRAW takes it back; without one, the
// rack goes out again, which puts the tiles laid but not sent back on it.
void Room::withdraw(User& u, const QByteArray&) {
    const int seat = seatOf(u);
    if (phase_ != Phase::Playing || seat < 0)
        return tell(u, ReplyCode::Notice, "You are not playing in a game in play");
    const auto& pending = game_->pending();
    if (!pending || pending->seat != seat)
        return tell(u, ReplyCode::Rack, reply::rack(game_->seats()[seat].rack));
    if (const auto refused = act({GameInput::Kind::Withdraw, seat}))
        tell(u, ReplyCode::Notice,
               QByteArray::fromStdString("Withdraw refused: " + refused->reason));
}

void Room::approve(User& u, const QByteArray&) {
    if (phase_ == Phase::Playing && offeredTo_ == &u)
        return takeSeat(u);
    const int seat = seatOf(u);
    if (phase_ != Phase::Playing || seat < 0 || act({GameInput::Kind::Approve, seat}))
        tell(u, ReplyCode::Notice, "There is nothing for you to approve");
}

void Room::challenge(User& u, const QByteArray&) {
    const int seat = seatOf(u);
    if (phase_ != Phase::Playing || seat < 0 || act({GameInput::Kind::Challenge, seat}))
        tell(u, ReplyCode::Notice, "There is no play for you to challenge");
}

// The tiles the user has not seen, in alphabetical order (a blank last): to
// a player the bag and the others' racks, to a watcher every rack too.
void Room::unseen(User& u, const QByteArray&) {
    if (phase_ != Phase::Playing)
        return tell(u, ReplyCode::Notice, "No game is in play");
    const QByteArray tiles = QByteArray::fromStdString(game_->unseenBy(seatOf(u)));
    tell(u, ReplyCode::Notice, "Unseen " + QByteArray::number(tiles.size()) + ": " + tiles);
}

QByteArray Room::nameOf(int seat) const {
    return QByteArray::fromStdString(game_->seats()[seat].name);
}

void Room::sendRows(const Play& play) {
    std::set<int> rows;
    for (const LaidTile& t : play)
        rows.insert(t.row);
    const Grid board = game_->shownBoard();
    for (const int row : rows)
        toAll(ReplyCode::BoardRow, reply::boardRow(board, row));
}

void Room::startingTileDrawn(int seat, char tile, bool redraw) {
    const QByteArray name = nameOf(seat);
    if (redraw)
        toSeat(seat, ReplyCode::StartingLetter, reply::startingLetter(tile));
    toAll(ReplyCode::Notice, name + " draws " + tile + " for the start");
}

void Room::rackChanged(int seat) {
    toSeat(seat, ReplyCode::Rack, reply::rack(game_->seats()[seat].rack));
}

void Room::scoresChanged(int moverSeat) {
    moverSeat_ = moverSeat;
    sendScores(nullptr);
}

void Room::turnBegins(int seat, std::optional<char> startingTile) {
    toAll(ReplyCode::WhoseTurn, reply::whoseTurn(nameOf(seat)));
    wakeRobots(seat, lobby_.options().robotDelayMs);
    toSeat(seat, ReplyCode::YourTurn, reply::yourTurn(startingTile));
}

void Room::exchanged(int seat, int count) {
    toAll(ReplyCode::Notice, nameOf(seat) + " exchanges " + QByteArray::number(count) +
                                 (count == 1 ? " tile" : " tiles"));
}

void Room::passed(int seat) {
    toAll(ReplyCode::Notice, nameOf(seat) + " passes");
}

void Room::turnLost(int seat) {
    toAll(ReplyCode::Notice, nameOf(seat) + " loses this turn for the challenge");
}

void Room::tilesDrawn(int bagSize) {
    toAll(ReplyCode::Notice,
          QByteArray::number(bagSize) + (bagSize == 1 ? " tile in the bag" : " tiles in the bag"));
}

void Room::gameOver(const std::vector<Adjustment>& adjustments, const std::vector<int>& winners) {
    voteTimer_.stop();
    offerTimer_.stop();
    graceTimer_.stop();
    clockTimer_.stop();
    clockSeat_ = -1;
    offeredTo_ = nullptr;
    phase_ = Phase::Over;
    updateFormClock();
    const auto& seats = game_->seats();
    for (const Adjustment& a : adjustments)
        toAll(ReplyCode::Notice, QByteArray::fromStdString(seats[a.seat].name) +
                                     (a.points < 0 ? " loses " : " gains ") +
                                     QByteArray::number(std::abs(a.points)) +
                                     (a.forTime ? " for time over the clock" : " for the tiles left"));
    sendScores(nullptr);
    std::vector<std::string> winning;
    for (const int seat : winners)
        winning.push_back(seats[seat].name);
    const QByteArray names = QByteArray::fromStdString(spokenList(winning));
    // A game that ends because players left is won by who stayed, whatever
    // the scores: the room hears why before the result.
    if (game_->presentSeats() < 2) {
        std::vector<std::string> gone;
        for (const Seat& seat : seats)
            if (!seat.present)
                gone.push_back(seat.name);
        if (!gone.empty())
            toAll(ReplyCode::Notice,
                  QByteArray::fromStdString(spokenList(gone)) + " left the game: " +
                      (winners.empty() ? QByteArray("nobody wins")
                                       : names + (winners.size() == 1 ? " wins" : " win")));
    }
    const int points = winners.empty() ? 0 : seats[winners[0]].score;
    if (winners.size() == 1)
        toAll(ReplyCode::Won, reply::result(names, points));
    else if (winners.size() > 1)
        toAll(ReplyCode::Draw, reply::result(names, points));
    const QByteArray record = QByteArray::fromStdString(gcgText(game_->names(), game_->record()));
    keepGame(winners, names, record);
    overWinners_ = names;
    // The players stay seated for the next game, not yet ready but robots.
    for (User* holder : holders_) {
        if (holder)
            seated_.push_back(holder);
        if (holder && robotOf(holder))
            ready_.insert(holder);
    }
    for (Keep& k : keep_)
        k.away.reset();
    saveRecord(record);
    if (isEmpty())
        lobby_.roomEmptied(this);
}

// The store keeps every finished game with its record, and rates it.
void Room::keepGame(const std::vector<int>& winners, const QByteArray& names,
                    const QByteArray& record) const {
    const auto& seats = game_->seats();
    std::vector<Standings::Seat> kept;
    for (std::size_t seat = 0; seat < seats.size(); ++seat) {
        const User* holder = seat < holders_.size() ? holders_[seat] : nullptr;
        const RobotSeat* robot = robotOf(holder);
        const QByteArray name = QByteArray::fromStdString(seats[seat].name);
        const bool won = std::find(winners.begin(), winners.end(), int(seat)) != winners.end();
        kept.push_back({name, seats[seat].score, won, !seats[seat].present,
                        holder && !robot ? holder->serial : 0,
                        seat < identifiedAtStart_.size() && identifiedAtStart_[seat] == name,
                        robot ? std::optional(robot->level()) : std::nullopt});
    }
    const QByteArray result = winners.size() == 1  ? names + " won"
                              : winners.empty()    ? QByteArray("no winner")
                                                   : "a draw between " + names;
    lobby_.standings().gameFinished(std::move(kept), result, record, journalKey());
}

void Room::saveRecord(const QByteArray& record) const {
    const QString folder = lobby_.options().records;
    if (folder.isEmpty())
        return;
    const QString name = QStringLiteral("game%1-%2-%3.gcg")
                             .arg(number_)
                             .arg(QDateTime::currentDateTimeUtc().toString("yyyyMMdd-HHmmss"))
                             .arg(gamesStarted_);
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) ||
        !file.write(record))
        qWarning("cannot save the game record %s", qPrintable(file.fileName()));
}

} // namespace wordmoot::server
