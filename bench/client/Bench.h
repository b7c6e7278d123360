#pragma once

#include "shared/protocol/LineFramer.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

namespace wordmoot::bench {

// A wrong result: said at once, and the program's exit status.
void check(bool right, const char* what);
bool allResultsRight();

inline double perSecond(qint64 count, qint64 ns) {
    return double(count) * 1e9 / double(ns);
}

// The most memory the process has held resident so far, in MiB.
double peakResidentMiB();

// A loopback flood of chat lines into the real window: lines per second end
// to end against the wire and the framer alone, the event loop's longest
// stall, every line shown in order, and the resident memory.
void flood(int lines);

// A whole game as one player receives it, recorded from the real server,
// replayed through the receive buffer and the session's reply handling
// against a bare line splitter.
void gameTrace(int runs, int replays);

// The shortest of several runs of the work, in nanoseconds: the run least
// disturbed by whatever else the machine is doing.
inline qint64 best(int runs, const std::function<void()>& work) {
    qint64 shortest = std::numeric_limits<qint64>::max();
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        shortest = std::min(shortest, std::max<qint64>(timer.nsecsElapsed(), 1));
    }
    return shortest;
}

inline QByteArray manyLines(const QByteArray& line, int count) {
    return (line + "\r\n").repeated(count);
}

// Feeds the bytes to a framer in pieces of the given size, as the socket
// hands them over, and gives every line to the handler.
template <typename Handle> void frame(const QByteArray& bytes, qsizetype piece, Handle&& handle) {
    LineFramer framer;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        framer.append(bytes.mid(at, piece));
        while (const auto line = framer.takeLine())
            handle(*line);
    }
}

// The least a line splitter can do: find each LF, keep what stands before
// the line's first CR.
template <typename Handle> void splitBare(const QByteArray& bytes, Handle&& handle) {
    const char* at = bytes.constData();
    const char* const end = at + bytes.size();
    while (const char* lf = static_cast<const char*>(std::memchr(at, '\n', end - at))) {
        const char* cr = static_cast<const char*>(std::memchr(at, '\r', lf - at));
        handle(QByteArrayView(at, (cr ? cr : lf) - at));
        at = lf + 1;
    }
}

} // namespace wordmoot::bench
