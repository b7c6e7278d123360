#!/bin/sh
# Makes data/leaves.tsv by robot self-play: greedy robots first, then strong
# robots with that first table, whose games give the table shipped. Then
# rebuild: the table is built into the robot library.
#   bench/robot/make-leaves.sh [build-dir] [games] [word-file]
# The word file defaults to the game's list as the build lays it out.
set -e
build=${1:-build}
games=${2:-10000}
words=${3:-$build/share/wordmoot/words.txt}
root=$(cd "$(dirname "$0")/../.." && pwd)
cmake --build "$build" -j2 --target robot_leaves
first=$(mktemp)
trap 'rm -f "$first"' EXIT
"$build/bin/robot_leaves" "$games" 7 "$words" >"$first"
"$build/bin/robot_leaves" "$games" 8 "$words" "$first" >"$root/data/leaves.tsv"
echo "wrote $root/data/leaves.tsv"
