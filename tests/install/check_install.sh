#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there:
# the programs answer --version and --help without a display, the manual pages read without warnings, the
# word list (where the build has one) is there with its licence and is what
# the installed server judges by, the copyright file names it and, with the
# client, the desktop entry, the icons and the metainfo are in place and pass
# their validators, and the menu entry's program has the server beside it.
# Usage: check_install.sh BUILD_DIR APP_ID CLIENT(1|0)
set -euo pipefail
build=$1 id=$2 client=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The file exists; with a size, it is a PNG of that size.
has() {
  [ -s "$prefix/$1" ] || { fail "$1 not installed"; return; }
  if [ $# -gt 1 ] && ! file "$prefix/$1" | grep -q "PNG image data, $2 x $2,"; then
    fail "$1 is not a $2x$2 PNG"
  fi
}
# The program answers --version with its name and the version, and exits 0,
# and --help names --version: both with no window system to reach.
answers() {
  local alone=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$1")
  out=$("${alone[@]}" --version) || fail "$1 --version failed"
  [ "$out" = "$1 $2" ] || fail "$1 --version said '$out'"
  help=$("${alone[@]}" --help) || fail "$1 --help failed"
  grep -q -- --version <<<"$help" || fail "$1 --help names no --version"
}
# groff -ww warns about anything doubtful in a manual page.
reads() {
  has "share/man/man6/$1.6"
  warnings=$(groff -man -Tutf8 -ww -z "$prefix/share/man/man6/$1.6" 2>&1)
  [ -z "$warnings" ] || fail "$1.6: $warnings"
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
programs=(wordmoot-server wordmoot-analyse)
[ "$client" = 1 ] && programs+=(wordmoot)
for p in "${programs[@]}"; do
  has "bin/$p"
  answers "$p" "$version"
  reads "$p"
done

has share/doc/wordmoot/copyright
grep -q "word-list" "$prefix/share/doc/wordmoot/copyright" || fail "copyright names no word-list"
if [ -f "$build/share/wordmoot/words.txt" ]; then
  has share/wordmoot/words.txt
  has share/wordmoot/word-list.LICENSE
  verdicts=$("$prefix/bin/wordmoot-server" --check qi qx 2>&1)
  [ "$verdicts" = "$(printf 'qi valid\nqx invalid')" ] || fail "--check said '$verdicts'"
fi

if [ "$client" = 1 ]; then
  exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
  [ -x "$prefix/bin/$exec_line" ] && [ -x "$prefix/bin/wordmoot-server" ] ||
    fail "the menu entry's '$exec_line' has no wordmoot-server beside it"
  icons=share/icons/hicolor
  has "share/applications/$id.desktop"
  has "share/metainfo/$id.metainfo.xml"
  has "$icons/scalable/apps/$id.svg"
  has "$icons/48x48/apps/$id.png" 48
  has "$icons/256x256/apps/$id.png" 256
  desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
  appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "metainfo: $(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml")"
  grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "metainfo has no release $version"
fi

echo "install: ${#programs[@]} programs checked, $failures failed"
[ "$failures" -eq 0 ]
