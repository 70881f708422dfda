#!/usr/bin/env bash
# Installs the Debian packages a job needs, when they are missing.
#   setup.sh demo      what building and playing the demo needs: a compiler, CMake, Ninja, and
#                      the header-only PNG encoder the pictures use (libstb-dev)
#   setup.sh release   what scripts/release.sh needs: a compiler, CMake, Ninja, MinGW-w64, Python
#   setup.sh test      everything the test command needs (the default)
set -euo pipefail

demo=(cmake ninja-build g++ libstb-dev)
release=(cmake ninja-build g++ g++-mingw-w64-x86-64 python3)
test=(
  "${demo[@]}" pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev   # tests and benchmarks (googletest: sources for the Windows build)
  libglm-dev libeigen3-dev                                # the geometry benchmark's peers
  g++-mingw-w64-x86-64 wine64                             # the Windows build and its tests
  clang-14 libclang-rt-14-dev valgrind                    # fuzzers, sanitizers, memcheck
  python3 python3-jsonschema chromium                     # the program's checks, its JSON schema, the report in a browser
)

case "${1:-test}" in
  demo) packages=("${demo[@]}") ;;
  release) packages=("${release[@]}") ;;
  test) packages=("${test[@]}") ;;
  *) echo "usage: setup.sh [demo|release|test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
