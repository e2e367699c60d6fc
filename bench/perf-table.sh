#!/usr/bin/env bash
# Regenerates the performance table of the README: builds the benchmarks in
# release mode, runs vellix-compare (report and shapes at 1,000 and 10,000
# pages, images at 50 and 1,000, the Unicode report at 1,000 against cairo
# through pango) and the photograph placement of
# vellix-bench, and writes the figures, the machine and its load between the
# README's perf-table markers.
#   bash bench/perf-table.sh [--dir /tmp]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=/tmp
if [ "${1:-}" = "--dir" ]; then dir=$2; fi
bash scripts/setup.sh --bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELLIX_BUILD_TESTS=OFF > /dev/null
cmake --build build-bench -j"$(nproc)" --target vellix-bench vellix-compare > /dev/null

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
table=$(mktemp)
trap 'rm -f "$table"' EXIT
{
  ./build-bench/bench/compare/vellix-compare --dir "$dir" --workloads report,shapes --pages 1000,10000
  ./build-bench/bench/compare/vellix-compare --dir "$dir" --workloads images --image-pages 50,1000 | tail -n +2 |
    grep '^images'
  ./build-bench/bench/compare/vellix-compare --dir "$dir" --workloads unicode --pages 1000 \
    --libraries vellix,vellix-compact,cairo | tail -n +2 | grep '^unicode'
  echo
  ./build-bench/bench/vellix-bench photo "$dir/vellix-perf-photo.pdf"
} | grep -v '^  ' | grep -v '^Same pages' | sed '/./,$!d' > "$table"
rm -f "$dir/vellix-perf-photo.pdf"

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
{
  echo "<!-- perf-table begin: written by bash bench/perf-table.sh -->"
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores ($cpu), $(free -g | awk '/Mem:/ {print $2}') GiB,"
  echo "load average $load_before before the run; output in $dir; one run of each."
  echo
  echo '```'
  cat "$table"
  echo '```'
  echo "<!-- perf-table end -->"
} > "$table.block"
python3 - "$table.block" <<'PY'
import re, sys
block = open(sys.argv[1]).read()
readme = open("README.md").read()
pattern = re.compile(r"<!-- perf-table begin.*?<!-- perf-table end -->\n", re.S)
if not pattern.search(readme):
    sys.exit("README.md has no perf-table markers")
open("README.md", "w").write(pattern.sub(lambda m: block, readme, count=1))
PY
rm -f "$table.block"
echo "README.md performance table updated"
