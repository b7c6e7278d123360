#!/usr/bin/env bash
# Sets up, builds and runs every test headless, then the benchmarks in their
# short modes. The benchmarks print figures and fail only on a wrong result,
# never on time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
source scripts/sanitizer-options.sh # for a sanitized build/, as CI makes
ctest --test-dir build --output-on-failure -j "$(nproc)"

# Runs a benchmark that was built (each needs parts of the build that may be
# switched off), under a heading.
bench() {
  if [ -x "build/bin/$1" ]; then
    echo "=== $*"
    "build/bin/$1" "${@:2}"
  else
    echo "=== $1 not built, skipped"
  fi
}
words=build/share/wordmoot/words.txt                       # the game's list, where it was fetched
[ -f "$words" ] || words=/usr/share/dict/words
bench client_bench --quick                                 # a few seconds
bench robot_bench "$words" 3 4 10 300 10                   # 3 brute-force positions, 4-letter racks; 10 endgames, 300 ms each; 10 simulations
bench wordmoot-loadtest build/bin/wordmoot-server 5 100    # 100 users for 5 s
bench wordmoot-loadtest build/bin/wordmoot-server 5 100 4  # the same with four champions thinking
bench wordmoot-loadtest build/bin/wordmoot-server 5 100 0 50  # the same with 50 users proving passwords
bench wordmoot-hostiletest build/bin/wordmoot-server 3     # 3 s alone, 3 s under attack, 3 s alone again
bench wordmoot-judgebench 20                               # 20 phonies against a robot a rule
bench wordmoot-dispatchbench 200000                        # the lobby answering 200,000 lines
bench wordmoot-restorebench build/bin/wordmoot-server "$words" 9 16 3  # a start bringing back 9 games in play

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (in CI build/ is sanitized already, and only the fuzz targets are built),
# then each fuzz target for 60 s, from the same build (build-asan/).
if [ "${CI:-}" = "true" ]; then
  scripts/sanitized-tests.sh --fuzz-targets-only
else
  scripts/sanitized-tests.sh
fi
scripts/fuzz.sh 60
