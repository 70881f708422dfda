#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --workflow --preset default
# The module as the host loads it: a 64-bit Windows DLL, tested under Wine.
cmake --workflow --preset windows
