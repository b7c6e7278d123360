#pragma once

#include <cstdio>

namespace wordmoot::bench {

// Figures from a build with the sanitizers (as CI makes) say nothing of the
// program's speed or memory; a benchmark run there only checks its results.
inline void noteSanitizedBuild() {
#ifdef WORDMOOT_SANITIZED
    std::printf("(a sanitized build: times and memory are not the program's own, only the "
                "results are checked)\n");
#endif
}

} // namespace wordmoot::bench
