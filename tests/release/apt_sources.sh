#!/usr/bin/env bash
# The set-up's reading of apt's sources, in both forms: the machine's mirror, the suite of an index that
# failed, and that suite alone set aside.
set -euo pipefail
source "$KOBEX_SOURCE_DIR/scripts/apt.sh"
KOBEX_APT_ETC=$(mktemp -d)
trap 'rm -rf "$KOBEX_APT_ETC"' EXIT
cd "$KOBEX_APT_ETC"
mkdir sources.list.d
release=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release)
expect() { [ "$2" = "$3" ] || { printf 'FAIL: %s\n got:  %s\n want: %s\n' "$1" "$2" "$3"; exit 1; }; }
sources_aside() {  # the source lines once the index of URI's SUITE has failed and is set aside
  apt_set_aside aside "$(printf 'E: Failed to fetch %s/dists/%s/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress? [IP: ::1 80]\n' "$@" | apt_failed_suites)"
  KOBEX_APT_ETC=$PWD/aside apt_source_lines
  rm -r aside
}

cat >sources.list <<LIST
# deb http://old.invalid/archive $release main
deb [arch=amd64,i386 signed-by=/k.gpg] http://mirror.invalid/archive/ $release main
deb http://mirror.invalid/archive/ ${release}-updates main
deb http://mirror.invalid/security ${release}-security main
LIST
expect "the mirror, one-line form" "$(apt_mirror)" http://mirror.invalid/archive
expect "one-line form, the security suite set aside" "$(sources_aside http://mirror.invalid/security "$release-security")" \
  "http://mirror.invalid/archive/ $release
http://mirror.invalid/archive/ $release-updates"

mv sources.list sources.list.d/old.list.disabled
cat >sources.list.d/debian.sources <<SOURCES
Types: deb
URIs: http://mirror.invalid/archive
Suites: ${release}-updates $release
Components: main

Types: deb
URIs: http://mirror.invalid/security
Suites: ${release}-security
Components: main

Types: deb
URIs: http://mirror.invalid/disabled
Suites: $release
Enabled: no
SOURCES
expect "the mirror, deb822 form" "$(apt_mirror)" http://mirror.invalid/archive
expect "deb822 form, the updates suite set aside" "$(sources_aside http://mirror.invalid/archive "$release-updates")" \
  "http://mirror.invalid/archive $release
http://mirror.invalid/security $release-security"
sed -i "0,/URIs: .*/s||URIs: mirror+file:$PWD/mirrors.list|" sources.list.d/debian.sources
printf '# the cloud images'"'"' form\nhttp://mirror.invalid/listed\tpriority:1\n' >mirrors.list
expect "the mirror, from a mirror list" "$(apt_mirror)" http://mirror.invalid/listed
rm sources.list.d/debian.sources
expect "no mirror" "$(apt_mirror 2>&1 || true)" "setup: no http(s) Debian mirror for $release in the apt sources under $PWD; add one"
