# shellcheck shell=bash
# Sourced by the scripts: port_holders PORT... prints one line for each of these UDP ports that
# a socket of this machine holds: "UDP port 8640 (0.0.0.0) is held by QLN_Set (pid 1234)".
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
