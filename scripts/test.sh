#!/usr/bin/env bash
# Sets up the machine, builds everything with warnings as errors and runs every test;
# then, unless VELLIX_NO_SANITIZE=1, builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the tests once more, and the threads test
# under ThreadSanitizer; then, unless
# VELLIX_NO_FUZZ=1, runs each fuzz target for 30 seconds (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" > /dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j"$jobs" --timeout 600)
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLIX_WERROR=ON -DVELLIX_BUILD_TESTS=ON
if [ "${VELLIX_NO_SANITIZE:-0}" != "1" ]; then
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DVELLIX_SANITIZE=ON -DVELLIX_BUILD_TESTS=ON
  run_suite build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLIX_SANITIZE_THREAD=ON -DVELLIX_BUILD_TESTS=ON
fi
if [ "${VELLIX_NO_FUZZ:-0}" != "1" ]; then
  bash scripts/fuzz.sh 30
fi
