# The desktop the end-to-end tests run on: a private X server, a window
# manager and a system tray, and the keyboard focus as a window manager gives it.

XVFB_PID=""
# KOBEX_DESKTOP picks the desktop: "bare" (the default: an X server alone,
# Wine's own stand-alone tray window), "openbox" (a window manager, Wine's
# tray window managed by it), "trayer" (a real XEmbed system tray, in which
# Wine docks its icons), "jwm" or "icewm" (window managers with a taskbar at
# the bottom of the screen and a system tray of their own, as on Windows).
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

# -noreset: the server does not start afresh each time its last client
# leaves. The other Wine's tests run beside these, and both lanes' servers
# take the same display number, each in a network of its own (sharing the
# number's files in /tmp). In a scratch pair of such lanes (one server coming
# and going, the other's client connecting and leaving 40 times, so that its
# server reset each time), one connection in each of 5 runs got no answer
# within 3 s; none did in 3 runs with -noreset. Which shared thing links the
# two servers is not known. Whether jwm's "could not open display" and Wine
# 10's missing tray at a test's start were such misses is a guess.
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
