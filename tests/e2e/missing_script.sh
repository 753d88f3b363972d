#!/usr/bin/env bash
# Without a kobex.bat to run (none, or a folder), the launcher says why, adds no icon, and ends.
source "$(dirname "$0")/lib.sh"
e2e_begin
for case in missing folder; do
  log "kobex.bat $case"
  make_run_dir --no-script
  [ "$case" = folder ] && mkdir "$RUN/kobex.bat"
  start_kobex
  message_then_end 30 2 "Cannot start the messaging client with \"$KOBEX_LAUNCH_COMMAND\"*"
  [ "$(icon_calls "$KOBEX_NIM_ADD")" = 0 ] || fail "$case: an icon was offered"
done
log "PASS"
