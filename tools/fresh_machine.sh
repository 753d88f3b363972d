#!/usr/bin/env bash
# A fresh Debian 12 machine, stood up in a folder with debootstrap, on which
# the README's two commands run as a new user would run them, while one i386
# index of its mirror is out of step and its apt takes no Recommends. First,
# with the release's own i386 index out of step, setup must end with one clear
# message and install nothing.
#   bash tools/fresh_machine.sh [DIR]   as root; DIR: /var/tmp/kobex-fresh
# It installs everything from the mirror, through tools/out_of_step_mirror.py
# on 127.0.0.1: not part of the test command. The clone is of the committed
# HEAD. Logs: DIR.*.log.
set -euo pipefail
kobex_root=$(cd "$(dirname "$0")/.." && pwd)
source "$kobex_root/scripts/apt.sh"
dir=${1:-/var/tmp/kobex-fresh}
port=8777
mirror=$(apt_mirror)
security=$(apt_source_lines | awk '$2 == "bookworm-security" { print $1; exit }')
origin=$(sed -E 's|^(https?://[^/]+).*|\1|' <<<"$mirror")
[ "$(sed -E 's|^(https?://[^/]+).*|\1|' <<<"$security")" = "$origin" ] ||
  { echo "fresh_machine: the security suite must come from $origin too" >&2; exit 1; }
local_mirror=http://127.0.0.1:$port${mirror#"$origin"}
local_security=http://127.0.0.1:$port${security#"$origin"}
proxy=""
stop_proxy() { [ -z "$proxy" ] || { kill "$proxy"; wait "$proxy" || true; proxy=""; }; }
start_proxy() {
  stop_proxy
  python3 "$kobex_root/tools/out_of_step_mirror.py" "$origin" "$port" "$1" 2>>"$dir.mirror.log" &
  proxy=$!
  until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do kill -0 "$proxy"; sleep 0.1; done
}
trap stop_proxy EXIT

start_proxy none
rm -rf --one-file-system "$dir"
echo "fresh_machine: debootstrap bookworm into $dir"
debootstrap --variant=minbase bookworm "$dir" "$local_mirror" >"$dir.debootstrap.log" 2>&1
rm -f "$dir/etc/apt/sources.list"
cat >"$dir/etc/apt/sources.list.d/debian.sources" <<SOURCES
Types: deb
URIs: $local_mirror
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: $local_security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
echo 'APT::Install-Recommends "0";' >"$dir/etc/apt/apt.conf.d/99no-recommends"
git clone -q "$kobex_root" "$dir/root/kobex"

# in_machine COMMAND: runs COMMAND (bash) in the clone, as root, with /proc,
# /sys, /dev and a tmpfs /tmp, as on a machine of its own.
in_machine() {
  unshare --mount --propagation private -- bash -c '
    set -e
    dir=$1
    mount --bind "$dir" "$dir"  # its root a mount point, as a machine'"'"'s is
    mount -t proc proc "$dir/proc"
    for d in sys dev; do mount --rbind "/$d" "$dir/$d"; done
    mount -t tmpfs tmpfs "$dir/tmp"
    exec chroot "$dir" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
      bash -c "cd /root/kobex && $2"' in_machine "$dir" "$1"
}

# An image built before the release's last point release, as this kind of
# machine's is: libssl3 and libssl-dev, zlib1g and zlib1g-dev at versions that
# no index carries any more, the rest at the release's. Wine's i386 side needs
# libssl3:i386 and zlib1g:i386 at the same versions as their amd64 twins.
in_machine 'set -e; cd /tmp; apt-get update -q; apt-get install -y -q -t bookworm libc6-dev
  apt-get download -q libssl3/bookworm libssl-dev/bookworm zlib1g/bookworm zlib1g-dev/bookworm
  for deb in *.deb; do
    dpkg-deb -R "$deb" old
    sed -i -e "s/1:1\.2\.13\.dfsg-1\b/1:1.2.13.dfsg-0.1/g" -e "s/3\.0\.20-1~deb12u[0-9]*/3.0.19-1~deb12u2/g" old/DEBIAN/control
    dpkg-deb -b old "old-$deb"; rm -rf old
  done
  dpkg -i old-*.deb' >"$dir.image.log" 2>&1

echo "fresh_machine: 1. the release's i386 index out of step: setup must refuse"
start_proxy dists/bookworm/main/binary-i386/
if in_machine 'bash scripts/setup.sh' >"$dir.refused.log" 2>&1; then
  echo "fresh_machine: FAIL: setup succeeded without the release's i386 index" >&2
  exit 1
fi
grep '^setup: ' "$dir.refused.log"
if in_machine 'dpkg-query -W wine cmake' >/dev/null 2>&1; then
  echo "fresh_machine: FAIL: the refused setup installed packages" >&2
  exit 1
fi

echo "fresh_machine: 2. the security suite's i386 index out of step, no Recommends: the two commands"
start_proxy dists/bookworm-security/main/binary-i386/
# A fresh machine has never fetched that index: the refused run above did.
rm -rf "$dir"/var/lib/apt/lists/*
for command in run test; do
  start=$SECONDS
  status=0
  in_machine "bash scripts/$command.sh" >"$dir.$command.log" 2>&1 || status=$?
  echo "fresh_machine: bash scripts/$command.sh: exit $status after $((SECONDS - start)) s; said:"
  grep -E '^setup: |tests passed|^\[.*FAIL' "$dir.$command.log" | sed 's/^/  /'
  [ "$status" = 0 ] || exit 1
done
