#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each in turn on a copy of its seed corpus (the
# repository's corpus is never grown). Fails if a target finds a crash, a broken property
# or a timeout; the input that did it is kept in build-fuzz/findings/.
# Usage: .ci/fuzz.sh [seconds per target (default 20)]; a long run: .ci/fuzz.sh 600
# The targets are those fuzz/CMakeLists.txt makes, built in build-fuzz/ (the preset "fuzz").
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=build-fuzz

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found, the fuzz targets are skipped"
  exit 0
fi

cmake --preset fuzz
cmake --build --preset fuzz
targets=()
for program in "$build"/fuzz/fuzz_*; do
  [ -f "$program" ] && [ -x "$program" ] && targets+=("$(basename "$program")")
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no fuzz target was built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="$build/findings"
mkdir -p "$findings"
failed=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  cp fuzz/corpus/"$target"/* "$work/$target/"
  log="$work/$target.log"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
    -artifact_prefix="$findings/$target-" "$work/$target" >"$log" 2>&1; then
    echo "fuzz: $target: $(grep '^Done' "$log" || echo 'no summary')"
  else
    tail -n 60 "$log"
    echo "fuzz: $target FAILED; the input is in $findings/"
    failed=1
  fi
done
exit $failed
