// The game's journal. A game in play is kept in the store as the lines of
// its journal: "begin SEED JUDGING", then "seat S NAME KIND ADDRESS
// IDENTIFIED" for each seat, then every input the game took (GameInput), in
// order, with the room's own lines among them: "seat ..." again when a seat
// changes hands, "clock S USED-MS TIMEOUTS" when a turn is charged to the
// clock. The same seed gives the same bag, so the inputs done again give the
// same game. What the room says of each input waits until its line is kept.
#include "shared/protocol/ReplyCode.h"
#include "server/EventLog.h"
#include "server/Journal.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/Room.h"
#include "server/User.h"

#include "shared/rules/GameRecord.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>

namespace wordmoot::server {

namespace {

constexpr const char* kPerson = "person";

// What the game does while it is done again: nothing to anyone, but how it
// ended, should the journal run to the end of the game.
struct Replay : GameListener {
    std::optional<std::vector<int>> winners;
    void gameOver(const std::vector<Adjustment>&, const std::vector<int>& won) override {
        winners = won;
    }
};

// An address as a seat line writes it: "-" for none.
QByteArray orDash(const QByteArray& text) {
    return text.isEmpty() ? QByteArray("-") : text;
}
QByteArray addressOf(const QByteArray& field) {
    return field == "-" ? QByteArray() : field;
}

QByteArray scoresText(const Game& game) {
    QByteArray text;
    for (const Seat& seat : game.seats())
        text += (text.isEmpty() ? "" : ",") + QByteArray::fromStdString(seat.name) + ':' +
                QByteArray::number(seat.score);
    return text;
}

} // namespace

store::LiveKey Room::journalKey() const {
    return {lobby_.options().hall.toUtf8(), number_};
}

QByteArray Room::seatLine(int seat, const QByteArray& name) const {
    const RobotSeat* robot = robotOf(holders_[seat]);
    return "seat " + QByteArray::number(seat) + ' ' + name + ' ' +
           (robot ? QByteArray(robot::levelName(robot->level())) : QByteArray(kPerson)) + ' ' +
           orDash(keep_[seat].address) + ' ' + (keep_[seat].identified ? '1' : '0');
}

void Room::beginJournal(std::uint64_t seed) {
    std::vector<QByteArray> lines{"begin " + QByteArray::number(seed) + ' ' +
                                  QByteArray(judgingName(game_->judging()).data())};
    for (int seat = 0; seat < int(holders_.size()); ++seat)
        lines.push_back(seatLine(seat, nameOf(seat)));
    journaled_ = int(lines.size());
    outbox_.holdUntil(lobby_.journal().open());
    lobby_.journal().begin(journalKey(), std::move(lines));
    logEvent("begin", field("players", QByteArray::fromStdString(spokenList(game_->names()))));
}

std::optional<Refused> Room::act(const GameInput& input, std::vector<QByteArray> lines) {
    Journal& journal = lobby_.journal();
    outbox_.holdUntil(journal.open());
    for (QByteArray& line : chargeClock(input))
        lines.push_back(std::move(line));
    const bool named = input.kind == GameInput::Kind::TakeSeat || input.kind == GameInput::Kind::Rename;
    const QByteArray player = named            ? QByteArray::fromStdString(input.text)
                              : input.seat >= 0 ? nameOf(input.seat)
                                                : QByteArray();
    if (auto refused = apply(*game_, input)) {
        journal.skip();
        return refused;
    }
    // A game that ends is kept, its journal gone with it, by a store job
    // asked as it ended: the line of its last move is not written after.
    if (game_->isOver()) {
        journal.skip();
    } else {
        lines.push_back(QByteArray::fromStdString(inputText(input)));
        const int from = journaled_;
        journaled_ += int(lines.size());
        journal.write(journalKey(), from, std::move(lines));
    }
    QByteArray fields = input.seat >= 0 ? field("seat", input.seat) + ' ' + field("player", player)
                                        : QByteArray();
    if (input.kind == GameInput::Kind::Play)
        fields += ' ' + field("score", game_->seats()[input.seat].score);
    logEvent(QByteArray::fromStdString(inputText(input)).split(' ').first(), fields);
    if (game_->isOver())
        logEvent("over", field("winners", overWinners_));
    if (phase_ == Phase::Playing)
        updateClock();
    return std::nullopt;
}

void Room::journalKept(quint64 kept) {
    outbox_.kept(kept);
}

// Said at once, past the lines that wait: the players know why the game
// stands still, and that it goes on by itself.
void Room::storeStalled(const QString& why) {
    if (!outbox_.holding() || std::exchange(stallTold_, true))
        return;
    for (User* u : members_)
        u->send(ReplyCode::Notice, stallText(why));
}

QByteArray Room::stallText(const QString& why) const {
    return "Game " + QByteArray::number(number_) + " waits for the store (" +
           why.toUtf8().left(200) +
           "): what happens in it is told once it is kept, and it goes on by itself";
}

void Room::storeResumed() {
    if (!std::exchange(stallTold_, false))
        return;
    for (User* u : members_)
        u->send(ReplyCode::Notice,
                "The store keeps game " + QByteArray::number(number_) + " again: it goes on");
}

void Room::logEvent(const QByteArray& event, const QByteArray& fields) const {
    QByteArray line = field("event", event) + ' ' + field("hall", lobby_.options().hall.toUtf8()) +
                      ' ' + field("game", number_);
    if (!fields.isEmpty())
        line += ' ' + fields;
    if (game_) {
        line += ' ' + field("bag", game_->bagSize()) + ' ' + field("scores", scoresText(*game_));
        if (!game_->isOver() && game_->turn() >= 0)
            line += ' ' + field("turn", nameOf(game_->turn()));
    }
    logLine(line);
}

// The game as its journal leaves it, its players given the grace of a drop
// to come back; robots sit down again at once.
bool Room::restore(const std::vector<QByteArray>& lines) {
    const QList<QByteArray> begin = lines.empty() ? QList<QByteArray>() : lines[0].split(' ');
    bool seeded = false;
    const std::uint64_t seed = begin.size() == 3 ? begin[1].toULongLong(&seeded) : 0;
    const auto judging = begin.size() == 3 ? parseJudging(begin[2].toStdString()) : std::nullopt;
    if (begin.value(0) != "begin" || !seeded || !judging)
        return false;
    std::vector<std::string> names;
    std::vector<QByteArray> kinds;
    std::size_t at = 1;
    for (; at < lines.size() && lines[at].startsWith("seat "); ++at) {
        const QList<QByteArray> w = lines[at].split(' ');
        if (w.size() != 6 || w[1].toInt() != int(names.size()))
            return false;
        names.push_back(w[2].toStdString());
        kinds.push_back(w[3]);
        keep_.emplace_back(addressOf(w[4]), w[5] == "1");
    }
    if (names.size() < 2 || names.size() > kMostSeats)
        return false;
    robots_.clear();
    seated_.clear();
    ready_.clear();
    Replay replay;
    game_ = std::make_unique<Game>(names, *judging, lobby_.words(), seed, &replay);
    game_->start();
    for (; at < lines.size(); ++at) {
        const QList<QByteArray> w = lines[at].split(' ');
        const int seat = w.value(1).toInt();
        if ((w[0] == "seat" || w[0] == "clock") && (seat < 0 || seat >= int(names.size())))
            return false;
        if (w[0] == "seat" && w.size() == 6) {
            kinds[seat] = w[3];
            keep_[seat].address = addressOf(w[4]);
            keep_[seat].identified = w[5] == "1";
        } else if (w[0] == "clock" && w.size() == 4) {
            keep_[seat].usedMs = w[2].toLongLong();
            keep_[seat].timeouts = w[3].toInt();
        } else if (const auto input = parseInput(lines[at].toStdString(), int(names.size()))) {
            if (const auto refused = apply(*game_, *input))
                logLine(field("event", "journal-refused") + ' ' +
                        field("hall", lobby_.options().hall.toUtf8()) + ' ' + field("game", number_) +
                        ' ' + field("sequence", qint64(at)) + ' ' +
                        field("reason", QByteArray::fromStdString(refused->reason)) +
                        " the game is back as it was before this line");
        } else {
            logLine(field("event", "journal-skipped") + ' ' +
                    field("hall", lobby_.options().hall.toUtf8()) + ' ' + field("game", number_) +
                    ' ' + field("sequence", qint64(at)) + " the line is no input");
        }
    }
    holders_.assign(names.size(), nullptr);
    for (int seat = 0; seat < int(names.size()); ++seat) {
        const auto level = robot::parseLevel(kinds[seat].toStdString());
        if (kinds[seat] == kPerson || !level)
            continue;
        holders_[seat] = newRobot(nameOf(seat), *level, QRandomGenerator::global()->generate64());
    }
    identifiedAtStart_.clear();
    for (int seat = 0; seat < int(names.size()); ++seat)
        identifiedAtStart_.push_back(keep_[seat].identified ? nameOf(seat) : QByteArray());
    ++gamesStarted_;
    journaled_ = int(lines.size());
    game_->setListener(this);
    phase_ = Phase::Playing;
    madeFrom_.clear();
    updateFormClock();
    if (replay.winners) { // it ended before it could be kept
        phase_ = Phase::Over;
        const QByteArray record =
            QByteArray::fromStdString(gcgText(game_->names(), game_->record()));
        std::vector<std::string> winning;
        for (const int seat : *replay.winners)
            winning.push_back(game_->seats()[seat].name);
        keepGame(*replay.winners, QByteArray::fromStdString(spokenList(winning)), record);
        saveRecord(record);
        return false;
    }
    for (int seat = 0; seat < int(names.size()); ++seat)
        if (!holders_[seat] && game_->seats()[seat].present)
            keep_[seat].away = QDeadlineTimer(lobby_.options().seatGraceSeconds * 1000LL);
    armGrace();
    if (game_->pending()) {
        voteTimer_.start();
        wakeRobots(-1, 0);
    } else {
        wakeRobots(game_->turn(), lobby_.options().robotDelayMs);
    }
    updateClock();
    logEvent("restored", field("lines", journaled_));
    return true;
}

} // namespace wordmoot::server
