#!/usr/bin/env bash
# Runs every fuzz target for a while (60 s each by default): scripts/fuzz.sh [seconds]
#
# Builds the targets with clang and libFuzzer in build-fuzz/, with
# AddressSanitizer and UndefinedBehaviorSanitizer. Each target starts from the
# committed corpus (fuzz/corpus/<name>/) and keeps what it finds in
# build-fuzz/corpus/<name>/. An input that breaks a property or crashes is
# saved under build-fuzz/artifacts/<name>/; copy it into fuzz/corpus/<name>/
# and it is replayed by every build's tests from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(replies receive numeric_text read_plan)

./scripts/install-deps.sh fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DHARLUNE_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0   # Qt's own start-up allocations are not ours to find
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/artifacts/$t"
  log="build-fuzz/fuzz_$t.log"
  echo "== fuzz_$t: $seconds s"
  if ! ./build-fuzz/"fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -detect_leaks=0 \
      -artifact_prefix="build-fuzz/artifacts/$t/" \
      "build-fuzz/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1; then
    failed=1
    echo "   FINDING: see $log and build-fuzz/artifacts/$t/"
  fi
  # The last status line has the coverage; the final stats the executions.
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$log" | tail -n 1 | sed 's/^/   /' || true
  grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$log" | sed 's/^/   /' || true
done
exit "$failed"
