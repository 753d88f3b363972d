#!/usr/bin/env bash
# The release archive: what it holds, and the same bytes again from a copy of the sources built later in
# another folder on tmpfs (which listed the staging folder in another order than ext4), in another time zone.
set -euo pipefail
: "${KOBEX_SOURCE_DIR:?}" "${KOBEX_WIN_BIN_DIR:?}"
source "$(dirname "$0")/../e2e/lib.sh"  # log, fail and the version; no Wine, no screen
WORK=$(mktemp -d /dev/shm/kobex-release.XXXXXX)  # tmpfs
trap 'rm -rf "$WORK"' EXIT

log "the archive from the build"
cmake --build "$KOBEX_WIN_BIN_DIR" --target package >"$WORK/package.out" || { cat "$WORK/package.out"; fail "no archive"; }
archive=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$WORK/package.out")
[ "$(basename "$archive")" = "kobex-$KOBEX_VERSION_TEXT-win32.zip" ] || fail "the archive is called '$archive'"
entries=$(unzip -Z1 "$archive" | tr '\n' ' ')
[ "$entries" = "CHANGES.txt LICENSE.txt README.txt SHA1SUMS SHA256SUMS kobex.exe " ] ||
  fail "the archive holds, in this order: $entries"
mkdir "$WORK/unpacked" && cd "$WORK/unpacked" && unzip -q "$archive"
for sum in sha256 sha1; do
  [ "$(cut -d' ' -f3 "${sum^^}SUMS" | tr '\n' ' ')" = "CHANGES.txt kobex.exe LICENSE.txt README.txt " ] &&
    "${sum}sum" --quiet -c "${sum^^}SUMS" || fail "${sum^^}SUMS does not list and match every other file"
done
for text in README.txt CHANGES.txt LICENSE.txt; do
  ! grep -qv $'\r$' "$text" || fail "$text has a line without a Windows line end"
done
for section in "If something goes wrong" "Limits" "To remove it" "Checking the download"; do
  grep -qx "$section"$'\r' README.txt || fail "README.txt has no section \"$section\""
done
grep -qF "fciv -sha1 kobex.exe" README.txt || fail "README.txt does not say how to check the download on XP"
heading=$(head -1 CHANGES.txt | tr -d '\r')
[ "${heading% - ????-??-??}" = "kobex $KOBEX_VERSION_TEXT" ] || fail "CHANGES.txt does not begin with the version: $heading"
# Its changes are the lines of that version's entry in CHANGELOG.md, word for word.
changes=$(awk -v head="## [$KOBEX_VERSION_TEXT]" 'index($0, head) == 1 { on = 1; next } /^(## )?\[/ { on = 0 }
  on && /^[- ] /' "$KOBEX_SOURCE_DIR/CHANGELOG.md" | tr -d '`')
[ -n "$changes" ] || fail "CHANGELOG.md lists no change for $KOBEX_VERSION_TEXT"
diff <(echo "$changes") <(grep '^[- ] ' CHANGES.txt | tr -d '\r') || fail "CHANGES.txt is not the version's entry in CHANGELOG.md"
cmp -s kobex.exe "$KOBEX_WIN_BIN_DIR/kobex.exe" || fail "the archive's kobex.exe is not the build's"

log "the same sources in another folder, built again"
copy="$WORK/kobex-copy"
mkdir "$copy"
(cd "$KOBEX_SOURCE_DIR" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$copy")
epoch=$(sed -n 's/^set(ENV{SOURCE_DATE_EPOCH} "\([0-9]*\)")$/\1/p' "$KOBEX_WIN_BIN_DIR/package/cpack_options.cmake")
[ -n "$epoch" ] || fail "the build has no source date"
(
  cd "$copy"
  export SOURCE_DATE_EPOCH=$epoch TZ=JST-9
  cmake --preset windows -DKOBEX_WERROR=ON -DKOBEX_DIST_DIR="$WORK/dist" >/dev/null
  cmake --build --preset windows --target kobex >/dev/null
  cpack --config build/windows/CPackConfig.cmake >/dev/null
) || fail "the copy does not build"
cmp "$KOBEX_WIN_BIN_DIR/kobex.exe" "$copy/build/windows/kobex.exe" || fail "kobex.exe differs between the two builds"
cmp "$archive" "$WORK/dist/$(basename "$archive")" || fail "the archives differ"
log "PASS: $(sha256sum "$archive" | cut -d' ' -f1)  $(basename "$archive")"
