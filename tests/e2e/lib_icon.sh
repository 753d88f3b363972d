# The icon and its menus for the end-to-end tests: where the icon stands and
# what it shows, where its menus open, and what a person does there.

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

# icon_matches_frame X Y W H SIZE [RESIZED]: the tray's icon window at X,Y (W x H)
# shows kobex.ico's SIZE-pixel frame (with RESIZED, its 32-pixel frame shrunk
# to SIZE instead), as icon_matches_frame.py judges: its exit code, 2 when the
# pixels say no.
icon_matches_frame() {
  local x=$1 y=$2 w=$3 h=$4 size=$5 ico="$kobex_root/src/resources/kobex.ico"
  # ico_frame SIZE: the image of that size in kobex.ico, as ImageMagick names it.
  ico_frame() {
    local index
    index=$(identify -format '%w\n' "$ico" | grep -nx "$1" | cut -d: -f1) || fail "kobex.ico has no $1-pixel frame"
    echo "$ico[$((index - 1))]"
  }
  import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "rgb:$WORK/shown.rgb"
  if [ -n "${6:-}" ]; then
    convert "$(ico_frame 32)" -resize "${size}x${size}" -depth 8 "rgba:$WORK/frame.rgba"
  else
    convert "$(ico_frame "$size")" -depth 8 "rgba:$WORK/frame.rgba"
  fi
  python3 "$kobex_root/tests/e2e/icon_matches_frame.py" "$WORK/shown.rgb" "$w" "$h" "$WORK/frame.rgba" "$size"
}

# One action, one check: each helper below acts once (a press, a key, a
# double-click) and then waits for its outcome; a miss fails the test with
# what was seen at that moment, never with a second try.

# person ACTION...: what a person does at the icon, in one xdotool command:
# the pointer to the icon, then the actions, with the person's gaps written
# into it as "sleep" so that the machine's speed never sets them. PRESS is a
# right-button press and release; DOUBLE a left double-click.
PRESS=(mousedown 3 mouseup 3)
DOUBLE=(click --repeat 2 --delay 80 1)
person() { xdotool mousemove "$ICON_X" "$ICON_Y" "$@"; }

# double_click N: one double-click on the icon; then the client has N requests.
double_click() {
  person "${DOUBLE[@]}"
  wait_requests "$1"
}
double_click_icon() { person "${DOUBLE[@]}"; }

# sends "PATH..." ACTION...: ACTION, done once, brings the client exactly these
# requests more, in this order ("": none).
sends() {
  local before expected=() got
  before=$(request_count)
  "${@:2}"
  read -ra expected <<<"$1"
  wait_requests $((before + ${#expected[@]}))
  got=$(requests | tail -n +$((before + 1)) | sed 's/^GET \(.*\) HTTP\/1.1$/\1/' | tr '\n' ' ')
  got=${got% }
  [ "$got" = "$1" ] || fail "${*:2} sent ${got:-nothing}, not ${1:-nothing}"
}

# message_then_end SECONDS CODE TEXT [click]: within SECONDS kobex's message box,
# whose one label reads TEXT (a glob) and whose one button is OK; no icon in the
# tray. OK pressed (with "click", by a mouse click) ends kobex.exe with CODE.
message_then_end() {
  local label
  message_box "$1" >"$WORK/box.out" || fail_seen "no message box within $1 s"
  # The message is the box's one label (no id: 65535, or -1), its whole text.
  label=$(sed -n 's/^\(65535\|-1\) Static [0-9]* [0-9]* [0-9]* [0-9]* //p' "$WORK/box.out")
  [[ $label == $3 ]] || fail "the message says \"$label\", not $3"
  [ "$(grep ' Button ' "$WORK/box.out" | cut -d' ' -f1,2,7-)" = "1 Button OK" ] ||
    fail "the box's buttons are not OK alone: $(grep ' Button ' "$WORK/box.out" | tr '\n' ' ')"
  expect_icons 0 5
  if [ "${4:-}" = click ]; then click_button "$KOBEX_MESSAGE_TITLE" 1; else winprobe press "$KOBEX_MESSAGE_TITLE" 1 >/dev/null; fi
  expect_exit 20 "$2"
}

# click_button TITLE ID: a mouse click on button ID of the dialog with that title.
click_button() {
  local bx="" by
  read -r bx by < <(winprobe point "$1" "$2" --wait 10000) || true
  [ -n "$bx" ] || fail "no button $2 in a dialog titled $1"
  xdotool mousemove "$bx" "$by" click 1
}

# open_menu: one right-button click on the icon; the tray menu opens.
open_menu() {
  person "${PRESS[@]}"
  menus_open 1 "the right press on the icon"
}

# menu_key KEY MENUS: KEY pressed once in the open menu; then MENUS menus are open.
menu_key() {
  xdotool key "$1"
  menus_open "$2" "$1 in the menu"
}

# choose N ACTION...: the menu opened, ACTION (menu_key, click_item) done in
# it once; then the client has N requests.
choose() {
  open_menu
  "${@:2}"
  wait_requests "$1"
}

# from_menu ACTION...: the menu opened by a right press on the icon, then ACTION in it.
from_menu() {
  open_menu
  "$@"
}
# key_closes_menu KEY: KEY pressed once in the open menu; after it no menu is open.
key_closes_menu() {
  xdotool key "$1"
  menus_open 0 "$1 in the menu"
}
# key_opens_submenu KEY: KEY pressed once in the open menu opens its submenu beside it.
key_opens_submenu() {
  xdotool key "$1"
  menus_open 2 "$1 in the menu"
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
    -v ih="$ICON_H" -v px="$ICON_X" '
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

# close_about KEY: keyboard focus to the About box (as a window manager would
# give it), KEY pressed once; the box closes. The X focus then goes back to the
# window under the pointer, as it was: with no window manager it would
# otherwise fall to the root and keys would be lost.
close_about() {
  focus_window "$KOBEX_ABOUT_TITLE"
  xdotool key "$1"
  wait_quietly 5 dialog_gone "$KOBEX_ABOUT_TITLE" || fail_seen "$1 did not close the About box"
  launcher_answers
  pointer_focus
}
