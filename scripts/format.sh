#!/usr/bin/env bash
# Formats every tracked C++ file under src, tools, tests, bench and fuzz with
# the repository's .clang-format.
#   scripts/format.sh           rewrites the files in place
#   scripts/format.sh --check   changes nothing; fails and names the lines
#                               that are not formatted
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  "") mode=fix ;;
  --check) mode=check ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh format

mapfile -t files < <(git ls-files -- \
  'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')

if [ "$mode" = check ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
