#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything and runs every test: once
# in a normal build, once under AddressSanitizer and UndefinedBehaviorSanitizer; fuzzes the
# frame handling for 20 s; then builds every target as a packager would (Release, warnings as
# errors), where the optimiser sees code the others don't.
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

echo "== Formatting =="
scripts/format-check.sh
echo "== Tests =="
run_suite build/test
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
run_suite build/asan -DMP_SANITIZE=ON
echo "== The frame handling fuzzed for 20 s (libFuzzer, clang) =="
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DMP_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/fuzz --target fuzz_frames -j"$jobs"
ctest --test-dir build/fuzz -R fuzz_frames_run --output-on-failure
echo "== Release build of every target =="
cmake -S . -B build/release-all -DCMAKE_BUILD_TYPE=Release -DMP_WERROR=ON
cmake --build build/release-all -j"$jobs"
