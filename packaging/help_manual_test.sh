#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Holds each program's help to the OPTIONS of its manual page: every option
# the help names has a tag in OPTIONS, and every tag's option is in the help.
# Each page must also read under the POSIX locale (no glyph that groff's
# ASCII output with its tty-char fallbacks, as man uses them, spells as <name>).
#
# usage: help_manual_test.sh BIN_DIR MAN_DIR PROGRAM...
set -uo pipefail
bin=$1 man=$2
shift 2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# program | arguments that show its help | status they give (empty: any) |
# options the manual names and the help need not (with the reason)
table='
trovik    |        |   | -S -NS -C -NC -O --version --help -h
pixelkin  | --help | 0 |
tasm.exe  | --help |   |
pack83    | --help | 0 |
calcview  | --help | 0 |
'
# trovik shows the help screen of the original program for any command line
# it does not understand; that screen names the small forms only.

# The options named in the text on standard input, one a line, sorted. A
# one-letter option written with its value (-p60, -oXX) counts as the letter.
options_in() {
  grep -oP '(?<![A-Za-z0-9_-])--?[A-Za-z0-9][A-Za-z0-9-]*' |
    sed -E 's/^-([a-z])([0-9]+|[A-Z]+)$/-\1/' | LC_ALL=C sort -u
}

# The tag lines of the OPTIONS section of a roff page, with the roff taken out.
option_tags() {
  sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$1" |
    awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }' |
    sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/"//g'
}

for program in "$@"; do
  row=$(grep "^$program " <<<"$table") || { fail "$program has no row in the table"; continue; }
  IFS='|' read -r _ arguments status excused <<<"$row"
  read -ra arguments <<<"$arguments"
  status=${status// /}
  page=$man/$program.1

  stdout=$("$bin/$program" "${arguments[@]}" 2>"${TMPDIR:-/tmp}/help_manual_test.$$")
  got=$?
  stderr=$(cat "${TMPDIR:-/tmp}/help_manual_test.$$")
  rm -f "${TMPDIR:-/tmp}/help_manual_test.$$"
  if [[ -n $status ]]; then
    ((got == status)) || fail "$program ${arguments[*]} ended with status $got, not $status"
    [[ -n $stdout ]] || fail "$program ${arguments[*]} wrote nothing on standard output"
  fi

  in_help=$(printf '%s\n%s\n' "$stdout" "$stderr" | options_in)
  in_manual=$(option_tags "$page" | options_in)
  [[ -n $in_manual ]] || fail "$program(1) names no option in OPTIONS"
  excused=$(tr ' ' '\n' <<<"$excused" | grep . | LC_ALL=C sort -u)
  only_help=$(LC_ALL=C comm -23 <(echo "$in_help") <(echo "$in_manual"))
  only_manual=$(LC_ALL=C comm -23 <(echo "$in_manual") <(echo "$in_help") |
    LC_ALL=C comm -23 - <(echo "$excused"))
  [[ -z $only_help ]] || fail "$program's help names" $only_help "but its manual page's OPTIONS do not"
  [[ -z $only_manual ]] || fail "$program(1) OPTIONS name" $only_manual "but its help does not"

  glyphs=$(groff -man -mtty-char -Tascii -ww "$page" 2>&1 | grep -oP '<[a-z][a-z0-9-]*>' | sort -u)
  [[ -z $glyphs ]] || fail "$program(1) shows" $glyphs "under the POSIX locale"
done

((failures == 0)) || exit 1
echo "the help of $# programs agrees with their manual pages"
