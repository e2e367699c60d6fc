#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them: first the hot paths of
# Vellix (vellix-bench), then the same pages drawn by Vellix, libharu and
# cairo (vellix-compare). Arguments are passed on to vellix-compare, e.g.
#   bash bench/run.sh --pages 10,100 --image-pages 10
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELLIX_BUILD_TESTS=OFF > /dev/null
cmake --build build-bench -j"$(nproc)" --target vellix-bench vellix-compare
./build-bench/bench/vellix-bench
./build-bench/bench/compare/vellix-compare "$@"
