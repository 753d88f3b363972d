#!/usr/bin/env bash
# On a system that reports Windows 3.1: the client started, the refusal shown, no icon.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
wine_version win31
start_kobex
message_then_end 30 1 "$KOBEX_REFUSAL_TEXT"
[ -s "$RUN/client-args.txt" ] || fail "kobex.bat did not start the client"
[ "$(icon_calls "$KOBEX_NIM_ADD")" = 0 ] || fail "an icon was offered on a refused system"
log "PASS"
