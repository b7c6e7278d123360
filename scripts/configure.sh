#!/usr/bin/env bash
# Configures a build folder from the project's root, quietly: everything cmake
# said is shown only when it fails.
#   scripts/configure.sh BUILD_DIR [CMAKE_ARGUMENT...]
set -euo pipefail
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake -S . -B "$@" >"$log" 2>&1; then
  cat "$log"
  exit 1
fi
