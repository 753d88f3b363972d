# What the end-to-end tests share, one file a job: lib_processes.sh (waits,
# the run folder, kobex.exe and the client's servers), lib_desktop.sh (the X
# server, a window manager, a system tray), lib_probes.sh (questions to Wine's
# windows), lib_icon.sh (the icon, its menus, a person's clicks). Each test
# sources this file and calls e2e_begin first.
set -euo pipefail

# CTest passes the build's folders and files; scripts that run from the
# repository get the presets' own.
kobex_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export KOBEX_WIN_BIN_DIR="${KOBEX_WIN_BIN_DIR:-$kobex_root/build/windows}"
export KOBEX_STANDIN_DIR="${KOBEX_STANDIN_DIR:-$kobex_root/build/native/standin}"
# The program's own values (KOBEX_WINDOW_TITLE, KOBEX_CLIENT_PORT...), as the
# native build writes them from its headers (tests/tools/test_values.cpp).
source "${KOBEX_VALUES:-$kobex_root/build/native/tests/kobex_values.sh}" || {
  echo "lib.sh: the program's values are missing: build the native preset first" >&2
  exit 1
}
: "${KOBEX_WINDOW_TITLE:?}" "${KOBEX_NIM_DELETE:?}" "${KOBEX_MESSAGE_TITLE:?}" "${KOBEX_ABOUT_TITLE:?}" "${KOBEX_ABOUT_CONTROLS:?}" \
  "${KOBEX_REQUEST_PATHS[0]:?}"
CLIENT_URL="http://$KOBEX_CLIENT_HOST:$KOBEX_CLIENT_PORT"
# KOBEX_WINE picks the Wine: 8 (Debian 12's) or 10 (Debian 13's); by default
# the machine's own. Each has its own prefix.
source "$kobex_root/scripts/wines.sh"
use_wine "${KOBEX_WINE:-}" || exit 2
export KOBEX_WINEPREFIX="${KOBEX_WINEPREFIX:-$kobex_root/build/native/wineprefix-wine$KOBEX_WINE}"
export WINEPREFIX="$KOBEX_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The double-click time prefix.sh sets, a slow one that users do choose: a
# person's quick presses stay within it (docs/testing.md, "Person speed");
# clicks meant to stay apart are APART seconds apart.
DOUBLE_CLICK_MS=900
APART=1.2

log() { printf '[%s] %s\n' "$(date +%T.%3N)" "$*"; }
fail() {  # on stderr, so that a failure inside $(...) is not taken for its value
  log "FAIL: $*" >&2
  exit 1
}

for job in processes desktop probes icon; do source "$kobex_root/tests/e2e/lib_$job.sh"; done

# e2e_begin [--no-display]: the test's folder, what an earlier test left
# behind ended, and (unless --no-display) its own X server, desktop and prober.
e2e_begin() {
  trap cleanup EXIT
  # A command that fails outside a test of its own ends the script: say which.
  set -o errtrace
  trap 'log "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO: $BASH_COMMAND"' ERR
  WORK=$(mktemp -d /tmp/kobex-e2e.XXXXXX)
  end_leftovers
  if [ "${1:-}" != "--no-display" ]; then
    start_x_server
    start_desktop
    start_prober
  fi
}
