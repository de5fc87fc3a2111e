#!/bin/sh
# Installs the build into a scratch prefix and runs what landed in bin/:
# install_smoke.sh CMAKE BUILD_DIRECTORY VERSION
set -eu
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$1" --install "$2" --prefix "$scratch" >/dev/null
installed=$(cd "$scratch" && find . -type f | sort | tr '\n' ' ')
[ "$installed" = "./bin/lumiflow-check ./bin/lumiflow-convert " ] || {
  echo "installed: $installed"
  exit 1
}
for exe in lumiflow-convert lumiflow-check; do
  version=$("$scratch/bin/$exe" --version </dev/null)
  [ "$version" = "$exe $3" ] || { echo "$exe --version: $version"; exit 1; }
done
