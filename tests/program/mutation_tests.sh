#!/usr/bin/env bash
# The test command of a mutation run over host/program (scripts/mutate.py --test): the program's
# unit tests (without the time-bound ones), its refusal tables and promises, and the report in a
# browser when the mutated file is the report's. Usage: tests/program/mutation_tests.sh BUILD_DIR
set -e
b="${1:-build/mut}"
"$b/tests/test_program" --gtest_brief=1 --gtest_filter='-*LargeInputs*:*TakeTime*' > /dev/null
python3 tests/program/check_program.py --program "$b/taverin-host" --module "$b/orvik_taverin_64.p" --data tests/data \
  --scenes tests/scenes --work "$b/program_work" --schema docs/taverin-host.schema.json > "$b/check_program.log" 2>&1
if ! git diff --quiet -- host/program/output/report.cpp; then
  python3 tests/program/check_report.py --program "$b/taverin-host" --scene tests/scenes/every_step.json \
    --work "$b/report_work" > /dev/null
fi
