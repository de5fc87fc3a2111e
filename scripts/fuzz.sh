#!/bin/sh
# Builds and runs the libFuzzer targets of fuzz/ (clang, AddressSanitizer,
# UndefinedBehaviorSanitizer), one at a time: the machine is shared.
#
#   scripts/fuzz.sh build                 install clang if missing, build into build-fuzz/
#   scripts/fuzz.sh run SECONDS [NAME...] fuzz each target (all by default) for SECONDS;
#                                         fails on the first finding
#   scripts/fuzz.sh merge NAME            minimise what a run found into fuzz/corpus/NAME
#   scripts/fuzz.sh dictionary            rewrite fuzz/lumiflow.dict from the sources
#
# A run starts from fuzz/corpus/NAME and the target's seed directories and
# keeps what it finds in build-fuzz/corpus/NAME; a crash, leak, timeout or
# violated property is written to build-fuzz/findings/NAME/ and replayed by
# handing that file to build-fuzz/fuzz/NAME_fuzzer. A finding, once fixed,
# is copied into fuzz/corpus/NAME so that the replay tests keep it.
set -eu
cd "$(dirname "$0")/.."
build=build-fuzz

targets() {
  sed -n 's/^add_fuzzer(\([a-z_]*\).*/\1/p' fuzz/CMakeLists.txt
}

# The corpus directories of NAME as the build recorded them (';'-separated).
seeds() {
  tr ';' ' ' <"$build/fuzz/$1.seeds"
}

case "${1:-}" in
  build)
    scripts/setup.sh fuzz
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMIFLOW_FUZZ=ON \
      -DLUMIFLOW_BUILD_TESTS=OFF -DLUMIFLOW_PYTHON=OFF
    cmake --build "$build" -j 2
    ;;
  run)
    [ $# -ge 2 ] || { echo "usage: $0 run SECONDS [NAME...]" >&2; exit 2; }
    seconds=$2
    shift 2
    names=${*:-$(targets)}
    for name in $names; do
      mkdir -p "$build/corpus/$name" "$build/findings/$name"
      echo "== $name: $seconds s"
      # shellcheck disable=SC2046
      "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=16384 -dict=fuzz/lumiflow.dict -print_final_stats=1 \
        -artifact_prefix="$build/findings/$name/" "$build/corpus/$name" $(seeds "$name")
    done
    ;;
  merge)
    [ $# -eq 2 ] || { echo "usage: $0 merge NAME" >&2; exit 2; }
    "$build/fuzz/$2_fuzzer" -merge=1 -max_len=16384 "fuzz/corpus/$2" "$build/corpus/$2"
    ;;
  dictionary)
    {
      echo "# Keys, enumeration names and JSON pieces of both template formats;"
      echo "# rewritten by scripts/fuzz.sh dictionary."
      for token in '{' '}' '[' ']' ':' ',' '"' 'null' 'true' 'false' '-1' '0' '1.5' \
        '2147483648' '-2147483649' '18446744073709551616' '1e309' '//' '/*' '*/' \
        '\\u0000' '\x00' '\xef\xbb\xbf' '\xff'; do
        printf '"%s"\n' "$(printf '%s' "$token" | sed 's/"/\\"/g')"
      done
      grep -rhoE '"[A-Za-z][A-Za-z0-9_]{2,}"' src | sort -u | sed 's/"/\\"/g; s/.*/"&"/'
    } >fuzz/lumiflow.dict
    ;;
  *)
    sed -n '2,16s/^# \{0,1\}//p' "$0" >&2
    exit 2
    ;;
esac
