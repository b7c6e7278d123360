#!/usr/bin/env bash
# Writes the fuzzers' seed corpora from the tests: for each test program, the
# reply lines it sends a client (seeds/client/) or the command lines it sends
# the server (seeds/server/), one line after another, each ending in CR LF.
# Run again after adding tests; the seeds are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"

# The string literals of a file that match a pattern, escapes read, one a line.
literals() {
  { grep -ho "\"$2[^\"]*\"" "$1" || true; } | sed 's/^"//; s/"$//' | while IFS= read -r text; do
    printf '%b\r\n' "$text"
  done
}

write() {
  local folder=$1 source=$2 pattern=$3
  local seed="$folder/$(basename "$source" .cpp)"
  literals "$source" "$pattern" >"$seed"
  [ -s "$seed" ] || rm -f "$seed"
}

rm -rf seeds && mkdir -p seeds/client seeds/server
for source in ../tests/client/tst_*.cpp ../tests/client/e2e/*.cpp; do
  [ -e "$source" ] && write seeds/client "$source" '[0-9][0-9][0-9][0-9]'
done
words='\(NAME\|VERSION\|QUIT\|GLIST\|GINFO\|NEWGAME\|JOIN\|LEAVE\|SAY\|TELL\|EMOTE\|WHO\|BEEP'
words+='\|READY\|OBSERVER\|PLAY\|WITHDRAW\|EXCHANGE\|FORFEIT\|APPROVE\|REFRESH\|ROBOT\)'
for source in ../tests/server/*.cpp ../tests/tst_*.cpp; do
  write seeds/server "$source" "$words"
done

# The dictionaries: every reply code for the client, every command word for
# the server, and the line end for both.
{
  grep -o '= [0-9]\{4\}' ../src/shared/protocol/ReplyCode.h | sed 's/= \(.*\)/"\1 "/'
  printf '"\\x0d\\x0a"\n'
} >client.dict
{
  echo "$words" | sed 's/\\[(|)]/\n/g' | grep . | sed 's/.*/"&"/'
  printf '"\\x0d\\x0a"\n"7,7,"\n'
} >server.dict
