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

# apt_source_lines: "URI SUITE" for each enabled binary source, one-line
# (sources.list, *.list) and deb822 (*.sources) forms alike.
apt_source_lines() {
  local etc files=()
  etc=$(apt_etc)
  [ -f "$etc/sources.list" ] && files+=("$etc/sources.list")
  for f in "$etc"/sources.list.d/*.list; do [ -f "$f" ] && files+=("$f"); done
  [ ${#files[@]} -gt 0 ] && awk '
    { sub(/#.*/, "") }
    $1 == "deb" {
      i = 2
      if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }  # past the [options]
      print $i, $(i + 1)
    }' "${files[@]}"
  for f in "$etc"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush(   u, s, nu, ns, a, b) {
        if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no") {
          nu = split(uris, a, " "); ns = split(suites, b, " ")
          for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print a[u], b[s]
        }
        types = uris = suites = enabled = ""
      }
      /^[ \t]*$/ { flush(); next }
      /^#/ { next }
      /^Types:/ { $1 = ""; types = $0 }
      /^URIs:/ { $1 = ""; uris = $0 }
      /^Suites:/ { $1 = ""; suites = $0 }
      /^Enabled:/ { enabled = $2 }
      END { flush() }' "$f"
  done
}

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
  local dir=$1 etc f
  shift
  etc=$(apt_etc)
  mkdir -p "$dir/sources.list.d" "$dir/lists/partial"
  local aside
  aside=$(printf '%s\n' "$@")
  # One-line form: the line goes.
  for f in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    local out=$dir/sources.list
    [ "$f" = "$etc/sources.list" ] || out=$dir/sources.list.d/${f##*/}
    awk -v aside="$aside" '
      BEGIN { n = split(aside, a, "\n"); for (k = 1; k <= n; k++) { split(a[k], p, " "); sub(/\/$/, "", p[1]); drop[p[1] " " p[2]] = 1 } }
      {
        line = $0; sub(/#.*/, "")
        if ($1 == "deb" || $1 == "deb-src") {
          i = 2
          if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
          uri = $i; sub(/\/$/, "", uri)
          if ((uri " " $(i + 1)) in drop) next
        }
        print line
      }' "$f" >"$out"
  done
  # deb822 form: the suite leaves the stanza's Suites; a stanza left with none
  # goes (a stanza of several URIs loses the suite for all of them).
  for f in "$etc"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v aside="$aside" '
      BEGIN { RS = ""; ORS = "\n\n"; n = split(aside, a, "\n"); for (k = 1; k <= n; k++) { split(a[k], p, " "); sub(/\/$/, "", p[1]); drop[p[1] " " p[2]] = 1 } }
      {
        m = split($0, lines, "\n"); uris = ""
        for (k = 1; k <= m; k++) if (lines[k] ~ /^URIs:/) uris = substr(lines[k], 6)
        out = ""; keep = 1
        for (k = 1; k <= m; k++) {
          if (lines[k] ~ /^Suites:/) {
            ns = split(substr(lines[k], 8), s, " "); nu = split(uris, u, " "); left = ""
            for (j = 1; j <= ns; j++) {
              hit = 0
              for (x = 1; x <= nu; x++) { uri = u[x]; sub(/\/$/, "", uri); if ((uri " " s[j]) in drop) hit = 1 }
              if (!hit) left = left " " s[j]
            }
            if (left == "") keep = 0
            lines[k] = "Suites:" left
          }
          out = out lines[k] "\n"
        }
        if (keep) printf "%s\n", out
      }' "$f" >"$dir/sources.list.d/${f##*/}"
  done
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
    echo "setup: cannot install the packages: an index of the mirror failed ($APT_FAILURE), and no source of the machine's names it to set aside. Run this again later, when the mirror has caught up, or point apt at another Debian mirror." >&2
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
  if [ "$status" != 0 ]; then
    echo "setup: cannot install the packages: an index of the mirror failed ($APT_FAILURE), and without $suites the install failed too. Run this again later, when the mirror has caught up, or point apt at another Debian mirror." >&2
  fi
  return "$status"
}
