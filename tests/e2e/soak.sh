#!/usr/bin/env bash
# 10,000 commands in a row: every one arrives, and the Linux process's descriptors and memory stay
# flat (Wine keeps none of Windows' counters of handles, GDI and USER objects).
source "$(dirname "$0")/lib.sh"
e2e_begin
make_run_dir
launcher_up
# The kobex.exe in this run folder (another suite may run beside), known by device and inode:
# a Wine run in another userland sees it by another path.
pid=""
run_id=$(stat -c %d:%i "$RUN")
for candidate in $(pgrep -f 'kobex\.exe'); do
  [ "$(stat -L -c %d:%i "/proc/$candidate/cwd" 2>/dev/null)" = "$run_id" ] && pid=$candidate && break
done
[ -n "$pid" ] || fail "no kobex.exe process in $RUN"

figures() { echo "$(ls /proc/"$pid"/fd | wc -l) $(awk '/^VmRSS/ {print $2}' /proc/"$pid"/status)"; }

# The double-click callback as the shell sends it; 10,000 take minutes under emulation.
export PROBER_SECONDS=300
winprobe callback "$KOBEX_WINDOW_TITLE" 515 500 >/dev/null
wait_requests 500
read -r fds0 rss0 < <(figures)
log "after 500 commands: $fds0 descriptors, ${rss0} KiB resident"
winprobe callback "$KOBEX_WINDOW_TITLE" 515 10000 | tee "$WORK/elapsed.out"
wait_requests 10500
read -r fds1 rss1 < <(figures)
log "after 10,500 commands: $fds1 descriptors, ${rss1} KiB resident"
[ "$(sort -u "$RUN/client-requests.log")" = "GET /show? HTTP/1.1" ] || fail "a request arrived changed"
[ $((fds1 - fds0)) -le 4 ] || fail "descriptors grew from $fds0 to $fds1"
[ $((rss1 - rss0)) -le 4096 ] || fail "resident memory grew by $((rss1 - rss0)) KiB"
# No socket of the launcher listens (state 0A in /proc/net/tcp*).
for inode in $(ls -l /proc/"$pid"/fd 2>/dev/null | sed -n 's/.*socket:\[\([0-9]*\)\]/\1/p'); do
  ! awk -v inode="$inode" '$4 == "0A" && $10 == inode' /proc/net/tcp /proc/net/tcp6 | grep -q . ||
    fail "kobex.exe listens on a socket"
done
expect_icons 1 1
close_launcher
log "PASS: $(sed 's/elapsed //' "$WORK/elapsed.out") ms for 10,000 commands"
