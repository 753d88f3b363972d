#!/usr/bin/env bash
# The main job: builds everything, then runs kobex.exe under Wine from a folder
# that holds it, the client's kobex.bat and the stand-in client, so that the
# launcher starts the client as it would on Windows.
#   With $DISPLAY set: runs there until you choose Exit from the icon's menu,
#   then prints what the client received.
#   Without: a scripted tour on a private Xvfb screen (double-click, the menu, a
#   presence state, About, Exit) that prints each step and what the client
#   received, and saves screenshots in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
bash scripts/build.sh

source tests/e2e/lib.sh
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

e2e_begin
make_run_dir
# shot NAME GEOMETRY: a screenshot of that part of the screen once it shows
# what docs/NAME shows (the pictures in the README are this tour's under Wine
# 8; Wine 10 draws menus and dialogs its own way, and its pictures are in
# docs/wine10/), so that each picture is of the moment it names.
pictures=docs
[ "$KOBEX_WINE" = 8 ] || pictures=docs/wine$KOBEX_WINE
screen_matches() {
  import -display "$DISPLAY" -window root -crop "$2" +repage "$DEMO/$1" &&
    [ "$(differing_pixels "$1")" = 0 ]
}
differing_pixels() { compare -metric AE "$DEMO/$1" "$root/$pictures/$1" null: 2>&1 || true; }
shot() {
  wait_quietly 10 screen_matches "$1" "$2" ||
    fail "the screen does not show what $pictures/$1 shows: $(differing_pixels "$1") pixels differ"
  log "screenshot: build/demo/$1"
}
sent() { log "the client received: $(requests | tail -1)"; }

log "starting kobex.exe in $RUN (Xvfb $DISPLAY)"
launcher_up
log "kobex.bat started the client with: $(cat "$RUN/client-args.txt")"
log "the icon stands at $ICON_X,$ICON_Y in Wine's tray"
import -display "$DISPLAY" -window root -crop 200x60+0+0 +repage "$DEMO/tray.png"
log "screenshot: build/demo/tray.png"

log "double-click on the icon"
double_click 1
sent

log "right-click on the icon: the menu, then My State, the pointer on Away"
open_menu
menu_key s 2
point_at_item Away
shot menu.png 300x240+0+0
log "choose Away"
click_item Away
wait_requests 2
sent

log "choose About"
open_menu
menu_key a 0
about_shown
about_mapped() { xdotool search --name "^$KOBEX_ABOUT_TITLE\$" >/dev/null; }
wait_until 10 "the About box's X window" about_mapped
eval "$(xdotool search --name "^$KOBEX_ABOUT_TITLE\$" getwindowgeometry --shell | tr -d ' ')"
shot about.png "${WIDTH}x${HEIGHT}+${X}+${Y}"
log "press OK"
close_about Return

log "choose Exit"
choose 3 menu_key x 0
sent
expect_gone 20
report
