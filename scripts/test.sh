#!/usr/bin/env bash
# Builds everything and runs every test: the Linux build, the Windows DLL under Wine, the
# whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, each fuzzer for a bounded
# time (FUZZ_SECONDS, default 60), and the integration suite under Valgrind's memcheck.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --workflow --preset default
# The module as the host loads it: a 64-bit Windows DLL, tested under Wine.
cmake --workflow --preset windows
# Everything again with the sanitizers.
cmake --workflow --preset asan
# The fuzzers (clang, libFuzzer, with the sanitizers).
cmake --preset fuzz
cmake --build --preset fuzz
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
# Memory errors and leaks in the integration suite.
bash scripts/memcheck.sh
