#!/usr/bin/env bash
# kobex.exe starts the client with "TASKBAR" from its working folder, shows one
# icon, keeps its window hidden, sends nothing on its own, answers a
# double-click, and removes the icon when its window is asked to close; the
# same under Wine's Windows XP, 7 and 10 settings as under its default.
source "$(dirname "$0")/lib.sh"
e2e_begin
key='HKCU\Software\Wine\AppDefaults\kobex.exe'
CLEANUPS+=("wine reg delete '$key' /f >/dev/null 2>&1")

for version in default winxp win7 win10; do
  if [ "$version" = default ]; then
    wine reg delete "$key" /f >/dev/null 2>&1 || true
  else
    wine reg add "$key" /v Version /t REG_SZ /d "$version" /f >/dev/null
  fi
  log "Wine's version setting: $version"
  make_run_dir
  start_kobex
  wait_until 30 "client started by kobex.bat" test -s "$RUN/client-args.txt"
  [ "$(cat "$RUN/client-args.txt")" = TASKBAR ] || fail "client started with '$(cat "$RUN/client-args.txt")'"
  log "client started with TASKBAR"
  expect_icons 1 20
  winprobe window "System tray launcher" | tee "$WORK/window.out"
  grep -q 'visible 0' "$WORK/window.out" || fail "the main window is shown"
  [ ! -s "$RUN/client-requests.log" ] || fail "start-up sent a request: $(requests)"

  wait_until 30 "client listening" test -s "$RUN/client.pid"
  locate_icon
  double_click 1
  winprobe close "System tray launcher" >/dev/null || fail "no main window to close"
  expect_exit 20 0
  expect_icons 0 10
  expect_requests /show?
  kill "$(cat "$RUN/client.pid")" 2>/dev/null || true
  wait_until 10 "free port $CLIENT_PORT" port_free
  rm -rf "$RUN"
done
log "PASS"
