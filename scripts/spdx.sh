#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Every source file the project wrote names its licence in its first lines.
#
#   bash scripts/spdx.sh [SOURCE_DIR]         lists the files without the line
#                                             (exit status 1 when there are any)
#   bash scripts/spdx.sh --add [SOURCE_DIR]   writes the line into each of them:
#                                             first, or after a #! line, an XML
#                                             declaration or an Emacs -*- line
#
# Test data (golden cases, fuzz seeds, the assemblers' test include files),
# pictures and JSON (which has no comments; package.json names the licence in
# its "license" field) are left out.
set -euo pipefail
add=false
if [[ ${1:-} == --add ]]; then
  add=true
  shift
fi
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
tag='SPDX-License-Identifier: GPL-2.0-or-later'
# How near the top the line must be.
lines=5

# Prints the comment that carries the tag in FILE's language; nothing for a
# file that is not source.
comment_for() {
  local file=$1
  case $file in
    *.cpp | *.hpp | *.h | *.c | *.js) echo "// $tag" ;;
    */CMakeLists.txt | *.cmake | *.sh | *.py | *.nanorc | *.desktop) echo "# $tag" ;;
    */packaging/bash-completion/*) echo "# $tag" ;;
    *.vim) echo "\" $tag" ;;
    *.inc) echo "; $tag" ;;
    *.1.in) echo ".\\\" $tag" ;;
    *.xml | *.lang) echo "<!-- $tag -->" ;;
    *) if [[ ${file##*/} == *.* ]]; then return; fi
       if [[ $(head -c 2 "$file") == '#!' ]]; then echo "# $tag"; fi ;;
  esac
}

# Writes COMMENT into FILE as its first line, or as its second after a line
# that must stay first (#!, <?xml, Emacs's -*- mode line); the file keeps its
# mode.
add_line() {
  local file=$1 comment=$2 first after=1
  first=$(head -n 1 "$file")
  [[ $first == '#!'* || $first == '<?xml'* || $first == *'-*-'* ]] || after=0
  local temporary
  temporary=$(mktemp "$file.XXXXXX")
  { head -n "$after" "$file"; printf '%s\n' "$comment"; tail -n +"$((after + 1))" "$file"; } >"$temporary"
  chmod --reference="$file" "$temporary"
  mv "$temporary" "$file"
}

missing=0
while IFS= read -r -d '' file; do
  comment=$(comment_for "$file")
  [[ -n $comment ]] || continue
  head -n "$lines" "$file" | grep -qF "$tag" && continue
  if $add; then
    add_line "$file" "$comment"
    echo "added: ${file#"$root"/}"
  else
    echo "no SPDX line: ${file#"$root"/}"
    missing=$((missing + 1))
  fi
done < <(find "$root" \( -name .git -o -name node_modules -o -path "$root/build*" \
  -o -path "$root/tests/golden" -o -path "$root/fuzz/corpus" -o -path "$root/assembler/tests" \
  -o -path "$root/tests/z80/include" -o -path "$root/editors/tests/npm" \) -prune \
  -o -type f -print0 | LC_ALL=C sort -z)
((missing == 0)) || {
  echo "$missing files lack the line '$tag' (bash scripts/spdx.sh --add writes it)" >&2
  exit 1
}
