#!/usr/bin/env bash
# A restarted shell ("TaskbarCreated", let through an elevated launcher's filter), a settings change,
# a second start, and log-off.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
sed -i 's/^@echo off\r$/@echo off\r\n>>"%~dp0script-runs.txt" echo %*\r/' "$RUN/kobex.bat"
script_runs() { grep -c TASKBAR "$RUN/script-runs.txt" 2>/dev/null || true; }
wine_setting 'HKCU\Software\Wine\Debug' RelayInclude REG_SZ 'user32.ChangeWindowMessageFilterEx;user32.ChangeWindowMessageFilter'
KOBEX_TRACE=,+relay launcher_up
[ "$(script_runs)" = 1 ] || fail "the launch script counted $(script_runs) runs, not 1"
# The first launcher's add shows what a second one's would look like in the trace.
[ "$(icon_calls "$KOBEX_NIM_ADD")" -ge 1 ] || fail "Wine's trace shows no icon added by the first launcher"

log "the tray loses the icon; the shell's TaskbarCreated brings it back, once"
winprobe drop-icon "$KOBEX_WINDOW_TITLE" || fail "the icon could not be taken from the tray"
expect_icons 0 5
read -r _ message < <(winprobe taskbar-created)
expect_icons 1 10
# Let through the filter (Wine has none) once, on the main window, by Wine's relay trace.
read -r _ _ _ _ _ _ _ window < <(winprobe window "$KOBEX_WINDOW_TITLE")
filters=$(grep -o 'Call user32.ChangeWindowMessageFilter[^ ]*' "$RUN/kobex.out" || true)
[ "$filters" = "Call user32.ChangeWindowMessageFilterEx($window,$message,00000001,00000000)" ] ||
  fail "TaskbarCreated ($message) to window $window, the filter calls: ${filters:-none}"
winprobe taskbar-created
# A tray that still has the icon refuses the second add and takes the modification;
# a settings change modifies the icon in place.
absent icons --expect 2 --wait 1500 || fail "a second TaskbarCreated added a second icon"
winprobe settingchange || fail "the settings change could not be broadcast"
absent icons --expect 2 --wait 1500 || fail "a settings change added a second icon"
expect_icons 1 1
at_icon
sends /show? double_click_icon

log "a second start: the script runs again, the second launcher ends with 0, one icon, the first answers"
start_kobex kobex2
expect_exit 20 0 kobex2
# By the trace: the tray drops a process's icons as soon as the process ends.
[ "$(icon_calls "$KOBEX_NIM_ADD" kobex2)" = 0 ] || fail "the second launcher added an icon"
ran_twice() { [ "$(script_runs)" = 2 ]; }
wait_until 10 "the launch script's second run" ran_twice
expect_icons 1 1
[ ! -s "$RUN/kobex.exit" ] || fail "the first launcher ended"
sends /show? double_click_icon

log "log-off: WM_QUERYENDSESSION is granted, WM_ENDSESSION removes the icon"
log_off() {
  winprobe endsession "$KOBEX_WINDOW_TITLE" | tee "$WORK/end.out"
  grep -qx 'queryendsession 1' "$WORK/end.out" || fail "the end of the session was refused"
  expect_gone 20
}
sends "" log_off
log "PASS"
