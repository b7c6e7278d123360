#!/usr/bin/env bash
# Makes the README's screenshot again: the project's server with one robot on
# a free port, the client under Xvfb answered with xdotool as a user would,
# a first word laid by the user, the robot's answer and a chat line, then the
# main window captured. The seed fixes the tiles, so every run plays the same game.
# Usage: scripts/screenshot.sh [OUT.png] (docs/screenshot.png by default).
# Builds when build/bin lacks the programs; installs xvfb, xdotool and
# imagemagick when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
bin=build/bin

scripts/install-missing.sh xvfb xdotool imagemagick
if [ ! -x $bin/wordmoot ] || [ ! -x $bin/wordmoot-server ]; then scripts/setup.sh; fi

# Settings in a folder of their own, so the user's are left alone.
work=$(mktemp -d)
export HOME=$work XDG_CONFIG_HOME=$work
pids=()
stop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT

# Waits up to $1 tenths of a second for the command after it to succeed.
until_true() {
  local tries=$1
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || { echo "screenshot: gave up waiting for: $*" >&2; exit 1; }
    sleep 0.1
  done
}
has_line() { grep -q "$2" "$1" 2>/dev/null; }

$bin/wordmoot-server --port 0 --robots 1 --robot-delay-ms 300 --seed 5 \
  >"$work/server.out" 2>"$work/server.log" &
pids+=($!)
until_true 100 has_line "$work/server.out" '^listening on'
port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$work/server.out")

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
until_true 100 test -s "$work/display"
DISPLAY=:$(cat "$work/display")
export DISPLAY
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

$bin/wordmoot >"$work/client.log" 2>&1 &
pids+=($!)

# Waits for a window of that title and gives it the keyboard.
window() {
  until_true 100 xdotool search --onlyvisible --name "^$1\$" >/dev/null
  sleep 1
  xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "^$1\$" | tail -n 1)"
}
# Drags with the left button from x1 y1 to x2 y2, in screen pixels.
drag() {
  xdotool mousemove "$1" "$2" sleep 0.2 mousedown 1 sleep 0.2 \
    mousemove $(($1 + 10)) $(($2 - 10)) sleep 0.2 mousemove "$3" "$4" sleep 0.3 mouseup 1 sleep 0.3
}

# The start-up box, with the answer field focused.
window "Wordmoot - Server"
xdotool key ctrl+a type --delay 20 "alice@127.0.0.1:$port"
xdotool key Return
# The game list: a double click on "0: Create New Game ...".
window "Select A Game"
xdotool mousemove 60 16 click --repeat 2 --delay 80 1
# "Do you want to be a player in this game?": Yes.
window Wordmoot
xdotool key Return
sleep 3

# Without a window manager the main window sits at 0,0: board cells and rack
# tiles are 24 pixels, the board's centre cell at 188,188, the rack's first
# tile at 20,388. Seed 5 gives alice the first turn and D W R A E O R, so she
# lays WORD across the centre, taking the rack's tiles from the right.
# Lays rack tile $1 on the board's column $2, row $3.
lay() { drag $((20 + 24 * $1)) 388 $((20 + 24 * $2)) $((20 + 24 * $3)); }
lay 6 8 7
lay 5 7 7
lay 1 6 7
lay 0 9 7
xdotool mousemove 484 180 click 1 # Submit Play; the robot approves it at once
# The robot's play put to alice, "Do you approve": Yes.
window Wordmoot
xdotool key Return
sleep 2
xdotool mousemove 260 500 click 1 type --delay 30 "/nice word, robot"
xdotool key Return
sleep 1.5
xdotool mousemove 700 560 # the pointer off the window
import -window root -crop 808x519+0+0 +repage "$out" # the window and its game panel
echo "screenshot: $out"
