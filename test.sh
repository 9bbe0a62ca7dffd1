#!/usr/bin/env bash
# Installs what is missing, builds Harlune and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
# HARLUNE_CMAKE_ARGS adds options to the build (CI: -DHARLUNE_WERROR=ON).
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${HARLUNE_CMAKE_ARGS:-} >/dev/null
cmake --build build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure "$@"
