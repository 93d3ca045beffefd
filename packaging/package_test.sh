#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian package from a build folder, unpacks it into a temporary
# folder (never installing it), runs hello through the unpacked programs and
# checks the manual pages, menu entries, icons, file types and completion
# with the tools that Debian uses for them.
#
# usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# Runs a check; its output on standard error counts as a failure too.
quiet() {
  local what=$1 errors status=0
  shift
  errors=$("$@" 2>&1 >/dev/null) || status=$?
  if ((status != 0)) || [[ -n $errors ]]; then
    fail "$what: ${errors:-exit status $status}"
  fi
}
have() { command -v "$1" >/dev/null; }
section() { echo "== $1 (at ${SECONDS} s)"; }

section "cpack"
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || {
  cat "$work/cpack.log"
  exit 1
}
deb=$(ls "$work"/out/*.deb)
root=$work/root
dpkg-deb -x "$deb" "$root"

section "control fields"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in z80asm libtifiles libc6 libsdl2; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
for field in Maintainer Description Section; do
  [[ -n $(dpkg-deb -f "$deb" "$field") ]] || fail "no $field field"
done

[[ -f $root/usr/lib/trovik/calcview/calcview-window.so ]] || fail "calcview's window module is not installed"

section "hello through the unpacked programs"
bin=$root/usr/bin
mkdir "$work/hello"
cp "$source/examples/hello.p83" "$work/hello/"
# (set -e does not hold inside a subshell whose status is tested: each step
# says how it ends.)
(
  cd "$work/hello" || exit 1
  export PATH="$bin:/usr/bin:/bin"
  unset TASM_INCLUDE
  trovik hello >trovik.log 2>&1 </dev/null && [[ -s hello.obj ]] || { cat trovik.log; exit 1; }
  pack83 hello.obj || exit 1
  calcview --headless --time-limit 2 --screenshot hello.png hello.83p || exit 1
  [[ -s hello.png ]]
) || fail "hello did not translate, assemble, pack and run"
for program in trovik pixelkin tasm.exe pack83 calcview; do
    [[ $("$bin/$program" --version) == "$version" ]] || fail "$program --version"
done

section "manual pages"
for name in trovik pixelkin tasm.exe pack83 calcview; do
  page=$root/usr/share/man/man1/$name.1.gz
  [[ -f $page ]] || { fail "no manual page $name(1)"; continue; }
  for heading in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
    zcat "$page" | grep -q "^\.SH \"\?$heading\"\?$" || fail "$name(1) has no $heading"
  done
  quiet "groff on $name(1)" bash -c "zcat '$page' | groff -man -ww -z"
  if have lexgrog; then
    lexgrog "$page" | grep -q "\"$name - [a-z]" || fail "$name(1): whatis finds no NAME line"
  fi
  if have man; then
    quiet "man -l $name(1)" env MANWIDTH=80 man --warnings -l "$page"
  fi
done

section "menu entries and icons"
for name in pixelkin calcview; do
  entry=$root/usr/share/applications/$name.desktop
  [[ -f $entry ]] || { fail "no menu entry for $name"; continue; }
  have desktop-file-validate &&
    quiet "desktop-file-validate $name" bash -c 'desktop-file-validate "$1" >&2' _ "$entry"
  for size in 16 32 48 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$name.png
    file "$icon" | grep -q "PNG image data, $size x $size" || fail "icon $icon"
  done
done
grep -q '^MimeType=application/x-ti83-program;$' "$root/usr/share/applications/calcview.desktop" ||
  fail "calcview's entry does not take .83p files"

section "file types"
mime=$root/usr/share/mime/packages/trovik-toolchain.xml
have xmllint && quiet "xmllint" xmllint --noout "$mime"
if have update-mime-database; then
  mkdir -p "$work/mime/packages"
  cp "$mime" "$work/mime/packages/"
  quiet "update-mime-database" env XDG_DATA_HOME="$work" update-mime-database "$work/mime"
  grep -q 'application/x-ti83-program:\*\.83p' "$work/mime/globs2" || fail "no glob for .83p"
  grep -q 'text/x-trovik-source:\*\.p83' "$work/mime/globs2" || fail "no glob for .p83"
  grep -q '^text/x-trovik-source text/plain$' "$work/mime/subclasses" || fail ".p83 is not text"
  if have gio; then
    cp "$work/hello/hello.83p" "$work/hello/program-without-extension"
    while read -r file type; do
      got=$(XDG_DATA_HOME=$work gio info -a standard::content-type "$work/hello/$file")
      [[ $got == *"content-type: $type"* ]] || fail "$file is not $type: $got"
    done <<'TYPES'
hello.83p application/x-ti83-program
program-without-extension application/x-ti83-program
hello.p83 text/x-trovik-source
TYPES
  fi
fi

section "editors and licence"
for file in trovik/editors/trovik-p83.vsix nano/p83.nanorc \
  {vim/vimfiles,nvim/site}/{ftdetect,ftplugin,syntax}/p83.vim; do
  [[ -s $root/usr/share/$file ]] || fail "no /usr/share/$file"
done
for version in 4 5; do
  languages=("$root"/usr/share/gtksourceview-$version/*/p83.lang)
  [[ -s ${languages[0]} ]] || fail "no p83.lang under /usr/share/gtksourceview-$version"
done
copyright=$root/usr/share/doc/trovik-toolchain/copyright
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$copyright" ||
  fail "the copyright file is not machine-readable"
grep -q '^License: GPL-2+$' "$copyright" || fail "the copyright file names no licence"

section "completion"
completions=$root/usr/share/bash-completion/completions
if [[ -f /usr/share/bash-completion/bash_completion ]]; then
  cd "$work/hello"
  touch hello.bin
  # Prints what completing the words (the last one is being typed) offers.
  complete_words() {
    bash -c 'source /usr/share/bash-completion/bash_completion
      compopt() { :; }  # a builtin that only works inside a real completion
      source "$1/$2"; shift
      COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
      COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
      "$(complete -p "$1" | sed "s/.*-F \([^ ]*\) .*/\1/")" "$1" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
      printf "%s\n" "${COMPREPLY[@]}"' _ "$completions" "$@" 2>&1 | LC_ALL=C sort | tr '\n' ' '
  }
  while IFS='|' read -r words expected; do
    read -ra line <<<"$words"
    [[ $words == *" " ]] && line+=("")
    got=$(complete_words "${line[@]}")
    [[ $got == "$expected" ]] || fail "completing '$words' gave '$got', not '$expected'"
  done <<'CASES'
trovik hel|hello 
trovik hello |-ns -s 
trovik hello -s -|-c -nc 
tasm.exe -80 -p60 -i -o20 hel|hello.asm 
tasm.exe -t80 -b -i hello.asm hel|hello.bin 
pack83 --na|--name= 
pack83 hel|hello.bin hello.obj 
calcview hel|hello.83p hello.bin 
calcview --screenshot hel|hello.png 
pixelkin --scale=|1 2 3 4 5 6 7 8 
CASES
  cd - >/dev/null
else
  for name in trovik pixelkin tasm.exe pack83 calcview; do
    quiet "bash -n $name" bash -n "$completions/$name"
  done
fi

if have lintian; then
  section lintian
  lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
fi

((failures == 0)) || { echo "$failures failures" >&2; exit 1; }
echo "the package is sound"
