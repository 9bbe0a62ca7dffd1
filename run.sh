#!/usr/bin/env bash
# Installs what is missing, builds Harlune, and starts it against the simulated
# instrument, which answers as COM3 in a temporary port directory.
# Options after `--` go to harlune-sim (see build/harlune-sim --help).
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display (DISPLAY is not set); start it from a desktop session, or under xvfb-run." >&2
  exit 1
fi

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

port_dir=$(mktemp -d -t harlune-ports.XXXXXX)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$port_dir"
}
trap cleanup EXIT INT TERM

[ "${1:-}" = "--" ] && shift
./build/harlune-sim --port-dir "$port_dir" --port 3 "$@" &
sim_pid=$!
for _ in $(seq 50); do
  [ -e "$port_dir/COM3" ] && break
  sleep 0.1
done

HARLUNE_PORT_DIR="$port_dir" ./build/harlune
