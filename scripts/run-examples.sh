#!/bin/sh
# Installs what is missing, builds the two executables (not the tests),
# converts the bundled legacy examples into out/examples and shows the result.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target lumiflow-convert lumiflow-check
rm -rf out/examples
mkdir -p out/examples
build/src/lumiflow-convert examples out/examples </dev/null
echo
echo "Converted files:"
find out/examples -type f | sort
echo
build/src/lumiflow-check out/examples
shown=out/examples/regions-and-format-specifications.json
echo
echo "First lines of $shown:"
head -n 40 "$shown"
