#!/usr/bin/env bash
# Fetches the game's word list, the npm package word-list at 4.1.0 (MIT
# licence), with the npm client into a folder outside the source tree,
# checks its words.txt and prints that file's path. A list fetched before
# and still sound is used as it is. When it cannot be fetched (no npm, no
# network) or is not the list expected, says so in one line on standard
# error and exits 1.
#   scripts/fetch-words.sh [FOLDER]   (default ${XDG_CACHE_HOME:-$HOME/.cache}/wordmoot)
set -euo pipefail
version=4.1.0
lines=274136
sha256=2df02fa8ed82d465482ae40c4f9cb52a713baa1d3bfdce1acb2a5fe30420eea8
folder=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/wordmoot}/word-list-$version
words=$folder/package/words.txt

sound() {
  [ -f "$words" ] && [ "$(wc -l <"$words")" -eq "$lines" ] &&
    echo "$sha256  $words" | sha256sum --check --status
}
fail() {
  echo "word list: $*; the server falls back to /usr/share/dict/words" >&2
  exit 1
}

if ! sound; then
  command -v npm >/dev/null || fail "npm is missing, so word-list@$version was not fetched"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  (cd "$work" && npm pack --silent --fetch-retries=1 --fetch-timeout=30000 \
    "word-list@$version" >/dev/null 2>&1) || fail "npm pack word-list@$version failed (no network?)"
  tar -xzf "$work/word-list-$version.tgz" -C "$work"
  mkdir -p "$folder"
  rm -rf "$folder/package"
  mv "$work/package" "$folder/"
  sound || { rm -rf "$folder/package"; fail "word-list@$version's words.txt is not the list expected"; }
fi
echo "$words"
