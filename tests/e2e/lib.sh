# Shared by the end-to-end tests: a private X server, the shared Wine prefix,
# a run folder laid out as on a user's machine, and waits with deadlines.
# Each test sources this file and calls e2e_begin first.
set -euo pipefail

# CTest passes the build's folders; scripts that run from the repository get
# the presets' folders.
kobex_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export KOBEX_WIN_BIN_DIR="${KOBEX_WIN_BIN_DIR:-$kobex_root/build/windows}"
export KOBEX_STANDIN_DIR="${KOBEX_STANDIN_DIR:-$kobex_root/build/native/standin}"
# KOBEX_WINE picks the Wine: 8 (Debian 12's) or 10 (Debian 13's); by default
# the machine's own. Each has its own prefix.
source "$kobex_root/scripts/wines.sh"
use_wine "${KOBEX_WINE:-}" || exit 2
export KOBEX_WINEPREFIX="${KOBEX_WINEPREFIX:-$kobex_root/build/native/wineprefix-wine$KOBEX_WINE}"
export WINEPREFIX="$KOBEX_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINPROBE="$KOBEX_WIN_BIN_DIR/tests/win/winprobe.exe"
WEBPROBE="$KOBEX_WIN_BIN_DIR/tests/win/webprobe.exe"
# The client's control endpoint, as the program has it.
endpoint_constant() { sed -n "s/^inline constexpr .* $1 = \"*\([^\";]*\)\"*;\$/\1/p" "$kobex_root/src/control/client_commands.h"; }
CLIENT_HOST=$(endpoint_constant kClientHost)
CLIENT_PORT=$(endpoint_constant kClientPort)
CLIENT_URL="http://$CLIENT_HOST:$CLIENT_PORT"
if [ -z "$CLIENT_HOST" ] || [ -z "$CLIENT_PORT" ]; then
  echo "lib.sh: cannot read the client's endpoint from src/control/client_commands.h" >&2
  exit 1
fi
REFUSAL_TEXT="This program requires Windows 95 or later, or Windows NT 4.0 or later."
# The system's double-click time, as prefix.sh sets it: a second press of a
# button on the icon within it (at the same place) reaches the launcher as that
# button's double-click. 900 ms is a slow setting that users do choose; two
# presses with a person's gaps of 150 to 350 ms between them and the steps
# that come in between (a key, Escape, a click on OK) stay within it. Clicks
# meant to stay apart are APART seconds apart.
DOUBLE_CLICK_MS=900
APART=1.2

WORK=""
XVFB_PID=""
BACKGROUND_PIDS=()
CLEANUPS=()

log() { printf '[%s] %s\n' "$(date +%T.%3N)" "$*"; }
fail() {
  log "FAIL: $*"
  exit 1
}

cleanup() {
  local status=$?
  for step in "${CLEANUPS[@]+"${CLEANUPS[@]}"}"; do eval "$step" || true; done
  if [ -n "$WORK" ]; then
    for pidfile in "$WORK"/*/client.pid "$WORK"/client.pid; do
      [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    done
  fi
  for pid in "${BACKGROUND_PIDS[@]+"${BACKGROUND_PIDS[@]}"}"; do kill "$pid" 2>/dev/null || true; done
  if [ "$status" != 0 ] && [ -s "$WORK/prober.err" ]; then log "the prober's errors: $(cat "$WORK/prober.err")"; fi
  wineserver -k 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  [ -n "$WORK" ] && rm -rf "$WORK"
  exit "$status"
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

port_free() { ! (exec 3<>"/dev/tcp/$CLIENT_HOST/$CLIENT_PORT") 2>/dev/null; }

# KOBEX_DESKTOP picks the desktop the tests run on: "bare" (the default: an X
# server alone, Wine's own stand-alone tray window), "openbox" (a window
# manager, Wine's tray window managed by it), "trayer" (a real XEmbed system
# tray, in which Wine docks its icons), "jwm" or "icewm" (window managers with
# a taskbar at the bottom of the screen and a system tray of their own, as on
# Windows).
KOBEX_DESKTOP="${KOBEX_DESKTOP:-bare}"

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# A system tray runs when someone owns the X selection _NET_SYSTEM_TRAY_S0.
tray_running() {
  python3 -c '
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XGetSelectionOwner.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_SYSTEM_TRAY_S0", 0)) else 1)'
}

# x_server_state: whether the test's X server still runs, and what it said.
x_server_state() {
  local state=gone
  kill -0 "$XVFB_PID" 2>/dev/null && state=running
  echo "Xvfb on $DISPLAY $state, said: $(tail -n 5 "$WORK/xvfb.out" 2>/dev/null | tr '\n' ' ')"
}

start_desktop() {
  case $KOBEX_DESKTOP in
    bare) return ;;
    openbox | trayer | jwm | icewm) ;;
    *) fail "unknown desktop '$KOBEX_DESKTOP'" ;;
  esac
  if [ "$KOBEX_DESKTOP" = openbox ]; then
    openbox --sm-disable >"$WORK/openbox.out" 2>&1 &
    BACKGROUND_PIDS+=($!)
    wait_until 10 "window manager" wm_running
  elif [ "$KOBEX_DESKTOP" = jwm ] || [ "$KOBEX_DESKTOP" = icewm ]; then
    mkdir -p "$WORK/home"  # Debian's settings: the taskbar at the bottom, its tray at the right
    # IceWM is Debian 13's (3.7): Debian 12's (3.3) gives no new Wine window
    # the keyboard, under Wine 8 and Wine 10 alike.
    local from=()
    [ "$KOBEX_DESKTOP" = icewm ] && [ "$(machine_release)" != trixie ] && from=(in_userland trixie)
    HOME="$WORK/home" "${from[@]}" "$KOBEX_DESKTOP" >"$WORK/$KOBEX_DESKTOP.out" 2>&1 &
    BACKGROUND_PIDS+=($!)
    wait_quietly 30 wm_running ||
      fail "no window manager within 30s; $KOBEX_DESKTOP said: $(tr '\n' ' ' <"$WORK/$KOBEX_DESKTOP.out"); $(x_server_state)"
    wait_until 30 "its system tray" tray_running
  else
    trayer --edge top --align right --widthtype request --height 24 >"$WORK/trayer.out" 2>&1 &
    BACKGROUND_PIDS+=($!)
    wait_until 30 "system tray" tray_running
  fi
  log "desktop: $KOBEX_DESKTOP"
}

e2e_begin() {
  trap cleanup EXIT
  # A command that fails outside a test of its own ends the script: say which.
  set -o errtrace
  trap 'log "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO: $BASH_COMMAND"' ERR
  WORK=$(mktemp -d /tmp/kobex-e2e.XXXXXX)
  # What a test killed at its time-out left (its clean-up never ran): its
  # stand-in client, whose folder has gone (a test beside this one keeps its
  # own), and its Wine server. That server made every socket of the Wine
  # programs it served in its own network namespace, the old test's: a
  # program of this test served by it would reach that test's port 8090, not
  # this one's. The tests of one Wine never run two at a time.
  local pid dir
  for pid in $(pgrep -f -- '--dir /tmp/kobex-e2e\.[A-Za-z0-9]+/run' || true); do
    dir=$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | sed -n '/^--dir$/{n;p;q}') || true
    [ -n "$dir" ] && [ ! -d "$dir" ] && kill "$pid" 2>/dev/null || true
  done
  wineserver -k 2>/dev/null || true
  wait_until 10 "free port $CLIENT_PORT" port_free
  if [ "${1:-}" != "--no-display" ]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.out" &
    XVFB_PID=$!
    wait_until 10 "X server" test -s "$WORK/display"
    export DISPLAY=":$(cat "$WORK/display")"
    start_desktop
    start_prober
  fi
}

# make_run_dir [--no-script | --no-client]: a folder holding kobex.exe, and the
# client's launch script with the stand-in beside it, as installed on a user's
# machine; with --no-script no launch script, with --no-client one that starts
# nothing (the test's own servers stand in for the client).
make_run_dir() {
  RUN="$WORK/run"
  mkdir -p "$RUN"
  cp "$KOBEX_WIN_BIN_DIR/kobex.exe" "$RUN/"
  case ${1:-} in
    --no-script) ;;
    --no-client) printf '@echo off\r\n' >"$RUN/kobex.bat" ;;
    *) cp "$KOBEX_STANDIN_DIR/kobex.bat" "$KOBEX_STANDIN_DIR/standin" "$RUN/" ;;
  esac
}

# start_kobex: runs kobex.exe from the run folder; its exit code lands in $RUN/kobex.exit.
start_kobex() {
  (
    cd "$RUN"
    code=0
    wine kobex.exe >"$RUN/kobex.out" 2>&1 || code=$?
    echo "$code" >"$RUN/kobex.exit"
  ) &
  BACKGROUND_PIDS+=($!)
}

# launcher_up: kobex.exe started from the run folder, its icon in the tray
# (ICON_X, ICON_Y set) and, when the stand-in is there, the client listening.
launcher_up() {
  start_kobex
  expect_icons 1 30
  if [ -e "$RUN/standin" ]; then wait_until 30 "client listening" test -s "$RUN/client.pid"; fi
  locate_icon
}

# close_launcher: a close request to kobex's main window; it ends with exit code 0.
close_launcher() {
  winprobe close "System tray launcher" >/dev/null || fail "no main window to close"
  expect_exit 20 0
}

# client_gone: the stand-in client ended, its port free again.
client_gone() {
  kill "$(cat "$RUN/client.pid")" 2>/dev/null || true
  wait_until 10 "free port $CLIENT_PORT" port_free
}

# expect_exit SECONDS CODE: kobex.exe has ended with that exit code.
expect_exit() {
  wait_until "$1" "end of kobex.exe" test -s "$RUN/kobex.exit"
  local code
  code=$(cat "$RUN/kobex.exit")
  [ "$code" = "$2" ] || fail "kobex.exe ended with $code, expected $2"
  log "kobex.exe ended with exit code $code"
}

# winprobe ARGS...: one question to winprobe.exe (tests/win/winprobe.cpp). It
# goes to the prober the test keeps running when there is one (start_prober):
# where 32-bit programs run under emulation a Wine process takes a second or
# more to start, which a question a step would add to every wait.
PROBER_PID=""
winprobe() {
  if [ -z "$PROBER_PID" ] || ! kill -0 "$PROBER_PID" 2>/dev/null; then
    wine "$WINPROBE" "$@" </dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
  fi
  # Long enough for the question's own wait (--wait MS) and a slow start;
  # sending 10,000 callbacks (the soak) has no wait of its own.
  local seconds=${PROBER_SECONDS:-60} word previous=""
  [ "$1" = callback ] && seconds=300
  for word in "$@"; do
    [ "$previous" = --wait ] && seconds=$((seconds + word / 1000))
    previous=$word
  done
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

# tray_icons: how many icons Wine's tray shows now.
tray_icons() { winprobe icons | sed -n 's/^count //p'; }

expect_icons() {  # expect_icons N SECONDS
  winprobe icons --expect "$1" --wait "$(($2 * 1000))" >/dev/null || fail "tray shows $(tray_icons) icons, expected $1"
  log "tray shows $1 icon(s)"
}

# The message box kobex shows, by its title: "ID CLASS TEXT" per control.
message_box() { winprobe dialog kobex --wait "$(($1 * 1000))"; }

# Where kobex's icon stands, in X root coordinates: ICON_LEFT, ICON_TOP,
# ICON_W, ICON_H, its centre ICON_X, ICON_Y; and a point away from it:
# ELSEWHERE_X, ELSEWHERE_Y, in Wine's tray window beside the icon when there is
# one, on the desktop when it is docked. A docked icon's place is read from its
# X window, as the X server has it (Wine may know it only relative to the
# tray's own window); its size is Wine's (Wine 10's X window is the tray's
# height, two pixels more than the icon).
locate_icon() {
  local tx="" ty tw th xid
  # Right after the icon was counted, a second listing once had no line for
  # it (Wine 8 under IceWM; what it held was not kept): wait until it is
  # listed, alone, and say what was listed if it never is.
  winprobe icons --expect 1 --wait 10000 >"$WORK/icons.out" ||
    fail "kobex's icon is not listed alone: $(tr '\n' ' ' <"$WORK/icons.out")"
  read -r ICON_LEFT ICON_TOP ICON_W ICON_H xid < <(sed -n 2p "$WORK/icons.out")
  read -r tx ty tw th < <(sed -n 's/^tray //p' "$WORK/icons.out") || true
  if [ -z "$tx" ]; then
    [ "${xid:-0x0}" != 0x0 ] && xwininfo -id "$xid" >"$WORK/docked.out" 2>&1 ||
      fail "no X window for the docked icon: $(sed -n 2p "$WORK/icons.out")"
    ICON_LEFT=$(sed -n 's/^ *Absolute upper-left X: *//p' "$WORK/docked.out")
    ICON_TOP=$(sed -n 's/^ *Absolute upper-left Y: *//p' "$WORK/docked.out")
    [[ $ICON_LEFT =~ ^-?[0-9]+$ && $ICON_TOP =~ ^-?[0-9]+$ ]] ||
      fail "the docked icon's X window has no place: $(cat "$WORK/docked.out")"
  fi
  ICON_X=$((ICON_LEFT + ICON_W / 2))
  ICON_Y=$((ICON_TOP + ICON_H / 2))
  if [ -z "$tx" ]; then
    ELSEWHERE_X=600 ELSEWHERE_Y=500
    return
  fi
  ELSEWHERE_X=$((tx + tw - 4))
  ELSEWHERE_Y=$((ty + th - 4))
  [ "$ELSEWHERE_X" -gt $((ICON_LEFT + ICON_W)) ] || fail "no room beside the icon in the tray window"
}

# click_button TITLE ID: a mouse click on button ID of the dialog with that title.
click_button() {
  local bx="" by
  read -r bx by < <(winprobe point "$1" "$2" --wait 10000) || true
  [ -n "$bx" ] || fail "no button $2 in a dialog titled $1"
  xdotool mousemove "$bx" "$by" click 1
}

# One action, one check: each helper below acts once (a press, a key, a
# double-click) and then waits for its outcome; a miss fails the test with
# what was seen at that moment, never with a second try.

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

# open_menu: one right-button click on the icon; the tray menu opens.
open_menu() {
  person "${PRESS[@]}"
  winprobe menus --expect 1 --wait 5000 >/dev/null || fail_seen "the right press on the icon opened no menu"
}

# menu_key KEY MENUS: KEY pressed once in the open menu; then MENUS menus are open.
menu_key() {
  xdotool key "$1"
  winprobe menus --expect "$2" --wait 5000 >/dev/null || fail_seen "$1 in the menu left $(winprobe menus | head -1 | cut -d' ' -f2) menus open, not $2"
}

# menu_item TEXT: "X Y W H" of the item of an open menu whose text, less its
# access-key "&", is TEXT ("Open", "My State", "Away"...), as winprobe reads it.
menu_item() {
  winprobe menus | awk -v want="$1" '
    $1 == "item" { text = $7; for (i = 8; i <= NF; i++) text = text " " $i; gsub(/&/, "", text)
                   if (text == want) { print $2, $3, $4, $5; found = 1; exit } }
    END { exit !found }'
}
menu_item_open() { menu_item "$1" >/dev/null; }

# point_at_item TEXT: the pointer to the centre of that item, once it is listed.
point_at_item() {
  local x y w h
  wait_quietly 5 menu_item_open "$1" || fail_seen "no menu item $1 open"
  read -r x y w h < <(menu_item "$1")
  xdotool mousemove $((x + w / 2)) $((y + h / 2))
}

# click_item TEXT: a mouse click on that item.
click_item() {
  point_at_item "$1"
  xdotool click 1
}

# menus_beside_icon: every open menu stands whole on the screen, off the icon;
# above it when the icon is in the screen's lower half, to the left of the
# pointer when in its right half (the popup; a submenu goes where it fits).
menus_beside_icon() {
  local screen_w screen_h
  read -r screen_w screen_h < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
  winprobe menus | awk -v sw="$screen_w" -v sh="$screen_h" -v ix="$ICON_LEFT" -v iy="$ICON_TOP" -v iw="$ICON_W" \
    -v ih="$ICON_H" \
    -v px="$ICON_X" '
    $1 == "menu" { n++; x[n] = $2; y[n] = $3; r[n] = $2 + $4; b[n] = $3 + $5 }
    $1 == "item" && / &Open$/ { popup[n] = 1 }
    END {
      for (i = 1; i <= n; i++) {
        where = sprintf("%s at %d,%d-%d,%d, icon at %d,%d-%d,%d", popup[i] ? "popup" : "submenu", x[i], y[i], r[i],
                        b[i], ix, iy, ix + iw, iy + ih)
        if (x[i] < 0 || y[i] < 0 || r[i] > sw || b[i] > sh) { print "off the screen: " where; bad = 1 }
        if (x[i] < ix + iw && ix < r[i] && y[i] < iy + ih && iy < b[i]) { print "over the icon: " where; bad = 1 }
        if (popup[i] && 2 * iy > sh && b[i] > iy) { print "not above the icon: " where; bad = 1 }
        if (popup[i] && 2 * iy <= sh && y[i] < iy + ih) { print "not below the icon: " where; bad = 1 }
        if (popup[i] && 2 * ix > sw && r[i] > px) { print "not to the left of the pointer: " where; bad = 1 }
        if (popup[i] && 2 * ix <= sw && x[i] < px) { print "not to the right of the pointer: " where; bad = 1 }
        popups += popup[i]
        if (!bad) print "ok: " where
      }
      if (popups != 1) print "popups whose items could be read: " popups
      exit bad || n == 0 || popups != 1
    }'
}

# absent PROBE-ARGS...: winprobe looked and did not find it (its exit code 1);
# a winprobe that could not run at all is no proof of absence.
absent() {
  local code=0
  winprobe "$@" >/dev/null || code=$?
  [ "$code" = 1 ]
}
dialog_gone() { absent dialog "$1"; }

# close_about KEY: keyboard focus to the About box (as a window manager would
# give it), KEY pressed once; the box closes. The X focus then goes back to the
# window under the pointer, as it was: with no window manager it would
# otherwise fall to the root and keys would be lost.
close_about() {
  focus_window About
  xdotool key "$1"
  wait_quietly 5 dialog_gone About || fail_seen "$1 did not close the About box"
  launcher_answers
  pointer_focus
}

# launcher_answers: kobex's window answers a message again within 5 s. Under
# Wine with no window manager, hiding a window with a caption (the About box)
# holds the hiding thread about 2 s, waiting for a window manager to withdraw
# it; a press meanwhile waits its turn.
launcher_answers() {
  winprobe responsive "System tray launcher" --wait 5000 >/dev/null || fail_seen "the launcher does not answer"
}

pointer_focus() { xdotool windowfocus 1 2>/dev/null || true; }  # 1: PointerRoot

menu_closed() { winprobe menus --expect 0 --wait "$(($1 * 1000))" >/dev/null || fail_seen "the menu stays open"; }

requests() { cat "$RUN/client-requests.log" 2>/dev/null || true; }
request_count() { requests | wc -l; }
requests_at_least() { [ "$(request_count)" -ge "$1" ]; }

# wait_requests N: the client has received N requests in all.
wait_requests() {
  wait_quietly 15 requests_at_least "$1" || fail_seen "no request number $1 at the client within 15s"
  [ "$(request_count)" = "$1" ] || fail "expected $1 requests, the client has $(request_count): $(requests | tr '\n' ' ')"
}

# double_click N [X Y]: one double-click on the icon (at X,Y, by default the
# one locate_icon found); then the client has N requests.
double_click() {
  xdotool mousemove "${2:-$ICON_X}" "${3:-$ICON_Y}" "${DOUBLE[@]}"
  wait_requests "$1"
}

# person ACTION...: what a person does at the icon, in one xdotool command:
# the pointer to the icon, then the actions, with the person's gaps written
# into it as "sleep" so that the machine's speed never sets them. PRESS is a
# right-button press and release; DOUBLE a left double-click.
PRESS=(mousedown 3 mouseup 3)
DOUBLE=(click --repeat 2 --delay 80 1)
person() { xdotool mousemove "$ICON_X" "$ICON_Y" "$@"; }

# watch_menus N [TITLE], then menus_opened: from now on winprobe counts the
# popup menus (and windows titled TITLE) that open, and menus_opened fails
# unless N have opened (within 15 s): the proof that a press whose menu has
# closed again had opened one. (Its output goes straight to the file: through
# a pipe "ready" would arrive at the end. Wine's server ends it with the test
# if it is still looking.)
watch_menus() {
  wine "$WINPROBE" menus-opened ${2:+"$2"} --expect "$1" --wait 15000 </dev/null >"$WORK/opened.out" 2>&1 &
  MENU_WATCH=$!
  wait_until 10 "the menu watcher" grep -q '^ready' "$WORK/opened.out"
}
menus_opened() {
  wait "$MENU_WATCH" || fail_seen "$(tail -1 "$WORK/opened.out" | tr -d '\r'): not every action opened its menu or box"
}

# expect_requests PATH...: the client has received exactly these, in order.
expect_requests() {
  local expected=""
  for path in "$@"; do expected+="GET $path HTTP/1.1"$'\n'; done
  [ "$(requests)" = "${expected%$'\n'}" ] || fail "the client received: $(requests | tr '\n' ' ')"
}

# icon_matches_frame X Y W H SIZE [RESIZED]: the tray's icon window at X,Y (W x H)
# shows kobex.ico's SIZE-pixel frame, centred, pixel for pixel: the frame's
# own pixels exactly, its transparent ones as the window's background (or
# black where Wine's tray leaves the background under a large icon's lowest
# rows unpainted).
# With RESIZED, the 32-pixel frame shrunk to SIZE is the reference instead.
# Prints what it found; exits 2 when a pixel differs, fewer than half are as
# drawn, or unpainted background stands anywhere but in a block of rows at the
# bottom; any other failure (no picture, no frame) is another code.
icon_matches_frame() {
  local x=$1 y=$2 w=$3 h=$4 size=$5 ico="$kobex_root/src/resources/kobex.ico"
  # ico_frame SIZE: the image of that size in kobex.ico, as ImageMagick names it.
  ico_frame() {
    local index
    index=$(identify -format '%w\n' "$ico" | grep -nx "$1" | cut -d: -f1) || fail "kobex.ico has no $1-pixel frame"
    echo "$ico[$((index - 1))]"
  }
  import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "$WORK/shown.ppm"
  if [ -n "${6:-}" ]; then
    convert "$(ico_frame 32)" -resize "${size}x${size}" -depth 8 "$WORK/frame.pam"
  else
    convert "$(ico_frame "$size")" -depth 8 "$WORK/frame.pam"
  fi
  python3 - "$WORK/shown.ppm" "$WORK/frame.pam" <<'PY'
import sys

def read(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    if data.startswith(b"P7"):  # PAM: a header of lines up to ENDHDR
        end = data.index(b"ENDHDR\n") + 7
        head = dict(l.split(b" ", 1) for l in data[3:end - 7].split(b"\n") if b" " in l)
        w, h, depth = int(head[b"WIDTH"]), int(head[b"HEIGHT"]), int(head[b"DEPTH"])
        if head[b"MAXVAL"] != b"255":
            sys.exit(f"{path}: not 8 bits a channel")
        return w, h, depth, data[end:]
    while len(fields) < 4:  # P6: magic, width, height, maximum, then RGB
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[3] != b"255":
        sys.exit(f"{path}: not 8 bits a channel")
    return int(fields[1]), int(fields[2]), 3, data[pos + 1:]

sw, sh, _, shown = read(sys.argv[1])
fw, fh, depth, frame = read(sys.argv[2])
ox, oy = (sw - fw) // 2, (sh - fh) // 2
background = tuple(shown[0:3])
seen = unpainted = differ = 0
unpainted_rows = set()
transparent = set()
for y in range(fh):
    for x in range(fw):
        f = frame[(y * fw + x) * depth:(y * fw + x + 1) * depth]
        i = ((oy + y) * sw + ox + x) * 3
        got = tuple(shown[i:i + 3])
        if depth == 4 and f[3] == 0:  # transparent: the tray's background shows
            transparent.add((x, y))
            if got == background:
                seen += 1
            elif got == (0, 0, 0):
                unpainted += 1
                unpainted_rows.add(y)
            else:
                differ += 1
        elif got == tuple(f[:3]):
            seen += 1
        else:
            differ += 1
# Where the tray leaves its background unpainted it is a block of rows at the
# bottom, black behind every transparent pixel of those rows.
cut = min(unpainted_rows, default=fh)
in_block = all(tuple(shown[((oy + y) * sw + ox + x) * 3:((oy + y) * sw + ox + x) * 3 + 3]) == (0, 0, 0)
               for (x, y) in transparent if y >= cut)
print(f"{fw}x{fh} frame at +{ox}+{oy} of the {sw}x{sh} icon window: {seen} pixels as drawn, {differ} differ, "
      f"{unpainted} transparent over unpainted background")
sys.exit(0 if differ == 0 and seen * 2 >= fw * fh and in_block else 2)
PY
}

# Keyboard focus to a top-level window of that exact title, as a window
# manager would give it.
focus_window() {
  local id
  id=$(xdotool search --name "^$1\$" | head -1)
  [ -n "$id" ] || fail "no X window named $1"
  xdotool windowfocus --sync "$id"
}
