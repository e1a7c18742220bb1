#!/usr/bin/env bash
# Sets up the machine, builds, starts the simulated instrument and then the program.
# Without a display both run under Xvfb: the window connects to the simulator and
# screenshots of what it shows are saved to build/screenshots/.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
"$here/tools/setup.sh" "$build"

sim="$build/sim/resistance-tester-sim"
program="$build/app/resistance-tester"

# The program looks for simulators in <runtime folder>/resistance-tester/.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]; then
  export XDG_RUNTIME_DIR="/tmp/runtime-$(id -u)"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

sim_log="$build/sim.log"
"$sim" --records 45 --time-scale 0.5 2>"$sim_log" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
# The program searches once per connect: wait until the simulator listens.
for _ in $(seq 100); do
  grep -q "listening on" "$sim_log" && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then cat "$sim_log" >&2; exit 1; fi
  sleep 0.1
done
echo "Simulator messages go to $sim_log"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Press 连接 (Connect) to reach the simulated instrument."
  "$program"
else
  out="$build/screenshots"
  mkdir -p "$out"
  echo "No display: running under Xvfb, screenshots go to $out"
  xvfb-run -a -s "-screen 0 1400x900x24" "$build/tools/window-screenshots" --platform-link "$out"
  ls -1 "$out"
fi
