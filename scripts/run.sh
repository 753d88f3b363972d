#!/usr/bin/env bash
# The main job: builds everything, then runs kobex.exe under Wine from a folder
# that holds it, the client's kobex.bat and the stand-in client, so that the
# launcher starts the client as it would on Windows.
#   With $DISPLAY set: runs there until you choose Exit from the icon's menu,
#   then prints what the client received.
#   Without: a scripted tour on a private Xvfb screen (double-click, the menu, a
#   presence state, About, Exit) that prints each step and what the client
#   received, and saves screenshots in build/demo/ (tests/e2e/tour.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

bash tests/e2e/prefix.sh >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  exec bash tests/e2e/tour.sh
fi

source tests/e2e/lib.sh
user_display=$DISPLAY
e2e_begin --no-display
export DISPLAY=$user_display
make_run_dir
log "kobex.exe runs on $DISPLAY; its icon is in the notification area"
start_kobex
wait "${BACKGROUND_PIDS[-1]}" || true
log "kobex.exe ended with exit code $(cat "$RUN/kobex.exit")"
client_report
