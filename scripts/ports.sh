# shellcheck shell=bash
# Sourced by the scripts.

# port_holders PORT...: one line for each of these UDP ports that a socket of this machine holds,
# "UDP port 8640 (0.0.0.0) is held by QLN_Set (pid 1234)".
port_holders() {
  local port line addr who
  for port in "$@"; do
    while read -r line; do
      [ -n "$line" ] || continue
      addr=$(awk '{print $4}' <<<"$line")
      who=$(sed -n 's/.*users:(("\([^"]*\)",pid=\([0-9]*\).*/\1 (pid \2)/p' <<<"$line")
      echo "UDP port $port (${addr%:*}) is held by ${who:-a process ss cannot name (not root?)}"
    done < <(ss -H -ulnp "sport = :$port" 2>/dev/null || true)
  done
}

# start_simulator LOG QLN-DEVSIM [OPTION...]: starts the simulator in the background (its pid in
# $sim, its output in LOG) and returns once it says it has bound its ports. When it ends first,
# returns 1 after saying why on standard error, with the holders of its ports.
start_simulator() {
  local log=$1 uif=8649 rcmp=8650 i
  shift
  for ((i = 2; i <= $#; i++)); do
    case ${!i} in
      --uif-port) uif=${*:i+1:1} ;;
      --rcmp-port) rcmp=${*:i+1:1} ;;
    esac
  done
  "$@" >"$log" 2>&1 &
  sim=$!
  # Its first line says it has bound its ports; if it ends first, its last line says why.
  until grep -q "device at" "$log"; do
    if ! kill -0 "$sim" 2>/dev/null; then
      echo "The simulator did not start: $(tail -n 1 "$log")" >&2
      port_holders "$uif" "$rcmp" >&2
      return 1
    fi
    sleep 0.05
  done
}
