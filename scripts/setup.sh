#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# Meant for a fresh Debian 12 machine; installs as root (through sudo when run
# by another user) and does nothing when all are present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  zlib1g-dev libfreetype-dev libfontconfig-dev libjpeg62-turbo-dev libpng-dev
  libminizip-dev libfltk1.3-dev libharfbuzz-dev libicu-dev
  fonts-liberation2 fonts-urw-base35 fonts-dejavu-core fonts-lohit-deva fonts-droid-fallback
  libgtest-dev
  qpdf poppler-utils mupdf-tools xvfb xauth zip unzip python3 imagemagick
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(libhpdf-dev libcairo2-dev libpango1.0-dev python3-reportlab)
fi
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
