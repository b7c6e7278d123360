#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (clang, -O1, with the fuzz targets) and runs the whole test
# suite there; any sanitizer report fails its test. scripts/fuzz.sh then runs
# the fuzz targets from the same build. With --fuzz-targets-only it builds
# the fuzz targets alone and runs nothing (CI's build/ is sanitized already).
set -euo pipefail
cd "$(dirname "$0")/.."

fuzzOnly=false
[ "${1:-}" = "--fuzz-targets-only" ] && fuzzOnly=true

# The packages, clang among them, come with scripts/setup.sh.
CC=clang CXX=clang++ scripts/configure.sh build-asan -DCMAKE_BUILD_TYPE= \
  "-DCMAKE_CXX_FLAGS=-O1 -gline-tables-only" -DWORDMOOT_FUZZ=ON
# What the tests and the fuzzers need; the benchmarks are left out.
wanted='(tst_[A-Za-z0-9_]+|[a-z]+_fuzzer|wordmoot-server|wordmoot)$'
$fuzzOnly && wanted='[a-z]+_fuzzer$'
mapfile -t targets < <(cmake --build build-asan --target help | grep -oE "$wanted" | sort -u)
cmake --build build-asan -j "$(nproc)" --target "${targets[@]}"
$fuzzOnly && exit 0

source scripts/sanitizer-options.sh
# Installing is checked by the plain build's suite; this build makes only
# what the tests and the fuzzers run.
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -E '^install_files$'
