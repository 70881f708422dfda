#!/usr/bin/env bash
# Builds everything and runs every test: the Linux build, the Windows DLL under Wine, the
# release package (built twice and compared, then tested as users get it), the whole suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, each fuzzer for a bounded
# time (FUZZ_SECONDS, default 60), and the integration suite under Valgrind's memcheck.
set -euo pipefail
cd "$(dirname "$0")/.."

leg() {
  local name="$1"
  shift
  local start=$SECONDS
  echo "==== $name"
  "$@"
  echo "==== $name: passed in $((SECONDS - start)) s"
}

linux() { cmake --workflow --preset default; }
# The module as the host loads it: a 64-bit Windows DLL, tested under Wine; then the Linux and
# Windows programs and geometry libraries compared, output by output (needs the Linux build).
windows() {
  cmake --workflow --preset windows
  python3 tests/cross_platform/compare.py \
    --linux-program build/default/taverin-host --linux-module build/default/orvik_taverin_64.p \
    --linux-digest build/default/geometry/tests/geometry_digest \
    --windows-program build/windows/taverin-host.exe --windows-module build/windows/orvik_taverin_64.p \
    --windows-digest build/windows/geometry/tests/geometry_digest.exe --emulator "$PWD/scripts/wine-run.sh" \
    --scenes tests/scenes --data tests/data --work build/windows/cross_platform
}
sanitizers() { cmake --workflow --preset asan; }
fuzzers() {
  cmake --preset fuzz
  cmake --build --preset fuzz
  bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
}

leg "set-up" bash scripts/setup.sh test
leg "Linux build and tests" linux
leg "Windows build and tests under Wine" windows
leg "release package, built twice and compared" bash tests/release/check_release.sh
leg "tests under ASan and UBSan" sanitizers
leg "fuzzers" fuzzers
leg "memcheck" bash scripts/memcheck.sh
echo "all legs passed"
