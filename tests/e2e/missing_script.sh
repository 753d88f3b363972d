#!/usr/bin/env bash
# Without kobex.bat the launcher says why it cannot start the client, adds no
# icon, and ends when the message is dismissed.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir --no-script
start_kobex

message_box 30 | tee "$WORK/box.out" || fail "no message box"
grep -qF 'Cannot start the messaging client with "kobex.bat TASKBAR"' "$WORK/box.out" || fail "unclear message"
[ "$(tray_icons)" = 0 ] || fail "an icon was added"
winprobe press kobex 1 >/dev/null
expect_exit 20 2
log "PASS"
