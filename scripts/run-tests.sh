#!/usr/bin/env bash
# Sets everything up, builds, and runs every test. CTest's summary is the last thing printed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh "$build"
ctest --test-dir "$build" -j2 --output-on-failure
