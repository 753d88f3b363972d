#!/usr/bin/env bash
# Without a kobex.bat that can be run (none at all, or a folder of that name),
# the launcher says why it cannot start the client, adds no icon, and ends
# when the message is dismissed.
source "$(dirname "$0")/lib.sh"
e2e_begin
for case in missing folder; do
  make_run_dir --no-script
  [ "$case" = folder ] && mkdir "$RUN/kobex.bat"
  start_kobex
  message_box 30 | tee "$WORK/box.out" || fail "$case: no message box"
  grep -qF "Cannot start the messaging client with \"$KOBEX_LAUNCH_COMMAND\"" "$WORK/box.out" || fail "$case: unclear message"
  [ "$(tray_icons)" = 0 ] || fail "$case: an icon was added"
  dismiss_message 2
  [ "$(icon_calls 0)" = 0 ] || fail "$case: an icon was offered"
  log "$case kobex.bat: $(grep -o 'Cannot start.*' "$WORK/box.out")"
done
log "PASS"
