#!/usr/bin/env bash
# Start-up under Wine's Windows versions, from another folder, with no console window, against a
# shell that refuses the icon, and at 96 and 144 DPI (the frame drawn for that size, not one shrunk).
source "$(dirname "$0")/lib.sh"
e2e_begin
answers_then_closes() {
  wait_until 30 "client listening" test -s "$RUN/client.pid"
  at_icon
  sends /show? double_click_icon
  sends "" close_launcher
}

log "the launch script runs with no console window, not even a hidden one"
make_run_dir
# The script waits for the test's go before it starts the client.
sed -i 's/^@echo off\r$/@echo off\r\n>"%~dp0waiting" echo\r\n:wait\r\nif not exist "%~dp0go" goto wait\r/' "$RUN/kobex.bat"
start_kobex
wait_until 30 "the launch script" test -e "$RUN/waiting"
# Wine makes a console's window a moment after the script has begun: one is looked for 2 s.
absent class WineConsoleClass --expect 1 --wait 2000 || fail "a console window exists while the launch script runs"
touch "$RUN/go"
answers_then_closes
log "started from another folder, as by a shortcut with a wrong \"Start in\": the script beside kobex.exe runs"
make_run_dir
start_kobex kobex "$WORK"
client_started
answers_then_closes

for version in "" winxp win7 win10; do
  [ -z "$version" ] || wine_version "$version"
  log "Wine's version setting: ${version:-default}"
  make_run_dir
  start_kobex
  client_started
  expect_icons 1 20
  winprobe window "$KOBEX_WINDOW_TITLE" | tee "$WORK/window.out"
  grep -q 'visible 0' "$WORK/window.out" || fail "the main window is shown"
  [ ! -s "$RUN/client-requests.log" ] || fail "start-up sent a request: $(requests)"
  answers_then_closes
done

log "a shell that refuses the icon at start: offered again on the launcher's timer until taken"
make_run_dir
# An offer is an add and a modification: four, the first and one more. Wine's shell never
# says "TaskbarCreated": only the timer can bring the icon once that tray has gone.
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
for dpi in 96 144; do
  wine_setting 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
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
  icon_matches_frame "$x" "$y" "$w" "$h" "$small" resized >/dev/null && code=0 || code=$?
  [ "$code" = 2 ] || fail "the comparison cannot tell the $small-pixel frame from the 32-pixel one shrunk ($code)"
  close_launcher
done
log "PASS"
