#!/usr/bin/env bash
# The main job's start of its simulator (start_simulator and port_holders of scripts/ports.sh):
# a simulator that binds its ports starts; one whose UIF or RCMP port another program holds
# fails with its own reason and the port's holder named.
# Usage: check_start_simulator.sh SOURCE_DIR QLN-DEVSIM
set -euo pipefail
source "$1/scripts/ports.sh"
devsim=$2
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The holder: a first simulator on free ports of 127.0.0.3.
start_simulator "$work/first.log" "$devsim" --address 127.0.0.3 --uif-port 0 --rcmp-port 0 ||
  fail "the first simulator did not start: $(cat "$work/first.log")"
pids+=("$sim")
holder=$sim
uif=$(sed -n 's/.*UIF port \([0-9]*\),.*/\1/p' "$work/first.log")
rcmp=$(sed -n 's/.*RCMP port \([0-9]*\)$/\1/p' "$work/first.log")
[ -n "$uif" ] && [ -n "$rcmp" ] || fail "no ports in: $(cat "$work/first.log")"

# A second simulator on one of its ports: OPTIONS|its reason|the holder's line
cases=(
  "--uif-port $uif --rcmp-port 0|UIF port $uif: |UDP port $uif (127.0.0.3) is held by qln-devsim (pid $holder)"
  "--uif-port 0 --rcmp-port $rcmp|RCMP port $rcmp: |UDP port $rcmp (127.0.0.3) is held by qln-devsim (pid $holder)"
)
for c in "${cases[@]}"; do
  IFS='|' read -r options reason line <<<"$c"
  # shellcheck disable=SC2086  # the options are words
  if start_simulator "$work/second.log" "$devsim" --address 127.0.0.3 $options 2>"$work/err"; then
    pids+=("$sim")
    fail "$options: started beside the first"
  fi
  grep -qF "The simulator did not start: qln-devsim: 127.0.0.3: $reason" "$work/err" || fail "$options: $(cat "$work/err")"
  grep -qxF "$line" "$work/err" || fail "$options: no '$line' in: $(cat "$work/err")"
done

# With the holder gone, the same ports are free again.
kill "$holder"
wait "$holder" 2>/dev/null || true
start_simulator "$work/third.log" "$devsim" --address 127.0.0.3 --uif-port "$uif" --rcmp-port "$rcmp" ||
  fail "not started on the freed ports: $(cat "$work/third.log")"
pids+=("$sim")
grep -q "device at 127.0.0.3, UIF port $uif, RCMP port $rcmp" "$work/third.log" || fail "$(cat "$work/third.log")"
echo "start_simulator: started, refused with the holder named on UIF and RCMP ports, started again"
