#!/usr/bin/env bash
# The release archive as the packaging command makes it: the program, its
# read-me with the sections a Windows user needs, this version's changes, the
# licence, and checksums that check out; and the same bytes again, kobex.exe
# and archive both, from a copy of the sources built in another folder on
# another kind of file system (tmpfs, which listed the staging folder in
# another order than ext4 did), later, in another time zone.
set -euo pipefail
: "${KOBEX_SOURCE_DIR:?}" "${KOBEX_WIN_BIN_DIR:?}"
source "$(dirname "$0")/../e2e/lib.sh"  # log and fail; no Wine, no screen
WORK=$(mktemp -d /tmp/kobex-release.XXXXXX)
ELSEWHERE=$(mktemp -d /dev/shm/kobex-release.XXXXXX)  # tmpfs
trap 'rm -rf "$WORK" "$ELSEWHERE"' EXIT

log "the archive from the build"
cmake --build "$KOBEX_WIN_BIN_DIR" --target package >"$WORK/package.out" || { cat "$WORK/package.out"; fail "no archive"; }
archive=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$WORK/package.out")
[ "$(basename "$archive")" = "kobex-$KOBEX_VERSION_TEXT-win32.zip" ] || fail "the archive is called '$archive'"
mkdir "$WORK/unpacked"
(cd "$WORK/unpacked" && unzip -q "$archive")
[ "$(cd "$WORK/unpacked" && find . -type f | sort | tr '\n' ' ')" = \
  "./CHANGES.txt ./LICENSE.txt ./README.txt ./SHA1SUMS ./SHA256SUMS ./kobex.exe " ] ||
  fail "the archive holds: $(unzip -Z1 "$archive" | tr '\n' ' ')"
for sums in SHA256SUMS SHA1SUMS; do
  [ "$(cut -d' ' -f3 "$WORK/unpacked/$sums" | tr '\n' ' ')" = "CHANGES.txt kobex.exe LICENSE.txt README.txt " ] ||
    fail "$sums does not list every other file"
done
(cd "$WORK/unpacked" && sha256sum --quiet -c SHA256SUMS && sha1sum --quiet -c SHA1SUMS) || fail "the checksums do not match"
for text in README.txt CHANGES.txt LICENSE.txt; do
  ! grep -qv $'\r$' "$WORK/unpacked/$text" || fail "$text has a line without a Windows line end"
done
for section in "If something goes wrong" "Limits" "To remove it" "Checking the download"; do
  grep -qx "$section"$'\r' "$WORK/unpacked/README.txt" || fail "README.txt has no section \"$section\""
done
grep -qF "fciv -sha1 kobex.exe" "$WORK/unpacked/README.txt" || fail "README.txt does not say how to check the download on XP"
version=$KOBEX_VERSION_TEXT
heading=$(head -1 "$WORK/unpacked/CHANGES.txt" | tr -d '\r')
[ "${heading% - ????-??-??}" = "kobex $version" ] ||
  fail "CHANGES.txt does not begin with the archive's version $version: $heading"
# Its changes are the lines of that version's entry in CHANGELOG.md, word for word.
entry_changes() { awk -v head="## [$version]" 'index($0, head) == 1 { on = 1; next } /^(## )?\[/ { on = 0 } on && /^[- ] /' "$1"; }
diff <(entry_changes "$KOBEX_SOURCE_DIR/CHANGELOG.md" | tr -d '`') \
  <(grep '^[- ] ' "$WORK/unpacked/CHANGES.txt" | tr -d '\r') >"$WORK/changes.diff" ||
  fail "CHANGES.txt is not the version's entry in CHANGELOG.md: $(cat "$WORK/changes.diff")"
[ -n "$(entry_changes "$KOBEX_SOURCE_DIR/CHANGELOG.md")" ] || fail "CHANGELOG.md lists no change for $version"
cmp -s "$WORK/unpacked/kobex.exe" "$KOBEX_WIN_BIN_DIR/kobex.exe" || fail "the archive's kobex.exe is not the build's"
[ "$(unzip -Z1 "$archive")" = "$(unzip -Z1 "$archive" | LC_ALL=C sort)" ] ||
  fail "the archive's entries are not in name order: $(unzip -Z1 "$archive" | tr '\n' ' ')"

log "the same sources in another folder, built again"
copy="$ELSEWHERE/kobex-copy"
mkdir -p "$copy"
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
