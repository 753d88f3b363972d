#!/usr/bin/env bash
# Installs what building, running and testing kobex needs, from Debian's
# packages, as root, on Debian 12 or 13. Installs only what is missing, so
# running it again is harmless. Packages come from the mirror the machine's apt
# already names, and one of its indexes out of step stops nothing that can be
# installed without it (scripts/apt.sh).
# On a machine whose kernel runs no 32-bit programs, 32-bit Wine runs under
# QEMU's user-mode emulation instead (registered here for 32-bit x86 programs).
# Then the other Debian release's userland, for its Wine (scripts/wines.sh).
set -euo pipefail
kobex_root=$(cd "$(dirname "$0")/.." && pwd)
source "$kobex_root/scripts/wines.sh"
source "$kobex_root/scripts/apt.sh"
if ! machine_wine >/dev/null; then
  echo "setup: this is not Debian 12 or 13 ($(machine_release)); kobex's scripts know those two" >&2
  exit 1
fi

# What Wine draws with, named rather than left to Recommends, so that a machine
# whose apt takes none draws the same menus and dialogs: Wine's own fonts and
# the X extensions it loads when they are there.
wine_extras=(
  fonts-wine fonts-liberation
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxinerama1:i386 libxcursor1:i386
  libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386
)
packages=(
  cmake ninja-build g++ pkg-config python3   # native build and the artwork script
  libgtest-dev                               # unit tests
  g++-mingw-w64-i686-win32                   # kobex.exe
  wine wine32:i386 "${wine_extras[@]}"       # running it
  xvfb xdotool imagemagick x11-utils         # a headless screen, clicks, screenshots, X windows' places
  openbox trayer jwm                     # real desktops: window managers, system trays, a taskbar
  procps iproute2                            # pgrep (soak test, benchmark); ip (each end-to-end test's own network)
  clang-tidy unzip git                       # static analysis; checking the release archive, its sources
  debootstrap debian-archive-keyring         # the other Debian release's userland
)
# The desktops' IceWM is Debian 13's: in its userland on Debian 12.
[ "$(machine_release)" = trixie ] && packages+=(icewm)

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
  apt_install "${missing[@]}" || exit 1
fi

# 32-bit Wine needs a kernel that runs 32-bit programs. Where it does not,
# QEMU (version 10, from bookworm-backports on Debian 12: older versions cannot
# hold the address space Wine needs) runs them. It is registered with the flag
# F, so that the kernel holds it open: programs in the other release's userland
# (chrooted, where /usr/bin/qemu-i386 is not) find it too; it is linked
# statically, so it needs nothing from there.
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
qemu=/usr/bin/qemu-i386
# has_flag_f ENTRY: a binfmt entry the kernel holds its interpreter open for.
has_flag_f() { grep -qx 'flags: .*F.*' "$1"; }
register_qemu() {
  if ! "$qemu" --version 2>/dev/null | grep -qE 'version ([1-9][0-9])\.'; then
    need_root "this kernel runs no 32-bit programs and QEMU 10 is missing"
    echo "setup: this kernel runs no 32-bit programs; installing QEMU's user-mode emulation"
    local from=()
    if [ "$(machine_release)" = bookworm ]; then
      if ! apt_source_lines | grep -q ' bookworm-backports$'; then
        local mirror
        mirror=$(apt_mirror) || exit 1
        echo "deb $mirror bookworm-backports main" >/etc/apt/sources.list.d/kobex-backports.list
      fi
      from=(-t bookworm-backports)
    fi
    apt_install "${from[@]}" qemu-user || exit 1
  fi
  local binfmt=/proc/sys/fs/binfmt_misc
  need_root "32-bit programs need registering with QEMU"
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  for entry in "$binfmt"/qemu-i386 "$binfmt"/kobex-i386; do
    [ -e "$entry" ] && { ! grep -qx "interpreter $qemu" "$entry" || ! has_flag_f "$entry"; } && echo -1 >"$entry"
  done
  if [ ! -e "$binfmt/qemu-i386" ] && [ ! -e "$binfmt/kobex-i386" ]; then
    # ELF, 32-bit, little-endian, an executable or shared object for the 80386.
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":kobex-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register"
  fi
  runs_i386 || { echo "setup: 32-bit Wine does not start, even under QEMU" >&2; exit 1; }
  echo "setup: 32-bit programs run under $($qemu --version | head -1)"
}
# Registered again when an earlier registration lacks the flag F, although
# 32-bit programs run with it: the userland's would not.
stale=false
for entry in /proc/sys/fs/binfmt_misc/kobex-i386 /proc/sys/fs/binfmt_misc/qemu-i386; do
  [ -e "$entry" ] && ! has_flag_f "$entry" && stale=true
done
if ! runs_i386 || $stale; then
  register_qemu
fi

# The other Debian release's userland, with its Wine (and on Debian 12,
# Debian 13's IceWM), made once with debootstrap from the machine's own mirror
# and kept under /var/cache/kobex: later runs find it ready and cost nothing.
other=$(other_release)
root=$(userland_dir "$other")
# The same packages by name as on the machine, so that the two Wines differ in
# Wine and not in what was installed beside it.
inside=(wine wine32:i386 "${wine_extras[@]}")
[ "$other" = trixie ] && inside+=(icewm)
stamp="$root/.kobex-setup"  # what was installed, and how
userland_has() {
  local package
  for package in "$@"; do
    chroot "$root" dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || return 1
  done
}
need_root "the Debian $other userland is entered as root"
if ! { [ -x "$root/usr/bin/env" ] && userland_has "${inside[@]}" && [ "$(cat "$stamp" 2>/dev/null)" = "${inside[*]}" ]; }; then
  mirror=$(apt_mirror) || exit 1
  if [ ! -x "$root/usr/bin/env" ]; then
    echo "setup: making a Debian $other userland in $root (about a minute)"
    # An earlier attempt's folder goes, but never through a mount left in it.
    if [ -e "$root.partial" ] && findmnt -R "$root.partial" >/dev/null 2>&1; then
      echo "setup: $root.partial has something mounted in it; unmount it first" >&2
      exit 1
    fi
    rm -rf --one-file-system "$root.partial"
    mkdir -p "$(dirname "$root")"
    unshare --mount --propagation private -- \
      debootstrap --variant=minbase "$other" "$root.partial" "$mirror" >"$root.log" 2>&1 ||
      { echo "setup: debootstrap failed; see $root.log" >&2; exit 1; }
    rm -rf --one-file-system "$root"
    mv -T "$root.partial" "$root"
  fi
  echo "setup: installing ${inside[*]} in the Debian $other userland"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  echo "deb $mirror $other main" >"$root/etc/apt/sources.list"
  # What it says of a suite set aside, or of an install it cannot do, is shown
  # here too; the rest goes to the log.
  (cd "$kobex_root" && in_userland "$other" bash -c '
    set -e
    source scripts/apt.sh
    dpkg --configure -a  # an install that was interrupted
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt_install "$@"
    apt-get clean' install "${inside[@]}") 2>&1 | tee -a "$root.log" | grep '^setup: ' ||
    true
  userland_has "${inside[@]}" ||
    { echo "setup: installing in the Debian $other userland failed; see $root.log" >&2; exit 1; }
  echo "${inside[*]}" >"$stamp"
fi
cd "$kobex_root"
in_userland "$other" /usr/lib/wine/wine --version >/dev/null 2>&1 ||
  { echo "setup: the Debian $other userland's 32-bit Wine does not start" >&2; exit 1; }
echo "setup: Wine $(in_userland "$other" wine --version) from the Debian $other userland in $root"
