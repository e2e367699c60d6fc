#!/usr/bin/env bash
# Times an unattended install by a packed installer against Info-ZIP unzip on the
# same archive (a few hundred files, some tens of MB), best of three runs each,
# and prints the ratio. Usage: bench/installer_bench.sh [BUILD_DIR]
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

# 400 files over 20 folders: three quarters text (compresses well), a quarter
# random bytes (does not), about 40 MB in all.
python3 - "$work/tree" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(42)
words = [b"alpha", b"beta", b"gamma", b"delta", b"page", b"font", b"canvas", b"stream"]
for i in range(400):
    folder = os.path.join(root, "part%02d" % (i % 20))
    os.makedirs(folder, exist_ok=True)
    if i % 4 == 3:
        data = rng.randbytes(rng.randint(60000, 180000))
    else:
        data = b" ".join(rng.choice(words) for _ in range(rng.randint(10000, 30000)))
    with open(os.path.join(folder, "file%03d.dat" % i), "wb") as f:
        f.write(data)
PY
(cd "$work/tree" && zip -q -r "$work/payload.zip" .)
"$build/installer/decantor-pack" --stub "$build/installer/decantor" \
  --unzip "$build/installer/unzip/dunzip.so" --archive "$work/payload.zip" \
  --output "$work/setup" --title "Installer benchmark" --dest "{ProgramFiles}/bench"

files=$(find "$work/tree" -type f | wc -l)
bytes=$(du -sb "$work/tree" | cut -f1)
echo "archive: $files files, $((bytes / 1000000)) MB unpacked, $(($(stat -c %s "$work/payload.zip") / 1000000)) MB packed"

best() {  # best wall time in seconds of three runs of "$@", each into a fresh folder
  local best_time=""
  for run in 1 2 3; do
    rm -rf "$work/out"
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    best_time=$(python3 -c "t=$end-$start; b='$best_time'; print(t if not b else min(t, float(b)))")
  done
  echo "$best_time"
}

check() {
  [ "$(find "$work/out" -type f | wc -l)" = "$files" ] || { echo "$1 extracted a different count" >&2; exit 1; }
}
installer=$(best env TMPDIR="$work" "$work/setup" --console --dest "$work/out" --yes --no-run)
check installer
unzipped=$(best unzip -q -o "$work/payload.zip" -d "$work/out")
check unzip
python3 - "$installer" "$unzipped" <<'PY'
import sys
installer, unzipped = float(sys.argv[1]), float(sys.argv[2])
print("installer (unattended): %.3f s" % installer)
print("unzip:                  %.3f s" % unzipped)
print("ratio installer/unzip:  %.2f" % (installer / unzipped))
PY
