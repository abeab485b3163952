#!/usr/bin/env bash
# The whole test suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer.
# Usage: .ci/sanitize.sh [build folder]   (default: build-sanitize in the repository)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-sanitize}

compiler=g++
command -v clang++ >/dev/null && compiler=clang++

# Any report ends the process with a failing status; the tests' end-to-end cases run the
# sanitized binary too, so a fault in a child process fails its test.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTEXTDUMP_SANITIZE=ON -DTEXTDUMP_BENCH=OFF
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure
