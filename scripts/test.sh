#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a normal build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

echo "== Tests =="
run_suite build/test
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
run_suite build/asan -DMP_SANITIZE=ON
