#!/usr/bin/env bash
# Sets everything up, builds, and runs every test; then builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test once more. CTest's summary is the last thing printed.
# Usage: scripts/run-tests.sh [BUILD_DIR]   (the sanitizer build goes to BUILD_DIR-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh "$build"
ctest --test-dir "$build" -j2 --output-on-failure

echo "== The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B "$build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLN_SANITIZE=ON >/dev/null
ninja -C "$build-asan" -j2
# A leak or an undefined operation fails the test that caused it, with the report in its output.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build-asan" -j2 --output-on-failure
