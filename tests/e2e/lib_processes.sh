# Processes and waits for the end-to-end tests: deadlines, the clean-up, the
# run folder, kobex.exe, the client's requests and the test's own servers.

WORK=""
BACKGROUND_PIDS=()
WINE_SETTINGS=()  # "KEY\tNAME" of each registry value a test set

cleanup() {
  local status=$?
  [ "$status" = 0 ] || report_failure
  local setting pidfile pid
  for setting in "${WINE_SETTINGS[@]+"${WINE_SETTINGS[@]}"}"; do
    wine reg delete "${setting%$'\t'*}" /v "${setting#*$'\t'}" /f >/dev/null 2>&1 || true
  done
  for pidfile in "${WORK:-/nonexistent}"/*/client.pid "${WORK:-/nonexistent}"/client.pid; do
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
  done
  for pid in "${BACKGROUND_PIDS[@]+"${BACKGROUND_PIDS[@]}"}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  [ -n "$WORK" ] && rm -rf "$WORK"
  exit "$status"
}

# report_failure: what the prober, the launchers and Wine's desktop process
# said, and the X server's state.
report_failure() {
  if [ -s "$WORK/prober.err" ]; then log "the prober's errors: $(cat "$WORK/prober.err")"; fi
  for out in "${RUN:-/nonexistent}"/*.out; do
    [ -s "$out" ] && log "${out##*/}, its end: $(tail -n 8 "$out" | tr -d '\r' | tr '\n' ' ')"
  done
  [ -n "${XVFB_PID:-}" ] && log "$(x_server_state)"
  log "Wine's desktop processes, both lanes': $({ pgrep -a -f 'explorer\.exe' || true; } | tr '\n' ' ')"
}

# Waits. Each takes its condition as a command (a function, a program and its
# arguments) and runs it afresh on every pass until it holds or the deadline
# passes; the condition is tried at least once. Never hand one a "$(...)"
# argument: bash expands it once, before the first pass, and the wait would
# test the same old value to the end (static.waits checks for that).

# now_ms: milliseconds on the wall clock.
now_ms() { local t=${EPOCHREALTIME//[!0-9]/}; echo $((t / 1000)); }

# wait_quietly SECONDS COMMAND...: whether COMMAND held within SECONDS.
wait_quietly() {
  local deadline=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# wait_until SECONDS DESCRIPTION COMMAND...: COMMAND holds within SECONDS, or the test fails.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  wait_quietly "$seconds" "$@" || fail "no $what within ${seconds}s"
}

port_free() { ! (exec 3<>"/dev/tcp/$KOBEX_CLIENT_HOST/$KOBEX_CLIENT_PORT") 2>/dev/null; }

# end_leftovers: what a test killed at its time-out left: its stand-in client,
# whose folder has gone, and its Wine server, whose programs' sockets would be
# in that test's network namespace, reaching its client port, not this one's.
end_leftovers() {
  local pid dir
  for pid in $(pgrep -f -- '--dir /tmp/kobex-e2e\.[A-Za-z0-9]+/run' || true); do
    dir=$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | sed -n '/^--dir$/{n;p;q}') || true
    [ -n "$dir" ] && [ ! -d "$dir" ] && kill "$pid" 2>/dev/null || true
  done
  wineserver -k 2>/dev/null || true
  wait_until 10 "free port $KOBEX_CLIENT_PORT" port_free
}

# make_run_dir [--no-script | --no-client]: a fresh folder holding kobex.exe,
# and the client's launch script with the stand-in beside it, as installed on
# a user's machine; with --no-script no launch script, with --no-client one
# that starts nothing (the test's own servers stand in for the client).
make_run_dir() {
  RUN="${WORK:?make_run_dir comes after e2e_begin}/run"
  rm -rf "$RUN"
  mkdir -p "$RUN"
  cp "$KOBEX_WIN_BIN_DIR/kobex.exe" "$RUN/"
  case ${1:-} in
    --no-script) ;;
    --no-client) printf '@echo off\r\n' >"$RUN/kobex.bat" ;;
    *) cp "$KOBEX_STANDIN_DIR/kobex.bat" "$KOBEX_STANDIN_DIR/standin" "$RUN/" ;;
  esac
}

# start_kobex [NAME [FOLDER]]: runs kobex.exe of the run folder from FOLDER (that one by default); its
# output, with Wine's trace of its Shell_NotifyIcon calls (and KOBEX_TRACE's channels, ",+relay"), lands
# in $RUN/NAME.out, its exit code in $RUN/NAME.exit (NAME: kobex by default).
start_kobex() {
  local name=${1:-kobex}
  (
    cd "${2:-$RUN}"
    code=0
    WINEDEBUG=-all,+systray${KOBEX_TRACE:-} wine "$RUN/kobex.exe" >"$RUN/$name.out" 2>&1 || code=$?
    echo "$code" >"$RUN/$name.exit"
  ) &
  BACKGROUND_PIDS+=($!)
}

# icon_calls MESSAGE [NAME]: how many Shell_NotifyIcon calls with that message
# (KOBEX_NIM_ADD...) NAME's launcher made (kobex by default), by Wine's trace,
# which notes each call as it is made.
icon_calls() { grep -c "Shell_NotifyIconW dwMessage = $1\b" "$RUN/${2:-kobex}.out" || true; }
last_icon_call() { grep -o 'Shell_NotifyIconW dwMessage = [0-9]*' "$RUN/kobex.out" | tail -1 | grep -o '[0-9]*$' || true; }

# expect_gone SECONDS: kobex.exe has ended with exit code 0, its last icon call
# a delete. The tray alone could not tell: Wine's drops a process's icons as
# soon as the process ends.
expect_gone() {
  expect_exit "$1" 0
  [ "$(last_icon_call)" = "$KOBEX_NIM_DELETE" ] || fail "kobex.exe ended without deleting its icon last (its last call: $(last_icon_call))"
  expect_icons 0 10
}

# expect_exit SECONDS CODE [NAME]: that kobex.exe has ended with that exit code.
expect_exit() {
  local name=${3:-kobex} code
  wait_until "$1" "end of $name.exe" test -s "$RUN/$name.exit"
  code=$(cat "$RUN/$name.exit")
  [ "$code" = "$2" ] || fail "$name.exe ended with $code, expected $2"
  log "$name.exe ended with exit code $code"
}

# launcher_up: kobex.exe started from the run folder, its icon in the tray
# (at_icon) and, when the stand-in is there, the client listening.
launcher_up() {
  start_kobex
  expect_icons 1 30
  if [ -e "$RUN/standin" ]; then wait_until 30 "client listening" test -s "$RUN/client.pid"; fi
  at_icon
}

# close_launcher: a close request to kobex's main window; it ends with exit
# code 0 and its icon goes. The stand-in client, if any, is ended too, its
# port free for the next launcher's.
close_launcher() {
  winprobe close "$KOBEX_WINDOW_TITLE" >/dev/null || fail "no main window to close"
  expect_gone 20
  if [ -s "$RUN/client.pid" ]; then
    kill "$(cat "$RUN/client.pid")" 2>/dev/null || true
    wait_until 10 "free port $KOBEX_CLIENT_PORT" port_free
  fi
}

# wine_setting KEY NAME TYPE DATA: a value in the registry of Wine's prefix
# until the test ends; with DATA "" none (Wine's default).
wine_setting() {
  [[ " ${WINE_SETTINGS[*]-} " == *" $1"$'\t'"$2 "* ]] || WINE_SETTINGS+=("$1"$'\t'"$2")
  if [ -z "$4" ]; then
    wine reg delete "$1" /v "$2" /f >/dev/null 2>&1 || true
  else
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null
  fi
}
# wine_version VERSION: Wine reports that Windows (win31, winxp...) to kobex.exe; "": its default.
wine_version() { wine_setting 'HKCU\Software\Wine\AppDefaults\kobex.exe' Version REG_SZ "$1"; }

requests() { cat "$RUN/client-requests.log" 2>/dev/null || true; }
request_count() { requests | wc -l; }
requests_at_least() { [ "$(request_count)" -ge "$1" ]; }

# client_report: how the client was started, what it received, its state.
client_report() {
  echo
  echo "The client was started with: $(cat "$RUN/client-args.txt" 2>/dev/null || echo '(not started)')"
  echo "What the client received:"
  requests | sed 's/^/  /'
  echo "Its state: $(cat "$RUN/client-state.txt" 2>/dev/null)"
}

# wait_requests N: the client has received N requests in all.
wait_requests() {
  wait_quietly 15 requests_at_least "$1" || fail_seen "no request number $1 at the client within 15s"
  [ "$(request_count)" = "$1" ] || fail "expected $1 requests, the client has $(request_count): $(requests | tr '\n' ' ')"
}

# background NAME COMMAND...: COMMAND runs beside the test until it ends, its
# output in $WORK/NAME.out; BACKGROUND_PID.
background() {
  local name=$1
  shift
  "$@" </dev/null >"$WORK/$name.out" 2>&1 &
  BACKGROUND_PID=$!
  BACKGROUND_PIDS+=("$BACKGROUND_PID")
}

# start_server NAME COMMAND...: a server of the test's own (the stand-in, a
# hostile one) started and listening; SERVER_PID.
start_server() {
  background "$@"
  SERVER_PID=$BACKGROUND_PID
  wait_until 10 "$1 listening" grep -q listening "$WORK/$1.out"
}
# stop_server: the last one started ended, the client's port free again.
stop_server() {
  kill "$SERVER_PID"
  wait_until 10 "free port $KOBEX_CLIENT_PORT" port_free
}
