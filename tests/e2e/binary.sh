#!/usr/bin/env bash
# kobex.exe is one self-contained 32-bit GUI program for Windows XP SP3 and
# later: it imports only Windows' own DLLs and only functions that XP SP3 has
# (imports.txt beside this script), says 5.01 in its PE header, is marked for
# ASLR and DEP, and carries its version record.
: "${KOBEX_WIN_BIN_DIR:?}"
source "$(dirname "$0")/lib.sh"  # log and fail; no Wine, no screen
exe="$KOBEX_WIN_BIN_DIR/kobex.exe"
headers=$(i686-w64-mingw32-objdump -p "$exe")

grep -q '^Magic[[:space:]]*010b' <<<"$headers" || fail "not a 32-bit (PE32) image"
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || fail "not a GUI program"
characteristics=$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")
(( 0x$characteristics & 0x40 )) || fail "no dynamic base (ASLR)"
(( 0x$characteristics & 0x100 )) || fail "not NX compatible (DEP)"

allowed=' KERNEL32.dll USER32.dll GDI32.dll SHELL32.dll WINHTTP.dll msvcrt.dll ADVAPI32.dll ole32.dll OLEAUT32.dll COMCTL32.dll '
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
for dll in $imports; do
  [[ "$allowed" == *" $dll "* ]] || fail "imports $dll, which is not one of Windows' own DLLs"
done
log "imports: $(echo $imports)"
# WinHTTP is loaded by full path from the system folder: an import would be
# looked for beside the program first.
! grep -qix 'winhttp.dll' <<<"$imports" || fail "WinHTTP is imported"

for field in MajorOSystemVersion MinorOSystemVersion MajorSubsystemVersion MinorSubsystemVersion; do
  value=$(sed -n "s/^$field[[:space:]]*//p" <<<"$headers")
  want=5
  [[ $field == Minor* ]] && want=1
  [ "$value" = "$want" ] || fail "$field is $value, not $want (Windows XP is 5.01)"
done

# The import audit: every imported function, and the oldest Windows that has it.
rank() {
  case $1 in
    2000) echo 1 ;; XP) echo 2 ;; XP-SP1) echo 3 ;; XP-SP2) echo 4 ;; XP-SP3) echo 5 ;;
    Vista) echo 6 ;; 7) echo 7 ;; 8) echo 8 ;; 8.1) echo 9 ;; 10) echo 10 ;; *) echo 99 ;;
  esac
}
list="$(dirname "$0")/imports.txt"
# An import's line: a tab, its address, its hint (binutils 2.44 puts "<none>"
# for the ordinal before it), its name last.
functions=$(awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f][0-9a-f][0-9a-f][0-9a-f]+[ \t]/ && $NF ~ /^[A-Za-z_]/ { print dll, $NF }' <<<"$headers")
[ -n "$functions" ] || fail "no imported functions could be read"
problems=""
while read -r dll function; do
  oldest=$(awk -v d="$dll" -v f="$function" 'tolower($1) == tolower(d) && $2 == f { print $3 }' "$list")
  if [ -z "$oldest" ]; then
    problems+=" $dll!$function (not in imports.txt)"
  elif [ "$(rank "$oldest")" -gt "$(rank XP-SP3)" ]; then
    problems+=" $dll!$function (Windows $oldest)"
  fi
done <<<"$functions"
[ -z "$problems" ] || fail "imports that Windows XP SP3 may not have:$problems"
log "imports: $(wc -l <<<"$functions") functions, all on the list and in Windows XP SP3"

strings=$(strings -el "$exe")
for value in 1.00.0027 kobex kobex.exe Veltrano Corvane; do
  grep -qxF "$value" <<<"$strings" || fail "the version record lacks \"$value\""
done
grep -q 'requestedExecutionLevel level="asInvoker"' <(strings "$exe") || fail "no manifest"
grep -qF "name=\"Veltrano.Corvane.kobex\" version=\"$KOBEX_VERSION_DOTTED\"" <(strings "$exe") ||
  fail "the manifest does not carry the project's version $KOBEX_VERSION_DOTTED"
log "PASS: $(stat -c %s "$exe") bytes"
