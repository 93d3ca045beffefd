#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Opens a .p83 in nano, in a terminal of its own, with the built p83.nanorc
# as its only rc file, leaves with ^X and checks that nano reported no
# mistake in it. A copy with one wrong line must be reported, which shows
# that nano did read the syntax for a .p83.
#
# usage: nano_test.sh P83_NANORC FILE.p83
set -uo pipefail
nanorc=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source" "$work/program.p83"
printf '%s\ncolor red "(["\n' "$(cat "$nanorc")" >"$work/broken.nanorc"

# What nano says about its rc file, which it prints when it ends.
nano_mistakes() {
  (sleep 0.5; printf '\030') |
    TERM=xterm timeout 20 script -qec "nano --rcfile='$1' '$work/program.p83'" /dev/null |
    tr -d '\r' | grep -ao 'Error in .*'
}

failures=0
mistakes=$(nano_mistakes "$nanorc")
[[ -z $mistakes ]] || { echo "FAIL: $mistakes" >&2; failures=1; }
mistakes=$(nano_mistakes "$work/broken.nanorc")
[[ $mistakes == *"Bad regex"* ]] || {
  echo "FAIL: nano did not read the p83 syntax for a .p83 file (a wrong line went unreported)" >&2
  failures=1
}
((failures == 0)) && echo "nano reads p83.nanorc without a mistake"
exit $failures
