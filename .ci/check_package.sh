#!/usr/bin/env bash
# .ci/check_package.sh BUILD_DIR: makes the release archive of a build with cpack and checks
# that it holds the executable, the README and the licence, and nothing else.
set -euo pipefail
build=$1

shopt -s nullglob
rm -f "$build"/textdump-*.tar.gz "$build"/textdump-*.zip
(cd "$build" && cpack >/dev/null)
archives=("$build"/textdump-*.tar.gz "$build"/textdump-*.zip)
[ ${#archives[@]} -eq 1 ] || { echo "cpack made ${#archives[@]} archives in $build" >&2; exit 1; }
archive=${archives[0]}
case "$archive" in
  *.tar.gz) files=$(tar -tzf "$archive" | grep -v '/$') exe=textdump ;;
  *.zip) files=$(unzip -Z1 "$archive" | grep -v '/$') exe=textdump.exe ;;
esac
top=$(basename "$archive" | sed 's/\.tar\.gz$//; s/\.zip$//')
expected=$(printf '%s\n' "$top/bin/$exe" "$top/share/doc/textdump/README.md" \
  "$top/share/doc/textdump/LICENSE")
if [ "$(sort <<<"$files")" != "$(sort <<<"$expected")" ]; then
  printf 'unexpected contents of %s:\n%s\nexpected:\n%s\n' "$archive" "$files" "$expected" >&2
  exit 1
fi
echo "$(basename "$archive") holds:" $files
