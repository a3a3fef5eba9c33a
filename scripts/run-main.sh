#!/usr/bin/env bash
# The main job: installs what is missing, builds the five programs (nothing else), starts the
# device simulator on 127.0.0.2 and opens QLN_Set against it. Without a display it takes the
# headless tour instead: each of qln's flows once against the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh "$build" QLN_Set QLN_Test QLN_Xfer qln qln-devsim
source scripts/ports.sh
bin=$(cd "$build/programs" && pwd)
sample=$PWD/examples/sample.conf
log=$PWD/$build/devsim.log
sim=

# The simulator may be gone already (it failed to start, or a Ctrl+C stopped it).
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT
# One Ctrl+C stops the whole tour: the step that runs stops on it too, then this ends.
trap 'echo; echo "Stopped."; exit 130' INT TERM
if ! start_simulator "$log" "$bin/qln-devsim" --address 127.0.0.2 --config "$sample"; then
  echo "Stop that program and run $0 again." >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$bin/QLN_Set" 127.0.0.2
  exit
fi

# In the build folder, where Apply leaves its Config.bin.
cd "$build"
qln() { "$bin/qln" --device 127.0.0.2 --local-port 0 --tftp-port 0 "$@"; }
step() { printf '\n=== %s\n' "$*"; }
echo "No display: the headless tour of qln against the simulated device at 127.0.0.2."
step "qln apply examples/sample.conf: the sample configuration as records, sent by TFTP and made running"
qln apply "$sample"
step "qln check all: every status query of the device, as the check window's Check ALL shows them"
qln check all
step "qln receive running: the running configuration back as text"
qln receive running
step "qln ping: three radio echoes to station 00:80:45:01:00:02, two hops away (through 01), with statistics"
echo "The first echo goes with TTL 14 and comes back with 13: 01 used up one on the way. The others go with -1, no limit."
qln ping 00:80:45:01:00:02 --count 3
step "qln traceroute: the hops to station 00:80:45:01:00:03, three hops away"
echo "One line per hop, counted from 0 (the TTL of its probes): 01, then 02, then 03 itself, with three probe times in ms."
qln traceroute 00:80:45:01:00:03
step "qln xfer count: the device streams test packets to this PC; one second of counting"
qln xfer mode receive --host-port 18601
qln xfer count --host-port 18601 --duration 1 --quiet
qln xfer mode disable
echo
echo "Tour done. The programs are in $bin; QLN_Set, QLN_Test and QLN_Xfer open windows where a display is."
