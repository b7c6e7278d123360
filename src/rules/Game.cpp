#include "rules/Game.h"

#include "rules/Scoring.h"
#include "rules/WordList.h"

#include <algorithm>

namespace wordmoot {

namespace {
// Starting tiles rank a blank first, then A to Z.
int startRank(char tile) {
    return tile == kUnnamedBlank ? 0 : tile - 'A' + 1;
}
constexpr int kMostDrawRounds = 20; // after that, seat order settles a tie
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
}

void Game::start() {
    std::vector<int> everyone(seats_.size());
    for (std::size_t i = 0; i < seats_.size(); ++i)
        everyone[i] = static_cast<int>(i);
    order_ = drawOrder(everyone, false, 0);
    const char startingTile = seats_[order_.front()].rack.front();
    for (std::size_t i = 0; i < seats_.size(); ++i) {
        bag_.putBack(seats_[i].rack);
        seats_[i].rack.clear();
    }
    for (std::size_t i = 0; i < seats_.size(); ++i) {
        bag_.refill(seats_[i].rack);
        listener_->rackChanged(static_cast<int>(i));
    }
    turn_ = order_.front();
    listener_->scoresChanged(-1);
    listener_->turnBegins(turn_, startingTile);
}

// Each seat of the group draws a tile, held on its rack until the order is
// settled; seats that drew alike draw again among themselves.
std::vector<int> Game::drawOrder(std::vector<int> group, bool redraw, int rounds) {
    for (const int seat : group) {
        bag_.putBack(seats_[seat].rack);
        seats_[seat].rack = std::string(1, bag_.draw());
        listener_->startingTileDrawn(seat, seats_[seat].rack[0], redraw);
    }
    const auto rank = [&](int seat) { return startRank(seats_[seat].rack[0]); };
    std::stable_sort(group.begin(), group.end(), [&](int a, int b) { return rank(a) < rank(b); });
    std::vector<int> order;
    for (std::size_t i = 0; i < group.size();) {
        std::size_t j = i + 1;
        while (j < group.size() && rank(group[j]) == rank(group[i]))
            ++j;
        std::vector<int> tied(group.begin() + i, group.begin() + j);
        if (tied.size() > 1 && rounds < kMostDrawRounds)
            tied = drawOrder(tied, true, rounds + 1);
        order.insert(order.end(), tied.begin(), tied.end());
        i = j;
    }
    return order;
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

std::optional<Refused> Game::play(int seat, const Play& play) {
    if (auto refused = checkTurn(seat))
        return refused;
    if (!rackHolds(seats_[seat].rack, rackTiles(play)))
        return Refused{Refusal::Tiles,
                       "the tiles " + rackTiles(play) + " are not all on your rack"};
    const PlacementFault fault = checkPlacement(board_, play);
    if (fault != PlacementFault::None)
        return Refused{isCellFault(fault) ? Refusal::Tiles : Refusal::Placement, describe(fault)};
    std::vector<std::string> unknown;
    std::optional<Play> named;
    if (judging_ == Judging::List || judging_ == Judging::Mixed)
        named = judgedBlanks(play, unknown);
    else if (judging_ == Judging::None)
        named = play;
    if (named) {
        stand(seat, *named, scorePlay(board_, *named), false);
        return std::nullopt;
    }
    if (judging_ == Judging::List) {
        std::string names;
        for (const std::string& word : unknown)
            names += (names.empty() ? "" : ", ") + word;
        const bool blanks =
            std::any_of(play.begin(), play.end(), [](auto& t) { return t.tile.blank; });
        return Refused{Refusal::Words, blanks ? "no letter for the blank makes every word valid"
                                              : "not in the word list: " + names};
    }
    pending_ = PendingPlay{seat, play, scorePlay(board_, play), {}};
    seats_[seat].rack = rackWithout(seats_[seat].rack, rackTiles(play));
    listener_->playPutToVote(seat, play, pending_->score);
    listener_->rackChanged(seat);
    return std::nullopt;
}

// The play with its blanks named so that every word is in the list, the
// alphabetically first such letters; nullopt, with the unknown words of the
// play as laid, when no letters do.
std::optional<Play> Game::judgedBlanks(const Play& play, std::vector<std::string>& unknown) const {
    if (auto named = blanksNamedForWords(board_, play, words_))
        return named;
    unknown = unknownWords(play);
    return std::nullopt;
}

std::vector<std::string> Game::unknownWords(const Play& play) const {
    std::vector<std::string> unknown;
    for (const FormedWord& word : formedWords(board_, play))
        if (!words_ || !words_->contains(word.letters))
            unknown.push_back(word.letters);
    return unknown;
}

void Game::stand(int seat, const Play& play, int score, bool afterVote) {
    Seat& mover = seats_[seat];
    const std::string rackBefore = mover.rack + (afterVote ? rackTiles(play) : "");
    const std::string notation = playNotation(board_, play);
    for (const LaidTile& t : play)
        board_.at(t.column, t.row) = t.tile;
    mover.score += score;
    record(seat, rackBefore, notation, score, mover.score);
    if (!afterVote)
        mover.rack = rackWithout(mover.rack, rackTiles(play));
    bag_.refill(mover.rack);
    listener_->playStands(seat, play, score, afterVote);
    listener_->rackChanged(seat);
    listener_->scoresChanged(seat);
    if (mover.rack.empty())
        return finish(End::WentOut);
    endTurn(score > 0);
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

bool Game::withdraw(int seat) {
    if (!pending_ || pending_->seat != seat)
        return false;
    takeBack(true);
    return true;
}

bool Game::approve(int seat) {
    if (!pending_ || seat == pending_->seat || seat < 0 || seat >= int(seats_.size()) ||
        !seats_[seat].present)
        return false;
    pending_->approvals.insert(seat);
    settleVote();
    return true;
}

// The play waiting stands once every other seated player has approved it.
void Game::settleVote() {
    for (std::size_t i = 0; i < seats_.size(); ++i)
        if (seats_[i].present && int(i) != pending_->seat && !pending_->approvals.count(int(i)))
            return;
    const PendingPlay approved = std::move(*pending_);
    pending_.reset();
    stand(approved.seat, approved.play, approved.score, true);
}

void Game::voteExpired() {
    if (!pending_)
        return;
    const PendingPlay refused = *pending_;
    takeBack(false);
    // The play goes into the record as laid and comes off again at once.
    const Seat& mover = seats_[refused.seat];
    record(refused.seat, mover.rack, playNotation(board_, refused.play), refused.score,
           mover.score + refused.score);
    record(refused.seat, mover.rack, "--", -refused.score, mover.score);
    endTurn(false);
}

void Game::takeBack(bool withdrawn) {
    const PendingPlay taken = std::move(*pending_);
    pending_.reset();
    seats_[taken.seat].rack += rackTiles(taken.play);
    listener_->playTakenBack(taken.seat, taken.play, withdrawn);
    listener_->rackChanged(taken.seat);
}

void Game::leave(int seat) {
    if (over_ || seat < 0 || seat >= int(seats_.size()) || !seats_[seat].present)
        return;
    seats_[seat].present = false;
    if (pending_ && pending_->seat == seat) {
        takeBack(true);
        advance();
    } else if (pending_) {
        settleVote(); // the one who left may have been the last to approve
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

std::vector<std::string> Game::names() const {
    std::vector<std::string> names;
    for (const Seat& seat : seats_)
        names.push_back(seat.name);
    return names;
}

void Game::record(int seat, const std::string& rack, std::string notation, int score, int total) {
    record_.push_back(RecordedMove{seat, rack, std::move(notation), score, total});
}

void Game::endTurn(bool scored) {
    scoreless_ = scored ? 0 : scoreless_ + 1;
    if (scoreless_ >= kScorelessTurnsToEnd)
        return finish(End::Scoreless);
    advance();
}

void Game::advance() {
    if (presentSeats() == 0)
        return;
    auto at = std::find(order_.begin(), order_.end(), turn_);
    do {
        if (++at == order_.end())
            at = order_.begin();
    } while (!seats_[*at].present);
    turn_ = *at;
    listener_->turnBegins(turn_, std::nullopt);
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
    std::string taken;
    for (const Adjustment& a : adjustments) {
        Seat& seat = seats_[a.seat];
        seat.score += a.points;
        if (a.seat == wentOut) {
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
