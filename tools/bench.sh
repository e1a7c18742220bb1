#!/usr/bin/env bash
# Sets up the machine, builds, and runs the import and reading benchmarks
# offscreen, then the result row's append with and without the results store.
# Arguments go to the import benchmark: [runs] [records] (default 5 9999).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
"$here/tools/setup.sh" "$build" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/import-bench" "$@"
QT_QPA_PLATFORM=offscreen "$build/bench/bench-store"
