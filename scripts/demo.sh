#!/usr/bin/env bash
# Sets up the machine, builds the library and runs the demonstration program,
# which writes out/sample.pdf.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)" --target vellix-demo
mkdir -p out
./build/examples/vellix-demo out/sample.pdf
echo "Wrote $(pwd)/out/sample.pdf"
