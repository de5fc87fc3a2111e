#!/bin/sh
# Builds the Debian package with cpack and lists it: everything installed,
# under /usr, and the package's name, version and dependencies.
#   package_check.sh CPACK BUILD_DIR SOURCE_DIR VERSION
set -eu
cpack=$1 build=$2 source=$3 version=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package_check: $*" >&2; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$scratch" >/dev/null) || fail "cpack -G DEB failed"
package=$(ls "$scratch"/*.deb)
dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sed \
  -e 's/Targets-[a-z]*\.cmake$/Targets-BUILDTYPE.cmake/' \
  -e "s/\.so\.$version\$/.so.VERSION/" \
  -e 's/_lumiflow\.cpython-.*\.so$/_lumiflow.EXTENSION/' | LC_ALL=C sort >"$scratch/packaged"
diff -u "$source/tests/install/installed_files.txt" "$scratch/packaged" ||
  fail "the package holds other files than tests/install/installed_files.txt"
[ "$(dpkg-deb -f "$package" Package)" = lumiflow-convert ] || fail "package name"
[ "$(dpkg-deb -f "$package" Version)" = "$version" ] || fail "package version"
dpkg-deb -f "$package" Depends | grep -q libjsoncpp || fail "no dependency on jsoncpp"
