#!/usr/bin/env bash
# CPU use of an idle Harlune, in the states it spends its days in, each over a
# measuring window (15 s by default):
#   - searching, with no instrument anywhere, under a real X server (Xvfb),
#     with the X server's own use beside it;
#   - searching, with no instrument, on the offscreen platform;
#   - linked to the simulated instrument and otherwise idle (offscreen), with
#     the simulator's use in the same window as a baseline.
# The baseline of the searching states is build/bench_timer_floor, a bare Qt
# window with three empty timers at the search's rates, measured beside it:
# what waking up that often costs on this machine.
# Run after a build: bench/idle_cpu.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
window=${1:-15}
settle=3 # start-up costs pass; the search runs from the first tick

hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
percent() { awk -v t="$1" -v hz="$hz" -v w="$window" 'BEGIN { printf "%.2f", 100 * t / hz / w }'; }

work=$(mktemp -d -t harlune-idle.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

stop_all() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
}

# Measures the processes given by pid over the window; prints their shares.
measure() {
  local before=() after=() p
  for p in "$@"; do before+=("$(ticks "$p")"); done
  sleep "$window"
  for p in "$@"; do after+=("$(ticks "$p")"); done
  local i out=()
  for i in "${!before[@]}"; do out+=("$(percent $((after[i] - before[i])))"); done
  echo "${out[@]}"
}

echo "window: $window s per state"

# Searching under Xvfb: an empty port directory, so no port is there.
mkdir -p "$work/none"
display=:$((90 + RANDOM % 500))
Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!); x_pid=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb HARLUNE_PORT_DIR="$work/none" ./build/harlune &
pids+=($!); app_pid=$!
DISPLAY=$display QT_QPA_PLATFORM=xcb ./build/bench_timer_floor &
pids+=($!); floor_pid=$!
sleep "$settle"
read -r app x floor <<<"$(measure "$app_pid" "$x_pid" "$floor_pid")"
echo "searching, Xvfb:      harlune $app % of one core, Xvfb $x % (both windows), bare timers $floor %"
stop_all

HARLUNE_PORT_DIR="$work/none" QT_QPA_PLATFORM=offscreen ./build/harlune &
pids+=($!); app_pid=$!
QT_QPA_PLATFORM=offscreen ./build/bench_timer_floor &
pids+=($!); floor_pid=$!
sleep "$settle"
read -r app floor <<<"$(measure "$app_pid" "$floor_pid")"
echo "searching, offscreen: harlune $app % of one core, bare timers $floor %"
stop_all

mkdir -p "$work/sim"
./build/harlune-sim --port-dir "$work/sim" --port 3 >/dev/null &
pids+=($!); sim_pid=$!
sleep 0.5
HARLUNE_PORT_DIR="$work/sim" QT_QPA_PLATFORM=offscreen ./build/harlune &
pids+=($!); app_pid=$!
sleep "$settle"
read -r app sim <<<"$(measure "$app_pid" "$sim_pid")"
echo "linked, offscreen:    harlune $app % of one core, harlune-sim $sim % (baseline: the other end of the same link)"
