#include "Bench.h"

#include <sys/resource.h>

#include <cstdio>

namespace wordmoot::bench {

namespace {
bool allRight = true;
} // namespace

void check(bool right, const char* what) {
    if (!right) {
        std::printf("WRONG: %s\n", what);
        allRight = false;
    }
}

bool allResultsRight() {
    return allRight;
}

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

} // namespace wordmoot::bench
