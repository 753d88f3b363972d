#!/usr/bin/env bash
# Runs every test: unit tests of the core, then the end-to-end tests of the real
# kobex.exe under Wine and Xvfb. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh -DKOBEX_WERROR=ON
ctest --preset native -j 2
