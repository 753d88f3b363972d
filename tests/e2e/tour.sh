#!/usr/bin/env bash
# The main job's scripted tour (scripts/run.sh without a display), screenshots in build/demo/; with
# KOBEX_PICTURES=check (the suite) one that differs from its picture in docs/ fails it.
source "$(dirname "$0")/lib.sh"
e2e_begin
DEMO="$kobex_root/build/demo"
# In the suite both Wines' tours run at once.
[ "${KOBEX_PICTURES:-}" = check ] && DEMO=$WORK/demo
rm -rf "$DEMO"
mkdir -p "$DEMO"
make_run_dir
# shot NAME GEOMETRY: a screenshot of that part of the screen once it shows what docs/NAME shows
# (Wine 10 draws menus and dialogs its own way: docs/wine10/), or the last one, with the difference.
pictures=docs
[ "$KOBEX_WINE" = 8 ] || pictures=docs/wine$KOBEX_WINE
screen_matches() {
  import -display "$DISPLAY" -window root -crop "$2" +repage "$DEMO/$1" &&
    [ "$(differing_pixels "$1")" = 0 ]
}
differing_pixels() { compare -metric AE "$DEMO/$1" "$kobex_root/$pictures/$1" null: 2>&1 || true; }
shot() {
  if wait_quietly 10 screen_matches "$1" "$2"; then
    log "screenshot: $DEMO/$1, as $pictures/$1"
  elif [ "${KOBEX_PICTURES:-}" = check ]; then
    fail "the screen does not show what $pictures/$1 shows: $(differing_pixels "$1") pixels differ"
  else
    log "screenshot: $DEMO/$1, which differs from $pictures/$1 in $(differing_pixels "$1") pixels"
  fi
}

log "starting kobex.exe in $RUN (Xvfb $DISPLAY)"
launcher_up
client_started
log "the icon stands at $ICON_X,$ICON_Y in Wine's tray"
import -display "$DISPLAY" -window root -crop 200x60+0+0 +repage "$DEMO/tray.png"
log "screenshot: $DEMO/tray.png"

log "double-click on the icon"
sends /show? double_click_icon

log "right-click on the icon: the menu, then My State, the pointer on Away"
from_menu key_opens_submenu s
point_at_item Away
shot menu.png 300x240+0+0
log "choose Away"
sends /setstatus?away click_item Away

log "choose About"
from_menu key_closes_menu a
about_shown
about_mapped() { xdotool search --name "^$KOBEX_ABOUT_TITLE\$" >/dev/null; }
wait_until 10 "the About box's X window" about_mapped
eval "$(xdotool search --name "^$KOBEX_ABOUT_TITLE\$" getwindowgeometry --shell | tr -d ' ')"
shot about.png "${WIDTH}x${HEIGHT}+${X}+${Y}"
log "press OK"
close_about Return

log "choose Exit"
sends /exit? from_menu key_closes_menu x
expect_gone 20
client_report
