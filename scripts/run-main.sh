#!/usr/bin/env bash
# Sets everything up, starts the device simulator on 127.0.0.2 and opens QLN_Set against it.
# Without a display it runs the echo test through `qln` instead.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh "$build"

"$build/programs/qln-devsim" --address 127.0.0.2 --config examples/sample.conf &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
sleep 0.5

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$build/programs/QLN_Set" 127.0.0.2
else
  echo "No display available: running 'qln --device 127.0.0.2 echo' instead of QLN_Set."
  "$build/programs/qln" --device 127.0.0.2 echo
fi
