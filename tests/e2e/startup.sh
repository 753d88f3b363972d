#!/usr/bin/env bash
# kobex.exe starts the client with "TASKBAR" from its working folder, shows one
# icon, keeps its window hidden, sends nothing, and removes the icon when its
# window is asked to close.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
start_kobex

wait_until 30 "client started by kobex.bat" test -s "$RUN/client-args.txt"
[ "$(cat "$RUN/client-args.txt")" = TASKBAR ] || fail "client started with '$(cat "$RUN/client-args.txt")'"
log "client started with TASKBAR"
expect_icons 1 20
winprobe window "System tray launcher" | tee "$WORK/window.out"
grep -q 'visible 0' "$WORK/window.out" || fail "the main window is shown"

winprobe close "System tray launcher" >/dev/null || fail "no main window to close"
expect_exit 20 0
expect_icons 0 10
[ ! -s "$RUN/client-requests.log" ] || fail "start-up or close sent a request: $(cat "$RUN/client-requests.log")"
log "PASS"
