#!/usr/bin/env bash
# Installs what building, running and testing kobex needs, from Debian's
# packages, as root. Installs only what is missing, so running it again is harmless.
# On a machine whose kernel runs no 32-bit programs, 32-bit Wine runs under
# QEMU's user-mode emulation instead (registered here for 32-bit x86 programs).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3   # native build and the artwork script
  libgtest-dev                               # unit tests
  g++-mingw-w64-i686-win32                   # kobex.exe
  wine wine32:i386                           # running it
  xvfb xdotool imagemagick                   # a headless screen, clicks, screenshots
  openbox trayer jwm                     # real desktops: window managers, system trays, a taskbar
  procps                                     # pgrep, for the soak test and the benchmark
  clang-tidy unzip                           # static analysis; checking the release archive
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
need_root() {
  if [ "$(id -u)" != 0 ]; then
    echo "setup: $1; run this as root" >&2
    exit 1
  fi
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  need_root "missing packages: ${missing[*]}"
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# 32-bit Wine needs a kernel that runs 32-bit programs. Where it does not,
# QEMU (version 10, from bookworm-backports: older versions cannot hold the
# address space Wine needs) runs them.
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
runs_i386 && exit 0
qemu=/usr/bin/qemu-i386
if ! "$qemu" --version 2>/dev/null | grep -qE 'version ([1-9][0-9])\.'; then
  need_root "this kernel runs no 32-bit programs and QEMU 10 is missing"
  echo "setup: this kernel runs no 32-bit programs; installing QEMU's user-mode emulation"
  sources=/etc/apt/sources.list.d/kobex-backports.list
  if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo 'deb http://deb.debian.org/debian bookworm-backports main' >"$sources"
  fi
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q -t bookworm-backports qemu-user
fi
binfmt=/proc/sys/fs/binfmt_misc
need_root "32-bit programs need registering with QEMU"
[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
for entry in "$binfmt"/qemu-i386 "$binfmt"/kobex-i386; do
  [ -e "$entry" ] && ! grep -qx "interpreter $qemu" "$entry" && echo -1 >"$entry"
done
if [ ! -e "$binfmt/qemu-i386" ] && [ ! -e "$binfmt/kobex-i386" ]; then
  # ELF, 32-bit, little-endian, an executable or shared object for the 80386.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":kobex-i386:M::$magic:$mask:$qemu:" >"$binfmt/register"
fi
runs_i386 || { echo "setup: 32-bit Wine does not start, even under QEMU" >&2; exit 1; }
echo "setup: 32-bit programs run under $($qemu --version | head -1)"
