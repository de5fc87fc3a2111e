#!/bin/sh
# Rewrites every expected output of the golden tests from the current build
# and shows the difference: a deliberate change of the conversion is this one
# command and a review of `git diff`. The tests still compare byte for byte.
set -eu
cd "$(dirname "$0")/.."
build=${LUMIFLOW_BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target legacy_tests driver_tests lumiflow-convert
LUMIFLOW_REGENERATE_GOLDEN=1 "$build/tests/legacy/legacy_tests" \
  --gtest_filter='LegacyGolden.*' --gtest_brief=1
LUMIFLOW_REGENERATE_GOLDEN=1 "$build/tests/driver/driver_tests" \
  --gtest_filter='BatchOptions.TheExamplesMatchTheGoldenReport' --gtest_brief=1
git --no-pager diff --stat -- tests/legacy/golden tests/driver/golden
git --no-pager diff -- tests/legacy/golden tests/driver/golden
