#!/usr/bin/env bash
# The whole test suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/ (the preset "sanitize"), with clang++ where it is installed.
# Usage: .ci/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=g++
command -v clang++ >/dev/null && compiler=clang++

# The test preset sets the sanitizers' options: any report ends the process with a failing
# status, and the tests' end-to-end cases run the sanitized binary too, so a fault in a
# child process fails its test.
cmake --preset sanitize -DCMAKE_CXX_COMPILER="$compiler"
cmake --build --preset sanitize
ctest --preset sanitize
