#include "shared/rules/Game.h"

#include "shared/rules/Scoring.h"
#include "shared/rules/WordList.h"

#include <algorithm>

namespace wordmoot {

namespace {
// Starting tiles rank a blank first, then A to Z.
int startRank(char tile) {
    return tile == kUnnamedBlank ? 0 : tile - 'A' + 1;
}
constexpr int kMostDrawRounds = 20; // after that, seat order settles a tie
} // namespace

namespace {
constexpr std::pair<std::string_view, Judging> kJudgingNames[] = {{"challenge", Judging::Challenge},
                                                                  {"list", Judging::List},
                                                                  {"vote", Judging::Vote},
                                                                  {"mixed", Judging::Mixed},
                                                                  {"none", Judging::None}};
} // namespace

std::optional<Judging> parseJudging(std::string_view name) {
    for (const auto& [text, judging] : kJudgingNames)
        if (name == text)
            return judging;
    return std::nullopt;
}

std::string_view judgingName(Judging judging) {
    for (const auto& [text, named] : kJudgingNames)
        if (named == judging)
            return text;
    return "none";
}

std::string spokenList(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

std::string notListed(const std::vector<std::string>& words) {
    return spokenList(words) + (words.size() == 1 ? " is" : " are") + " not in the word list";
}

namespace {
bool hasUnnamedBlank(const Play& play) {
    return std::any_of(play.begin(), play.end(),
                       [](const LaidTile& t) { return t.tile.letter == kUnnamedBlank; });
}
} // namespace

std::string rackTiles(const Play& play) {
    std::string tiles;
    for (const LaidTile& t : play)
        tiles += t.tile.blank ? kUnnamedBlank : t.tile.letter;
    return tiles;
}

Game::Game(std::vector<std::string> names, Judging judging, const WordList* words,
           std::uint64_t seed, GameListener* listener)
    : judging_(judging)
    , words_(words)
    , listener_(listener)
    , bag_(seed) {
    for (std::string& name : names)
        seats_.push_back(Seat{std::move(name), {}, 0, true});
    timePenalty_.assign(seats_.size(), 0);
}

void Game::start() {
    const int first = drawFirst();
    const char startingTile = seats_[first].rack.front();
    for (Seat& seat : seats_) {
        bag_.putBack(seat.rack);
        seat.rack.clear();
    }
    for (std::size_t i = 0; i < seats_.size(); ++i) {
        bag_.refill(seats_[i].rack);
        listener_->rackChanged(static_cast<int>(i));
    }
    listener_->tilesDrawn(bag_.size());
    turn_ = first;
    ++turnNumber_;
    listener_->scoresChanged(-1);
    listener_->turnBegins(turn_, startingTile);
}

// Every seat draws a tile, held on its rack until the first player is
// known; the seats that drew the tile nearest to A (a blank nearer still)
// draw again among themselves. Play then goes round the seats from there.
int Game::drawFirst() {
    std::vector<int> tied(seats_.size());
    for (std::size_t i = 0; i < seats_.size(); ++i)
        tied[i] = static_cast<int>(i);
    for (int round = 0; tied.size() > 1 && round <= kMostDrawRounds; ++round) {
        for (const int seat : tied) {
            bag_.putBack(seats_[seat].rack);
            seats_[seat].rack = std::string(1, bag_.draw());
            listener_->startingTileDrawn(seat, seats_[seat].rack[0], round > 0);
        }
        const auto rank = [&](int seat) { return startRank(seats_[seat].rack[0]); };
        const int best = rank(*std::min_element(tied.begin(), tied.end(),
                                                [&](int a, int b) { return rank(a) < rank(b); }));
        std::erase_if(tied, [&](int seat) { return rank(seat) != best; });
    }
    return tied.front(); // after too many ties, the first of them in seat order
}

std::optional<Refused> Game::checkTurn(int seat) const {
    if (over_ || turn_ < 0)
        return Refused{Refusal::Turn, "the game is not in play"};
    if (seat != turn_)
        return Refused{Refusal::Turn, "it is not your turn"};
    if (pending_)
        return Refused{Refusal::Turn, "your play is waiting for the vote"};
    return std::nullopt;
}

std::optional<Refused> Game::play(int seat, const Play& laid) {
    if (auto refused = checkTurn(seat))
        return refused;
    if (auto refused = checkLaid(seat, laid))
        return refused;
    const Play play = inBoardOrder(namedBlanks(laid));
    // Only the list and mixed rules judge a play before anyone sees it.
    const bool judgedNow = judging_ == Judging::List || judging_ == Judging::Mixed;
    const std::vector<std::string> unknown =
        judgedNow ? unknownWords(play) : std::vector<std::string>();
    if (judging_ == Judging::None || (judgedNow && unknown.empty())) {
        stand(seat, play, scorePlay(board_, play), nullptr);
        return std::nullopt;
    }
    if (judging_ == Judging::List)
        return Refused{Refusal::Words, hasUnnamedBlank(laid)
                                           ? "no letter for the blank makes every word valid"
                                           : notListed(unknown)};
    pending_ = PendingPlay{seat, play, scorePlay(board_, play), {}};
    seats_[seat].rack = rackWithout(seats_[seat].rack, rackTiles(play));
    listener_->playPutToVote(seat, play, pending_->score);
    listener_->rackChanged(seat);
    if (presentSeats() < 2) // nobody to vote: judged at once
        settleVote();
    return std::nullopt;
}

// The tiles are on the seat's rack and lie as a play may.
std::optional<Refused> Game::checkLaid(int seat, const Play& laid) const {
    if (!rackHolds(seats_[seat].rack, rackTiles(laid)))
        return Refused{Refusal::Tiles,
                       "the tiles " + rackTiles(laid) + " are not all on your rack"};
    const PlacementFault fault = checkPlacement(board_, laid);
    if (fault != PlacementFault::None)
        return Refused{isCellFault(fault) ? Refusal::Tiles : Refusal::Placement, describe(fault)};
    return std::nullopt;
}

PlayPreview Game::preview(int seat, const Play& laid) const {
    if (seat < 0 || seat >= int(seats_.size()) || laid.empty())
        return {Refused{Refusal::Tiles, "there are no tiles to play"}, 0, {}};
    if (auto refused = checkLaid(seat, laid))
        return {std::move(refused), 0, {}};
    const Play play = inBoardOrder(namedBlanks(laid));
    if (judging_ == Judging::List) {
        if (const std::vector<std::string> unknown = unknownWords(play); !unknown.empty())
            return {Refused{Refusal::Words, hasUnnamedBlank(laid)
                                                ? "no letter for the blank makes every word valid"
                                                : notListed(unknown)},
                    0,
                    {}};
    }
    return {std::nullopt, scorePlay(board_, play), playWords(board_, play)};
}

// The play with every blank named: a blank the mover named keeps its
// letter; one laid as kUnnamedBlank takes the first letter that makes every
// word valid, or A when none does (or there is no list), so that every blank
// on the board stands for a letter.
Play Game::namedBlanks(const Play& play) const {
    if (!hasUnnamedBlank(play))
        return play;
    if (auto named = words_ ? blanksNamedForWords(board_, play, words_) : std::nullopt)
        return *named;
    Play named = play;
    for (LaidTile& t : named)
        if (t.tile.letter == kUnnamedBlank)
            t.tile.letter = 'A';
    return named;
}

// The tiles left to right and top to bottom, so that a play reads as its
// word however the mover listed its tiles.
Play Game::inBoardOrder(Play play) {
    std::sort(play.begin(), play.end(), [](const LaidTile& a, const LaidTile& b) {
        return std::pair(a.row, a.column) < std::pair(b.row, b.column);
    });
    return play;
}

std::vector<std::string> Game::unknownWords(const Play& play) const {
    std::vector<std::string> unknown;
    for (const FormedWord& word : formedWords(board_, play))
        if (!words_ || !words_->contains(word.letters))
            unknown.push_back(word.letters);
    return unknown;
}

void Game::stand(int seat, const Play& play, int score, const Settlement* settled) {
    Seat& mover = seats_[seat];
    const std::string rackBefore = mover.rack + (settled ? rackTiles(play) : "");
    const std::string notation = playNotation(board_, play);
    std::string words = playWords(board_, play);
    for (const LaidTile& t : play)
        board_.at(t.column, t.row) = t.tile;
    mover.score += score;
    record(seat, rackBefore, notation, score, mover.score, {}, std::move(words));
    if (!settled)
        mover.rack = rackWithout(mover.rack, rackTiles(play));
    listener_->playStands(seat, play, score, settled);
    refill(mover.rack);
    listener_->rackChanged(seat);
    listener_->scoresChanged(seat);
    if (mover.rack.empty())
        return finish(End::WentOut);
    endTurn(score > 0);
}

void Game::refill(std::string& rack) {
    const int before = bag_.size();
    bag_.refill(rack);
    if (bag_.size() != before)
        listener_->tilesDrawn(bag_.size());
}

std::optional<Refused> Game::exchange(int seat, std::string_view tiles) {
    if (auto refused = checkTurn(seat))
        return refused;
    if (tiles.empty())
        return Refused{Refusal::Tiles, "name the tiles to exchange"};
    if (!rackHolds(seats_[seat].rack, tiles))
        return Refused{Refusal::Tiles,
                       "the tiles " + std::string(tiles) + " are not all on your rack"};
    if (bag_.size() < kRackSlots)
        return Refused{Refusal::Tiles, "the bag holds fewer than seven tiles"};
    Seat& mover = seats_[seat];
    const std::string rackBefore = mover.rack;
    mover.rack = rackWithout(mover.rack, tiles);
    bag_.refill(mover.rack);
    bag_.putBack(tiles);
    record(seat, rackBefore, "-" + recordTiles(std::string(tiles)), 0, mover.score);
    listener_->exchanged(seat, static_cast<int>(tiles.size()));
    listener_->rackChanged(seat);
    listener_->tilesDrawn(bag_.size());
    endTurn(false);
    return std::nullopt;
}

std::optional<Refused> Game::pass(int seat) {
    if (auto refused = checkTurn(seat))
        return refused;
    record(seat, seats_[seat].rack, "-", 0, seats_[seat].score);
    listener_->passed(seat);
    endTurn(false);
    return std::nullopt;
}

void Game::leave(int seat) {
    if (over_ || seat < 0 || seat >= int(seats_.size()) || !seats_[seat].present)
        return;
    seats_[seat].present = false;
    losesTurn_.erase(seat);
    if (pending_ && pending_->seat == seat) {
        takeBack({Verdict::Withdrawn, seat, {}});
        advance();
    } else if (pending_) {
        settleVote(); // the one who left may have been the last to approve, or the last voter
    } else if (seat == turn_) {
        advance();
    }
}

void Game::endForLackOfPlayers() {
    if (!over_)
        finish(End::Deserted);
}

void Game::takeSeat(int seat, std::string name) {
    seats_.at(seat).name = std::move(name);
    seats_[seat].present = true;
}

int Game::presentSeats() const {
    return int(
        std::count_if(seats_.begin(), seats_.end(), [](const Seat& s) { return s.present; }));
}

Grid Game::shownBoard() const {
    Grid shown = board_;
    if (pending_)
        for (const LaidTile& t : pending_->play)
            shown.at(t.column, t.row) = t.tile;
    return shown;
}

std::string Game::unseenBy(int seat) const {
    std::string tiles = bag_.tiles();
    for (std::size_t i = 0; i < seats_.size(); ++i)
        if (int(i) != seat)
            tiles += seats_[i].rack;
    std::sort(tiles.begin(), tiles.end());
    return tiles;
}

std::vector<std::string> Game::names() const {
    std::vector<std::string> names;
    for (const Seat& seat : seats_)
        names.push_back(seat.name);
    return names;
}

void Game::record(int seat, const std::string& rack, std::string notation, int score, int total,
                  std::string note, std::string words) {
    record_.push_back(RecordedMove{seat, rack, std::move(notation), score, total, std::move(note),
                                   std::move(words)});
}

void Game::endTurn(bool scored) {
    scoreless_ = scored ? 0 : scoreless_ + 1;
    if (scoreless_ >= kScorelessTurnsToEnd)
        return finish(End::Scoreless);
    advance();
}

// The turn goes round the seats in order, past those who have left. A
// seat that challenged a play that stood loses the turn it comes to.
void Game::advance() {
    for (int steps = 0; steps < 2 * int(seats_.size()) && presentSeats() > 0; ++steps) {
        do
            turn_ = (turn_ + 1) % int(seats_.size());
        while (!seats_[turn_].present);
        if (!losesTurn_.erase(turn_)) {
            ++turnNumber_;
            listener_->turnBegins(turn_, std::nullopt);
            return;
        }
        record(turn_, seats_[turn_].rack, "-", 0, seats_[turn_].score,
               std::string(kLostTurnNote));
        listener_->turnLost(turn_);
        if (++scoreless_ >= kScorelessTurnsToEnd)
            return finish(End::Scoreless);
    }
}

int overtimePenalty(std::int64_t overMs) {
    constexpr std::int64_t kMinute = 60000;
    constexpr int kPointsPerMinute = 10;
    return overMs > 0 ? int((overMs + kMinute - 1) / kMinute) * kPointsPerMinute : 0;
}

// The usual adjustment: each rack's tiles count against its holder, and a
// player who went out gains what the others hold. A game that ends because
// players left ends as it stands.
std::vector<Adjustment> endAdjustments(const std::vector<Seat>& seats, int wentOut) {
    std::vector<Adjustment> adjustments;
    int held = 0;
    for (std::size_t i = 0; i < seats.size(); ++i) {
        if (int(i) == wentOut || seats[i].rack.empty())
            continue;
        adjustments.push_back(Adjustment{int(i), -rackValue(seats[i].rack)});
        held += rackValue(seats[i].rack);
    }
    if (wentOut >= 0)
        adjustments.push_back(Adjustment{wentOut, held});
    return adjustments;
}

void Game::finish(End end) {
    over_ = true;
    const int wentOut = end == End::WentOut ? turn_ : -1;
    std::vector<Adjustment> adjustments;
    if (end != End::Deserted)
        adjustments = endAdjustments(seats_, wentOut);
    for (std::size_t i = 0; i < seats_.size() && end != End::Deserted; ++i)
        if (timePenalty_[i] > 0)
            adjustments.push_back(Adjustment{int(i), -timePenalty_[i], true});
    std::string taken;
    for (const Adjustment& a : adjustments) {
        Seat& seat = seats_[a.seat];
        seat.score += a.points;
        if (a.forTime) {
            record(a.seat, seat.rack, "(time)", a.points, seat.score);
        } else if (a.seat == wentOut) {
            record(a.seat, "", "(" + recordTiles(taken) + ")", a.points, seat.score);
        } else {
            taken += seat.rack;
            record(a.seat, seat.rack, "(" + recordTiles(seat.rack) + ")", a.points, seat.score);
        }
    }
    int best = 0;
    std::vector<int> winners;
    for (std::size_t i = 0; i < seats_.size(); ++i) {
        if (!seats_[i].present)
            continue;
        if (winners.empty() || seats_[i].score > best)
            winners.clear(), best = seats_[i].score;
        if (seats_[i].score == best)
            winners.push_back(int(i));
    }
    listener_->gameOver(adjustments, winners);
}

} // namespace wordmoot
