#!/usr/bin/env bash
# Times an unattended install by a packed installer against Info-ZIP unzip on the
# same archive (1,000 files, about 115 MB, zip -6), warm cache, each into a fresh
# folder, the two alternating over five rounds; prints the best time of each
# and the ratio. Usage: bench/installer_bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
for tool in "$build/installer/decantor" "$build/installer/decantor-pack" \
            "$build/installer/unzip/dunzip.so"; do
  [ -e "$tool" ] || { echo "missing $tool: build the project first" >&2; exit 1; }
done
command -v unzip > /dev/null || { echo "unzip is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 1,000 files over 20 folders: three quarters text (compresses well), a quarter
# random bytes (does not), about 115 MB in all.
python3 - "$work/tree" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(42)
words = [b"alpha", b"beta", b"gamma", b"delta", b"page", b"font", b"canvas", b"stream"]
for i in range(1000):
    folder = os.path.join(root, "part%02d" % (i % 20))
    os.makedirs(folder, exist_ok=True)
    if i % 4 == 3:
        data = rng.randbytes(rng.randint(60000, 180000))
    else:
        data = b" ".join(rng.choice(words) for _ in range(rng.randint(10000, 30000)))
    with open(os.path.join(folder, "file%03d.dat" % i), "wb") as f:
        f.write(data)
PY
(cd "$work/tree" && zip -q -6 -r "$work/payload.zip" .)
"$build/installer/decantor-pack" --stub "$build/installer/decantor" \
  --unzip "$build/installer/unzip/dunzip.so" --archive "$work/payload.zip" \
  --output "$work/setup" --title "Installer benchmark" --dest "{ProgramFiles}/bench"

files=$(find "$work/tree" -type f | wc -l)
bytes=$(du -sb "$work/tree" | cut -f1)
echo "archive: $files files, $((bytes / 1000000)) MB unpacked, $(($(stat -c %s "$work/payload.zip") / 1000000)) MB packed"

# One timed run of "$@" into a fresh folder, in seconds.
timed() {
  rm -rf "$work/out"
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  python3 -c "print($end - $start)"
}

check() {
  [ "$(find "$work/out" -type f | wc -l)" = "$files" ] || { echo "$1 extracted a different count" >&2; exit 1; }
}

# A first run of each warms the cache; then five rounds, alternating.
timed env TMPDIR="$work" "$work/setup" --console --dest "$work/out" --yes --no-run > /dev/null
timed unzip -q -o "$work/payload.zip" -d "$work/out" > /dev/null
installer_times=() unzip_times=()
for round in 1 2 3 4 5; do
  installer_times+=("$(timed env TMPDIR="$work" "$work/setup" --console --dest "$work/out" --yes --no-run)")
  check installer
  unzip_times+=("$(timed unzip -q -o "$work/payload.zip" -d "$work/out")")
  check unzip
done
python3 - "${installer_times[*]}" "${unzip_times[*]}" <<'PY'
import sys
installer = sorted(float(t) for t in sys.argv[1].split())
unzipped = sorted(float(t) for t in sys.argv[2].split())
print("installer (unattended): best %.3f s, median %.3f s" % (installer[0], installer[2]))
print("unzip -q:               best %.3f s, median %.3f s" % (unzipped[0], unzipped[2]))
print("unzip / installer:      %.2f (best), %.2f (median)" % (unzipped[0] / installer[0], unzipped[2] / installer[2]))
PY
