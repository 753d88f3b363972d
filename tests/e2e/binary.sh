#!/usr/bin/env bash
# kobex.exe is one self-contained 32-bit GUI program: it imports only Windows'
# own DLLs, is marked for ASLR and DEP, and carries its version record.
set -euo pipefail
: "${KOBEX_WIN_BIN_DIR:?}"
exe="$KOBEX_WIN_BIN_DIR/kobex.exe"
fail() {
  echo "FAIL: $*"
  exit 1
}
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
echo "imports: $(echo $imports)"
# WinHTTP is loaded by full path from the system folder: an import would be
# looked for beside the program first.
! grep -qix 'winhttp.dll' <<<"$imports" || fail "WinHTTP is imported"

strings=$(strings -el "$exe")
for value in 1.00.0027 kobex kobex.exe Veltrano Corvane; do
  grep -qxF "$value" <<<"$strings" || fail "the version record lacks \"$value\""
done
grep -q 'requestedExecutionLevel level="asInvoker"' <(strings "$exe") || fail "no manifest"
echo "PASS: $(stat -c %s "$exe") bytes"
