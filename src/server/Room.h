#pragma once

#include "shared/protocol/Replies.h"
#include "server/Outbox.h"
#include "shared/protocol/ReplyCode.h"
#include "robot/Choice.h"
#include "shared/rules/Game.h"
#include "shared/rules/GameInput.h"
#include "server/store/Store.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <set>
#include <vector>

namespace wordmoot::server {

class CommandRegistry;
class User;
class Lobby;
class RobotSeat;

// One numbered game and the users in it: the seats while it forms, the game
// in play with its vote and its seat offers, the last game's board once it is
// over. The game reports what happens; the room turns that into lines.
class Room : public GameListener {
public:
    static constexpr int kMostSeats = 4;
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
    bool isPlaying(const User& u) const { return phase_ == Phase::Playing && seatOf(u) >= 0; }
    // Whether it is the user's turn in the game in play.
    bool isOnTurn(const User& u) const;

    void join(User& user);
    // The user made the game. Until it is first played, it counts as made
    // from the user's address: one address makes one such game at a time.
    void madeBy(const User& user);
    const QByteArray& madeFrom() const { return madeFrom_; }
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

    // Room.cpp: who is in the room and where they sit.
    void ready(User& u, const QByteArray& arg);
    void observe(User& u, const QByteArray& arg);
    void refresh(User& u, const QByteArray& arg);
    void sendPosition(User& u);
    void sendScores(User* only);

    // RoomForming.cpp: when a game begins.
    void start(User& u, const QByteArray& arg);
    const User* starter() const;
    QByteArray notReady() const;
    bool mayStart() const;
    void maybeStart(const User* readied);
    void startGame();
    // A game not in play closes once no person has been ready in it for
    // --form-minutes: its number is free for a game someone will play.
    void updateFormClock();
    void formTimeUp();
    void offerSeat();
    void offerRefused();
    void takeSeat(User& u);
    void endIfTooFew();
    int seatOf(const User& u) const;
    bool isSeated(const User& u) const;
    void toAll(ReplyCode code, QByteArrayView text);
    void toSeat(int seat, ReplyCode code, QByteArrayView text);
    // Every line the room says goes through its outbox, in order, and waits
    // there while a write of the game's journal is on its way.
    void tell(User& u, ReplyCode code, QByteArrayView text = {}) { outbox_.send(u, code, text); }
    // A membership reply, noted as the client's role.
    void tellRole(User& u, ReplyCode code);

    // RoomRobots.cpp: the seats the server plays itself, and hints from
    // the same engine.
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
    void robotAnswered(const Ticket& ticket, const robot::Move& move);
    void hint(User& u, const QByteArray& arg);
    void hintAnswered(const Ticket& ticket, const robot::Move& move);
    void robot(User& u, const QByteArray& arg);
    void addRobot(robot::Level level);
    // A robot of the room, not yet in a seat.
    User* newRobot(QByteArray name, robot::Level level, std::uint64_t seed);
    void removeRobot(User& u);
    void robotActs(RobotSeat& robot);
    // The robot in that seat, if the room plays it.
    RobotSeat* robotOf(const User* u) const;
    void wakeRobots(int seat, int delayMs);

    // RoomJournal.cpp: every change to the game goes through act(), which
    // journals it (after `lines` of the room's own) once the game takes it.
    std::optional<Refused> act(const GameInput& input, std::vector<QByteArray> lines = {});
    void beginJournal(std::uint64_t seed);
    QByteArray seatLine(int seat, const QByteArray& name) const;
    store::LiveKey journalKey() const;
    QByteArray stallText(const QString& why) const;
    void logEvent(const QByteArray& event, const QByteArray& fields = {}) const;

    // RoomAway.cpp: seats kept for players whose connection dropped.
    bool keepSeat(User& u, int seat);
    int awaySeatFor(const User& u) const;
    void rejoin(User& u, int seat);
    void armGrace();
    void graceEnds();
    // The seat counts as left: it goes to a watcher, or the game ends.
    void seatLost(int seat);
    bool isAway(int seat) const { return keep_[seat].away.has_value(); }

    // RoomClock.cpp: the turn's or the game's clock.
    bool hasClock() const;
    // The mover's time is charged before its move; lines for the journal.
    std::vector<QByteArray> chargeClock(const GameInput& input);
    // The time the running clock has run since it was last charged.
    void chargeRunning();
    // Starts or stops the clock of the seat on turn, as the game now stands.
    void updateClock();
    void clockRings();
    qint64 clockLeftMs(int seat) const;

    // RoomPlay.cpp: the turn's commands and the game's events.
    void play(User& u, const QByteArray& arg);
    void exchange(User& u, const QByteArray& arg);
    void forfeit(User& u, const QByteArray& arg);
    void withdraw(User& u, const QByteArray& arg);
    void approve(User& u, const QByteArray& arg);
    void challenge(User& u, const QByteArray& arg);
    void unseen(User& u, const QByteArray& arg);
    void sendRows(const Play& play);
    // The game's record, in the --records folder.
    void saveRecord(const QByteArray& record) const;
    // `names`: the winners, as the game over line says them.
    void keepGame(const std::vector<int>& winners, const QByteArray& names,
                  const QByteArray& record) const;
    QByteArray nameOf(int seat) const;

    void startingTileDrawn(int seat, char tile, bool redraw) override;
    void rackChanged(int seat) override;
    void scoresChanged(int moverSeat) override;
    void turnBegins(int seat, std::optional<char> startingTile) override;
    void exchanged(int seat, int count) override;
    void passed(int seat) override;
    void turnLost(int seat) override;
    void tilesDrawn(int bagSize) override;

    // RoomVerdicts.cpp: plays standing, put to the others and taken back.
    void playStands(int seat, const Play& play, int score, const Settlement* settled) override;
    void playPutToVote(int seat, const Play& play, int score) override;
    void playTakenBack(int seat, const Play& play, const Settlement& settled) override;
    void gameOver(const std::vector<Adjustment>& adjustments,
                  const std::vector<int>& winners) override;

    Lobby& lobby_;
    const int number_;
    const User* maker_ = nullptr; // who made the game, while in the room
    const User* startWantedBy_ = nullptr; // the starter said START before it could begin
    QByteArray madeFrom_;         // the maker's address, until the game is played
    QTimer formTimer_;            // runs while nobody waits to play
    Phase phase_ = Phase::Forming;
    std::vector<User*> members_; // everyone in the room, in order of joining
    std::vector<User*> seated_;  // who sits while the game forms
    std::set<const User*> ready_;
    std::unique_ptr<Game> game_; // the game in play, or the last one
    std::vector<User*> holders_; // per seat of the game: its player, or none
    // Per seat: the name its player had proved when the game began, or none.
    // The seat is rated for that name if nobody else has taken it over.
    std::vector<QByteArray> identifiedAtStart_;
    int moverSeat_ = -1;         // whose score changed last
    int gamesStarted_ = 0;
    // Per seat of the game in play: what its journal and its clock keep.
    struct Keep {
        explicit Keep(QByteArray from = {}, bool proved = false)
            : address(std::move(from))
            , identified(proved) {}
        QByteArray address;                 // where its player connects from
        bool identified = false;            // its player had proved the name
        std::optional<QDeadlineTimer> away; // until when it waits for its player
        int timeouts = 0;                   // turns in a row the clock ran out
        qint64 usedMs = 0;                  // on the game's clock
    };
    std::vector<Keep> keep_;
    int journaled_ = 0; // lines in the game's journal
    QTimer graceTimer_;
    QTimer clockTimer_;
    int clockSeat_ = -1;       // whose clock runs; -1 for none
    QElapsedTimer clockSince_; // since it was last charged
    qint64 turnUsedMs_ = 0;    // of the turn, on the turn's clock
    int clockTurn_ = 0;        // the turn the clock was charged for
    int ringsFor_ = 0;         // the warning the clock rings for, in ms left; 0: time up
    bool timingOut_ = false;   // the pass under way is the clock's
    int warnedAt_ = 0;         // the last warning the turn had, in ms left; 0: none
    QByteArray overWinners_;   // as the game over line says them, for the log
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
