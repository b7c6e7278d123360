#pragma once

#include <QtGlobal>

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

} // namespace wordmoot::bench
