#!/usr/bin/env bash
# Builds the release and writes it into dist/ (or the folder given):
#   orvik-taverin-VERSION-win64.zip      for artists: the module file orvik_taverin_64.p, an install
#                                        guide (INSTALL.txt), LICENSE, CHANGELOG.md and SHA256SUMS
#   taverin-geometry-VERSION-win64-mingw.zip
#   taverin-geometry-VERSION-linux-x86_64.tar.gz
#                                        for developers: the geometry library's headers, static
#                                        library, CMake package, pkg-config file and LICENSE
#   SHA256SUMS                           the sums of the three archives
# VERSION is the project's, set in the top-level CMakeLists.txt. Two runs on the same sources give
# the same bytes, wherever the source folder is and whenever they run (docs/reliability.md says
# how to check): every date in the archives is SOURCE_DATE_EPOCH, by default the last commit's.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh release

out="${1:-dist}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null || true)"
  if [ -z "$SOURCE_DATE_EPOCH" ]; then
    echo "release: not a git checkout: set SOURCE_DATE_EPOCH to the release's date (seconds since 1970)" >&2
    exit 2
  fi
fi
export SOURCE_DATE_EPOCH
# Debian's Python (its zlib compresses the archives), not whichever python3 comes first.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

# The Windows module and the geometry library for MinGW-w64: a configuration of their own, no
# tests, always from scratch.
rm -rf build/release build/release-geometry-linux
cmake --preset release >/dev/null
cmake --build --preset release
cmake --install build/release --prefix build/release/stage/geometry >/dev/null
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)"

# The geometry library for Linux, built on its own as a user builds it.
cmake -S geometry -B build/release-geometry-linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_PROJECT_INCLUDE="$PWD/cmake/reproducible.cmake" >/dev/null
cmake --build build/release-geometry-linux
cmake --install build/release-geometry-linux --prefix build/release-geometry-linux/stage >/dev/null

tool="orvik-taverin-$version-win64"
geometry_win="taverin-geometry-$version-win64-mingw"
geometry_linux="taverin-geometry-$version-linux-x86_64"
sed "s/@VERSION@/$version/g" packaging/INSTALL.txt.in >build/release/INSTALL.txt
"$python" packaging/pack.py "$out/$tool.zip" --root "$tool" --sums \
  orvik_taverin_64.p=build/release/orvik_taverin_64.p INSTALL.txt=build/release/INSTALL.txt \
  LICENSE=LICENSE CHANGELOG.md=CHANGELOG.md
"$python" packaging/pack.py "$out/$geometry_win.zip" --root "$geometry_win" --tree build/release/stage/geometry
"$python" packaging/pack.py "$out/$geometry_linux.tar.gz" --root "$geometry_linux" \
  --tree build/release-geometry-linux/stage
(cd "$out" && sha256sum "$tool.zip" "$geometry_win.zip" "$geometry_linux.tar.gz" >SHA256SUMS)
echo "release $version in $out:"
cat "$out/SHA256SUMS"
