# Installing Debian packages when the mirror may be out of step. Sourced, on
# the machine and inside the other release's userland.
#   apt_install PACKAGE...  updates the indexes (a few tries), installs; if the
#                           install fails while an index had failed, installs
#                           again with the failed suites set aside for that
#                           install only (private sources and lists)
#   apt_mirror              the Debian mirror the machine's apt sources name
# Neither changes the machine's apt configuration. KOBEX_APT_ETC (default
# /etc/apt) is where the sources are read, for the tests of this file.

apt_etc() { echo "${KOBEX_APT_ETC:-/etc/apt}"; }
# A fresh machine's own updates may hold apt's lock for a while at first boot.
APT_WAIT=(-o DPkg::Lock::Timeout=300)

# Each form of sources is read by one awk program. With list=1 it prints
# "URI SUITE" for each enabled binary source; otherwise the file less the
# "URI SUITE" pairs in aside (URIs compared without a trailing slash): a
# one-line source goes; a deb822 stanza loses them from its Suites (for all
# its URIs) and goes when none is left.
APT_AWK_ASIDE='BEGIN { n = split(aside, a, "\n"); for (k = 1; k <= n; k++) { split(a[k], p, " "); drop[bare(p[1]) " " p[2]] = 1 } }
function bare(uri) { sub(/\/$/, "", uri); return uri }'
APT_AWK_ONE_LINE=$APT_AWK_ASIDE'
{
  line = $0; sub(/#.*/, "")
  if ($1 == "deb" || $1 == "deb-src") {
    i = 2
    if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }  # past the [options]
    if (list) { if ($1 == "deb") print $i, $(i + 1); next }
    if ((bare($i) " " $(i + 1)) in drop) next
  }
  if (!list) print line
}'
APT_AWK_DEB822=$APT_AWK_ASIDE'
BEGIN { RS = "" }
{
  m = split($0, lines, "\n"); types = uris = enabled = ""
  for (k = 1; k <= m; k++) {
    if (lines[k] ~ /^Types:/) types = substr(lines[k], 7)
    if (lines[k] ~ /^URIs:/) uris = substr(lines[k], 6)
    if (lines[k] ~ /^Enabled:/) enabled = tolower(substr(lines[k], 9))
  }
  nu = split(uris, u, " "); out = ""; keep = 1
  for (k = 1; k <= m; k++) {
    if (lines[k] ~ /^Suites:/) {
      ns = split(substr(lines[k], 8), s, " "); left = ""
      for (j = 1; j <= ns; j++) {
        hit = 0
        for (x = 1; x <= nu; x++) {
          if (list && types ~ /(^| )deb( |$)/ && enabled !~ /no/) print u[x], s[j]
          if ((bare(u[x]) " " s[j]) in drop) hit = 1
        }
        if (!hit) left = left " " s[j]
      }
      if (left == "") keep = 0
      lines[k] = "Suites:" left
    }
    out = out lines[k] "\n"
  }
  if (!list && keep) printf "%s\n", out
}'

# apt_sources LIST ASIDE OUT: each sources file under the machine's apt (or
# KOBEX_APT_ETC) through its form's program; with OUT, into a file of the same
# name there.
apt_sources() {
  local etc f
  etc=$(apt_etc)
  for f in "$etc/sources.list" "$etc"/sources.list.d/*.list "$etc"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    local program=$APT_AWK_ONE_LINE out=/dev/stdout
    [ "${f%.sources}" = "$f" ] || program=$APT_AWK_DEB822
    if [ -n "$3" ]; then
      out=$3/sources.list.d/${f##*/}
      [ "$f" = "$etc/sources.list" ] && out=$3/sources.list
    fi
    awk -v list="$1" -v aside="$2" "$program" "$f" >"$out"
  done
}

# apt_source_lines: "URI SUITE" for each enabled binary source.
apt_source_lines() { apt_sources 1 "" ""; }

# apt_mirror: the URI of the machine's source for its own release (not its
# -security or -updates suites), the Debian mirror its apt already uses.
apt_mirror() {
  local release mirror
  release=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release)
  mirror=$(apt_source_lines | awk -v r="$release" '$2 == r { print $1; exit }')
  # A mirror list (Debian's cloud images): its first mirror.
  case $mirror in mirror+file:*) mirror=$(awk '!/^#/ && NF { print $1; exit }' "${mirror#mirror+file:}" 2>/dev/null) ;; esac
  case $mirror in http://* | https://*) ;; *) mirror="" ;; esac
  [ -n "$mirror" ] || {
    echo "setup: no http(s) Debian mirror for $release in the apt sources under $(apt_etc); add one" >&2
    return 1
  }
  echo "${mirror%/}"
}

# apt_set_aside DIR "URI SUITE"...: a private copy of the machine's sources in
# DIR, less those suites.
apt_set_aside() {
  local dir=$1
  shift
  mkdir -p "$dir/sources.list.d" "$dir/lists/partial"
  apt_sources 0 "$(printf '%s\n' "$@")" "$dir"
}

# apt_update: the indexes, tried a few times a little apart; sets
# APT_FAILED to the "URI SUITE" of each index still failing, and
# APT_FAILURE to apt's words for the first.
apt_update() {
  local try log status
  log=$(mktemp)
  for try in 1 2 3; do
    status=0
    timeout 600 apt-get "${APT_WAIT[@]}" update -q >"$log" 2>&1 || status=$?
    cat "$log"
    if [ "$status" = 0 ] && ! grep -q '^[EW]: Failed to fetch' "$log"; then
      APT_FAILED="" APT_FAILURE=""
      rm -f "$log"
      return 0
    fi
    [ "$try" = 3 ] || { echo "setup: an index failed (try $try of 3); again in 10 s"; sleep 10; }
  done
  APT_FAILED=$(apt_failed_suites <"$log")
  APT_FAILURE=$(grep -m1 '^[EW]: Failed to fetch' "$log" | sed 's/^[EW]: Failed to fetch //; s/ *\[IP: .*//')
  rm -f "$log"
  [ -n "$APT_FAILED" ] || APT_FAILED="(unknown)"
  return 1
}

# apt_failed_suites: "URI SUITE" of each index that apt-get update's output,
# on standard input, says it failed to fetch.
apt_failed_suites() { sed -n 's|^[EW]: Failed to fetch \([^ ]*\)/dists/\([^/ ]*\)/.*|\1 \2|p' | sort -u; }

# apt_give_up WHY: the one message for an install that cannot be done.
apt_give_up() {
  echo "setup: cannot install the packages: an index of the mirror failed ($APT_FAILURE), and $1. Run this again later, when the mirror has caught up, or point apt at another Debian mirror." >&2
}

apt_install() {
  export DEBIAN_FRONTEND=noninteractive
  apt_update || echo "setup: going on without the index that failed: $APT_FAILURE"
  apt-get "${APT_WAIT[@]}" install -y -q "$@" && return 0
  case $APT_FAILED in
    "") echo "setup: apt-get could not install $*" >&2; return 1 ;;
    "(unknown)") echo "setup: apt-get could not install $*, after an update that failed; see above" >&2; return 1 ;;
  esac
  local dir aside suites
  dir=$(mktemp -d)
  mapfile -t aside <<<"$APT_FAILED"
  suites=$(printf '%s\n' "${aside[@]}" | awk '{ printf "%s%s (%s)", sep, $2, $1; sep = ", " }')
  apt_set_aside "$dir" "${aside[@]}"
  if [ "$(KOBEX_APT_ETC=$dir apt_source_lines)" = "$(apt_source_lines)" ]; then
    rm -rf "$dir"
    apt_give_up "no source of the machine's names it to set aside"
    return 1
  fi
  cp -a /var/lib/apt/lists/. "$dir/lists/" 2>/dev/null || true
  local private=("${APT_WAIT[@]}" -o "Dir::Etc::sourcelist=$dir/sources.list" -o "Dir::Etc::sourceparts=$dir/sources.list.d"
    -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=")
  echo "setup: set aside $suites for this install: its updates were not considered for these packages"
  local status=0
  apt-get "${private[@]}" update -q || true  # another index failing now: the lists it had
  apt-get "${private[@]}" install -y -q "$@" || status=1
  rm -rf "$dir"
  [ "$status" = 0 ] || apt_give_up "without $suites the install failed too"
  return "$status"
}
