#!/usr/bin/env bash
# Installs what building, running and testing kobex needs, from Debian's
# packages, as root. Installs only what is missing, so running it again is harmless.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3   # native build and the artwork script
  libgtest-dev libcpp-httplib-dev            # unit tests, stand-in client
  g++-mingw-w64-i686-posix                   # kobex.exe
  wine wine32:i386                           # running it
  xvfb xdotool imagemagick                   # a headless screen, clicks, screenshots
  procps                                     # pgrep, for the soak test and the benchmark
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "setup: missing packages: ${missing[*]}; run this as root to install them" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
