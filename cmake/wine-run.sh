#!/bin/sh
# wine-run.sh WINE PROGRAM.exe ARGUMENTS...: the Windows build's ctest emulator.
# The first Wine program in a prefix starts Wine's background services, and they inherit its
# standard output: ctest's pipe would then stay open long after the test has ended. wineboot
# starts them first, away from that pipe; when they already run it returns at once.
wine=$1
shift
"$wine" wineboot </dev/null >/dev/null 2>&1
exec "$wine" "$@"
