#!/usr/bin/env bash
# Runs the integration suite (the module loaded by the stand-in host) and the host program
# under Valgrind's memcheck: any error or leak fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
vg=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect,possible
    --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes --quiet)
echo "== memcheck: integration tests"
"${vg[@]}" "$build/tests/test_module" --gtest_brief=1
"${vg[@]}" "$build/tests/test_core" --gtest_brief=1
# (the time-bound tests are left out: under Valgrind time is not the point)
"${vg[@]}" "$build/tests/test_program" --gtest_brief=1 --gtest_filter=-Triangulation.ConvexPolygonsTakeTime*:*.LargeInputsReadInTimeLinear*
# A twentieth of the soak test's long session (the heap counts are the Linux leg's job).
TAVERIN_SOAK_SHORT=1 "${vg[@]}" "$build/tests/test_soak" --gtest_brief=1
echo "== memcheck: stand-in host program (demo session)"
"${vg[@]}" "$build/taverin-host" --out "$build/memcheck_out" > /dev/null
echo "memcheck: no errors, no leaks"
