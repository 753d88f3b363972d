#!/usr/bin/env bash
# The Wine prefix the end-to-end tests share, with their double-click time.
source "$(dirname "$0")/lib.sh"
[ -f "$WINEPREFIX/system.reg" ] || { mkdir -p "$WINEPREFIX"; wineboot -i; }
# What a test killed at its time-out left set (wine_setting).
for setting in 'Control Panel\Colors:Window' 'Control Panel\Colors:WindowText' 'Software\Wine\Debug:RelayInclude' \
  'Software\Wine\AppDefaults\kobex.exe:Version'; do
  wine reg delete "HKCU\\${setting%%:*}" /v "${setting#*:}" /f >/dev/null 2>&1 || true
done
wine reg add 'HKCU\Control Panel\Mouse' /v DoubleClickSpeed /t REG_SZ /d "$DOUBLE_CLICK_MS" /f >/dev/null
wineserver -w
echo "Wine prefix ready: $WINEPREFIX (double-click time ${DOUBLE_CLICK_MS} ms)"
