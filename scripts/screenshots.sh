#!/usr/bin/env bash
# The README's pictures: each window against the simulator, under Xvfb, saved into docs/screenshots.
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh "$build" qln-screenshots
run=(env QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/qln-screenshots" docs/screenshots examples/sample.conf)
# QLN_Xfer shows its own host port 8601: in a network namespace of its own where one can be made,
# no program on this PC holds it.
if unshare -rn true 2>/dev/null; then
    unshare -rn sh -c 'ip link set lo up && exec "$@"' sh "${run[@]}"
else
    "${run[@]}"
fi
