#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) in build-fuzz and
# runs each for SECONDS (default 30) from seed corpora made from the tests'
# kind of inputs. A crash, a sanitizer report or a failed check stops the run
# with the reproducer in build-fuzz/findings; turn it into a regression test.
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
bash scripts/setup.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLIX_FUZZ=ON > /dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz-targets

work=build-fuzz/corpus
rm -rf "$work" build-fuzz/findings
mkdir -p "$work"/{Canvas,Images,Forms,Unzip} build-fuzz/findings
# Images: every BMP and PNG variant of the loader tests, and small JPEGs;
# the first byte chooses the reader (0 BMP, 1 PNG, 2 JPEG).
python3 tests/images/make_samples.py "$work/samples" > /dev/null
for f in "$work"/samples/*.bmp; do { printf '\0'; cat "$f"; } > "$work/Images/$(basename "$f")"; done
for f in "$work"/samples/*.png; do { printf '\1'; cat "$f"; } > "$work/Images/$(basename "$f")"; done
for q in 20 90; do
  convert -size 24x16 gradient:red-blue -quality $q "$work/seed.jpg"
  { printf '\2'; cat "$work/seed.jpg"; } > "$work/Images/gradient-$q.jpg"
done
cp fuzz/seeds/forms/* "$work/Forms/"
# Archives: stored, deflated, with folders, and an empty one.
mkdir -p "$work/tree/sub"
echo "some text to deflate, some text to deflate" > "$work/tree/a.txt"
echo "inner" > "$work/tree/sub/b.txt"
(cd "$work/tree" && zip -q -r ../Unzip/deflated.zip . && zip -q -0 -r ../Unzip/stored.zip .)
python3 -c "import zipfile; zipfile.ZipFile('$work/Unzip/empty.zip', 'w').close()"
head -c 64 /dev/urandom > "$work/Canvas/random"

status=0
for target in Canvas Images Forms Unzip; do
  echo "fuzz-$target: $seconds s"
  log=build-fuzz/fuzz-$target.log
  if ! ./build-fuzz/fuzz/fuzz-$target "$work/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
       -max_len=8192 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/$target- > "$log" 2>&1; then
    echo "fuzz-$target found a fault:"; tail -n 40 "$log"; status=1
  fi
  grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|cov:' "$log" | tail -n 3 | sed 's/^/  /'
done
exit $status
