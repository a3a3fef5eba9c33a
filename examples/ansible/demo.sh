#!/bin/sh
# Twenty simulated devices, then both playbooks against them.
# QLN_BIN and QLN_DEVSIM name the programs (default: on PATH).
set -e
here=$(cd "$(dirname "$0")" && pwd)
qln=${QLN_BIN:-qln}
devsim=${QLN_DEVSIM:-qln-devsim}
work=$(mktemp -d)
: >"$work/devsim.log"
"$devsim" --address 127.0.5.1-127.0.5.20 >"$work/devsim.log" 2>&1 &
sim=$!
trap 'kill $sim; rm -rf "$work"' EXIT
until grep -q "devices at" "$work/devsim.log"; do kill -0 $sim; sleep 0.1; done
{
  echo "[devices]"
  for i in $(seq 1 20); do echo "dev$i qln_device=127.0.5.$i"; done
} >"$work/inventory.ini"
cd "$here"
ansible-playbook -i "$work/inventory.ini" -e qln_bin="$qln" -e backup_dir="$here/backups" backup.yml
ansible-playbook -i "$work/inventory.ini" -e qln_bin="$qln" check.yml
