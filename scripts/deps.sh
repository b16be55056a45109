#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
set -euo pipefail

packages=(
  cmake make g++ googletest python3 clang libclang-rt-14-dev
  mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth fonts-liberation fonts-wine imagemagick e2fsprogs
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
