# What the end-to-end tests share, one file a job (lib_*.sh). Each test
# sources this file and calls e2e_begin first.
set -euo pipefail
kobex_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export KOBEX_WIN_BIN_DIR="${KOBEX_WIN_BIN_DIR:-$kobex_root/build/windows}"
export KOBEX_STANDIN_DIR="${KOBEX_STANDIN_DIR:-$kobex_root/build/native/standin}"
# The program's own values (KOBEX_WINDOW_TITLE...), written by the native build from its headers.
source "${KOBEX_VALUES:-$kobex_root/build/native/tests/kobex_values.sh}" ||
  { echo "lib.sh: the program's values are missing: build the native preset first" >&2; exit 1; }
CLIENT_URL="http://$KOBEX_CLIENT_HOST:$KOBEX_CLIENT_PORT"
# KOBEX_WINE: 8 (Debian 12's) or 10 (Debian 13's), by default the machine's; each has its own prefix.
source "$kobex_root/scripts/wines.sh"
use_wine "${KOBEX_WINE:-}" || exit 2
export KOBEX_WINEPREFIX="${KOBEX_WINEPREFIX:-$kobex_root/build/native/wineprefix-wine$KOBEX_WINE}"
export WINEPREFIX="$KOBEX_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A slow double-click time that users do choose, so that a person's quick presses stay within
# it (docs/testing.md, "Person speed"); clicks meant to stay apart are APART seconds apart.
DOUBLE_CLICK_MS=900
APART=1.2

log() { printf '[%s] %s\n' "$(date +%T.%3N)" "$*"; }
# On stderr, so that a failure inside $(...) is not taken for its value.
fail() { log "FAIL: $*" >&2; exit 1; }

for job in processes desktop probes icon; do source "$kobex_root/tests/e2e/lib_$job.sh"; done

# e2e_begin [--no-display]: the test's folder, an earlier test's leftovers ended, and
# (unless --no-display) its own X server, desktop and prober.
e2e_begin() {
  trap cleanup EXIT
  set -o errtrace  # a command that fails outside a check of its own ends the script: say which
  trap 'log "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO: $BASH_COMMAND"' ERR
  WORK=$(mktemp -d /tmp/kobex-e2e.XXXXXX)
  end_leftovers
  if [ "${1:-}" != --no-display ]; then start_x_server; start_desktop; start_prober; fi
}
