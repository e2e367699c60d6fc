#!/usr/bin/env bash
# Rewrites the expected documents in tests/golden from the current code. Run it
# only when a change of the default output is intended, and say in the commit
# which files changed and why: the golden test exists to catch the other kind.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DVELLIX_BUILD_TESTS=ON > /dev/null
cmake --build build -j"$(nproc)" --target test_golden
rm -f tests/golden/*.pdf
VELLIX_UPDATE_GOLDEN=1 ./build/tests/golden/test_golden
git status --short tests/golden
