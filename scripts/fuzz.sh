#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (clang, sanitizers) and runs each for SECONDS on a
# scratch copy of its seeds in fuzz/corpus/TARGET/. Crash files go to build-fuzz/findings/TARGET/.
# Usage: scripts/fuzz.sh SECONDS [TARGET...]   (default: every target, two at a time)
# Exit status: 0 nothing found, 1 some target found something, 2 usage or build failure.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
  echo "Usage: scripts/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(config_text record_image check_reply tftp_server rcmp_reply devsim_request)
fi
build=build-fuzz

source scripts/install-packages.sh
install_packages clang cmake ninja-build qt6-base-dev

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLN_FUZZ=ON -DBUILD_TESTING=OFF \
      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
ninja -C "$build" -j2 "${targets[@]/#/fuzz_}" >/dev/null || { echo "fuzz: build failed" >&2; exit 2; }

# A sanitizer report ends the run as a crash does; leaks count as findings too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen

run_one() {
  local t=$1 work="$build/fuzz-work/$1" findings="$build/findings/$1"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$findings"
  cp fuzz/corpus/"$t"/* "$work/corpus/"
  local before start left runs=0 n=0 f=0
  before=$(find "$findings" -type f | wc -l)
  start=$(date +%s)
  left=$seconds
  # A run ends at its first finding: the target starts again for the time left, so one fault
  # does not hide the others (at most five runs).
  while [ "$left" -gt 0 ] && [ "$runs" -lt 5 ]; do
    runs=$((runs + 1))
    "$build/fuzz/fuzz_$t" "$work/corpus" -max_total_time="$left" -print_final_stats=1 \
        -artifact_prefix="$findings/" -rss_limit_mb=2048 -timeout=10 >"$work/log.$runs" 2>&1 || true
    n=$((n + $(grep -ho 'stat::number_of_executed_units: *[0-9]*' "$work/log.$runs" | grep -o '[0-9]*$' | tail -1 || echo 0)))
    f=$(( $(find "$findings" -type f | wc -l) - before ))
    [ "$f" -gt 0 ] || break
    left=$((seconds - ($(date +%s) - start)))
  done
  echo "$f" >"$work/findings"
  echo "fuzz $t: $n executions, $f findings"
}

# Two at a time: the machine's other work keeps the rest.
found=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run_one "${targets[i]}" &
  if [ $((i + 1)) -lt ${#targets[@]} ]; then run_one "${targets[i + 1]}" & fi
  wait
done
for t in "${targets[@]}"; do
  [ "$(cat "$build/fuzz-work/$t/findings")" -eq 0 ] || found=1
done
exit $found
