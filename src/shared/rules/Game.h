#pragma once

#include "shared/rules/GameRecord.h"
#include "shared/rules/TileBag.h"
#include "shared/rules/Tiles.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace wordmoot {

class WordList;

enum class Judging {
    List,      // every word must be in the list; a phony is refused and the mover plays again
    Vote,      // every play is put to the other players
    Mixed,     // words in the list stand, others go to the vote
    None,      // every well-placed play stands
    Challenge, // the others approve or challenge each play; a challenged play is judged by the
               // list (double challenge, as in tournament play)
};

// "challenge", "list", "vote", "mixed" or "none", as the server's option names them.
std::optional<Judging> parseJudging(std::string_view name);
std::string_view judgingName(Judging judging);

// How a play put to the other players was settled.
enum class Verdict {
    Approved,   // every other player approved it
    Refused,    // a player refused it (vote, mixed)
    TimedOut,   // not every other player approved it in time (vote, mixed)
    Challenged, // a player challenged it and the list judged it (challenge)
    Unanswered, // not approved by everyone in time, so judged by the list (challenge)
    Deserted,   // no other player there to vote: judged by the list, standing without one
    Withdrawn,  // the mover took it back (vote, mixed)
};
struct Settlement {
    Verdict verdict = Verdict::Approved;
    int by = -1;                      // the seat that refused or challenged
    std::vector<std::string> unknown; // the play's words the list lacks, where it was judged
};

// Why the game refuses a command; nothing has changed when it does.
enum class Refusal {
    Turn,      // not this seat's turn, no game in play, or a play waits for the vote
    Tiles,     // tiles not on the rack, or cells off the board, taken or twice
    Placement, // not in one line, a gap, off the centre, not touching
    Words,     // words not in the list, or no letter for a blank makes them so
};
struct Refused {
    Refusal kind;
    std::string reason;
};

// What a play would score and the words it would form, or why it would be
// refused.
struct PlayPreview {
    std::optional<Refused> refused;
    int score = 0;
    std::string words; // "QAT, AX"
};

struct Seat {
    std::string name;
    std::string rack;
    int score = 0;
    bool present = true; // false once the player has left
};

struct Adjustment {
    int seat = 0;
    int points = 0;       // added to the seat's score; negative for tiles left
    bool forTime = false; // lost for time over the game's clock, not for tiles
};

// What the game tells whoever runs it, in the order it happens. The server
// turns these into lines; robots and tests read them directly.
class GameListener {
public:
    virtual ~GameListener() = default;
    virtual void startingTileDrawn(int /*seat*/, char /*tile*/, bool /*redraw*/) {}
    virtual void rackChanged(int /*seat*/) {}
    virtual void scoresChanged(int /*moverSeat*/) {}
    virtual void turnBegins(int /*seat*/, std::optional<char> /*startingTile*/) {}
    // A play is on the board for good: at once (no settlement), or settled by
    // the other players or the list.
    virtual void playStands(int /*seat*/, const Play& /*play*/, int /*score*/,
                            const Settlement* /*settled*/) {}
    virtual void playPutToVote(int /*seat*/, const Play& /*play*/, int /*score*/) {}
    // A play waiting for the vote is off the board again.
    virtual void playTakenBack(int /*seat*/, const Play& /*play*/, const Settlement& /*settled*/) {}
    virtual void exchanged(int /*seat*/, int /*count*/) {}
    virtual void passed(int /*seat*/) {}
    // The seat's turn is skipped: it challenged a play that stood.
    virtual void turnLost(int /*seat*/) {}
    // Tiles were drawn from the bag, which now holds this many.
    virtual void tilesDrawn(int /*bagSize*/) {}
    virtual void gameOver(const std::vector<Adjustment>& /*adjustments*/,
                          const std::vector<int>& /*winners*/) {}
};

struct PendingPlay {
    int seat = 0;
    Play play; // its blanks named
    int score = 0;
    std::set<int> approvals;
};

// One game from the first draw to the last adjustment: the board, the bag,
// the racks, the turns and a play waiting for the vote. No clock: whoever
// runs the game calls voteExpired() when the vote has lasted long enough.
class Game {
public:
    static constexpr int kScorelessTurnsToEnd = 6;

    Game(std::vector<std::string> names, Judging judging, const WordList* words, std::uint64_t seed,
         GameListener* listener);

    void start();
    std::optional<Refused> play(int seat, const Play& play);
    // The play as PLAY would take it now, the game left as it is: refused
    // for what PLAY would refuse it for, but whose turn it is, so that a
    // player sees a play's worth while composing it before the turn comes.
    PlayPreview preview(int seat, const Play& play) const;
    std::optional<Refused> exchange(int seat, std::string_view tiles);
    std::optional<Refused> pass(int seat);
    // Takes back the seat's play waiting for the vote; the turn stays. Refused
    // when no play of the seat waits, and under the challenge rule, where a
    // play put to the others cannot be taken back.
    std::optional<Refused> withdraw(int seat);
    // Counts a seat's approval of the play waiting; true when it was counted.
    bool approve(int seat);
    // A seat refuses the play waiting (vote, mixed), or challenges it and the
    // list judges it (challenge); true when it was counted.
    bool challenge(int seat);
    void voteExpired();
    // The seat's player has gone: the game goes on without the seat, whose
    // rack and score wait for someone to take it over.
    void leave(int seat);
    // Ends the game as it stands, without adjustment, when too few are left.
    void endForLackOfPlayers();
    void takeSeat(int seat, std::string name);
    void rename(int seat, std::string name) { seats_.at(seat).name = std::move(name); }
    // Points the seat loses at the end for time over the game's clock; only
    // a game that ends in play counts it, not one whose players left.
    void setTimePenalty(int seat, int points) { timePenalty_.at(seat) = points; }
    int timePenalty(int seat) const { return timePenalty_.at(seat); }
    // Who hears of what happens from now on: a game brought back from its
    // journal is replayed to nobody first.
    void setListener(GameListener* listener) { listener_ = listener; }

    const std::vector<Seat>& seats() const { return seats_; }
    int presentSeats() const;
    int turn() const { return turn_; }
    // How many turns have begun: whatever was decided for one turn is stale
    // once this has changed.
    int turnNumber() const { return turnNumber_; }
    bool isOver() const { return over_; }
    int bagSize() const { return bag_.size(); }
    Judging judging() const { return judging_; }
    const WordList* words() const { return words_; }
    const std::optional<PendingPlay>& pending() const { return pending_; }
    // The tiles the seat has not seen: the bag and the other racks.
    std::string unseenBy(int seat) const;
    // The board of the plays that stood; a play waiting for the vote is not on it.
    const Grid& board() const { return board_; }
    // The board as players see it: a play waiting for the vote lies on it.
    Grid shownBoard() const;
    const std::vector<RecordedMove>& record() const { return record_; }
    std::vector<std::string> names() const;

private:
    int drawFirst();
    std::optional<Refused> checkTurn(int seat) const;
    std::optional<Refused> checkLaid(int seat, const Play& laid) const;
    Play namedBlanks(const Play& play) const;
    static Play inBoardOrder(Play play);
    std::vector<std::string> unknownWords(const Play& play) const;
    enum class End { WentOut, Scoreless, Deserted };
    void stand(int seat, const Play& play, int score, const Settlement* settled);
    void refill(std::string& rack);

    // GameVote.cpp: the play waiting for the others.
    void settleVote();
    void judgeByList(Settlement settled);
    void standPending(const Settlement& settled);
    void takeBack(const Settlement& settled);

    void record(int seat, const std::string& rack, std::string notation, int score, int total,
                std::string note = {}, std::string words = {});
    void endTurn(bool scored);
    void advance();
    void finish(End end);

    std::vector<Seat> seats_;
    Judging judging_;
    const WordList* words_;
    GameListener* listener_;
    TileBag bag_;
    Grid board_;
    int turn_ = -1;
    int turnNumber_ = 0;
    std::set<int> losesTurn_; // seats whose next turn is skipped
    int scoreless_ = 0;
    bool over_ = false;
    std::optional<PendingPlay> pending_;
    std::vector<RecordedMove> record_;
    std::vector<int> timePenalty_;
};

// What time over a game's clock costs: 10 points for each minute begun.
int overtimePenalty(std::int64_t overMs);

// The usual adjustment at the end: each rack's tiles count against its
// holder, and the seat that went out (-1 for none) gains what the others hold.
std::vector<Adjustment> endAdjustments(const std::vector<Seat>& seats, int wentOut);

// The play's tiles as the rack holds them: letters, a blank as kUnnamedBlank.
std::string rackTiles(const Play& play);

// "ann", "ann and bob", "ann, bob and cy".
std::string spokenList(const std::vector<std::string>& items);
// "QX is not in the word list", "QX and ZZ are not in the word list".
std::string notListed(const std::vector<std::string>& words);

} // namespace wordmoot
