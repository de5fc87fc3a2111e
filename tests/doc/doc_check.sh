#!/bin/bash
# Checks the manual pages and the bash completion against the built programs:
#   doc_check.sh CONVERT_EXE CHECK_EXE DOCDIR
# DOCDIR holds lumiflow-convert.1, lumiflow-check.1 and
# lumiflow-convert.bash-completion. Exit status 0 when all hold, 1 with a
# message for each fault, 2 for a usage error, 77 (skipped) when `man` is
# missing and everything else held.
set -u

if [ $# -ne 3 ]; then
  echo "usage: $0 CONVERT_EXE CHECK_EXE DOCDIR" >&2
  exit 2
fi
# Absolute, since the completion cases run in a scratch directory.
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
convert_exe=$(absolute "$1") check_exe=$(absolute "$2") docdir=$(absolute "$3")
completion=$docdir/lumiflow-convert.bash-completion
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for f in "$docdir/lumiflow-convert.1" "$docdir/lumiflow-check.1" "$completion"; do
  [ -r "$f" ] || { echo "missing: $f" >&2; exit 1; }
done
for exe in "$convert_exe" "$check_exe"; do
  [ -x "$exe" ] || { echo "not an executable: $exe" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# --- The manual pages -------------------------------------------------------

# The options of `PROGRAM --help`: the first column of its option lines
# ("  -j, --jobs=N   ..."), one option per line, arguments dropped.
help_options() {
  "$1" --help </dev/null | sed -n 's/^ \{1,6\}\(-[^ ,]*\(, -[^ ,]*\)*\).*/\1/p' |
    tr ',' '\n' | sed 's/^ *//; s/=.*//' | sort -u
}

# The options tagged in the OPTIONS section of a rendered page: tag lines are
# indented by exactly seven columns; "-j, --jobs=N" gives -j and --jobs.
page_options() {
  awk '/^OPTIONS$/ { on = 1; next } /^[A-Z]/ { on = 0 } on && /^       -/' "$1" |
    sed 's/^ *//; s/   .*//' | tr ',' '\n' | sed 's/^ *//; s/[= ].*//' | sort -u
}

check_page() {  # check_page PAGE EXECUTABLE NAME
  page=$1 exe=$2 name=$3
  # Warnings of the formatter: at this width and at a narrow one, where long
  # words must still break.
  for width in 80 60; do
    warnings=$(MANWIDTH=$width man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: man --warnings at width $width:
$warnings"
  done
  if command -v groff >/dev/null; then
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "$page: groff -ww:
$warnings"
  fi
  # whatis/apropos read the NAME line.
  if command -v lexgrog >/dev/null; then
    lexgrog "$page" 2>&1 | grep -q "\"$name - " || fail "$page: lexgrog does not find \"$name - ...\": $(lexgrog "$page" 2>&1)"
  fi

  # Rendered as ASCII, so that hyphens are "-" whatever the groff version.
  MANWIDTH=200 MANPAGER=cat PAGER=cat man -E ascii -l "$page" 2>/dev/null | sed 's/.\x08//g' >"$scratch/$name.txt"
  help_options "$exe" >"$scratch/$name.help"
  page_options "$scratch/$name.txt" >"$scratch/$name.page"
  [ -s "$scratch/$name.help" ] || fail "$exe --help lists no option"
  missing=$(comm -23 "$scratch/$name.help" "$scratch/$name.page" | tr '\n' ' ')
  [ -z "$missing" ] || fail "$page: OPTIONS lacks what $name --help lists: $missing"
  stale=$(comm -13 "$scratch/$name.help" "$scratch/$name.page" | tr '\n' ' ')
  [ -z "$stale" ] || fail "$page: OPTIONS has what $name --help does not list: $stale"

  # The footer names the version the program reports.
  version=$("$exe" --version </dev/null)
  grep -q "^$version " "$scratch/$name.txt" || fail "$page: footer does not name \"$version\""
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" EXAMPLES "SEE ALSO"; do
    grep -q "^$section\$" "$scratch/$name.txt" || fail "$page: no $section section"
  done
}

have_man=true
if command -v man >/dev/null; then
  check_page "$docdir/lumiflow-convert.1" "$convert_exe" lumiflow-convert
  check_page "$docdir/lumiflow-check.1" "$check_exe" lumiflow-check
else
  have_man=false
  echo "man is missing: the pages are not checked" >&2
fi

# --- The completion ---------------------------------------------------------

# A tree to complete paths in: directories, legacy-looking files in two
# letter cases, other files, and a file named like an option.
mkdir -p "$scratch/tree/sub/deep" "$scratch/tree/dir.json"
: >"$scratch/tree/a.json"
: >"$scratch/tree/B.JSON"
: >"$scratch/tree/notes.txt"
: >"$scratch/tree/-x.json"
: >"$scratch/tree/sub/c.json"
: >"$scratch/tree/sub/d.txt"

# One case a line: MODE|LINE|WORDS. LINE is what was typed, the cursor at its
# end; its words are split at spaces (a trailing space starts an empty word),
# "=" standing alone where bash splits a word at it. MODE "is": COMPREPLY is
# exactly WORDS (in any order); "has": it holds each of WORDS; "lacks": none.
cases='
is|lumiflow-convert --ke|--keep-tree --keep-going
is|lumiflow-convert --d|--dry-run
is|lumiflow-convert --re|--report=
is|lumiflow-convert --jo|--jobs=
has|lumiflow-convert -|-t -k -n -q -v -j -h --keep-tree --keep-going --dry-run --quiet --verbose --jobs= --report= --help --version --
lacks|lumiflow-convert -|--strict --schema
is|lumiflow-convert -j |0 1 2 4 8 16 32 64 128 256
is|lumiflow-convert -j 1|1 16 128
is|lumiflow-convert -tkj 3|32
is|lumiflow-convert --jobs 6|64
is|lumiflow-convert --jobs = 1|1 16 128
is|lumiflow-convert --jobs =|0 1 2 4 8 16 32 64 128 256
is|lumiflow-convert --report no|notes.txt
is|lumiflow-convert --report = no|notes.txt
is|lumiflow-convert --report -|- -x.json
is|lumiflow-convert |sub dir.json a.json B.JSON -x.json
is|lumiflow-convert a.json |sub dir.json a.json B.JSON notes.txt -x.json
is|lumiflow-convert a.json out |
is|lumiflow-convert - |sub dir.json a.json B.JSON notes.txt -x.json
is|lumiflow-convert sub/|sub/deep sub/c.json
is|lumiflow-convert -j 4 |sub dir.json a.json B.JSON -x.json
is|lumiflow-convert -j4 |sub dir.json a.json B.JSON -x.json
is|lumiflow-convert --jobs = 4 -k |sub dir.json a.json B.JSON -x.json
is|lumiflow-convert --report r.json a.json |sub dir.json a.json B.JSON notes.txt -x.json
is|lumiflow-convert -- -|-x.json
is|lumiflow-convert -- a.json -|-x.json
is|lumiflow-convert a.json -- -j |
is|lumiflow-check --st|--strict
is|lumiflow-check --s|--strict --schema
is|lumiflow-check -|-h --help --version --strict --schema --
lacks|lumiflow-check -|--keep-tree -j --report=
is|lumiflow-check |sub dir.json a.json B.JSON -x.json
is|lumiflow-check a.json --strict |sub dir.json a.json B.JSON -x.json
is|lumiflow-check --schema |
is|lumiflow-check -- -|-x.json
is|lumiflow-check -- --schema |sub dir.json a.json B.JSON -x.json
'

# Runs every case in this shell, the completion already loaded; prints one
# line per fault.
run_cases() {
  local mode line expected program func words cword reply want wanted w bad typed
  while IFS='|' read -r mode line expected; do
    [ -n "$mode" ] || continue
    read -r -a words <<<"$line"
    [[ $line == *' ' ]] && words+=("")
    cword=$((${#words[@]} - 1))
    program=${words[0]}
    func=$(complete -p "$program" 2>/dev/null | sed -n 's/.*-F \([^ ]*\).*/\1/p')
    if [ -z "$func" ]; then
      echo "no completion registered for $program"
      continue
    fi
    # The line as typed has no spaces around a "=" bash split a word at.
    typed=${line// = /=}
    [[ $typed == *' =' ]] && typed=${typed% =}=
    COMP_WORDS=("${words[@]}") COMP_CWORD=$cword COMP_LINE=$typed COMP_POINT=${#typed}
    COMPREPLY=()
    "$func" "$program" "${words[cword]}" "${words[cword - 1]}" >/dev/null 2>&1
    # Readline shows a reply given twice once.
    reply=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort -u | tr '\n' ' ')
    want=
    read -r -a wanted <<<"$expected"
    [ ${#wanted[@]} -eq 0 ] || want=$(printf '%s\n' "${wanted[@]}" | sort | tr '\n' ' ')
    bad=
    case $mode in
      is) [ "$reply" = "$want" ] || bad="expected exactly [$want]" ;;
      has) for w in "${wanted[@]}"; do [[ " $reply" == *" $w "* ]] || bad="$bad $w missing"; done ;;
      lacks) for w in "${wanted[@]}"; do [[ " $reply" == *" $w "* ]] && bad="$bad $w offered"; done ;;
    esac
    [ -z "$bad" ] || echo "\"$line\": got [$reply], $bad"
  done <<<"$cases"
}

# Each setting in a fresh shell: the completion alone, and after the
# bash-completion helpers when they are installed.
settings=plain
for helpers in /usr/share/bash-completion/bash_completion ${LUMIFLOW_BASH_COMPLETION-}; do
  [ -r "$helpers" ] && settings="$settings $helpers"
done
for setting in $settings; do
  faults=$(
    cd "$scratch/tree" || exit 1
    if [ "$setting" != plain ]; then
      # shellcheck disable=SC1090
      . "$setting" >/dev/null 2>&1
      declare -F _init_completion >/dev/null || { echo "$setting defines no _init_completion"; exit 0; }
    fi
    # shellcheck disable=SC1090
    . "$completion" || echo "$completion does not load"
    # Without "=" among the word breaks, "--jobs=1" stays one word, and the
    # replies must keep their "--jobs=".
    run_cases
    COMP_WORDBREAKS=${COMP_WORDBREAKS//=/}
    cases='
is|lumiflow-convert --jobs=1|--jobs=1 --jobs=16 --jobs=128
is|lumiflow-convert --report=no|--report=notes.txt
is|lumiflow-convert --jobs=4 |sub dir.json a.json B.JSON -x.json
'
    run_cases
  )
  if [ -n "$faults" ]; then
    fail "completion ($setting):
$faults"
  fi
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
$have_man || exit 77
echo "documentation checks passed"
