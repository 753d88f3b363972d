#!/usr/bin/env bash
# Measures kobex.exe against a minimal Win32 tray program (bench/baseline_tray.cpp)
# in the same run, under Wine and Xvfb, and prints a table: medians with min
# and max over repeated runs, ratios against the baseline, and the targets.
# It only prints figures; it fails only when it cannot measure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh >/dev/null
source tests/e2e/lib.sh
bash tests/e2e/prefix.sh >/dev/null
e2e_begin

RUNS=${RUNS:-7}
RUN="$WORK/run"
mkdir -p "$RUN"
cp "$KOBEX_WIN_BIN_DIR/kobex.exe" "$KOBEX_WIN_BIN_DIR/bench/baseline_tray.exe" "$RUN/"
printf '@echo off\r\n' >"$RUN/kobex.bat"  # the client itself is not measured: the probe records the requests
probe() { wine "$KOBEX_WIN_BIN_DIR/bench/benchprobe.exe" "$@" </dev/null | tr -d '\r'; }
# median min max of numbers on standard input
summary() { sort -g | awk '{v[NR] = $1} END {printf "%.2f (%.2f-%.2f)", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR]}'; }
median() { summary | cut -d' ' -f1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

declare -A exe=([kobex]=kobex.exe [baseline]=baseline_tray.exe)
declare -A title=([kobex]="$KOBEX_WINDOW_TITLE" [baseline]="Baseline tray")
declare -A callback=([kobex]=0x200 [baseline]=0x8001)

start() {
  (cd "$RUN" && wine "${exe[$1]}" >/dev/null 2>&1) &
  BACKGROUND_PIDS+=($!)
  expect_icons 1 30 >/dev/null
}
gone() { ! pgrep -f "$1" >/dev/null; }
stop() {
  winprobe close "${title[$1]}" >/dev/null
  winprobe icons --expect 0 --wait 10000 >/dev/null || fail "$1 does not end"
  wait_quietly 10 gone "${exe[$1]}" || fail "$1 does not end"
}

# Every measure is taken in interleaved pairs (kobex, then the baseline, in
# each round); a ratio is the median of the per-pair ratios, with their spread.
# pair MEASURE: appends the latest pair's ratio for MEASURE.
pair() { ratio "$(tail -1 "$WORK/kobex.$1")" "$(tail -1 "$WORK/baseline.$1")" >>"$WORK/$1.ratios"; echo >>"$WORK/$1.ratios"; }
measures=(ws private startup click dblclick burst burst.count)
for m in "${measures[@]}"; do : >"$WORK/$m.ratios"; for name in kobex baseline; do : >"$WORK/$name.$m"; done; done

log "footprint, 3 pairs"
for ((i = 0; i < 3; i++)); do
  for name in kobex baseline; do
    start "$name"
    winprobe responsive "${title[$name]}" --wait 10000 >/dev/null
    read -r wsk _ < <(probe memory "${title[$name]}")
    pid=$(pgrep -f "${exe[$name]}" | head -1)
    echo "$wsk" >>"$WORK/$name.ws"
    awk '/^RssAnon/ {print $2}' /proc/"$pid"/status >>"$WORK/$name.private"
    stop "$name"
  done
  pair ws
  pair private
done

log "start-up, $RUNS pairs"
for ((i = 0; i < RUNS; i++)); do
  for name in kobex baseline; do
    probe startup "$(winepath -w "$RUN/${exe[$name]}")" "${title[$name]}" >>"$WORK/$name.startup"
    winprobe icons --expect 0 --wait 10000 >/dev/null
  done
  pair startup
done

log "click to request, burst: 3 pairs"
for ((i = 0; i < 3; i++)); do
  for name in kobex baseline; do
    start "$name"
    # The first requests of a run load and warm up WinHTTP: they are left out.
    probe click "${title[$name]}" "${callback[$name]}" 210 | tail -n +11 | median >>"$WORK/$name.click"
    probe dblclick "${title[$name]}" 17 | tail -n +3 | median >>"$WORK/$name.dblclick"
    read -r arrived total < <(probe burst "${title[$name]}" "${callback[$name]}" 1000)
    echo "$arrived" >>"$WORK/$name.burst.count"
    awk -v t="$total" 'BEGIN {printf "%.3f\n", t / 1000}' >>"$WORK/$name.burst"
    stop "$name"
  done
  pair click
  pair dblclick
  pair burst
done

size=$(stat -c %s "$RUN/kobex.exe")
base_size=$(stat -c %s "$RUN/baseline_tray.exe")
imports() { i686-w64-mingw32-objdump -p "$RUN/$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' '; }
row() { echo "| $(summary <"$WORK/kobex.$1") | $(summary <"$WORK/baseline.$1") | $(summary <"$WORK/$1.ratios")"; }

cat <<TABLE

Machine: $(nproc) cores, $(awk '/model name/ {sub(/.*: /, ""); print; exit}' /proc/cpuinfo); Wine $(wine --version 2>/dev/null | sed 's/wine-//'), Xvfb.
Figures: median (min-max); a ratio is the median (min-max) of the ratios of interleaved pairs of runs.
Footprint over 3 pairs of starts, start-up over $RUNS pairs; clicks over 3 pairs of runs, each giving the
median of 200 posted callbacks and of 15 real double-clicks (after 10 and 2 to warm up); burst of 1,000
queued callbacks, 3 pairs.

| Measure | kobex.exe | baseline | ratio | target |
|---|---|---|---|---|
| File size | $((size / 1024)) KiB | $((base_size / 1024)) KiB | | at most 256 KiB |
| DLLs imported | $(imports kobex.exe)| $(imports baseline_tray.exe)| | Windows' own only |
| Working set, idle (KiB) $(row ws) | |
| Private bytes, idle (KiB, anonymous resident memory) $(row private) | at most 1.5 |
| Start-up to icon (ms) $(row startup) | at most 1.25 |
| Callback to request line (ms) $(row click) | at most 1.25 |
| Double-click to request line (ms) $(row dblclick) | at most 1.25 |
| Burst: requests arrived of 1,000 | $(tr '\n' ' ' <"$WORK/kobex.burst.count")| $(tr '\n' ' ' <"$WORK/baseline.burst.count")| | all |
| Burst: ms per request $(row burst) | |
TABLE
