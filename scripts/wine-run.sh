#!/usr/bin/env bash
# Runs a Windows program under Debian's 64-bit Wine, quietly, in a Wine prefix of its own.
set -euo pipefail
wine=/usr/lib/wine/wine64
if [ ! -x "$wine" ]; then
  echo "wine-run: $wine not found (install the wine64 package)" >&2
  exit 127
fi
here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export DISPLAY=""
mkdir -p "$WINEPREFIX"
exec "$wine" "$@"
