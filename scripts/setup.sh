#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, run and test,
# then configures and builds it into build/. Packages already present are
# left alone, so a second run only rebuilds.
set -euo pipefail
cd "$(dirname "$0")/.."

# wamerican is the server's word list. clang and libclang-rt-14-dev (the
# sanitizer and libFuzzer runtimes, which clang only recommends) build the
# sanitized tests and the fuzz targets (scripts/sanitized-tests.sh).
packages=(cmake g++ make qt6-base-dev libgl-dev fonts-liberation fonts-dejavu-core wamerican
          clang libclang-rt-14-dev)
# The icon's PNGs, the install test's validators and the .deb's library list.
packages+=(librsvg2-bin desktop-file-utils appstream dpkg-dev file)
scripts/install-missing.sh "${packages[@]}"

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
  -DWORDMOOT_SANITIZE="$sanitize"
cmake --build build -j "$(nproc)"
