# Questions to Wine's windows for the end-to-end tests: winprobe.exe and
# webprobe.exe (tests/win), the prober that keeps one running, and what they
# tell of the tray, kobex's boxes and its menus.
WINPROBE="$KOBEX_WIN_BIN_DIR/tests/win/winprobe.exe"
WEBPROBE="$KOBEX_WIN_BIN_DIR/tests/win/webprobe.exe"

# winprobe ARGS...: one question to winprobe.exe (tests/win/winprobe.cpp). It
# goes to the prober the test keeps running when there is one (start_prober):
# where 32-bit programs run under emulation a Wine process takes a second or
# more to start, which a question a step would add to every wait. The answer
# is awaited PROBER_SECONDS (60: the longest --wait and a slow start).
PROBER_PID=""
winprobe() {
  if [ -z "$PROBER_PID" ] || ! kill -0 "$PROBER_PID" 2>/dev/null; then
    wine "$WINPROBE" "$@" </dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
  fi
  local seconds=${PROBER_SECONDS:-60}
  (IFS=$'\t' && printf '%s\n' "$*") >&"$PROBER_IN"
  # The whole answer is read before any of it is passed on: a reader that
  # stops early (grep -q) must not leave lines behind for the next question.
  local line answer=""
  while IFS= read -r -t "$seconds" -u "$PROBER_OUT" line; do
    case $line in
      $'\x1e'*)
        printf '%s' "$answer"
        return "${line#$'\x1e'}"
        ;;
      $'\x1f'*) printf '%s\n' "${line#$'\x1f'}" >&2 ;;
      *) answer+="$line"$'\n' ;;
    esac
  done
  # A late answer would be taken for the next question's: this prober is done.
  log "winprobe: no answer within ${seconds}s from the prober to: $*" >&2
  kill "$PROBER_PID" 2>/dev/null || true
  forget_prober
  return 2
}
# start_prober: winprobe.exe serving questions until the test ends or Wine
# is restarted (restart_wine).
start_prober() {
  rm -f "$WORK/prober.in" "$WORK/prober.out"
  mkfifo "$WORK/prober.in" "$WORK/prober.out"
  wine "$WINPROBE" serve <"$WORK/prober.in" >"$WORK/prober.out" 2>>"$WORK/prober.err" &
  PROBER_PID=$!
  BACKGROUND_PIDS+=("$PROBER_PID")
  exec {PROBER_IN}>"$WORK/prober.in" {PROBER_OUT}<"$WORK/prober.out"
}
# stop_wine: every Wine process of the prefix ended, the prober with them.
# (Its end of input would not end it: every program started since holds it.)
stop_wine() {
  forget_prober
  wineserver -k
}
# forget_prober: questions go to a Wine process of their own from now on.
forget_prober() {
  if [ -n "$PROBER_PID" ]; then exec {PROBER_IN}>&- {PROBER_OUT}<&-; fi
  PROBER_PID=""
}
# restart_wine: Wine afresh (it reads some settings only when it starts), and the prober.
restart_wine() {
  stop_wine
  start_prober
}
webprobe() { wine "$WEBPROBE" "$@" </dev/null | tr -d '\r'; }

# tray_icons: how many icons Wine's tray shows now; nothing when it cannot tell
# (the prober has said why).
tray_icons() { { winprobe icons || true; } | sed -n 's/^count //p'; }

expect_icons() {  # expect_icons N SECONDS
  winprobe icons --expect "$1" --wait "$(($2 * 1000))" >/dev/null || fail "tray shows $(tray_icons) icons, expected $1"
  log "tray shows $1 icon(s)"
}

# The message box kobex shows, by its title: "ID CLASS TEXT" per control.
message_box() { winprobe dialog "$KOBEX_MESSAGE_TITLE" --wait "$(($1 * 1000))"; }

# absent PROBE-ARGS...: winprobe looked and did not find it (its exit code 1);
# a winprobe that could not run at all is no proof of absence.
absent() {
  local code=0
  winprobe "$@" >/dev/null || code=$?
  [ "$code" = 1 ]
}
dialog_gone() { absent dialog "$1"; }
# about_shown [WHEN]: the About box is shown within 10 s.
about_shown() { winprobe dialog "$KOBEX_ABOUT_TITLE" --wait 10000 >/dev/null || fail "no About box${1:+ $1}"; }

# launcher_answers: kobex's window answers a message again within 5 s (with no
# window manager, Wine holds a thread that hides a captioned window about 2 s).
launcher_answers() {
  winprobe responsive "$KOBEX_WINDOW_TITLE" --wait 5000 >/dev/null || fail_seen "the launcher does not answer"
}

# seen: the state a miss is judged by. Each reading says when it could not be
# had (no window has the X focus, Wine has gone) instead of ending the report.
seen() {
  log "seen: foreground $(winprobe foreground 2>&1 || echo "(not readable)")"
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null) || focus=""
  log "seen: X focus ${focus:-(none, or PointerRoot)} $( [ -z "$focus" ] || winprobe xwindow "$focus" 2>&1 || true)"
  log "seen: menus $({ winprobe menus 2>&1 || echo "(not readable)"; } | awk '!/^item / {printf "%s ", $0}')"
  log "seen: requests at the client: $(requests | tr '\n' ' ')"
}
fail_seen() {
  seen
  fail "$*"
}

# menus_open N AFTER: N popup menus are open within 5 s of AFTER.
menus_open() {
  winprobe menus --expect "$1" --wait 5000 >/dev/null ||
    fail_seen "$2 left $(winprobe menus | head -1 | cut -d' ' -f2) menus open, not $1"
}

# watch_menus N [TITLE], then menus_opened: the proof that presses whose menus
# closed again had opened N of them (and windows titled TITLE) within 15 s. Its
# output goes straight to a file: through a pipe "ready" would come at the end.
watch_menus() {
  background opened wine "$WINPROBE" menus-opened ${2:+"$2"} --expect "$1" --wait 15000
  MENU_WATCH=$BACKGROUND_PID
  wait_until 10 "the menu watcher" grep -q '^ready' "$WORK/opened.out"
}
menus_opened() {
  # The watcher's whole output: under Wine 10 a line of its wrapper's may follow its own.
  wait "$MENU_WATCH" ||
    fail_seen "not every action opened its menu or box; the watcher said: $(tr -d '\r' <"$WORK/opened.out" | tr '\n' ' ')"
}
