#pragma once

#include "shared/protocol/ReplyCode.h"
#include "shared/rules/Game.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

namespace wordmoot::server {

// What the players and watchers of a game are told of what happens in it:
// the game's events turned into reply lines, for everyone in the room or
// for one seat's player.
class Announcer {
public:
    // Where the lines go.
    class Sink {
    public:
        virtual void toAll(ReplyCode code, QByteArrayView text) = 0;
        virtual void toSeat(int seat, ReplyCode code, QByteArrayView text) = 0;

    protected:
        ~Sink() = default;
    };

    explicit Announcer(Sink& sink)
        : sink_(sink) {}

    void startingTileDrawn(const Game& game, int seat, char tile, bool redraw);
    void rack(const Game& game, int seat);
    void turnBegins(const Game& game, int seat, std::optional<char> startingTile);
    void exchanged(const Game& game, int seat, int count);
    void passed(const Game& game, int seat);
    void turnLost(const Game& game, int seat);
    void tilesDrawn(int bagSize);
    // A play stands: its rows, and the line the client logs for a 2003, so
    // that plays read alike however they stand.
    void playStands(const Game& game, int seat, const Play& play, int score,
                    const Settlement* settled);
    void playPutToVote(const Game& game, int seat, const Play& play, int score);
    // The mover is told why with a 5036, as for a play refused at once; the
    // room hears it too.
    void playTakenBack(const Game& game, int seat, const Play& play, const Settlement& settled);
    // The points each seat gains or loses at the end.
    void adjustments(const Game& game, const std::vector<Adjustment>& adjustments);
    // Who won. A game that ends because players left is won by who stayed,
    // whatever the scores: the room hears why before the result.
    void result(const Game& game, const std::vector<int>& winners);

    // "ann", "ann and bob": the winners, as the result says them.
    static QByteArray winnersText(const Game& game, const std::vector<int>& winners);
    // "2 minutes", "90 seconds", "1 minute".
    static QByteArray spokenTime(int seconds);

private:
    void sendRows(const Game& game, const Play& play);

    Sink& sink_;
};

} // namespace wordmoot::server
