#!/usr/bin/env bash
# The launcher on the desktop KOBEX_DESKTOP names: its menus beside the icon, whole on the screen;
# where the window manager gives windows the keyboard (jwm, IceWM), Enter alone closes About.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
launcher_up
client_started
log "icon at $ICON_X,$ICON_Y"

log "the menu opens on the first press and Escape closes it; a double-click, then Open and Away"
log "with the mouse, then Close and About by their keys"
open_menu
menus_beside_icon || fail_seen "the menu is not beside the icon"
key_closes_menu Escape
sends /show? double_click_icon
sends /show? from_menu click_item Open
from_menu click_item "My State"
menus_open 2 "a click on My State"
menus_beside_icon || fail_seen "the submenu is not beside the icon"
sends /setstatus?away click_item Away
sends /hide? from_menu key_closes_menu c
from_menu key_closes_menu a
about_shown
about_has_keyboard() { [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "$KOBEX_ABOUT_TITLE" ]; }
case $KOBEX_DESKTOP in
  jwm | icewm)
    wait_quietly 10 about_has_keyboard || fail_seen "the window manager did not give the About box the keyboard"
    xdotool key Return; how=Enter ;;
  *) click_button "$KOBEX_ABOUT_TITLE" 1; how="a click on OK" ;;
esac
wait_quietly 10 dialog_gone "$KOBEX_ABOUT_TITLE" || fail_seen "$how did not close the About box"
log "About closed by $how"

log "Exit from the menu ends client and launcher"
sends /exit? from_menu click_item Exit
expect_gone 20

log "a close request removes the icon and ends the launcher"
make_run_dir
launcher_up
close_launcher

log "nothing listens on $KOBEX_CLIENT_PORT: the message names the URL; OK by mouse ends the launcher"
make_run_dir --no-client
launcher_up
double_click_icon
message_then_end 15 2 "*$CLIENT_URL/show?*$KOBEX_REFUSED_REASON" click
log "PASS"
