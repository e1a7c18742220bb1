#!/usr/bin/env bash
# Sets up the machine, builds and runs every test; then builds the whole suite
# again with the address and undefined-behaviour sanitizers (build-sanitize/)
# and runs it there.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
"$here/tools/setup.sh" "$build"
(
  export QT_QPA_PLATFORM=offscreen
  cd "$build"
  ctest --output-on-failure -j2 --timeout 600
)
"$here/tools/sanitize.sh" "$here/build-sanitize"
