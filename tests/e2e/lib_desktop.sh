# The desktop the end-to-end tests run on: a private X server, a window
# manager and a system tray, and the keyboard focus as a window manager gives it.

XVFB_PID=""
# KOBEX_DESKTOP: "bare" (an X server alone, Wine's stand-alone tray), "openbox"
# (a window manager), "trayer" (an XEmbed system tray, Wine's icons docked in
# it), "jwm" or "icewm" (a taskbar at the bottom with a tray, as on Windows).
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
  echo "Xvfb on ${DISPLAY:-(no display yet)} $state, said: $(tail -n 5 "$WORK/xvfb.out" 2>/dev/null | tr '\n' ' ')"
}

# -noreset: a server that starts afresh each time its last client leaves
# missed connections while the other Wine's lane, on the same display number,
# came and went (docs/testing.md).
start_x_server() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.out" &
  XVFB_PID=$!
  wait_until 10 "X server" test -s "$WORK/display"
  export DISPLAY=":$(cat "$WORK/display")"
}

start_desktop() {
  case $KOBEX_DESKTOP in
    bare) return ;;
    openbox)
      background openbox openbox --sm-disable
      wait_until 10 "window manager" wm_running
      ;;
    jwm | icewm)
      mkdir -p "$WORK/home"  # Debian's settings: the taskbar at the bottom, its tray at the right
      # IceWM is Debian 13's (3.7): Debian 12's (3.3) gives no new Wine window
      # the keyboard, under Wine 8 and Wine 10 alike.
      local from=()
      [ "$KOBEX_DESKTOP" = icewm ] && [ "$(machine_release)" != trixie ] && from=(in_userland trixie)
      HOME="$WORK/home" background "$KOBEX_DESKTOP" "${from[@]}" "$KOBEX_DESKTOP"
      wait_quietly 30 wm_running ||
        fail "no window manager within 30s; $KOBEX_DESKTOP said: $(tr '\n' ' ' <"$WORK/$KOBEX_DESKTOP.out")"
      wait_until 30 "its system tray" tray_running
      ;;
    trayer)
      background trayer trayer --edge top --align right --widthtype request --height 24
      wait_until 30 "system tray" tray_running
      ;;
    *) fail "unknown desktop '$KOBEX_DESKTOP'" ;;
  esac
  log "desktop: $KOBEX_DESKTOP"
}

# focus_window TITLE: keyboard focus to a top-level window of that exact
# title, as a window manager would give it.
focus_window() {
  local id
  id=$(xdotool search --name "^$1\$" | head -1)
  [ -n "$id" ] || fail "no X window named $1"
  xdotool windowfocus --sync "$id"
}

pointer_focus() { xdotool windowfocus 1 2>/dev/null || true; }  # 1: PointerRoot
