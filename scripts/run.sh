#!/usr/bin/env bash
# The main job: builds everything, then runs kobex.exe under Wine from a folder
# that holds it, the client's kobex.bat and the stand-in client, so that the
# launcher starts the client as it would on Windows.
#   With $DISPLAY set: runs there until you choose to end it (close it or, once
#   the menu exists, Exit), then prints what the client received.
#   Without: a scripted tour on a private Xvfb screen that prints each step and
#   what the client received, and saves screenshots in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
bash scripts/build.sh

export KOBEX_WIN_BIN_DIR="$root/build/windows" KOBEX_STANDIN_DIR="$root/build/native/standin"
export KOBEX_WINEPREFIX="$root/build/native/wineprefix"
bash tests/e2e/prefix.sh >/dev/null
DEMO="$root/build/demo"
rm -rf "$DEMO"
mkdir -p "$DEMO"

report() {
  echo
  echo "The client was started with: $(cat "$RUN/client-args.txt" 2>/dev/null || echo '(not started)')"
  echo "What the client received:"
  sed 's/^/  /' "$RUN/client-requests.log" 2>/dev/null || true
  echo "Its state: $(cat "$RUN/client-state.txt" 2>/dev/null)"
}

if [ -n "${DISPLAY:-}" ]; then
  source tests/e2e/lib.sh
  user_display=$DISPLAY
  e2e_begin --no-display
  export DISPLAY=$user_display
  make_run_dir
  log "kobex.exe runs on $DISPLAY; its icon is in the notification area"
  start_kobex
  wait "${BACKGROUND_PIDS[-1]}" || true
  log "kobex.exe ended with exit code $(cat "$RUN/kobex.exit")"
  report
  exit 0
fi

source tests/e2e/lib.sh
e2e_begin
make_run_dir
shot() { import -display "$DISPLAY" -window root "$DEMO/$1"; log "screenshot: build/demo/$1"; }

log "starting kobex.exe in $RUN (Xvfb $DISPLAY)"
start_kobex
wait_until 30 "client started by kobex.bat" test -s "$RUN/client-args.txt"
log "kobex.bat started the client with: $(cat "$RUN/client-args.txt")"
expect_icons 1 20
winprobe icons | sed -n '2p' | { read -r x y w h; log "the icon stands at $x,$y ($w x $h) in Wine's tray"; }
shot tray.png

log "asking the launcher to close (WM_CLOSE to its hidden window)"
winprobe close "System tray launcher" >/dev/null
expect_exit 20 0
expect_icons 0 10
report
