#!/usr/bin/env bash
# Builds the module and the stand-in host, then plays the demo session.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target taverin-host orvik_taverin
./build/default/taverin-host "$@"
