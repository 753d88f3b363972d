# Questions to Wine's windows (tests/win/winprobe.exe) and to the client (webprobe.exe).
WINPROBE="$KOBEX_WIN_BIN_DIR/tests/win/winprobe.exe"
WEBPROBE="$KOBEX_WIN_BIN_DIR/tests/win/webprobe.exe"

# winprobe ARGS...: asked of the prober the test keeps running (a Wine process may take seconds to start),
# its answer read whole, so a reader that stops early (grep -q) leaves none of it behind. The answer ends
# with its question's id: the answer to an earlier question that ran out of time is passed over.
winprobe() {
  local id=$EPOCHREALTIME line answer="" code=0
  (IFS=$'\t' && printf '%s\n' "$id$IFS$*") >&"$PROBER_IN"
  while IFS= read -r -t "${PROBER_SECONDS:-60}" -u "$PROBER_OUT" line || { code=$? && false; }; do
    case $line in
      "end $id "*) printf '%s' "$answer"; return "${line##* }" ;;
      "end "*) answer="" ;;
      *) answer+=$line$'\n' ;;
    esac
  done
  if [ "$code" -gt 128 ]; then log "winprobe: no answer within ${PROBER_SECONDS:-60}s to: $*" >&2
  else log "winprobe: the prober has ended, unasked: $*" >&2; fi
  return 2
}
# start_prober: winprobe.exe serving questions, its errors in prober.err, until Wine is stopped.
start_prober() {
  rm -f "$WORK/prober.in" "$WORK/prober.out"
  mkfifo "$WORK/prober.in" "$WORK/prober.out"
  wine "$WINPROBE" serve <"$WORK/prober.in" >"$WORK/prober.out" 2>>"$WORK/prober.err" &
  BACKGROUND_PIDS+=("$!")
  exec {PROBER_IN}>"$WORK/prober.in" {PROBER_OUT}<"$WORK/prober.out"
}
# stop_wine: every Wine process of the prefix ended, the prober too (every program started since holds
# its input open: closing it would not end the prober). restart_wine: Wine afresh, as some settings need.
stop_wine() { exec {PROBER_IN}>&- {PROBER_OUT}<&- && wineserver -k; }
restart_wine() { stop_wine && start_prober; }
webprobe() { wine "$WEBPROBE" "$@" </dev/null | tr -d '\r'; }

# expect_icons N SECONDS: so many icons in the tray within SECONDS.
expect_icons() {
  local shown
  shown=$(winprobe icons --expect "$1" --wait "$(($2 * 1000))") || fail "tray icons: ${shown%%$'\n'*}, not $1"
  log "tray shows $1 icon(s)"
}

message_box() { winprobe dialog "$KOBEX_MESSAGE_TITLE" --wait "$(($1 * 1000))"; }

# absent PROBE-ARGS...: winprobe looked and did not find it (exit code 1, not 2: it could not look).
absent() { local code=0 && winprobe "$@" >/dev/null || code=$? && [ "$code" = 1 ]; }
dialog_gone() { absent dialog "$1"; }
about_shown() { winprobe dialog "$KOBEX_ABOUT_TITLE" --wait 10000 >/dev/null || fail "no About box${1:+ $1}"; }

# launcher_answers: within 5 s (with no window manager, Wine holds a thread that hides a captioned window ~2 s).
launcher_answers() {
  winprobe responsive "$KOBEX_WINDOW_TITLE" --wait 5000 >/dev/null || fail_seen "the launcher does not answer"
}

# seen: the state a miss is judged by; each reading says when it could not be had, within 5 s.
seen() {
  local PROBER_SECONDS=5
  log "seen: foreground $(winprobe foreground 2>&1 || echo "(not readable)")"
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null) || focus=""
  log "seen: X focus ${focus:-(none, or PointerRoot)} $( [ -z "$focus" ] || winprobe xwindow "$focus" 2>&1 || true)"
  log "seen: menus $({ winprobe menus 2>&1 || echo "(not readable)"; } | awk '!/^item / {printf "%s ", $0}')"
  log "seen: requests at the client: $(requests | tr '\n' ' ')"
}
fail_seen() { seen; fail "$*"; }

# menus_open N AFTER: so many popup menus open within 5 s of AFTER.
menus_open() {
  local shown
  shown=$(winprobe menus --expect "$1" --wait 5000) || fail_seen "after $2 menus: ${shown%%$'\n'*}, not $1"
}

# watch_menus N [TITLE], then menus_opened: presses whose menus closed again opened N of them (and windows
# titled TITLE) within 15 s. Its output goes to a file: through a pipe "ready" would come only at the end.
watch_menus() {
  background opened wine "$WINPROBE" menus-opened ${2:+"$2"} --expect "$1" --wait 15000
  MENU_WATCH=$BACKGROUND_PID
  wait_until 10 "the menu watcher" grep -q '^ready' "$WORK/opened.out"
}
menus_opened() {
  wait "$MENU_WATCH" ||
    fail_seen "not every action opened its menu or box; the watcher said: $(tr -d '\r' <"$WORK/opened.out" | tr '\n' ' ')"
}
