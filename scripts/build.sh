#!/usr/bin/env bash
# Builds everything: the native preset (core, unit tests, stand-in client, test
# rig) and the Windows preset (kobex.exe and its test helpers).
# Extra arguments go to both configure steps (for example -DKOBEX_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in windows native; do
  cmake --preset "$preset" "$@" >/dev/null
  cmake --build --preset "$preset"
done
