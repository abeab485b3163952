#!/bin/sh
# Wine for the Windows build, found and set up here alone: the ctest emulator that
# cmake/mingw-w64.cmake gives the build, .ci/windows.sh and .ci/run all go through this script.
#   cmake/wine.sh find                              prints Wine's path; fails if there is none
#   cmake/wine.sh run PREFIX PROGRAM.exe ARGUMENTS... runs a Windows program
#   cmake/wine.sh start PREFIX                      one Wine server for many runs, until
#   cmake/wine.sh stop PREFIX
# Wine keeps its state in PREFIX, made at the first start. mscoree and mshtml are turned off
# so that the first start does not offer to install Mono and Gecko.
set -eu

# Debian's wine64 puts the 64-bit loader beside its server, off the PATH.
find_wine() {
  for wine in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$wine" ] && [ -x "$wine" ]; then
      echo "$wine"
      return 0
    fi
  done
  return 1
}

usage="usage: cmake/wine.sh find | run PREFIX PROGRAM.exe [ARGUMENTS...] | start PREFIX | stop PREFIX"
command=${1:-}
case "$command" in
  find) find_wine; exit ;;
  run | start | stop) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; } ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
wine=$(find_wine) || { echo "cmake/wine.sh: Wine is not installed (apt-get install wine64)" >&2; exit 1; }
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
export WINEPREFIX="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shift 2

case "$command" in
  run)
    # The first Wine program in a prefix starts Wine's background services, and they inherit
    # its standard output: ctest's pipe would then stay open long after the test has ended.
    # wineboot starts them first, away from that pipe; when they already run it returns at once.
    "$wine" wineboot </dev/null >/dev/null 2>&1
    exec "$wine" "$@"
    ;;
  start)
    mkdir -p "$WINEPREFIX"
    "$wineserver" -p || true  # one may run already, from an earlier ctest
    "$wine" wineboot --init </dev/null >/dev/null 2>&1
    ;;
  stop) "$wineserver" -k || true ;;
esac
