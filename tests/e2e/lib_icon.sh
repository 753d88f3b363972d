# The icon and its menus: where the icon stands and what it shows, where its menus open, what a person does there.

# locate_icon: "LEFT TOP W H" of kobex's icon on the X root; a docked icon's place as its X
# window has it (Wine may know it only within the tray), its size Wine's (Wine 10's is taller).
locate_icon() {
  local left top w h xid
  # Right after the icon was counted, a listing once lacked it (Wine 8 under IceWM).
  winprobe icons --expect 1 --wait 10000 >"$WORK/icons.out" ||
    fail "kobex's icon is not listed alone: $(tr '\n' ' ' <"$WORK/icons.out")"
  read -r left top w h xid < <(sed -n 2p "$WORK/icons.out")
  if ! grep -q '^tray ' "$WORK/icons.out"; then
    [ "${xid:-0x0}" != 0x0 ] && xwininfo -id "$xid" >"$WORK/docked.out" 2>&1 ||
      fail "no X window for the docked icon: $(sed -n 2p "$WORK/icons.out")"
    left=$(sed -n 's/^ *Absolute upper-left X: *//p' "$WORK/docked.out")
    top=$(sed -n 's/^ *Absolute upper-left Y: *//p' "$WORK/docked.out")
    [[ $left =~ ^-?[0-9]+$ && $top =~ ^-?[0-9]+$ ]] ||
      fail "the docked icon's X window has no place: $(cat "$WORK/docked.out")"
  fi
  echo "$left $top $w $h"
}

# at_icon: ICON_X, ICON_Y, the centre of kobex's icon, where a person's steps aim.
at_icon() {
  local left top w h
  read -r left top w h <<<"$(locate_icon)"
  ICON_X=$((left + w / 2)) ICON_Y=$((top + h / 2))
}

# beside_icon: "X Y" in Wine's tray window beside the icon; on the desktop when the icon is docked.
beside_icon() {
  local left top w h tx="" ty tw th
  read -r left top w h <<<"$(locate_icon)"
  read -r tx ty tw th < <(sed -n 's/^tray //p' "$WORK/icons.out") || true
  [ -n "$tx" ] || { echo 600 500; return; }
  [ $((tx + tw - 4)) -gt $((left + w)) ] || fail "no room beside the icon in the tray window"
  echo "$((tx + tw - 4)) $((ty + th - 4))"
}

# icon_matches_frame X Y W H SIZE [RESIZED]: the tray's icon window at X,Y (W x H) shows kobex.ico's
# SIZE-pixel frame (RESIZED: its 32-pixel frame shrunk); icon_matches_frame.py's code, 2 for no.
icon_matches_frame() {
  local ico="$kobex_root/src/resources/kobex.ico" index want=${6:+32}
  want=${want:-$5}
  index=$(identify -format '%w\n' "$ico" | grep -nx "$want" | cut -d: -f1) || fail "kobex.ico has no $want-pixel frame"
  import -display "$DISPLAY" -window root -crop "$3x$4+$1+$2" +repage -depth 8 "rgb:$WORK/shown.rgb"
  convert "${ico}[$((index - 1))]" ${6:+-resize "$5x$5"} -depth 8 "rgba:$WORK/frame.rgba"
  python3 "$kobex_root/tests/e2e/icon_matches_frame.py" "$WORK/shown.rgb" "$3" "$4" "$WORK/frame.rgba" "$5"
}

# Each helper below acts once and then waits for its outcome; a miss fails with
# what was seen at that moment, never with a second try.
# person ACTION...: the pointer to the icon, then the actions in one xdotool command, the person's
# gaps written in as "sleep" so that the machine's speed never sets them.
PRESS=(mousedown 3 mouseup 3)
DOUBLE=(click --repeat 2 --delay 80 1)
person() { xdotool mousemove "$ICON_X" "$ICON_Y" "$@"; }
double_click_icon() { person "${DOUBLE[@]}"; }

# sends "PATH..." ACTION...: ACTION, done once, brings the client exactly these requests more, in order.
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

# message_then_end SECONDS CODE TEXT [click]: kobex's message box within SECONDS, its one label TEXT (a
# glob), its one button OK; no icon. OK pressed (or clicked) ends kobex.exe with CODE.
message_then_end() {
  local label
  message_box "$1" >"$WORK/box.out" || fail_seen "no message box within $1 s"
  # The label has no id: 65535, or -1.
  label=$(sed -n 's/^\(65535\|-1\) Static [0-9]* [0-9]* [0-9]* [0-9]* //p' "$WORK/box.out")
  [[ $label == $3 ]] || fail "the message says \"$label\", not $3"
  [ "$(grep ' Button ' "$WORK/box.out" | cut -d' ' -f1,2,7-)" = "1 Button OK" ] ||
    fail "the box's buttons are not OK alone: $(grep ' Button ' "$WORK/box.out" | tr '\n' ' ')"
  expect_icons 0 5
  if [ "${4:-}" = click ]; then click_button "$KOBEX_MESSAGE_TITLE" 1; else winprobe press "$KOBEX_MESSAGE_TITLE" 1 >/dev/null; fi
  expect_exit 20 "$2"
}

click_button() {  # click_button TITLE ID
  local bx="" by
  read -r bx by < <(winprobe point "$1" "$2" --wait 10000) || true
  [ -n "$bx" ] || fail "no button $2 in a dialog titled $1"
  xdotool mousemove "$bx" "$by" click 1
}

open_menu() { person "${PRESS[@]}"; menus_open 1 "the right press on the icon"; }
from_menu() { open_menu; "$@"; }  # from_menu ACTION...: ACTION in the menu a right press opened
key_closes_menu() { xdotool key "$1"; menus_open 0 "$1 in the menu"; }
key_opens_submenu() { xdotool key "$1"; menus_open 2 "$1 in the menu"; }

# menu_item TEXT: "X Y W H" of the open menu's item whose text, less its "&", is TEXT.
menu_item() {
  winprobe menus | awk -v want="$1" '
    $1 == "item" { text = $7; for (i = 8; i <= NF; i++) text = text " " $i; gsub(/&/, "", text)
                   if (text == want) { print $2, $3, $4, $5; found = 1; exit } }
    END { exit !found }'
}
menu_item_open() { menu_item "$1" >/dev/null; }
point_at_item() {
  local x y w h
  wait_quietly 5 menu_item_open "$1" || fail_seen "no menu item $1 open"
  read -r x y w h < <(menu_item "$1")
  xdotool mousemove $((x + w / 2)) $((y + h / 2))
}
click_item() { point_at_item "$1"; xdotool click 1; }

# menus_beside_icon: every open menu stands whole on the screen, off the icon, and the popup on the
# sides of its corner that the program's rule gives for a press at the icon; a submenu where it fits.
menus_beside_icon() {
  local screen_w screen_h icon rule
  read -r screen_w screen_h < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
  icon=$(locate_icon)
  rule=$(winprobe placement "$ICON_X" "$ICON_Y")
  winprobe menus | awk -v sw="$screen_w" -v sh="$screen_h" -v icon="$icon" -v rule="$rule" '
    BEGIN { split(icon, i, " "); split(rule, p, " ") }  # i: left top w h; p: "at" x y left|right up|down
    $1 == "menu" { n++; x[n] = $2; y[n] = $3; r[n] = $2 + $4; b[n] = $3 + $5 }
    $1 == "item" && / &Open$/ { popup[n] = 1 }
    END {
      for (k = 1; k <= n; k++) {
        where = sprintf("%s at %d,%d-%d,%d, icon at %d,%d %dx%d, the rule: %s", popup[k] ? "popup" : "submenu",
                        x[k], y[k], r[k], b[k], i[1], i[2], i[3], i[4], rule)
        if (x[k] < 0 || y[k] < 0 || r[k] > sw || b[k] > sh) { print "off the screen: " where; bad = 1 }
        if (x[k] < i[1] + i[3] && i[1] < r[k] && y[k] < i[2] + i[4] && i[2] < b[k]) { print "over the icon: " where; bad = 1 }
        if (popup[k] && ((p[4] == "left" ? r[k] > p[2] : x[k] < p[2]) || (p[5] == "up" ? b[k] > p[3] : y[k] < p[3])))
          { print "across the corner: " where; bad = 1 }
        popups += popup[k]
        if (!bad) print "ok: " where
      }
      if (popups != 1) print "popups whose items could be read: " popups
      exit bad || n == 0 || popups != 1
    }'
}

# close_about KEY: the keyboard to the About box (as a window manager gives it), KEY once; the box closes.
# The X focus then goes back to the pointer: with no window manager keys would be lost at the root.
close_about() {
  local id
  id=$(xdotool search --name "^$KOBEX_ABOUT_TITLE\$" | head -1)
  [ -n "$id" ] || fail "no X window named $KOBEX_ABOUT_TITLE"
  xdotool windowfocus --sync "$id"
  xdotool key "$1"
  wait_quietly 5 dialog_gone "$KOBEX_ABOUT_TITLE" || fail_seen "$1 did not close the About box"
  launcher_answers
  pointer_focus
}
