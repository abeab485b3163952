#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each in turn on a copy of its seed corpus (the
# repository's corpus is never grown). Fails if a target finds a crash, a broken property
# or a timeout; the input that did it is kept in <build folder>/findings/.
# Usage: .ci/fuzz.sh [seconds per target (default 20)] [build folder (default build-fuzz)]
# A long run: .ci/fuzz.sh 600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${2:-build-fuzz}

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found, the fuzz targets are skipped"
  exit 0
fi

targets=(fuzz_table fuzz_decoder fuzz_plan)
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DTEXTDUMP_FUZZ=ON -DTEXTDUMP_BENCH=OFF \
  -DBUILD_TESTING=OFF
cmake --build "$build" -j2 --target "${targets[@]}"

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
