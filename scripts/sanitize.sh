#!/usr/bin/env bash
# The test suite under AddressSanitizer and UndefinedBehaviorSanitizer, built
# in build-asan/:
#   scripts/sanitize.sh [ctest options]          every test
#   scripts/sanitize.sh --core [ctest options]   the core's tests only (label
#                                                "core"): no window is built
# Leaks inside system libraries are suppressed (scripts/lsan.supp); anything
# reported from the project's own code fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
labels=()
if [ "${1:-}" = --core ]; then
  shift
  targets=(--target core_tests harlune-sim)
  labels=(-L core)
fi
./scripts/install-deps.sh
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure "${labels[@]}" "$@"
