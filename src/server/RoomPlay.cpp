#include "protocol/ReplyCode.h"
#include "server/Client.h"
#include "server/Lobby.h"
#include "server/Room.h"
#include "server/WireText.h"

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

void Room::play(Client& c, const QByteArray& arg) {
    const int seat = seatOf(c);
    if (phase_ != Phase::Playing || seat < 0)
        return c.send(ReplyCode::PlayNotYours, "You are not playing in a game in play");
    const std::optional<Play> tiles = parsePlay(arg);
    if (!tiles)
        return c.send(ReplyCode::PlayBadTiles, "A play is up to seven tiles as column,row,LETTER");
    if (const auto refused = game_->play(seat, *tiles))
        c.send(refusalCode(refused->kind),
               QByteArray::fromStdString("Refused: " + refused->reason));
}

void Room::exchange(Client& c, const QByteArray& arg) {
    const int seat = seatOf(c);
    if (phase_ != Phase::Playing || seat < 0)
        return c.send(ReplyCode::Notice, "You are not playing in a game in play");
    const std::optional<std::string> tiles = parseExchange(arg);
    if (!tiles)
        return c.send(ReplyCode::Notice,
                      "Exchange refused: name the tiles by their letters, _ for a blank");
    if (const auto refused = game_->exchange(seat, *tiles))
        c.send(ReplyCode::Notice,
               QByteArray::fromStdString("Exchange refused: " + refused->reason));
}

void Room::forfeit(Client& c, const QByteArray&) {
    const int seat = seatOf(c);
    if (phase_ != Phase::Playing || seat < 0)
        return c.send(ReplyCode::Notice, "You are not playing in a game in play");
    if (const auto refused = game_->pass(seat))
        c.send(ReplyCode::Notice, QByteArray::fromStdString("Pass refused: " + refused->reason));
}

// With a play waiting for the vote, WITHDRAW takes it back; without one, the
// rack goes out again, which puts the tiles laid but not sent back on it.
void Room::withdraw(Client& c, const QByteArray&) {
    const int seat = seatOf(c);
    if (phase_ != Phase::Playing || seat < 0)
        return c.send(ReplyCode::Notice, "You are not playing in a game in play");
    const auto& pending = game_->pending();
    if (!pending || pending->seat != seat)
        return c.send(ReplyCode::Rack, QByteArray::fromStdString(game_->seats()[seat].rack));
    if (const auto refused = game_->withdraw(seat))
        c.send(ReplyCode::Notice,
               QByteArray::fromStdString("Withdraw refused: " + refused->reason));
}

void Room::approve(Client& c, const QByteArray&) {
    if (phase_ == Phase::Playing && offeredTo_ == &c)
        return takeSeat(c);
    const int seat = seatOf(c);
    if (phase_ != Phase::Playing || seat < 0 || !game_->approve(seat))
        c.send(ReplyCode::Notice, "There is nothing for you to approve");
}

void Room::challenge(Client& c, const QByteArray&) {
    const int seat = seatOf(c);
    if (phase_ != Phase::Playing || seat < 0 || !game_->challenge(seat))
        c.send(ReplyCode::Notice, "There is no play for you to challenge");
}

// The tiles the user has not seen, in alphabetical order (a blank last): to
// a player the bag and the others' racks, to a watcher every rack too.
void Room::unseen(Client& c, const QByteArray&) {
    if (phase_ != Phase::Playing)
        return c.send(ReplyCode::Notice, "No game is in play");
    const QByteArray tiles = QByteArray::fromStdString(game_->unseenBy(seatOf(c)));
    c.send(ReplyCode::Notice, "Unseen " + QByteArray::number(tiles.size()) + ": " + tiles);
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
        toAll(ReplyCode::BoardRow, rowText(board, row));
}

void Room::startingTileDrawn(int seat, char tile, bool redraw) {
    const QByteArray name = nameOf(seat);
    if (redraw)
        toSeat(seat, ReplyCode::StartingLetter, QByteArray(1, tile) + " drawn again after a tie");
    toAll(ReplyCode::Notice, name + " draws " + tile + " for the start");
}

void Room::rackChanged(int seat) {
    toSeat(seat, ReplyCode::Rack, QByteArray::fromStdString(game_->seats()[seat].rack));
}

void Room::scoresChanged(int moverSeat) {
    moverSeat_ = moverSeat;
    sendScores(nullptr);
}

void Room::turnBegins(int seat, std::optional<char> startingTile) {
    toAll(ReplyCode::WhoseTurn, nameOf(seat) + " to play");
    wakeRobots(seat, lobby_.options().robotDelayMs);
    toSeat(seat, ReplyCode::YourTurn,
           startingTile ? *startingTile + QByteArray(" is your starting tile: you begin")
                        : QByteArray("Your turn"));
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
    offeredTo_ = nullptr;
    phase_ = Phase::Over;
    const auto& seats = game_->seats();
    for (const Adjustment& a : adjustments)
        toAll(ReplyCode::Notice, QByteArray::fromStdString(seats[a.seat].name) +
                                     (a.points < 0 ? " loses " : " gains ") +
                                     QByteArray::number(std::abs(a.points)) +
                                     " for the tiles left");
    sendScores(nullptr);
    std::vector<std::string> winning;
    for (const int seat : winners)
        winning.push_back(seats[seat].name);
    const QByteArray names = QByteArray::fromStdString(spokenList(winning));
    const QByteArray points =
        " with " + QByteArray::number(winners.empty() ? 0 : seats[winners[0]].score) + " points";
    if (winners.size() == 1)
        toAll(ReplyCode::Won, names + points);
    else if (winners.size() > 1)
        toAll(ReplyCode::Draw, names + points);
    // The players stay seated for the next game, not yet ready but robots.
    for (Client* holder : holders_) {
        if (holder)
            seated_.push_back(holder);
        if (holder && holder->isRobot())
            ready_.insert(holder);
    }
    saveRecord();
}

void Room::saveRecord() const {
    const QString folder = lobby_.options().records;
    if (folder.isEmpty())
        return;
    const QString name = QStringLiteral("game%1-%2-%3.gcg")
                             .arg(number_)
                             .arg(QDateTime::currentDateTimeUtc().toString("yyyyMMdd-HHmmss"))
                             .arg(gamesStarted_);
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) ||
        !file.write(QByteArray::fromStdString(gcgText(game_->names(), game_->record()))))
        qWarning("cannot save the game record %s", qPrintable(file.fileName()));
}

} // namespace wordmoot::server
