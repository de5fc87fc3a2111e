#!/bin/sh
# Installs the build into a scratch prefix and uses it as its users would:
# the programs, the examples of examples/embed built against the CMake
# package (C++ and C) and against pkg-config (C), the Python module, and
# the list of what was installed.
#   install_check.sh CMAKE BUILD_DIR SOURCE_DIR VERSION PYTHON
set -eu
cmake=$1 build=$2 source=$3 version=$4 python=$5
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "install_check: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
# Build type, version and interpreter vary; the list does not.
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sed \
  -e 's/Targets-[a-z]*\.cmake$/Targets-BUILDTYPE.cmake/' \
  -e "s/\.so\.$version\$/.so.VERSION/" \
  -e 's/_lumiflow\.cpython-.*\.so$/_lumiflow.EXTENSION/' | LC_ALL=C sort) >"$scratch/installed"
diff -u "$source/tests/install/installed_files.txt" "$scratch/installed" ||
  fail "the installed files differ from tests/install/installed_files.txt"

for exe in lumiflow-convert lumiflow-check; do
  got=$("$prefix/bin/$exe" --version </dev/null)
  [ "$got" = "$exe $version" ] || fail "$exe --version: $got"
done

example=$source/examples/single-image-parameter.json
"$prefix/bin/lumiflow-convert" "$example" - >"$scratch/expected.json" </dev/null

"$cmake" -S "$source/examples/embed" -B "$scratch/embed" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || fail "examples/embed does not configure"
"$cmake" --build "$scratch/embed" >/dev/null || fail "examples/embed does not build"
for program in convert_cpp convert_c; do
  "$scratch/embed/$program" "$example" >"$scratch/$program.json" ||
    fail "$program failed"
  cmp -s "$scratch/expected.json" "$scratch/$program.json" || fail "$program converts otherwise"
done

PKG_CONFIG_PATH=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH
# shellcheck disable=SC2046
cc -o "$scratch/convert_pc" "$source/examples/embed/convert.c" \
  $(pkg-config --cflags --libs lumiflow) -Wl,-rpath,"$prefix/lib" || fail "pkg-config build"
"$scratch/convert_pc" "$example" >"$scratch/convert_pc.json" || fail "convert_pc failed"
cmp -s "$scratch/expected.json" "$scratch/convert_pc.json" || fail "convert_pc converts otherwise"

PYTHONPATH=$prefix/lib/python3/dist-packages "$python" "$source/examples/embed/convert.py" \
  "$example" >"$scratch/convert_py.json" 2>/dev/null || fail "convert.py failed"
cmp -s "$scratch/expected.json" "$scratch/convert_py.json" || fail "convert.py converts otherwise"
