# The desktop: a private X server, a window manager and a system tray, the keyboard focus as one gives it.
XVFB_PID=""
# KOBEX_DESKTOP: "bare" (an X server alone, Wine's own tray), "openbox" (a window manager), "trayer"
# (an XEmbed tray, Wine's icons docked in it), "jwm" or "icewm" (a taskbar with a tray at the bottom).
KOBEX_DESKTOP="${KOBEX_DESKTOP:-bare}"

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
tray_running() {  # someone owns the X selection _NET_SYSTEM_TRAY_S0
  python3 -c 'import ctypes as c, sys
x = c.CDLL("libX11.so.6")
x.XOpenDisplay.restype, x.XInternAtom.restype, x.XGetSelectionOwner.restype = c.c_void_p, c.c_ulong, c.c_ulong
x.XInternAtom.argtypes, x.XGetSelectionOwner.argtypes = [c.c_void_p, c.c_char_p, c.c_int], [c.c_void_p, c.c_ulong]
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_SYSTEM_TRAY_S0", 0)) else 1)'
}

# -noreset: a server that starts afresh when its last client leaves missed connections
# while the other Wine's lane, on the same display number, came and went.
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
      # Debian 12's IceWM (3.3) gives no new Wine window the keyboard: Debian 13's (3.7) runs.
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

pointer_focus() { xdotool windowfocus 1 2>/dev/null || true; }  # 1: PointerRoot
