#!/bin/bash
# Installs everything the project needs from Debian's packages (idempotent).
set -euo pipefail
PACKAGES=(
  cmake ninja-build python3 git
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 xvfb xauth x11-utils imagemagick locales fonts-wqy-zenhei
  clang llvm libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libz-mingw-w64-dev liblnk-utils unzip icoutils
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # wine64 alone: no i386 architecture and no 32-bit loader are wanted.
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
