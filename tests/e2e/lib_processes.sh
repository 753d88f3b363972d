# Processes and waits: deadlines, the clean-up, the run folder, kobex.exe, the client's requests, the test's servers.
WORK=""
BACKGROUND_PIDS=()
WINE_SETTINGS=()  # "KEY\tNAME" of each registry value a test set

cleanup() {
  local status=$? setting pidfile pid
  [ "$status" = 0 ] || report_failure
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

report_failure() {
  if [ -s "$WORK/prober.err" ]; then log "the prober's errors: $(cat "$WORK/prober.err")"; fi
  for out in "${RUN:-/nonexistent}"/*.out; do
    [ -s "$out" ] && log "${out##*/}, its end: $(tail -n 8 "$out" | tr -d '\r' | tr '\n' ' ')"
  done
  [ -n "${XVFB_PID:-}" ] && log "Xvfb on ${DISPLAY:-(no display yet)} $(kill -0 "$XVFB_PID" 2>/dev/null && echo running ||
    echo gone), said: $(tail -n 5 "$WORK/xvfb.out" 2>/dev/null | tr '\n' ' ')"
  log "Wine's desktop processes, both lanes': $({ pgrep -a -f 'explorer\.exe' || true; } | tr '\n' ' ')"
}

now_ms() { local t=${EPOCHREALTIME//[!0-9]/}; echo $((t / 1000)); }
# wait_quietly SECONDS COMMAND...: whether COMMAND, run afresh each pass, held within SECONDS. Never
# hand it a "$(...)": bash expands that once, before the first pass (static.waits checks).
wait_quietly() {
  local deadline=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do [ "$(now_ms)" -lt "$deadline" ] || return 1; sleep 0.1; done
}
# wait_until SECONDS DESCRIPTION COMMAND...: as wait_quietly, and the test fails on a miss.
wait_until() { wait_quietly "$1" "${@:3}" || fail "no $2 within ${1}s"; }

port_free() { ! (exec 3<>"/dev/tcp/$KOBEX_CLIENT_HOST/$KOBEX_CLIENT_PORT") 2>/dev/null; }
wait_port_free() { wait_until 10 "free port $KOBEX_CLIENT_PORT" port_free; }

# end_leftovers: what a test killed at its time-out left: its stand-in client, whose folder has gone, and
# its Wine server, whose programs' sockets would reach that test's network namespace, not this one's.
end_leftovers() {
  local pid dir
  for pid in $(pgrep -f -- '--dir /tmp/kobex-e2e\.[A-Za-z0-9]+/run' || true); do
    dir=$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | sed -n '/^--dir$/{n;p;q}') || true
    [ -n "$dir" ] && [ ! -d "$dir" ] && kill "$pid" 2>/dev/null || true
  done
  wineserver -k 2>/dev/null || true
  wait_port_free
}

# make_run_dir [--no-script | --no-client]: kobex.exe in a fresh folder, with the launch script and the
# stand-in client beside it as installed; or no script; or one that starts nothing (the test serves).
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

# start_kobex [NAME [FOLDER]]: the run folder's kobex.exe started in FOLDER; its output and Wine's trace
# of its icon calls (with KOBEX_TRACE's channels) in $RUN/NAME.out, its exit code in $RUN/NAME.exit.
start_kobex() {
  local name=${1:-kobex}
  (cd "${2:-$RUN}" && WINEDEBUG=-all,+systray${KOBEX_TRACE:-} wine "$RUN/kobex.exe" >"$RUN/$name.out" 2>&1 && code=0 || code=$?
    echo "$code" >"$RUN/$name.exit") &
  BACKGROUND_PIDS+=($!)
}

# icon_calls MESSAGE [NAME]: how many Shell_NotifyIcon calls with that message Wine's trace shows.
icon_calls() { grep -c "Shell_NotifyIconW dwMessage = $1\b" "$RUN/${2:-kobex}.out" || true; }
last_icon_call() { grep -o 'Shell_NotifyIconW dwMessage = [0-9]*' "$RUN/kobex.out" | tail -1 | grep -o '[0-9]*$' || true; }

# expect_gone SECONDS: kobex.exe ended with 0, its last icon call a delete: the tray alone
# could not tell, as Wine's drops a process's icons as soon as the process ends.
expect_gone() {
  expect_exit "$1" 0
  [ "$(last_icon_call)" = "$KOBEX_NIM_DELETE" ] || fail "kobex.exe ended without deleting its icon last (its last call: $(last_icon_call))"
  expect_icons 0 10
}

expect_exit() {  # expect_exit SECONDS CODE [NAME]
  local name=${3:-kobex} code
  wait_until "$1" "end of $name.exe" test -s "$RUN/$name.exit"
  code=$(cat "$RUN/$name.exit")
  [ "$code" = "$2" ] || fail "$name.exe ended with $code, expected $2"
  log "$name.exe ended with exit code $code"
}

launcher_up() {
  start_kobex
  expect_icons 1 30
  if [ -e "$RUN/standin" ]; then wait_until 30 "client listening" test -s "$RUN/client.pid"; fi
  at_icon
}

# close_launcher: a close request ends kobex.exe and its icon; the stand-in, if any, ends too.
close_launcher() {
  winprobe close "$KOBEX_WINDOW_TITLE" >/dev/null || fail "no main window to close"
  expect_gone 20
  [ ! -s "$RUN/client.pid" ] || { kill "$(cat "$RUN/client.pid")" 2>/dev/null || true; wait_port_free; }
}

# wine_setting KEY NAME TYPE DATA: a value in the prefix's registry until the test ends.
wine_setting() {
  [[ " ${WINE_SETTINGS[*]-} " == *" $1"$'\t'"$2 "* ]] || WINE_SETTINGS+=("$1"$'\t'"$2")
  wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null
}
# wine_version VERSION: Wine reports that Windows (win31, winxp...) to kobex.exe.
wine_version() { wine_setting 'HKCU\Software\Wine\AppDefaults\kobex.exe' Version REG_SZ "$1"; }

client_started() {
  wait_until 30 "client started by kobex.bat" test -s "$RUN/client-args.txt"
  [ "$(cat "$RUN/client-args.txt")" = TASKBAR ] || fail "client started with '$(cat "$RUN/client-args.txt")'"
}
requests() { cat "$RUN/client-requests.log" 2>/dev/null || true; }
request_count() { requests | wc -l; }
requests_at_least() { [ "$(request_count)" -ge "$1" ]; }

client_report() {
  printf '\nThe client was started with: %s\n' "$(cat "$RUN/client-args.txt" 2>/dev/null || echo '(not started)')"
  echo "What the client received:"
  requests | sed 's/^/  /'
  echo "Its state: $(cat "$RUN/client-state.txt" 2>/dev/null)"
}

# wait_requests N: the client has received N requests in all.
wait_requests() {
  wait_quietly 15 requests_at_least "$1" || fail_seen "no request number $1 at the client within 15s"
  [ "$(request_count)" = "$1" ] || fail "expected $1 requests, the client has $(request_count): $(requests | tr '\n' ' ')"
}

# background NAME COMMAND...: COMMAND beside the test until it ends, its output in $WORK/NAME.out.
background() {
  "${@:2}" </dev/null >"$WORK/$1.out" 2>&1 &
  BACKGROUND_PID=$!
  BACKGROUND_PIDS+=("$BACKGROUND_PID")
}
# start_server NAME COMMAND...: a server of the test's own, listening; stop_server ends the last one.
start_server() {
  background "$@"
  SERVER_PID=$BACKGROUND_PID
  wait_until 10 "$1 listening" grep -q listening "$WORK/$1.out"
}
stop_server() { kill "$SERVER_PID"; wait_port_free; }
