#!/usr/bin/env bash
# A winhttp.dll planted beside kobex.exe is never loaded. Wine is told to prefer a native one,
# as Windows' search order would find the planted one first for a program that imports it.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
cp "$KOBEX_WIN_BIN_DIR/tests/win/winhttp.dll" "$RUN/"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winhttp=n,b"
launcher_up
sends /show? double_click_icon
[ ! -e "$RUN/planted-dll-loaded.txt" ] || fail "kobex.exe loaded the planted winhttp.dll"
close_launcher
log "PASS"
