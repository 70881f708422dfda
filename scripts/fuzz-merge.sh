#!/usr/bin/env bash
# Folds what the fuzzers found (build/fuzz/work/<target>) into the seed corpora kept in the
# repository (fuzz/corpus/<name>), minimised: libFuzzer keeps the smallest set of inputs that
# reaches the same coverage. Named seeds are always kept. Each corpus is held to a budget
# (BUDGET_KB per target, default 1024) by dropping its largest found inputs.
# Usage: scripts/fuzz-merge.sh [TARGET...]   (after cmake --build --preset fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
budget_kb="${BUDGET_KB:-1024}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_geometry fuzz_host fuzz_scene fuzz_cli)
# The geometry library keeps its fuzzer's corpus beside its sources.
corpus_of() { if [ "$1" = fuzz_geometry ]; then echo geometry/fuzz/corpus; else echo "fuzz/corpus/${1#fuzz_}"; fi; }
for t in "${targets[@]}"; do
  seeds="$(corpus_of "$t")"
  merged="build/fuzz/merged/$t"
  rm -rf "$merged"
  mkdir -p "$merged" "build/fuzz/work/$t"
  build/fuzz/fuzz/"$t" -merge=1 -timeout=10 -rss_limit_mb=2048 -max_len=8192 "$merged" "$seeds" "build/fuzz/work/$t" \
    > "build/fuzz/merged/$t.log" 2>&1
  # The named seeds (written by hand, and the regression_* inputs of past findings) are kept
  # under their names whatever they add; the rest are named by their hash.
  for f in "$seeds"/*; do
    name="$(basename "$f")"
    if ! [[ "$name" =~ ^[0-9a-f]{40}$ ]]; then
      rm -f "$merged/$(sha1sum "$f" | cut -c1-40)"
      cp "$f" "$merged/"
    fi
  done
  kb=$(du -sk --apparent-size "$merged" | cut -f1)
  # Over the budget, the largest found inputs go first (they add the least coverage per byte;
  # the named seeds stay), until the corpus fits.
  dropped=0
  while [ "$kb" -gt "$budget_kb" ]; do
    largest="$(find "$merged" -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -printf '%s %p\n' \
      | sort -rn | sed -n '1s/^[0-9]* //p')"
    if [ -z "$largest" ]; then
      echo "$t: the named seeds alone are over the budget of ${budget_kb} KiB" >&2
      exit 1
    fi
    rm -f "$largest"
    dropped=$((dropped + 1))
    kb=$(du -sk --apparent-size "$merged" | cut -f1)
  done
  echo "$t: $(ls "$merged" | wc -l) inputs, ${kb} KiB (before: $(ls "$seeds" | wc -l) inputs; $dropped dropped for the budget)"
  rm -rf "$seeds"
  mv "$merged" "$seeds"
done
