#!/usr/bin/env bash
# Builds the module and the stand-in host (nothing else), then plays the demo session.
# Arguments go to taverin-host (try --help, --report out/report.html, --json).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh demo
cmake --preset demo >/dev/null
cmake --build --preset demo --target taverin-host orvik_taverin
./build/demo/taverin-host "$@"
