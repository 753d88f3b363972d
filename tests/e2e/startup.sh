#!/usr/bin/env bash
# kobex.exe starts the client with "TASKBAR" from its working folder, shows one
# icon, keeps its window hidden, sends nothing on its own, answers a
# double-click, and removes the icon when its window is asked to close; the
# same under Wine's Windows XP, 7 and 10 settings as under its default. At 96
# and 144 DPI the tray shows the icon's frame drawn for that size (16 and 24
# pixels), not the 32-pixel one shrunk. A shell that refuses the icon at start
# gets it offered again, quietly, until it takes it.
# Started from another folder it runs the script beside it; never a console window.
source "$(dirname "$0")/lib.sh"
e2e_begin
# client_started: kobex.bat has started the client, with "TASKBAR".
client_started() {
  wait_until 30 "client started by kobex.bat" test -s "$RUN/client-args.txt"
  [ "$(cat "$RUN/client-args.txt")" = TASKBAR ] || fail "client started with '$(cat "$RUN/client-args.txt")'"
}
# answers_then_closes: the icon answers a double-click with /show?, and a close
# request ends the launcher, its icon and the client.
answers_then_closes() {
  wait_until 30 "client listening" test -s "$RUN/client.pid"
  at_icon
  sends /show? double_click_icon
  sends "" close_launcher
}

log "the launch script runs with no console window, not even a hidden one"
make_run_dir
# It waits, before it starts the client, until the test lets it go on.
sed -i 's/^@echo off\r$/@echo off\r\n>"%~dp0waiting" echo\r\n:wait\r\nif not exist "%~dp0go" goto wait\r/' "$RUN/kobex.bat"
start_kobex
wait_until 30 "the launch script" test -e "$RUN/waiting"
winprobe class WineConsoleClass --expect 0 >/dev/null || fail "a console window exists while the launch script runs"
touch "$RUN/go"
answers_then_closes
log "started from another folder, as by a shortcut with a wrong \"Start in\": the script beside kobex.exe runs"
make_run_dir
start_kobex kobex "$WORK"
client_started
answers_then_closes

for version in "" winxp win7 win10; do
  wine_version "$version"
  log "Wine's version setting: ${version:-default}"
  make_run_dir
  start_kobex
  client_started
  log "client started with TASKBAR"
  expect_icons 1 20
  winprobe window "$KOBEX_WINDOW_TITLE" | tee "$WORK/window.out"
  grep -q 'visible 0' "$WORK/window.out" || fail "the main window is shown"
  [ ! -s "$RUN/client-requests.log" ] || fail "start-up sent a request: $(requests)"

  answers_then_closes
done

log "a shell that refuses the icon at start: offered again on the launcher's timer until taken"
make_run_dir
# Each offer is an add and a modification, both refused: four are the first
# offer and one more. Wine's shell never says "TaskbarCreated", so only the
# timer can bring the icon once that tray has gone.
background tray wine "$WINPROBE" refusing-tray --expect 4 --wait 60000
wait_until 20 "the refusing tray" grep -q '^ready' "$WORK/tray.out"
start_kobex
wait_until 70 "the refusing tray's end" grep -q '^refused' "$WORK/tray.out"
refused=$(sed -n 's/^refused //p' "$WORK/tray.out")
[ "$refused" != 0 ] || fail "no offer reached the refusing tray: Wine's own tray was asked instead"
[ "$refused" -ge 4 ] || fail "the refusing tray refused $refused messages: the icon was not offered again"
expect_icons 1 10
absent dialog "$KOBEX_MESSAGE_TITLE" || fail "a message box: $(winprobe dialog "$KOBEX_MESSAGE_TITLE")"
answers_then_closes

frames=$(winprobe icongroup "$(winepath -w "$KOBEX_WIN_BIN_DIR/kobex.exe")" 1)
[ "$frames" = "frames 16 20 24 32 40 48" ] || fail "kobex.exe's icon has $frames"
log "kobex.exe's icon: $frames"
resolution() { wine_setting 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$1"; }
for dpi in 96 144; do
  resolution "$dpi"
  restart_wine  # Wine reads the resolution when it starts
  read -r _ seen_dpi _ small _ < <(winprobe metrics)
  [ "$seen_dpi" = "$dpi" ] || fail "Wine reports $seen_dpi DPI, not $dpi"
  log "$dpi DPI: small icons are $small pixels"
  [ "$small" = $((dpi / 6)) ] || fail "at $dpi DPI small icons should be $((dpi / 6)) pixels, not $small"
  make_run_dir
  launcher_up
  read -r x y w h _ < <(winprobe icons | sed -n 2p)
  # The tray draws the icon some moments after it lists it.
  wait_quietly 10 icon_matches_frame "$x" "$y" "$w" "$h" "$small" >"$WORK/frame.out" ||
    fail "the tray does not show the $small-pixel frame: $(tail -1 "$WORK/frame.out")"
  log "$(tail -1 "$WORK/frame.out")"
  code=0
  icon_matches_frame "$x" "$y" "$w" "$h" "$small" resized >/dev/null || code=$?
  [ "$code" = 2 ] || fail "the comparison cannot tell the $small-pixel frame from the 32-pixel one shrunk ($code)"
  close_launcher
done
resolution ""
stop_wine
log "PASS"
