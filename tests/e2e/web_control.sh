#!/usr/bin/env bash
# The real WinHTTP webControl against servers on the client's endpoint: requests byte for byte, a
# clear error for a refused connection, no server holding the caller past the bound.
source "$(dirname "$0")/lib.sh"
e2e_begin --no-display

# /exit? goes last: the stand-in ends on it.
paths=()
for path in "${KOBEX_REQUEST_PATHS[@]}"; do [ "$path" = /exit? ] || paths+=("$path"); done
paths+=(/exit?)
[ "${#paths[@]}" -gt 1 ] && [ "${#paths[@]}" = "${#KOBEX_REQUEST_PATHS[@]}" ] ||
  fail "the program's table holds no /exit? or nothing else: ${KOBEX_REQUEST_PATHS[*]}"

log "all ${#paths[@]} requests against the recording stand-in"
start_server standin "$KOBEX_STANDIN_DIR/standin" --dir "$WORK"
webprobe "${paths[@]}" | tee "$WORK/probe.out"
[ "$(grep -c '^ok ' "$WORK/probe.out")" = "${#paths[@]}" ] || fail "not every request was delivered"
printf 'GET %s HTTP/1.1\n' "${paths[@]}" >"$WORK/expected.log"
diff "$WORK/expected.log" "$WORK/client-requests.log" || fail "the request lines differ from the table"
wait_until 10 "stand-in ending on /exit?" port_free

log "nothing listening: a clear error naming the URL and the reason"
if webprobe /show? >"$WORK/refused.out"; then fail "a refused connection reported success"; fi
cat "$WORK/refused.out"
grep -q "^error /show? [0-9]* The request $CLIENT_URL/show? could not be delivered: the connection was refused" \
  "$WORK/refused.out" || fail "unclear error for a refused connection"

for mode in silent mute; do
  log "a server that accepts and never answers ($mode)"
  start_server "$mode server" "$KOBEX_HOSTILE_SERVER" --mode "$mode" --log "$WORK/$mode.log"
  webprobe /hide? | tee "$WORK/$mode.out"
  read -r outcome _ ms _ <"$WORK/$mode.out"
  [ "$outcome" = ok ] || fail "a delivered request was reported as failed"
  [ "$ms" -le "$KOBEX_REQUEST_BOUND_MS" ] || fail "the call held its caller ${ms} ms, more than $KOBEX_REQUEST_BOUND_MS ms"
  if [ "$mode" = mute ]; then
    [ "$(cat "$WORK/mute.log")" = "GET /hide? HTTP/1.1" ] || fail "the mute server got: $(cat -A "$WORK/mute.log")"
  fi
  stop_server
done
log "PASS"
