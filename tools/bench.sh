#!/usr/bin/env bash
# Sets up the machine, builds, and runs the import and reading benchmarks
# offscreen. Arguments go to the benchmark: [runs] [records] (default 5 9999).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
"$here/tools/setup.sh" "$build" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/import-bench" "$@"
