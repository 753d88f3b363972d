#!/usr/bin/env bash
# kobex.exe: a 32-bit GUI program for Windows XP SP3 and later, importing only Windows' DLLs and
# functions XP SP3 has (imports.txt), marked for ASLR and DEP, with its version record.
source "$(dirname "$0")/lib.sh"  # log and fail; no Wine, no screen
exe="$KOBEX_WIN_BIN_DIR/kobex.exe"
headers=$(i686-w64-mingw32-objdump -p "$exe")

grep -q '^Magic[[:space:]]*010b' <<<"$headers" || fail "not a 32-bit (PE32) image"
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || fail "not a GUI program"
characteristics=$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")
(( 0x$characteristics & 0x40 )) || fail "no dynamic base (ASLR)"
(( 0x$characteristics & 0x100 )) || fail "not NX compatible (DEP)"

# Not WinHTTP: it is loaded from the system folder, as an import is looked for beside the program first.
allowed=' kernel32.dll user32.dll gdi32.dll shell32.dll msvcrt.dll advapi32.dll ole32.dll oleaut32.dll comctl32.dll '
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
for dll in $imports; do
  [[ "$allowed" == *" ${dll,,} "* ]] || fail "imports $dll, which is not one of the Windows DLLs it may import"
done
log "imports: $(echo $imports)"

for field in MajorOSystemVersion:5 MinorOSystemVersion:1 MajorSubsystemVersion:5 MinorSubsystemVersion:1; do
  value=$(sed -n "s/^${field%:*}[[:space:]]*//p" <<<"$headers")
  [ "$value" = "${field#*:}" ] || fail "${field%:*} is $value, not ${field#*:} (Windows XP is 5.01)"
done

list="$(dirname "$0")/imports.txt"
# An import's line: a tab, its address, its hint (binutils 2.44 puts "<none>" before it), its name last.
functions=$(awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f][0-9a-f][0-9a-f][0-9a-f]+[ \t]/ && $NF ~ /^[A-Za-z_]/ { print dll, $NF }' <<<"$headers")
[ -n "$functions" ] || fail "no imported functions could be read"
problems=$(awk 'FILENAME == ARGV[1] { oldest[tolower($1) " " $2] = $3; next }
  { o = oldest[tolower($1) " " $2]; where = o == "" ? "not in imports.txt" : "Windows " o }
  o !~ /^(2000|XP|XP-SP[123])$/ { printf " %s!%s (%s)", $1, $2, where }' "$list" - <<<"$functions")
[ -z "$problems" ] || fail "imports that Windows XP SP3 may not have:$problems"
log "imports: $(wc -l <<<"$functions") functions, all on the list and in Windows XP SP3"

strings=$(strings -el "$exe")
for value in "$KOBEX_VERSION_TEXT" kobex kobex.exe Veltrano Corvane; do
  grep -qxF "$value" <<<"$strings" || fail "the version record lacks \"$value\""
done
grep -q 'requestedExecutionLevel level="asInvoker"' <(strings "$exe") || fail "no manifest"
grep -qF "name=\"Veltrano.Corvane.kobex\" version=\"$KOBEX_VERSION_DOTTED\"" <(strings "$exe") ||
  fail "the manifest does not carry the project's version $KOBEX_VERSION_DOTTED"
log "PASS: $(stat -c %s "$exe") bytes"
