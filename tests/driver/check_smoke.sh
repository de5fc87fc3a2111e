#!/bin/sh
# Smoke tests of the template checker executable: check_smoke.sh EXECUTABLE CASE [VERSION]
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

# Standard input is a fifo this shell keeps open for writing and never writes
# to: a checker waiting for a key would hang until the test times out.
mkfifo "$scratch/in"
exec 3<>"$scratch/in"
run() {
  "$exe" "$@" <"$scratch/in" >"$scratch/out" 2>"$scratch/err"
  status=$?
  out=$(cat "$scratch/out")
  err=$(cat "$scratch/err")
}

printf '{}' >"$scratch/good.json"
printf '{"LumiflowTemplates": [{"Name": "a", "ImageSource": "cam"}]}' >"$scratch/bad.json"
case $2 in
  good)
    run "$scratch/good.json" "$scratch/good.json"
    expect 0 "OK: $scratch/good.json
OK: $scratch/good.json" "" ;;
  bad)
    run "$scratch/good.json" "$scratch/bad.json" "$scratch/none.json"
    expect 1 "OK: $scratch/good.json
FAIL: $scratch/bad.json: -10063: cam is an invalid ImageSource name
FAIL: $scratch/none.json: -10005: The file is not found." "" ;;
  usage)
    run
    case $err in "Usage: lumiflow-check [OPTION]... PATH..."*) err=usage ;; esac
    expect 2 "" usage ;;
  help)
    # The request wins over the other arguments.
    run "$scratch/none.json" --help
    case $out in "Usage: lumiflow-check [OPTION]... PATH..."*) out=usage ;; esac
    expect 0 usage "" ;;
  version)
    run --version
    expect 0 "lumiflow-check $3" "" ;;
  unknown-option)
    run -q "$scratch/good.json"
    expect 2 "" "lumiflow-check: unknown option '-q'
Try 'lumiflow-check --help'." ;;
  directory)
    mkdir "$scratch/d" "$scratch/d/sub"
    cp "$scratch/good.json" "$scratch/d/sub/a.json"
    cp "$scratch/bad.json" "$scratch/d/B.json"
    run "$scratch/d"
    expect 1 "FAIL: $scratch/d/B.json: -10063: cam is an invalid ImageSource name
OK: $scratch/d/sub/a.json" "" ;;
  *)
    echo "unknown case $2"
    exit 2 ;;
esac
