#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, run and test,
# then configures and builds it into build/. Packages already present are
# left alone, so a second run only rebuilds.
set -euo pipefail
cd "$(dirname "$0")/.."

# wamerican is the server's fallback word list. clang and libclang-rt-14-dev
# (the sanitizer and libFuzzer runtimes, which clang only recommends) build
# the sanitized tests and the fuzz targets (scripts/sanitized-tests.sh).
packages=(cmake g++ make qt6-base-dev libgl-dev fonts-liberation fonts-dejavu-core wamerican
          clang libclang-rt-14-dev)
# The icon's PNGs, the install test's validators (groff for the manual pages)
# and the .deb's library list.
packages+=(librsvg2-bin desktop-file-utils appstream groff-base dpkg-dev file)
# The server's store: Qt SQL's SQLite and PostgreSQL drivers, and a
# PostgreSQL server that the store's tests start a throwaway cluster of.
packages+=(libqt6sql6-sqlite libqt6sql6-psql postgresql)
# Password hashes (Argon2id) and ICU's spoof checker, which tells names that
# look alike, both found through pkg-config.
packages+=(libsodium-dev libicu-dev pkg-config)
# The npm client fetches the game's word list; a machine may have it from
# elsewhere than Debian.
command -v npm >/dev/null || packages+=(npm)
scripts/install-missing.sh "${packages[@]}"

# The game's word list, fetched once into a folder outside the source tree;
# without it (no network) the build goes on and the server falls back to
# /usr/share/dict/words.
words=$(scripts/fetch-words.sh) || words=OFF

# CI treats warnings as errors and builds build/ with AddressSanitizer and
# UndefinedBehaviorSanitizer, so that the suite runs once, sanitized, and the
# code is compiled only once more, by clang, for the fuzz targets.
werror=OFF
sanitize=OFF
if [ "${CI:-}" = "true" ]; then
  werror=ON
  sanitize=ON
fi
scripts/configure.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWORDMOOT_WERROR="$werror" \
  -DWORDMOOT_SANITIZE="$sanitize" -DWORDMOOT_WORDS="$words"
cmake --build build -j "$(nproc)"
