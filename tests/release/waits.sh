#!/usr/bin/env bash
# The end-to-end tests' waits can be believed: a condition that comes true while a wait runs is seen, one
# that never does fails at the deadline, no script hands a wait a "$(...)" (bash expands it once, before the
# first pass), the prober's answers go to their own questions, and a miss's report is whole.
set -euo pipefail
: "${KOBEX_SOURCE_DIR:?}"
source "$KOBEX_SOURCE_DIR/tests/e2e/lib.sh"
WORK=$(mktemp -d /tmp/kobex-waits.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$WORK"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then log "ok: $1"; else log "FAILED: $1" && failures=$((failures + 1)); fi
}
# within DESCRIPTION yes|no LOW HIGH COMMAND...: COMMAND held (or not) after LOW to HIGH ms; its output in out.
within() {
  local start held=no elapsed
  start=$(now_ms)
  ("${@:5}") >"$WORK/out" 2>&1 && held=yes
  elapsed=$(($(now_ms) - start))
  check "$1, after $elapsed ms" eval "[ $held = $2 ] && [ $elapsed -ge $3 ] && [ $elapsed -le $4 ]"
}

says_ready() { [ "$(cat "$WORK/flag" 2>/dev/null)" = ready ]; }
(sleep 1 && echo ready >"$WORK/flag") &
within "a condition that comes true after 1 s is seen" yes 900 1600 wait_until 5 "the flag" says_ready
within "one that never holds fails at its 2 s deadline" no 1900 2600 wait_until 2 "miracle" false
check "saying what it waited for" grep -q "FAIL: no miracle within 2s" "$WORK/out"
within "wait_quietly only says no, at its deadline" no 900 1600 wait_quietly 1 false

# A stand-in prober, answering as winprobe.exe serve does.
mkfifo "$WORK/prober.in" "$WORK/prober.out"
while IFS=$'\t' read -r id verb rest; do
  case $verb in
    slow) sleep 2 && printf 'late\nend %s 0\n' "$id" ;;
    bad) printf 'part %s\nend %s 3\n' "$rest" "$id" ;;
    *) printf '%s first\n%s second\nend %s 0\n' "$verb" "$verb" "$id" ;;
  esac
done <"$WORK/prober.in" >"$WORK/prober.out" &
exec {PROBER_IN}>"$WORK/prober.in" {PROBER_OUT}<"$WORK/prober.out"
code=0
answer=$(winprobe bad "a b") || code=$?
check "an answer's lines and its exit code, its words as asked" test "$code $answer" = "3 part a b"
winprobe one | grep -q "one first"
check "a caller that stops reading at the first line leaves nothing for the next question" \
  test "$(winprobe two | tr "\n" " ")" = "two first two second "
code=0
answer=$(PROBER_SECONDS=1 winprobe slow 2>&1) || code=$?
check "a question unanswered at its deadline fails, saying so" \
  eval '[ $code = 2 ] && [[ $answer == *"no answer within 1s"* ]]'
check "its late answer is passed over for the next question's" \
  test "$(winprobe three | tr "\n" " ")" = "three first three second "

# A miss's report is whole even when nothing can be read (no X focus, Wine gone), under the ERR trap that
# e2e_begin sets. In a job of its own: inside a list with || bash would switch the trap and errexit off.
winprobe() { return 1; }
xdotool() { return 1; }
RUN=$WORK
(sleep 1 && echo 'GET /show? HTTP/1.1' >>"$RUN/client-requests.log" &&
  sleep 0.5 && echo 'GET /hide? HTTP/1.1' >>"$RUN/client-requests.log") &
check "wait_requests sees requests that arrive while it waits" eval '(wait_requests 2) >"$WORK/requests.out" 2>&1'
(
  set -o errtrace
  trap 'log "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO: $BASH_COMMAND"' ERR
  fail_seen "the menu did not open"
) >"$WORK/miss.out" 2>&1 &
wait $! || true
check "a miss's report says what it could not read, and ends with the miss itself" \
  eval '[ "$(grep -c "seen: \(foreground (not readable)\|X focus (none, or PointerRoot)\|menus (not readable)\|requests\)" "$WORK/miss.out")" = 4 ] &&
    [ "$(grep -c FAIL "$WORK/miss.out")" = 1 ] && tail -1 "$WORK/miss.out" | grep -q "FAIL: the menu did not open"'

# unfresh_waits FILE...: the waits (wait_until, wait_quietly) handed a command substitution, continued
# lines joined; arithmetic ("$((...))") is on values that do not change, and is fine.
unfresh_waits() {
  awk 'FNR == 1 { line = "" } line == "" { first = FNR } { line = line $0 } sub(/\\$/, "", line) { next }
    { code = line; line = ""; probe = code; gsub(/\$\(\(/, "", probe) }
    code !~ /^[[:space:]]*#/ && code ~ /(^|[^[:alnum:]_])wait_(until|quietly)[[:space:]]/ &&
      code !~ /wait_(until|quietly)\(\)/ && (probe ~ /\$\(/ || probe ~ /`/) { print FILENAME ":" first ": " code }' "$@"
}
# "%" for "$", so that no line here is itself such a wait.
sed 's/%/$/g' >"$WORK/sample.sh" <<'SAMPLE'
wait_until 15 "request" test "%(request_count)" -ge 1
wait_quietly 8 test \
  "`request_count`" -ge 1
wait_until 15 "request" requests_at_least 1
wait_until "%((%1 * 2))" "end" test -s "%RUN/kobex.exit"
# wait_until 1 "a comment" test "%(x)"
SAMPLE
check "the check finds a wait handed \$(...) and one handed backticks on a continued line, nothing else" \
  test "$(unfresh_waits "$WORK/sample.sh" | cut -d: -f2 | tr "\n" " ")" = "1 2 "

cd "$KOBEX_SOURCE_DIR"
# Every shell script but this one's samples; a check that reads no script checks nothing.
mapfile -t scripts < <(find tests scripts bench -name '*.sh' ! -path tests/release/waits.sh | sort)
[ "${#scripts[@]}" -ge 15 ] || fail "only ${#scripts[@]} scripts found to check"
found=$(unfresh_waits "${scripts[@]}")
check "no script hands a wait a command substitution (${#scripts[@]} scripts)${found:+: $found}" test -z "$found"

[ "$failures" = 0 ] || fail "$failures of the waits' checks failed"
log "PASS"
