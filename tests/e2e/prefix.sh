#!/usr/bin/env bash
# Prepares the Wine prefix that the end-to-end tests share.
set -euo pipefail
: "${KOBEX_WINEPREFIX:?}"
export WINEPREFIX="$KOBEX_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i
fi
wineserver -w
echo "Wine prefix ready: $WINEPREFIX"
