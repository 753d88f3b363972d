#!/usr/bin/env bash
# On a system that reports Windows 3.1, kobex.exe starts the client, then shows
# its refusal, adds no icon, and ends when OK is pressed.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
wine_version win31
start_kobex

message_box 30 | tee "$WORK/box.out" || fail "no message box"
# The message is the box's one label (no id: 65535, or -1), its whole text.
[ "$(sed -n 's/^\(65535\|-1\) Static [0-9]* [0-9]* [0-9]* [0-9]* //p' "$WORK/box.out")" = "$KOBEX_REFUSAL_TEXT" ] ||
  fail "the refusal text is not shown"
[ "$(grep -c ' Button ' "$WORK/box.out")" = 1 ] || fail "the box has more than an OK button"
grep -q '^1 Button .* OK$' "$WORK/box.out" || fail "no OK button"
wait_until 20 "client started by kobex.bat" test -s "$RUN/client-args.txt"
[ "$(tray_icons)" = 0 ] || fail "an icon was added on a refused system"

dismiss_message 1
[ "$(icon_calls 0)" = 0 ] || fail "an icon was offered on a refused system"
log "PASS"
