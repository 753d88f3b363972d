#!/usr/bin/env bash
# The launcher as a user meets it on the desktop KOBEX_DESKTOP names (see
# lib_desktop.sh): start-up, a double-click, the menu by mouse (Open, a presence state,
# About closed with OK by mouse, Exit) and by its access keys, a close request,
# and the message when nothing listens on the client's port. The menu and its
# submenu stand beside the icon, whole on the screen. Under a window manager
# that gives windows the keyboard (jwm; Debian 13's IceWM), Enter alone closes
# About.
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
launcher_up
[ "$(cat "$RUN/client-args.txt")" = TASKBAR ] || fail "client started with '$(cat "$RUN/client-args.txt")'"
log "icon at $ICON_X,$ICON_Y"

log "the menu opens on the first press and Escape closes it; a double-click, then Open and Away"
log "with the mouse, then Close and About by their keys"
open_menu
menus_beside_icon || fail_seen "the menu is not beside the icon"
menu_key Escape 0
double_click 1
choose 2 click_item Open
open_menu
click_item "My State"
menus_open 2 "a click on My State"
menus_beside_icon || fail_seen "the submenu is not beside the icon"
click_item Away
wait_requests 3
choose 4 menu_key c 0
open_menu
menu_key a 0
about_shown
about_has_keyboard() { [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "$KOBEX_ABOUT_TITLE" ]; }
if [ "$KOBEX_DESKTOP" = jwm ] || [ "$KOBEX_DESKTOP" = icewm ]; then
  wait_quietly 10 about_has_keyboard || fail_seen "the window manager did not give the About box the keyboard"
  xdotool key Return
  wait_quietly 10 dialog_gone "$KOBEX_ABOUT_TITLE" || fail_seen "Enter did not close the About box"
  log "About closed by Enter"
else
  click_button "$KOBEX_ABOUT_TITLE" 1
  wait_until 10 "About box closed by OK" dialog_gone "$KOBEX_ABOUT_TITLE"
  log "About closed by a click on OK"
fi

log "Exit from the menu ends client and launcher"
choose 5 click_item Exit
expect_gone 20
expect_requests /show? /show? /setstatus?away /hide? /exit?

log "a close request removes the icon and ends the launcher"
make_run_dir
launcher_up
close_launcher

log "nothing listens on $KOBEX_CLIENT_PORT: the message names the URL; OK by mouse ends the launcher"
make_run_dir --no-client
launcher_up
message_on_double_click 15 refused
click_button "$KOBEX_MESSAGE_TITLE" 1
expect_exit 20 2
log "PASS"
