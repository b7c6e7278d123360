#pragma once

#include "shared/rules/Game.h"
#include "shared/rules/GameInput.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

// The text of a game's journal, written and read. A game in play is kept in
// the store as the lines of its journal: "begin SEED JUDGING", then "seat S
// NAME KIND ADDRESS IDENTIFIED" for each seat, then every input the game
// took (GameInput), in order, with the room's own lines among them: "seat
// ..." again when a seat changes hands, "clock S USED-MS TIMEOUTS" when a
// turn is charged to the clock. The same seed gives the same bag, so the
// inputs done again give the same game.
namespace wordmoot::server::journal {

// Who sits in a seat: KIND is "person" or a robot's level.
struct SeatText {
    QByteArray name;
    QByteArray kind;
    QByteArray address;
    bool identified = false;
};
inline constexpr const char* kPerson = "person";

QByteArray beginLine(std::uint64_t seed, Judging judging);
QByteArray seatLine(int seat, const SeatText& who);
QByteArray clockLine(int seat, qint64 usedMs, int timeouts);

// The journal's head: the seed, the judging and two to `mostSeats` seats;
// none when the lines do not begin so.
struct Head {
    std::uint64_t seed = 0;
    Judging judging{};
    std::vector<SeatText> seats;
    std::size_t body = 0; // the first line after the seats
};
std::optional<Head> readHead(const std::vector<QByteArray>& lines, int mostSeats);

// One line after the head, in a game of `seats`.
struct Line {
    enum class Kind {
        Seat,    // the seat changed hands: `seat`, `who`
        Clock,   // the seat's time: `seat`, `usedMs`, `timeouts`
        Input,   // `input`
        NoInput, // nothing this journal knows: skipped
        Broken,  // a seat line or clock line for a seat the game lacks
    };
    Kind kind = Kind::NoInput;
    int seat = -1;
    SeatText who;
    qint64 usedMs = 0;
    int timeouts = 0;
    std::optional<GameInput> input;
};
Line readLine(const QByteArray& line, int seats);

} // namespace wordmoot::server::journal
