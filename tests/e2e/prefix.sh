#!/usr/bin/env bash
# Prepares the Wine prefix that the end-to-end tests share, with the
# double-click time they are written for.
source "$(dirname "$0")/lib.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i
fi
# What a test sets for itself and undoes at its end (wine_setting) stays where
# a time-out killed the test: gone before the next one.
for setting in 'Control Panel\Colors:Window' 'Control Panel\Colors:WindowText' 'Software\Wine\Debug:RelayInclude' \
  'Software\Wine\AppDefaults\kobex.exe:Version'; do
  wine reg delete "HKCU\\${setting%%:*}" /v "${setting#*:}" /f >/dev/null 2>&1 || true
done
# Wine's processes read it when they start; none runs yet.
wine reg add 'HKCU\Control Panel\Mouse' /v DoubleClickSpeed /t REG_SZ /d "$DOUBLE_CLICK_MS" /f >/dev/null
wineserver -w
echo "Wine prefix ready: $WINEPREFIX (double-click time ${DOUBLE_CLICK_MS} ms)"
