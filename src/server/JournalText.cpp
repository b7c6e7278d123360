#include "server/JournalText.h"

#include <QList>

namespace wordmoot::server::journal {

namespace {
// An address as a seat line writes it: "-" for none.
QByteArray orDash(const QByteArray& text) {
    return text.isEmpty() ? QByteArray("-") : text;
}
QByteArray addressOf(const QByteArray& field) {
    return field == "-" ? QByteArray() : field;
}
// The words of a seat line after "seat S".
SeatText seatOf(const QList<QByteArray>& w) {
    return {w[2], w[3], addressOf(w[4]), w[5] == "1"};
}
} // namespace

QByteArray beginLine(std::uint64_t seed, Judging judging) {
    return "begin " + QByteArray::number(seed) + ' ' + QByteArray(judgingName(judging).data());
}

QByteArray seatLine(int seat, const SeatText& who) {
    return "seat " + QByteArray::number(seat) + ' ' + who.name + ' ' + who.kind + ' ' +
           orDash(who.address) + ' ' + (who.identified ? '1' : '0');
}

QByteArray clockLine(int seat, qint64 usedMs, int timeouts) {
    return "clock " + QByteArray::number(seat) + ' ' + QByteArray::number(usedMs) + ' ' +
           QByteArray::number(timeouts);
}

std::optional<Head> readHead(const std::vector<QByteArray>& lines, int mostSeats) {
    const QList<QByteArray> begin = lines.empty() ? QList<QByteArray>() : lines[0].split(' ');
    Head head;
    bool seeded = false;
    head.seed = begin.size() == 3 ? begin[1].toULongLong(&seeded) : 0;
    const auto judging = begin.size() == 3 ? parseJudging(begin[2].toStdString()) : std::nullopt;
    if (begin.value(0) != "begin" || !seeded || !judging)
        return std::nullopt;
    head.judging = *judging;
    std::size_t at = 1;
    for (; at < lines.size() && lines[at].startsWith("seat "); ++at) {
        const QList<QByteArray> w = lines[at].split(' ');
        if (w.size() != 6 || w[1].toInt() != int(head.seats.size()))
            return std::nullopt;
        head.seats.push_back(seatOf(w));
    }
    if (head.seats.size() < 2 || int(head.seats.size()) > mostSeats)
        return std::nullopt;
    head.body = at;
    return head;
}

Line readLine(const QByteArray& text, int seats) {
    const QList<QByteArray> w = text.split(' ');
    Line line;
    line.seat = w.value(1).toInt();
    if ((w[0] == "seat" || w[0] == "clock") && (line.seat < 0 || line.seat >= seats)) {
        line.kind = Line::Kind::Broken;
    } else if (w[0] == "seat" && w.size() == 6) {
        line.kind = Line::Kind::Seat;
        line.who = seatOf(w);
    } else if (w[0] == "clock" && w.size() == 4) {
        line.kind = Line::Kind::Clock;
        line.usedMs = w[2].toLongLong();
        line.timeouts = w[3].toInt();
    } else if ((line.input = parseInput(text.toStdString(), seats))) {
        line.kind = Line::Kind::Input;
    }
    return line;
}

} // namespace wordmoot::server::journal
