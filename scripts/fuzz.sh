#!/usr/bin/env bash
# Runs the fuzz targets side by side for a given time each (default 60 s):
# the client's handling of what a server sends and the server's handling of
# what clients send. Needs a build with WORDMOOT_FUZZ
# (scripts/sanitized-tests.sh makes one in build-asan/). Any crash, sanitizer
# report, hang past 10 s or growth past the memory limit fails; the input
# that did it is left in build-asan/fuzz-findings/. Half of each run tries
# inputs up to 1 MB long.
#   scripts/fuzz.sh [seconds] [client|server]...
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(client server)
build=${WORDMOOT_FUZZ_BUILD:-build-asan}

export QT_QPA_PLATFORM=offscreen
source scripts/sanitizer-options.sh
# A smaller quarantine keeps the resident memory a measure of our own growth.
export ASAN_OPTIONS="quarantine_size_mb=64:malloc_context_size=10"
mkdir -p "$build/fuzz-findings"

# One run: the target, how long, the longest input, more options.
run() {
  local corpus="$build/fuzz-corpus/$1"
  if [ ! -x "$build/bin/$1_fuzzer" ]; then
    echo "=== $1 fuzzer not built, skipped"
    return
  fi
  mkdir -p "$corpus"
  echo "=== $1 fuzzer, $2 s, inputs up to $3 bytes"
  "$build/bin/$1_fuzzer" "$corpus" "fuzz/seeds/$1" -dict="fuzz/$1.dict" \
    -max_total_time="$2" -max_len="$3" -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$build/fuzz-findings/$1-" -print_final_stats=1 "${@:4}" 2>&1 |
    { grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)|NEW_FUNC' || true; }
}

# The targets run side by side, a core each; each one's output is shown when
# it is done, and any failure fails the whole.
short=$((seconds / 2))
pids=()
for target in "${targets[@]}"; do
  (run "$target" "$short" 4096 &&
    run "$target" "$((seconds - short))" 1100000 -len_control=0) >"$build/fuzz-$target.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  wait "${pids[$i]}" || status=1
  cat "$build/fuzz-${targets[$i]}.log"
done
exit $status
