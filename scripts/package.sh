#!/usr/bin/env bash
# Makes the release archive dist/kobex-<version>-win32.zip with CPack: kobex.exe,
# README.txt (for Windows users), CHANGES.txt, LICENSE.txt, SHA256SUMS and
# SHA1SUMS. The same commit gives the same bytes; see docs/release.md.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target kobex
cpack --config build/windows/CPackConfig.cmake
