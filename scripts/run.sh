#!/usr/bin/env bash
# Sets up and builds, starts a game server on 127.0.0.1:7096 unless one
# already listens there (and stops it again when the client ends), then
# starts the client. A user alone plays the computer: OK, "Create New Game",
# Yes, and Enter to whom to play. Run it twice for two players on one
# machine: the second finds the first one's server. Finished games' records
# go where the client's own local server keeps them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

server_pid=""
if ! (exec 3<>/dev/tcp/127.0.0.1/7096) 2>/dev/null; then
  mkdir -p build/log
  records="${XDG_DATA_HOME:-$HOME/.local/share}/wordmoot/games"
  mkdir -p "$records"
  build/bin/wordmoot-server --listen 127.0.0.1 --port 7096 --records "$records" \
    >build/log/server.out 2>build/log/server.log &
  server_pid=$!
  trap 'kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do
    grep -q '^listening on' build/log/server.out 2>/dev/null && break
    kill -0 "$server_pid" 2>/dev/null || { cat build/log/server.log; exit 1; }
    sleep 0.1
  done
fi
build/bin/wordmoot
