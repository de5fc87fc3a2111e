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
    case $out in "Usage: lumiflow-convert [OPTION]... [SOURCE DESTINATION]"*) out=usage ;; esac
    expect 0 usage "" ;;
  version)
    run --version
    expect 0 "lumiflow-convert $3" "" ;;
  argument-count)
    run one
    expect 2 "" "The number of argument is invalid.
Try 'lumiflow-convert --help'." ;;
  unknown-option)
    run "$scratch" "$scratch" --loud
    expect 2 "" "lumiflow-convert: unknown option '--loud'
Try 'lumiflow-convert --help'." ;;
  dash-file)
    # "--" ends the options: a file named like one converts.
    mkdir "$scratch/out.d"
    printf '{"ImageParameter": {}}' >"$scratch/-x.json"
    cd "$scratch" && run -- -x.json out.d
    expect 0 "Convert -x.json successfully." ""
    [ -s "$scratch/out.d/-x.json" ] || { echo "output missing"; exit 1; } ;;
  missing-source)
    run "$scratch/none.json" "$scratch"
    expect 1 "Source path error: \"$scratch/none.json\" is invalid." "" ;;
  empty-directory)
    mkdir "$scratch/in.d"
    printf '"%s"\n"%s"\n' "$scratch/in.d" "$scratch" >"$scratch/in"
    run
    expect 0 "Input source path:
Input destination path:" "" ;;
  batch-stops)
    # The real converter: the second file fails, the first stays converted,
    # the third is never looked at.
    mkdir "$scratch/in.d" "$scratch/out.d"
    printf '{"ImageParameter": {"Timeout": 500}}' >"$scratch/in.d/1.json"
    printf '{"ImageParameter": {"MaxAlgorithmThreadCount": 0}}' >"$scratch/in.d/2.json"
    printf '{}' >"$scratch/in.d/3.json"
    run "$scratch/in.d" "$scratch/out.d"
    expect 1 "Convert $scratch/in.d/1.json successfully.
Fail to read Old Template: $scratch/in.d/2.json.
old barcodeSetting read failed : BarcodeReaderTaskSetting:MaxAlgorithmThreadCount: out of range." ""
    grep -q '"Timeout" : 500' "$scratch/out.d/1.json" || { echo "first output missing"; exit 1; }
    if [ -e "$scratch/out.d/2.json" ] || [ -e "$scratch/out.d/3.json" ]; then
      echo "output written after the failure"
      exit 1
    fi ;;
  *)
    echo "unknown case $2"
    exit 2 ;;
esac
