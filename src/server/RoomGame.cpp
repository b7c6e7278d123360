// The game in play: the turn's commands, act() through which every change
// goes, the journal that keeps it, the clock, and the robots that play. What
// the room says of each input waits until its journal line is kept.
#include "server/EventLog.h"
#include "server/Journal.h"
#include "server/JournalText.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/Room.h"
#include "server/Standings.h"
#include "server/User.h"
#include "shared/protocol/Commands.h"
#include "shared/protocol/ReplyCode.h"
#include "shared/protocol/TableReplies.h"
#include "shared/rules/GameRecord.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace wordmoot::server {

namespace {
constexpr int kTimeoutsToLeave = 3;

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

// What the game does while it is done again: nothing to anyone, but how it
// ended, should the journal run to the end of the game.
struct Replay : GameListener {
    std::optional<std::vector<int>> winners;
    void gameOver(const std::vector<Adjustment>&, const std::vector<int>& won) override {
        winners = won;
    }
};

QByteArray scoresText(const Game& game) {
    QByteArray text;
    for (const Seat& seat : game.seats())
        text += (text.isEmpty() ? "" : ",") + QByteArray::fromStdString(seat.name) + ':' +
                QByteArray::number(seat.score);
    return text;
}

constexpr const char* kNotPlaying = "You are not playing in a game in play";
} // namespace

void Room::play(User& u, const QByteArray& arg) {
    const int seat = playingSeat(u);
    if (seat < 0)
        return tell(u, ReplyCode::PlayNotYours, kNotPlaying);
    const std::optional<Play> tiles = command::parsePlay(arg);
    if (!tiles)
        return tell(u, ReplyCode::PlayBadTiles, "A play is up to seven tiles as column,row,LETTER");
    if (const auto refused = act({GameInput::Kind::Play, seat, *tiles}))
        tell(u, refusalCode(refused->kind), QByteArray::fromStdString("Refused: " + refused->reason));
}

void Room::exchange(User& u, const QByteArray& arg) {
    const int seat = playingSeat(u);
    if (seat < 0)
        return tell(u, ReplyCode::Notice, kNotPlaying);
    const std::optional<std::string> tiles = command::parseExchange(arg);
    if (!tiles)
        return tell(u, ReplyCode::Notice,
                    "Exchange refused: name the tiles by their letters, _ for a blank");
    if (const auto refused = act({GameInput::Kind::Exchange, seat, {}, *tiles}))
        tell(u, ReplyCode::Notice, QByteArray::fromStdString("Exchange refused: " + refused->reason));
}

void Room::forfeit(User& u, const QByteArray&) {
    const int seat = playingSeat(u);
    if (seat < 0)
        return tell(u, ReplyCode::Notice, kNotPlaying);
    if (const auto refused = act({GameInput::Kind::Pass, seat}))
        tell(u, ReplyCode::Notice, QByteArray::fromStdString("Pass refused: " + refused->reason));
}

// With a play waiting for the vote, WITHDRAW takes it back; without one, the
// rack goes out again, which puts the tiles laid but not sent back on it.
void Room::withdraw(User& u, const QByteArray&) {
    const int seat = playingSeat(u);
    if (seat < 0)
        return tell(u, ReplyCode::Notice, kNotPlaying);
    const auto& pending = game_->pending();
    if (!pending || pending->seat != seat)
        return tell(u, ReplyCode::Rack, reply::rack(game_->seats()[seat].rack));
    if (const auto refused = act({GameInput::Kind::Withdraw, seat}))
        tell(u, ReplyCode::Notice, QByteArray::fromStdString("Withdraw refused: " + refused->reason));
}

void Room::approve(User& u, const QByteArray&) {
    if (phase_ == Phase::Playing && offeredTo_ == &u)
        return takeSeat(u);
    const int seat = playingSeat(u);
    if (seat < 0 || act({GameInput::Kind::Approve, seat}))
        tell(u, ReplyCode::Notice, "There is nothing for you to approve");
}

void Room::challenge(User& u, const QByteArray&) {
    const int seat = playingSeat(u);
    if (seat < 0 || act({GameInput::Kind::Challenge, seat}))
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

// What the tiles would score and the words they form, or why PLAY would
// refuse them, to the sender alone; the game does not change.
void Room::preview(User& u, const QByteArray& arg) {
    table::Preview answer;
    const int seat = playingSeat(u);
    const std::optional<Play> tiles = command::parsePlay(arg);
    if (seat < 0) {
        answer.refusedCode = int(ReplyCode::PlayNotYours);
        answer.reason = kNotPlaying;
    } else if (!tiles) {
        answer.refusedCode = int(ReplyCode::PlayBadTiles);
        answer.reason = "A play is up to seven tiles as column,row,LETTER";
    } else {
        const PlayPreview seen = game_->preview(seat, *tiles);
        if (seen.refused) {
            answer.refusedCode = int(refusalCode(seen.refused->kind));
            answer.reason = QString::fromStdString("Refused: " + seen.refused->reason);
        }
        answer.score = seen.score;
        answer.words = QString::fromStdString(seen.words);
    }
    tell(u, ReplyCode::Table, table::preview(answer));
}

// --- The game panel ---

namespace {
table::Move moveOf(const Game& game, std::size_t index) {
    const RecordedMove& m = game.record()[index];
    return {int(index) + 1,
            QString::fromStdString(game.seats()[m.seat].name),
            m.score,
            m.total,
            QString::fromStdString(m.notation),
            QString::fromStdString(m.words),
            QString::fromStdString(m.note)};
}
} // namespace

void Room::sendTable(User* only) {
    if (!game_)
        return;
    const QByteArray bag = table::bag(game_->bagSize());
    const auto& record = game_->record();
    for (User* u : only ? std::vector<User*>{only} : members_) {
        tell(*u, ReplyCode::Table, bag);
        tell(*u, ReplyCode::Table,
             table::unseen(QString::fromStdString(game_->unseenBy(seatOf(*u)))));
        tell(*u, ReplyCode::Table, table::moves(int(record.size())));
        for (std::size_t i = 0; i < record.size(); ++i)
            tell(*u, ReplyCode::Table, table::move(moveOf(*game_, i)));
    }
    sendClock(only);
}

void Room::tellTable() {
    const auto& record = game_->record();
    for (; movesTold_ < record.size(); ++movesTold_)
        toAll(ReplyCode::Table, table::move(moveOf(*game_, movesTold_)));
    toAll(ReplyCode::Table, table::bag(game_->bagSize()));
    for (User* u : members_)
        tell(*u, ReplyCode::Table,
             table::unseen(QString::fromStdString(game_->unseenBy(seatOf(*u)))));
}

// Each player's time left, and whose runs: the client counts it down.
void Room::sendClock(User* only) {
    if (!clock_.exists() || phase_ != Phase::Playing)
        return;
    table::Clock clock;
    clock.gameClock = lobby_.options().turnSeconds <= 0;
    if (clock_.isRunning())
        clock.running = QString::fromStdString(game_->seats()[game_->turn()].name);
    for (int seat = 0; seat < seats_.size(); ++seat)
        clock.entries.push_back({QString::fromStdString(game_->seats()[seat].name),
                                 clock_.leftMs(seat)});
    const QByteArray line = table::clock(clock);
    for (User* u : only ? std::vector<User*>{only} : members_)
        tell(*u, ReplyCode::Table, line);
}

// The champion's move for the player on turn, in a game against robots
// alone, where a hint helps nobody against another person.
void Room::hint(User& u, const QByteArray&) {
    const int seat = playingSeat(u);
    if (seat < 0)
        return tell(u, ReplyCode::Notice, kNotPlaying);
    for (int other = 0; other < seats_.size(); ++other)
        if (other != seat && game_->seats()[other].present && !robotOf(seats_.holder(other)))
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

// --- The journal ---

store::LiveKey Room::journalKey() const {
    return {lobby_.options().hall.toUtf8(), number_};
}

QByteArray Room::seatLine(int seat, const QByteArray& name) const {
    const RobotSeat* robot = robotOf(seats_.holder(seat));
    return journal::seatLine(
        seat, {name, robot ? QByteArray(robot::levelName(robot->level())) : QByteArray(journal::kPerson),
               seats_[seat].address, seats_[seat].identified});
}

void Room::beginJournal(std::uint64_t seed) {
    std::vector<QByteArray> lines{journal::beginLine(seed, game_->judging())};
    for (int seat = 0; seat < seats_.size(); ++seat)
        lines.push_back(seatLine(seat, nameOf(seat)));
    journaled_ = int(lines.size());
    holdForJournal();
    lobby_.journal().begin(journalKey(), std::move(lines));
    logEvent("begin", field("players", QByteArray::fromStdString(spokenList(game_->names()))));
}

std::optional<Refused> Room::act(const GameInput& input, std::vector<QByteArray> lines) {
    Journal& journal = lobby_.journal();
    holdForJournal();
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
    tellTable();
    if (phase_ == Phase::Playing)
        updateClock();
    return std::nullopt;
}

void Room::holdForJournal() {
    Journal& journal = lobby_.journal();
    outbox_.holdUntil(journal.open());
    if (!journal.trouble().isEmpty())
        storeStalled(journal.trouble());
}

void Room::journalKept(quint64 kept) {
    outbox_.kept(kept);
}

// Said at once, past the lines that wait: the players know why the game
// stands still, and that it goes on by itself. Its clock stops meanwhile:
// nobody's time runs out on a turn they have not been told of.
void Room::storeStalled(const QString& why) {
    if (!outbox_.holding() || std::exchange(stallTold_, true))
        return;
    for (User* u : members_)
        u->send(ReplyCode::Notice, "Game " + QByteArray::number(number_) + " waits for the store (" +
                                       why.toUtf8().left(200) +
                                       "): what happens in it is told once it is kept, and it "
                                       "goes on by itself");
    updateClock();
}

void Room::storeResumed() {
    if (!std::exchange(stallTold_, false))
        return;
    for (User* u : members_)
        u->send(ReplyCode::Notice,
                "The store keeps game " + QByteArray::number(number_) + " again: it goes on");
    updateClock();
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
    const std::optional<journal::Head> head = journal::readHead(lines, kMostSeats);
    if (!head)
        return false;
    const int count = int(head->seats.size());
    std::vector<std::string> names;
    std::vector<QByteArray> kinds;
    std::vector<SeatRecord> seats;
    for (const journal::SeatText& who : head->seats) {
        names.push_back(who.name.toStdString());
        kinds.push_back(who.kind);
        seats.push_back({nullptr, who.address, who.identified, {}, {}});
    }
    clock_.begin(count);
    robots_.clear();
    forming_.restored();
    Replay replay;
    game_ = std::make_unique<Game>(names, head->judging, lobby_.words(), head->seed, &replay);
    game_->start();
    const QByteArray where = field("hall", lobby_.options().hall.toUtf8()) + ' ' + field("game", number_);
    for (std::size_t at = head->body; at < lines.size(); ++at) {
        const journal::Line line = journal::readLine(lines[at], count);
        const QByteArray sequence = field("sequence", qint64(at));
        switch (line.kind) {
        case journal::Line::Kind::Broken:
            return false;
        case journal::Line::Kind::Seat:
            kinds[line.seat] = line.who.kind;
            seats[line.seat].address = line.who.address;
            seats[line.seat].identified = line.who.identified;
            break;
        case journal::Line::Kind::Clock:
            clock_.restore(line.seat, line.usedMs, line.timeouts);
            break;
        case journal::Line::Kind::Input:
            if (const auto refused = apply(*game_, *line.input))
                logLine(field("event", "journal-refused") + ' ' + where + ' ' + sequence + ' ' +
                        field("reason", QByteArray::fromStdString(refused->reason)) +
                        " the game is back as it was before this line");
            break;
        case journal::Line::Kind::NoInput:
            logLine(field("event", "journal-skipped") + ' ' + where + ' ' + sequence +
                    " the line is no input");
            break;
        }
    }
    for (int seat = 0; seat < count; ++seat) {
        const auto level = robot::parseLevel(kinds[seat].toStdString());
        if (kinds[seat] != journal::kPerson && level)
            seats[seat].holder =
                newRobot(nameOf(seat), *level, QRandomGenerator::global()->generate64());
        if (seats[seat].identified)
            seats[seat].provedAtStart = nameOf(seat);
    }
    ++gamesStarted_;
    journaled_ = int(lines.size());
    movesTold_ = game_->record().size();
    game_->setListener(this);
    phase_ = Phase::Playing;
    updateFormClock();
    if (replay.winners) { // it ended before it could be kept
        seats_.restore(std::move(seats));
        phase_ = Phase::Over;
        const QByteArray record =
            QByteArray::fromStdString(gcgText(game_->names(), game_->record()));
        keepGame(*replay.winners, Announcer::winnersText(*game_, *replay.winners), record);
        saveRecord(record);
        return false;
    }
    for (int seat = 0; seat < count; ++seat)
        if (!seats[seat].holder && game_->seats()[seat].present)
            seats[seat].away = QDeadlineTimer(lobby_.options().seatGraceSeconds * 1000LL);
    seats_.restore(std::move(seats));
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

// --- The clock ---

// Ends the turn of the seat that moves: a pass, an exchange or a play while
// no play waits for the vote. Under --game-minutes each minute begun over the
// player's time costs points, journaled as the game's own input.
std::vector<QByteArray> Room::chargeClock(const GameInput& input) {
    if (!clock_.exists() || phase_ != Phase::Playing)
        return {};
    clock_.chargeRunning();
    using Kind = GameInput::Kind;
    const bool endsTurn = (input.kind == Kind::Play || input.kind == Kind::Exchange ||
                           input.kind == Kind::Pass) &&
                          input.seat == game_->turn() && !game_->pending();
    if (!endsTurn)
        return {};
    const int seat = input.seat;
    clock_.moved(seat);
    std::vector<QByteArray> lines;
    if (const int minutes = lobby_.options().gameMinutes; minutes > 0) {
        const int penalty = overtimePenalty(clock_.usedMs(seat) - minutes * 60000LL);
        if (penalty != game_->timePenalty(seat)) {
            const GameInput charged{Kind::TimePenalty, seat, {}, {}, penalty};
            apply(*game_, charged);
            lines.push_back(QByteArray::fromStdString(inputText(charged)));
            logEvent("penalty", field("seat", seat) + ' ' + field("player", nameOf(seat)) + ' ' +
                                    field("points", penalty));
        }
    }
    lines.push_back(journal::clockLine(seat, clock_.usedMs(seat), clock_.timeouts(seat)));
    return lines;
}

// The clock runs only for the seat on turn, while no play waits for the vote,
// its player is there and the game does not wait for the store.
void Room::updateClock() {
    if (phase_ != Phase::Playing)
        return clock_.update(std::nullopt);
    const int turn = game_->turn();
    const bool runs = turn >= 0 && !game_->pending() && game_->seats()[turn].present &&
                      seats_.holder(turn) && !stallTold_;
    clock_.update(SeatClock::Turn{turn, game_->turnNumber(), runs});
    sendClock(nullptr);
}

// A player whose turn's time is up passes; three such turns in a row and the
// seat counts as left. Over the game's time, each minute begun costs points.
void Room::clockRings(int seat, SeatClock::Ring ring, int warningMs) {
    switch (ring) {
    case SeatClock::Ring::Warning:
        return toSeat(seat, ReplyCode::Notice,
                      QByteArray::number(warningMs / 1000) + " seconds left for your turn");
    case SeatClock::Ring::GameTimeUp:
        return toAll(ReplyCode::Notice, nameOf(seat) +
                                            "'s time is up: each minute begun over it costs " +
                                            QByteArray::number(overtimePenalty(1)) + " points");
    case SeatClock::Ring::TurnTimeUp:
        break;
    }
    const QByteArray name = nameOf(seat);
    toAll(ReplyCode::Notice, name + "'s time is up: the turn passes");
    logEvent("timeout", field("seat", seat) + ' ' + field("player", name));
    act({GameInput::Kind::Pass, seat});
    if (clock_.timeouts(seat) < kTimeoutsToLeave || phase_ != Phase::Playing)
        return;
    toAll(ReplyCode::Notice, name + "'s time ran out three turns running: the seat counts as left");
    if (User* holder = seats_.holder(seat)) {
        declined_.insert(holder);
        tellRole(*holder, ReplyCode::BecameObserver);
    }
    seatLost(seat);
}

QByteArray Room::clockText() const {
    if (!clock_.exists() || phase_ != Phase::Playing)
        return {};
    return clock_.text(seatNames());
}

// --- The robots ---

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
    const int seat = playingSeat(robot);
    if (seat < 0)
        return;
    if (const auto& pending = game_->pending()) {
        if (pending->seat == seat)
            return;
        const bool approves =
            !game_->words() || lobby_.brain().knowsEveryWord(game_->board(), pending->play);
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

// --- What the game reports ---

void Room::startingTileDrawn(int seat, char tile, bool redraw) {
    announcer_.startingTileDrawn(*game_, seat, tile, redraw);
}

void Room::rackChanged(int seat) {
    announcer_.rack(*game_, seat);
}

void Room::scoresChanged(int moverSeat) {
    moverSeat_ = moverSeat;
    sendScores(nullptr);
}

void Room::turnBegins(int seat, std::optional<char> startingTile) {
    announcer_.turnBegins(*game_, seat, startingTile);
    wakeRobots(seat, lobby_.options().robotDelayMs);
}

void Room::exchanged(int seat, int count) {
    announcer_.exchanged(*game_, seat, count);
}

void Room::passed(int seat) {
    announcer_.passed(*game_, seat);
}

void Room::turnLost(int seat) {
    announcer_.turnLost(*game_, seat);
}

void Room::tilesDrawn(int bagSize) {
    announcer_.tilesDrawn(bagSize);
}

void Room::playStands(int seat, const Play& play, int score, const Settlement* settled) {
    voteTimer_.stop();
    announcer_.playStands(*game_, seat, play, score, settled);
}

void Room::playPutToVote(int seat, const Play& play, int score) {
    announcer_.playPutToVote(*game_, seat, play, score);
    voteTimer_.start();
    wakeRobots(-1, 0); // a robot's judgement keeps nobody waiting
}

void Room::playTakenBack(int seat, const Play& play, const Settlement& settled) {
    voteTimer_.stop();
    announcer_.playTakenBack(*game_, seat, play, settled);
}

void Room::gameOver(const std::vector<Adjustment>& adjustments, const std::vector<int>& winners) {
    voteTimer_.stop();
    offerTimer_.stop();
    clock_.stop();
    offeredTo_ = nullptr;
    phase_ = Phase::Over;
    updateFormClock();
    announcer_.adjustments(*game_, adjustments);
    sendScores(nullptr);
    announcer_.result(*game_, winners);
    const QByteArray names = Announcer::winnersText(*game_, winners);
    const QByteArray record = QByteArray::fromStdString(gcgText(game_->names(), game_->record()));
    keepGame(winners, names, record);
    overWinners_ = names;
    // The players stay seated for the next game, not yet ready but robots.
    for (const SeatRecord& seat : seats_) {
        if (!seat.holder)
            continue;
        forming_.sit(*seat.holder);
        if (robotOf(seat.holder))
            forming_.ready(*seat.holder);
    }
    seats_.stopWaiting();
    saveRecord(record);
    if (isEmpty())
        lobby_.roomEmptied(this);
}

// The store keeps every finished game with its record, and rates it.
void Room::keepGame(const std::vector<int>& winners, const QByteArray& names,
                    const QByteArray& record) const {
    const auto& seats = game_->seats();
    std::vector<Standings::Seat> kept;
    for (int seat = 0; seat < int(seats.size()); ++seat) {
        const User* holder = seats_.holder(seat);
        const RobotSeat* robot = robotOf(holder);
        const QByteArray name = QByteArray::fromStdString(seats[seat].name);
        const bool won = std::find(winners.begin(), winners.end(), seat) != winners.end();
        kept.push_back({name, seats[seat].score, won, !seats[seat].present,
                        holder && !robot ? holder->serial : 0,
                        seat < seats_.size() && seats_[seat].provedAtStart == name,
                        robot ? std::optional(robot->level()) : std::nullopt});
    }
    const QByteArray result = winners.size() == 1 ? names + " won"
                              : winners.empty()   ? QByteArray("no winner")
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
    if (!file.open(QIODevice::WriteOnly) || !file.write(record))
        qWarning("cannot save the game record %s", qPrintable(file.fileName()));
}

} // namespace wordmoot::server
