#pragma once

#include "robot/Choice.h"
#include "server/Announcer.h"
#include "server/Forming.h"
#include "server/Outbox.h"
#include "server/SeatClock.h"
#include "server/Seats.h"
#include "server/store/Store.h"
#include "shared/protocol/Replies.h"
#include "shared/protocol/ReplyCode.h"
#include "shared/rules/Game.h"
#include "shared/rules/GameInput.h"

#include <QByteArray>
#include <QTimer>

#include <memory>
#include <set>
#include <vector>

namespace wordmoot::server {

class CommandRegistry;
class User;
class Lobby;
class RobotSeat;

// One numbered game and the users in it. Its parts own their state: who
// sits while it forms (Forming), the seats of the game in play (Seats), the
// clock (SeatClock), what is said of the game's events (Announcer) and the
// journal's text (journal::); the room takes the commands, changes the game
// through act() alone, and ties the parts together: seat offers, robots,
// the journal and the store.
class Room : public GameListener, private Announcer::Sink {
public:
    static constexpr int kMostSeats = Forming::kMostSeats;
    enum class Phase { Forming, Playing, Over };

    Room(Lobby& lobby, int number);
    ~Room() override;

    int number() const { return number_; }
    Phase phase() const { return phase_; }
    // What the game list says of the game.
    reply::GameInfo info() const;
    // Nobody is in it, and no seat waits for a player who dropped.
    bool isEmpty() const;
    // Whether the user holds a seat in the game in play.
    bool isPlaying(const User& u) const { return playingSeat(u) >= 0; }
    // Whether it is the user's turn in the game in play.
    bool isOnTurn(const User& u) const;

    void join(User& user);
    // The user made the game. Until it is first played, it counts as made
    // from the user's address: one address makes one such game at a time.
    void madeBy(const User& user);
    const QByteArray& madeFrom() const { return forming_.madeFrom(); }
    void leave(User& user, bool dropped);
    void renamed(User& user);
    // Whether a seat of the game in play, other than the user's own, bears
    // the name or one that looks like it.
    bool hasSeatNamed(const QByteArray& name, const User& other) const;
    // Whether the user may take the name: not while a seat kept for a
    // player who dropped bears it, unless the user may be that player (from
    // the same address, or, for a player who had proved the name, one who
    // will have to prove it too). A name that only looks like the seat's
    // is never its player's.
    bool mayTakeName(const User& u, const QByteArray& name) const;
    // The user, watching, has proved its name: the seat kept for it, if any,
    // is its again.
    void proved(User& u);
    // The game in play again, from its journal; false when the journal holds
    // none (unreadable, or played to its end: then the game is kept now).
    bool restore(const std::vector<QByteArray>& lines);
    // Every write of the journal up to this ticket is kept: the lines that
    // waited for them go.
    void journalKept(quint64 kept);
    // The store holds the journal up, or keeps it again: a game with lines
    // waiting tells its members.
    void storeStalled(const QString& why);
    void storeResumed();
    // The time left on the clock, as REFRESH says it; empty without a clock.
    QByteArray clockText() const;
    // READY, OBSERVER, PLAY and the other commands of a game, each answered
    // by the room of the user who sends it.
    static void addCommands(CommandRegistry& commands);

private:
    using Handler = void (Room::*)(User&, const QByteArray&);

    // Room.cpp: who is in the room, where they sit (seats offered, kept
    // through a drop, robots seated), and when a game begins.
    void ready(User& u, const QByteArray& arg);
    void observe(User& u, const QByteArray& arg);
    void refresh(User& u, const QByteArray& arg);
    void start(User& u, const QByteArray& arg);
    void robot(User& u, const QByteArray& arg);
    void sendPosition(User& u);
    void sendScores(User* only);
    // The game panel's state (TableReplies): the bag, the tiles each has
    // not seen, the clock and the moves, to one user or to everyone.
    void sendTable(User* only);
    // After the game took an input: the moves not yet told, the bag, the
    // tiles unseen.
    void tellTable();
    void sendClock(User* only);
    // After someone sat down, got ready or left; `readied` is who said READY.
    void maybeStart(const User* readied);
    void startGame();
    void updateFormClock();
    void formTimeUp();
    // A seat without a player goes to the first observer who has not said no.
    void offerSeat();
    void offerRefused();
    void takeSeat(User& u);
    // With fewer than two players and no seat on offer the game cannot go on.
    void endIfTooFew();
    // Whether the seat waits for the user who dropped from it; false when
    // the seat is let go as before: a robot's, a player who said QUIT, no
    // game in play, or no grace at all.
    bool keepSeat(User& u, int seat);
    int awaySeatFor(const User& u) const;
    void rejoin(User& u, int seat);
    void graceEnds();
    // The seat counts as left: it goes to a watcher, or the game ends.
    void seatLost(int seat);
    void addRobot(robot::Level level);
    // A robot of the room, not yet in a seat.
    User* newRobot(QByteArray name, robot::Level level, std::uint64_t seed);
    void removeRobot(User& u);
    // The robot in that seat, if the room plays it.
    RobotSeat* robotOf(const User* u) const;
    // The user's seat in the game in play, or -1.
    int playingSeat(const User& u) const;
    int seatOf(const User& u) const;
    QByteArray nameOf(int seat) const;
    std::vector<QByteArray> seatNames() const;
    // Every line the room says goes through its outbox, in order, and waits
    // there while a write of the game's journal is on its way.
    void tell(User& u, ReplyCode code, QByteArrayView text = {}) { outbox_.send(u, code, text); }
    // A membership reply, noted as the client's role.
    void tellRole(User& u, ReplyCode code);
    void toAll(ReplyCode code, QByteArrayView text) override;
    void toSeat(int seat, ReplyCode code, QByteArrayView text) override;

    // RoomGame.cpp: the game in play, its journal, its clock and its robots.
    void play(User& u, const QByteArray& arg);
    void exchange(User& u, const QByteArray& arg);
    void forfeit(User& u, const QByteArray& arg);
    void withdraw(User& u, const QByteArray& arg);
    void approve(User& u, const QByteArray& arg);
    void challenge(User& u, const QByteArray& arg);
    void unseen(User& u, const QByteArray& arg);
    void preview(User& u, const QByteArray& arg);
    void hint(User& u, const QByteArray& arg);
    // Every change to the game goes through act(), which journals it (after
    // `lines` of the room's own) once the game takes it.
    std::optional<Refused> act(const GameInput& input, std::vector<QByteArray> lines = {});
    void beginJournal(std::uint64_t seed);
    // What the room says from now on waits for the journal's next write; a
    // store in trouble is said at once.
    void holdForJournal();
    QByteArray seatLine(int seat, const QByteArray& name) const;
    store::LiveKey journalKey() const;
    void logEvent(const QByteArray& event, const QByteArray& fields = {}) const;
    // The mover's time is charged before its move; lines for the journal.
    std::vector<QByteArray> chargeClock(const GameInput& input);
    // Starts or stops the clock of the seat on turn, as the game now stands.
    void updateClock();
    void clockRings(int seat, SeatClock::Ring ring, int warningMs);
    // Which think an answer is for: the robot (0 for a hint), the seat, the
    // game of the room and the turn it was asked on.
    struct Ticket {
        int robot = 0;
        int seat = 0;
        int game = 0;
        int turn = 0;
    };
    Ticket ticketFor(int robot, int seat) const;
    // Whether the game is still at the seat's turn the ticket was made on.
    bool isCurrent(const Ticket& ticket) const;
    robot::ThinkRequest requestFor(int seat, robot::Level level, std::uint64_t seed) const;
    void robotActs(RobotSeat& robot);
    void robotAnswered(const Ticket& ticket, const robot::Move& move);
    void hintAnswered(const Ticket& ticket, const robot::Move& move);
    void wakeRobots(int seat, int delayMs);
    // The game's record, in the --records folder.
    void saveRecord(const QByteArray& record) const;
    // `names`: the winners, as the game over line says them.
    void keepGame(const std::vector<int>& winners, const QByteArray& names,
                  const QByteArray& record) const;

    void startingTileDrawn(int seat, char tile, bool redraw) override;
    void rackChanged(int seat) override;
    void scoresChanged(int moverSeat) override;
    void turnBegins(int seat, std::optional<char> startingTile) override;
    void exchanged(int seat, int count) override;
    void passed(int seat) override;
    void turnLost(int seat) override;
    void tilesDrawn(int bagSize) override;
    void playStands(int seat, const Play& play, int score, const Settlement* settled) override;
    void playPutToVote(int seat, const Play& play, int score) override;
    void playTakenBack(int seat, const Play& play, const Settlement& settled) override;
    void gameOver(const std::vector<Adjustment>& adjustments,
                  const std::vector<int>& winners) override;

    Lobby& lobby_;
    const int number_;
    Phase phase_ = Phase::Forming;
    std::vector<User*> members_; // everyone in the room, in order of joining
    Forming forming_;
    std::unique_ptr<Game> game_; // the game in play, or the last one
    Seats seats_;
    SeatClock clock_;
    Announcer announcer_{*this};
    int moverSeat_ = -1; // whose score changed last
    int gamesStarted_ = 0;
    int journaled_ = 0; // lines in the game's journal
    std::size_t movesTold_ = 0; // of the game's record, sent as MOVE lines
    QByteArray overWinners_; // as the game over line says them, for the log
    QTimer voteTimer_;
    QTimer offerTimer_;
    User* offeredTo_ = nullptr;
    int offeredSeat_ = -1;
    std::set<const User*> declined_; // observers who did not take a seat
    std::vector<std::unique_ptr<RobotSeat>> robots_;
    Outbox outbox_;
    bool stallTold_ = false; // the members know the game waits for the store
    QObject answers_; // where thinks answer: gone with the room, they answer nobody
};

} // namespace wordmoot::server
