#!/usr/bin/env bash
# Starts the simulated instrument and then the program. Builds only these two,
# in Release, in build-run/ (tools/test.sh builds and runs everything else).
#
# With a display the window opens, and lines typed in this terminal press the
# simulated instrument's keys (start, stop, ...; help lists them). Without one
# both run under Xvfb: the program connects to the simulator, a test is started
# from the simulator's keys, and screenshots of the screen are saved to
# build-run/screenshots/.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build-run"
"$here/tools/setup.sh" --packages-only
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESTER_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target resistance-tester resistance-tester-sim

sim="$build/sim/resistance-tester-sim"
program="$build/app/resistance-tester"

# The program looks for simulators in <runtime folder>/resistance-tester/.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]; then
  export XDG_RUNTIME_DIR="/tmp/runtime-$(id -u)"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

sim_log="$build/sim.log"
sim_replies="$build/sim-keys.log"
sim_options=(--records 45 --time-scale 0.5)
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The terminal's lines go to the simulator; its replies come back here.
  "$sim" "${sim_options[@]}" 2>"$sim_log" <&0 &
else
  keys="$build/sim-keys"
  rm -f "$keys" && mkfifo "$keys"
  "$sim" "${sim_options[@]}" 2>"$sim_log" >"$sim_replies" <"$keys" &
  exec 3>"$keys"
fi
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
  echo "Type the instrument's keys here: start, stop, screen length, danger on, battery low, state, help."
  "$program" </dev/null
else
  out="$build/screenshots"
  rm -rf "$out" && mkdir -p "$out"
  echo "No display: running the program under Xvfb against the simulated instrument."
  xvfb-run -a -s "-screen 0 1400x900x24" \
    "$here/tools/run-headless.sh" "$program" "$build/sim-keys" "$sim_replies" "$out" "$build/program.log"
  echo
  echo "Screenshots of the program are in $out:"
  ls -1 "$out"
  echo "On a desktop, run 'bash tools/run.sh' in a terminal of the graphical session: the window"
  echo "opens there and the simulated instrument's keys are typed in the terminal."
fi
