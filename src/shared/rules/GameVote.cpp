// The play put to the other players: their approvals and challenges, the
// list's judgement, and what becomes of the play.
#include "shared/rules/Game.h"
#include "shared/rules/Scoring.h"

namespace wordmoot {

std::optional<Refused> Game::withdraw(int seat) {
    if (!pending_ || pending_->seat != seat)
        return Refused{Refusal::Turn, "no play of yours waits for the others"};
    if (judging_ == Judging::Challenge)
        return Refused{Refusal::Turn, "a play put to the others cannot be taken back"};
    takeBack({Verdict::Withdrawn, seat, {}});
    return std::nullopt;
}

bool Game::approve(int seat) {
    if (!pending_ || seat == pending_->seat || seat < 0 || seat >= int(seats_.size()) ||
        !seats_[seat].present)
        return false;
    pending_->approvals.insert(seat);
    settleVote();
    return true;
}

// One refusal settles a vote, which must be unanimous; under the challenge
// rule the list judges the play at once.
bool Game::challenge(int seat) {
    if (!pending_ || seat == pending_->seat || seat < 0 || seat >= int(seats_.size()) ||
        !seats_[seat].present)
        return false;
    if (judging_ == Judging::Challenge) {
        judgeByList({Verdict::Challenged, seat, {}});
    } else {
        Settlement refused{Verdict::Refused, seat, {}};
        if (words_)
            refused.unknown = unknownWords(pending_->play);
        takeBack(refused);
        endTurn(false);
    }
    return true;
}

void Game::voteExpired() {
    if (!pending_)
        return;
    if (judging_ == Judging::Challenge)
        return judgeByList({Verdict::Unanswered, -1, {}});
    takeBack({Verdict::TimedOut, -1, {}});
    endTurn(false);
}

// The play waiting stands once every other player still seated has
// approved it. With none of them left, or none there when it was made,
// nobody can vote: the list decides where there is one, and without a list
// the play stands, so that a play made while a seat waits for a new player
// counts like any other.
void Game::settleVote() {
    int voters = 0;
    for (std::size_t i = 0; i < seats_.size(); ++i) {
        if (!seats_[i].present || int(i) == pending_->seat)
            continue;
        if (!pending_->approvals.count(int(i)))
            return;
        ++voters;
    }
    if (voters > 0)
        return standPending({Verdict::Approved, -1, {}});
    if (words_)
        return judgeByList({Verdict::Deserted, -1, {}});
    standPending({Verdict::Deserted, -1, {}});
}

// A phony comes off the board and the mover loses the turn; a valid play
// stands, and whoever challenged it loses their next turn.
void Game::judgeByList(Settlement settled) {
    settled.unknown = unknownWords(pending_->play);
    if (!settled.unknown.empty()) {
        takeBack(settled);
        return endTurn(false);
    }
    if (settled.by >= 0)
        losesTurn_.insert(settled.by);
    standPending(settled);
}

void Game::standPending(const Settlement& settled) {
    const PendingPlay play = std::move(*pending_);
    pending_.reset();
    stand(play.seat, play.play, play.score, &settled);
}

// The play comes off the board and its tiles go back on the mover's rack. A
// play the others turned down stays in the record as laid, taken back at once.
void Game::takeBack(const Settlement& settled) {
    const PendingPlay taken = std::move(*pending_);
    pending_.reset();
    Seat& mover = seats_[taken.seat];
    mover.rack += rackTiles(taken.play);
    if (settled.verdict != Verdict::Withdrawn) {
        record(taken.seat, mover.rack, playNotation(board_, taken.play), taken.score,
               mover.score + taken.score, {}, playWords(board_, taken.play));
        record(taken.seat, mover.rack, "--", -taken.score, mover.score);
    }
    listener_->playTakenBack(taken.seat, taken.play, settled);
    listener_->rackChanged(taken.seat);
}

} // namespace wordmoot
