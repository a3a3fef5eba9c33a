#!/usr/bin/env bash
# Sets everything up, builds, and runs every test; then builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test once more. CTest's summary is the last thing printed.
# Usage: scripts/run-tests.sh [BUILD_DIR]   (the sanitizer build goes to BUILD_DIR-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# A new compiler warning fails the run.
QLN_CMAKE_ARGS=-DQLN_WERROR=ON scripts/setup.sh "$build"
source scripts/ports.sh

# The tests run in a private network namespace with its own loopback, so a QLN_Set open on this
# machine (UIF port 8640) or a simulator on 127.0.0.2 cannot take the default ports from them.
# Where no namespace can be made, the tests that need the default ports (label default_ports)
# are skipped when one of those ports is taken, with the port and the program holding it.
run_ctest() {
  local dir=$1 ns held
  for ns in "unshare --net" "unshare --user --map-root-user --net"; do
    if $ns true 2>/dev/null; then
      $ns sh -c 'ip link set lo up && exec "$@"' sh ctest --test-dir "$dir" -j2 --output-on-failure
      return
    fi
  done
  echo "No private network namespace here (unshare --net is not permitted): the tests use this machine's loopback."
  held=$(port_holders 8640 8641 8649 8650 8600 8601)
  if [ -n "$held" ]; then
    echo "Skipped, as their ports are taken: $(ctest --test-dir "$dir" -N -L default_ports | sed -n 's/^ *Test *#[0-9]*: //p' | xargs)"
    echo "$held"
    ctest --test-dir "$dir" -j2 --output-on-failure -LE default_ports
  else
    ctest --test-dir "$dir" -j2 --output-on-failure
  fi
}
run_ctest "$build"

echo "== The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B "$build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLN_SANITIZE=ON >/dev/null
ninja -C "$build-asan" -j2
# A leak or an undefined operation fails the test that caused it, with the report in its output.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_ctest "$build-asan"
