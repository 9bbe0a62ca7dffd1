#!/usr/bin/env bash
# CPU use of Harlune while linked to the simulated instrument and otherwise idle,
# over a measuring window (60 s by default), next to the simulator's own use in
# the same window as a baseline. Run after a build: bench/idle_cpu.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
window=${1:-60}
settle=5

port_dir=$(mktemp -d -t harlune-ports.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$port_dir"
}
trap cleanup EXIT

./build/harlune-sim --port-dir "$port_dir" --port 3 >/dev/null &
pids+=($!); sim_pid=$!
sleep 0.5
HARLUNE_PORT_DIR="$port_dir" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} ./build/harlune &
pids+=($!); app_pid=$!
sleep "$settle"   # found within a second; the rest lets start-up costs pass

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
app0=$(ticks "$app_pid"); sim0=$(ticks "$sim_pid")
sleep "$window"
app1=$(ticks "$app_pid"); sim1=$(ticks "$sim_pid")

awk -v a=$((app1 - app0)) -v s=$((sim1 - sim0)) -v hz="$hz" -v w="$window" 'BEGIN {
  printf "window: %d s\n", w
  printf "harlune:     %.2f %% of one core\n", 100 * a / hz / w
  printf "harlune-sim: %.2f %% of one core (baseline: the other end of the same link)\n", 100 * s / hz / w
}'
