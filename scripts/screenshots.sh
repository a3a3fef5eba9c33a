#!/usr/bin/env bash
# The README's pictures: each window against the simulator, under Xvfb, saved into docs/screenshots.
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh "$build" qln-screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/qln-screenshots" docs/screenshots examples/sample.conf
