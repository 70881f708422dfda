#!/usr/bin/env bash
# Builds the variant benchmark against the library in this tree, the way a caller does (at -O2)
# and the way the library's own benchmark is built (-O3 -ffp-contract=off), checks which
# variants give the library's bits (in both, and in a build that lets the compiler fuse
# products, -O2 -mfma -ffp-contract=fast, where the processor has FMA), then times the two
# programs pinned to one core (CORE, default 1), taking turns. CXXFLAGS are added to every
# build (to move the code about, for instance -falign-functions=64). By hand only: not in CI.
#   geometry/bench/variants/run.sh [WORK_DIR] [compare_variants.py options...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
geo="$here/../.."
work="${1:-/tmp/geometry-variants}"
shift || true
cmake -S "$geo" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVERIN_GEOMETRY_TESTS=OFF > /dev/null
cmake --build "$work/build" -j 2
cmake --install "$work/build" --prefix "$work/prefix" > /dev/null
python3 "$here/extract.py" "$geo" "$work/gen"
inc=(${CXXFLAGS:-} -std=c++17 -Wall -Wextra -Werror -I"$work/prefix/include" -I"$work/gen")
lib="$work/prefix/lib/libtaverin_geometry.a"
bench=("${inc[@]}" -Wno-class-memaccess -isystem /usr/include/eigen3 "$here/variants.cpp" "$lib" -lbenchmark -lpthread)
g++ -O2 "${bench[@]}" -o "$work/variants_O2"
g++ -O3 -ffp-contract=off "${bench[@]}" -o "$work/variants_O3"
builds=("-O2" "-O3 -ffp-contract=off")
grep -qw fma /proc/cpuinfo && builds+=("-O2 -mfma -ffp-contract=fast")
for b in "${builds[@]}"; do
    g++ $b "${inc[@]}" "$here/check_bits.cpp" "$lib" -o "$work/check_bits"
    echo "check_bits built with $b:" && "$work/check_bits"
done
python3 "$here/compare_variants.py" --core "${CORE:-1}" "caller-O2=$work/variants_O2" "O3-contract-off=$work/variants_O3" "$@"
