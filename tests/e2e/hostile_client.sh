#!/usr/bin/env bash
# A control service that misbehaves: whatever it does, a double-click on the
# real icon delivers the request once, frees the launcher's user-interface
# thread within the bound, shows no message, follows no redirect, and leaves
# the icon and menu working. With nothing listening, or a port that takes no
# connection, the launcher says why, within its bound, and ends, leaving no icon.
source "$(dirname "$0")/lib.sh"
e2e_begin
: "${KOBEX_HOSTILE_SERVER:?}"
make_run_dir --no-client
launcher_up
now_ms() { date +%s%3N; }

# A second listener where the redirect points: nothing may arrive there.
"$KOBEX_STANDIN_DIR/standin" --port 8091 --dir "$WORK" >"$WORK/elsewhere.out" 2>&1 &
BACKGROUND_PIDS+=($!)
wait_until 10 "listener on 8091" grep -q listening "$WORK/elsewhere.out"

for mode in silent mute dribble endless garbage huge reset 404 500 redirect; do
  : >"$WORK/$mode.log"
  "$KOBEX_HOSTILE_SERVER" --mode "$mode" --log "$WORK/$mode.log" >"$WORK/$mode.out" 2>&1 &
  server=$!
  BACKGROUND_PIDS+=($server)
  wait_until 10 "hostile server ($mode)" grep -q listening "$WORK/$mode.out"

  start=$(now_ms)
  person "${DOUBLE[@]}"
  winprobe responsive "$KOBEX_WINDOW_TITLE" --wait 15000 >/dev/null || fail "$mode: the launcher hangs"
  held=$(($(now_ms) - start))
  [ "$mode" = silent ] || wait_until 5 "request at the $mode server" test -s "$WORK/$mode.log"
  if [ "$mode" != silent ]; then
    [ "$(cat "$WORK/$mode.log")" = "GET /show? HTTP/1.1" ] || fail "$mode: the server got: $(cat "$WORK/$mode.log")"
  fi
  absent dialog kobex || fail "$mode: a message box for a delivered request"
  [ "$held" -le 6000 ] || fail "$mode: the launcher was held ${held} ms"
  open_menu
  xdotool key Escape
  menu_closed 5
  expect_icons 1 1
  log "$mode: delivered once, launcher free again after at most ${held} ms (click to answer), menu works"
  kill "$server"
  wait_until 10 "free port" port_free
done
[ ! -s "$WORK/client-requests.log" ] || fail "the redirect was followed: $(cat "$WORK/client-requests.log")"

log "nothing listening: a message that names the URL and the reason; after OK no icon, no process"
person "${DOUBLE[@]}"
message_box 15 | tee "$WORK/box.out" >/dev/null || fail "no message for a refused connection"
grep -q "$CLIENT_URL/show?.*refused" "$WORK/box.out" || fail "unclear message: $(cat "$WORK/box.out")"
expect_icons 0 5
winprobe press kobex 1 >/dev/null
expect_exit 20 2

log "a port that takes no connection (listening, never accepting, its queue full): the launcher gives up"
log "within its 2 s bound and says so; after OK no icon, no process"
rm -rf "$RUN"
make_run_dir --no-client
launcher_up
"$KOBEX_HOSTILE_SERVER" --mode full >"$WORK/full.out" 2>&1 &
server=$!
BACKGROUND_PIDS+=($server)
wait_until 10 "hostile server (full)" grep -q listening "$WORK/full.out"
start=$(now_ms)
person "${DOUBLE[@]}"
message_box 30 | tee "$WORK/box.out" >/dev/null || fail "no message for a port that takes no connection"
held=$(($(now_ms) - start))
grep -q "$CLIENT_URL/show?.*did not take it within 2 seconds" "$WORK/box.out" || fail "unclear message: $(cat "$WORK/box.out")"
[ "$held" -le 8000 ] || fail "the message came ${held} ms after the double-click"
log "the message came ${held} ms after the double-click"
expect_icons 0 5
winprobe press kobex 1 >/dev/null
expect_exit 20 2
kill "$server"
wait_until 10 "free port" port_free

log "a slow client (it answers after 1.5 s), at a person's speed: a double-click and at once a right press;"
log "Exit from that menu, and at once a right press and a double-click while /exit? is on its way"
rm -rf "$RUN"
make_run_dir --no-client
launcher_up
"$KOBEX_HOSTILE_SERVER" --mode slow --log "$WORK/slow.log" >"$WORK/slow.out" 2>&1 &
BACKGROUND_PIDS+=($!)
wait_until 10 "hostile server (slow)" grep -q listening "$WORK/slow.out"
watch_menus 1
person "${DOUBLE[@]}" sleep 0.3 "${PRESS[@]}"
menus_opened  # once /show? has its answer
point_at_item Exit
xdotool click 1 sleep 0.3 mousemove "$ICON_X" "$ICON_Y" "${PRESS[@]}" sleep 0.2 "${DOUBLE[@]}"
[ ! -s "$RUN/kobex.exit" ] || fail "the launcher had ended before the press and the double-click"
expect_exit 20 0
expect_icons 0 10
[ "$(cat "$WORK/slow.log")" = $'GET /show? HTTP/1.1\nGET /exit? HTTP/1.1' ] ||
  fail "the slow client got: $(tr '\n' ' ' <"$WORK/slow.log")"
log "PASS"
