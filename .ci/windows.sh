#!/usr/bin/env bash
# The Windows build: cross-built with MinGW-w64 in build-windows/, every test run under Wine,
# the scripts it writes compared byte for byte with the Linux build's, and its .zip checked.
# Needs the Linux build in build/ (.ci/run makes it first).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# The prefix the build's ctest emulator uses. One Wine server for the whole run, so that
# each of the many short runs does not start its own.
prefix=$root/build-windows/wine
wine() { "$root/cmake/wine.sh" run "$prefix" "$@"; }
trap '"$root/cmake/wine.sh" stop "$prefix"' EXIT
"$root/cmake/wine.sh" start "$prefix"

cmake --preset windows
cmake --build --preset windows
ctest --preset windows

# Both builds dump the same image, and check its table, each in its own copy of the folder.
# The scripts must be the same bytes; the console the same text, Windows' CR LF line ends
# aside. Any difference ends the whole run.
compare_dumps() {  # NAME MAKER_ARGUMENTS...
  local name=$1 folder="$root/build-windows/compare/$1"
  shift
  rm -rf "$folder" && mkdir -p "$folder"
  (cd "$folder" && "$root/build/tools/make_sample_image" "$@" linux >/dev/null) ||
    { echo "$name: make_sample_image failed" >&2; exit 1; }
  cp -r "$folder/linux" "$folder/windows"
  local word
  for word in DUMP_TEXT CHECK_TABLE; do
    (cd "$folder/linux" && "$root/build/src/textdump" $word sample.rom >../linux.out) || exit 1
    (cd "$folder/windows" && wine "$root/build-windows/src/textdump.exe" $word sample.rom |
      tr -d '\r' >../windows.out) || exit 1
    cmp "$folder/linux.out" "$folder/windows.out" || exit 1
  done
  cmp "$folder/linux/text/script.txt" "$folder/windows/text/script.txt" || exit 1
  echo "$name: the same script ($(wc -c <"$folder/linux/text/script.txt") bytes) and console"
}
compare_dumps sample
compare_dumps dense --dense 4

.ci/check_package.sh build-windows
