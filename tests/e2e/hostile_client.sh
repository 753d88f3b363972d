#!/usr/bin/env bash
# A client that misbehaves gets the request once and never holds the launcher past its bound;
# one that is not there, or takes no connection, is said within the bound, and the launcher ends.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir --no-client
launcher_up

# Where the redirect points: nothing may arrive there.
start_server elsewhere "$KOBEX_STANDIN_DIR/standin" --port 8091 --dir "$WORK"

for mode in silent mute dribble endless garbage huge reset 404 500 redirect; do
  : >"$WORK/$mode.log"
  start_server "$mode server" "$KOBEX_HOSTILE_SERVER" --mode "$mode" --log "$WORK/$mode.log"
  start=$(now_ms)
  person "${DOUBLE[@]}"
  winprobe responsive "$KOBEX_WINDOW_TITLE" --wait 15000 >/dev/null || fail "$mode: the launcher hangs"
  held=$(($(now_ms) - start))
  if [ "$mode" != silent ]; then
    wait_until 5 "request at the $mode server" test -s "$WORK/$mode.log"
    [ "$(cat "$WORK/$mode.log")" = "GET /show? HTTP/1.1" ] || fail "$mode: the server got: $(cat "$WORK/$mode.log")"
  fi
  absent dialog "$KOBEX_MESSAGE_TITLE" || fail "$mode: a message box for a delivered request"
  # Its longest request, and a second for the click.
  [ "$held" -le $((KOBEX_REQUEST_BOUND_MS + 1000)) ] || fail "$mode: the launcher was held ${held} ms"
  from_menu key_closes_menu Escape
  expect_icons 1 1
  log "$mode: delivered once, launcher free again after at most ${held} ms (click to answer), menu works"
  stop_server
done
[ ! -s "$WORK/client-requests.log" ] || fail "the redirect was followed: $(cat "$WORK/client-requests.log")"

log "nothing listening: a message that names the URL and the reason; after OK no icon, no process"
double_click_icon
message_then_end 15 2 "*$CLIENT_URL/show?*$KOBEX_REFUSED_REASON"

log "a port that takes no connection (listening, never accepting, its queue full), late as Windows' refusals are:"
log "within its 2 s bound the launcher says the client is not reachable; after OK no icon, no process"
make_run_dir --no-client
launcher_up
start_server "full server" "$KOBEX_HOSTILE_SERVER" --mode full
start=$(now_ms)
double_click_icon
message_box 30 >/dev/null || fail_seen "no message"
took=$(($(now_ms) - start))
[ "$took" -le $((KOBEX_SEND_TIMEOUT_MS + 6000)) ] || fail "the message came ${took} ms after the double-click"
log "the message came ${took} ms after the double-click"
message_then_end 1 2 "*$CLIENT_URL/show?*$KOBEX_REFUSED_REASON"
stop_server

log "a slow client (it answers after 1.5 s), at a person's speed: a double-click and at once a right press;"
log "Exit from that menu, and at once a right press and a double-click while /exit? is on its way"
make_run_dir --no-client
launcher_up
start_server "slow server" "$KOBEX_HOSTILE_SERVER" --mode slow --log "$WORK/slow.log"
watch_menus 1
person "${DOUBLE[@]}" sleep 0.3 "${PRESS[@]}"
menus_opened  # once /show? has its answer
point_at_item Exit
xdotool click 1 sleep 0.3 mousemove "$ICON_X" "$ICON_Y" "${PRESS[@]}" sleep 0.2 "${DOUBLE[@]}"
[ ! -s "$RUN/kobex.exit" ] || fail "the launcher had ended before the press and the double-click"
expect_gone 20
[ "$(cat "$WORK/slow.log")" = $'GET /show? HTTP/1.1\nGET /exit? HTTP/1.1' ] ||
  fail "the slow client got: $(tr '\n' ' ' <"$WORK/slow.log")"
log "PASS"
