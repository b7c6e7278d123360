#pragma once

#include "protocol/Replies.h"
#include "protocol/ReplyCode.h"
#include "robot/Choice.h"
#include "rules/Game.h"

#include <QByteArray>
#include <QTimer>

#include <memory>
#include <set>
#include <vector>

namespace wordmoot::server {

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
    bool isEmpty() const { return members_.empty(); }
    // Whether the user holds a seat in the game in play.
    bool isPlaying(const User& u) const { return phase_ == Phase::Playing && seatOf(u) >= 0; }

    void join(User& user);
    void leave(User& user, bool dropped);
    void renamed(User& user);
    // READY, OBSERVER, PLAY and the other commands of a game; false for a
    // word that is none of them.
    bool command(User& user, const QByteArray& word, const QByteArray& arg);
    // Whether the word is one of those commands.
    static bool isCommand(const QByteArray& word);

private:
    using Handler = void (Room::*)(User&, const QByteArray&);
    struct Command {
        const char* word;
        Handler handler;
    };
    static const Command kCommands[];

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
    void offerSeat();
    void offerRefused();
    void takeSeat(User& u);
    void endIfTooFew();
    int seatOf(const User& u) const;
    bool isSeated(const User& u) const;
    void toAll(ReplyCode code, QByteArrayView text);
    void toSeat(int seat, ReplyCode code, QByteArrayView text);

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
    void removeRobot(User& u);
    void robotActs(RobotSeat& robot);
    // The robot in that seat, if the room plays it.
    RobotSeat* robotOf(const User* u) const;
    void wakeRobots(int seat, int delayMs);

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
    QTimer voteTimer_;
    QTimer offerTimer_;
    User* offeredTo_ = nullptr;
    int offeredSeat_ = -1;
    std::set<const User*> declined_; // observers who did not take a seat
    std::vector<std::unique_ptr<RobotSeat>> robots_;
};

} // namespace wordmoot::server
