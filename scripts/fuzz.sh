#!/usr/bin/env bash
# Runs each libFuzzer target for SECONDS (default 60), two at a time, from its seed corpus in fuzz/corpus
# (the geometry fuzzer's in geometry/fuzz/corpus).
# New inputs go to build/fuzz/work/<target>; a finding stops the run with the crashing input
# in build/fuzz/findings. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_geometry fuzz_host fuzz_scene fuzz_cli)
findings="$PWD/build/fuzz/findings"
mkdir -p "$findings" build/fuzz/logs
# The geometry library keeps its fuzzer's corpus beside its sources.
corpus_of() { if [ "$1" = fuzz_geometry ]; then echo geometry/fuzz/corpus; else echo "fuzz/corpus/${1#fuzz_}"; fi; }
run_target() {
  local t="$1" seeds work
  seeds="$(corpus_of "$t")"
  work="build/fuzz/work/$t"
  mkdir -p "$work"
  # The artifact prefix is absolute: a target may change its working folder (fuzz_cli does).
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    "build/fuzz/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="$findings/$t-" "$work" "$seeds" > "build/fuzz/logs/$t.log" 2>&1 || true
}
# Two targets at a time: each fuzzer runs on one core, and the machines have two.
found=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pair=("${targets[@]:i:2}")
  for t in "${pair[@]}"; do
    echo "== $t for ${seconds}s (whole output in build/fuzz/logs/$t.log)"
    run_target "$t" &
  done
  wait
  for t in "${pair[@]}"; do
    echo "== $t:"
    grep -E '^(#[0-9]+ +DONE|Done|stat::number_of_executed_units|stat::peak_rss|==[0-9]+==ERROR|SUMMARY|INFO: a leak|.*invariant failed|hostile host:|command line fuzzer:|.*Test unit written)' \
      "build/fuzz/logs/$t.log" || true
    if ls "$findings/$t"-* >/dev/null 2>&1; then
      echo "$t: finding in build/fuzz/findings" >&2
      found=1
    fi
  done
  [ "$found" -eq 0 ] || exit 1
done
