#!/usr/bin/env bash
# The main job: installs what is missing, builds the five programs (nothing else), starts the
# device simulator on 127.0.0.2 and opens QLN_Set against it. Without a display it takes the
# headless tour instead: each of qln's flows once against the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh "$build" QLN_Set QLN_Test QLN_Xfer qln qln-devsim
bin=$(cd "$build/programs" && pwd)
sample=$PWD/examples/sample.conf

"$bin/qln-devsim" --address 127.0.0.2 --config "$sample" > "$build/devsim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
# The simulator's first line says it is listening.
for _ in $(seq 100); do grep -q "device at" "$build/devsim.log" 2>/dev/null && break; sleep 0.05; done

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
step "qln ping: three radio echoes to station 00:80:45:01:00:02, one hop away, with statistics"
qln ping 00:80:45:01:00:02 --count 3
step "qln traceroute: the hops to station 00:80:45:01:00:03"
qln traceroute 00:80:45:01:00:03
step "qln xfer count: the device streams test packets to this PC; one second of counting"
qln xfer mode receive --host-port 18601
qln xfer count --host-port 18601 --duration 1 --quiet
qln xfer mode disable
echo
echo "Tour done. The programs are in $bin; QLN_Set, QLN_Test and QLN_Xfer open windows where a display is."
