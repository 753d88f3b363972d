# The two Wines kobex is tested under, and how a script picks one. Sourced.
#   Wine 8:  Debian 12's (bookworm)    Wine 10: Debian 13's (trixie)
# The machine's own Debian release brings one of them; the other comes from a
# userland of the other release that scripts/setup.sh makes with debootstrap
# (Debian's packages only) under /var/cache/kobex/. A program of that Wine
# runs chrooted into it, in a mount namespace of its own that shows it this
# machine's /tmp (the X server's socket, the tests' folders, Wine's server
# sockets), /dev, /proc, /sys and the repository at their own paths: so it
# sees the same files, the same screen and the same 127.0.0.1 as everything
# else in the test. Its mounts are seen by nothing outside that namespace, and
# go with the last process in it (Wine's server, when the command started one).
#   use_wine N   from here on `wine`, `wineserver`, `winepath` and `wineboot`
#                are Wine N's (8 or 10; empty: the machine's own)
# Debian 13's IceWM (3.7) comes the same way to a Debian 12 machine.

# The two releases and their Wines: one table, read both ways.
KOBEX_RELEASES=(bookworm:8 trixie:10)

# wine_release N: the Debian release whose Wine is N.
wine_release() {
  local pair
  for pair in "${KOBEX_RELEASES[@]}"; do [ "${pair#*:}" = "$1" ] && echo "${pair%:*}" && return 0; done
  return 1
}

# machine_release: the machine's own Debian release.
machine_release() { sed -n 's/^VERSION_CODENAME=//p' /etc/os-release; }

# machine_wine: the Wine the machine's own release brings.
machine_wine() {
  local pair release
  release=$(machine_release)
  for pair in "${KOBEX_RELEASES[@]}"; do [ "${pair%:*}" = "$release" ] && echo "${pair#*:}" && return 0; done
  return 1
}

# other_release: the release whose userland the machine needs.
other_release() {
  local pair mine
  mine=$(machine_release)
  machine_wine >/dev/null || return 1
  for pair in "${KOBEX_RELEASES[@]}"; do [ "${pair%:*}" != "$mine" ] && echo "${pair%:*}" && return 0; done
  return 1
}

# userland_dir RELEASE: where the userland of that release lives.
userland_dir() { echo "${KOBEX_USERLAND_ROOT:-/var/cache/kobex}/$1"; }

# in_userland RELEASE PROGRAM ARG...: runs PROGRAM of that userland here: in
# the working folder, which must be one the userland is shown (under /tmp or
# the repository), with the environment as it is. Its own failures (no
# userland, no namespace) return 125, never a code the program could give.
in_userland() {
  local root
  root=$(userland_dir "$1")
  shift
  case $PWD/ in
    /tmp/* | "$kobex_root"/*) ;;
    *)
      echo "wines: $PWD is not shown to the userland (only /tmp and $kobex_root are)" >&2
      return 125
      ;;
  esac
  [ -x "$root/usr/bin/env" ] || {
    echo "wines: no userland in $root; bash scripts/setup.sh makes it" >&2
    return 125
  }
  [ "$(id -u)" = 0 ] || {
    echo "wines: entering the userland needs root" >&2
    return 125
  }
  unshare --mount --propagation private -- bash -c '
    set -e
    root=$1 repo=$2 here=$3
    shift 3
    for dir in /dev /proc /sys /tmp "$repo"; do
      mkdir -p "$root$dir" && mount --rbind "$dir" "$root$dir" || exit 125
    done
    exec chroot "$root" /usr/bin/env -C "$here" "$@"' in_userland "$root" "$kobex_root" "$PWD" "$@"
}

use_wine() {
  local want=${1:-$(machine_wine)}
  KOBEX_WINE_RELEASE=$(wine_release "$want") || {
    echo "wines: no Wine '$want': 8 (Debian 12's) or 10 (Debian 13's)" >&2
    return 2
  }
  export KOBEX_WINE=$want KOBEX_WINE_RELEASE
  unset -f wine wineserver winepath wineboot
  [ "$want" = "$(machine_wine)" ] && return 0
  [ -x "$(userland_dir "$KOBEX_WINE_RELEASE")/usr/bin/wine" ] || {
    echo "wines: no Wine $want in $(userland_dir "$KOBEX_WINE_RELEASE"); bash scripts/setup.sh makes it" >&2
    return 125
  }
  wine() { in_userland "$KOBEX_WINE_RELEASE" wine "$@"; }
  wineserver() { in_userland "$KOBEX_WINE_RELEASE" wineserver "$@"; }
  winepath() { in_userland "$KOBEX_WINE_RELEASE" winepath "$@"; }
  wineboot() { in_userland "$KOBEX_WINE_RELEASE" wineboot "$@"; }
}
