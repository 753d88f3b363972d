#!/usr/bin/env bash
# How the launcher is stopped, and a restarted shell: log-off removes the icon;
# a tray that lost the icon gets it back on "TaskbarCreated", one that still
# has it keeps one icon, as on a change of display settings; two launchers
# side by side each have their own icon and both work.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
launcher_up

log "the tray loses the icon; the shell's TaskbarCreated brings it back, once"
winprobe drop-icon "System tray launcher" || fail "the icon could not be taken from the tray"
expect_icons 0 5
winprobe taskbar-created
expect_icons 1 10
winprobe taskbar-created
# A tray that still has the icon refuses the second add and takes the
# modification instead: no second icon shows up; nor on a change of display
# settings, which modifies the icon in place.
absent icons --expect 2 --wait 1500 || fail "a second TaskbarCreated added a second icon"
winprobe settingchange || fail "the settings change could not be broadcast"
absent icons --expect 2 --wait 1500 || fail "a settings change added a second icon"
expect_icons 1 1
locate_icon
double_click 1

log "a second launcher beside the first: its own icon, both answer"
(
  cd "$RUN"
  code=0
  wine kobex.exe >"$RUN/kobex2.out" 2>&1 || code=$?
  echo "$code" >"$RUN/kobex2.exit"
) &
BACKGROUND_PIDS+=($!)
expect_icons 2 30
mapfile -t icons < <(winprobe icons | sed -n '2,3p')
for icon in "${icons[@]}"; do
  read -r x y w h <<<"$icon"
  double_click $(($(request_count) + 1)) $((x + w / 2)) $((y + h / 2))
done
expect_requests /show? /show? /show?

log "log-off: WM_QUERYENDSESSION is granted, WM_ENDSESSION removes the icons"
for i in 1 2; do
  winprobe endsession "System tray launcher" | tee "$WORK/end.out"
  grep -qx 'queryendsession 1' "$WORK/end.out" || fail "the end of the session was refused"
  expect_icons $((2 - i)) 10
done
expect_exit 20 0
wait_until 20 "end of the second kobex.exe" test -s "$RUN/kobex2.exit"
[ "$(cat "$RUN/kobex2.exit")" = 0 ] || fail "the second launcher ended with $(cat "$RUN/kobex2.exit")"
[ "$(request_count)" = 3 ] || fail "stopping sent a request"
log "PASS"
