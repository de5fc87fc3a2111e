#!/bin/sh
# Installs, as root, whatever a fresh Debian machine lacks to build and test the
# converter. Does nothing when everything is already there.
set -eu

# python3-jsonschema: the validator the tests hold the template schema to;
# python3-dev: the headers of the Python module; man-db and groff-base: the
# manual pages' check.
packages="g++ cmake ninja-build pkg-config libjsoncpp-dev libgtest-dev python3-jsonschema python3-dev man-db groff-base"
# Extra package groups are asked for by name: "fuzz" (clang), "bench".
for extra in "$@"; do
  case "$extra" in
    fuzz) packages="$packages clang libclang-rt-dev" ;;
    bench) packages="$packages libbenchmark-dev" ;;
    *) echo "setup.sh: unknown package group '$extra'" >&2; exit 2 ;;
  esac
done

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh: missing packages:$missing; run as root to install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
