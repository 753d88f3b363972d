#!/usr/bin/env bash
# The icon and its menu through Wine's tray, each item's one request, About under a dark colour
# scheme; at a person's speed every press counts.
source "$(dirname "$0")/lib.sh"
e2e_begin
# White words on black windows, read by Wine when it starts.
wine_setting 'HKCU\Control Panel\Colors' Window REG_SZ '0 0 0'
wine_setting 'HKCU\Control Panel\Colors' WindowText REG_SZ '255 255 255'
restart_wine
make_run_dir
launcher_up

log "single clicks, releases and moves over the icon send nothing"
xdotool mousemove "$ICON_X" "$ICON_Y" click 1
xdotool mousemove $((ICON_X + 3)) "$ICON_Y" mousemove "$ICON_X" $((ICON_Y - 3))
xdotool mousemove 600 500 mousedown 1 mousemove "$ICON_X" "$ICON_Y" mouseup 1
xdotool mousemove 600 500 mousedown 3 mousemove "$ICON_X" "$ICON_Y" mouseup 3
absent menus --expect 1 --wait 3000 || fail "a click, a release or a move opened the menu"
log "a double-click sends one /show?"
xdotool mousemove 600 500 sleep "$APART"  # the click above stays a click of its own
sends /show? double_click_icon

log "the menu opens on the press where the program's rule puts it, and Escape or a click elsewhere closes it"
read -r _ at_x at_y _ < <(winprobe placement "$ICON_X" "$ICON_Y")
xdotool mousemove "$ICON_X" "$ICON_Y" mousedown 3
winprobe menus --expect 1 --wait 5000 | tee "$WORK/menu.out" >/dev/null || fail "no menu on the press"
read -r _ mx my _ _ < <(sed -n 2p "$WORK/menu.out")
# Wine's tray is at the top left: the rule's corner is the menu's top left.
[ "$mx,$my" = "$at_x,$at_y" ] || fail "the menu stands at $mx,$my, not at $at_x,$at_y"
xdotool mouseup 3
key_closes_menu Escape
open_menu
xdotool mousemove $(beside_icon) click 1
menus_open 0 "a click beside the icon"
open_menu
xdotool mousemove 600 500 click 1
menus_open 0 "a click on the desktop"

log "the access keys O and C; then Open and Close with the mouse"
sends /show? from_menu key_closes_menu o
sends /hide? from_menu key_closes_menu c
sends /show? from_menu click_item Open
sends /hide? from_menu click_item Close

log "each presence state from the My State submenu (opened with S), Away twice"
for state in Online:online Busy:busy "Be right back:brb" Away:away "On the phone:phone" "Out to lunch:lunch" \
  "Appear Offline:offline" Away:away; do
  from_menu key_opens_submenu s
  sends "/setstatus?${state#*:}" click_item "${state%:*}"
done

log "About: the box as laid out, OK focused, closed by Enter, Space, Escape and its close box"
expected_box=$(printf 'client %s\nfocus 1\ncount 1\n%s' "$KOBEX_ABOUT_CLIENT" "$KOBEX_ABOUT_CONTROLS")
about_closed_four_ways() {
  for close in Return space Escape closebox; do
    if [ "$close" = Return ]; then from_menu key_closes_menu a; else from_menu click_item About; fi
    winprobe dialog "$KOBEX_ABOUT_TITLE" --wait 10000 >"$WORK/about.out" || fail "no About box"
    diff <(echo "$expected_box") "$WORK/about.out" || fail "the About box is not as laid out"
    if [ "$close" = Return ]; then
      read -r x y < <(winprobe point "$KOBEX_ABOUT_TITLE" 1002)  # the first line of words
      words_show() { [ "$(import -window root -crop "200x12+$((x - 100))+$((y - 6))" -format %k info:)" -ge 2 ]; }
      wait_quietly 5 words_show || fail "under a dark colour scheme the About box's words do not show"
    fi
    if [ "$close" = closebox ]; then
      read -r OK_X OK_Y < <(winprobe point "$KOBEX_ABOUT_TITLE" 1)  # where a person clicks OK, below
      winprobe close "$KOBEX_ABOUT_TITLE" >/dev/null
      wait_until 10 "About box closed by its close box" dialog_gone "$KOBEX_ABOUT_TITLE"
      pointer_focus
    else
      close_about "$close"
    fi
  done
  expect_icons 1 1
}
sends "" about_closed_four_ways

log "ten times: the first press opens the menu right after About has closed, and right after a menu was dismissed"
menu_then_about_ten_times() {
  for round in 1 2 3 4 5 6 7 8 9 10; do
    from_menu key_closes_menu Escape
    from_menu click_item About
    about_shown "in round $round"
    close_about Return
  done
}
sends "" menu_then_about_ten_times

log "at a person's speed, a sequence an xdotool command (double-click time ${DOUBLE_CLICK_MS} ms): every press counts"
read -r _ _ _ _ _ _ _ _ _ double_click_ms < <(winprobe metrics)
[ "$double_click_ms" = "$DOUBLE_CLICK_MS" ] || fail "the system's double-click time is $double_click_ms ms"
last_menu_open() { menus_open 1 "$1"; key_closes_menu Escape; }  # the sequence's last press
# A right press soon after the one before reaches the launcher as a right double-click.
for round in 1 2 3; do
  watch_menus 2
  person "${PRESS[@]}" sleep 0.3 key Escape sleep 0.2 "${PRESS[@]}"
  menus_opened
  last_menu_open "round $round, the press after Escape"
done
log "a choice from the menu by its key, then at once a double-click: both requests, in order"
sends "/hide? /show?" person "${PRESS[@]}" sleep 0.3 key c sleep 0.3 "${DOUBLE[@]}"
log "About by its key, a click on OK, then at once a right press: the box closes and the menu opens"
watch_menus 3 "$KOBEX_ABOUT_TITLE"  # the menu, the box, the menu
person "${PRESS[@]}" sleep 0.25 key a sleep 0.35 mousemove "$OK_X" "$OK_Y" click 1 sleep 0.15 \
  mousemove "$ICON_X" "$ICON_Y" "${PRESS[@]}"
menus_opened
wait_quietly 5 dialog_gone "$KOBEX_ABOUT_TITLE" || fail_seen "the click on OK did not close the About box"
last_menu_open "the press right after About"
pointer_focus
log "a double-click, then at once a right press: /show?, and the menu"
watch_menus 1
sends /show? person "${DOUBLE[@]}" sleep 0.2 "${PRESS[@]}"
menus_opened
last_menu_open "the press right after the double-click"

log "About chosen again while open brings that box forward; Exit while it is open ends everything"
from_menu click_item About
about_shown
from_menu click_item About
menus_open 0 "About chosen again"
winprobe dialog "$KOBEX_ABOUT_TITLE" >"$WORK/about.out" || fail_seen "no About box shown after About was chosen again"
grep -qx 'count 1' "$WORK/about.out" || fail_seen "About boxes: $(tr '\n' ' ' <"$WORK/about.out")"
sends /exit? from_menu key_closes_menu x
expect_gone 20
log "PASS"
