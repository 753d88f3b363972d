#!/usr/bin/env bash
# The end-to-end tests' waits can be believed: a condition that comes true
# while a wait runs is seen, one that never does fails at the deadline, and no
# script hands a wait a "$(...)" argument, which bash would expand once, before
# the first pass. A miss's report is whole, whatever could not be read.
set -euo pipefail
: "${KOBEX_SOURCE_DIR:?}"
source "$KOBEX_SOURCE_DIR/tests/e2e/lib.sh"  # the waits
# No Wine, no screen here: what a failed wait reports of them is stubbed. The
# real winprobe is kept to talk to a stand-in prober, below.
eval "asked_$(declare -f winprobe)"
winprobe() { echo "(no Wine in this test)"; }
xdotool() { echo "(no screen in this test)"; }
WORK=$(mktemp -d /tmp/kobex-waits.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$WORK"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...: one case, reported either way
  local what=$1
  shift
  if "$@"; then
    log "ok: $what"
  else
    log "FAILED: $what"
    failures=$((failures + 1))
  fi
}
elapsed_between() { [ "$elapsed" -ge "$1" ] && [ "$elapsed" -le "$2" ]; }

# A condition whose answer is read afresh: a file's contents, written later.
says_ready() { [ "$(cat "$WORK/flag" 2>/dev/null)" = ready ]; }
(sleep 1 && echo ready >"$WORK/flag") &
start=$(now_ms)
(wait_until 5 "the flag" says_ready) >"$WORK/seen.out" 2>&1 && held=yes || held=no
elapsed=$(($(now_ms) - start))
check "a condition that comes true after 1 s is seen, after ${elapsed} ms" \
  eval '[ "$held" = yes ] && elapsed_between 900 1600'

start=$(now_ms)
(wait_until 2 "miracle" false) >"$WORK/never.out" 2>&1 && held=yes || held=no
elapsed=$(($(now_ms) - start))
check "one that never holds fails at its 2 s deadline, after ${elapsed} ms, saying what" \
  eval '[ "$held" = no ] && elapsed_between 1900 2600 && grep -q "FAIL: no miracle within 2s" "$WORK/never.out"'

start=$(now_ms)
wait_quietly 1 false && held=yes || held=no
elapsed=$(($(now_ms) - start))
check "wait_quietly only says no, at its deadline, after ${elapsed} ms" \
  eval '[ "$held" = no ] && elapsed_between 900 1600'

# The client's log growing while wait_requests waits, as it does in the tests.
RUN=$WORK
(sleep 1 && echo 'GET /show? HTTP/1.1' >>"$RUN/client-requests.log" &&
  sleep 0.5 && echo 'GET /hide? HTTP/1.1' >>"$RUN/client-requests.log") &
check "wait_requests sees requests that arrive while it waits" eval '(wait_requests 2) >"$WORK/requests.out" 2>&1'

# A miss's report is whole even when nothing can be read: no window has the X
# focus, Wine has gone. (The tests run with the ERR trap that e2e_begin sets.)
# It runs as a job of its own: in a list with || bash would switch the ERR
# trap and errexit off inside it.
unreadable() { return 1; }
(
  winprobe() { unreadable; }
  xdotool() { unreadable; }
  set -o errtrace
  trap 'log "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO: $BASH_COMMAND"' ERR
  fail_seen "the menu did not open"
) >"$WORK/miss.out" 2>&1 &
wait $! || true
check "a miss's report says what it could not read, and ends with the miss itself" \
  eval '[ "$(grep -c "seen: \(foreground (not readable)\|X focus (none, or PointerRoot)\|menus (not readable)\|requests\)" "$WORK/miss.out")" = 4 ] &&
    [ "$(grep -c FAIL "$WORK/miss.out")" = 1 ] && tail -1 "$WORK/miss.out" | grep -q "FAIL: the menu did not open"'

# The prober's answers (tests/win/winprobe.cpp, "serve") as a stand-in gives
# them: each answer goes to its own question, whole, with its exit code and
# its errors on stderr, even where the caller reads only part of it; a
# question unanswered within its deadline lets the prober go, so that its late
# answer is never taken for the next question's.
mkfifo "$WORK/prober.in" "$WORK/prober.out"
while IFS=$'\t' read -r verb rest; do
  case $verb in
    slow) sleep 2 && printf 'late\n\x1e0\n' ;;
    bad) printf 'part\n\x1fwinprobe: bad %s\n\x1e3\n' "$rest" ;;
    *) printf '%s first\n%s second\n\x1e0\n' "$verb" "$verb" ;;
  esac
done <"$WORK/prober.in" >"$WORK/prober.out" &
PROBER_PID=$!
exec {PROBER_IN}>"$WORK/prober.in" {PROBER_OUT}<"$WORK/prober.out"
code=0
asked_winprobe bad "a b" >"$WORK/answer.out" 2>"$WORK/answer.err" || code=$?
check "an answer's lines, its errors and its exit code, each where it belongs" \
  eval '[ "$code" = 3 ] && [ "$(cat "$WORK/answer.out")" = part ] && [ "$(cat "$WORK/answer.err")" = "winprobe: bad a b" ]'
asked_winprobe one | grep -q "one first"
check "a caller that stops reading at the first line leaves nothing for the next question" \
  eval '[ "$(asked_winprobe two | tr "\n" " ")" = "two first two second " ]'
wine() { echo "a Wine process of its own for: ${*:2}"; }
code=0
slow=$(PROBER_SECONDS=1 asked_winprobe slow 2>&1) || code=$?
check "a question unanswered at its deadline fails, saying so" \
  eval '[ "$code" = 2 ] && [[ $slow == *"no answer within 1s"* ]]'
prober_gone() { ! kill -0 "$PROBER_PID" 2>/dev/null; }
check "the prober is let go, though the deadline passed in a subshell" wait_quietly 5 prober_gone
check "the next question goes to a Wine process of its own, never to the late answer" \
  eval '[ "$(asked_winprobe two)" = "a Wine process of its own for: two" ]'
unset -f wine

# unfresh_waits FILE...: the calls of wait_until or wait_quietly that are handed
# a command substitution ("$(...)" or backticks; "$((...))" is arithmetic on
# values that do not change, and is fine), continued lines joined.
unfresh_waits() {
  awk '
    FNR == 1 { line = "" }
    { if (line == "") first = FNR; line = line $0 }
    /\\$/ { sub(/\\$/, "", line); next }
    {
      code = line; line = ""
      if (code ~ /^[[:space:]]*#/ || code !~ /(^|[^[:alnum:]_])wait_(until|quietly)[[:space:]]/) next
      if (code ~ /wait_(until|quietly)\(\)/) next
      probe = code; gsub(/\$\(\(/, "", probe)
      if (probe ~ /\$\(/ || probe ~ /`/) print FILENAME ":" first ": " code
    }' "$@"
}
# The samples say "%" where the script would say "$", so that no line here is
# itself such a wait; they are turned back as they are written out.
sed 's/%/$/g' >"$WORK/sample.sh" <<'SAMPLE'
wait_until 15 "request" test "%(request_count)" -ge 1
wait_quietly 8 test \
  "`request_count`" -ge 1
wait_until 15 "request" requests_at_least 1
wait_until "%((%1 * 2))" "end" test -s "%RUN/kobex.exit"
# wait_until 1 "a comment" test "%(x)"
SAMPLE
check "the check finds a wait handed \$(...) and one handed backticks on a continued line, nothing else" \
  eval '[ "$(unfresh_waits "$WORK/sample.sh" | cut -d: -f2 | tr "\n" " ")" = "1 2 " ]'

cd "$KOBEX_SOURCE_DIR"
# Every shell script of the tests, the scripts and the benchmark. (This file's
# samples above are bad on purpose.) A check that reads no script checks nothing.
mapfile -t scripts < <(find tests scripts bench -name '*.sh' ! -path tests/release/waits.sh | sort)
[ "${#scripts[@]}" -ge 15 ] || fail "only ${#scripts[@]} scripts found to check"
found=$(unfresh_waits "${scripts[@]}")
check "no script hands a wait a command substitution (${#scripts[@]} scripts)" test -z "$found"
[ -z "$found" ] || echo "$found"

[ "$failures" = 0 ] || fail "$failures of the waits' checks failed"
log "PASS"
