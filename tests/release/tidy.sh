#!/usr/bin/env bash
# clang-tidy with the project's .clang-tidy on the portable core, as the native build compiles it, and on
# the Win32 layer, as the MinGW build does. Any finding fails.
set -euo pipefail
: "${KOBEX_SOURCE_DIR:?}" "${KOBEX_NATIVE_BIN_DIR:?}"
cd "$KOBEX_SOURCE_DIR"
status=0
clang-tidy --quiet -p "$KOBEX_NATIVE_BIN_DIR" src/about/*.cpp src/control/*.cpp src/tray/*.cpp || status=1
if [ -n "${KOBEX_WIN_BIN_DIR:-}" ]; then
  # clang reads the MinGW compiler's own header folders, in its order.
  mapfile -t headers < <(echo | i686-w64-mingw32-g++-win32 -E -x c++ - -v 2>&1 | grep -v include-fixed |
    sed -n '/^#include <...>/,/^End of search/s/^ \(\/.*\)/--extra-arg-before=-isystem\1/p')
  clang-tidy --quiet -p "$KOBEX_WIN_BIN_DIR" --extra-arg-before=--target=i686-w64-mingw32 \
    --extra-arg-before=-nostdinc "${headers[@]}" src/platform/win32/*.cpp || status=1
fi
exit "$status"
