#!/bin/sh
# Smoke tests of the converter executable itself: smoke.sh EXECUTABLE CASE
set -u
exe=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

expect() {  # expect STATUS EXPECTED_STDOUT EXPECTED_STDERR
  if [ "$status" -ne "$1" ] || [ "$out" != "$2" ] || [ "$err" != "$3" ]; then
    printf 'status %s, stdout [%s], stderr [%s]\n' "$status" "$out" "$err"
    printf 'expected status %s, stdout [%s], stderr [%s]\n' "$1" "$2" "$3"
    exit 1
  fi
}

run() {
  "$exe" "$@" >"$scratch/out" 2>"$scratch/err" <"$scratch/in"
  status=$?
  out=$(cat "$scratch/out")
  err=$(cat "$scratch/err")
}

: >"$scratch/in"
case $2 in
  help)
    run --help
    case $out in "Usage: lumiflow-convert [SOURCE DESTINATION]"*) out=usage ;; esac
    expect 0 usage "" ;;
  version)
    run --version
    expect 0 "lumiflow-convert $3" "" ;;
  argument-count)
    run one
    expect 1 "" "The number of argument is invalid." ;;
  missing-source)
    run "$scratch/none.json" "$scratch"
    expect 1 "Source path error: \"$scratch/none.json\" is invalid." "" ;;
  empty-directory)
    mkdir "$scratch/in.d"
    printf '"%s"\n"%s"\n' "$scratch/in.d" "$scratch" >"$scratch/in"
    run
    expect 0 "Input source path:
Input destination path:" "" ;;
  *)
    echo "unknown case $2"
    exit 2 ;;
esac
