#!/usr/bin/env bash
# Runs every test: unit tests of the core, then the end-to-end tests of the real
# kobex.exe under Wine and Xvfb. Installs what is missing first.
#   KOBEX_REPEAT=N runs the end-to-end tests N times over (the others once) and
#   prints how many runs of each passed: how flaky the suite is, as a number.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh -DKOBEX_WERROR=ON
repeat=${KOBEX_REPEAT:-1}
if ! [[ $repeat =~ ^[1-9][0-9]*$ ]]; then
  echo "test: KOBEX_REPEAT must be a whole number from 1" >&2
  exit 2
fi
if [ "$repeat" = 1 ]; then
  exec ctest --preset native -j 2
fi

status=0
ctest --preset native -j 2 -E '^e2e\.' || status=1
results=$(mktemp)
run_log=$(mktemp)
trap 'rm -f "$results" "$run_log"' EXIT
for ((run = 1; run <= repeat; run++)); do
  echo "=== end-to-end tests, run $run of $repeat"
  ctest --preset native -R '^e2e\.' 2>&1 | tee "$run_log" || true
  sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) \.*[ *]*\([A-Za-z]*\).*/\1 \2/p' "$run_log" >>"$results"
done
echo "=== runs of each end-to-end test that passed, of $repeat"
awk -v runs="$repeat" '
  { seen[$1]++; if ($2 == "Passed") passed[$1]++ }
  END { for (name in seen) printf "%-24s %d of %d\n", name, passed[name], runs }' "$results" | sort
tests=$(cut -d' ' -f1 "$results" | sort -u | wc -l)
passed=$(grep -c ' Passed$' "$results" || true)
echo "$passed passed, $((tests * repeat - passed)) failed"
[ "$passed" = $((tests * repeat)) ] && [ "$tests" -gt 0 ] || status=1
exit "$status"
