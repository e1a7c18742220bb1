#!/usr/bin/env bash
# Run by tools/run.sh under Xvfb: starts the program, presses Connect, starts
# and stops a test from the simulated instrument's keys and saves a screenshot
# of the window at each step.
# Usage: run-headless.sh <program> <simulator keys fifo> <simulator replies> <folder> <program log>
set -euo pipefail
program="$1"
keys="$2"
replies="$3"
out="$4"
log="$5"
exec 4>"$keys"

"$program" >"$log" 2>&1 &
program_pid=$!
trap 'kill "$program_pid" 2>/dev/null || true' EXIT

shot() {
  import -window "$window" "$out/$1.png"
  echo "  $1.png: $2"
}
# Asks the simulated instrument for its state until it is in the phase named.
await_phase() {
  for _ in $(seq 120); do
    echo state >&4
    sleep 0.5
    tail -n 1 "$replies" | grep -q "$1" && return 0
  done
  echo "the simulated instrument never reached \"$1\"" >&2
  return 1
}

window="$(timeout 60 xdotool search --sync --onlyvisible --class resistance-tester | head -n 1)"
sleep 1
shot 1-started "the program, not connected"
# Connect is the first button of the tool bar.
xdotool mousemove --window "$window" 35 55 click 1
sleep 3
shot 2-connected "connected to the simulated instrument"
echo start >&4
await_phase testing
sleep 1
shot 3-testing "a test started from the instrument's keys"
echo stop >&4
await_phase complete
sleep 1.5
shot 4-complete "the finished test with its result row"
